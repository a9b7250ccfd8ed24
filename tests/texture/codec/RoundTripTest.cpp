// Every format: a row encoded and decoded again comes back within the
// precision the format table gives for each channel.
#include "CodecTestUtil.h"

#include "texture/format/PixelFormat.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace valmere::test {
namespace {

struct Width {
    UINT bits = 0;
    bool isSigned = false;
};

// Channel widths r, g, b, a from the format table row.
void ChannelWidths(const PixelFormatInfo& info, Width (&w)[4]) {
    const UINT* c = info.channels;
    switch (info.kind) {
        case FormatKind::Signed:
            w[0] = {c[4], true};
            w[1] = {c[3], true};
            w[2] = {c[2], true};
            w[3] = c[1] != 0 ? Width{c[1], true} : Width{c[0], false};
            break;
        case FormatKind::Depth:  // D16_LOCKABLE reads as 16-bit luminance
            w[0] = w[1] = w[2] = {c[4], false};
            break;
        default:
            w[0] = {c[2], false};
            w[1] = {c[3], false};
            w[2] = {c[4], false};
            w[3] = {c[1], false};
    }
}

float Tolerance(Width w) {
    // Signed fields truncate toward zero after the 0.5 bias, so a negative
    // value can lose up to one and a half steps (-84.4 + 0.5 gives -83).
    if (w.isSigned) return 1.5f / static_cast<float>(1u << (w.bits - 1)) + 1e-6f;
    return 0.5f / static_cast<float>((1u << w.bits) - 1) + 1e-6f;
}

class PlainRoundTrip : public ::testing::TestWithParam<D3DFORMAT> {};

TEST_P(PlainRoundTrip, EncodeThenDecodeKeepsEveryChannelWithinItsPrecision) {
    const PixelFormatInfo& info = GetFormatInfo(GetParam());
    Width w[4];
    ChannelWidths(info, w);
    const bool luminance = info.kind == FormatKind::Luminance || info.kind == FormatKind::Depth;
    constexpr UINT kWidth = 61;
    Surface s(GetParam(), kWidth, 2, info.bitsPerPixel / 8);
    auto codec = CreatePixelCodec(s.locked);
    ASSERT_NE(codec, nullptr);

    std::mt19937 random(static_cast<unsigned>(GetParam()));
    std::vector<D3DXCOLOR> in(kWidth);
    for (UINT i = 0; i < kWidth; ++i) {
        float v[4];
        for (int k = 0; k < 4; ++k) {
            const float u = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
            v[k] = w[k].isSigned ? u * 2.0f - 1.0f : u;
        }
        // The ends of each range are included.
        if (i < 2) {
            for (float& x : v) x = i == 0 ? 1.0f : 0.0f;
        }
        if (luminance) v[1] = v[2] = v[0];
        in[i] = D3DXCOLOR(v[0], v[1], v[2], v[3]);
    }
    ASSERT_EQ(codec->EncodeRow(1, 0, in.data()), S_OK);
    std::vector<D3DXCOLOR> out(kWidth);
    ASSERT_EQ(codec->DecodeRow(1, 0, out.data()), S_OK);
    for (UINT i = 0; i < kWidth; ++i) {
        const float src[4] = {in[i].r, in[i].g, in[i].b, in[i].a};
        const float got[4] = {out[i].r, out[i].g, out[i].b, out[i].a};
        for (int k = 0; k < 4; ++k) {
            if (w[k].bits == 0) continue;
            float expected = src[k];
            // Signed fields top out one step below 1.
            if (w[k].isSigned) expected = std::fmin(expected, 1.0f - 1.0f / static_cast<float>(1u << (w[k].bits - 1)));
            // Luminance is the weighted sum of the (equal) channels.
            const float tolerance = Tolerance(w[k]) + (luminance ? 1e-6f : 0.0f);
            EXPECT_NEAR(got[k], expected, tolerance) << "pixel " << i << " channel " << k;
        }
    }
    // Row 0 untouched, nothing past the surface written.
    for (UINT i = 0; i < s.pitch; ++i) ASSERT_EQ(s.bytes[i], 0) << i;
    EXPECT_TRUE(s.GuardIntact());
}

INSTANTIATE_TEST_SUITE_P(AllPlainFormats, PlainRoundTrip,
                         ::testing::Values(D3DFMT_R8G8B8, D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_R5G6B5,
                                           D3DFMT_X1R5G5B5, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_X4R4G4B4,
                                           D3DFMT_R3G3B2, D3DFMT_A8, D3DFMT_A8R3G3B2, D3DFMT_A2B10G10R10,
                                           D3DFMT_G16R16, D3DFMT_L8, D3DFMT_A8L8, D3DFMT_A4L4, D3DFMT_D16_LOCKABLE,
                                           kFormatL16, kFormatAL16, kFormatR16, kFormatAR16, D3DFMT_V8U8,
                                           D3DFMT_L6V5U5, D3DFMT_X8L8V8U8, D3DFMT_Q8W8V8U8, D3DFMT_V16U16,
                                           D3DFMT_W11V11U10, D3DFMT_A2W10V10U10));

TEST(PaletteRoundTrip, PaletteColoursComeBackExactly) {
    PALETTEENTRY palette[256];
    for (int i = 0; i < 256; ++i) {
        palette[i] = PALETTEENTRY{static_cast<BYTE>(i), static_cast<BYTE>(255 - i), static_cast<BYTE>(i * 7), static_cast<BYTE>(i / 2)};
    }
    for (D3DFORMAT f : {D3DFMT_P8, D3DFMT_A8P8}) {
        const UINT bpp = f == D3DFMT_P8 ? 1 : 2;
        Surface s(f, 256, 1, bpp);
        s.locked.palette = palette;
        auto codec = CreatePixelCodec(s.locked);
        std::vector<D3DXCOLOR> in(256);
        for (int i = 0; i < 256; ++i) {
            const PALETTEENTRY& e = palette[(i * 37) & 255];
            in[i] = D3DXCOLOR(D3DCOLOR_ARGB(e.peFlags, e.peRed, e.peGreen, e.peBlue));
        }
        codec->EncodeRow(0, 0, in.data());
        std::vector<D3DXCOLOR> out(256);
        codec->DecodeRow(0, 0, out.data());
        for (int i = 0; i < 256; ++i) {
            EXPECT_EQ(s.bytes[i * bpp], (i * 37) & 255) << i;
            EXPECT_EQ(out[i], in[i]) << i;
        }
    }
}

TEST(YuvRoundTrip, PairsWithEqualChromaComeBackClose) {
    for (D3DFORMAT f : {D3DFMT_UYVY, D3DFMT_YUY2}) {
        Surface s(f, 8, 1, 2);
        std::vector<D3DXCOLOR> in(8);
        for (int i = 0; i < 8; ++i) {
            // Both pixels of a pair have the same colour, so shared chroma fits.
            const float t = static_cast<float>(i / 2) / 3.0f;
            in[i] = D3DXCOLOR(t, 1.0f - t, 0.25f + t * 0.5f, 1.0f);
        }
        {
            auto codec = CreatePixelCodec(s.locked);
            codec->EncodeRow(0, 0, in.data());
        }
        auto codec = CreatePixelCodec(s.locked);
        std::vector<D3DXCOLOR> out(8);
        codec->DecodeRow(0, 0, out.data());
        for (int i = 0; i < 8; ++i) {
            // Video range keeps about 7.8 bits; rounding of Y, U and V adds up.
            EXPECT_NEAR(out[i].r, in[i].r, 0.02f) << i;
            EXPECT_NEAR(out[i].g, in[i].g, 0.02f) << i;
            EXPECT_NEAR(out[i].b, in[i].b, 0.02f) << i;
            EXPECT_EQ(out[i].a, 1.0f);
        }
    }
}

}  // namespace
}  // namespace valmere::test
