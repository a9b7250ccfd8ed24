// The smallest addressable unit of a format's memory: one pixel for most
// formats, a pair of pixels for YUY2 and UYVY (they share chroma), a 4x4
// block for DXT1 to DXT5. Locks align to groups; raw copies move whole groups.
#pragma once

#include "platform/d3d8/D3D8Types.h"

namespace valmere {

struct PixelGroup {
    UINT width;   // pixels across
    UINT height;  // pixel rows
    UINT bytes;   // bytes of one group; 0 for a format without a memory layout
    bool IsBlock() const { return height > 1; }
};

PixelGroup PixelGroupOf(D3DFORMAT format);

bool IsPalettized(D3DFORMAT format);

// `value` rounded down / up to a multiple of `step` (up: clamped to `limit`).
inline UINT AlignDown(UINT value, UINT step) { return value - value % step; }
inline UINT AlignUp(UINT value, UINT step, UINT limit) {
    const UINT up = value % step == 0 ? value : value + (step - value % step);
    return up > limit || up < value ? limit : up;
}

}  // namespace valmere
