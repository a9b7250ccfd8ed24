// Clear and read-back of the colour and depth targets.
#include <algorithm>
#include <cstring>

#include "platform/d3d8/raster/ExpandRowAvx2.h"
#include "platform/d3d8/raster/Raster.h"
#include "platform/d3d8/raster/SimdKernels.h"
#include "platform/d3d8/raster/TargetFormats.h"

namespace valmere::raster {
namespace {

using PixelRect = ClearArea;

PixelRect Intersect(PixelRect a, PixelRect b) {
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

PixelRect ViewportRect(const D3DVIEWPORT8& vp) {
    // Widen to 64 bits first: X + Width may exceed what an int holds.
    const auto clampToInt = [](std::uint64_t v) { return static_cast<int>(std::min<std::uint64_t>(v, 1u << 30)); };
    return {clampToInt(vp.X), clampToInt(vp.Y), clampToInt(std::uint64_t{vp.X} + vp.Width),
            clampToInt(std::uint64_t{vp.Y} + vp.Height)};
}

template <typename T>
T* PixelRow(std::uint8_t* bits, int pitch, int y) {
    return reinterpret_cast<T*>(bits + static_cast<std::ptrdiff_t>(y) * pitch);
}

template <typename T>
void FillRect(std::uint8_t* bits, int pitch, PixelRect r, T value, T keepMask) {
    if (keepMask == 0) {
        const std::size_t count = static_cast<std::size_t>(r.right - r.left);
        const std::size_t rowBytes = count * sizeof(T);
        const int byte = static_cast<int>(value & 0xFF);
        T byteSpread;
        std::memset(&byteSpread, byte, sizeof byteSpread);
        if (byteSpread == value) {
            // Black, white and the far plane repeat one byte: memset writes
            // without reading a source row.
            for (int y = r.top; y < r.bottom; ++y) std::memset(PixelRow<T>(bits, pitch, y) + r.left, byte, rowBytes);
            return;
        }
        // The first row is filled, the others copied from it (memcpy moves
        // whole vector registers; the element loop of fill does not).
        T* first = PixelRow<T>(bits, pitch, r.top) + r.left;
        std::fill(first, first + count, value);
        for (int y = r.top + 1; y < r.bottom; ++y) std::memcpy(PixelRow<T>(bits, pitch, y) + r.left, first, rowBytes);
        return;
    }
    for (int y = r.top; y < r.bottom; ++y) {
        T* row = PixelRow<T>(bits, pitch, y);
        for (int x = r.left; x < r.right; ++x) row[x] = static_cast<T>((row[x] & keepMask) | value);
    }
}

void ClearColor(const ColorTarget& color, PixelRect r, D3DCOLOR value) {
    switch (color.format) {
    case D3DFMT_R5G6B5: FillRect<std::uint16_t>(color.bits, color.pitch, r, PackR5G6B5(value), 0); break;
    case D3DFMT_X8R8G8B8: FillRect<std::uint32_t>(color.bits, color.pitch, r, value & 0x00FFFFFFu, 0); break;
    case D3DFMT_A8R8G8B8: FillRect<std::uint32_t>(color.bits, color.pitch, r, value, 0); break;
    default: break;
    }
}

// Clears depth and/or stencil fields; the field not cleared is kept.
void ClearDepth(const DepthTarget& depth, PixelRect r, bool clearZ, float z, bool clearStencil, DWORD stencil) {
    const DepthLayout layout = GetDepthLayout(depth.format);
    if (layout.bytes == 0) return;
    const std::uint32_t depthMask = layout.maxValue << layout.shift;
    std::uint32_t value = 0, keep = 0;
    if (clearZ) {
        value |= EncodeDepth(z, layout.maxValue) << layout.shift;
    } else {
        keep |= depthMask;
    }
    if (clearStencil) {
        value |= stencil & layout.stencilMask;
    } else {
        keep |= layout.stencilMask;
    }
    if (layout.bytes == 2) {
        FillRect<std::uint16_t>(depth.bits, depth.pitch, r, static_cast<std::uint16_t>(value),
                                static_cast<std::uint16_t>(keep));
    } else {
        FillRect<std::uint32_t>(depth.bits, depth.pitch, r, value, keep);
    }
}

}  // namespace

ClearArea ClearRectangle(const D3DVIEWPORT8& viewport, const D3DRECT* rect) {
    const PixelRect view = ViewportRect(viewport);
    if (rect == nullptr) return view;
    return Intersect(view, {static_cast<int>(std::clamp<LONG>(rect->x1, 0, 1 << 30)),
                            static_cast<int>(std::clamp<LONG>(rect->y1, 0, 1 << 30)),
                            static_cast<int>(std::clamp<LONG>(rect->x2, 0, 1 << 30)),
                            static_cast<int>(std::clamp<LONG>(rect->y2, 0, 1 << 30))});
}

void Clear(const D3DVIEWPORT8& viewport, DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colorValue,
           float z, DWORD stencil, const ColorTarget& color, const DepthTarget& depth) {
    const DWORD rectCount = (count == 0 || rects == nullptr) ? 1 : count;
    for (DWORD i = 0; i < rectCount; ++i) {
        const PixelRect area = ClearRectangle(viewport, count != 0 && rects != nullptr ? &rects[i] : nullptr);
        if ((flags & D3DCLEAR_TARGET) && color.bits != nullptr) {
            const PixelRect r = Intersect(area, {0, 0, color.width, color.height});
            if (!r.Empty()) ClearColor(color, r, colorValue);
        }
        if ((flags & (D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL)) && depth.bits != nullptr) {
            const PixelRect r = Intersect(area, {0, 0, depth.width, depth.height});
            if (!r.Empty()) {
                ClearDepth(depth, r, (flags & D3DCLEAR_ZBUFFER) != 0, z, (flags & D3DCLEAR_STENCIL) != 0, stencil);
            }
        }
    }
}

void ReadColorTarget(const ColorTarget& color, std::uint32_t* pixels) {
    const int w = std::max(color.width, 0), h = std::max(color.height, 0);
    const bool known = color.format == D3DFMT_R5G6B5 || color.format == D3DFMT_X8R8G8B8 ||
                       color.format == D3DFMT_A8R8G8B8;
    if (color.bits == nullptr || !known) {
        std::fill_n(pixels, static_cast<std::size_t>(w) * static_cast<std::size_t>(h), 0u);
        return;
    }
    for (int y = 0; y < h; ++y) {
        const std::uint8_t* row = color.bits + static_cast<std::ptrdiff_t>(y) * color.pitch;
        std::uint32_t* out = pixels + static_cast<std::size_t>(y) * static_cast<std::size_t>(w);
        if (color.format == D3DFMT_R5G6B5) {
            const auto* packed = reinterpret_cast<const std::uint16_t*>(row);
            const int done = UseAvx2Kernels() ? ExpandRowR5G6B5Avx2(packed, w, out) : 0;
            ExpandRowR5G6B5(packed + done, w - done, out + done);
        } else {
            const auto* source = reinterpret_cast<const std::uint32_t*>(row);
            for (int x = 0; x < w; ++x) out[x] = source[x] & 0x00FFFFFFu;
        }
    }
}

}  // namespace valmere::raster
