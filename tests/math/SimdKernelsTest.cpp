// The shortcuts inside the SSE and SSE2 sets: the integer w′ test of the
// coordinate transforms, and the block-wise inverse on matrices whose 2 × 2
// blocks are singular, where a block method would go wrong if it inverted a
// block instead of taking its adjugate.
#include <cmath>
#include <cstdint>

#include "tests/math/MathTestSupport.h"

#if defined(__SSE2__)
#include "math/MathTolerances.h"
#include "math/SimdVector.h"
#endif

namespace valmere::math::test {
namespace {

#if defined(__SSE2__)
float FromBits(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(SimdKernelsTest, NearOneOnBitsMatchesTheFloatTest) {
    // Every encoding within a wide band around 1, and the specials.
    for (std::uint32_t bits = 0x3F7F0000u; bits <= 0x3F810000u; ++bits) {
        const float w = FromBits(bits);
        ASSERT_EQ(simd::FirstLaneNearOne(_mm_set_ss(w)), IsNear(w, 1.0f)) << std::hex << bits;
    }
    for (float w : {0.0f, -0.0f, -1.0f, 2.0f, INFINITY, -INFINITY, NAN, 1e-38f}) {
        EXPECT_EQ(simd::FirstLaneNearOne(_mm_set_ss(w)), IsNear(w, 1.0f)) << w;
    }
}
#endif

// M·M⁻¹ within `tolerance` of the identity.
void ExpectInverse(const D3DXMATRIX& m, const D3DXMATRIX& inverse, float tolerance, const std::string& name) {
    D3DXMATRIX product;
    std::get<kMatrixMultiply>(PortableMathTable)(&product, &m, &inverse);
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) EXPECT_NEAR(product(i, j), i == j ? 1.0f : 0.0f, tolerance) << name << " " << i << j;
    }
}

TEST(SimdKernelsTest, InverseWithSingularBlocks) {
    const D3DXMATRIX matrices[] = {
        // A row permutation: the upper-left and lower-right blocks are zero
        // or rank one.
        D3DXMATRIX(0, 0, 1, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 1, 0, 0),
        D3DXMATRIX(0, 1, 0, 0, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 1, 0),
        // Every block singular, the whole invertible.
        D3DXMATRIX(1, 1, 0, 1, 2, 2, 1, 0, 0, 1, 3, 3, 1, 0, 1, 1),
        // A view-like affine transform and a projection.
        D3DXMATRIX(0.8f, 0, -0.6f, 0, 0, 1, 0, 0, 0.6f, 0, 0.8f, 0, 3, -2, 7, 1),
        D3DXMATRIX(1.5f, 0, 0, 0, 0, 2, 0, 0, 0, 0, 1.001f, 1, 0, 0, -0.1001f, 0),
    };
    for (const NamedTable& variant : AllVariantTables()) {
        for (const D3DXMATRIX& m : matrices) {
            D3DXMATRIX expected, actual;
            float expectedDet = 0, actualDet = 0;
            ASSERT_NE(std::get<kMatrixInverse>(PortableMathTable)(&expected, &expectedDet, &m), nullptr);
            ASSERT_NE(std::get<kMatrixInverse>(variant.table)(&actual, &actualDet, &m), nullptr) << variant.name;
            EXPECT_NEAR(actualDet, expectedDet, 1e-5f * std::max(1.0f, std::fabs(expectedDet))) << variant.name;
            EXPECT_NEAR(std::get<kMatrixfDeterminant>(variant.table)(&m), expectedDet,
                        1e-5f * std::max(1.0f, std::fabs(expectedDet)))
                << variant.name;
            for (int i = 0; i < 16; ++i) {
                EXPECT_NEAR(actual.Data()[i], expected.Data()[i], 1e-5f * std::max(1.0f, std::fabs(expected.Data()[i])))
                    << variant.name << " #" << i;
            }
            ExpectInverse(m, actual, 1e-4f, variant.name);
        }
    }
}

}  // namespace
}  // namespace valmere::math::test
