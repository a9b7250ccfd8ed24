// GDI text: fonts resolved through fontconfig, measured and drawn with
// FreeType into DIB sections. FreeType itself, opened on the face file that a
// font uses, is the reference for names and metrics.
#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "platform/host/HeadlessHost.h"
#include "platform/win32/GdiObjects.h"

namespace {

using valmere::win32::DescribeFace;
using valmere::win32::FontFaceInfo;
using valmere::win32::FontFaceOf;

constexpr int kWidth = 160;
constexpr int kHeight = 48;

HFONT MakeFont(const char* face, LONG height, LONG weight = FW_NORMAL, bool italic = false, bool underline = false,
               bool strikeOut = false) {
    LOGFONTA description{};
    description.lfHeight = height;
    description.lfWeight = weight;
    description.lfItalic = italic;
    description.lfUnderline = underline;
    description.lfStrikeOut = strikeOut;
    std::strncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    return CreateFontIndirectA(&description);
}

HBITMAP MakeBitmap(int width, int height, std::uint8_t** bits) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    return CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(bits), nullptr, 0);
}

// The face a font uses, opened independently with FreeType.
class ReferenceFace {
public:
    explicit ReferenceFace(HFONT font) : info_(DescribeFace(*FontFaceOf(font))) {
        FT_Init_FreeType(&library_);
        FT_New_Face(library_, info_.file.c_str(), info_.faceIndex, &face_);
        FT_Set_Char_Size(face_, 0, info_.charHeight26Dot6, 72, 72);
    }
    ~ReferenceFace() {
        FT_Done_Face(face_);
        FT_Done_FreeType(library_);
    }
    FT_Face operator->() const { return face_; }
    const FontFaceInfo& Info() const { return info_; }
    int Advance(char32_t c) const {
        FT_Load_Char(face_, c, info_.loadFlags);
        return static_cast<int>((face_->glyph->advance.x + 32) >> 6);
    }
    int Width(const std::u32string& text) const {
        int width = 0;
        for (char32_t c : text) width += Advance(c);
        return width;
    }
    double PixelsPerUnit() const { return info_.charHeight26Dot6 / 64.0 / face_->units_per_EM; }

private:
    FontFaceInfo info_;
    FT_Library library_ = nullptr;
    FT_Face face_ = nullptr;
};

class GdiText : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = &valmere::host::InstallHeadlessHost();
        dc_ = CreateCompatibleDC(nullptr);
        bitmap_ = MakeBitmap(kWidth, -kHeight, &bits_);
        font_ = MakeFont("Arial", 12);
        ASSERT_TRUE(dc_ && bitmap_ && bits_ && font_);
        stockBitmap_ = SelectObject(dc_, bitmap_);
        stockFont_ = SelectObject(dc_, font_);
        SetBkMode(dc_, OPAQUE);
        SetBkColor(dc_, 0x000000);
        SetTextColor(dc_, 0xFFFFFF);
    }
    void TearDown() override {
        SelectObject(dc_, stockBitmap_);
        SelectObject(dc_, stockFont_);
        EXPECT_TRUE(DeleteObject(bitmap_));
        EXPECT_TRUE(DeleteObject(font_));
        EXPECT_TRUE(DeleteDC(dc_));
        host_->ClearCallFailures();
    }
    int Draw(const char* text, RECT rect, UINT format, RECT* out = nullptr) {
        const int height = DrawTextA(dc_, text, -1, &rect, format);
        if (out) *out = rect;
        return height;
    }
    RECT Measure(const char* text, UINT format = 0, RECT rect = {0, 0, kWidth, kHeight}) {
        Draw(text, rect, format | DT_CALCRECT, &rect);
        return rect;
    }
    std::uint8_t* Pixel(int x, int y) { return bits_ + (y * kWidth + x) * 4; }
    void FillBits(std::uint8_t value) { std::memset(bits_, value, kWidth * kHeight * 4); }
    // Bounding box of the pixels whose blue byte differs from `background`.
    RECT Ink(std::uint8_t background = 0) {
        RECT box{kWidth, kHeight, 0, 0};
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                if (Pixel(x, y)[0] != background)
                    box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y), std::max<LONG>(box.right, x + 1),
                           std::max<LONG>(box.bottom, y + 1)};
        return box;
    }

    valmere::host::HeadlessHost* host_ = nullptr;
    HDC dc_ = nullptr;
    HBITMAP bitmap_ = nullptr;
    HFONT font_ = nullptr;
    HGDIOBJ stockBitmap_ = nullptr;
    HGDIOBJ stockFont_ = nullptr;
    std::uint8_t* bits_ = nullptr;
};

TEST_F(GdiText, FaceNamesResolveThroughFontconfig) {
    struct Case {
        const char* name;
        LONG weight;
        bool italic;
        const char* family;  // null: any face
        long styles;         // FreeType style flags of the face, or synthesis
    } cases[] = {
        {"Arial", FW_NORMAL, false, "Liberation Sans", 0},
        {"Arial", FW_BOLD, false, "Liberation Sans", FT_STYLE_FLAG_BOLD},
        {"Arial", FW_NORMAL, true, "Liberation Sans", FT_STYLE_FLAG_ITALIC},
        {"NoSuchFace123", FW_NORMAL, false, nullptr, 0},
        {"", 0, false, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HFONT font = MakeFont(c.name, -16, c.weight, c.italic);
        ASSERT_NE(font, nullptr);
        ReferenceFace face(font);
        ASSERT_NE(face->family_name, nullptr);
        if (c.family) {
            EXPECT_STREQ(face->family_name, c.family);
        }
        const long styles = face->style_flags | (face.Info().emboldened ? FT_STYLE_FLAG_BOLD : 0) |
                            (face.Info().slanted ? FT_STYLE_FLAG_ITALIC : 0);
        EXPECT_EQ(styles & (FT_STYLE_FLAG_BOLD | FT_STYLE_FLAG_ITALIC), c.styles);
        // Every resolved face draws.
        SelectObject(dc_, font);
        FillBits(0);
        EXPECT_GT(Draw("Hello", {0, 0, kWidth, kHeight}, 0), 0);
        EXPECT_LT(Ink().left, Ink().right);
        SelectObject(dc_, font_);
        EXPECT_TRUE(DeleteObject(font));
    }
    EXPECT_EQ(CreateFontIndirectA(nullptr), nullptr);
}

TEST_F(GdiText, MeasuresWithTheFaceAdvancesAndGdiHeights) {
    const ReferenceFace cell(font_);
    const double above = cell->ascender;
    const double below = -cell->descender;
    EXPECT_NEAR(cell.Info().charHeight26Dot6 / 64.0, 12 * cell->units_per_EM / (above + below), 1 / 64.0);
    RECT rect = Measure("Valmere Engine");
    EXPECT_EQ(rect.right, cell.Width(U"Valmere Engine"));
    EXPECT_EQ(rect.bottom, 12);  // a positive height is the cell height
    EXPECT_EQ(Draw("Valmere Engine", {0, 0, kWidth, kHeight}, DT_CALCRECT), 12);
    // The baseline lies the ascent below the top; glyphs hang from it by their bearings.
    FillBits(0);
    Draw("g", {0, 3, kWidth, kHeight}, DT_NOCLIP);
    const long ascent = std::lround(12 * above / (above + below));
    FT_Load_Char(cell.operator->(), 'g', cell.Info().loadFlags);
    FT_Render_Glyph(cell->glyph, FT_RENDER_MODE_NORMAL);
    EXPECT_EQ(Ink().top, 3 + ascent - cell->glyph->bitmap_top);
    EXPECT_EQ(Ink().bottom, Ink().top + static_cast<LONG>(cell->glyph->bitmap.rows));
    EXPECT_EQ(Ink().left, cell->glyph->bitmap_left);

    HFONT em = MakeFont("Arial", -20);
    const ReferenceFace face(em);
    EXPECT_EQ(face.Info().charHeight26Dot6, 20 * 64);  // a negative height is the em height
    SelectObject(dc_, em);
    rect = Measure("Test Build 1", 0, {5, 7, 6, 8});
    EXPECT_EQ(rect.left, 5);
    EXPECT_EQ(rect.right - rect.left, face.Width(U"Test Build 1"));
    EXPECT_EQ(rect.bottom - rect.top,
              std::lround(above * 20 / face->units_per_EM) + std::lround(below * 20 / face->units_per_EM));
    SelectObject(dc_, font_);
    EXPECT_TRUE(DeleteObject(em));
}

TEST_F(GdiText, CalcRectOnlyMeasures) {
    FillBits(0x5A);
    RECT rect{3, 4, 100, 40};
    EXPECT_EQ(DrawTextA(dc_, "Hello", -1, &rect, DT_CALCRECT | DT_CENTER | DT_VCENTER | DT_SINGLELINE), 12);
    EXPECT_EQ(Ink(0x5A).left, kWidth);  // nothing drawn
    EXPECT_EQ(rect.left, 3);
    EXPECT_EQ(rect.top, 4);
    EXPECT_EQ(rect.bottom, 16);
    rect = {3, 4, 100, 40};
    EXPECT_EQ(DrawTextA(dc_, "", -1, &rect, DT_CALCRECT), 0);
    EXPECT_EQ(rect.right, 3);
    EXPECT_EQ(rect.bottom, 4);
}

TEST_F(GdiText, LinesBreakAtHardBreaksAndWords) {
    const LONG oneTwo = Measure("one two").right;
    struct Case {
        const char* text;
        UINT format;
        LONG width;  // rectangle width
        int lines;
        LONG calcWidth;      // the DT_CALCRECT width, when widest is null
        const char* widest;  // the line that gives the DT_CALCRECT width
    } cases[] = {
        {"a\nb", 0, kWidth, 2, -1, "a"},
        {"one\r\ntwo\rthree", 0, kWidth, 3, -1, "three"},
        {"one\n", 0, kWidth, 1, -1, "one"},
        {"one\n\ntwo", 0, kWidth, 3, -1, "one"},
        {"one\ntwo", DT_SINGLELINE, kWidth, 1, -1, "one\ntwo"},
        {"one two three", DT_WORDBREAK, oneTwo, 2, oneTwo, nullptr},
        {"one two three", DT_WORDBREAK, oneTwo - 1, 3, -1, "three"},
        {"one two three", 0, oneTwo, 1, -1, "one two three"},
        {"unbreakable", DT_WORDBREAK, 5, 1, -1, "unbreakable"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        RECT rect{0, 0, c.width, kHeight};
        EXPECT_EQ(DrawTextA(dc_, c.text, -1, &rect, c.format | DT_CALCRECT), 12 * c.lines);
        EXPECT_EQ(rect.bottom, 12 * c.lines);
        EXPECT_EQ(rect.right, c.widest ? Measure(c.widest, DT_SINGLELINE).right : c.calcWidth);
    }
    // Drawn: the second line lies one line height below the first.
    FillBits(0);
    Draw("l", {0, 0, kWidth, kHeight}, DT_NOCLIP);
    const RECT one = Ink();
    FillBits(0);
    Draw("l\nl", {0, 0, kWidth, kHeight}, 0);
    EXPECT_EQ(Ink().top, one.top);
    EXPECT_EQ(Ink().bottom, one.bottom + 12);
}

TEST_F(GdiText, TabsStopEveryEightAverageWidths) {
    const ReferenceFace face(font_);
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face.operator->(), FT_SFNT_OS2));
    ASSERT_NE(os2, nullptr);
    const LONG stop = 8 * std::lround(os2->xAvgCharWidth * face.PixelsPerUnit());
    EXPECT_EQ(Measure("\t", DT_EXPANDTABS).right, stop);
    EXPECT_EQ(Measure("ab\t", DT_EXPANDTABS).right, stop);
    EXPECT_EQ(Measure("\t\tb", DT_EXPANDTABS).right, 2 * stop + face.Advance(U'b'));
    EXPECT_EQ(Measure("a\n\tb", DT_EXPANDTABS).right, stop + face.Advance(U'b'));  // stops count from the line start
}

TEST_F(GdiText, AlignmentPlacesTheTextInTheRectangle) {
    const LONG width = Measure("Hi").right;
    FillBits(0);
    Draw("Hi", {0, 0, kWidth, kHeight}, DT_SINGLELINE);
    const RECT origin = Ink();
    for (const RECT& box : {RECT{10, 5, 150, 45}, RECT{11, 4, 150, 45}}) {  // both parities of the free space
        const LONG freeX = box.right - box.left - width;
        const LONG freeY = box.bottom - box.top - 12;
        struct Case {
            UINT format;
            LONG dx, dy;
            int result;
        } cases[] = {
            {DT_CENTER, freeX / 2, 0, 12},
            {DT_RIGHT, freeX, 0, 12},
            {DT_VCENTER | DT_SINGLELINE, 0, freeY / 2, freeY / 2 + 12},
            {DT_BOTTOM | DT_SINGLELINE, 0, freeY, freeY + 12},
            {DT_BOTTOM, 0, 0, 12},  // vertical placement needs DT_SINGLELINE
            {DT_RIGHT | DT_BOTTOM | DT_SINGLELINE, freeX, freeY, freeY + 12},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.format);
            FillBits(0);
            EXPECT_EQ(Draw("Hi", box, c.format), c.result);
            const RECT ink = Ink();
            EXPECT_EQ(ink.left - origin.left, box.left + c.dx);
            EXPECT_EQ(ink.top - origin.top, box.top + c.dy);
            EXPECT_EQ(ink.right - ink.left, origin.right - origin.left);
        }
    }
}

TEST_F(GdiText, CoverageMixesTextOverBackgroundColour) {
    FillBits(0x77);
    Draw("Valmere Engine", {0, 0, kWidth, kHeight}, 0);
    int grey = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < Measure("Valmere Engine").right; ++x) {
            const std::uint8_t* p = Pixel(x, y);
            ASSERT_TRUE(p[0] == p[1] && p[1] == p[2]) << x << "," << y;
            grey += p[0] > 0 && p[0] < 255;
        }
    EXPECT_GT(grey, 10);  // anti-aliased, not black and white
    EXPECT_EQ(Pixel(0, 12)[0], 0x77);  // OPAQUE fills the text's cells only

    // Coverage c from white on black gives round(text * c / 255) for another text colour, and
    // red on green mixes both: red c, green 255 - c.
    FillBits(0);
    Draw("HI", {0, 0, kWidth, kHeight}, 0);
    const std::vector<std::uint8_t> white(bits_, bits_ + kWidth * kHeight * 4);
    SetTextColor(dc_, 0x804020);
    Draw("HI", {0, 0, kWidth, kHeight}, 0);
    for (int i = 0; i < kWidth * kHeight * 4; i += 4) {
        ASSERT_EQ(bits_[i], (0x80 * white[i] + 127) / 255) << i;
        ASSERT_EQ(bits_[i + 1], (0x40 * white[i] + 127) / 255) << i;
        ASSERT_EQ(bits_[i + 2], (0x20 * white[i] + 127) / 255) << i;
    }
    SetTextColor(dc_, 0x0000FF);
    SetBkColor(dc_, 0x00FF00);
    Draw("HI", {0, 0, kWidth, kHeight}, 0);
    for (int i = 0; i < 12 * kWidth * 4; i += 4) {
        if (i % (kWidth * 4) >= Measure("HI").right * 4) continue;
        ASSERT_EQ(bits_[i], 0);
        ASSERT_EQ(bits_[i + 1], 255 - white[i]) << i;
        ASSERT_EQ(bits_[i + 2], white[i]) << i;
    }
    // TRANSPARENT keeps the pixels between the glyphs.
    FillBits(0x77);
    SetBkMode(dc_, TRANSPARENT);
    Draw("l l", {0, 0, kWidth, kHeight}, 0);
    EXPECT_EQ(Pixel(0, 0)[0], 0x77);
    EXPECT_EQ(Pixel(Measure("l").right + 1, 6)[2], 0x77);
}

TEST_F(GdiText, UnderlineAndStrikeOutAreFullRows) {
    auto fullRows = [&] {
        const LONG width = Measure("Valmere").right;
        FillBits(0);
        Draw("Valmere", {0, 0, kWidth, kHeight}, 0);
        std::vector<int> rows;
        for (int y = 0; y < 12; ++y) {
            int lit = 0;
            for (int x = 0; x < width; ++x) lit += Pixel(x, y)[0] == 255;
            if (lit == width) rows.push_back(y);
        }
        return rows;
    };
    EXPECT_TRUE(fullRows().empty());
    for (const bool underline : {true, false}) {
        HFONT lined = MakeFont("Arial", 12, FW_NORMAL, false, underline, !underline);
        SelectObject(dc_, lined);
        const std::vector<int> rows = fullRows();
        ASSERT_FALSE(rows.empty());
        if (underline)
            EXPECT_GE(rows.front(), 10);  // below the baseline
        else
            EXPECT_LT(rows.back(), 9);  // through the lower-case letters
        SelectObject(dc_, font_);
        EXPECT_TRUE(DeleteObject(lined));
    }
}

TEST_F(GdiText, ClipsToTheRectangleUnlessNoClipAndAlwaysToTheBitmap) {
    FillBits(0x33);
    const RECT box{-7, -5, 30, 3};
    Draw("Valmere Engine", box, 0);
    const RECT ink = Ink(0x33);
    EXPECT_EQ(ink.left, 0);
    EXPECT_EQ(ink.top, 0);
    EXPECT_LE(ink.right, 30);
    EXPECT_LE(ink.bottom, 3);
    FillBits(0x33);
    Draw("Valmere Engine", box, DT_NOCLIP);
    EXPECT_GT(Ink(0x33).right, 30);
    EXPECT_GT(Ink(0x33).bottom, 3);
    // Past every edge of the bitmap (out-of-bounds writes are caught by the sanitizer build).
    for (const RECT& edge : {RECT{kWidth - 8, kHeight - 6, kWidth + 80, kHeight + 30}, RECT{-200, -20, 5, 5},
                             RECT{INT_MIN, INT_MIN, INT_MAX, INT_MAX}, RECT{INT_MAX - 5, 0, INT_MAX, 20}})
        for (UINT format :
             {0u, DT_NOCLIP, DT_CENTER | DT_VCENTER | DT_SINGLELINE, DT_RIGHT | DT_BOTTOM | DT_SINGLELINE})
            Draw("Valmere Engine\nTest Build 1", edge, format);
    // A bottom-up DIB holds the same picture with its rows reversed.
    std::uint8_t* flipped = nullptr;
    HBITMAP bottomUp = MakeBitmap(kWidth, kHeight, &flipped);
    ASSERT_NE(bottomUp, nullptr);
    SetBkMode(dc_, OPAQUE);
    FillBits(0);
    Draw("Hg", {0, 0, kWidth, kHeight}, 0);
    EXPECT_EQ(SelectObject(dc_, bottomUp), bitmap_);
    Draw("Hg", {0, 0, kWidth, kHeight}, 0);
    for (int y = 0; y < kHeight; ++y)
        ASSERT_EQ(std::memcmp(flipped + (kHeight - 1 - y) * kWidth * 4, Pixel(0, y), kWidth * 4), 0) << y;
    EXPECT_EQ(SelectObject(dc_, bitmap_), bottomUp);
    EXPECT_TRUE(DeleteObject(bottomUp));
}

TEST_F(GdiText, OddTextNeitherCrashesNorLeaks) {
    const std::size_t live = valmere::win32::LiveGdiObjectCount();
    FillBits(0);
    RECT rect{0, 0, kWidth, kHeight};
    EXPECT_EQ(DrawTextA(dc_, "Hello", 0, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(dc_, "", -1, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(dc_, "Hello", -2, &rect, 0), 0);
    EXPECT_EQ(Ink().left, kWidth);
    EXPECT_EQ(DrawTextA(dc_, "Hi", 1, &rect, DT_CALCRECT), 12);
    EXPECT_EQ(rect.right, Measure("H").right);
    for (const bool wide : {false, true}) {  // a count past the terminator stops there
        rect = {0, 0, kWidth, kHeight};
        EXPECT_EQ(wide ? DrawTextW(dc_, L"Hi", 1000, &rect, DT_CALCRECT) : DrawTextA(dc_, "Hi", 1000, &rect, DT_CALCRECT),
                  12);
        EXPECT_EQ(rect.right, Measure("Hi").right);
    }
    rect = {0, 0, kWidth, kHeight};
    EXPECT_EQ(DrawTextA(dc_, "\xff\xfe\xc3\x28\xe2\x82\xf0\x9f\x98", -1, &rect, 0), 12);
    EXPECT_EQ(DrawTextA(dc_, "\xe2\x82", 1, &rect, 0), 12);  // a sequence cut by the count
    EXPECT_EQ(DrawTextW(dc_, L"\x110000 \xd800", -1, &rect, 0), 12);
    const std::string longText(10000, 'W');
    EXPECT_EQ(DrawTextA(dc_, longText.c_str(), -1, &rect, DT_WORDBREAK), 12);
    EXPECT_EQ(DrawTextA(dc_, std::string(10000, '\n').c_str(), -1, &rect, 0), 12 * 10000);
    EXPECT_EQ(DrawTextA(nullptr, "Hi", -1, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(dc_, nullptr, -1, &rect, 0), 0);
    EXPECT_EQ(DrawTextA(dc_, "Hi", -1, nullptr, 0), 0);
    EXPECT_EQ(DrawTextW(reinterpret_cast<HDC>(font_), L"Hi", -1, &rect, 0), 0);
    EXPECT_EQ(valmere::win32::LiveGdiObjectCount(), live);
}

TEST_F(GdiText, WideAndNarrowTextDrawAlikeAndSteadyTextUsesTheGlyphCache) {
    FillBits(0);
    Draw("caf\xc3\xa9", {0, 0, kWidth, kHeight}, 0);
    std::vector<std::uint8_t> narrow(bits_, bits_ + kWidth * kHeight * 4);
    FillBits(0);
    RECT rect{0, 0, kWidth, kHeight};
    const std::size_t rasterised = valmere::win32::RasterisedGlyphCount();
    EXPECT_EQ(DrawTextW(dc_, L"caf\u00e9", -1, &rect, 0), 12);
    EXPECT_EQ(std::memcmp(narrow.data(), bits_, narrow.size()), 0);
    EXPECT_EQ(valmere::win32::RasterisedGlyphCount(), rasterised);
}

TEST_F(GdiText, ObjectsAreSelectedAndDeletedAsInGdi) {
    EXPECT_NE(stockBitmap_, nullptr);
    EXPECT_NE(stockFont_, nullptr);
    EXPECT_EQ(SelectObject(dc_, stockFont_), font_);
    EXPECT_EQ(SelectObject(dc_, font_), stockFont_);
    EXPECT_FALSE(DeleteObject(font_));  // selected
    EXPECT_FALSE(DeleteObject(bitmap_));
    EXPECT_TRUE(DeleteObject(stockFont_));  // stock objects are left alone
    EXPECT_TRUE(DeleteObject(GetStockObject(BLACK_BRUSH)));
    EXPECT_EQ(SelectObject(dc_, GetStockObject(BLACK_BRUSH)), nullptr);
    EXPECT_EQ(SelectObject(dc_, reinterpret_cast<HGDIOBJ>(0x1234)), nullptr);
    EXPECT_EQ(SelectObject(reinterpret_cast<HDC>(font_), font_), nullptr);
    EXPECT_FALSE(DeleteObject(dc_));
    EXPECT_FALSE(DeleteObject(nullptr));

    HDC other = CreateCompatibleDC(dc_);
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SelectObject(other, bitmap_), nullptr);  // a DIB section is in one DC at a time
    EXPECT_EQ(SelectObject(other, font_), stockFont_);  // a font may be in several
    EXPECT_TRUE(DeleteDC(other));
    EXPECT_FALSE(DeleteDC(other));
    EXPECT_EQ(CreateCompatibleDC(other), nullptr);

    HFONT spare = MakeFont("Arial", 12);
    EXPECT_TRUE(DeleteObject(spare));
    EXPECT_FALSE(DeleteObject(spare));  // a deleted handle stays dead
    EXPECT_EQ(SelectObject(dc_, spare), nullptr);

    EXPECT_EQ(SetBkMode(dc_, TRANSPARENT), OPAQUE);
    EXPECT_EQ(SetBkMode(dc_, 7), 0);
    EXPECT_EQ(SetBkMode(dc_, OPAQUE), TRANSPARENT);
    EXPECT_EQ(SetBkColor(dc_, 0x123456), 0x000000u);
    EXPECT_EQ(SetBkColor(dc_, 0), 0x123456u);
    EXPECT_EQ(SetTextColor(dc_, 0x00ABCDEF), 0xFFFFFFu);
    EXPECT_EQ(SetTextColor(dc_, 0xFFFFFF), 0x00ABCDEFu);
    EXPECT_EQ(SetBkColor(nullptr, 0), CLR_INVALID);
    EXPECT_EQ(SetTextColor(reinterpret_cast<HDC>(bitmap_), 0), CLR_INVALID);

    HDC fresh = CreateCompatibleDC(nullptr);  // GDI's defaults
    EXPECT_EQ(SetBkMode(fresh, OPAQUE), OPAQUE);
    EXPECT_EQ(SetBkColor(fresh, 0), 0xFFFFFFu);
    EXPECT_EQ(SetTextColor(fresh, 0), 0x000000u);
    RECT rect{0, 0, 100, 100};
    // The stock font has a 16-pixel cell; the stock bitmap takes no drawing.
    EXPECT_EQ(DrawTextA(fresh, "Hi", -1, &rect, 0), 16);
    EXPECT_TRUE(DeleteDC(fresh));
}

TEST_F(GdiText, InjectedFailuresCreateNothing) {
    const std::size_t live = valmere::win32::LiveGdiObjectCount();
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 8, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    for (const char* call : {"CreateFontIndirectA", "CreateCompatibleDC", "CreateDIBSection"}) {
        SCOPED_TRACE(call);
        host_->SetCallFails(call, true);
        void* bits = &info;
        HFONT font = MakeFont("Arial", 12);
        HDC dc = CreateCompatibleDC(nullptr);
        HBITMAP bitmap = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        EXPECT_EQ(std::string(call) == "CreateFontIndirectA", font == nullptr);
        EXPECT_EQ(std::string(call) == "CreateCompatibleDC", dc == nullptr);
        EXPECT_EQ(std::string(call) == "CreateDIBSection", bitmap == nullptr);
        EXPECT_EQ(bits == nullptr, bitmap == nullptr);
        EXPECT_EQ(valmere::win32::LiveGdiObjectCount(), live + 2);  // the two that did not fail
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
        if (bitmap) DeleteObject(bitmap);
        host_->SetCallFails(call, false);
    }
    EXPECT_EQ(valmere::win32::LiveGdiObjectCount(), live);
    // Bitmaps this DC cannot hold are refused.
    for (BITMAPINFOHEADER header : {BITMAPINFOHEADER{40, 8, 8, 1, 24, BI_RGB, 0, 0, 0, 0, 0},
                                    BITMAPINFOHEADER{40, 0, 8, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                                    BITMAPINFOHEADER{40, 8, 0, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                                    BITMAPINFOHEADER{40, 1 << 20, 1 << 20, 1, 32, BI_RGB, 0, 0, 0, 0, 0},
                                    BITMAPINFOHEADER{40, 8, 8, 1, 32, BI_BITFIELDS, 0, 0, 0, 0, 0}}) {
        info.bmiHeader = header;
        EXPECT_EQ(CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
    }
    EXPECT_EQ(CreateDIBSection(nullptr, nullptr, DIB_RGB_COLORS, nullptr, nullptr, 0), nullptr);
}

}  // namespace
