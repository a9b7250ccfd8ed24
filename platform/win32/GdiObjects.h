// GDI objects of the Win32 stand-in: fonts, DIB sections and memory device
// contexts. Handles are minted from a counter and looked up in one table, so
// a stale or made-up handle is refused and never dereferenced, and a deleted
// handle is never given out again. GDI objects are used from one thread.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/win32/FontFaces.h"
#include "platform/win32/Win32.h"

namespace valmere::win32 {

class GdiObject {
public:
    virtual ~GdiObject() = default;
    int selections = 0;  // device contexts that hold it; it cannot be deleted meanwhile
    bool stock = false;  // the defaults of a new device context: never deleted
};

class FontObject final : public GdiObject {
public:
    LOGFONTA description{};
    ResolvedFont font;
};

// A 32-bit DIB section: pixels blue, green, red, spare; pitch width * 4. The
// stock bitmap of a new device context (1 x 1 monochrome) has no bits.
class BitmapObject final : public GdiObject {
public:
    int width = 1;
    int height = 1;
    bool topDown = true;
    std::unique_ptr<std::uint8_t[]> bits;

    std::uint8_t* Row(int y) const {
        const int memoryRow = topDown ? y : height - 1 - y;
        return bits.get() + static_cast<std::ptrdiff_t>(memoryRow) * width * 4;
    }
};

struct TextLine {
    std::size_t begin = 0;  // code point range in DeviceContext::codePoints
    std::size_t end = 0;
    std::int64_t width = 0;
};

class DeviceContext final : public GdiObject {
public:
    HGDIOBJ bitmap = nullptr;
    HGDIOBJ font = nullptr;
    int backgroundMode = OPAQUE;
    COLORREF backgroundColor = 0xFFFFFF;
    COLORREF textColor = 0x000000;
    // Scratch of DrawText, kept so that steady text allocates nothing.
    std::vector<char32_t> codePoints;
    std::vector<TextLine> lines;
};

GdiObject* LookUpGdiObject(const void* handle);
template <typename T>
T* LookUpGdiObjectAs(const void* handle) {
    return dynamic_cast<T*>(LookUpGdiObject(handle));
}

// The face behind a font handle, or null (tests check it against FreeType).
const FontFace* FontFaceOf(HFONT font);
// Live GDI objects, stock ones included (tests check that nothing is left behind).
std::size_t LiveGdiObjectCount();

}  // namespace valmere::win32
