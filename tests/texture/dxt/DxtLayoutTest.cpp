// Decoding of hand-made blocks: the byte layouts and palette rules.
#include "DxtTestUtil.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

void ExpectColor(const D3DXCOLOR& c, float r, float g, float b, float a) {
    EXPECT_NEAR(c.r, r, 1e-6f);
    EXPECT_NEAR(c.g, g, 1e-6f);
    EXPECT_NEAR(c.b, b, 1e-6f);
    EXPECT_NEAR(c.a, a, 1e-6f);
}

TEST(DxtLayout, FourColourBlockInterpolatesThirds) {
    // colour0 red 0xF800 > colour1 blue 0x001F; pixels 0..3 use indices 0..3,
    // the rest index 1.
    Block b = {0x00, 0xF8, 0x1F, 0x00, 0b11100100, 0x55, 0x55, 0x55};
    Pixels p;
    ASSERT_EQ(UnpackBlockDxt1(p.data(), b.data()), S_OK);
    ExpectColor(p[0], 1, 0, 0, 1);
    ExpectColor(p[1], 0, 0, 1, 1);
    ExpectColor(p[2], 2.0f / 3, 0, 1.0f / 3, 1);
    ExpectColor(p[3], 1.0f / 3, 0, 2.0f / 3, 1);
    for (int i = 4; i < 16; ++i) ExpectColor(p[i], 0, 0, 1, 1);
}

TEST(DxtLayout, ThreeColourBlockHasMidpointAndTransparentBlack) {
    // colour0 0x001F <= colour1 0xF800.
    Block b = {0x1F, 0x00, 0x00, 0xF8, 0b11100100, 0, 0, 0};
    Pixels p;
    UnpackBlockDxt1(p.data(), b.data());
    ExpectColor(p[0], 0, 0, 1, 1);
    ExpectColor(p[1], 1, 0, 0, 1);
    ExpectColor(p[2], 0.5f, 0, 0.5f, 1);
    ExpectColor(p[3], 0, 0, 0, 0);
}

TEST(DxtLayout, GreenUsesSixBitsAndChannelsTheirPlaces) {
    // 0x07E0 is full green; 0x0020 is green code 1.
    Block b = {0xE0, 0x07, 0x20, 0x00, 0b0100, 0, 0, 0};
    Pixels p;
    UnpackBlockDxt1(p.data(), b.data());
    ExpectColor(p[0], 0, 1, 0, 1);
    ExpectColor(p[1], 0, 1.0f / 63, 0, 1);
}

TEST(DxtLayout, ExplicitAlphaNibblesInPixelOrder) {
    Block b{};
    // Pixel i gets alpha i: nibbles 0,1,2,...,15 from the low bits up.
    for (int i = 0; i < 8; ++i) b[i] = static_cast<std::uint8_t>((2 * i) | ((2 * i + 1) << 4));
    b[8] = 0xFF;  // colour0 white > colour1 black
    b[9] = 0xFF;
    Pixels p;
    UnpackBlockDxt3(p.data(), b.data());
    for (int i = 0; i < 16; ++i) {
        EXPECT_NEAR(p[i].a, static_cast<float>(i) / 15, 1e-6f);
        EXPECT_EQ(p[i].r, 1.0f);
    }
}

TEST(DxtLayout, ColourHalfOfAlphaFormatsAlwaysHasFourColours) {
    // colour0 0 (black) <= colour1 0xFFFF (white): DXT1 would take three
    // colours; the colour half of DXT3 and DXT5 takes four, so index 2 is a
    // third of the way to white and index 3 two thirds, both opaque.
    Block b{};
    b[10] = 0xFF;
    b[11] = 0xFF;
    b[12] = 0b11100100;  // pixels 0..3 indices 0..3
    for (const auto unpack : {UnpackBlockDxt3, UnpackBlockDxt5}) {
        for (int i = 0; i < 8; ++i) b[i] = 0xFF;  // DXT3: alpha 15; DXT5: both endpoints 255
        Pixels p;
        unpack(p.data(), b.data());
        ExpectColor(p[0], 0, 0, 0, 1);
        ExpectColor(p[1], 1, 1, 1, 1);
        ExpectColor(p[2], 1.0f / 3, 1.0f / 3, 1.0f / 3, 1);
        ExpectColor(p[3], 2.0f / 3, 2.0f / 3, 2.0f / 3, 1);
    }
}

TEST(DxtLayout, InterpolatedAlphaEightAndSixStepPalettes) {
    Block eight{};
    eight[0] = 255;
    eight[1] = 0;
    // Pixels 0..7 take indices 0..7 (bits 3i); pixels 8..15 index 0.
    std::uint64_t bits = 0;
    for (int i = 0; i < 8; ++i) bits |= static_cast<std::uint64_t>(i) << (3 * i);
    for (int k = 0; k < 6; ++k) eight[2 + k] = static_cast<std::uint8_t>(bits >> (8 * k));
    Pixels p;
    UnpackBlockDxt5(p.data(), eight.data());
    const float eightSteps[8] = {1, 0, 6.0f / 7, 5.0f / 7, 4.0f / 7, 3.0f / 7, 2.0f / 7, 1.0f / 7};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(p[i].a, eightSteps[i], 1e-6f) << i;

    Block six = eight;
    six[0] = 0;
    six[1] = 255;
    UnpackBlockDxt5(p.data(), six.data());
    const float sixSteps[8] = {0, 1, 0.2f, 0.4f, 0.6f, 0.8f, 0, 1};
    for (int i = 0; i < 8; ++i) EXPECT_NEAR(p[i].a, sixSteps[i], 1e-6f) << i;
    // Pixels 8..15 are in bytes 5-7.
    six[5] = 0b111;
    UnpackBlockDxt5(p.data(), six.data());
    EXPECT_EQ(p[8].a, 1.0f);
    EXPECT_EQ(p[9].a, 0.0f);
}

TEST(DxtLayout, PremultipliedFormatsUndoTheProduct) {
    Block b{};
    // Alpha 128/255 everywhere (DXT4 with alpha0 = alpha1 = 128), colour
    // 0x83F0 (16/31, 31/63, 16/31).
    b[0] = 128;
    b[1] = 128;
    b[8] = 0xF0;
    b[9] = 0x83;
    b[10] = 0xF0;
    b[11] = 0x83;
    Pixels p;
    UnpackBlockDxt4(p.data(), b.data());
    // 16/31 is not below alpha 128/255, so red and blue saturate at 1; green
    // 31/63 is below it and is divided.
    EXPECT_EQ(p[0].r, 1.0f);
    EXPECT_NEAR(p[0].g, (31.0f / 63) / (128.0f / 255), 1e-5f);
    EXPECT_EQ(p[0].b, 1.0f);
    EXPECT_NEAR(p[0].a, 128.0f / 255, 1e-6f);
    // Alpha 0 decodes to transparent black whatever the colour.
    b[0] = 0;
    b[1] = 0;
    UnpackBlockDxt4(p.data(), b.data());
    ExpectColor(p[5], 0, 0, 0, 0);
    Block d2{};
    d2[8] = 0xFF;
    d2[9] = 0xFF;
    UnpackBlockDxt2(p.data(), d2.data());
    ExpectColor(p[0], 0, 0, 0, 0);
}

TEST(DxtLayout, FormatRowsMatchTheBlockFunctions) {
    EXPECT_EQ(FindBlockFormat(D3DFMT_DXT1)->bytesPerBlock, 8u);
    EXPECT_EQ(FindBlockFormat(D3DFMT_DXT3)->bytesPerBlock, 16u);
    EXPECT_EQ(FindBlockFormat(D3DFMT_DXT2)->alphaScale, 15.0f);
    EXPECT_EQ(FindBlockFormat(D3DFMT_DXT5)->alphaScale, 255.0f);
    EXPECT_EQ(FindBlockFormat(D3DFMT_DXT4)->pack, &PackBlocksDxt4);
    EXPECT_EQ(FindBlockFormat(D3DFMT_A8R8G8B8), nullptr);
}

TEST(DxtLayout, ReplicationFillsSmallLevels) {
    Pixels p;
    for (int i = 0; i < 16; ++i) p[i] = D3DXCOLOR(static_cast<float>(i), 0, 0, 1);
    Pixels one = p;
    ReplicateSmallBlock(one.data(), 0, 0);
    for (const D3DXCOLOR& c : one) EXPECT_EQ(c.r, 0.0f);
    Pixels two = p;
    ReplicateSmallBlock(two.data(), 1, 1);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(two[4 * y + x].r, static_cast<float>(4 * (y & 1) + (x & 1)));
    }
    Pixels wide = p;
    ReplicateSmallBlock(wide.data(), 3, 0);
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(wide[4 * y + x].r, static_cast<float>(x));
    }
}

}  // namespace
}  // namespace valmere::test
