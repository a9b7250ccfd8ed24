// Creation, selection and deletion of the GDI objects, and the colours and
// background mode of a device context.
#include "platform/win32/GdiObjects.h"

#include <limits>
#include <map>
#include <new>
#include <utility>

#include "platform/host/Host.h"

namespace valmere::win32 {
namespace {

struct GdiTable {
    std::uintptr_t nextHandle = 0x6D10;  // counts up in steps of 4, like GDI handle values
    std::map<std::uintptr_t, std::unique_ptr<GdiObject>> objects;
};

GdiTable& Table() {
    static GdiTable table;
    return table;
}

HGDIOBJ Register(std::unique_ptr<GdiObject> object) {
    GdiTable& table = Table();
    const std::uintptr_t handle = table.nextHandle;
    table.nextHandle += 4;
    table.objects.emplace(handle, std::move(object));
    return reinterpret_cast<HGDIOBJ>(handle);
}

// The font of a new device context: the default sans face with a 16-pixel
// cell (GDI's system font is 16 pixels high as well).
HGDIOBJ DefaultFont() {
    static const HGDIOBJ font = [] {
        auto object = std::make_unique<FontObject>();
        object->stock = true;
        object->description.lfWeight = FW_NORMAL;
        ResolveFont(object->description, object->font);  // without any face, text measures as nothing
        return Register(std::move(object));
    }();
    return font;
}

HGDIOBJ DefaultBitmap() {
    static const HGDIOBJ bitmap = [] {
        auto object = std::make_unique<BitmapObject>();
        object->stock = true;
        return Register(std::move(object));
    }();
    return bitmap;
}

bool IsSystemStockObject(HGDIOBJ object) {
    for (int i = 0; i < 8; ++i)
        if (GetStockObject(i) == object) return true;
    return false;
}

// Swaps the object in a device context slot, keeping the selection counts.
HGDIOBJ Swap(HGDIOBJ& slot, HGDIOBJ object, GdiObject& incoming) {
    const HGDIOBJ previous = std::exchange(slot, object);
    if (previous == object) return previous;
    ++incoming.selections;
    if (GdiObject* old = LookUpGdiObject(previous)) --old->selections;
    return previous;
}

constexpr std::int64_t kLargestBitmapBytes = std::int64_t{1} << 30;

}  // namespace

GdiObject* LookUpGdiObject(const void* handle) {
    const auto found = Table().objects.find(reinterpret_cast<std::uintptr_t>(handle));
    return found == Table().objects.end() ? nullptr : found->second.get();
}

const FontFace* FontFaceOf(HFONT font) {
    const auto* object = LookUpGdiObjectAs<FontObject>(font);
    return object ? object->font.face.get() : nullptr;
}

std::size_t LiveGdiObjectCount() { return Table().objects.size(); }

}  // namespace valmere::win32

using namespace valmere::win32;

HFONT CreateFontIndirectA(const LOGFONTA* logFont) {
    if (!logFont || valmere::host::CurrentHost().ShouldFail("CreateFontIndirectA")) return nullptr;
    // Running out of memory answers null, as GDI does: nothing is thrown to the caller.
    try {
        auto object = std::make_unique<FontObject>();
        object->description = *logFont;
        if (!ResolveFont(object->description, object->font)) return nullptr;
        return static_cast<HFONT>(Register(std::move(object)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HDC CreateCompatibleDC(HDC dc) {
    if ((dc && !LookUpGdiObjectAs<DeviceContext>(dc)) || valmere::host::CurrentHost().ShouldFail("CreateCompatibleDC"))
        return nullptr;
    try {
        auto object = std::make_unique<DeviceContext>();
        object->bitmap = DefaultBitmap();
        object->font = DefaultFont();
        ++LookUpGdiObject(object->bitmap)->selections;
        ++LookUpGdiObject(object->font)->selections;
        return static_cast<HDC>(Register(std::move(object)));
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HBITMAP CreateDIBSection(HDC /*dc*/, const BITMAPINFO* info, UINT usage, void** bits, HANDLE section,
                         DWORD /*offset*/) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS || section) return nullptr;
    const BITMAPINFOHEADER& header = info->bmiHeader;
    const std::int64_t rows = header.biHeight < 0 ? -std::int64_t{header.biHeight} : header.biHeight;
    if (header.biSize < sizeof(BITMAPINFOHEADER) || header.biPlanes != 1 || header.biBitCount != 32 ||
        header.biCompression != BI_RGB || header.biWidth <= 0 || rows == 0 ||
        std::int64_t{header.biWidth} * 4 * rows > kLargestBitmapBytes)
        return nullptr;
    if (valmere::host::CurrentHost().ShouldFail("CreateDIBSection")) return nullptr;
    try {
        auto object = std::make_unique<BitmapObject>();
        object->width = header.biWidth;
        object->height = static_cast<int>(rows);
        object->topDown = header.biHeight < 0;
        object->bits = std::make_unique<std::uint8_t[]>(static_cast<std::size_t>(header.biWidth) * 4 * rows);
        std::uint8_t* const pixels = object->bits.get();
        const HGDIOBJ handle = Register(std::move(object));
        if (bits) *bits = pixels;
        return static_cast<HBITMAP>(handle);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    GdiObject* incoming = LookUpGdiObject(object);
    if (!context || !incoming) return nullptr;
    if (dynamic_cast<FontObject*>(incoming)) return Swap(context->font, object, *incoming);
    if (dynamic_cast<BitmapObject*>(incoming)) {
        // A DIB section is in at most one device context at a time.
        if (!incoming->stock && incoming->selections > 0 && context->bitmap != object) return nullptr;
        return Swap(context->bitmap, object, *incoming);
    }
    return nullptr;
}

BOOL DeleteObject(HGDIOBJ object) {
    if (IsSystemStockObject(object)) return TRUE;
    GdiObject* found = LookUpGdiObject(object);
    if (!found || dynamic_cast<DeviceContext*>(found)) return FALSE;
    if (found->stock) return TRUE;
    if (found->selections > 0) return FALSE;  // still selected into a device context
    Table().objects.erase(reinterpret_cast<std::uintptr_t>(object));
    return TRUE;
}

BOOL DeleteDC(HDC dc) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    if (!context) return FALSE;
    for (HGDIOBJ held : {context->bitmap, context->font})
        if (GdiObject* object = LookUpGdiObject(held)) --object->selections;
    Table().objects.erase(reinterpret_cast<std::uintptr_t>(dc));
    return TRUE;
}

int SetBkMode(HDC dc, int mode) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    if (!context || (mode != OPAQUE && mode != TRANSPARENT)) return 0;
    return std::exchange(context->backgroundMode, mode);
}

COLORREF SetBkColor(HDC dc, COLORREF color) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    return context ? std::exchange(context->backgroundColor, color) : CLR_INVALID;
}

COLORREF SetTextColor(HDC dc, COLORREF color) {
    auto* context = LookUpGdiObjectAs<DeviceContext>(dc);
    return context ? std::exchange(context->textColor, color) : CLR_INVALID;
}
