#include "bench/frame/OverlayText.h"

#include <algorithm>

#include "app/OverlayFont.h"
#include "app/Globals.h"
#include "text/D3DXText.h"

namespace valmere::bench {
namespace {

// The description the viewer made its overlay font from; before the viewer
// has a font, 12-pixel Arial of normal weight, as it draws its overlay.
LOGFONTA OverlayFont() {
    LOGFONTA font{};
    if (g_font && SUCCEEDED(g_font->GetLogFont(&font))) return font;
    return OverlayFontDescription();
}

// Placement along one axis: the far edge, the middle (halved by an
// arithmetic shift, rounding down) or the near edge.
LONG Place(LONG nearEdge, LONG farEdge, LONG extent, bool atFar, bool centred) {
    if (atFar) return farEdge - extent;
    if (centred) return (nearEdge + farEdge - extent) >> 1;
    return nearEdge;
}

}  // namespace

OverlayCoverage RenderOverlayLine(const OverlayLine& line) {
    OverlayCoverage coverage;
    const LOGFONTA description = OverlayFont();
    HFONT font = CreateFontIndirectA(&description);
    HDC dc = CreateCompatibleDC(nullptr);
    if (!font || !dc) {
        if (font) DeleteObject(font);
        if (dc) DeleteDC(dc);
        return coverage;
    }
    HGDIOBJ originalFont = SelectObject(dc, font);
    const LONG boxWidth = line.rect.right - line.rect.left, boxHeight = line.rect.bottom - line.rect.top;
    RECT measured{0, 0, boxWidth, boxHeight};
    DrawTextA(dc, line.text, -1, &measured, line.format | DT_CALCRECT);
    LONG width = measured.right - measured.left, height = measured.bottom - measured.top;
    if ((line.format & DT_NOCLIP) == 0) {
        width = std::min(width, boxWidth);
        height = std::min(height, boxHeight);
    }
    const LONG x = Place(line.rect.left, line.rect.right, width, line.format & DT_RIGHT, line.format & DT_CENTER);
    const LONG y = Place(line.rect.top, line.rect.bottom, height, line.format & DT_BOTTOM, line.format & DT_VCENTER);

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = std::max<LONG>(width, 1);
    info.bmiHeader.biHeight = -std::max<LONG>(height, 1);  // rows top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ originalBitmap = bitmap ? SelectObject(dc, bitmap) : nullptr;
    if (bits && width > 0 && height > 0) {
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, 0x000000);
        SetTextColor(dc, 0xFFFFFF);
        RECT box{0, 0, width, height};
        DrawTextA(dc, line.text, -1, &box, line.format);
        coverage.placed = {x, y, x + width, y + height};
        coverage.width = static_cast<int>(width);
        coverage.height = static_cast<int>(height);
        coverage.alpha.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
        // White on black: the blue byte of each BGRX pixel is the coverage.
        const auto* pixels = static_cast<const std::uint8_t*>(bits);
        for (std::size_t i = 0; i < coverage.alpha.size(); ++i) coverage.alpha[i] = pixels[4 * i];
    }
    if (originalBitmap) SelectObject(dc, originalBitmap);
    SelectObject(dc, originalFont);
    DeleteDC(dc);
    if (bitmap) DeleteObject(bitmap);
    DeleteObject(font);
    return coverage;
}

}  // namespace valmere::bench
