#include <type_traits>

#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

TEST(MathTypesTest, LayoutsMatchTheComponentOrder) {
    static_assert(std::is_standard_layout_v<D3DXVECTOR3> && std::is_standard_layout_v<D3DXMATRIX>);
    static_assert(std::is_trivially_copyable_v<D3DXQUATERNION> && std::is_trivially_copyable_v<D3DXPLANE>);
    const D3DXMATRIX m(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const float* f = m;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(f[i], static_cast<float>(i));
    EXPECT_EQ(m(2, 3), 11.0f);
    EXPECT_EQ(m._42, 13.0f);
    const D3DXPLANE p(1, 2, 3, 4);
    EXPECT_EQ(static_cast<const float*>(p)[3], 4.0f);
    const D3DXVECTOR3 v(D3DVECTOR{1, 2, 3});
    EXPECT_EQ(v, D3DXVECTOR3(1, 2, 3));
}

TEST(MathTypesTest, OperatorsWorkComponentWise) {
    D3DXVECTOR4 a(1, 2, 3, 4), b(4, 3, 2, 1);
    EXPECT_EQ(a + b, D3DXVECTOR4(5, 5, 5, 5));
    EXPECT_EQ(a - b, D3DXVECTOR4(-3, -1, 1, 3));
    EXPECT_EQ(-a, D3DXVECTOR4(-1, -2, -3, -4));
    EXPECT_EQ(+a, a);
    EXPECT_EQ(2.0f * a, a * 2.0f);
    EXPECT_EQ(a / 4.0f, D3DXVECTOR4(0.25f, 0.5f, 0.75f, 1.0f));
    EXPECT_NE(a, b);
    a += b;
    a -= D3DXVECTOR4(1, 1, 1, 1);
    a *= 0.5f;
    EXPECT_EQ(a, D3DXVECTOR4(2, 2, 2, 2));
    D3DXVECTOR2 two(1, 2);
    two /= 2.0f;
    EXPECT_EQ(two, D3DXVECTOR2(0.5f, 1.0f));
    // Division multiplies by the reciprocal.
    EXPECT_EQ(D3DXVECTOR2(1, 1) / 3.0f, D3DXVECTOR2(1, 1) * (1.0f / 3.0f));
}

TEST(MathTypesTest, MatrixAndQuaternionProductsUseTheLibrary) {
    D3DXMATRIX t, s;
    D3DXMatrixTranslation(&t, 1, 2, 3);
    D3DXMatrixScaling(&s, 2, 3, 4);
    D3DXMATRIX ts = t * s;
    EXPECT_EQ(ts(3, 0), 2.0f);
    EXPECT_EQ(ts(3, 2), 12.0f);
    t *= s;
    EXPECT_EQ(t, ts);
    D3DXMATRIX doubled = ts * 2.0f;
    EXPECT_EQ(doubled(0, 0), 4.0f);
    EXPECT_EQ(doubled - ts, ts);

    D3DXQUATERNION q1, q2, product;
    D3DXQuaternionRotationYawPitchRoll(&q1, 0.1f, 0.2f, 0.3f);
    D3DXQuaternionRotationYawPitchRoll(&q2, -0.4f, 0.5f, 0.6f);
    D3DXQuaternionMultiply(&product, &q1, &q2);
    EXPECT_EQ(q1 * q2, product);
    q1 *= q2;
    EXPECT_EQ(q1, product);
}

TEST(MathTypesTest, InlineHelpers) {
    const D3DXVECTOR3 a(1, 5, -2), b(3, -1, 4);
    D3DXVECTOR3 r;
    EXPECT_EQ(*D3DXVec3Minimize(&r, &a, &b), D3DXVECTOR3(1, -1, -2));
    EXPECT_EQ(*D3DXVec3Maximize(&r, &a, &b), D3DXVECTOR3(3, 5, 4));
    EXPECT_EQ(*D3DXVec3Lerp(&r, &a, &b, 0.5f), D3DXVECTOR3(2, 2, 1));
    EXPECT_EQ(*D3DXVec3Cross(&r, &a, &b), D3DXVECTOR3(18, -10, -16));
    EXPECT_EQ(D3DXVec3Dot(&a, &b), -10.0f);
    const D3DXVECTOR2 x(1, 0), y(0, 1);
    EXPECT_EQ(D3DXVec2CCW(&x, &y), 1.0f);
    D3DXQUATERNION q;
    EXPECT_TRUE(D3DXQuaternionIsIdentity(D3DXQuaternionIdentity(&q)));
    const D3DXPLANE plane(0, 0, 1, -2);
    EXPECT_EQ(D3DXPlaneDotCoord(&plane, &a), -4.0f);
    EXPECT_EQ(D3DXPlaneDotNormal(&plane, &a), -2.0f);
    EXPECT_FLOAT_EQ(D3DXToDegree(D3DXToRadian(90.0f)), 90.0f);
}

}  // namespace
}  // namespace valmere::math::test
