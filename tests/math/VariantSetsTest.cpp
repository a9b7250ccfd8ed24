// Every variant table against the portable one on random inputs. Each case
// states its tolerance: 0 means bit-identical results (the SIMD code sums in
// the portable order); otherwise |variant − portable| ≤ tolerance·max(1, |portable|).
// The x87 sums are rounded once from double, so they differ from the float
// sums by up to a few float steps of the largest term (inputs up to 4, so
// terms up to 16).
#include <cmath>
#include <functional>

#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

// The floats of one math value. Built by the range constructor: GCC 12 at -O3
// takes an insert into the empty vector for a write past a zero-size buffer.
template <typename T>
std::vector<float> Floats(const T& value) {
    return std::vector<float>(value.Data(), value.Data() + sizeof(T) / sizeof(float));
}

using Run = std::function<std::vector<float>(const MathFunctionTable&, Random&)>;

struct Case {
    const char* name;
    double simdTolerance;
    double x87Tolerance;
    Run run;
};

D3DXQUATERNION UnitQuaternion(Random& r) {
    D3DXQUATERNION q = r.Fill<D3DXQUATERNION>();
    return *D3DXQuaternionNormalize(&q, &q);
}

std::vector<Case> Cases() {
    using M = D3DXMATRIX;
    using V2 = D3DXVECTOR2;
    using V3 = D3DXVECTOR3;
    using V4 = D3DXVECTOR4;
    using Q = D3DXQUATERNION;
    using P = D3DXPLANE;
    return {
        {"Vec2Transform", 0, 2e-5, [](auto& t, Random& r) { V4 o; V2 v = r.Fill<V2>(); M m = r.Fill<M>();
            std::get<kVec2Transform>(t)(&o, &v, &m); return Floats(o); }},
        {"Vec3Transform", 0, 2e-5, [](auto& t, Random& r) { V4 o; V3 v = r.Fill<V3>(); M m = r.Fill<M>();
            std::get<kVec3Transform>(t)(&o, &v, &m); return Floats(o); }},
        {"Vec4Transform", 0, 2e-5, [](auto& t, Random& r) { V4 o, v = r.Fill<V4>(); M m = r.Fill<M>();
            std::get<kVec4Transform>(t)(&o, &v, &m); return Floats(o); }},
        {"MatrixMultiply", 0, 2e-5, [](auto& t, Random& r) { M o, a = r.Fill<M>(), b = r.Fill<M>();
            std::get<kMatrixMultiply>(t)(&o, &a, &b); return Floats(o); }},
        {"MatrixMultiplyTranspose", 0, 2e-5, [](auto& t, Random& r) { M o, a = r.Fill<M>(), b = r.Fill<M>();
            std::get<kMatrixMultiplyTranspose>(t)(&o, &a, &b); return Floats(o); }},
        {"Vec2TransformNormal", 0, 2e-5, [](auto& t, Random& r) { V2 o, v = r.Fill<V2>(); M m = r.Fill<M>();
            std::get<kVec2TransformNormal>(t)(&o, &v, &m); return Floats(o); }},
        {"Vec3TransformNormal", 0, 2e-5, [](auto& t, Random& r) { V3 o, v = r.Fill<V3>(); M m = r.Fill<M>();
            std::get<kVec3TransformNormal>(t)(&o, &v, &m); return Floats(o); }},
        {"Vec3Normalize", 2e-6, 3e-5, [](auto& t, Random& r) { V3 o, v = r.Fill<V3>();
            std::get<kVec3Normalize>(t)(&o, &v); return Floats(o); }},
        {"Vec4Normalize", 2e-6, 0, [](auto& t, Random& r) { V4 o, v = r.Fill<V4>();
            std::get<kVec4Normalize>(t)(&o, &v); return Floats(o); }},
        {"Vec2TransformCoord", 2e-6, 0, [](auto& t, Random& r) { V2 o, v = r.Fill<V2>(); M m = r.Fill<M>();
            std::get<kVec2TransformCoord>(t)(&o, &v, &m); return Floats(o); }},
        {"Vec3TransformCoord", 2e-6, 0, [](auto& t, Random& r) { V3 o, v = r.Fill<V3>(); M m = r.Fill<M>();
            std::get<kVec3TransformCoord>(t)(&o, &v, &m); return Floats(o); }},
        {"MatrixfDeterminant", 1e-5, 0, [](auto& t, Random& r) { M m = r.Invertible();
            return std::vector<float>{std::get<kMatrixfDeterminant>(t)(&m)}; }},
        {"PlaneFromPoints", 2e-6, 0, [](auto& t, Random& r) { P o; V3 a = r.Fill<V3>(), b = r.Fill<V3>(), c = r.Fill<V3>();
            std::get<kPlaneFromPoints>(t)(&o, &a, &b, &c); return Floats(o); }},
        {"Vec4Cross", 0, 0, [](auto& t, Random& r) { V4 o, u = r.Fill<V4>(), v = r.Fill<V4>(), w = r.Fill<V4>();
            std::get<kVec4Cross>(t)(&o, &u, &v, &w); return Floats(o); }},
        {"Vec2Hermite", 0, 0, [](auto& t, Random& r) { V2 o, a = r.Fill<V2>(), b = r.Fill<V2>(), c = r.Fill<V2>(), d = r.Fill<V2>();
            std::get<kVec2Hermite>(t)(&o, &a, &b, &c, &d, r.Uniform(0, 1)); return Floats(o); }},
        {"MatrixInverse", 1e-5, 0, [](auto& t, Random& r) { M o, m = r.Invertible(); float det = 0;
            std::get<kMatrixInverse>(t)(&o, &det, &m); return Floats(o); }},
        {"QuaternionMultiply", 1e-6, 0, [](auto& t, Random& r) { Q o, a = UnitQuaternion(r), b = UnitQuaternion(r);
            std::get<kQuaternionMultiply>(t)(&o, &a, &b); return Floats(o); }},
        {"QuaternionNormalize", 2e-6, 0, [](auto& t, Random& r) { Q o, q = r.Fill<Q>();
            std::get<kQuaternionNormalize>(t)(&o, &q); return Floats(o); }},
        {"PlaneNormalize", 2e-6, 0, [](auto& t, Random& r) { P o, p = r.Fill<P>();
            std::get<kPlaneNormalize>(t)(&o, &p); return Floats(o); }},
        {"PlaneIntersectLine", 2e-6, 0, [](auto& t, Random& r) {
            P p(0, 1, 0, r.Uniform(-1, 1)); V3 o, a = r.Fill<V3>(1, 4), b = r.Fill<V3>(1, 4); b.y = -a.y;
            return std::get<kPlaneIntersectLine>(t)(&o, &p, &a, &b) ? Floats(o) : std::vector<float>{}; }},
        {"QuaternionRotationMatrix", 0, 0, [](auto& t, Random& r) { Q o, q = UnitQuaternion(r); M m;
            D3DXMatrixRotationQuaternion(&m, &q); std::get<kQuaternionRotationMatrix>(t)(&o, &m); return Floats(o); }},
        {"QuaternionRotationYawPitchRoll", 0, 0, [](auto& t, Random& r) { Q o;
            std::get<kQuaternionRotationYawPitchRoll>(t)(&o, r.Uniform(-4, 4), r.Uniform(-4, 4), r.Uniform(-4, 4));
            return Floats(o); }},
        {"MatrixShadow", 1e-5, 0, [](auto& t, Random& r) { M o; V4 l = r.Fill<V4>(); P p = r.Fill<P>();
            std::get<kMatrixShadow>(t)(&o, &l, &p); return Floats(o); }},
        {"MatrixReflect", 4e-6, 0, [](auto& t, Random& r) { M o; P p = r.Fill<P>();
            std::get<kMatrixReflect>(t)(&o, &p); return Floats(o); }},
        {"MatrixRotationX", 0, 0, [](auto& t, Random& r) { M o;
            std::get<kMatrixRotationX>(t)(&o, r.Uniform(-7, 7)); return Floats(o); }},
        {"MatrixRotationY", 0, 0, [](auto& t, Random& r) { M o;
            std::get<kMatrixRotationY>(t)(&o, r.Uniform(-7, 7)); return Floats(o); }},
        {"QuaternionInverse", 2e-6, 0, [](auto& t, Random& r) { Q o, q = r.Fill<Q>();
            std::get<kQuaternionInverse>(t)(&o, &q); return Floats(o); }},
        {"Vec2CatmullRom", 0, 0, [](auto& t, Random& r) { V2 o, a = r.Fill<V2>(), b = r.Fill<V2>(), c = r.Fill<V2>(), d = r.Fill<V2>();
            std::get<kVec2CatmullRom>(t)(&o, &a, &b, &c, &d, r.Uniform(0, 1)); return Floats(o); }},
        {"Vec2BaryCentric", 0, 0, [](auto& t, Random& r) { V2 o, a = r.Fill<V2>(), b = r.Fill<V2>(), c = r.Fill<V2>();
            std::get<kVec2BaryCentric>(t)(&o, &a, &b, &c, r.Uniform(0, 1), r.Uniform(0, 1)); return Floats(o); }},
        {"Vec3Hermite", 0, 0, [](auto& t, Random& r) { V3 o, a = r.Fill<V3>(), b = r.Fill<V3>(), c = r.Fill<V3>(), d = r.Fill<V3>();
            std::get<kVec3Hermite>(t)(&o, &a, &b, &c, &d, r.Uniform(0, 1)); return Floats(o); }},
        {"Vec3CatmullRom", 0, 0, [](auto& t, Random& r) { V3 o, a = r.Fill<V3>(), b = r.Fill<V3>(), c = r.Fill<V3>(), d = r.Fill<V3>();
            std::get<kVec3CatmullRom>(t)(&o, &a, &b, &c, &d, r.Uniform(0, 1)); return Floats(o); }},
        {"Vec3BaryCentric", 0, 0, [](auto& t, Random& r) { V3 o, a = r.Fill<V3>(), b = r.Fill<V3>(), c = r.Fill<V3>();
            std::get<kVec3BaryCentric>(t)(&o, &a, &b, &c, r.Uniform(0, 1), r.Uniform(0, 1)); return Floats(o); }},
        {"Vec4Hermite", 0, 0, [](auto& t, Random& r) { V4 o, a = r.Fill<V4>(), b = r.Fill<V4>(), c = r.Fill<V4>(), d = r.Fill<V4>();
            std::get<kVec4Hermite>(t)(&o, &a, &b, &c, &d, r.Uniform(0, 1)); return Floats(o); }},
        {"Vec4CatmullRom", 0, 0, [](auto& t, Random& r) { V4 o, a = r.Fill<V4>(), b = r.Fill<V4>(), c = r.Fill<V4>(), d = r.Fill<V4>();
            std::get<kVec4CatmullRom>(t)(&o, &a, &b, &c, &d, r.Uniform(0, 1)); return Floats(o); }},
        {"Vec4BaryCentric", 0, 0, [](auto& t, Random& r) { V4 o, a = r.Fill<V4>(), b = r.Fill<V4>(), c = r.Fill<V4>();
            std::get<kVec4BaryCentric>(t)(&o, &a, &b, &c, r.Uniform(0, 1), r.Uniform(0, 1)); return Floats(o); }},
    };
}

TEST(VariantSetsTest, EveryVariantAgreesWithPortableWithinItsTolerance) {
    for (const Case& c : Cases()) {
        for (const NamedTable& variant : AllVariantTables()) {
            const double tolerance = variant.name == "x87" ? c.x87Tolerance : c.simdTolerance;
            Random forPortable(11), forVariant(11);
            for (int n = 0; n < 500; ++n) {
                const std::vector<float> expected = c.run(PortableMathTable, forPortable);
                const std::vector<float> actual = c.run(variant.table, forVariant);
                ASSERT_EQ(actual.size(), expected.size()) << c.name << " " << variant.name;
                for (std::size_t i = 0; i < expected.size(); ++i) {
                    if (tolerance == 0) {
                        ASSERT_EQ(actual[i], expected[i]) << c.name << " " << variant.name << " #" << n;
                    } else {
                        const double bound = tolerance * std::max(1.0, std::fabs(double(expected[i])));
                        ASSERT_NEAR(actual[i], expected[i], bound) << c.name << " " << variant.name << " #" << n;
                    }
                }
            }
        }
    }
}

TEST(VariantSetsTest, SimdEdgeCasesFollowTheirOwnRules) {
    for (const NamedTable& variant : AllVariantTables()) {
        // A singular matrix fails the inversion in every set and leaves out alone.
        const D3DXMATRIX singular(1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 0, 1, 2);
        D3DXMATRIX out(2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2, 2);
        const D3DXMATRIX before = out;
        float det = 1.0f;
        EXPECT_EQ(std::get<kMatrixInverse>(variant.table)(&out, &det, &singular), nullptr) << variant.name;
        EXPECT_EQ(det, 0.0f) << variant.name;
        EXPECT_TRUE(SameBits(out, before)) << variant.name;
        // An affine matrix does not divide in TransformCoord.
        D3DXMATRIX affine;
        D3DXMatrixTranslation(&affine, 1.0f / 3, 2.0f / 7, 5.0f / 11);
        const D3DXVECTOR3 v(0.1f, 0.2f, 0.3f);
        D3DXVECTOR3 coord;
        std::get<kVec3TransformCoord>(variant.table)(&coord, &v, &affine);
        EXPECT_EQ(coord, v + D3DXVECTOR3(1.0f / 3, 2.0f / 7, 5.0f / 11)) << variant.name;
        // Zero vectors normalise to zero everywhere.
        const D3DXQUATERNION zero(0, 0, 0, 0);
        D3DXQUATERNION q;
        EXPECT_EQ(*std::get<kQuaternionNormalize>(variant.table)(&q, &zero), zero) << variant.name;
        const D3DXPLANE flat(0, 0, 0, 5);
        D3DXPLANE p;
        std::get<kPlaneNormalize>(variant.table)(&p, &flat);
        EXPECT_EQ(p, D3DXPLANE(0, 0, 0, 0)) << variant.name;
        const D3DXPLANE ground(0, 1, 0, 0);
        const D3DXVECTOR3 a(1, 1, 1), parallel(2, 1, 3);
        D3DXVECTOR3 hit;
        EXPECT_EQ(std::get<kPlaneIntersectLine>(variant.table)(&hit, &ground, &a, &parallel), nullptr) << variant.name;
    }
}

}  // namespace
}  // namespace valmere::math::test
