// Bitmaps that other tools and the public BMP sample sets write: bit-field
// masks of no table row (converted into the table format that holds them
// without loss, each n-bit channel v becoming round(v x (2^m - 1) /
// (2^n - 1))) and pixel data placed where the file header's offset says.
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/format/PixelFormat.h"
#include "texture/image/ImageReaders.h"

#include <gtest/gtest.h>

#include <cstring>

namespace valmere::test {
namespace {

// A 2x1 BI_BITFIELDS bitmap with a 56-byte header (masks red, green, blue,
// alpha at 40..55) and the two pixel values given.
Bytes MaskedBitmap(UINT bitCount, const UINT (&masks)[4], UINT first, UINT second) {
    Bytes header = DibHeader(2, 1, bitCount, 3, 0, 56);
    for (int m = 0; m < 4; ++m) {
        for (int b = 0; b < 4; ++b) header[40 + 4 * m + b] = static_cast<BYTE>(masks[m] >> (8 * b));
    }
    ByteWriter w;
    w.Raw(header);
    const UINT bytes = bitCount / 8;
    for (UINT v : {first, second}) {
        for (UINT b = 0; b < bytes; ++b) w.U8(v >> (8 * b));
    }
    w.Fill((4 - (2 * bytes) % 4) % 4, 0);
    return BmpFile(w.data());
}

std::uint16_t Word(const DecodedImage& image, UINT x, UINT word) {
    std::uint16_t v;
    std::memcpy(&v, image.pixels + x * (GetFormatInfo(image.format).bitsPerPixel / 8) + 2 * word, 2);
    return v;
}

TEST(BmpVariants, AnyValidMasksDecodeWithoutLoss) {
    struct Case {
        const char* name;
        UINT bits;
        UINT masks[4];  // red, green, blue, alpha
        UINT pixel;
        D3DFORMAT format;
        Rgba expected;  // by PixelAt
    };
    const Case cases[] = {
        {"XBGR", 32, {0xFF, 0xFF00, 0xFF0000, 0}, 0x00302010, D3DFMT_X8R8G8B8, {0x10, 0x20, 0x30, 255}},
        {"RGBA", 32, {0xFF000000u, 0xFF0000, 0xFF00, 0xFF}, 0x10203040, D3DFMT_A8R8G8B8, {0x10, 0x20, 0x30, 0x40}},
        {"ABGR", 32, {0xFF00, 0xFF0000, 0xFF000000u, 0xFF}, 0x30201040, D3DFMT_A8R8G8B8, {0x10, 0x20, 0x30, 0x40}},
        {"BGRA", 32, {0xFF00, 0xFF0000, 0xFF000000u, 0}, 0x302010FF, D3DFMT_X8R8G8B8, {0x10, 0x20, 0x30, 255}},
        // 4-4-4-4 with alpha last: nibbles 1, 2, 3, 4 -> x 17.
        {"RGBA4444", 16, {0xF000, 0x0F00, 0x00F0, 0x000F}, 0x1234, D3DFMT_A8R8G8B8, {17, 34, 51, 68}},
        // 2-3-1: red 2 (x 85), green 5 of 7 (182.1), blue 1 (255).
        {"RGB231", 16, {0x30, 0x0E, 0x01, 0}, 0x2B, D3DFMT_X8R8G8B8, {170, 182, 255, 255}},
        // 5-5-5 with alpha in the low bit: red 31, green 16 (131.6), blue 0.
        {"RGBA5551", 16, {0xF800, 0x07C0, 0x003E, 0x0001}, 0xFC00, D3DFMT_A8R8G8B8, {255, 132, 0, 0}},
        // 24 bits in another order.
        {"BGR24", 24, {0xFF, 0xFF00, 0xFF0000, 0}, 0x302010, D3DFMT_X8R8G8B8, {0x10, 0x20, 0x30, 255}},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        image.wantPixels = true;
        const Bytes file = MaskedBitmap(c.bits, c.masks, c.pixel, 0);
        ASSERT_EQ(ReadBmp(image, file.data(), file.size()), S_OK) << c.name;
        EXPECT_EQ(image.format, c.format) << c.name;
        EXPECT_EQ(PixelAt(image, 0, 0), c.expected) << c.name;
        EXPECT_EQ(PixelAt(image, 1, 0).r, 0) << c.name;
    }
}

TEST(BmpVariants, WideMasksKeepTheirBits) {
    DecodedImage image;
    image.wantPixels = true;
    // 11-11-10: red 2047, green 1024, blue 1 -> 16 bits: 65535, round(1024 x
    // 65535 / 2047) = 32784, round(65535 / 1023) = 64.
    const UINT rgb111110[4] = {0xFFE00000u, 0x001FFC00, 0x000003FF, 0};
    Bytes file = MaskedBitmap(32, rgb111110, 0xFFE00000u | (1024u << 10) | 1u, 0);
    ASSERT_EQ(ReadBmp(image, file.data(), file.size()), S_OK);
    EXPECT_EQ(image.format, kFormatR16);
    EXPECT_EQ(Word(image, 0, 2), 65535);
    EXPECT_EQ(Word(image, 0, 1), 32784);
    EXPECT_EQ(Word(image, 0, 0), 64);
    // A2R10G10B10 (red in the high bits) into A2B10G10R10 (red low): red
    // 1023, green 5, blue 512, alpha 1.
    const UINT a2r10g10b10[4] = {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000u};
    file = MaskedBitmap(32, a2r10g10b10, 1u << 30 | 1023u << 20 | 5u << 10 | 512u, 0);
    ASSERT_EQ(ReadBmp(image, file.data(), file.size()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_A2B10G10R10);
    UINT word = 0;
    std::memcpy(&word, image.pixels, 4);
    EXPECT_EQ(word, 1023u | 5u << 10 | 512u << 20 | 1u << 30);
}

TEST(BmpVariants, MasksThatCannotBeFieldsAreRefused) {
    const UINT bad[][4] = {
        {0xF800, 0x0FE0, 0x1F, 0},      // red and green overlap
        {0xF00F, 0x0F00, 0x00F0, 0},    // red is not one run
        {0x1F0000, 0x7E0, 0x1F, 0},     // red leaves the 16-bit pixel
        {0, 0, 0, 0xFF00},              // no colour
    };
    for (const auto& masks : bad) {
        DecodedImage image;
        image.wantPixels = true;
        const Bytes file = MaskedBitmap(16, masks, 0, 0);
        EXPECT_EQ(ReadBmp(image, file.data(), file.size()), E_FAIL) << std::hex << masks[0];
    }
    // 32-bit red 0xFFFFF: 20 bits, more than 16.
    const UINT wide[4] = {0xFFFFF, 0xF00000, 0xF000000, 0};
    DecodedImage image;
    image.wantPixels = true;
    Bytes file = MaskedBitmap(32, wide, 0, 0);
    EXPECT_EQ(ReadBmp(image, file.data(), file.size()), E_FAIL);
    // Bit fields of 8 or 80 bits a pixel (the pixel word is 16, 24 or 32).
    const UINT small[4] = {0xE0, 0x1C, 0x03, 0};
    for (const UINT bits : {8u, 80u}) {
        file = MaskedBitmap(32, small, 0, 0);
        file[14 + 14] = static_cast<BYTE>(bits);
        EXPECT_EQ(ReadBmp(image, file.data(), file.size()), E_FAIL) << bits;
    }
}

// A 1x2 24-bit bitmap whose file header puts the pixels at `offset`, with
// `gap` bytes of 0xEE between the info header and the pixels.
Bytes OffsetBitmap(UINT offset, UINT gap) {
    ByteWriter w;
    const Bytes dib = DibHeader(1, 2, 24, 0);
    w.Text("BM").U32(static_cast<UINT>(14 + dib.size() + gap + 8)).U32(0).U32(offset);
    w.Raw(dib).Fill(gap, 0xEE);
    w.Raw({1, 2, 3, 0, 4, 5, 6, 0});  // bottom row first
    return w.data();
}

TEST(BmpVariants, PixelOffsetIsHonouredWhenItIsPlausible) {
    struct Case {
        const char* name;
        UINT offset;
        UINT gap;
        Rgba top;  // pixel (0, 0)
    };
    const Case cases[] = {
        // The pixels lie 10 bytes past the header, where the offset says.
        {"offset past the header", 54 + 10, 10, {6, 5, 4, 255}},
        // An offset into the header, or too far for both rows, is wrong:
        // the pixels are taken right after the header.
        {"offset inside the header", 20, 0, {6, 5, 4, 255}},
        {"offset too far for the rows", 54 + 4, 0, {6, 5, 4, 255}},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        image.wantPixels = true;
        const Bytes file = OffsetBitmap(c.offset, c.gap);
        ASSERT_EQ(ReadBmp(image, file.data(), file.size()), S_OK) << c.name;
        EXPECT_EQ(PixelAt(image, 0, 0), c.top) << c.name;
        EXPECT_EQ(PixelAt(image, 0, 1), (Rgba{3, 2, 1, 255})) << c.name;
    }
}

}  // namespace
}  // namespace valmere::test
