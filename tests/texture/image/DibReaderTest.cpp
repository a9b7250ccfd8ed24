#include "tests/texture/image/ImageTestSupport.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/LoadImage.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

HRESULT ReadBmpBytes(DecodedImage& image, const Bytes& file, bool wantPixels = true) {
    image.wantPixels = wantPixels;
    return ReadBmp(image, file.data(), file.size());
}

TEST(DibReader, BottomUp24BitRowsAreFlippedIntoPaddedRows) {
    ByteWriter w;
    w.Raw(DibHeader(3, 2, 24, 0));
    w.Raw({1, 2, 3, 4, 5, 6, 7, 8, 9}).Fill(3, 0xEE);  // file row 0 = bottom row
    w.Raw({11, 12, 13, 14, 15, 16, 17, 18, 19}).Fill(3, 0xEE);
    const Bytes file = BmpFile(w.data());
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, file), S_OK);
    EXPECT_EQ(image.format, D3DFMT_R8G8B8);
    EXPECT_EQ(image.rowPitch, 12u);
    EXPECT_EQ(image.slicePitch, 0u);
    EXPECT_TRUE(image.OwnsPixels());
    EXPECT_EQ(image.pixels[0], 11);              // top image row is the last file row
    EXPECT_EQ(image.pixels[12], 1);
    EXPECT_EQ(PixelAt(image, 2, 1), (Rgba{9, 8, 7, 255}));
}

TEST(DibReader, TopDown8BitAndWiderIsUsedInPlace) {
    ByteWriter w;
    w.Raw(DibHeader(2, -2, 32, 0));
    w.Raw({1, 2, 3, 0, 4, 5, 6, 0, 7, 8, 9, 0, 10, 11, 12, 0});
    const Bytes file = BmpFile(w.data());
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, file), S_OK);
    EXPECT_FALSE(image.OwnsPixels());
    EXPECT_EQ(image.pixels, file.data() + 14 + 40);
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image.height, 2u);
}

TEST(DibReader, TopDown4BitIsUnpackedWithItsSixteenColourTable) {
    ByteWriter w;
    w.Raw(DibHeader(3, -2, 4, 0, 16));
    for (UINT i = 0; i < 16; ++i) {
        w.U8(i).U8(2 * i).U8(3 * i).U8(0x77);  // blue, green, red, reserved
    }
    w.Raw({0x12, 0x30, 0, 0}).Raw({0xFE, 0xD0, 0, 0});
    const Bytes file = BmpFile(w.data());
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, file), S_OK);
    EXPECT_TRUE(image.OwnsPixels());
    EXPECT_EQ(image.format, D3DFMT_P8);
    EXPECT_EQ(image.rowPitch, 4u);
    EXPECT_EQ(image.pixels[0], 1);
    EXPECT_EQ(image.pixels[1], 2);
    EXPECT_EQ(image.pixels[2], 3);
    EXPECT_EQ(image.pixels[4 + 0], 15);
    EXPECT_EQ(image.pixels[4 + 2], 13);
    ASSERT_NE(image.palette, nullptr);
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{6, 4, 2, 255}));
    for (UINT i = 16; i < 256; ++i) {
        EXPECT_EQ(image.palette[i].peRed & image.palette[i].peGreen & image.palette[i].peBlue &
                      image.palette[i].peFlags,
                  0xFF);
    }
}

TEST(DibReader, OneBitPixelsUnpackMostSignificantBitFirst) {
    ByteWriter w;
    w.Raw(DibHeader(10, 1, 1, 0));
    w.Raw({0, 0, 0, 0, 255, 255, 255, 0});
    w.Raw({0xA5, 0x80, 0, 0});
    const Bytes file = BmpFile(w.data());
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, file), S_OK);
    const BYTE expected[10] = {1, 0, 1, 0, 0, 1, 0, 1, 1, 0};
    for (UINT x = 0; x < 10; ++x) {
        EXPECT_EQ(image.pixels[x], expected[x]) << x;
    }
    EXPECT_EQ(image.rowPitch, 12u);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{255, 255, 255, 255}));
}

TEST(DibReader, SixteenBitFormatsFromCompressionAndMasks) {
    DecodedImage plain;
    ByteWriter rgb;
    rgb.Raw(DibHeader(2, 1, 16, 0)).U16(0x7C00).U16(0x001F);
    ASSERT_EQ(ReadBmpBytes(plain, BmpFile(rgb.data())), S_OK);
    EXPECT_EQ(plain.format, D3DFMT_X1R5G5B5);

    DecodedImage fields;
    ByteWriter masked;
    masked.Raw(DibHeader(2, 1, 16, 3)).U32(0xF800).U32(0x7E0).U32(0x1F).U16(0xF800).U16(0x07E0);
    ASSERT_EQ(ReadBmpBytes(fields, BmpFile(masked.data())), S_OK);
    EXPECT_EQ(fields.format, D3DFMT_R5G6B5);
    EXPECT_EQ(PixelAt(fields, 0, 0), (Rgba{255, 0, 0, 255}));  // pixels start after the 12 mask bytes
    EXPECT_EQ(PixelAt(fields, 1, 0), (Rgba{0, 255, 0, 255}));

    DecodedImage odd;
    ByteWriter unknown;
    unknown.Raw(DibHeader(2, 1, 16, 3)).U32(0xF800).U32(0x7E0).U32(0x3F).U32(0);
    EXPECT_EQ(ReadBmpBytes(odd, BmpFile(unknown.data())), E_FAIL);
}

TEST(DibReader, VersionFiveHeaderCarriesItsOwnMasks) {
    ByteWriter w;
    Bytes header = DibHeader(1, 1, 32, 3, 0, 124);
    const UINT masks[4] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
    for (UINT i = 0; i < 4; ++i) {
        for (UINT b = 0; b < 4; ++b) {
            header[40 + 4 * i + b] = static_cast<BYTE>(masks[i] >> (8 * b));
        }
    }
    w.Raw(header).Raw({10, 20, 30, 40});
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, BmpFile(w.data())), S_OK);
    EXPECT_EQ(image.format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{30, 20, 10, 40}));
}

TEST(DibReader, Rle8RunsLiteralsMovesAndEnd) {
    ByteWriter w;
    w.Raw(DibHeader(4, 3, 8, 1, 2)).U32(0x000000).U32(0xFFFFFF);
    w.Raw({3, 7});           // bottom line: 7 7 7
    w.Raw({0, 0});           // end of line
    w.Raw({0, 3, 1, 2, 3, 0});  // middle line: literal 1 2 3, padded
    w.Raw({0, 2, 1, 1});     // move right 1 and up 1: top line, x = 4
    w.Raw({0, 0, 9, 5});     // next line is past the top: stops
    const Bytes file = BmpFile(w.data());
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, file), S_OK);
    const BYTE top[4] = {0, 0, 0, 0};
    const BYTE middle[4] = {1, 2, 3, 0};
    const BYTE bottom[4] = {7, 7, 7, 0};
    for (UINT x = 0; x < 4; ++x) {
        EXPECT_EQ(image.pixels[x], top[x]);
        EXPECT_EQ(image.pixels[4 + x], middle[x]);
        EXPECT_EQ(image.pixels[8 + x], bottom[x]);
    }
}

TEST(DibReader, Rle4LiteralOfFivePixelsTakesThreeBytesAndAPad) {
    ByteWriter w;
    w.Raw(DibHeader(8, 1, 4, 2, 16)).Fill(64, 0);
    w.Raw({0, 5, 0x12, 0x34, 0x50, 0});  // literal 1 2 3 4 5 + padding byte
    w.Raw({3, 0xAB});                   // run: A B A
    w.Raw({0, 1});
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, BmpFile(w.data())), S_OK);
    const BYTE expected[8] = {1, 2, 3, 4, 5, 0xA, 0xB, 0xA};
    for (UINT x = 0; x < 8; ++x) {
        EXPECT_EQ(image.pixels[x], expected[x]) << x;
    }
}

TEST(DibReader, RunsPastTheRowAreClippedNotWrapped) {
    ByteWriter w;
    w.Raw(DibHeader(2, 2, 8, 1, 1)).U32(0);
    w.Raw({200, 9});  // 200 pixels into a 2-pixel row
    w.Raw({0, 2, 250, 0});  // move far right
    w.Raw({5, 4});
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, BmpFile(w.data())), S_OK);
    EXPECT_EQ(image.pixels[4], 9);
    EXPECT_EQ(image.pixels[5], 9);
    EXPECT_EQ(image.pixels[0], 0);  // the top row is untouched
    EXPECT_EQ(image.pixels[1], 0);
}

TEST(DibReader, ColourTableLongerThanThePaletteMovesThePixels) {
    ByteWriter w;
    w.Raw(DibHeader(1, 1, 8, 0, 300));
    for (UINT i = 0; i < 300; ++i) {
        w.U8(i & 0xFF).U8(0).U8(0).U8(0);
    }
    w.Raw({255, 0, 0, 0});
    DecodedImage image;
    ASSERT_EQ(ReadBmpBytes(image, BmpFile(w.data())), S_OK);
    EXPECT_EQ(image.pixels[0], 255);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0, 0, 255, 255}));
}

TEST(DibReader, RejectsWhatItCannotRead) {
    DecodedImage image;
    // Old 12-byte header.
    ByteWriter core;
    core.U32(12).U16(1).U16(1).U16(1).U16(24).Fill(40, 0);
    EXPECT_EQ(ReadBmpBytes(image, BmpFile(core.data())), E_FAIL);
    // Compression 4 (JPEG) and 5 (PNG) are not known.
    for (UINT compression : {4u, 5u}) {
        ByteWriter w;
        w.Raw(DibHeader(1, 1, 24, compression)).Fill(4, 0);
        EXPECT_EQ(ReadBmpBytes(image, BmpFile(w.data())), E_NOTIMPL);
        EXPECT_EQ(LoadImage(image, w.data().data(), w.data().size(), nullptr, true), D3DXERR_INVALIDDATA);
    }
    // Top-down run-length data, two planes, a file size beyond the data.
    ByteWriter topDownRle;
    topDownRle.Raw(DibHeader(1, -1, 8, 1)).Fill(1024 + 4, 0);
    EXPECT_EQ(ReadBmpBytes(image, BmpFile(topDownRle.data())), E_FAIL);
    Bytes planes = DibHeader(1, 1, 24, 0);
    planes[12] = 2;
    planes.resize(planes.size() + 4);
    EXPECT_EQ(ReadBmpBytes(image, BmpFile(planes)), E_FAIL);
    ByteWriter ok;
    ok.Raw(DibHeader(1, 1, 24, 0)).Fill(4, 0);
    Bytes longer = BmpFile(ok.data());
    longer[2] += 1;
    EXPECT_EQ(ReadBmpBytes(image, longer), E_FAIL);
}

TEST(DibReader, DescriptionOnlyNeedsNoPixels) {
    Bytes header = DibHeader(4000, 3000, 24, 0);
    DecodedImage image;
    image.wantPixels = false;
    ASSERT_EQ(ReadDib(image, header.data(), header.size()), S_OK);
    EXPECT_EQ(image.width, 4000u);
    EXPECT_EQ(image.rowPitch, 12000u);
    EXPECT_EQ(image.pixels, nullptr);
    image.wantPixels = true;
    EXPECT_EQ(ReadDib(image, header.data(), header.size()), E_FAIL);  // no pixel data
}

}  // namespace
}  // namespace valmere::test
