#include "tests/texture/image/ImageTestSupport.h"
#include "texture/format/PixelFormat.h"
#include "texture/image/ImageReaders.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

HRESULT Read(ImageReadFunction reader, DecodedImage& image, const Bytes& file) {
    image.wantPixels = true;
    return reader(image, file.data(), file.size());
}

ByteWriter TgaHeader(UINT imageType, UINT width, UINT height, UINT depth, UINT descriptor, UINT mapType = 0,
                     UINT mapFirst = 0, UINT mapLength = 0, UINT mapBits = 0, UINT idLength = 0) {
    ByteWriter w;
    w.U8(idLength).U8(mapType).U8(imageType).U16(mapFirst).U16(mapLength).U8(mapBits);
    w.U16(0).U16(0).U16(width).U16(height).U8(depth).U8(descriptor);
    w.Fill(idLength, 'i');
    return w;
}

TEST(TgaReader, TopDownRawTrueColourIsUsedInPlace) {
    ByteWriter w = TgaHeader(2, 2, 1, 24, 0x20);
    w.Raw({1, 2, 3, 4, 5, 6});
    DecodedImage image;
    ASSERT_EQ(Read(ReadTga, image, w.data()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_R8G8B8);
    EXPECT_FALSE(image.OwnsPixels());
    EXPECT_EQ(image.rowPitch, 6u);
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{6, 5, 4, 255}));
}

TEST(TgaReader, BottomUpRightToLeftIsReordered) {
    ByteWriter w = TgaHeader(3, 2, 2, 8, 0x10);
    w.Raw({1, 2, 3, 4});  // bottom row right to left, then the top row
    DecodedImage image;
    ASSERT_EQ(Read(ReadTga, image, w.data()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_L8);
    EXPECT_TRUE(image.OwnsPixels());
    const BYTE expected[4] = {4, 3, 2, 1};
    for (UINT i = 0; i < 4; ++i) {
        EXPECT_EQ(image.pixels[i], expected[i]);
    }
}

TEST(TgaReader, RunLengthPacketsMayCrossRows) {
    ByteWriter w = TgaHeader(10, 3, 2, 16, 0x21);  // one attribute bit: bit 15 is alpha
    w.U8(0x83).U16(0x7C00);          // 4 red pixels: crosses into row 2
    w.U8(0x01).U16(0x001F).U16(0x83E0);  // literal: blue, green with alpha
    DecodedImage image;
    ASSERT_EQ(Read(ReadTga, image, w.data()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_A1R5G5B5);
    EXPECT_EQ(PixelAt(image, 0, 1), (Rgba{255, 0, 0, 0}));
    EXPECT_EQ(PixelAt(image, 1, 1), (Rgba{0, 0, 255, 0}));
    EXPECT_EQ(PixelAt(image, 2, 1), (Rgba{0, 255, 0, 255}));
}

TEST(TgaReader, WithoutAttributeBitsSixteenBitColoursAreOpaque) {
    // Bit 15 clear everywhere, as writers that declare no alpha leave it:
    // pixels read as X1R5G5B5 and map entries get flags 255.
    ByteWriter pixels = TgaHeader(2, 1, 1, 16, 0x20);
    pixels.U16(0x7C00);
    DecodedImage image;
    ASSERT_EQ(Read(ReadTga, image, pixels.data()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_X1R5G5B5);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{255, 0, 0, 255}));
    ByteWriter mapped = TgaHeader(1, 1, 1, 8, 0x20, 1, 0, 1, 16);
    mapped.U16(0x001F).U8(0);
    ASSERT_EQ(Read(ReadTga, image, mapped.data()), S_OK);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{0, 0, 255, 255}));
}

TEST(TgaReader, GreyWithAlphaIsA8L8) {
    // Type 3 raw and type 11 run-length, 16 bits: grey then alpha.
    ByteWriter raw = TgaHeader(3, 2, 1, 16, 0x28);
    raw.Raw({10, 200, 20, 100});
    DecodedImage image;
    ASSERT_EQ(Read(ReadTga, image, raw.data()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_A8L8);
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{20, 20, 20, 100}));
    ByteWriter rle = TgaHeader(11, 3, 1, 16, 0x28);
    rle.Raw({0x82, 30, 40});
    ASSERT_EQ(Read(ReadTga, image, rle.data()), S_OK);
    EXPECT_EQ(PixelAt(image, 2, 0), (Rgba{30, 30, 30, 40}));
}

TEST(TgaReader, ColourMapEntriesOfEverySize) {
    struct Case {
        UINT bits;
        Bytes entry;
        PALETTEENTRY expected;
    };
    const Case cases[] = {
        {15, {0x1F, 0x7C}, {255, 0, 255, 255}},
        {16, {0x10, 0x42}, {132, 132, 132, 0}},  // 5-bit 16 widens to 132; bit 15 clear: transparent
        {24, {1, 2, 3}, {3, 2, 1, 255}},
        {32, {1, 2, 3, 4}, {3, 2, 1, 4}},
    };
    for (const Case& c : cases) {
        ByteWriter w = TgaHeader(9, 1, 1, 8, 0x21, 1, 5, 1, c.bits, 3);
        w.Raw(c.entry).U8(0x80).U8(5);
        DecodedImage image;
        ASSERT_EQ(Read(ReadTga, image, w.data()), S_OK) << c.bits;
        EXPECT_EQ(image.format, D3DFMT_P8);
        const PALETTEENTRY e = image.palette[5];
        EXPECT_EQ((Rgba{e.peRed, e.peGreen, e.peBlue, e.peFlags}),
                  (Rgba{c.expected.peRed, c.expected.peGreen, c.expected.peBlue, c.expected.peFlags}))
            << c.bits;
        EXPECT_EQ(image.palette[4].peRed & image.palette[6].peFlags, 0xFF);
    }
}

TEST(TgaReader, RejectsBadHeadersAndShortData) {
    DecodedImage image;
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(2, 1, 1, 24, 0).data()), E_FAIL);          // no pixels
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(0, 1, 1, 24, 0).Fill(3, 0).data()), E_FAIL);  // no image
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(2, 0, 1, 24, 0).Fill(3, 0).data()), E_FAIL);
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(2, 1, 1, 12, 0).Fill(3, 0).data()), E_FAIL);
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(1, 1, 1, 8, 0).Fill(3, 0).data()), E_FAIL);  // needs a map
    // Colour map past entry 255; map larger than the file.
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(1, 1, 1, 8, 0, 1, 250, 7, 24).Fill(22, 0).data()), E_FAIL);
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(1, 1, 1, 8, 0, 1, 0, 200, 24).Fill(10, 0).data()), E_FAIL);
    // Run-length data that ends inside a packet, or before the image is full.
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(11, 4, 1, 8, 0).Raw({0x02, 1}).data()), E_FAIL);
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(11, 4, 1, 8, 0).Raw({0x81, 1}).data()), E_FAIL);
    // A huge image in a tiny file is refused before allocation.
    EXPECT_EQ(Read(ReadTga, image, TgaHeader(10, 65535, 65535, 32, 0).Raw({0xFF, 1, 2, 3, 4}).data()), E_FAIL);
}

TEST(PpmReader, BinaryPixmapOfTwoPixels) {
    ByteWriter w;
    w.Text("P6 2 1 255\n").Raw({10, 20, 30, 40, 50, 60});
    DecodedImage image;
    ASSERT_EQ(Read(ReadPpm, image, w.data()), S_OK);
    EXPECT_EQ(image.format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(image.rowPitch, 8u);
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{40, 50, 60, 255}));
    EXPECT_EQ(image.pixels[7], 0xFF);  // alpha byte

    ByteWriter shortData;
    shortData.Text("P6 2 1 255\n").Raw({10, 20, 30});
    EXPECT_EQ(Read(ReadPpm, image, shortData.data()), E_FAIL);
}

TEST(PpmReader, TextSamplesScaleByTheMaximumAndSkipComments) {
    ByteWriter w;
    w.Text("P3\n# a comment\n2 # width\n1\n15\n15 7 0\n1 2 3 trailing garbage is ignored");
    DecodedImage image;
    ASSERT_EQ(Read(ReadPpm, image, w.data()), S_OK);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{255, 119, 0, 255}));
    EXPECT_EQ(PixelAt(image, 1, 0), (Rgba{17, 34, 51, 255}));
}

TEST(PpmReader, CarriageReturnAfterTheMaximumTakesTheNextByte) {
    ByteWriter w;
    w.Text("P6 1 1 255\r\n").Raw({1, 2, 3});
    DecodedImage image;
    ASSERT_EQ(Read(ReadPpm, image, w.data()), S_OK);
    EXPECT_EQ(PixelAt(image, 0, 0), (Rgba{1, 2, 3, 255}));
}

TEST(PpmReader, GreymapsOfEightAndSixteenBits) {
    struct Case {
        const char* name;
        Bytes file;
        D3DFORMAT format;
        std::vector<UINT> samples;  // as stored: bytes of L8, words of L16
    };
    const auto file = [](const std::string& header, const Bytes& tail) {
        ByteWriter w;
        w.Text(header).Raw(tail);
        return w.data();
    };
    const Case cases[] = {
        {"P5 8-bit", file("P5 3 1 255\n", {0, 128, 255}), D3DFMT_L8, {0, 128, 255}},
        // Maximum 15: s x 255 / 15, truncated like the colour files.
        {"P5 maximum 15", file("P5 2 1 15\n", {7, 15}), D3DFMT_L8, {119, 255}},
        {"P2 8-bit", file("P2\n# plain\n2 1\n255\n3 250\n", {}), D3DFMT_L8, {3, 250}},
        // 16-bit samples, most significant byte first, kept in 16 bits.
        {"P5 16-bit", file("P5 2 1 65535\n", {0x12, 0x34, 0xFF, 0xFF}), kFormatL16, {0x1234, 0xFFFF}},
        // Maximum 1000: round(s x 65535 / 1000).
        {"P2 maximum 1000", file("P2 2 1 1000 1 999", {}), kFormatL16, {66, 65469}},
    };
    for (const Case& c : cases) {
        DecodedImage image;
        ASSERT_EQ(Read(ReadPpm, image, c.file), S_OK) << c.name;
        EXPECT_EQ(image.format, c.format) << c.name;
        for (UINT i = 0; i < c.samples.size(); ++i) {
            const UINT v = c.format == D3DFMT_L8 ? image.pixels[i] : image.pixels[2 * i] | image.pixels[2 * i + 1] << 8;
            EXPECT_EQ(v, c.samples[i]) << c.name << " sample " << i;
        }
    }
}

TEST(PpmReader, RejectsMalformedHeadersAndSamples) {
    DecodedImage image;
    for (const char* text : {"P4 1 1\n\1", "P2 1 1 65536 0", "P5 2 1 300\n\1\2\3", "P3 0 1 255 0 0 0", "P3 1 1 0 0 0 0", "P3 1 1 255 1 2",
                             "P3 1 x 255 1 2 3", "P6 1 1 256\n\1\2\3", "P3 1 1 9 1 2 10",
                             "P3 99999999999 1 255 1 2 3", "P3 65535 65535 255 1 2 3"}) {
        ByteWriter w;
        w.Text(text);
        EXPECT_EQ(Read(ReadPpm, image, w.data()), E_FAIL) << text;
    }
}

}  // namespace
}  // namespace valmere::test
