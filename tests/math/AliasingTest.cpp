// Functions whose output has the type of some inputs must give the same
// result when the output is any of those inputs.
#include <array>

#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

// call(out, inputs) computes into out from the K inputs of type T. The result
// with a separate output is compared, bit for bit, with the results where the
// output is each input in turn.
template <typename T, std::size_t K, typename Call>
void ExpectAliasSafe(const std::string& name, Call call, Random& random, float lo = -4.0f, float hi = 4.0f) {
    std::array<T, K> inputs;
    for (T& value : inputs) value = random.Fill<T>(lo, hi);
    T expected = random.Fill<T>();
    std::array<T, K> copy = inputs;
    call(&expected, copy);
    for (std::size_t i = 0; i < K; ++i) {
        copy = inputs;
        call(&copy[i], copy);
        EXPECT_TRUE(SameBits(copy[i], expected)) << name << " with the output as input " << i;
    }
}

TEST(AliasingTest, DispatchedOperationsInEveryVariant) {
    Random r(21);
    const D3DXMATRIX m = r.Fill<D3DXMATRIX>();
    for (const NamedTable& v : AllVariantTables()) {
        const MathFunctionTable& t = v.table;
        using M = D3DXMATRIX;
        using V2 = D3DXVECTOR2;
        using V3 = D3DXVECTOR3;
        using V4 = D3DXVECTOR4;
        using Q = D3DXQUATERNION;
        using P = D3DXPLANE;
        ExpectAliasSafe<M, 2>(v.name + " MatrixMultiply", [&](M* o, auto& in) { std::get<kMatrixMultiply>(t)(o, &in[0], &in[1]); }, r);
        ExpectAliasSafe<M, 2>(v.name + " MatrixMultiplyTranspose", [&](M* o, auto& in) { std::get<kMatrixMultiplyTranspose>(t)(o, &in[0], &in[1]); }, r);
        ExpectAliasSafe<M, 1>(v.name + " MatrixTranspose", [&](M* o, auto& in) { std::get<kMatrixTranspose>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<M, 1>(v.name + " MatrixInverse", [&](M* o, auto& in) { std::get<kMatrixInverse>(t)(o, nullptr, &in[0]); }, r);
        ExpectAliasSafe<V4, 1>(v.name + " Vec4Transform", [&](V4* o, auto& in) { std::get<kVec4Transform>(t)(o, &in[0], &m); }, r);
        ExpectAliasSafe<V2, 1>(v.name + " Vec2TransformNormal", [&](V2* o, auto& in) { std::get<kVec2TransformNormal>(t)(o, &in[0], &m); }, r);
        ExpectAliasSafe<V3, 1>(v.name + " Vec3TransformNormal", [&](V3* o, auto& in) { std::get<kVec3TransformNormal>(t)(o, &in[0], &m); }, r);
        ExpectAliasSafe<V2, 1>(v.name + " Vec2TransformCoord", [&](V2* o, auto& in) { std::get<kVec2TransformCoord>(t)(o, &in[0], &m); }, r);
        ExpectAliasSafe<V3, 1>(v.name + " Vec3TransformCoord", [&](V3* o, auto& in) { std::get<kVec3TransformCoord>(t)(o, &in[0], &m); }, r);
        ExpectAliasSafe<V2, 1>(v.name + " Vec2Normalize", [&](V2* o, auto& in) { std::get<kVec2Normalize>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<V3, 1>(v.name + " Vec3Normalize", [&](V3* o, auto& in) { std::get<kVec3Normalize>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<V4, 1>(v.name + " Vec4Normalize", [&](V4* o, auto& in) { std::get<kVec4Normalize>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<V4, 3>(v.name + " Vec4Cross", [&](V4* o, auto& in) { std::get<kVec4Cross>(t)(o, &in[0], &in[1], &in[2]); }, r);
        ExpectAliasSafe<V2, 4>(v.name + " Vec2Hermite", [&](V2* o, auto& in) { std::get<kVec2Hermite>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.3f); }, r);
        ExpectAliasSafe<V3, 4>(v.name + " Vec3Hermite", [&](V3* o, auto& in) { std::get<kVec3Hermite>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.3f); }, r);
        ExpectAliasSafe<V4, 4>(v.name + " Vec4Hermite", [&](V4* o, auto& in) { std::get<kVec4Hermite>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.3f); }, r);
        ExpectAliasSafe<V2, 4>(v.name + " Vec2CatmullRom", [&](V2* o, auto& in) { std::get<kVec2CatmullRom>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.6f); }, r);
        ExpectAliasSafe<V3, 4>(v.name + " Vec3CatmullRom", [&](V3* o, auto& in) { std::get<kVec3CatmullRom>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.6f); }, r);
        ExpectAliasSafe<V4, 4>(v.name + " Vec4CatmullRom", [&](V4* o, auto& in) { std::get<kVec4CatmullRom>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.6f); }, r);
        ExpectAliasSafe<V2, 3>(v.name + " Vec2BaryCentric", [&](V2* o, auto& in) { std::get<kVec2BaryCentric>(t)(o, &in[0], &in[1], &in[2], 0.2f, 0.5f); }, r);
        ExpectAliasSafe<V3, 3>(v.name + " Vec3BaryCentric", [&](V3* o, auto& in) { std::get<kVec3BaryCentric>(t)(o, &in[0], &in[1], &in[2], 0.2f, 0.5f); }, r);
        ExpectAliasSafe<V4, 3>(v.name + " Vec4BaryCentric", [&](V4* o, auto& in) { std::get<kVec4BaryCentric>(t)(o, &in[0], &in[1], &in[2], 0.2f, 0.5f); }, r);
        ExpectAliasSafe<V3, 2>(v.name + " PlaneIntersectLine", [&](V3* o, auto& in) { const P p(0.3f, 1, 0.2f, 0.5f); std::get<kPlaneIntersectLine>(t)(o, &p, &in[0], &in[1]); }, r);
        ExpectAliasSafe<V3, 1>(v.name + " Vec3Project", [&](V3* o, auto& in) { const D3DVIEWPORT8 vp{0, 0, 64, 48, 0, 1}; std::get<kVec3Project>(t)(o, &in[0], &vp, &m, &m, nullptr); }, r);
        ExpectAliasSafe<V3, 1>(v.name + " Vec3Unproject", [&](V3* o, auto& in) { const D3DVIEWPORT8 vp{0, 0, 64, 48, 0, 1}; std::get<kVec3Unproject>(t)(o, &in[0], &vp, &m, nullptr, &m); }, r);
        ExpectAliasSafe<Q, 2>(v.name + " QuaternionMultiply", [&](Q* o, auto& in) { std::get<kQuaternionMultiply>(t)(o, &in[0], &in[1]); }, r);
        ExpectAliasSafe<Q, 1>(v.name + " QuaternionNormalize", [&](Q* o, auto& in) { std::get<kQuaternionNormalize>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<Q, 1>(v.name + " QuaternionInverse", [&](Q* o, auto& in) { std::get<kQuaternionInverse>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<Q, 1>(v.name + " QuaternionLn", [&](Q* o, auto& in) { std::get<kQuaternionLn>(t)(o, &in[0]); }, r, -0.5f, 0.5f);
        ExpectAliasSafe<Q, 1>(v.name + " QuaternionExp", [&](Q* o, auto& in) { std::get<kQuaternionExp>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<Q, 2>(v.name + " QuaternionSlerp", [&](Q* o, auto& in) { std::get<kQuaternionSlerp>(t)(o, &in[0], &in[1], 0.4f); }, r, -0.5f, 0.5f);
        ExpectAliasSafe<Q, 4>(v.name + " QuaternionSquad", [&](Q* o, auto& in) { std::get<kQuaternionSquad>(t)(o, &in[0], &in[1], &in[2], &in[3], 0.4f); }, r, -0.5f, 0.5f);
        ExpectAliasSafe<Q, 3>(v.name + " QuaternionBaryCentric", [&](Q* o, auto& in) { std::get<kQuaternionBaryCentric>(t)(o, &in[0], &in[1], &in[2], 0.3f, 0.2f); }, r, -0.5f, 0.5f);
        ExpectAliasSafe<P, 1>(v.name + " PlaneNormalize", [&](P* o, auto& in) { std::get<kPlaneNormalize>(t)(o, &in[0]); }, r);
        ExpectAliasSafe<P, 1>(v.name + " PlaneTransform", [&](P* o, auto& in) { std::get<kPlaneTransform>(t)(o, &in[0], &m); }, r);
        // Each of the three set-up outputs may be any of the four inputs.
        for (int which = 0; which < 3; ++which) {
            ExpectAliasSafe<Q, 4>(v.name + " QuaternionSquadSetup", [&](Q* o, auto& in) {
                Q spare[3];
                Q* outs[3] = {&spare[0], &spare[1], &spare[2]};
                outs[which] = o;
                std::get<kQuaternionSquadSetup>(t)(outs[0], outs[1], outs[2], &in[0], &in[1], &in[2], &in[3]);
            }, r, -0.5f, 0.5f);
        }
    }
}

TEST(AliasingTest, InlineHelpersAndColours) {
    Random r(22);
    using V3 = D3DXVECTOR3;
    using C = D3DXCOLOR;
    using Q = D3DXQUATERNION;
    ExpectAliasSafe<V3, 2>("Vec3Cross", [](V3* o, auto& in) { D3DXVec3Cross(o, &in[0], &in[1]); }, r);
    ExpectAliasSafe<V3, 2>("Vec3Lerp", [](V3* o, auto& in) { D3DXVec3Lerp(o, &in[0], &in[1], 0.3f); }, r);
    ExpectAliasSafe<V3, 2>("Vec3Minimize", [](V3* o, auto& in) { D3DXVec3Minimize(o, &in[0], &in[1]); }, r);
    ExpectAliasSafe<Q, 1>("QuaternionConjugate", [](Q* o, auto& in) { D3DXQuaternionConjugate(o, &in[0]); }, r);
    ExpectAliasSafe<C, 2>("ColorLerp", [](C* o, auto& in) { D3DXColorLerp(o, &in[0], &in[1], 0.3f); }, r);
    ExpectAliasSafe<C, 2>("ColorModulate", [](C* o, auto& in) { D3DXColorModulate(o, &in[0], &in[1]); }, r);
    ExpectAliasSafe<C, 1>("ColorNegative", [](C* o, auto& in) { D3DXColorNegative(o, &in[0]); }, r);
    ExpectAliasSafe<C, 1>("ColorAdjustSaturation", [](C* o, auto& in) { D3DXColorAdjustSaturation(o, &in[0], 0.4f); }, r);
    ExpectAliasSafe<C, 1>("ColorAdjustContrast", [](C* o, auto& in) { D3DXColorAdjustContrast(o, &in[0], 1.4f); }, r);
}

}  // namespace
}  // namespace valmere::math::test
