#include "texture/format/PixelFormat.h"

#include <gtest/gtest.h>

#include <set>

namespace valmere {
namespace {

TEST(PixelFormatTable, ExtensionCodesAreTheirFourCharacterValues) {
    EXPECT_EQ(static_cast<DWORD>(kFormatL16), 0x36314C20u);
    EXPECT_EQ(static_cast<DWORD>(kFormatAL16), 0x36314C41u);
    EXPECT_EQ(static_cast<DWORD>(kFormatR16), 0x36315220u);
    EXPECT_EQ(static_cast<DWORD>(kFormatAR16), 0x36315241u);
}

TEST(PixelFormatTable, EveryRowIsFoundByItsOwnCodeAndCodesAreUnique) {
    std::set<DWORD> seen;
    for (const PixelFormatInfo& row : FormatTable()) {
        EXPECT_TRUE(seen.insert(row.format).second) << row.format;
        EXPECT_EQ(&GetFormatInfo(row.format), &row);
    }
    EXPECT_EQ(seen.size(), 44u);
}

TEST(PixelFormatTable, UnknownCodesGiveTheFirstRow) {
    const PixelFormatInfo& row = GetFormatInfo(static_cast<D3DFORMAT>(12345));
    EXPECT_EQ(&row, &FormatTable()[0]);
    EXPECT_EQ(row.format, D3DFMT_UNKNOWN);
    EXPECT_EQ(row.kind, FormatKind::Rgb);
    EXPECT_EQ(row.bitsPerPixel, 32u);
    EXPECT_EQ(row.channels[1], 8u);
    EXPECT_EQ(row.substitute, 0u);
    EXPECT_EQ(&GetFormatInfo(D3DFMT_INDEX16), &FormatTable()[0]);
}

TEST(PixelFormatTable, RowsCarryClassesAndWidths) {
    const PixelFormatInfo& r565 = GetFormatInfo(D3DFMT_R5G6B5);
    EXPECT_EQ(r565.bitsPerPixel, 16u);
    EXPECT_EQ(r565.channels[2], 5u);
    EXPECT_EQ(r565.channels[3], 6u);
    EXPECT_EQ(r565.channels[4], 5u);
    EXPECT_EQ(GetFormatInfo(D3DFMT_P8).kind, FormatKind::Palette);
    EXPECT_EQ(GetFormatInfo(D3DFMT_A4L4).kind, FormatKind::Luminance);
    EXPECT_EQ(GetFormatInfo(D3DFMT_L6V5U5).kind, FormatKind::Signed);
    EXPECT_EQ(GetFormatInfo(D3DFMT_L6V5U5).channels[0], 6u);
    EXPECT_EQ(GetFormatInfo(D3DFMT_D24S8).kind, FormatKind::Depth);
    EXPECT_EQ(GetFormatInfo(D3DFMT_DXT4).channels[1], 8u);
    EXPECT_EQ(GetFormatInfo(kFormatR16).bitsPerPixel, 48u);
    EXPECT_EQ(GetFormatInfo(kFormatAR16).bitsPerPixel, 64u);
    EXPECT_EQ(GetFormatInfo(D3DFMT_R8G8B8).substitute, 0u);
    EXPECT_EQ(GetFormatInfo(D3DFMT_A8R8G8B8).substitute, 1u);
}

TEST(PixelFormatTable, PublicFormatsReplaceOnlyTheExtensionFormats) {
    EXPECT_EQ(ToPublicFormat(kFormatL16), D3DFMT_L8);
    EXPECT_EQ(ToPublicFormat(kFormatAL16), D3DFMT_A8L8);
    EXPECT_EQ(ToPublicFormat(kFormatR16), D3DFMT_R8G8B8);
    EXPECT_EQ(ToPublicFormat(kFormatAR16), D3DFMT_A8R8G8B8);
    for (const PixelFormatInfo& row : FormatTable()) {
        const D3DFORMAT f = row.format;
        if (f != kFormatL16 && f != kFormatAL16 && f != kFormatR16 && f != kFormatAR16) {
            EXPECT_EQ(ToPublicFormat(f), f);
        }
    }
}

TEST(FormatDistance, ScoresMissingAndExtraChannelsAndBits) {
    const PixelFormatInfo& argb = GetFormatInfo(D3DFMT_A8R8G8B8);
    const PixelFormatInfo& xrgb = GetFormatInfo(D3DFMT_X8R8G8B8);
    const PixelFormatInfo& r565 = GetFormatInfo(D3DFMT_R5G6B5);
    EXPECT_EQ(FormatDistance(argb, argb), 0u);
    // X8R8G8B8 lacks alpha.
    EXPECT_EQ(FormatDistance(argb, xrgb), 0x1000000u);
    // A8R8G8B8 has an alpha X8R8G8B8 does not want.
    EXPECT_EQ(FormatDistance(xrgb, argb), 256u);
    // R5G6B5 for X8R8G8B8: 3 + 2 + 3 bits short.
    EXPECT_EQ(FormatDistance(xrgb, r565), (3u << 16) + (2u << 16) + (3u << 16));
    // X8R8G8B8 for R5G6B5: 3 + 2 + 3 extra bits.
    EXPECT_EQ(FormatDistance(r565, xrgb), 8u);
}

TEST(FormatDistance, ClassesThatDoNotMixAreUnusable) {
    const PixelFormatInfo& rgb = GetFormatInfo(D3DFMT_X8R8G8B8);
    const PixelFormatInfo& pal = GetFormatInfo(D3DFMT_P8);
    const PixelFormatInfo& lum = GetFormatInfo(D3DFMT_L8);
    const PixelFormatInfo& sgn = GetFormatInfo(D3DFMT_V8U8);
    const PixelFormatInfo& dep = GetFormatInfo(D3DFMT_D16);
    EXPECT_EQ(FormatDistance(rgb, pal), kFormatUnusable);
    EXPECT_EQ(FormatDistance(rgb, lum), kFormatUnusable);
    EXPECT_NE(FormatDistance(pal, rgb), kFormatUnusable);
    EXPECT_NE(FormatDistance(lum, rgb), kFormatUnusable);
    EXPECT_EQ(FormatDistance(lum, pal), kFormatUnusable);
    EXPECT_EQ(FormatDistance(sgn, rgb), kFormatUnusable);
    EXPECT_EQ(FormatDistance(rgb, sgn), kFormatUnusable);
    EXPECT_EQ(FormatDistance(dep, rgb), kFormatUnusable);
    EXPECT_NE(FormatDistance(dep, GetFormatInfo(D3DFMT_D24S8)), kFormatUnusable);
}

TEST(FormatDistance, ACandidateWithNoneOfTheWantedChannelsIsUnusable) {
    // A8 has only alpha; X8R8G8B8 only colour.
    EXPECT_EQ(FormatDistance(GetFormatInfo(D3DFMT_A8), GetFormatInfo(D3DFMT_X8R8G8B8)), kFormatUnusable);
    EXPECT_EQ(FormatDistance(GetFormatInfo(D3DFMT_X8R8G8B8), GetFormatInfo(D3DFMT_A8)), kFormatUnusable);
    // A wanted row without channels never matches.
    PixelFormatInfo none = GetFormatInfo(D3DFMT_A8);
    none.channels[1] = 0;
    EXPECT_EQ(FormatDistance(none, GetFormatInfo(D3DFMT_A8R8G8B8)), kFormatUnusable);
}

TEST(FindClosestFormat, ReturnsAnExactMatchAtOnce) {
    const D3DFORMAT list[] = {D3DFMT_X8R8G8B8, D3DFMT_R5G6B5, D3DFMT_A8R8G8B8, D3DFMT_UNKNOWN};
    EXPECT_EQ(FindClosestFormat(list, false, GetFormatInfo(D3DFMT_R5G6B5)), D3DFMT_R5G6B5);
}

TEST(FindClosestFormat, PrefersTheSmallestScoreThenFewerBits) {
    // For R5G6B5: X1R5G5B5 is 1 bit short in green (0x10000), X8R8G8B8 8 bits
    // too wide (8); A8R8G8B8 adds alpha (256 + 8).
    const D3DFORMAT list[] = {D3DFMT_A8R8G8B8, D3DFMT_X1R5G5B5, D3DFMT_X8R8G8B8, D3DFMT_UNKNOWN};
    EXPECT_EQ(FindClosestFormat(list, false, GetFormatInfo(D3DFMT_R5G6B5)), D3DFMT_X8R8G8B8);
    // X8R8G8B8 and R8G8B8 score alike for R5G6B5; R8G8B8 has fewer bits.
    const D3DFORMAT tie[] = {D3DFMT_X8R8G8B8, D3DFMT_R8G8B8, D3DFMT_UNKNOWN};
    EXPECT_EQ(FindClosestFormat(tie, false, GetFormatInfo(D3DFMT_R5G6B5)), D3DFMT_R8G8B8);
    // A full tie keeps the earlier candidate: UYVY and YUY2 have equal rows.
    const D3DFORMAT yuv[] = {D3DFMT_UYVY, D3DFMT_YUY2, D3DFMT_UNKNOWN};
    const D3DFORMAT yuvReversed[] = {D3DFMT_YUY2, D3DFMT_UYVY, D3DFMT_UNKNOWN};
    EXPECT_EQ(FindClosestFormat(yuv, false, GetFormatInfo(D3DFMT_X8R8G8B8)), D3DFMT_UYVY);
    EXPECT_EQ(FindClosestFormat(yuvReversed, false, GetFormatInfo(D3DFMT_X8R8G8B8)), D3DFMT_YUY2);
}

TEST(FindClosestFormat, SkipsPalettesUnlessAllowedAndUnknownCodes) {
    const D3DFORMAT list[] = {static_cast<D3DFORMAT>(999), D3DFMT_P8, D3DFMT_X8R8G8B8, D3DFMT_UNKNOWN};
    const PixelFormatInfo& p8 = GetFormatInfo(D3DFMT_P8);
    EXPECT_EQ(FindClosestFormat(list, true, p8), D3DFMT_P8);
    EXPECT_EQ(FindClosestFormat(list, false, p8), D3DFMT_X8R8G8B8);
}

TEST(FindClosestFormat, NothingUsableGivesUnknown) {
    const D3DFORMAT list[] = {D3DFMT_V8U8, D3DFMT_D16, D3DFMT_UNKNOWN};
    EXPECT_EQ(FindClosestFormat(list, true, GetFormatInfo(D3DFMT_A8R8G8B8)), D3DFMT_UNKNOWN);
    const D3DFORMAT empty[] = {D3DFMT_UNKNOWN};
    EXPECT_EQ(FindClosestFormat(empty, true, GetFormatInfo(D3DFMT_A8R8G8B8)), D3DFMT_UNKNOWN);
}

}  // namespace
}  // namespace valmere
