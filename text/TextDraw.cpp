// CTextRenderer::DrawText: measure the string with GDI, place its extent in
// the caller's rectangle, render it white on black into the top-left corner
// of the shared bitmap, then hand that area to the tiles.
//
// Only the text's own textWidth x textHeight corner of the bitmap is cleared
// and uploaded, and the bitmap only grows, so steady text allocates nothing.
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <memory>
#include <new>

#include "text/TextRenderer.h"

namespace valmere::text {
namespace {

// Above this many bytes a bitmap is not attempted: the call draws nothing.
constexpr std::int64_t kMaxBitmapBytes = std::int64_t{1} << 30;

// Narrow copy of wide text for systems whose GDI draws narrow text only.
struct NarrowCopy {
    std::unique_ptr<char[]> bytes;
    int length = 0;
};

bool ConvertToNarrow(const wchar_t* text, int count, NarrowCopy& copy) {
    // A count past the terminator stops there, as DrawTextW does.
    if (count > 0) count = static_cast<int>(wcsnlen(text, static_cast<std::size_t>(count)));
    const int needed = WideCharToMultiByte(CP_ACP, 0, text, count, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return false;
    copy.bytes.reset(new (std::nothrow) char[static_cast<std::size_t>(needed)]);
    if (!copy.bytes) return false;
    copy.length = WideCharToMultiByte(CP_ACP, 0, text, count, copy.bytes.get(), needed, nullptr, nullptr);
    // A terminator counted in the length is not drawn.
    if (count < 0 && copy.length > 0 && copy.bytes[static_cast<std::size_t>(copy.length - 1)] == '\0') --copy.length;
    return copy.length > 0;
}

bool IsNtPlatform() {
    OSVERSIONINFOA version{};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

int GdiDrawText(HDC dc, const void* text, int count, RECT* rect, UINT format, bool wide) {
    return wide ? ::DrawTextW(dc, static_cast<const wchar_t*>(text), count, rect, format)
                : ::DrawTextA(dc, static_cast<const char*>(text), count, rect, format);
}

// The one coordinate of the text's placement: at the start, at the end, or
// centred (rounding down) between them.
LONG Place(LONG start, LONG end, LONG extent, bool atEnd, bool centred) {
    std::int64_t position = start;
    if (atEnd)
        position = std::int64_t{end} - extent;
    else if (centred)
        position = (std::int64_t{start} + end - extent) >> 1;
    return static_cast<LONG>(std::clamp<std::int64_t>(position, INT32_MIN, INT32_MAX));
}

}  // namespace

bool CTextRenderer::FitBitmap(LONG width, LONG height) {
    std::int64_t newWidth = bitmapInfo_.biWidth, newHeight = bitmapInfo_.biHeight;
    if (width <= newWidth && height <= newHeight) return true;
    while (newWidth < width) newWidth += std::max<std::int64_t>(newWidth / 2, 1);
    while (newHeight < height) newHeight += std::max<std::int64_t>(newHeight / 2, 1);
    if (newWidth * newHeight * 4 > kMaxBitmapBytes) return false;
    return SUCCEEDED(ReplaceBitmap(static_cast<LONG>(newWidth), static_cast<LONG>(newHeight)));
}

int CTextRenderer::DrawText(HFONT font, const void* text, int count, RECT* rect, DWORD format, D3DCOLOR color,
                            bool wide) {
    if (text == nullptr || rect == nullptr) return 0;
    const LONG boxWidth = static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rect->right} - rect->left, 0, INT32_MAX));
    const LONG boxHeight = static_cast<LONG>(std::clamp<std::int64_t>(std::int64_t{rect->bottom} - rect->top, 0, INT32_MAX));

    NarrowCopy narrow;
    if (wide && !IsNtPlatform()) {
        if (!ConvertToNarrow(static_cast<const wchar_t*>(text), count, narrow)) return 0;
        text = narrow.bytes.get();
        count = narrow.length;
        wide = false;
    }

    const HGDIOBJ replaced = SelectObject(dc_, font);
    if (originalFont_ == nullptr) originalFont_ = replaced;

    RECT measured{0, 0, boxWidth, boxHeight};
    const int measuredHeight = GdiDrawText(dc_, text, count, &measured, format | DT_CALCRECT, wide);
    LONG textWidth = std::max<LONG>(measured.right - measured.left, 0);
    LONG textHeight = std::max<LONG>(measured.bottom - measured.top, 0);
    const bool calcRect = (format & DT_CALCRECT) != 0;
    if (!calcRect && (format & DT_NOCLIP) == 0) {
        textWidth = std::min(textWidth, boxWidth);
        textHeight = std::min(textHeight, boxHeight);
    }
    const LONG x = Place(rect->left, rect->right, textWidth, (format & DT_RIGHT) != 0, (format & DT_CENTER) != 0);
    const LONG y = Place(rect->top, rect->bottom, textHeight, (format & DT_BOTTOM) != 0, (format & DT_VCENTER) != 0);
    if (calcRect) {
        *rect = RECT{x, y, static_cast<LONG>(std::int64_t{x} + textWidth), static_cast<LONG>(std::int64_t{y} + textHeight)};
        return measuredHeight;
    }

    if (!FitBitmap(textWidth, textHeight)) return 0;
    const std::size_t pitch = static_cast<std::size_t>(bitmapInfo_.biWidth) * 4;
    for (LONG row = 0; row < textHeight; ++row)
        std::memset(bits_ + static_cast<std::size_t>(row) * pitch, 0, static_cast<std::size_t>(textWidth) * 4);
    RECT drawing{0, 0, textWidth, textHeight};
    const int height = GdiDrawText(dc_, text, count, &drawing, format, wide);

    // Tiles of other formats go through the surface loader: give it the
    // coverage as alpha under white.
    if (tileFormat_ != D3DFMT_A8R8G8B8)
        for (LONG row = 0; row < textHeight; ++row) {
            auto* pixels = reinterpret_cast<std::uint32_t*>(bits_ + static_cast<std::size_t>(row) * pitch);
            for (LONG column = 0; column < textWidth; ++column) pixels[column] = pixels[column] << 24 | 0x00FFFFFFu;
        }

    const bool implicitBegin = !inBegin_;
    if (implicitBegin) Begin();
    DrawTiles(x, y, textWidth, textHeight, color);
    if (implicitBegin) End();
    return height;
}

}  // namespace valmere::text
