// DrawTextA and DrawTextW: lay the text out in the device context's font and
// draw its cached glyph coverage into the selected DIB section.
//
// Placement in whole pixels: each line's pen starts at its aligned x and
// moves by rounded advances; the baseline lies `ascent` rows below the
// line's top. A coverage c (0..255) mixes each channel as
// (under * (255 - c) + text * c + 127) / 255, so coverage 255 gives exactly
// the text colour and white on black gives grey levels. With OPAQUE the
// line's cells are first filled with the background colour. Every write is
// clipped to the bitmap, and to the rectangle unless DT_NOCLIP.
#include <algorithm>
#include <climits>
#include <cstring>
#include <cwchar>
#include <new>

#include "platform/win32/TextLayout.h"
#include "platform/win32/Utf8.h"

namespace valmere::win32 {
namespace {

struct Box {
    std::int64_t left, top, right, bottom;
    bool Empty() const { return left >= right || top >= bottom; }
};

Box Intersect(const Box& a, const Box& b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right), std::min(a.bottom, b.bottom)};
}

LONG ClampToLong(std::int64_t value) { return static_cast<LONG>(std::clamp<std::int64_t>(value, INT_MIN, INT_MAX)); }

struct Channels {
    std::uint8_t blue, green, red;
    explicit Channels(COLORREF color)
        : blue(static_cast<std::uint8_t>(color >> 16)),
          green(static_cast<std::uint8_t>(color >> 8)),
          red(static_cast<std::uint8_t>(color)) {}
};

std::uint8_t Mix(std::uint8_t under, std::uint8_t over, unsigned coverage) {
    return static_cast<std::uint8_t>((under * (255u - coverage) + over * coverage + 127u) / 255u);
}

void Fill(const BitmapObject& bitmap, const Box& box, Channels color) {
    if (box.Empty()) return;
    for (std::int64_t y = box.top; y < box.bottom; ++y) {
        std::uint8_t* pixel = bitmap.Row(static_cast<int>(y)) + box.left * 4;
        for (std::int64_t x = box.left; x < box.right; ++x, pixel += 4) {
            pixel[0] = color.blue;
            pixel[1] = color.green;
            pixel[2] = color.red;
            pixel[3] = 0;
        }
    }
}

void Blend(const BitmapObject& bitmap, const GlyphImage& glyph, std::int64_t left, std::int64_t top, const Box& clip,
           Channels color) {
    const Box box = Intersect(clip, {left, top, left + glyph.width, top + glyph.rows});
    if (box.Empty()) return;
    for (std::int64_t y = box.top; y < box.bottom; ++y) {
        const std::uint8_t* coverage = &glyph.coverage[(y - top) * glyph.width + (box.left - left)];
        std::uint8_t* pixel = bitmap.Row(static_cast<int>(y)) + box.left * 4;
        for (std::int64_t x = box.left; x < box.right; ++x, pixel += 4) {
            const unsigned c = *coverage++;
            if (c == 0) continue;
            pixel[0] = Mix(pixel[0], color.blue, c);
            pixel[1] = Mix(pixel[1], color.green, c);
            pixel[2] = Mix(pixel[2], color.red, c);
            pixel[3] = 0;
        }
    }
}

void DrawLine(const DeviceContext& context, const BitmapObject& bitmap, const FontObject& font,
              const TextSetter& setter, const TextLine& line, std::int64_t x, std::int64_t y, const Box& clip) {
    const ResolvedFont& metrics = font.font;
    const Channels text(context.textColor);
    if (context.backgroundMode == OPAQUE)
        Fill(bitmap, Intersect(clip, {x, y, x + line.width, y + metrics.ascent + metrics.descent}),
             Channels(context.backgroundColor));
    const std::int64_t baseline = y + metrics.ascent;
    std::int64_t pen = x;
    for (std::size_t i = line.begin; i < line.end; ++i) {
        const char32_t codePoint = context.codePoints[i];
        if (setter.ExpandsTab(codePoint)) {
            pen = x + setter.Step(pen - x, codePoint);
            continue;
        }
        const GlyphImage& glyph = FaceGlyph(setter.Face(), codePoint);
        Blend(bitmap, glyph, pen + glyph.left, baseline - glyph.top, clip, text);
        pen += glyph.advance;
    }
    if (font.description.lfUnderline) {
        const std::int64_t top = baseline + metrics.underlineTop;
        Fill(bitmap, Intersect(clip, {x, top, x + line.width, top + metrics.underlineRows}), text);
    }
    if (font.description.lfStrikeOut) {
        const std::int64_t top = baseline + metrics.strikeoutTop;
        Fill(bitmap, Intersect(clip, {x, top, x + line.width, top + metrics.strikeoutRows}), text);
    }
}

// The text is in context.codePoints. Returns the text height; with
// DT_SINGLELINE and DT_VCENTER or DT_BOTTOM, the offset from the rectangle's
// top to the bottom of the text, as GDI does.
int DrawCodePoints(DeviceContext& context, RECT& rect, UINT format) {
    const auto* font = LookUpGdiObjectAs<FontObject>(context.font);
    if (!font || !font->font.face) return 0;
    if (context.codePoints.empty()) {
        if (format & DT_CALCRECT) rect.right = rect.left, rect.bottom = rect.top;
        return 0;
    }
    const TextSetter setter(font->font, format);
    setter.BreakLines(context.codePoints, std::max<std::int64_t>(0, std::int64_t{rect.right} - rect.left),
                      context.lines);
    const std::int64_t lineHeight = font->font.ascent + font->font.descent;
    const std::int64_t height = lineHeight * static_cast<std::int64_t>(context.lines.size());
    if (format & DT_CALCRECT) {
        std::int64_t widest = 0;
        for (const TextLine& line : context.lines) widest = std::max(widest, line.width);
        rect.right = ClampToLong(std::int64_t{rect.left} + widest);
        rect.bottom = ClampToLong(std::int64_t{rect.top} + height);
        return ClampToLong(height);
    }
    std::int64_t top = rect.top;
    const bool placedVertically = (format & DT_SINGLELINE) && (format & (DT_VCENTER | DT_BOTTOM));
    if (placedVertically)
        top = (format & DT_BOTTOM) ? rect.bottom - lineHeight
                                   : (std::int64_t{rect.top} + rect.bottom - lineHeight) >> 1;
    const int result = ClampToLong(placedVertically ? top + height - rect.top : height);

    const auto* bitmap = LookUpGdiObjectAs<BitmapObject>(context.bitmap);
    if (!bitmap || !bitmap->bits) return result;  // the stock 1 x 1 monochrome bitmap takes no text
    Box clip{0, 0, bitmap->width, bitmap->height};
    if (!(format & DT_NOCLIP)) clip = Intersect(clip, {rect.left, rect.top, rect.right, rect.bottom});
    if (clip.Empty()) return result;
    for (std::size_t i = 0; i < context.lines.size(); ++i) {
        const TextLine& line = context.lines[i];
        std::int64_t x = rect.left;
        if (format & DT_RIGHT)
            x = rect.right - line.width;
        else if (format & DT_CENTER)
            x = (std::int64_t{rect.left} + rect.right - line.width) >> 1;
        DrawLine(context, *bitmap, *font, setter, line, x, top + lineHeight * static_cast<std::int64_t>(i), clip);
    }
    return result;
}

}  // namespace
}  // namespace valmere::win32

using namespace valmere::win32;

namespace {

// The code points, layout and glyph cache grow as text needs them; running
// out of memory makes the call draw nothing and answer 0, as a failed
// DrawText does, instead of throwing into the caller.
template <class Fill>
int DrawWith(DeviceContext& context, LPRECT rect, UINT format, Fill fill) {
    try {
        fill(context.codePoints);
        return DrawCodePoints(context, *rect, format);
    } catch (const std::bad_alloc&) {
        return 0;
    }
}

}  // namespace

int DrawTextA(HDC dc, LPCSTR text, int count, LPRECT rect, UINT format) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    if (!context || !text || !rect || count < -1) return 0;
    const std::size_t limit = count == -1 ? INT_MAX : static_cast<std::size_t>(count);
    const int bytes = static_cast<int>(strnlen(text, limit));
    const auto* data = reinterpret_cast<const unsigned char*>(text);
    return DrawWith(*context, rect, format, [&](auto& codePoints) {
        codePoints.clear();
        for (int i = 0; i < bytes;) codePoints.push_back(DecodeUtf8(data, bytes, i));
    });
}

int DrawTextW(HDC dc, LPCWSTR text, int count, LPRECT rect, UINT format) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    if (!context || !text || !rect || count < -1) return 0;
    const std::size_t length = wcsnlen(text, count == -1 ? INT_MAX : static_cast<std::size_t>(count));
    return DrawWith(*context, rect, format, [&](auto& codePoints) { codePoints.assign(text, text + length); });
}
