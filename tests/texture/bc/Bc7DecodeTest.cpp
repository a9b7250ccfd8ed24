// BC7 blocks written field by field from the block description, with the
// pixels they must give worked out by hand. (Random blocks of every mode are
// checked against Pillow in the DDS reader's tests.)
#include "tests/texture/bc/BlockWriter.h"
#include "texture/bc/BcBlocks.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

struct Decoded {
    std::uint8_t pixels[64];
    Rgba8 operator[](int i) const { return PixelOf(pixels, i); }
};

Decoded Decode(const Block16& block) {
    Decoded d{};
    bc::DecodeBc7Blocks(block.data(), 1, d.pixels, 16);
    return d;
}

TEST(Bc7Decode, Mode6OneSubsetPBitsPerEndpointAndFourBitIndices) {
    BlockWriter w;
    w.Bits(1 << 6, 7);                                         // mode 6
    for (int v : {127, 0, 0, 127, 0, 0, 127, 127}) w.Bits(v, 7);  // R0 R1 G0 G1 B0 B1 A0 A1
    w.Bits(1, 1).Bits(0, 1);                                   // p-bits of endpoint 0 and 1
    w.Bits(0, 3).Bits(15, 4).Bits(8, 4);                       // pixel 0 (anchor), 1, 2
    ASSERT_EQ(w.Position() + 13 * 4, 128);
    const Decoded d = Decode(w.Block());
    // Endpoint 0: 127 << 1 | 1 = 255 and 0 << 1 | 1 = 1; endpoint 1: 0, 254.
    EXPECT_EQ(d[0], (Rgba8{255, 1, 1, 255}));
    EXPECT_EQ(d[1], (Rgba8{0, 254, 0, 254}));
    // Weight 34 of 64: red (30 x 255 + 32) >> 6 = 120, green (30 + 34 x 254
    // + 32) >> 6 = 135, alpha (30 x 255 + 34 x 254 + 32) >> 6 = 254.
    EXPECT_EQ(d[2], (Rgba8{120, 135, 0, 254}));
    EXPECT_EQ(d[3], (Rgba8{255, 1, 1, 255}));
}

TEST(Bc7Decode, Mode1TwoSubsetsSharePBitsAndAnchorsStoreOneBitLess) {
    BlockWriter w;
    w.Bits(0b10, 2).Bits(13, 6);  // mode 1, partition 13: rows 0-1 subset 0, rows 2-3 subset 1, anchor 15
    for (int v : {63, 0, 0, 0}) w.Bits(v, 6);  // red of s0e0 s0e1 s1e0 s1e1
    for (int v : {0, 0, 63, 0}) w.Bits(v, 6);  // green
    for (int v : {0, 0, 0, 63}) w.Bits(v, 6);  // blue
    w.Bits(1, 1).Bits(0, 1);                   // p-bit of subset 0, of subset 1
    w.Bits(0, 2).Bits(7, 3);                   // pixel 0 (anchor), pixel 1
    for (int i = 2; i < 8; ++i) w.Bits(0, 3);
    w.Bits(3, 3);  // pixel 8
    for (int i = 9; i < 15; ++i) w.Bits(0, 3);
    w.Bits(3, 2);  // pixel 15, the anchor of subset 1
    ASSERT_EQ(w.Position(), 128);
    const Decoded d = Decode(w.Block());
    // Subset 0: (63, 0, 0) << 1 | 1 widened 7 -> 8 bits: 127 -> 255, 1 -> 2.
    EXPECT_EQ(d[0], (Rgba8{255, 2, 2, 255}));
    EXPECT_EQ(d[1], (Rgba8{2, 2, 2, 255}));
    EXPECT_EQ(d[4], (Rgba8{255, 2, 2, 255}));
    // Subset 1: green 126 -> 253, blue 126 -> 253; weight 27: green (37 x 253
    // + 32) >> 6 = 146, blue (27 x 253 + 32) >> 6 = 107.
    EXPECT_EQ(d[12], (Rgba8{0, 253, 0, 255}));
    EXPECT_EQ(d[8], (Rgba8{0, 146, 107, 255}));
    EXPECT_EQ(d[15], (Rgba8{0, 146, 107, 255}));
}

TEST(Bc7Decode, Mode4RotationAndIndexSelection) {
    BlockWriter w;
    w.Bits(1 << 4, 5).Bits(1, 2).Bits(1, 1);   // mode 4, rotation 1 (alpha <-> red), colour from the 3-bit set
    for (int v : {31, 0, 0, 31, 0, 0}) w.Bits(v, 5);  // R0 R1 G0 G1 B0 B1
    w.Bits(0, 6).Bits(63, 6);                  // A0 A1
    w.Bits(1, 1).Bits(3, 2);                   // 2-bit set: pixel 0 (anchor) 1, pixel 1 3
    w.Bits(0, 28);
    w.Bits(0, 2).Bits(4, 3);                   // 3-bit set: pixel 0 (anchor) 0, pixel 1 4
    w.Bits(0, 42);
    ASSERT_EQ(w.Position(), 128);
    const Decoded d = Decode(w.Block());
    // Pixel 0: colour (255, 0, 0), alpha weight 21: (21 x 255 + 32) >> 6 =
    // 84; rotated: red 84, alpha 255.
    EXPECT_EQ(d[0], (Rgba8{84, 0, 0, 255}));
    // Pixel 1: colour weight 37: red (27 x 255 + 32) >> 6 = 108, green (37 x
    // 255 + 32) >> 6 = 147; alpha 255; rotated: red 255, alpha 108.
    EXPECT_EQ(d[1], (Rgba8{255, 147, 0, 108}));
}

TEST(Bc7Decode, ReservedModeIsTransparentBlack) {
    Block16 block;
    block.fill(0xA5);
    block[0] = 0;
    const Decoded d = Decode(block);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(d[i], (Rgba8{0, 0, 0, 0}));
}

TEST(Bc7Decode, RowsOfBlocksLandSideBySide) {
    // Two mode 6 blocks of flat colours, decoded in one call into a row of
    // 8 pixels (pitch 32 bytes).
    BlockWriter a;
    BlockWriter b;
    for (BlockWriter* w : {&a, &b}) w->Bits(1 << 6, 7);
    for (int v : {127, 127, 0, 0, 0, 0, 127, 127}) a.Bits(v, 7);
    for (int v : {0, 0, 0, 0, 127, 127, 127, 127}) b.Bits(v, 7);
    std::uint8_t blocks[32];
    std::copy(a.Block().begin(), a.Block().end(), blocks);
    std::copy(b.Block().begin(), b.Block().end(), blocks + 16);
    std::uint8_t pixels[4 * 32] = {};
    bc::DecodeBc7Blocks(blocks, 2, pixels, 32);
    EXPECT_EQ(PixelOf(pixels, 3), (Rgba8{254, 0, 0, 254}));
    EXPECT_EQ(PixelOf(pixels, 4), (Rgba8{0, 0, 254, 254}));
    EXPECT_EQ(PixelOf(pixels + 3 * 32, 7), (Rgba8{0, 0, 254, 254}));
}

}  // namespace
}  // namespace valmere::test
