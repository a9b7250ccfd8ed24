// Palette and YUV codecs.
#include "CodecTestUtil.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

TEST(PaletteCodec, WithoutPaletteEveryIndexIsWhiteAndIndexZeroWins) {
    Surface s(D3DFMT_P8, 3, 1, 1);
    s.bytes[0] = 0;
    s.bytes[1] = 77;
    s.bytes[2] = 255;
    auto codec = CreatePixelCodec(s.locked);
    D3DXCOLOR row[3];
    codec->DecodeRow(0, 0, row);
    for (const D3DXCOLOR& c : row) EXPECT_EQ(c, D3DXCOLOR(1, 1, 1, 1));
    const D3DXCOLOR in[3] = {D3DXCOLOR(0, 0, 0, 0), D3DXCOLOR(0.3f, 0.6f, 0.1f, 1), D3DXCOLOR(1, 1, 1, 1)};
    codec->EncodeRow(0, 0, in);
    EXPECT_EQ(s.bytes[0], 0);
    EXPECT_EQ(s.bytes[1], 0);
    EXPECT_EQ(s.bytes[2], 0);
}

TEST(PaletteCodec, NearestEntryLowestIndexOnTies) {
    PALETTEENTRY palette[256] = {};
    palette[3] = {255, 0, 0, 255};
    palette[9] = {255, 0, 0, 255};  // same colour, later index
    palette[10] = {255, 0, 0, 0};   // nearest in r, g, b, but alpha 0
    Surface p8(D3DFMT_P8, 1, 1, 1);
    p8.locked.palette = palette;
    const D3DXCOLOR red(1, 0, 0, 1);
    CreatePixelCodec(p8.locked)->EncodeRow(0, 0, &red);
    EXPECT_EQ(p8.bytes[0], 3);
    // A8P8 matches r, g, b only (index 3 ties 9 and 10), then stores alpha.
    Surface a8p8(D3DFMT_A8P8, 1, 1, 2);
    a8p8.locked.palette = palette;
    const D3DXCOLOR halfRed(1, 0, 0, 0.5f);
    CreatePixelCodec(a8p8.locked)->EncodeRow(0, 0, &halfRed);
    EXPECT_EQ(a8p8.bytes[0], 3);
    EXPECT_EQ(a8p8.bytes[1], 128);
    D3DXCOLOR back;
    CreatePixelCodec(a8p8.locked)->DecodeRow(0, 0, &back);
    EXPECT_EQ(back, D3DXCOLOR(1, 0, 0, 128.0f * (1.0f / 255)));
}

TEST(YuvCodec, WhiteAndBlackWriteVideoRangeCodes) {
    // White: 219 + 0.5 rounds to the even 220, so Y = 236; chroma 128.
    Surface s(D3DFMT_UYVY, 4, 1, 2);
    const D3DXCOLOR row[4] = {D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(1, 1, 1, 1), D3DXCOLOR(0, 0, 0, 1), D3DXCOLOR(0, 0, 0, 1)};
    {
        auto codec = CreatePixelCodec(s.locked);
        ASSERT_EQ(codec->EncodeRow(0, 0, row), S_OK);
        // Nothing is written until the row changes or the codec goes.
        EXPECT_EQ(s.bytes[1], 0);
    }
    const std::uint8_t expected[8] = {128, 236, 128, 236, 128, 16, 128, 16};  // U Y0 V Y1
    for (int i = 0; i < 8; ++i) EXPECT_EQ(s.bytes[i], expected[i]) << i;

    Surface y(D3DFMT_YUY2, 2, 1, 2);
    CreatePixelCodec(y.locked)->EncodeRow(0, 0, row);
    const std::uint8_t yuy2[4] = {236, 128, 236, 128};  // Y0 U Y1 V
    for (int i = 0; i < 4; ++i) EXPECT_EQ(y.bytes[i], yuy2[i]) << i;
}

TEST(YuvCodec, OddBoxKeepsTheNeighbourAndTakesChromaFromTheFirstPixel) {
    Surface s(D3DFMT_YUY2, 4, 1, 2);
    const D3DXCOLOR grey(0.5f, 0.5f, 0.5f, 1);
    const D3DXCOLOR full[4] = {grey, grey, grey, grey};
    CreatePixelCodec(s.locked)->EncodeRow(0, 0, full);
    const std::vector<std::uint8_t> before = s.bytes;

    s.locked.region = D3DBOX{1, 0, 3, 1, 0, 1};
    const D3DXCOLOR red(1, 0, 0, 1);
    const D3DXCOLOR blue(0, 0, 1, 1);
    const D3DXCOLOR pair[2] = {red, blue};
    CreatePixelCodec(s.locked)->EncodeRow(0, 0, pair);
    // Pixel 0 keeps its luma and the chroma of its pair (from pixel 0).
    EXPECT_EQ(s.bytes[0], before[0]);
    EXPECT_EQ(s.bytes[1], before[1]);
    EXPECT_EQ(s.bytes[3], before[3]);
    // Pixel 2 starts the second pair: its chroma is blue's (U high, V low),
    // and pixel 3 keeps its luma.
    EXPECT_GT(s.bytes[5], 200);
    EXPECT_LT(s.bytes[7], 128);
    EXPECT_EQ(s.bytes[6], before[6]);
}

TEST(YuvCodec, DecodesAndKeysWithoutSnapping) {
    Surface s(D3DFMT_UYVY, 2, 2, 2);
    const std::uint8_t white[4] = {128, 235, 128, 235};
    std::memcpy(s.bytes.data(), white, 4);
    s.locked.colorKey = 0xFFFFFFFF;
    auto codec = CreatePixelCodec(s.locked);
    D3DXCOLOR row[2];
    ASSERT_EQ(codec->DecodeRow(0, 0, row), S_OK);
    // 219 * 0.00456621 is just under 1, so the pixels miss the exact key.
    EXPECT_NEAR(row[0].r, 1.0f, 1e-5f);
    EXPECT_EQ(row[0].a, 1.0f);
    EXPECT_EQ(codec->ColorKey(), D3DXCOLOR(1, 1, 1, 1));
    const std::uint8_t black[4] = {128, 16, 128, 16};
    std::memcpy(s.bytes.data() + s.pitch, black, 4);
    codec->DecodeRow(1, 0, row);
    EXPECT_EQ(row[1], D3DXCOLOR(0, 0, 0, 1));
}

}  // namespace
}  // namespace valmere::test
