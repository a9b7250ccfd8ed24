#include <cmath>

#include "math/InvSqrtTable.h"
#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

TEST(InvSqrtTableTest, TellingRows) {
    const InvSqrtTable& table = GetInvSqrtTable();
    EXPECT_EQ(table[0].slope, -1.41009521484375f);
    EXPECT_FLOAT_EQ(table[0].intercept, 2.1192612648f);
    EXPECT_EQ(table[255].slope, -0.500732421875f);
    EXPECT_EQ(table[255].intercept, 1.500732421875f);
    EXPECT_EQ(table[256].slope, -0.49853515625f);
    EXPECT_EQ(table[256].intercept, 1.49853515625f);
    EXPECT_EQ(table[511].slope, -0.177032470703125f);
    EXPECT_FLOAT_EQ(table[511].intercept, 1.0611717701f);
}

TEST(InvSqrtTableTest, PiecesFollowTheExactTangents) {
    const InvSqrtTable& table = GetInvSqrtTable();
    for (int k = 0; k < 512; ++k) {
        const double middle = k < 256 ? 0.5 + (k + 0.5) / 512 : 1.0 + (k - 256 + 0.5) / 256;
        const double slope = -0.5 / (middle * std::sqrt(middle));
        const double intercept = 1.5 / std::sqrt(middle);
        EXPECT_NEAR(table[k].slope, slope, 6e-5) << k;
        EXPECT_NEAR(table[k].intercept, intercept, 6e-5) << k;
    }
}

TEST(InvSqrtTableTest, TableInvSqrtIsCloseOverManyOctaves) {
    for (float q = 1e-30f; q < 1e30f; q *= 1.37f) {
        const double exact = 1.0 / std::sqrt(static_cast<double>(q));
        EXPECT_NEAR(TableInvSqrt(q) / exact, 1.0, 3e-5) << q;
    }
}

TEST(InvSqrtTableTest, X87NormalizeEdgeCases) {
    const auto normalize = std::get<kVec3Normalize>(BuildVariantTable(kVariantPortable));
    ASSERT_NE(normalize, std::get<kVec3Normalize>(PortableMathTable));
    D3DXVECTOR3 out(7, 7, 7);
    const D3DXVECTOR3 zero(0, 0, 0), nearUnit(0.6f, 0.8f, 0.0f), v(3, 4, 0), small(1e-18f, 0, 0),
        denormal(1e-20f, 0, 0);
    EXPECT_EQ(*normalize(&out, &zero), D3DXVECTOR3(0, 0, 0));
    EXPECT_TRUE(SameBits(*normalize(&out, &nearUnit), nearUnit));
    const D3DXVECTOR3 withinTolerance(1.000004f, 0, 0);
    EXPECT_TRUE(SameBits(*normalize(&out, &withinTolerance), withinTolerance));
    normalize(&out, &v);
    EXPECT_NEAR(out.x, 0.6f, 3e-5f);
    EXPECT_NEAR(out.y, 0.8f, 3e-5f);
    EXPECT_EQ(out.z, 0.0f);
    normalize(&out, &small);
    EXPECT_NEAR(out.x, 1.0f, 3e-5f);
    // q = 1e-40 is denormal: the table has no piece for it, so the result is
    // zero as in the portable code.
    EXPECT_EQ(*normalize(&out, &denormal), D3DXVECTOR3(0, 0, 0));
}

TEST(InvSqrtTableTest, SseNormalisationZeroesTinyVectorsUnlikePortable) {
    const D3DXVECTOR3 tiny(std::sqrt(1e-15f), 0, 0);  // q = 1e-15 < 2⁻⁴⁶
    for (const NamedTable& t : AllVariantTables()) {
        D3DXVECTOR3 out;
        std::get<kVec3Normalize>(t.table)(&out, &tiny);
#if defined(__SSE2__)
        const bool simd = t.name == "sse" || t.name == "sse2";
#else
        const bool simd = false;
#endif
        if (simd) {
            EXPECT_EQ(out.x, 0.0f) << t.name;
        } else {
            EXPECT_NEAR(out.x, 1.0f, 3e-5f) << t.name;
        }
    }
}

}  // namespace
}  // namespace valmere::math::test
