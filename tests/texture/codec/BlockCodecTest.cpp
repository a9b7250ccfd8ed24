// The DXT codec: block rows, small levels, colour keys and boxes that do not
// fill whole block rows.
#include "CodecTestUtil.h"

#include "texture/dxt/DxtBlock.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

Surface DxtSurface(D3DFORMAT f, UINT w, UINT h) { return Surface(f, w, h, FindBlockFormat(f)->bytesPerBlock, 1, true); }

TEST(BlockCodec, RowsRoundTripThroughBlocks) {
    for (D3DFORMAT f : {D3DFMT_DXT1, D3DFMT_DXT2, D3DFMT_DXT3, D3DFMT_DXT4, D3DFMT_DXT5}) {
        Surface s = DxtSurface(f, 8, 8);
        std::vector<D3DXCOLOR> rows[8];
        {
            auto codec = CreatePixelCodec(s.locked);
            ASSERT_NE(codec, nullptr);
            for (UINT y = 0; y < 8; ++y) {
                rows[y].resize(8);
                for (UINT x = 0; x < 8; ++x) {
                    // Colours along one line, which a block's endpoints can follow.
                    const float t = static_cast<float>(x + 8 * y) / 63;
                    rows[y][x] = D3DXCOLOR(t, 1.0f - t, 0.5f, 1.0f);
                }
                ASSERT_EQ(codec->EncodeRow(y, 0, rows[y].data()), S_OK);
            }
        }
        auto codec = CreatePixelCodec(s.locked);
        for (UINT y = 0; y < 8; ++y) {
            std::vector<D3DXCOLOR> out(8);
            ASSERT_EQ(codec->DecodeRow(y, 0, out.data()), S_OK);
            for (UINT x = 0; x < 8; ++x) {
                // Each block spans 27/63 of the ramp: four palette entries
                // 9/63 apart, so half a spacing plus a 5-bit step of endpoint
                // rounding (0.087).
                EXPECT_NEAR(out[x].r, rows[y][x].r, 0.087f) << f << " " << x << "," << y;
                EXPECT_NEAR(out[x].g, rows[y][x].g, 0.087f) << f << " " << x << "," << y;
                EXPECT_NEAR(out[x].a, 1.0f, 1e-6f);
            }
        }
        EXPECT_TRUE(s.GuardIntact());
    }
}

TEST(BlockCodec, BlocksAreWrittenWhenTheirLastLineArrives) {
    Surface s = DxtSurface(D3DFMT_DXT1, 4, 4);
    auto codec = CreatePixelCodec(s.locked);
    const auto white = Row(4, D3DXCOLOR(1, 1, 1, 1));
    for (UINT y = 0; y < 3; ++y) codec->EncodeRow(y, 0, white.data());
    EXPECT_EQ(s.bytes[0], 0);
    codec->EncodeRow(3, 0, white.data());
    EXPECT_EQ(s.bytes[0], 0xFF);
    EXPECT_EQ(s.bytes[1], 0xFF);
}

TEST(BlockCodec, OneByOneLevelReplicatesItsPixel) {
    Surface s = DxtSurface(D3DFMT_DXT1, 1, 1);
    {
        auto codec = CreatePixelCodec(s.locked);
        const D3DXCOLOR red(1, 0, 0, 1);
        codec->EncodeRow(0, 0, &red);
    }
    D3DXCOLOR block[16];
    UnpackBlockDxt1(block, s.bytes.data());
    for (const D3DXCOLOR& c : block) EXPECT_EQ(c, D3DXCOLOR(1, 0, 0, 1));
}

TEST(BlockCodec, TwoByTwoLevelIsCompleteAfterTwoRows) {
    Surface s = DxtSurface(D3DFMT_DXT3, 2, 2);
    auto codec = CreatePixelCodec(s.locked);
    // Four greys a block holds exactly (black, white and the thirds between).
    const float third = 1.0f / 3;
    const D3DXCOLOR row0[2] = {D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(third, third, third, third)};
    const D3DXCOLOR row1[2] = {D3DXCOLOR(2 * third, 2 * third, 2 * third, 2 * third), D3DXCOLOR(1, 1, 1, 0)};
    codec->EncodeRow(0, 0, row0);
    codec->EncodeRow(1, 0, row1);
    // Written already, before the codec goes.
    D3DXCOLOR block[16];
    UnpackBlockDxt3(block, s.bytes.data());
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 4; ++x) {
            const D3DXCOLOR& want = (y & 1) ? row1[x & 1] : row0[x & 1];
            EXPECT_NEAR(block[4 * y + x].r, want.r, 1e-5f) << x << "," << y;
            EXPECT_NEAR(block[4 * y + x].b, want.b, 1e-5f) << x << "," << y;
            EXPECT_NEAR(block[4 * y + x].a, want.a, 1e-5f) << x << "," << y;
        }
    }
}

TEST(BlockCodec, PixelsOutsideTheBoxSurvive) {
    // Fill an 8x8 surface with white, then rewrite a 2x2 box in its middle.
    Surface s = DxtSurface(D3DFMT_DXT5, 8, 8);
    const auto white = Row(8, D3DXCOLOR(1, 1, 1, 1));
    {
        auto codec = CreatePixelCodec(s.locked);
        for (UINT y = 0; y < 8; ++y) codec->EncodeRow(y, 0, white.data());
    }
    s.locked.region = D3DBOX{3, 3, 5, 5, 0, 1};
    {
        auto codec = CreatePixelCodec(s.locked);
        const auto black = Row(2, D3DXCOLOR(0, 0, 0, 1));
        codec->EncodeRow(0, 0, black.data());
        codec->EncodeRow(1, 0, black.data());
        // Neither block row gets all its lines from the box; they are written
        // when the codec goes.
    }
    s.locked.region = s.locked.extent;
    auto codec = CreatePixelCodec(s.locked);
    for (UINT y = 0; y < 8; ++y) {
        std::vector<D3DXCOLOR> out(8);
        codec->DecodeRow(y, 0, out.data());
        for (UINT x = 0; x < 8; ++x) {
            const bool inside = x >= 3 && x < 5 && y >= 3 && y < 5;
            EXPECT_NEAR(out[x].r, inside ? 0.0f : 1.0f, 0.1f) << x << "," << y;
        }
    }
}

TEST(BlockCodec, ColourKeyClearsPixelsWithinHalfAStep) {
    Surface s = DxtSurface(D3DFMT_DXT1, 4, 4);
    // colour0 = red 0xF800 > colour1 = black: index 2 is red at 2/3, which is
    // 20.67/31, within half a step of 21/31.
    s.bytes[0] = 0x00;
    s.bytes[1] = 0xF8;
    s.bytes[4] = 0b1000;  // pixel 0 index 0, pixel 1 index 2, the rest 0
    s.locked.colorKey = 0xFFAD0000;  // red 173 = 20.9/31 -> snaps to 21/31
    auto codec = CreatePixelCodec(s.locked);
    D3DXCOLOR row[4];
    codec->DecodeRow(0, 0, row);
    EXPECT_EQ(row[0], D3DXCOLOR(1, 0, 0, 1));
    EXPECT_EQ(row[1], D3DXCOLOR(0, 0, 0, 0));
}

TEST(BlockCodec, DecodesBlockRowsInsideAnOffsetBox) {
    Surface s = DxtSurface(D3DFMT_DXT1, 8, 8);
    // Block (1, 1) is full green, the others black.
    const std::size_t block = 1 * s.pitch + 1 * 8;
    s.bytes[block] = 0xE0;
    s.bytes[block + 1] = 0x07;
    s.locked.region = D3DBOX{2, 3, 7, 6, 0, 1};
    auto codec = CreatePixelCodec(s.locked);
    ASSERT_EQ(codec->Width(), 5u);
    for (UINT y = 0; y < 3; ++y) {
        D3DXCOLOR row[5];
        codec->DecodeRow(y, 0, row);
        for (UINT x = 0; x < 5; ++x) {
            const bool green = (2 + x) >= 4 && (3 + y) >= 4;
            EXPECT_EQ(row[x].g, green ? 1.0f : 0.0f) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace valmere::test
