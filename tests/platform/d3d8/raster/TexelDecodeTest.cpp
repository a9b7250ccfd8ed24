// ConvertToSamplingLevel for each format family, against values worked out
// by hand from the bit layouts.
#include <gtest/gtest.h>

#include "platform/d3d8/raster/Raster.h"

namespace valmere::raster {
namespace {

std::uint32_t DecodeOne(D3DFORMAT format, std::vector<std::uint8_t> bytes, const PALETTEENTRY* palette = nullptr) {
    std::vector<std::uint32_t> texels;
    EXPECT_TRUE(ConvertToSamplingLevel(format, bytes.data(), static_cast<int>(bytes.size()), 1, 1, palette, texels));
    return texels.empty() ? 0xDEADBEEF : texels[0];
}

TEST(TexelDecode, PlainRgbAlphaAndLuminanceFormats) {
    EXPECT_EQ(DecodeOne(D3DFMT_R8G8B8, {0x30, 0x20, 0x10}), 0xFF102030u);
    EXPECT_EQ(DecodeOne(D3DFMT_A8R8G8B8, {0x30, 0x20, 0x10, 0x40}), 0x40102030u);
    EXPECT_EQ(DecodeOne(D3DFMT_X8R8G8B8, {0x30, 0x20, 0x10, 0x00}), 0xFF102030u);
    EXPECT_EQ(DecodeOne(D3DFMT_R5G6B5, {0x00, 0xF8}), 0xFFFF0000u);       // red 31
    EXPECT_EQ(DecodeOne(D3DFMT_R5G6B5, {0xE0, 0x07}), 0xFF00FF00u);       // green 63
    EXPECT_EQ(DecodeOne(D3DFMT_R5G6B5, {0x10, 0x00}), 0xFF000084u);       // blue 16: 16*255/31 = 131.6
    EXPECT_EQ(DecodeOne(D3DFMT_X1R5G5B5, {0x1F, 0x80}), 0xFF0000FFu);
    EXPECT_EQ(DecodeOne(D3DFMT_A1R5G5B5, {0x00, 0x7C}), 0x00FF0000u);
    EXPECT_EQ(DecodeOne(D3DFMT_A4R4G4B4, {0x21, 0x83}), 0x88332211u);
    EXPECT_EQ(DecodeOne(D3DFMT_X4R4G4B4, {0x21, 0x83}), 0xFF332211u);
    EXPECT_EQ(DecodeOne(D3DFMT_R3G3B2, {0xE3}), 0xFFFF00FFu);
    EXPECT_EQ(DecodeOne(D3DFMT_A8R3G3B2, {0x1C, 0x7F}), 0x7F00FF00u);
    EXPECT_EQ(DecodeOne(D3DFMT_A8, {0x99}), 0x99000000u);
    EXPECT_EQ(DecodeOne(D3DFMT_L8, {0x42}), 0xFF424242u);
    EXPECT_EQ(DecodeOne(D3DFMT_A8L8, {0x42, 0x10}), 0x10424242u);
    EXPECT_EQ(DecodeOne(D3DFMT_A4L4, {0x3F}), 0x33FFFFFFu);
    // A2B10G10R10: red 1023, green 0, blue 512 (512*255/1023 = 127.6), alpha 2 (170).
    const std::uint32_t a2 = 1023u | (512u << 20) | (2u << 30);
    EXPECT_EQ(DecodeOne(D3DFMT_A2B10G10R10, {static_cast<std::uint8_t>(a2), static_cast<std::uint8_t>(a2 >> 8),
                                            static_cast<std::uint8_t>(a2 >> 16), static_cast<std::uint8_t>(a2 >> 24)}),
              0xAAFF0080u);
    EXPECT_EQ(DecodeOne(D3DFMT_G16R16, {0xFF, 0xFF, 0x00, 0x00}), 0xFFFF00FFu);  // blue reads 1
}

TEST(TexelDecode, SignedFormatsMapMinusOneToOneOntoBytes) {
    // V8U8: U = -128 (-1.0) -> 0, V = 127 (127/128: 1.9921875 * 127.5 = 254)
    // -> 254; missing blue 0.0 -> 127.5, rounded to 128.
    EXPECT_EQ(DecodeOne(D3DFMT_V8U8, {0x80, 0x7F}), 0xFF00FE80u);
    EXPECT_EQ(DecodeOne(D3DFMT_Q8W8V8U8, {0x00, 0x00, 0x80, 0x7F}), 0xFE808000u);
    // X8L8V8U8: luminance 0x40 becomes alpha.
    EXPECT_EQ(DecodeOne(D3DFMT_X8L8V8U8, {0x00, 0x00, 0x40, 0x00}), 0x40808080u);
    EXPECT_EQ(DecodeOne(D3DFMT_V16U16, {0x00, 0x80, 0xFF, 0x7F}), 0xFF00FF80u);
}

TEST(TexelDecode, PalettizedFormats) {
    PALETTEENTRY palette[256] = {};
    palette[7] = {0x11, 0x22, 0x33, 0x80};
    EXPECT_EQ(DecodeOne(D3DFMT_P8, {7}, palette), 0x80112233u);
    EXPECT_EQ(DecodeOne(D3DFMT_A8P8, {7, 0x44}, palette), 0x44112233u);
    EXPECT_EQ(DecodeOne(D3DFMT_P8, {7}), 0xFFFFFFFFu);  // no palette: opaque white
}

TEST(TexelDecode, PackedYuvPairs) {
    // Y = 235 with neutral chroma is white; Y = 16 is black.
    std::vector<std::uint32_t> texels;
    const std::uint8_t uyvy[4] = {128, 235, 128, 16};
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_UYVY, uyvy, 4, 2, 1, nullptr, texels));
    EXPECT_EQ(texels[0], 0xFFFFFFFFu);
    EXPECT_EQ(texels[1], 0xFF000000u);
    const std::uint8_t yuy2[4] = {16, 128, 235, 128};
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_YUY2, yuy2, 4, 2, 1, nullptr, texels));
    EXPECT_EQ(texels[0], 0xFF000000u);
    EXPECT_EQ(texels[1], 0xFFFFFFFFu);
}

TEST(TexelDecode, DxtBlocks) {
    // DXT1, c0 = red (0xF800) > c1 = blue (0x001F): four colours; indices
    // 0, 1, 2, 3 in the first row, then all 0.
    const std::vector<std::uint8_t> dxt1 = {0x00, 0xF8, 0x1F, 0x00, 0xE4, 0x00, 0x00, 0x00};
    std::vector<std::uint32_t> texels;
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_DXT1, dxt1.data(), 8, 4, 4, nullptr, texels));
    EXPECT_EQ(texels[0], 0xFFFF0000u);
    EXPECT_EQ(texels[1], 0xFF0000FFu);
    EXPECT_EQ(texels[2], 0xFFAA0055u);  // (2 * 255 + 0) / 3 = 170, 255 / 3 = 85
    EXPECT_EQ(texels[3], 0xFF5500AAu);
    EXPECT_EQ(texels[15], 0xFFFF0000u);
    // Three-colour mode (c0 <= c1): index 3 is transparent black, 2 the midpoint.
    const std::vector<std::uint8_t> dxt1a = {0x1F, 0x00, 0x00, 0xF8, 0xE4, 0x00, 0x00, 0x00};
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_DXT1, dxt1a.data(), 8, 4, 4, nullptr, texels));
    EXPECT_EQ(texels[2], 0xFF800080u);
    EXPECT_EQ(texels[3], 0x00000000u);
    // DXT3: explicit alpha 0xF, 0x0, ...; DXT5: a0 = 255, a1 = 0, index 1 then index 2 (6/7 * 255).
    std::vector<std::uint8_t> dxt3 = {0x0F, 0, 0, 0, 0, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_DXT3, dxt3.data(), 16, 4, 4, nullptr, texels));
    EXPECT_EQ(texels[0], 0xFF00FF00u);
    EXPECT_EQ(texels[1], 0x0000FF00u);
    std::vector<std::uint8_t> dxt5 = {0xFF, 0x00, 0x11, 0, 0, 0, 0, 0, 0xE0, 0x07, 0xE0, 0x07, 0, 0, 0, 0};
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_DXT5, dxt5.data(), 16, 4, 4, nullptr, texels));
    EXPECT_EQ(texels[0] >> 24, 0u);
    EXPECT_EQ(texels[1] >> 24, 219u);  // (6 * 255 + 3) / 7
    EXPECT_EQ(texels[2] >> 24, 255u);
    // The colour half of DXT3 and DXT5 has four colours even with c0 <= c1:
    // black, white, then index 2 at a third (85) and index 3 at two thirds
    // (170), opaque.
    for (const D3DFORMAT format : {D3DFMT_DXT3, D3DFMT_DXT5}) {
        std::vector<std::uint8_t> reversed = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
                                              0x00, 0x00, 0xFF, 0xFF, 0xE4, 0, 0, 0};
        ASSERT_TRUE(ConvertToSamplingLevel(format, reversed.data(), 16, 4, 4, nullptr, texels));
        EXPECT_EQ(texels[2], 0xFF555555u) << format;
        EXPECT_EQ(texels[3], 0xFFAAAAAAu) << format;
    }
    // A 2x2 level still reads one whole block.
    ASSERT_TRUE(ConvertToSamplingLevel(D3DFMT_DXT1, dxt1.data(), 8, 2, 2, nullptr, texels));
    ASSERT_EQ(texels.size(), 4u);
    EXPECT_EQ(texels[1], 0xFF0000FFu);
}

TEST(TexelDecode, RejectsUnknownFormatsAndBadSizes) {
    std::vector<std::uint32_t> texels;
    const std::uint8_t bytes[16] = {};
    EXPECT_FALSE(ConvertToSamplingLevel(D3DFMT_D24S8, bytes, 4, 1, 1, nullptr, texels));
    EXPECT_FALSE(ConvertToSamplingLevel(static_cast<D3DFORMAT>(12345), bytes, 4, 1, 1, nullptr, texels));
    EXPECT_FALSE(ConvertToSamplingLevel(D3DFMT_A8R8G8B8, bytes, 4, 0, 1, nullptr, texels));
    EXPECT_FALSE(ConvertToSamplingLevel(D3DFMT_A8R8G8B8, nullptr, 4, 1, 1, nullptr, texels));
}

}  // namespace
}  // namespace valmere::raster
