// Runs in its own process: the dispatch table as the program starts.
#include "tests/math/MathTestSupport.h"

namespace valmere::math::test {
namespace {

template <std::size_t... S>
int SlotsHoldingPortable(std::index_sequence<S...>) {
    return ((LoadSlot<S>() == std::get<S>(PortableMathTable) ? 1 : 0) + ...);
}

TEST(MathStartupTest, SquadSetupWorksBeforeLnAndExpAreFilled) {
    // Ln and Exp start empty; the set-up must not jump through them then.
    ASSERT_EQ(LoadSlot<kQuaternionLn>(), nullptr);
    D3DXQUATERNION q[4], a, b, c;
    for (int i = 0; i < 4; ++i) D3DXQuaternionRotationYawPitchRoll(&q[i], 0.3f * i, 0.1f, 0.0f);
    std::get<kQuaternionSquadSetup>(PortableMathTable)(&a, &b, &c, &q[0], &q[1], &q[2], &q[3]);
    EXPECT_TRUE(SameBits(c, q[2]));
    EXPECT_NEAR(D3DXQuaternionLength(&a), 1.0f, 1e-5f);
}

TEST(MathStartupTest, FirstCallOfAnyOperationSelectsThroughItsStub) {
    // Run on its own (as CTest does) the table still holds the stubs.
    if (MathVariantState.load() == kVariantNotSelected) {
        EXPECT_EQ(LoadSlot<kQuaternionLn>(), nullptr);
        EXPECT_EQ(LoadSlot<kQuaternionExp>(), nullptr);
        EXPECT_EQ(SlotsHoldingPortable(std::make_index_sequence<kQuaternionLn>()), 0);
    }

    // A first call goes through the stub with its arguments unchanged.
    D3DXMATRIX a, b, product;
    D3DXMatrixTranslation(&a, 1, 2, 3);
    EXPECT_NE(MathVariantState.load(), kVariantNotSelected);
    EXPECT_EQ(a.m[3][1], 2.0f);
    D3DXMatrixScaling(&b, 2, 2, 2);
    D3DXMatrixMultiply(&product, &a, &b);
    EXPECT_EQ(product.m[3][0], 2.0f);
    EXPECT_EQ(product.m[3][2], 6.0f);
    EXPECT_NE(LoadSlot<kQuaternionLn>(), nullptr);
    EXPECT_EQ(D3DXCpuOptimizations(TRUE), MathVariantState.load());
}

}  // namespace
}  // namespace valmere::math::test
