// BC6H blocks written field by field from the block description, with the
// pixels worked out by hand: unquantise (unsigned ((v << 16) + 0x8000) >>
// bits, ends kept; signed ((|v| << 15) + 0x4000) >> (bits - 1) with the
// sign), interpolate, scale by 31/64 or 31/32 into half-float bits, clamp
// to 0..1 and round to a byte.
#include "tests/texture/bc/BlockWriter.h"
#include "texture/bc/BcBlocks.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

struct Decoded {
    std::uint8_t pixels[64];
    Rgba8 operator[](int i) const { return PixelOf(pixels, i); }
};

Decoded Decode(const Block16& block, bool isSigned) {
    Decoded d{};
    (isSigned ? bc::DecodeBc6hSf16Blocks : bc::DecodeBc6hUf16Blocks)(block.data(), 1, d.pixels, 16);
    return d;
}

// One-subset indices from bit 65: pixel 0 (anchor, 3 bits) 0, pixel 1 15,
// pixel 2 8 (weight 34), the rest 0.
void OneSubsetIndices(BlockWriter& w) {
    ASSERT_EQ(w.Position(), 65);
    w.Bits(0, 3).Bits(15, 4).Bits(8, 4).Bits(0, 52);
}

TEST(Bc6hDecode, Mode11UnsignedEndpointsAsStored) {
    BlockWriter w;
    w.Bits(0x03, 5);
    for (int v : {0x3FF, 0, 462, 0, 0x3FF, 0}) w.Bits(v, 10);  // rw gw bw rx gx bx
    OneSubsetIndices(w);
    const Decoded d = Decode(w.Block(), false);
    // Red 1023 is the top code: 0xFFFF, x 31 >> 6 = 0x7BFE (65504): 255.
    // Blue 462: 29600, x 31 >> 6 = 14337 = 0x3801 (0.50049): 128.
    EXPECT_EQ(d[0], (Rgba8{255, 0, 128, 255}));
    EXPECT_EQ(d[1], (Rgba8{0, 255, 0, 255}));
    // Weight 34: red (30 x 0xFFFF + 32) >> 6 = 30720 -> 0x3A20 (0.76563):
    // 195; green 34815 -> 0x41DF (2.93): 255; blue 13875 -> 0x1A40
    // (0.00305): 1.
    EXPECT_EQ(d[2], (Rgba8{195, 255, 1, 255}));
}

TEST(Bc6hDecode, Mode11SignedEndpointsAreSignExtended) {
    BlockWriter w;
    w.Bits(0x03, 5);
    for (int v : {0x1FF, 0x200, 231, 0x3FF, 0, 0}) w.Bits(v, 10);
    OneSubsetIndices(w);
    const Decoded d = Decode(w.Block(), true);
    // 511 is the largest code: 0x7FFF, x 31 >> 5 = 0x7BFE: 255. 0x200 is
    // -512: negative, 0. 231: 14816 -> 0x3811 (0.5083): 130.
    EXPECT_EQ(d[0], (Rgba8{255, 0, 130, 255}));
    // rx 0x3FF is -1: -96, negative.
    EXPECT_EQ(d[1], (Rgba8{0, 0, 0, 255}));
    // Red (30 x 32767 - 34 x 96 + 32) >> 6 = 15309 -> 0x39EE (0.74121): 189;
    // blue (30 x 14816 + 32) >> 6 = 6945 -> 0x1A47: 1.
    EXPECT_EQ(d[2], (Rgba8{189, 0, 1, 255}));
}

TEST(Bc6hDecode, Mode14StoresTheTopBitsOfTheBaseReversed) {
    BlockWriter w;
    w.Bits(0x0F, 5);
    w.Bits(0, 10).Bits(0, 10).Bits(0, 10);  // rw gw bw bits 0-9
    // rw = 0x7400: bits 10..15 are 1, 0, 1, 1, 1, 0 and go in the stream
    // from bit 15 down: 0, 1, 1, 1, 0, 1.
    w.Bits(0, 4).Bits(0b101110, 6);
    w.Bits(0xF, 4).Bits(0, 6);  // gx: delta -1 from gw 0, wrapping to 0xFFFF
    w.Bits(0, 4).Bits(0, 6);
    OneSubsetIndices(w);
    const Decoded d = Decode(w.Block(), false);
    // 16-bit endpoints are not unquantised: 0x7400 x 31 >> 6 = 0x3830
    // (0.52344): 133. Read unreversed, rw would be 0xB800: 255.
    EXPECT_EQ(d[0], (Rgba8{133, 0, 0, 255}));
    EXPECT_EQ(d[1], (Rgba8{133, 255, 0, 255}));
}

TEST(Bc6hDecode, Mode12SignedDeltasWrapAtTheEndpointWidth) {
    BlockWriter w;
    w.Bits(0x07, 5);
    // 11-bit bases: rw 462, gw 0x632 (-462), bw 0x3FF (1023); 9-bit deltas:
    // rx -1, gx 0, bx +1.
    w.Bits(462, 10).Bits(0x232, 10).Bits(0x3FF, 10);
    w.Bits(0x1FF, 9).Bits(0, 1);
    w.Bits(0, 9).Bits(1, 1);
    w.Bits(1, 9).Bits(0, 1);
    OneSubsetIndices(w);
    const Decoded d = Decode(w.Block(), true);
    // rw 462: 14800 -> 0x3801: 128. gw sign-extended from 11 bits is
    // negative: 0 (taken unsigned, 1586, it would be 255). bw 1023 is the
    // largest code: 255.
    EXPECT_EQ(d[0], (Rgba8{128, 0, 255, 255}));
    // rx 461: 14768 -> 0x37E2 (0.49268): 126. bx: 1023 + 1 wraps to 0x400 in
    // 11 bits, -1024: negative, 0.
    EXPECT_EQ(d[1], (Rgba8{126, 0, 0, 255}));
}

TEST(Bc6hDecode, TwoSubsetMode1PartitionAndAnchors) {
    // Mode 1 (2 bits 00): 10-bit w, 5-bit deltas; partition 13 (rows 0-1
    // subset 0, rows 2-3 subset 1, anchor 15).
    BlockWriter w;
    w.Bits(0, 2);
    w.Bits(0, 1).Bits(0, 1).Bits(0, 1);           // gy4 by4 bz4
    w.Bits(462, 10).Bits(0, 10).Bits(0, 10);      // rw gw bw
    w.Bits(0, 5).Bits(0, 1).Bits(0, 4).Bits(0, 5);  // rx gz4 gy gx
    w.Bits(0, 1).Bits(0, 4).Bits(0, 5).Bits(0, 1);  // bz0 gz bx bz1
    w.Bits(0, 4).Bits(0x1F, 5).Bits(0, 1);        // by ry (-1) bz2
    w.Bits(0x10, 5).Bits(0, 1);                   // rz (-16) bz3
    w.Bits(13, 5);
    ASSERT_EQ(w.Position(), 82);
    w.Bits(0, 2).Bits(0, 3 * 7).Bits(7, 3).Bits(0, 3 * 6).Bits(3, 2);  // pixel 8 index 7, pixel 15 (anchor) 3
    ASSERT_EQ(w.Position(), 128);
    const Decoded d = Decode(w.Block(), false);
    // Subset 0: w = x = 462: 128.
    EXPECT_EQ(d[0], (Rgba8{128, 0, 0, 255}));
    EXPECT_EQ(d[7], (Rgba8{128, 0, 0, 255}));
    // Subset 1: y = 461 (index 0 at pixel 9): 29536 -> 0x37E2 (0.49268): 126;
    // z = 446 (index 7, pixel 8):
    // 446 -> ((446 << 16) + 0x8000) >> 10 = 28576, x 31 >> 6 = 13841 =
    // 0x3611 (0.37988): 97.
    EXPECT_EQ(d[9], (Rgba8{126, 0, 0, 255}));
    EXPECT_EQ(d[8], (Rgba8{97, 0, 0, 255}));
}

TEST(Bc6hDecode, ReservedModesAreBlack) {
    for (const int mode : {0x13, 0x17, 0x1B, 0x1F}) {
        Block16 block;
        block.fill(0xFF);
        block[0] = static_cast<std::uint8_t>(0xE0 | mode);
        const Decoded d = Decode(block, false);
        for (int i = 0; i < 16; ++i) EXPECT_EQ(d[i], (Rgba8{0, 0, 0, 255})) << mode;
    }
}

}  // namespace
}  // namespace valmere::test
