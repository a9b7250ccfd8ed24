// Exact encodings, decoded fill values, dithering, kinds and colour keys of
// the plain formats.
#include "CodecTestUtil.h"

#include "texture/codec/DitherTable.h"

#include <gtest/gtest.h>

#include <limits>

namespace valmere::test {
namespace {

std::uint32_t EncodeOne(D3DFORMAT format, UINT bpp, D3DXCOLOR c) {
    Surface s(format, 1, 1, bpp);
    auto codec = CreatePixelCodec(s.locked);
    EXPECT_NE(codec, nullptr);
    EXPECT_EQ(codec->EncodeRow(0, 0, &c), S_OK);
    EXPECT_TRUE(s.GuardIntact());
    return s.Word(0, 0, bpp);
}

D3DXCOLOR DecodeOne(D3DFORMAT format, UINT bpp, std::uint32_t word) {
    Surface s(format, 1, 1, bpp);
    std::memcpy(s.bytes.data(), &word, bpp);
    auto codec = CreatePixelCodec(s.locked);
    D3DXCOLOR c;
    EXPECT_EQ(codec->DecodeRow(0, 0, &c), S_OK);
    return c;
}

TEST(PlainCodec, RoundsToNearestWithoutDither) {
    EXPECT_EQ(EncodeOne(D3DFMT_A8R8G8B8, 4, D3DXCOLOR(0.5f, 1, 0, 0.5f)), 0x8080FF00u);
    EXPECT_EQ(EncodeOne(D3DFMT_A8R8G8B8, 4, D3DXCOLOR(1, 1, 1, 1)), 0xFFFFFFFFu);
    EXPECT_EQ(EncodeOne(D3DFMT_R5G6B5, 2, D3DXCOLOR(1, 1, 1, 1)), 0xFFFFu);
    EXPECT_EQ(EncodeOne(D3DFMT_R5G6B5, 2, D3DXCOLOR(0.5f, 0.5f, 0.5f, 1)), (16u << 11) | (32u << 5) | 16u);
    EXPECT_EQ(EncodeOne(D3DFMT_A1R5G5B5, 2, D3DXCOLOR(0, 0, 0, 0.5f)), 0x8000u);
    EXPECT_EQ(EncodeOne(D3DFMT_A1R5G5B5, 2, D3DXCOLOR(0, 0, 0, 0.49f)), 0x0000u);
    EXPECT_EQ(EncodeOne(D3DFMT_X8R8G8B8, 4, D3DXCOLOR(0, 0, 0, 1)), 0u);  // X written 0
    EXPECT_EQ(EncodeOne(D3DFMT_A2B10G10R10, 4, D3DXCOLOR(1, 0, 0, 1)), 0xC00003FFu);
}

TEST(PlainCodec, SignedFieldsTruncateTowardZeroAfterTheBias) {
    // -0.5 * 128 + 0.5 = -63.5 truncates to -63 (0xC1).
    EXPECT_EQ(EncodeOne(D3DFMT_V8U8, 2, D3DXCOLOR(-0.5f, 0.5f, 0, 1)), 0x40C1u);
    // W11V11U10: U has 10 bits, V and W 11.
    EXPECT_EQ(EncodeOne(D3DFMT_W11V11U10, 4, D3DXCOLOR(-1, 0, 0, 1)), 0x201u);  // -511 & 0x3FF
    const D3DXCOLOR d = DecodeOne(D3DFMT_V8U8, 2, 0x7F80);
    EXPECT_EQ(d.r, -1.0f);
    EXPECT_EQ(d.g, 127.0f / 128);
    const D3DXCOLOR l6 = DecodeOne(D3DFMT_L6V5U5, 2, 0xFC10);  // U = -16, V = 0, L = 63
    EXPECT_EQ(l6.r, -1.0f);
    EXPECT_EQ(l6.a, 1.0f);
    EXPECT_EQ(l6.b, 0.0f);
}

TEST(PlainCodec, OutOfRangeValuesAreClampedNotWrapped) {
    EXPECT_EQ(EncodeOne(D3DFMT_A8R8G8B8, 4, D3DXCOLOR(1.7f, -0.3f, 2, 5)), 0xFFFF00FFu);
    EXPECT_EQ(EncodeOne(D3DFMT_R5G6B5, 2, D3DXCOLOR(-1, 9, -1, 1)), 63u << 5);
    // An unsigned 1.0 remapped to signed is 1.0: held at the largest code 127.
    EXPECT_EQ(EncodeOne(D3DFMT_V8U8, 2, D3DXCOLOR(1.0f, -3.0f, 0, 1)), 0x817Fu);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(EncodeOne(D3DFMT_A8R8G8B8, 4, D3DXCOLOR(nan, 0, 0, 1)), 0xFF000000u);
}

TEST(PlainCodec, MissingChannelsDecodeToFixedValues) {
    const D3DXCOLOR g16 = DecodeOne(D3DFMT_G16R16, 4, 0xFFFF0000u);
    EXPECT_EQ(g16, D3DXCOLOR(0, 1, 1, 1));
    const D3DXCOLOR v8 = DecodeOne(D3DFMT_V8U8, 2, 0);
    EXPECT_EQ(v8.b, 0.0f);
    EXPECT_EQ(v8.a, 1.0f);
    EXPECT_EQ(DecodeOne(D3DFMT_A8, 1, 0xFF), D3DXCOLOR(0, 0, 0, 1));
    EXPECT_EQ(DecodeOne(D3DFMT_R5G6B5, 2, 0).a, 1.0f);
    const D3DXCOLOR l = DecodeOne(D3DFMT_A4L4, 1, 0x5A);
    EXPECT_EQ(l.r, 10.0f * (1.0f / 15));
    EXPECT_EQ(l.g, l.r);
    EXPECT_EQ(l.b, l.r);
    EXPECT_EQ(l.a, 5.0f * (1.0f / 15));
}

TEST(PlainCodec, LuminanceEncodesWeightedSum) {
    // 0.2125 r + 0.7154 g + 0.0721 b for pure green: 0.7154 * 255 + 0.5 = 182.9.
    EXPECT_EQ(EncodeOne(D3DFMT_L8, 1, D3DXCOLOR(0, 1, 0, 1)), 182u);
    EXPECT_EQ(EncodeOne(D3DFMT_A8L8, 2, D3DXCOLOR(1, 1, 1, 0)), 0x00FFu);
}

TEST(PlainCodec, DitherMakesAnEvenPatternThatShiftsPerSlice) {
    // Red 0.5 in R5G6B5 is 15.5 before the dither value: 16 where the matrix
    // holds at least 16/32, 15 elsewhere.
    Surface s(D3DFMT_R5G6B5, 4, 4, 2, 2);
    s.locked.dither = TRUE;
    auto codec = CreatePixelCodec(s.locked);
    const auto row = Row(4, D3DXCOLOR(0.5f, 0, 0, 1));
    for (UINT z = 0; z < 2; ++z) {
        for (UINT y = 0; y < 4; ++y) codec->EncodeRow(y, z, row.data());
    }
    int sixteens = 0;
    for (UINT z = 0; z < 2; ++z) {
        for (UINT y = 0; y < 4; ++y) {
            for (UINT x = 0; x < 4; ++x) {
                std::uint16_t w;
                std::memcpy(&w, s.bytes.data() + z * s.slicePitch + y * s.pitch + x * 2, 2);
                const float m = OrderedDitherMatrix[y][(x + z) & 3];
                EXPECT_EQ(w >> 11, m >= 0.5f ? 16 : 15) << x << "," << y << "," << z;
                sixteens += (w >> 11) == 16;
            }
        }
    }
    EXPECT_EQ(sixteens, 16);  // half of 32 pixels
    EXPECT_TRUE(s.GuardIntact());
}

TEST(PlainCodec, DitherTableMatchesTheMatrixTwice) {
    const float first[4][4] = {{31, 15, 27, 11}, {7, 23, 3, 19}, {25, 9, 29, 13}, {1, 17, 5, 21}};
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 8; ++x) {
            EXPECT_EQ(OrderedDitherMatrix[y][x], first[y][x & 3] / 32);
            EXPECT_EQ(NoDitherMatrix[y][x], 0.5f);
        }
    }
}

TEST(PlainCodec, BoxAddressesPixelsInsideTheSurface) {
    Surface s(D3DFMT_A8R8G8B8, 4, 3, 4);
    s.locked.region = D3DBOX{1, 1, 3, 2, 0, 1};
    auto codec = CreatePixelCodec(s.locked);
    ASSERT_EQ(codec->Width(), 2u);
    const auto row = Row(2, D3DXCOLOR(1, 1, 1, 1));
    codec->EncodeRow(0, 0, row.data());
    for (UINT y = 0; y < 3; ++y) {
        for (UINT x = 0; x < 4; ++x) {
            EXPECT_EQ(s.Word(x, y, 4), (y == 1 && (x == 1 || x == 2)) ? 0xFFFFFFFFu : 0u) << x << "," << y;
        }
    }
}

TEST(PlainCodec, RemapsKindsWhenEncodingFromAnotherKind) {
    Surface src(D3DFMT_A8R8G8B8, 1, 1, 4);
    Surface dst(D3DFMT_V8U8, 1, 1, 2);
    auto source = CreatePixelCodec(src.locked);
    auto destination = CreatePixelCodec(dst.locked);
    ASSERT_EQ(AcceptSourceKind(*destination, *source), S_OK);
    // Unsigned 0.5 is signed 0; the caller's row is left alone.
    const D3DXCOLOR in(0.5f, 1.0f, 0, 1);
    D3DXCOLOR copy = in;
    destination->EncodeRow(0, 0, &copy);
    EXPECT_EQ(copy, in);
    EXPECT_EQ(dst.Word(0, 0, 2), 0x7F00u);

    D3DXCOLOR row[2] = {D3DXCOLOR(0, -1, 1, 0.5f), D3DXCOLOR(0, 0, 0, -1)};
    RemapRowKind(row, row, 2, NumericKind::Unsigned, NumericKind::SignedRgba);
    EXPECT_EQ(row[0], D3DXCOLOR(0.5f, 0, 1, 0.75f));
    EXPECT_EQ(row[1].a, 0.0f);
    D3DXCOLOR s(0.5f, 0, 0, 0.5f);
    RemapRowKind(&s, &s, 1, NumericKind::SignedRgb, NumericKind::Unsigned);
    EXPECT_EQ(s, D3DXCOLOR(0, -1, -1, 0.5f));
}

TEST(PlainCodec, ColourKeySnapsToTheFormat) {
    // 0xFFC8C8C8 in R5G6B5: red and blue 24/31, green 49/63.
    Surface s(D3DFMT_R5G6B5, 2, 1, 2);
    s.locked.colorKey = 0xFFC8C8C8;
    const std::uint16_t keyed = (24 << 11) | (49 << 5) | 24;
    const std::uint16_t other = (24 << 11) | (50 << 5) | 24;
    std::memcpy(s.bytes.data(), &keyed, 2);
    std::memcpy(s.bytes.data() + 2, &other, 2);
    auto codec = CreatePixelCodec(s.locked);
    EXPECT_EQ(codec->ColorKey(), D3DXCOLOR(24.0f * (1.0f / 31), 49.0f * (1.0f / 63), 24.0f * (1.0f / 31), 1));
    D3DXCOLOR row[2];
    codec->DecodeRow(0, 0, row);
    EXPECT_EQ(row[0], D3DXCOLOR(0, 0, 0, 0));
    EXPECT_NE(row[1], D3DXCOLOR(0, 0, 0, 0));
}

TEST(PlainCodec, ColourKeyAlphaFollowsTheFormat) {
    // Green with alpha 0: without alpha in the format it snaps to alpha 1.
    const std::uint32_t pixels[2] = {0xFF00FF00u, 0x0000FF00u};
    for (D3DFORMAT f : {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}) {
        Surface s(f, 2, 1, 4);
        s.locked.colorKey = 0x0000FF00;
        std::memcpy(s.bytes.data(), pixels, 8);
        auto codec = CreatePixelCodec(s.locked);
        D3DXCOLOR row[2];
        codec->DecodeRow(0, 0, row);
        if (f == D3DFMT_X8R8G8B8) {
            EXPECT_EQ(row[0], D3DXCOLOR(0, 0, 0, 0));
            EXPECT_EQ(row[1], D3DXCOLOR(0, 0, 0, 0));
        } else {
            EXPECT_EQ(row[0], D3DXCOLOR(0, 1, 0, 1));
            EXPECT_EQ(row[1], D3DXCOLOR(0, 0, 0, 0));
        }
    }
    // Key 0 means no key: black stays.
    Surface s(D3DFMT_X8R8G8B8, 1, 1, 4);
    auto codec = CreatePixelCodec(s.locked);
    EXPECT_FALSE(codec->HasColorKey());
    D3DXCOLOR c;
    codec->DecodeRow(0, 0, &c);
    EXPECT_EQ(c, D3DXCOLOR(0, 0, 0, 1));
}

TEST(PlainCodec, UnsupportedFormatsAndBadBoxesGiveNoCodec) {
    for (D3DFORMAT f : {D3DFMT_UNKNOWN, D3DFMT_D16, D3DFMT_D24S8, D3DFMT_INDEX16, static_cast<D3DFORMAT>(7777)}) {
        Surface s(f, 1, 1, 4);
        EXPECT_EQ(CreatePixelCodec(s.locked), nullptr) << f;
    }
    Surface s(D3DFMT_A8R8G8B8, 4, 4, 4);
    s.locked.region = D3DBOX{3, 0, 1, 1, 0, 1};
    EXPECT_EQ(CreatePixelCodec(s.locked), nullptr);
    s.locked.region = s.locked.extent;
    s.locked.pixels = nullptr;
    EXPECT_EQ(CreatePixelCodec(s.locked), nullptr);
}

}  // namespace
}  // namespace valmere::test

namespace valmere::test {
namespace {

TEST(CodecRows, RowsOutsideTheBoxAreRefusedUntouched) {
    struct Case {
        D3DFORMAT format;
        UINT bytes;
        bool blocks;
    };
    for (const Case& c : {Case{D3DFMT_A8R8G8B8, 4, false}, Case{D3DFMT_YUY2, 2, false}, Case{D3DFMT_DXT1, 8, true}}) {
        Surface s(c.format, 4, 4, c.bytes, 1, c.blocks);
        s.locked.region = D3DBOX{0, 0, 4, 2, 0, 1};
        auto codec = CreatePixelCodec(s.locked);
        const auto row = Row(4, D3DXCOLOR(1, 1, 1, 1));
        std::vector<D3DXCOLOR> out(4);
        EXPECT_EQ(codec->EncodeRow(2, 0, row.data()), D3DERR_INVALIDCALL) << c.format;
        EXPECT_EQ(codec->EncodeRow(0, 1, row.data()), D3DERR_INVALIDCALL) << c.format;
        EXPECT_EQ(codec->DecodeRow(2, 0, out.data()), D3DERR_INVALIDCALL) << c.format;
        codec.reset();
        for (std::uint8_t b : std::vector<std::uint8_t>(s.bytes.begin(), s.bytes.end() - Surface::kGuard)) EXPECT_EQ(b, 0);
        EXPECT_TRUE(s.GuardIntact());
    }
}

}  // namespace
}  // namespace valmere::test
