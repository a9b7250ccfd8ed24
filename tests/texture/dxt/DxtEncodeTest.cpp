// Encoder rules: modes, orderings, special blocks and premultiplication.
#include "DxtTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valmere::test {
namespace {

TEST(DxtEncode, AllTransparentDxt1Block) {
    Pixels p = Flat(D3DXCOLOR(0.3f, 0.6f, 0.9f, 0.49f));
    Block b{};
    ASSERT_EQ(PackBlockDxt1(b.data(), p.data()), S_OK);
    const std::uint8_t expected[8] = {0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b[i], expected[i]) << i;
    Pixels out;
    UnpackBlockDxt1(out.data(), b.data());
    for (const D3DXCOLOR& c : out) EXPECT_EQ(c, D3DXCOLOR(0, 0, 0, 0));
}

TEST(DxtEncode, FlatExactColourUsesOneCodeAndIndexZero) {
    for (D3DXCOLOR c : {D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(1, 0, 0, 1),
                        D3DXCOLOR(10.0f / 31, 40.0f / 63, 3.0f / 31, 1)}) {
        Pixels p = Flat(c);
        Block b{};
        PackBlockDxt1(b.data(), p.data());
        const std::uint16_t code = static_cast<std::uint16_t>(std::lround(c.r * 31) << 11 |
                                                              std::lround(c.g * 63) << 5 | std::lround(c.b * 31));
        EXPECT_EQ(Color0(b.data()), code);
        EXPECT_EQ(Color1(b.data()), code);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(ColorIndex(b.data(), i), 0u);
        Pixels out;
        UnpackBlockDxt1(out.data(), b.data());
        for (const D3DXCOLOR& o : out) {
            EXPECT_NEAR(o.r, c.r, 1e-6f);
            EXPECT_NEAR(o.g, c.g, 1e-6f);
            EXPECT_NEAR(o.b, c.b, 1e-6f);
        }
    }
}

TEST(DxtEncode, FlatColourBetweenCodesIsDitheredAndAveragesRight) {
    // Red 15.5/31 lies between two 5:6:5 codes; green and blue are exact.
    const float red = 15.5f / 31;
    Pixels p = Flat(D3DXCOLOR(red, 16.0f / 63, 24.0f / 31, 1));
    Block b{};
    PackBlockDxt1(b.data(), p.data());
    EXPECT_GT(Color0(b.data()), Color1(b.data()));
    Pixels out;
    UnpackBlockDxt1(out.data(), b.data());
    float sum = 0;
    bool varies = false;
    for (const D3DXCOLOR& o : out) {
        sum += o.r;
        varies |= o.r != out[0].r;
    }
    EXPECT_TRUE(varies);
    EXPECT_NEAR(sum / 16, red, 0.5f / 31);
}

TEST(DxtEncode, OneTransparentPixelSelectsThreeColours) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(static_cast<float>(i) / 15, 0.5f, 1 - static_cast<float>(i) / 15, 1);
    p[6].a = 0.2f;
    Block b{};
    PackBlockDxt1(b.data(), p.data());
    EXPECT_LE(Color0(b.data()), Color1(b.data()));
    for (int i = 0; i < 16; ++i) {
        if (i == 6) {
            EXPECT_EQ(ColorIndex(b.data(), i), 3u);
        } else {
            EXPECT_NE(ColorIndex(b.data(), i), 3u) << i;
        }
    }
    Pixels out;
    UnpackBlockDxt1(out.data(), b.data());
    EXPECT_EQ(out[6].a, 0.0f);
    EXPECT_EQ(out[5].a, 1.0f);
}

TEST(DxtEncode, OpaqueGradientUsesFourColours) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(static_cast<float>(i) / 15, 0.2f, 0.4f, 1);
    Block b{};
    PackBlockDxt1(b.data(), p.data());
    EXPECT_GT(Color0(b.data()), Color1(b.data()));
    // The alpha formats never use transparency, even for transparent pixels.
    for (D3DXCOLOR& c : p) c.a = 0;
    Block b3{};
    PackBlockDxt3(b3.data(), p.data());
    EXPECT_GT(Color0(b3.data() + 8), Color1(b3.data() + 8));
}

TEST(DxtEncode, ExplicitAlphaStoresNibbles) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(0.5f, 0.5f, 0.5f, static_cast<float>(i) / 15);
    Block b{};
    PackBlockDxt3(b.data(), p.data());
    for (int i = 0; i < 16; ++i) EXPECT_EQ((b[i / 2] >> (4 * (i & 1))) & 15, i) << i;
    // Out-of-range alpha is held to the nibble instead of spilling over.
    Pixels high = Flat(D3DXCOLOR(0, 0, 0, 1.4f));
    PackBlockDxt3(b.data(), high.data());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b[i], 0xFF);
    Pixels low = Flat(D3DXCOLOR(0, 0, 0, -0.4f));
    PackBlockDxt3(b.data(), low.data());
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b[i], 0x00);
}

TEST(DxtEncode, InterpolatedAlphaAllOpaque) {
    Pixels p = Flat(D3DXCOLOR(0.1f, 0.2f, 0.3f, 1));
    Block b{};
    PackBlockDxt5(b.data(), p.data());
    const std::uint8_t expected[8] = {0xFF, 0xFF, 0, 0, 0, 0, 0, 0};
    for (int i = 0; i < 8; ++i) EXPECT_EQ(b[i], expected[i]) << i;
}

TEST(DxtEncode, InterpolatedAlphaOnlyZeroAndOneIsExact) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(0.5f, 0.5f, 0.5f, (i % 3) == 0 ? 1.0f : 0.0f);
    Block b{};
    PackBlockDxt5(b.data(), p.data());
    Pixels out;
    UnpackBlockDxt5(out.data(), b.data());
    for (int i = 0; i < 16; ++i) EXPECT_EQ(out[i].a, p[i].a) << i;
}

TEST(DxtEncode, InterpolatedAlphaChoosesSixStepsWhenTheBlockReachesZeroOrOne) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(0, 0, 0, i < 4 ? 0.0f : 0.3f + 0.02f * static_cast<float>(i));
    Block b{};
    PackBlockDxt5(b.data(), p.data());
    EXPECT_LE(b[0], b[1]);  // six-step mode
    Pixels out;
    UnpackBlockDxt5(out.data(), b.data());
    for (int i = 0; i < 4; ++i) EXPECT_EQ(out[i].a, 0.0f);
    for (int i = 4; i < 16; ++i) EXPECT_NEAR(out[i].a, p[i].a, 0.06f) << i;
}

TEST(DxtEncode, InterpolatedAlphaUsesEightStepsInside) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(0, 0, 0, 0.2f + 0.04f * static_cast<float>(i));
    Block b{};
    PackBlockDxt5(b.data(), p.data());
    EXPECT_GT(b[0], b[1]);  // eight-step mode
    Pixels out;
    UnpackBlockDxt5(out.data(), b.data());
    // Eight steps over a range of 0.6: each value within one step.
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(out[i].a, p[i].a, 0.6f / 7) << i;
}

TEST(DxtEncode, PremultipliedFormatsStoreTheProduct) {
    Pixels p = Flat(D3DXCOLOR(1, 1, 1, 0.5f));
    for (auto pack : {PackBlockDxt2, PackBlockDxt4}) {
        Block b{};
        pack(b.data(), p.data());
        Pixels colour;
        UnpackBlockDxt1(colour.data(), b.data() + 8);
        float sum = 0;
        for (const D3DXCOLOR& c : colour) sum += c.r;
        EXPECT_NEAR(sum / 16, 0.5f, 0.5f / 31);
    }
    Block b2{};
    PackBlockDxt2(b2.data(), p.data());
    Pixels out;
    UnpackBlockDxt2(out.data(), b2.data());
    // Alpha 0.5 stores as 7 or 8 fifteenths; colour/alpha is clamped to 1.
    for (const D3DXCOLOR& c : out) {
        EXPECT_NEAR(c.a, 0.5f, 0.5f / 15 + 1e-6f);
        EXPECT_NEAR(c.r, 1.0f, 0.08f);
    }
    Block b4{};
    PackBlockDxt4(b4.data(), p.data());
    UnpackBlockDxt4(out.data(), b4.data());
    for (const D3DXCOLOR& c : out) {
        EXPECT_NEAR(c.a, 0.5f, 1.0f / 255);
        EXPECT_NEAR(c.g, 1.0f, 0.04f);
    }
}

}  // namespace
}  // namespace valmere::test
