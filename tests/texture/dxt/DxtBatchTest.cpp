// Blocks encoded four (or eight) at a time side by side give the same bytes
// as blocks encoded one per call, whatever their neighbours in the batch, in
// the standard and the high-quality encoders; BlockCodec, which encodes
// whole block rows at once, writes those same bytes.
#include "DxtTestUtil.h"

#include "texture/ValmereTexture.h"
#include "texture/codec/PixelCodec.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

namespace valmere::test {
namespace {

struct Format {
    D3DFORMAT format;
    UINT bytes;
    PackBlocksFn packBlocks;
    PackBlockFn packOne;  // null: packBlocks with a count of 1
};

const Format kFormats[] = {{D3DFMT_DXT1, 8, PackBlocksDxt1, PackBlockDxt1},
                           {D3DFMT_DXT2, 16, PackBlocksDxt2, PackBlockDxt2},
                           {D3DFMT_DXT3, 16, PackBlocksDxt3, PackBlockDxt3},
                           {D3DFMT_DXT4, 16, PackBlocksDxt4, PackBlockDxt4},
                           {D3DFMT_DXT5, 16, PackBlocksDxt5, PackBlockDxt5},
                           {D3DFMT_DXT1, 8, PackBlocksDxt1HighQuality, nullptr},
                           {D3DFMT_DXT2, 16, PackBlocksDxt2HighQuality, nullptr},
                           {D3DFMT_DXT3, 16, PackBlocksDxt3HighQuality, nullptr},
                           {D3DFMT_DXT4, 16, PackBlocksDxt4HighQuality, nullptr},
                           {D3DFMT_DXT5, 16, PackBlocksDxt5HighQuality, nullptr}};

std::vector<std::uint8_t> PackOneByOne(const Format& f, const std::vector<D3DXCOLOR>& pixels) {
    const size_t blocks = pixels.size() / 16;
    std::vector<std::uint8_t> out(blocks * f.bytes);
    for (size_t b = 0; b < blocks; ++b) {
        EXPECT_EQ(f.packOne ? f.packOne(&out[b * f.bytes], &pixels[b * 16]) : f.packBlocks(&out[b * f.bytes], &pixels[b * 16], 1),
                  S_OK);
    }
    return out;
}

TEST(DxtBatch, BatchesMatchSingleBlocksByteForByte) {
    // 37 blocks: nine full batches of four (four of eight) and a partial one.
    const std::vector<D3DXCOLOR> pixels = MixedBlocks(37);
    for (const Format& f : kFormats) {
        const std::vector<std::uint8_t> single = PackOneByOne(f, pixels);
        std::vector<std::uint8_t> batch(single.size(), 0xCD);
        ASSERT_EQ(f.packBlocks(batch.data(), pixels.data(), 37), S_OK);
        for (size_t b = 0; b < 37; ++b) {
            for (UINT k = 0; k < f.bytes; ++k) {
                ASSERT_EQ(batch[b * f.bytes + k], single[b * f.bytes + k]) << f.format << " block " << b << " byte " << k;
            }
        }
    }
}

TEST(DxtBatch, NeighboursAndBatchSizesDoNotChangeABlock) {
    const std::vector<D3DXCOLOR> pixels = MixedBlocks(18);
    for (const Format& f : kFormats) {
        const std::vector<std::uint8_t> single = PackOneByOne(f, pixels);
        // Runs of 2, 3 and 5 blocks put every block beside other neighbours
        // and into partial batches; nothing is written past a run.
        for (UINT run : {2u, 3u, 5u}) {
            std::vector<std::uint8_t> out(single.size() + f.bytes, 0xCD);
            for (UINT first = 0; first < 18; first += run) {
                const UINT n = std::min(run, 18 - first);
                ASSERT_EQ(f.packBlocks(&out[first * f.bytes], &pixels[first * 16], n), S_OK);
            }
            EXPECT_TRUE(std::equal(single.begin(), single.end(), out.begin())) << f.format << " run " << run;
            for (UINT k = 0; k < f.bytes; ++k) EXPECT_EQ(out[single.size() + k], 0xCD);
        }
        // No blocks: nothing written.
        std::uint8_t untouched = 0xCD;
        EXPECT_EQ(f.packBlocks(&untouched, pixels.data(), 0), S_OK);
        EXPECT_EQ(untouched, 0xCD);
    }
}

TEST(DxtBatch, BlockCodecRowsMatchSingleBlocks) {
    // Six blocks across (one full batch and a partial one), two block rows.
    constexpr UINT kWidth = 24, kHeight = 8, kAcross = kWidth / 4;
    const std::vector<D3DXCOLOR> blocks = MixedBlocks(static_cast<int>(kAcross * 2));
    for (const Format& f : kFormats) {
        if (!f.packOne) continue;  // the codec runs the standard encoders
        std::vector<std::uint8_t> surface(kAcross * 2 * f.bytes);
        LockedPixels locked;
        locked.pixels = surface.data();
        locked.format = f.format;
        locked.rowPitch = static_cast<INT>(kAcross * f.bytes);
        locked.extent = D3DBOX{0, 0, kWidth, kHeight, 0, 1};
        locked.region = locked.extent;
        {
            auto codec = CreatePixelCodec(locked);
            ASSERT_NE(codec, nullptr);
            for (UINT y = 0; y < kHeight; ++y) {
                std::vector<D3DXCOLOR> row(kWidth);
                for (UINT x = 0; x < kWidth; ++x) row[x] = blocks[((y / 4) * kAcross + x / 4) * 16 + (y % 4) * 4 + x % 4];
                ASSERT_EQ(codec->EncodeRow(y, 0, row.data()), S_OK);
            }
        }
        EXPECT_EQ(surface, PackOneByOne(f, blocks)) << f.format;
    }
}

}  // namespace
}  // namespace valmere::test
