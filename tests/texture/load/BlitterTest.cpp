// The blitter's strategies on images in memory, each against values worked
// out from its definition (integer means, tap and tent weights in double).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "tests/texture/codec/CodecTestUtil.h"
#include "texture/D3DXTexture.h"
#include "texture/load/Blitter.h"
#include "texture/load/BoxRows.h"
#include "texture/load/ResampleWeights.h"

namespace valmere::test {
namespace {

// A 32-bit image with a known pattern.
struct Image32 : Surface {
    Image32(D3DFORMAT format, UINT w, UINT h) : Surface(format, w, h, 4) {}
    std::uint32_t& At(UINT x, UINT y) { return reinterpret_cast<std::uint32_t*>(bytes.data() + y * pitch)[x]; }
    void Fill(std::uint32_t seed) {
        std::mt19937 random(seed);
        for (UINT y = 0; y < height; ++y)
            for (UINT x = 0; x < width; ++x) At(x, y) = static_cast<std::uint32_t>(random());
    }
};

UINT Channel(std::uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

TEST(Blitter, FilterWordsOutsideTheSetAreRefusedBeforeAnyCodecIsMade) {
    Image32 from(D3DFMT_A8R8G8B8, 4, 4), to(D3DFMT_A8R8G8B8, 4, 4);
    for (DWORD bad : {0u, 6u, 0x80006u, 0x100005u, 0xFFFFFFFFu})
        EXPECT_EQ(Blit(to.locked, from.locked, bad), D3DERR_INVALIDCALL) << std::hex << bad;
    // A format without a codec.
    Image32 unknown(static_cast<D3DFORMAT>(0x7777), 4, 4);
    EXPECT_EQ(Blit(to.locked, unknown.locked, D3DX_FILTER_POINT), E_FAIL);
}

TEST(Blitter, SameSizeCopiesConvertAndKeyOut) {
    Image32 from(D3DFMT_A8R8G8B8, 5, 3);
    from.Fill(1);
    from.At(2, 1) = 0xFF102030;
    from.locked.colorKey = 0xFF102030;
    Image32 to(D3DFMT_A8R8G8B8, 5, 3);
    // Any filter: equal sizes never resample.
    ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_TRIANGLE), S_OK);
    for (UINT y = 0; y < 3; ++y)
        for (UINT x = 0; x < 5; ++x)
            EXPECT_EQ(to.At(x, y), x == 2 && y == 1 ? 0u : from.At(x, y)) << x << "," << y;
    EXPECT_TRUE(to.GuardIntact());
}

// The byte form of the converting copy must give what the codecs give (a
// format onto itself is the raw copy, which keeps even the X8 byte).
TEST(Blitter, ByteChannelCopyMatchesTheCodecs) {
    const D3DFORMAT formats[] = {D3DFMT_R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8};
    for (D3DFORMAT fromFormat : formats)
        for (D3DFORMAT toFormat : formats)
            for (DWORD dither : {0u, D3DX_FILTER_DITHER}) {
                if (fromFormat == toFormat) continue;
                const UINT fromBytes = fromFormat == D3DFMT_R8G8B8 ? 3 : 4;
                const UINT toBytes = toFormat == D3DFMT_R8G8B8 ? 3 : 4;
                Surface from(fromFormat, 256, 4, fromBytes), to(toFormat, 256, 4, toBytes), expected(toFormat, 256, 4, toBytes);
                for (UINT y = 0; y < 4; ++y)
                    for (UINT x = 0; x < 256; ++x)
                        for (UINT c = 0; c < fromBytes; ++c)
                            from.bytes[y * from.pitch + x * fromBytes + c] = static_cast<std::uint8_t>(x + 37 * c + y);
                expected.locked.dither = dither != 0;
                auto decoder = CreatePixelCodec(from.locked);
                auto encoder = CreatePixelCodec(expected.locked);
                std::vector<D3DXCOLOR> row(256);
                for (UINT y = 0; y < 4; ++y) {
                    decoder->DecodeRow(y, 0, row.data());
                    encoder->EncodeRow(y, 0, row.data());
                }
                ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_POINT | dither), S_OK);
                EXPECT_EQ(to.bytes, expected.bytes) << fromFormat << " to " << toFormat << " dither " << dither;
            }
}

TEST(Blitter, NoneCropsAndPadsWithTransparentBlack) {
    Image32 from(D3DFMT_A8R8G8B8, 4, 4), to(D3DFMT_A8R8G8B8, 8, 8);
    from.Fill(2);
    std::memset(to.bytes.data(), 0x5A, to.slicePitch);
    ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_NONE), S_OK);
    for (UINT y = 0; y < 8; ++y)
        for (UINT x = 0; x < 8; ++x) EXPECT_EQ(to.At(x, y), x < 4 && y < 4 ? from.At(x, y) : 0u);
}

TEST(Blitter, PointMapsLeftEdgesInSixteenSixteen) {
    Image32 from(D3DFMT_A8R8G8B8, 4, 1), to(D3DFMT_A8R8G8B8, 3, 1);
    from.Fill(3);
    ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_POINT), S_OK);
    for (UINT x = 0; x < 3; ++x) EXPECT_EQ(to.At(x, 0), from.At(x, 0));  // source pixel 3 is never used
    Image32 wide(D3DFMT_A8R8G8B8, 7, 5);
    ASSERT_EQ(Blit(wide.locked, from.locked, D3DX_FILTER_POINT), S_OK);
    for (UINT x = 0; x < 7; ++x) EXPECT_EQ(wide.At(x, 4), from.At(x * (4 * 65536 / 7) / 65536, 0));
}

TEST(Blitter, BoxHalvingAveragesEveryChannelRoundedHalfUp) {
    Image32 from(D3DFMT_A8R8G8B8, 5, 5), to(D3DFMT_A8R8G8B8, 2, 2);
    from.Fill(4);
    from.At(0, 0) = 0x00000000;
    from.At(1, 0) = 0x00000000;
    from.At(0, 1) = 0x00000000;
    from.At(1, 1) = 0xFF000000;  // alpha (0 + 0 + 0 + 255 + 2) / 4 = 64
    ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_BOX), S_OK);
    EXPECT_EQ(to.At(0, 0), 0x40000000u);
    for (UINT y = 0; y < 2; ++y)
        for (UINT x = 0; x < 2; ++x)
            for (int shift : {0, 8, 16, 24}) {
                const UINT sum = Channel(from.At(2 * x, 2 * y), shift) + Channel(from.At(2 * x + 1, 2 * y), shift) +
                                 Channel(from.At(2 * x, 2 * y + 1), shift) +
                                 Channel(from.At(2 * x + 1, 2 * y + 1), shift);
                EXPECT_EQ(Channel(to.At(x, y), shift), (sum + 2) / 4);
            }
}

TEST(Blitter, BoxIntegerFormsOfSixteenBitFormats) {
    struct Case {
        D3DFORMAT format;
        std::uint16_t pixels[4];
        std::uint16_t expected;
    };
    const Case cases[] = {
        {D3DFMT_A1R5G5B5, {0x8000, 0x8000, 0x0000, 0x0000}, 0x8000},  // two alpha bits of four: 1
        {D3DFMT_A1R5G5B5, {0x8000, 0x0000, 0x0000, 0x0000}, 0x0000},
        {D3DFMT_R5G6B5, {0xF800, 0x07E0, 0x001F, 0xFFFF}, (16u << 11) | (32u << 5) | 16u},
        {D3DFMT_X1R5G5B5, {0xFFFF, 0xFFFF, 0xFFFF, 0xFFFF}, 0x7FFF},  // bit 15 is 0
        {D3DFMT_A4R4G4B4, {0x1234, 0x5678, 0x9ABC, 0xDEF0}, 0x7896},
    };
    for (const Case& c : cases) {
        Surface from(c.format, 2, 2, 2), to(c.format, 1, 1, 2);
        std::memcpy(from.bytes.data(), c.pixels, 4);
        std::memcpy(from.bytes.data() + from.pitch, c.pixels + 2, 4);
        ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_BOX), S_OK);
        EXPECT_EQ(to.Word(0, 0, 2), c.expected) << c.format;
    }
}

TEST(Blitter, BoxSimdAndPlainFormsAgree) {
    Image32 from(D3DFMT_A8R8G8B8, 64, 2);
    from.Fill(5);
    std::vector<std::uint32_t> simd(32), plain(32), xrgb(32);
    const auto* top = reinterpret_cast<const std::byte*>(&from.At(0, 0));
    const auto* bottom = reinterpret_cast<const std::byte*>(&from.At(0, 1));
    HalveRowArgbSimd(reinterpret_cast<std::byte*>(simd.data()), top, bottom, 32);
    HalveRowArgbPlain(reinterpret_cast<std::byte*>(plain.data()), top, bottom, 32);
    HalveRowXrgbPlain(reinterpret_cast<std::byte*>(xrgb.data()), top, bottom, 32);
    EXPECT_EQ(simd, plain);
    for (UINT x = 0; x < 32; ++x) EXPECT_EQ(xrgb[x], plain[x] & 0x00FFFFFFu);
}

TEST(Blitter, BoxFromOneRowAveragesColumnPairsThroughTheCodecs) {
    Image32 from(D3DFMT_A8R8G8B8, 4, 1), to(D3DFMT_A8R8G8B8, 2, 1);
    from.At(0, 0) = 0xFF000010;
    from.At(1, 0) = 0xFF000020;
    from.At(2, 0) = 0xFF0000FF;
    from.At(3, 0) = 0xFF000000;
    ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_BOX), S_OK);
    EXPECT_EQ(to.At(0, 0), 0xFF000018u);
    EXPECT_EQ(to.At(1, 0), 0xFF000080u);  // 127.5 rounds up in the encoder
}

TEST(Blitter, BoxThatIsNotAHalvingIsTheTriangleFilter) {
    Image32 from(D3DFMT_A8R8G8B8, 5, 5), box(D3DFMT_A8R8G8B8, 3, 3), triangle(D3DFMT_A8R8G8B8, 3, 3);
    from.Fill(6);
    ASSERT_EQ(Blit(box.locked, from.locked, D3DX_FILTER_BOX), S_OK);
    ASSERT_EQ(Blit(triangle.locked, from.locked, D3DX_FILTER_TRIANGLE), S_OK);
    EXPECT_EQ(box.bytes, triangle.bytes);
}

// Linear taps in double from their definition: x = i * n / m - 0.5.
TEST(Blitter, LinearResampleWeighsTwoTapsPerAxis) {
    for (bool mirror : {false, true}) {
        Image32 from(D3DFMT_A8R8G8B8, 3, 2), to(D3DFMT_A8R8G8B8, 7, 4);
        from.Fill(7);
        const DWORD filter = D3DX_FILTER_LINEAR | (mirror ? D3DX_FILTER_MIRROR : 0);
        ASSERT_EQ(Blit(to.locked, from.locked, filter), S_OK);
        const auto taps = [&](UINT i, UINT n, UINT m, int& i0, int& i1, double& frac) {
            const double x = static_cast<double>(i) * n / m - 0.5;
            i0 = static_cast<int>(std::floor(x));
            frac = x - i0;
            i1 = i0 + 1;
            if (i0 < 0) i0 = mirror ? 0 : static_cast<int>(n) - 1;
            if (i1 >= static_cast<int>(n)) i1 = mirror ? static_cast<int>(n) - 1 : 0;
        };
        for (UINT y = 0; y < 4; ++y)
            for (UINT x = 0; x < 7; ++x) {
                int x0, x1, y0, y1;
                double fx, fy;
                taps(x, 3, 7, x0, x1, fx);
                taps(y, 2, 4, y0, y1, fy);
                for (int shift : {0, 8, 16, 24}) {
                    const auto at = [&](int sx, int sy) { return Channel(from.At(sx, sy), shift) / 255.0; };
                    const double v = (1 - fy) * ((1 - fx) * at(x0, y0) + fx * at(x1, y0)) +
                                     fy * ((1 - fx) * at(x0, y1) + fx * at(x1, y1));
                    EXPECT_NEAR(Channel(to.At(x, y), shift), v * 255.0, 1.0) << x << "," << y;
                }
            }
    }
}

TEST(Blitter, TriangleWeightsIntoEachDestinationAddUpToOne) {
    for (bool wrap : {false, true})
        for (auto [n, m] : {std::pair{1u, 1u}, {5u, 3u}, {3u, 7u}, {256u, 100u}, {2u, 1u}}) {
            TriangleWeights weights;
            ASSERT_TRUE(weights.Build(n, m, wrap));
            std::vector<double> sums(m, 0.0);
            for (UINT i = 0; i < n; ++i)
                for (const WeightedIndex* w = weights.Begin(i); w != weights.End(i); ++w) {
                    ASSERT_LT(w->index, m);
                    sums[w->index] += w->weight;
                }
            for (UINT d = 0; d < m; ++d) EXPECT_NEAR(sums[d], 1.0, 1e-4) << n << "->" << m << " wrap " << wrap;
        }
    // Halving two pixels without wrapping: each edge keeps its full half.
    TriangleWeights half;
    ASSERT_TRUE(half.Build(2, 1, false));
    ASSERT_EQ(half.End(0) - half.Begin(0), 1);
    EXPECT_FLOAT_EQ(half.Begin(0)->weight, 0.5f);
    EXPECT_FLOAT_EQ(half.Begin(1)->weight, 0.5f);
}

TEST(Blitter, TriangleResampleKeepsAFlatImageFlat) {
    Image32 from(D3DFMT_A8R8G8B8, 9, 6), to(D3DFMT_A8R8G8B8, 4, 13);
    for (UINT y = 0; y < 6; ++y)
        for (UINT x = 0; x < 9; ++x) from.At(x, y) = 0x80406020;
    ASSERT_EQ(Blit(to.locked, from.locked, D3DX_FILTER_TRIANGLE), S_OK);
    for (UINT y = 0; y < 13; ++y)
        for (UINT x = 0; x < 4; ++x) EXPECT_EQ(to.At(x, y), 0x80406020u);
}

TEST(Blitter, VolumesHalveAndResampleInThreeAxes) {
    Surface from(D3DFMT_A8R8G8B8, 2, 2, 4, 2), box(D3DFMT_A8R8G8B8, 1, 1, 4, 1), linear(D3DFMT_A8R8G8B8, 1, 1, 4, 1);
    const std::uint32_t values[8] = {0x00000000, 0x08080808, 0x10101010, 0x18181818,
                                     0x20202020, 0x28282828, 0x30303030, 0x38383838};
    std::memcpy(from.bytes.data(), values, sizeof values);
    ASSERT_EQ(Blit(box.locked, from.locked, D3DX_FILTER_BOX), S_OK);
    EXPECT_EQ(box.Word(0, 0, 4), 0x1C1C1C1Cu);  // mean 28
    ASSERT_EQ(Blit(linear.locked, from.locked, D3DX_FILTER_LINEAR | D3DX_FILTER_MIRROR), S_OK);
    // One destination pixel maps to -0.5 on every axis: clamped to pixel 0.
    EXPECT_EQ(linear.Word(0, 0, 4), 0u);
    Surface triangle(D3DFMT_A8R8G8B8, 1, 1, 4, 1);
    ASSERT_EQ(Blit(triangle.locked, from.locked, D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR), S_OK);
    EXPECT_NEAR(static_cast<double>(triangle.Word(0, 0, 4) & 0xFF), 28.0, 1.0);
}

}  // namespace
}  // namespace valmere::test
