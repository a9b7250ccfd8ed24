// The public functions against the edge cases of their definitions and
// against double-precision references.
#include <cmath>

#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

using PortableMathTest = MathStateTest;

struct Matrix64 {
    double m[4][4];
};

Matrix64 ToDouble(const D3DXMATRIX& a) {
    Matrix64 r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) r.m[i][j] = a.m[i][j];
    return r;
}

Matrix64 Multiply(const Matrix64& a, const Matrix64& b) {
    Matrix64 r{};
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            for (int k = 0; k < 4; ++k) r.m[i][j] += a.m[i][k] * b.m[k][j];
    return r;
}

double Determinant(const Matrix64& a) {
    Matrix64 m = a;
    double det = 1.0;
    for (int c = 0; c < 4; ++c) {
        int pivot = c;
        for (int r = c + 1; r < 4; ++r)
            if (std::fabs(m.m[r][c]) > std::fabs(m.m[pivot][c])) pivot = r;
        if (m.m[pivot][c] == 0.0) return 0.0;
        if (pivot != c) {
            for (int j = 0; j < 4; ++j) std::swap(m.m[pivot][j], m.m[c][j]);
            det = -det;
        }
        det *= m.m[c][c];
        for (int r = c + 1; r < 4; ++r) {
            const double f = m.m[r][c] / m.m[c][c];
            for (int j = c; j < 4; ++j) m.m[r][j] -= f * m.m[c][j];
        }
    }
    return det;
}

void ExpectMatrixNear(const D3DXMATRIX& actual, const Matrix64& expected, double tolerance) {
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j)
            EXPECT_NEAR(actual.m[i][j], expected.m[i][j], tolerance) << "element " << i << "," << j;
}

TEST_F(PortableMathTest, MultiplyAndInverseAgreeWithDoubleReference) {
    Random random(1);
    for (int n = 0; n < 200; ++n) {
        const D3DXMATRIX a = random.Invertible();
        const D3DXMATRIX b = random.Fill<D3DXMATRIX>();
        D3DXMATRIX product;
        D3DXMatrixMultiply(&product, &a, &b);
        ExpectMatrixNear(product, Multiply(ToDouble(a), ToDouble(b)), 2e-5);

        float det = 0;
        D3DXMATRIX inverse;
        ASSERT_EQ(D3DXMatrixInverse(&inverse, &det, &a), &inverse);
        const double exactDet = Determinant(ToDouble(a));
        EXPECT_NEAR(det, exactDet, 1e-5 * std::fabs(exactDet));
        EXPECT_NEAR(D3DXMatrixfDeterminant(&a), exactDet, 1e-5 * std::fabs(exactDet));
        Matrix64 identity{};
        for (int i = 0; i < 4; ++i) identity.m[i][i] = 1.0;
        ExpectMatrixNear(inverse * a, identity, 1e-5);
    }
}

TEST_F(PortableMathTest, SingularInverseReturnsNullKeepsOutputAndStillGivesDeterminant) {
    D3DXMATRIX singular(1, 2, 3, 4, 2, 4, 6, 8, 0, 1, 0, 1, 5, 0, 1, 2);
    D3DXMATRIX out(1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1);
    const D3DXMATRIX before = out;
    float det = 99.0f;
    EXPECT_EQ(D3DXMatrixInverse(&out, &det, &singular), nullptr);
    EXPECT_EQ(det, 0.0f);
    EXPECT_TRUE(SameBits(out, before));
    EXPECT_EQ(D3DXMatrixInverse(&out, nullptr, &singular), nullptr);
}

TEST_F(PortableMathTest, Vec3NormalizeEdgeCases) {
    D3DXVECTOR3 out, zero(0, 0, 0), v(3, 4, 0);
    EXPECT_EQ(*D3DXVec3Normalize(&out, &zero), D3DXVECTOR3(0, 0, 0));
    D3DXVec3Normalize(&out, &v);
    EXPECT_NEAR(out.x, 0.6f, 1e-6f);
    EXPECT_NEAR(out.y, 0.8f, 1e-6f);
    // A unit vector comes back bit for bit in every variant.
    const D3DXVECTOR3 unit(0.6f, 0.8f, 0.0f);
    for (const NamedTable& t : AllVariantTables()) {
        D3DXVECTOR3 r;
        std::get<kVec3Normalize>(t.table)(&r, &unit);
        if (t.name == "portable" || t.name == "x87") {
            EXPECT_TRUE(SameBits(r, unit)) << t.name;
        }
    }
}

TEST_F(PortableMathTest, TransformCoordDividesOnlyWhenWIsNotNearOne) {
    Random random(2);
    D3DXMATRIX affine = random.Fill<D3DXMATRIX>();
    affine.m[0][3] = affine.m[1][3] = affine.m[2][3] = 0.0f;
    affine.m[3][3] = 1.0f;
    const D3DXVECTOR3 v(1.5f, -2.0f, 0.25f);
    D3DXVECTOR3 coord;
    D3DXVECTOR4 plain;
    D3DXVec3TransformCoord(&coord, &v, &affine);
    D3DXVec3Transform(&plain, &v, &affine);
    EXPECT_EQ(coord, D3DXVECTOR3(plain.x, plain.y, plain.z));

    D3DXMATRIX projection;
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 3, 1.5f, 1.0f, 100.0f);
    D3DXVec3TransformCoord(&coord, &v, &projection);
    D3DXVec3Transform(&plain, &v, &projection);
    EXPECT_NEAR(coord.x, plain.x / plain.w, 1e-6f);
    EXPECT_NEAR(coord.z, plain.z / plain.w, 1e-6f);
}

TEST_F(PortableMathTest, RotationAxisIgnoresAxisLengthAndMatchesRodrigues) {
    const D3DXVECTOR3 axis(1, 2, 2), longAxis(10, 20, 20);
    D3DXMATRIX a, b;
    D3DXMatrixRotationAxis(&a, &axis, 0.7f);
    D3DXMatrixRotationAxis(&b, &longAxis, 0.7f);
    ExpectMatrixNear(a, ToDouble(b), 1e-6);
    // The row vector p times the matrix: p cos + (n × p) sin + n (n·p)(1 − cos).
    const double n[3] = {1 / 3.0, 2 / 3.0, 2 / 3.0};
    const double p[3] = {0.5, -1.0, 2.0};
    const double c = std::cos(0.7), s = std::sin(0.7);
    const double dot = n[0] * p[0] + n[1] * p[1] + n[2] * p[2];
    const double cross[3] = {n[1] * p[2] - n[2] * p[1], n[2] * p[0] - n[0] * p[2], n[0] * p[1] - n[1] * p[0]};
    D3DXVECTOR3 point(0.5f, -1.0f, 2.0f), turned;
    D3DXVec3TransformNormal(&turned, &point, &a);
    for (int i = 0; i < 3; ++i) {
        const double expected = p[i] * c + cross[i] * s + n[i] * dot * (1 - c);
        EXPECT_NEAR(turned.Data()[i], expected, 1e-6) << i;
    }
    const D3DXVECTOR3 zero(0, 0, 0);
    D3DXMatrixRotationAxis(&a, &zero, 0.7f);
    const float cosine = std::cos(0.7f);
    EXPECT_EQ(a, D3DXMATRIX(cosine, 0, 0, 0, 0, cosine, 0, 0, 0, 0, cosine, 0, 0, 0, 0, 1));
}

TEST_F(PortableMathTest, RotationsAreLeftHanded) {
    D3DXMATRIX m;
    const D3DXVECTOR3 z(0, 0, 1), x(1, 0, 0), y(0, 1, 0);
    D3DXVECTOR3 r;
    D3DXVec3TransformNormal(&r, &z, D3DXMatrixRotationY(&m, D3DX_PI / 2));
    EXPECT_NEAR(r.x, 1.0f, 1e-6f);
    D3DXVec3TransformNormal(&r, &y, D3DXMatrixRotationX(&m, D3DX_PI / 2));
    EXPECT_NEAR(r.z, 1.0f, 1e-6f);
    D3DXVec3TransformNormal(&r, &x, D3DXMatrixRotationZ(&m, D3DX_PI / 2));
    EXPECT_NEAR(r.y, 1.0f, 1e-6f);
}

TEST_F(PortableMathTest, PerspectiveFovValues) {
    D3DXMATRIX m;
    D3DXMatrixPerspectiveFovLH(&m, D3DX_PI / 4, 4.0f / 3.0f, 1.0f, 1000.0f);
    EXPECT_NEAR(m.m[1][1], 2.4142137f, 1e-6f);
    EXPECT_NEAR(m.m[0][0], 1.8106602f, 1e-6f);
    EXPECT_NEAR(m.m[2][2], 1.001001f, 1e-6f);
    EXPECT_EQ(m.m[2][3], 1.0f);
    EXPECT_NEAR(m.m[3][2], -1.001001f, 1e-6f);
    EXPECT_EQ(m.m[3][3], 0.0f);
    // The near plane maps to z = 0 and the far plane to z = 1 in both hands.
    for (bool right : {false, true}) {
        right ? D3DXMatrixPerspectiveFovRH(&m, 1.0f, 1.0f, 2.0f, 50.0f)
              : D3DXMatrixPerspectiveFovLH(&m, 1.0f, 1.0f, 2.0f, 50.0f);
        const float sign = right ? -1.0f : 1.0f;
        D3DXVECTOR3 nearPoint(0, 0, 2 * sign), farPoint(0, 0, 50 * sign), r;
        EXPECT_NEAR(D3DXVec3TransformCoord(&r, &nearPoint, &m)->z, 0.0f, 1e-6f);
        EXPECT_NEAR(D3DXVec3TransformCoord(&r, &farPoint, &m)->z, 1.0f, 1e-6f);
        right ? D3DXMatrixOrthoOffCenterRH(&m, -1, 3, -2, 2, 2, 50) : D3DXMatrixOrthoOffCenterLH(&m, -1, 3, -2, 2, 2, 50);
        D3DXVECTOR3 corner(3, 2, 50 * sign);
        D3DXVec3TransformCoord(&r, &corner, &m);
        EXPECT_NEAR(r.x, 1.0f, 1e-6f);
        EXPECT_NEAR(r.y, 1.0f, 1e-6f);
        EXPECT_NEAR(r.z, 1.0f, 1e-6f);
    }
}

TEST_F(PortableMathTest, LookAtPutsTheTargetOnThePositiveZAxis) {
    const D3DXVECTOR3 eye(1, 2, 3), at(4, 6, 3), up(0, 1, 0);
    D3DXMATRIX view;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXVECTOR3 r;
    D3DXVec3TransformCoord(&r, &at, &view);
    EXPECT_NEAR(r.x, 0.0f, 1e-5f);
    EXPECT_NEAR(r.y, 0.0f, 1e-5f);
    EXPECT_NEAR(r.z, 5.0f, 1e-5f);
    D3DXMatrixLookAtRH(&view, &eye, &at, &up);
    D3DXVec3TransformCoord(&r, &at, &view);
    EXPECT_NEAR(r.z, -5.0f, 1e-5f);
}

TEST_F(PortableMathTest, SlerpTakesTheShortWayAndMatchesDoubleReference) {
    D3DXQUATERNION q, minusQ, out;
    const D3DXVECTOR3 axis(1, 1, 0);
    D3DXQuaternionRotationAxis(&q, &axis, 1.0f);
    minusQ = -q;
    for (float t : {0.0f, 0.25f, 0.5f, 1.0f}) {
        D3DXQuaternionSlerp(&out, &q, &minusQ, t);
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(out.Data()[i], q.Data()[i], 1e-6f);
    }
    Random random(3);
    for (int n = 0; n < 100; ++n) {
        D3DXQUATERNION a = random.Fill<D3DXQUATERNION>(), b = random.Fill<D3DXQUATERNION>();
        D3DXQuaternionNormalize(&a, &a);
        D3DXQuaternionNormalize(&b, &b);
        const float t = random.Uniform(0, 1);
        D3DXQuaternionSlerp(&out, &a, &b, t);
        double d = 0;
        for (int i = 0; i < 4; ++i) d += double(a.Data()[i]) * b.Data()[i];
        const double sign = d < 0 ? -1 : 1;
        const double theta = std::acos(std::min(1.0, sign * d));
        for (int i = 0; i < 4; ++i) {
            const double expected = (std::sin((1 - t) * theta) * a.Data()[i] + sign * std::sin(t * theta) * b.Data()[i]) /
                                    std::sin(theta);
            EXPECT_NEAR(out.Data()[i], expected, 2e-5) << n;
        }
    }
}

TEST_F(PortableMathTest, QuaternionMatrixRoundTripAndMultiplyOrder) {
    Random random(4);
    for (int n = 0; n < 100; ++n) {
        D3DXQUATERNION q = random.Fill<D3DXQUATERNION>(), back;
        D3DXQuaternionNormalize(&q, &q);
        D3DXMATRIX m;
        D3DXMatrixRotationQuaternion(&m, &q);
        D3DXQuaternionRotationMatrix(&back, &m);
        const float sign = D3DXQuaternionDot(&q, &back) < 0 ? -1.0f : 1.0f;
        for (int i = 0; i < 4; ++i) EXPECT_NEAR(back.Data()[i] * sign, q.Data()[i], 1e-5f) << n;
    }
    // q1 then q2 as quaternions equals the matrix of q1 times the matrix of q2.
    D3DXQUATERNION q1, q2, both;
    D3DXQuaternionRotationYawPitchRoll(&q1, 0.3f, -0.4f, 1.1f);
    D3DXQuaternionRotationYawPitchRoll(&q2, -1.2f, 0.5f, 0.2f);
    D3DXQuaternionMultiply(&both, &q1, &q2);
    D3DXMATRIX m1, m2, mBoth, yawPitchRoll;
    D3DXMatrixRotationQuaternion(&m1, &q1);
    D3DXMatrixRotationQuaternion(&m2, &q2);
    D3DXMatrixRotationQuaternion(&mBoth, &both);
    ExpectMatrixNear(mBoth, ToDouble(m1 * m2), 1e-6);
    // Yaw-pitch-roll: roll about z, then pitch about x, then yaw about y.
    D3DXMATRIX rz, rx, ry;
    D3DXMatrixRotationZ(&rz, 1.1f);
    D3DXMatrixRotationX(&rx, -0.4f);
    D3DXMatrixRotationY(&ry, 0.3f);
    D3DXMatrixRotationYawPitchRoll(&yawPitchRoll, 0.3f, -0.4f, 1.1f);
    ExpectMatrixNear(yawPitchRoll, ToDouble(rz * rx * ry), 1e-6);
}

TEST_F(PortableMathTest, QuaternionInverseLnExpAndAxisAngle) {
    D3DXQUATERNION q(1, 2, 3, 4), inverse, product;
    D3DXQuaternionInverse(&inverse, &q);
    D3DXQuaternionMultiply(&product, &q, &inverse);
    EXPECT_NEAR(product.w, 1.0f, 1e-6f);
    EXPECT_NEAR(product.x, 0.0f, 1e-6f);
    const D3DXQUATERNION tiny(1e-10f, 0, 0, 0);
    EXPECT_EQ(*D3DXQuaternionInverse(&inverse, &tiny), D3DXQUATERNION(0, 0, 0, 0));

    const D3DXVECTOR3 axis(0, 0, 1);
    D3DXQUATERNION rotation, logarithm, back;
    D3DXQuaternionRotationAxis(&rotation, &axis, 1.2f);
    D3DXQuaternionLn(&logarithm, &rotation);
    EXPECT_NEAR(logarithm.z, 0.6f, 1e-6f);
    EXPECT_EQ(logarithm.w, 0.0f);
    D3DXQuaternionExp(&back, &logarithm);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(back.Data()[i], rotation.Data()[i], 1e-6f);

    D3DXVECTOR3 outAxis;
    float angle = 0;
    D3DXQuaternionToAxisAngle(&rotation, &outAxis, &angle);
    EXPECT_NEAR(angle, 1.2f, 1e-6f);
    EXPECT_NEAR(outAxis.z, std::sin(0.6f), 1e-6f);
    const D3DXQUATERNION zero(0, 0, 0, 0);
    D3DXQuaternionToAxisAngle(&zero, &outAxis, &angle);
    EXPECT_EQ(outAxis, D3DXVECTOR3(1, 0, 0));
    EXPECT_EQ(angle, 0.0f);
    D3DXQuaternionToAxisAngle(&rotation, nullptr, nullptr);
}

TEST_F(PortableMathTest, SquadPassesThroughItsKeys) {
    D3DXQUATERNION q[4], a, b, c, out;
    for (int i = 0; i < 4; ++i) D3DXQuaternionRotationYawPitchRoll(&q[i], 0.4f * i, 0.2f * i, 0.1f);
    q[2] = -q[2];  // the set-up brings it back into q1's hemisphere
    D3DXQuaternionSquadSetup(&a, &b, &c, &q[0], &q[1], &q[2], &q[3]);
    EXPECT_TRUE(SameBits(c, -q[2]));
    D3DXQuaternionSquad(&out, &q[1], &a, &b, &c, 0.0f);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(out.Data()[i], q[1].Data()[i], 1e-6f);
    D3DXQuaternionSquad(&out, &q[1], &a, &b, &c, 1.0f);
    for (int i = 0; i < 4; ++i) EXPECT_NEAR(out.Data()[i], c.Data()[i], 1e-6f);
    D3DXQuaternionBaryCentric(&out, &q[0], &q[1], &q[3], 0.0f, 0.0f);
    EXPECT_TRUE(SameBits(out, q[0]));
}

TEST_F(PortableMathTest, TransformationComposesItsPartsInOrder) {
    const D3DXVECTOR3 scalingCenter(1, 2, 3), scaling(2, 0.5f, 3), rotationCenter(-1, 0, 2), translation(5, 6, 7);
    D3DXQUATERNION scalingRotation, rotation;
    D3DXQuaternionRotationYawPitchRoll(&scalingRotation, 0.2f, 0.3f, 0.4f);
    D3DXQuaternionRotationYawPitchRoll(&rotation, -0.5f, 0.1f, 0.9f);
    D3DXMATRIX m;
    D3DXMatrixTransformation(&m, &scalingCenter, &scalingRotation, &scaling, &rotationCenter, &rotation,
                             &translation);
    // Reference: Tsc⁻¹ · Rsr⁻¹ · S · Rsr · Tsc · Trc⁻¹ · R · Trc · T in double.
    D3DXMATRIX part;
    auto chain = [&](Matrix64 acc, const D3DXMATRIX& next) { return Multiply(acc, ToDouble(next)); };
    Matrix64 ref = ToDouble(*D3DXMatrixTranslation(&part, -1, -2, -3));
    D3DXMATRIX rsr, rsrInverse;
    D3DXMatrixRotationQuaternion(&rsr, &scalingRotation);
    D3DXMatrixInverse(&rsrInverse, nullptr, &rsr);
    ref = chain(ref, rsrInverse);
    ref = chain(ref, *D3DXMatrixScaling(&part, 2, 0.5f, 3));
    ref = chain(ref, rsr);
    ref = chain(ref, *D3DXMatrixTranslation(&part, 1, 2, 3));
    ref = chain(ref, *D3DXMatrixTranslation(&part, 1, 0, -2));
    ref = chain(ref, *D3DXMatrixRotationQuaternion(&part, &rotation));
    ref = chain(ref, *D3DXMatrixTranslation(&part, -1, 0, 2));
    ref = chain(ref, *D3DXMatrixTranslation(&part, 5, 6, 7));
    ExpectMatrixNear(m, ref, 2e-5);

    D3DXMatrixTransformation(&m, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_TRUE(D3DXMatrixIsIdentity(&m));
    D3DXMATRIX affine;
    D3DXMatrixAffineTransformation(&affine, 2.0f, &rotationCenter, &rotation, &translation);
    const D3DXVECTOR3 uniform(2, 2, 2);
    D3DXMatrixTransformation(&m, nullptr, nullptr, &uniform, &rotationCenter, &rotation, &translation);
    ExpectMatrixNear(affine, ToDouble(m), 1e-5);
}

TEST_F(PortableMathTest, Vec4CrossIsTheCofactorVector) {
    Random random(5);
    for (int n = 0; n < 50; ++n) {
        const D3DXVECTOR4 u = random.Fill<D3DXVECTOR4>(), v = random.Fill<D3DXVECTOR4>(), w = random.Fill<D3DXVECTOR4>();
        const D3DXVECTOR4 t = random.Fill<D3DXVECTOR4>();
        D3DXVECTOR4 cross;
        D3DXVec4Cross(&cross, &u, &v, &w);
        Matrix64 rows;
        for (int j = 0; j < 4; ++j) {
            rows.m[0][j] = t.Data()[j];
            rows.m[1][j] = u.Data()[j];
            rows.m[2][j] = v.Data()[j];
            rows.m[3][j] = w.Data()[j];
        }
        EXPECT_NEAR(D3DXVec4Dot(&cross, &t), Determinant(rows), 1e-3) << n;
        EXPECT_NEAR(D3DXVec4Dot(&cross, &u), 0.0, 1e-3);
    }
}

TEST_F(PortableMathTest, PlanesProjectionAndShadows) {
    const D3DXVECTOR3 a(0, 2, 0), b(1, 2, 0), c(0, 2, 1);
    D3DXPLANE plane;
    D3DXPlaneFromPoints(&plane, &a, &b, &c);
    EXPECT_NEAR(std::fabs(plane.b), 1.0f, 1e-6f);
    EXPECT_NEAR(plane.d, -2.0f * plane.b, 1e-6f);
    const D3DXVECTOR3 p(3, 5, 1), q(3, -1, 1), parallel(4, 5, 1);
    D3DXVECTOR3 hit(9, 9, 9);
    ASSERT_NE(D3DXPlaneIntersectLine(&hit, &plane, &p, &q), nullptr);
    EXPECT_NEAR(hit.y, 2.0f, 1e-6f);
    const D3DXVECTOR3 before = hit;
    EXPECT_EQ(D3DXPlaneIntersectLine(&hit, &plane, &p, &parallel), nullptr);
    EXPECT_EQ(hit, before);

    // Shadow of a point light onto y = 0 and a reflection in y = 2.
    const D3DXPLANE ground(0, 1, 0, 0);
    const D3DXVECTOR4 light(0, 10, 0, 1);
    D3DXMATRIX shadow, reflect;
    D3DXMatrixShadow(&shadow, &light, &ground);
    D3DXVECTOR3 r;
    const D3DXVECTOR3 point(1, 5, 0);
    D3DXVec3TransformCoord(&r, &point, &shadow);
    EXPECT_NEAR(r.x, 2.0f, 1e-5f);
    EXPECT_NEAR(r.y, 0.0f, 1e-5f);
    const D3DXPLANE mirror(0, 2, 0, -4);
    D3DXMatrixReflect(&reflect, &mirror);
    D3DXVec3TransformCoord(&r, &point, &reflect);
    EXPECT_NEAR(r.y, -1.0f, 1e-5f);

    D3DVIEWPORT8 viewport{10, 20, 640, 480, 0.0f, 1.0f};
    D3DXMATRIX projection, view;
    D3DXMatrixPerspectiveFovLH(&projection, 1.0f, 4.0f / 3.0f, 1.0f, 100.0f);
    const D3DXVECTOR3 eye(0, 0, -5), at(0, 0, 0), up(0, 1, 0), object(1, -2, 3);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXVECTOR3 screen, back;
    D3DXVec3Project(&screen, &object, &viewport, &projection, &view, nullptr);
    EXPECT_GT(screen.x, 330.0f);
    EXPECT_GT(screen.y, 260.0f);
    D3DXVec3Unproject(&back, &screen, &viewport, &projection, &view, nullptr);
    for (int i = 0; i < 3; ++i) EXPECT_NEAR(back.Data()[i], object.Data()[i], 1e-3f);
    D3DXVec3Project(&screen, &object, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(screen, object);
}

TEST_F(PortableMathTest, ColoursAndFresnel) {
    const D3DXCOLOR c(0.2f, 0.6f, 0.9f, 0.5f);
    D3DXCOLOR out;
    D3DXColorAdjustSaturation(&out, &c, 0.0f);
    const float grey = 0.2125f * 0.2f + 0.7154f * 0.6f + 0.0721f * 0.9f;
    EXPECT_NEAR(out.r, grey, 1e-6f);
    EXPECT_NEAR(out.b, grey, 1e-6f);
    EXPECT_EQ(out.a, 0.5f);
    D3DXColorAdjustContrast(&out, &c, 2.0f);
    EXPECT_NEAR(out.r, -0.1f, 1e-6f);
    EXPECT_NEAR(out.b, 1.3f, 1e-6f);
    EXPECT_EQ(out.a, 0.5f);
    D3DXColorNegative(&out, &c);
    EXPECT_NEAR(out.g, 0.4f, 1e-6f);
    EXPECT_EQ(out.a, 0.5f);
    D3DXColorModulate(&out, &c, &c);
    EXPECT_NEAR(out.a, 0.25f, 1e-7f);
    D3DXColorLerp(&out, &c, &out, 0.5f);
    EXPECT_NEAR(out.a, 0.375f, 1e-7f);

    EXPECT_EQ(D3DXFresnelTerm(0.0f, 1.5f), 1.0f);
    // Normal incidence: ((n − 1)/(n + 1))².
    EXPECT_NEAR(D3DXFresnelTerm(1.0f, 1.5f), 0.04f, 1e-6f);
    EXPECT_LE(D3DXFresnelTerm(0.3f, 1.33f), 1.0f);
}

}  // namespace
}  // namespace valmere::math::test
