#pragma once

#include "texture/codec/PixelCodec.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace valmere::test {

// A w x h x d image of `bytesPerPixel` (or, for DXT, bytes per block with
// w and h counted in pixels) with guard bytes after it.
struct Surface {
    Surface(D3DFORMAT format, UINT width, UINT height, UINT bytesPerPixel, UINT depth = 1, bool blocks = false)
        : width(width), height(height), depth(depth) {
        const UINT across = blocks ? (width + 3) / 4 : width;
        const UINT down = blocks ? (height + 3) / 4 : height;
        pitch = across * bytesPerPixel;
        slicePitch = pitch * down;
        bytes.assign(static_cast<size_t>(slicePitch) * depth + kGuard, 0);
        for (UINT i = 0; i < kGuard; ++i) bytes[bytes.size() - 1 - i] = 0xA5;
        locked.pixels = bytes.data();
        locked.format = format;
        locked.rowPitch = static_cast<INT>(pitch);
        locked.slicePitch = static_cast<INT>(slicePitch);
        locked.extent = D3DBOX{0, 0, width, height, 0, depth};
        locked.region = locked.extent;
    }

    bool GuardIntact() const {
        for (UINT i = 0; i < kGuard; ++i) {
            if (bytes[bytes.size() - 1 - i] != 0xA5) return false;
        }
        return true;
    }

    std::uint32_t Word(UINT x, UINT y, UINT bytesPerPixel) const {
        std::uint32_t w = 0;
        std::memcpy(&w, bytes.data() + y * pitch + x * bytesPerPixel, bytesPerPixel);
        return w;
    }

    static constexpr UINT kGuard = 16;
    UINT width, height, depth, pitch, slicePitch;
    std::vector<std::uint8_t> bytes;
    LockedPixels locked;
};

inline std::vector<D3DXCOLOR> Row(UINT n, D3DXCOLOR c) { return std::vector<D3DXCOLOR>(n, c); }

}  // namespace valmere::test
