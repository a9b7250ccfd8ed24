// PNG files written here through libpng's writer, so that every chunk (gAMA,
// sRGB, tRNS) and sample value is known; broken PNG and JPEG streams must
// fail cleanly through the readers' error paths.
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/format/PixelFormat.h"
#include "texture/image/ImageReaders.h"

#include <gtest/gtest.h>
#include <png.h>
#include <zlib.h>

#include <cmath>

namespace valmere::test {
namespace {

struct PngPicture {
    UINT width;
    UINT height;
    int bitDepth;
    int colorType;
    Bytes rows;               // packed rows as PNG stores them (big-endian 16-bit samples)
    double gamma = 0.0;       // gAMA when nonzero
    bool srgb = false;
    std::vector<png_color> palette;
    Bytes paletteAlpha;       // tRNS of a palette image
    const png_color_16* transparent = nullptr;  // tRNS of a grey or RGB image
};

void AppendToBytes(png_structp png, png_bytep data, png_size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

Bytes WritePng(const PngPicture& picture) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    png_set_write_fn(png, &out, AppendToBytes, nullptr);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colorType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (picture.gamma > 0) {
        png_set_gAMA(png, info, picture.gamma);
    }
    if (picture.srgb) {
        png_set_sRGB(png, info, PNG_sRGB_INTENT_PERCEPTUAL);
    }
    if (!picture.palette.empty()) {
        png_set_PLTE(png, info, picture.palette.data(), static_cast<int>(picture.palette.size()));
    }
    if (!picture.paletteAlpha.empty() || picture.transparent) {
        png_set_tRNS(png, info, picture.paletteAlpha.empty() ? nullptr : picture.paletteAlpha.data(),
                     static_cast<int>(picture.paletteAlpha.size()), picture.transparent);
    }
    png_write_info(png, info);
    const std::size_t rowBytes = picture.rows.size() / picture.height;
    for (UINT y = 0; y < picture.height; ++y) {
        png_write_row(png, picture.rows.data() + rowBytes * y);
    }
    png_write_end(png, info);
    png_destroy_write_struct(&png, &info);
    return out;
}

HRESULT ReadPngBytes(DecodedImage& image, const Bytes& file) {
    image.wantPixels = true;
    return ReadPng(image, file.data(), file.size());
}

TEST(PngReader, SixteenBitGreyKeepsItsSamplesLittleEndian) {
    PngPicture picture{2, 1, 16, PNG_COLOR_TYPE_GRAY, {0x12, 0x34, 0xAB, 0xCD}};
    DecodedImage image;
    ASSERT_EQ(ReadPngBytes(image, WritePng(picture)), S_OK);
    EXPECT_EQ(image.format, kFormatL16);
    EXPECT_EQ(image.rowPitch, 4u);
    const BYTE expected[4] = {0x34, 0x12, 0xCD, 0xAB};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(image.pixels[i], expected[i]);
    }
}

TEST(PngReader, SixteenBitRgbWithTransparencyBecomesAR16InBlueGreenRedOrder) {
    const png_color_16 key{0, 0x0102, 0x0304, 0x0506, 0};
    PngPicture picture{2, 1, 16, PNG_COLOR_TYPE_RGB, {1, 2, 3, 4, 5, 6, 0xA0, 0xA1, 0xB0, 0xB1, 0xC0, 0xC1}};
    picture.transparent = &key;
    DecodedImage image;
    ASSERT_EQ(ReadPngBytes(image, WritePng(picture)), S_OK);
    EXPECT_EQ(image.format, kFormatAR16);
    const BYTE expected[16] = {6, 5, 4, 3, 2, 1, 0, 0, 0xC1, 0xC0, 0xB1, 0xB0, 0xA1, 0xA0, 0xFF, 0xFF};
    for (int i = 0; i < 16; ++i) {
        EXPECT_EQ(image.pixels[i], expected[i]) << i;
    }
}

TEST(PngReader, RgbGetsAFillerAndGreyTransparencyGainsAlpha) {
    PngPicture rgb{1, 1, 8, PNG_COLOR_TYPE_RGB, {10, 20, 30}};
    DecodedImage image;
    ASSERT_EQ(ReadPngBytes(image, WritePng(rgb)), S_OK);
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{10, 20, 30, 255}));
    EXPECT_EQ(image.pixels[3], 0xFF);

    const png_color_16 key{0, 0, 0, 0, 2};
    PngPicture grey{4, 1, 2, PNG_COLOR_TYPE_GRAY, {0x1B}};  // samples 0, 1, 2, 3
    grey.transparent = &key;
    ASSERT_EQ(ReadPngBytes(image, WritePng(grey)), S_OK);
    EXPECT_EQ(image.format, D3DFMT_A8L8);
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{85, 85, 85, 255}));
    EXPECT_EQ(PixelAt(image, 2, 0), (Rgba{170, 170, 170, 0}));
}

TEST(PngReader, FileGammaIsCorrectedForAScreenGammaOf2Point2) {
    PngPicture picture{3, 1, 8, PNG_COLOR_TYPE_GRAY, {0, 64, 200}};
    picture.gamma = 1.0;
    DecodedImage image;
    ASSERT_EQ(ReadPngBytes(image, WritePng(picture)), S_OK);
    for (UINT x = 0; x < 3; ++x) {
        const double expected = 255.0 * std::pow(picture.rows[x] / 255.0, 1.0 / 2.2);
        EXPECT_NEAR(image.pixels[x], expected, 1.0) << x;
    }
    picture.gamma = 0.0;
    picture.srgb = true;  // an sRGB chunk: no correction
    ASSERT_EQ(ReadPngBytes(image, WritePng(picture)), S_OK);
    EXPECT_EQ(image.pixels[1], 64);
}

TEST(PngReader, PaletteTakesGammaAndTransparencyOnce) {
    PngPicture picture{3, 1, 4, PNG_COLOR_TYPE_PALETTE, {0x01, 0x20}};
    picture.palette = {{10, 100, 200}, {64, 128, 255}, {1, 2, 3}};
    picture.paletteAlpha = {0, 77};
    picture.gamma = 1.0;
    DecodedImage image;
    ASSERT_EQ(ReadPngBytes(image, WritePng(picture)), S_OK);
    EXPECT_EQ(image.format, D3DFMT_P8);
    EXPECT_EQ(image.pixels[0], 0);
    EXPECT_EQ(image.pixels[1], 1);
    EXPECT_EQ(image.pixels[2], 2);
    auto corrected = [](BYTE v) { return std::lround(255.0 * std::pow(v / 255.0, 1.0 / 2.2)); };
    EXPECT_EQ(image.palette[1].peRed, corrected(64));
    EXPECT_EQ(image.palette[1].peBlue, 255);
    EXPECT_EQ(image.palette[1].peFlags, 77);
    EXPECT_EQ(image.palette[0].peFlags, 0);
    EXPECT_EQ(image.palette[2].peFlags, 255);
    EXPECT_EQ(image.palette[3].peRed & image.palette[3].peFlags, 255);
}

TEST(PngReader, BrokenStreamsFailCleanly) {
    PngPicture picture{16, 16, 8, PNG_COLOR_TYPE_RGB_ALPHA, Bytes(16 * 16 * 4, 0x42)};
    const Bytes file = WritePng(picture);
    DecodedImage image;
    for (std::size_t size = 8; size < file.size() - 12; size += 7) {  // all but the IEND chunk
        const Bytes cut(file.begin(), file.begin() + static_cast<std::ptrdiff_t>(size));
        EXPECT_EQ(ReadPngBytes(image, cut), E_FAIL) << size;
    }
    Bytes corrupt = file;
    corrupt[20] ^= 0x40;  // inside IHDR: its CRC no longer matches
    EXPECT_EQ(ReadPngBytes(image, corrupt), E_FAIL);
    // A header claiming 100000 x 100000 pixels in a tiny file.
    PngPicture small{1, 1, 8, PNG_COLOR_TYPE_GRAY, {0}};
    Bytes huge = WritePng(small);
    huge[16] = huge[20] = 0;
    huge[17] = huge[21] = 0x01;
    huge[18] = huge[22] = 0x86;
    huge[19] = huge[23] = 0xA0;
    const uLong crc = crc32(crc32(0, nullptr, 0), huge.data() + 12, 17);
    for (int i = 0; i < 4; ++i) {
        huge[29 + i] = static_cast<BYTE>(crc >> (24 - 8 * i));
    }
    EXPECT_EQ(ReadPngBytes(image, huge), E_FAIL);
}

TEST(JpegReader, BrokenStreamsFailOrReadAsFarAsTheyGo) {
    DecodedImage image;
    image.wantPixels = true;
    const BYTE notJpeg[] = {0xFF, 0xD8, 0xFF, 0xD9};
    EXPECT_EQ(ReadJpeg(image, notJpeg, sizeof(notJpeg)), E_FAIL);
    const BYTE garbage[] = {0xFF, 0xD8, 0x12, 0x34, 0x56};
    EXPECT_EQ(ReadJpeg(image, garbage, sizeof(garbage)), E_FAIL);
}

}  // namespace
}  // namespace valmere::test
