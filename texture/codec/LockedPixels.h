// Descriptor of a locked pixel region, filled by the surface and volume locks
// and by the image readers, and handed to CreatePixelCodec.
#pragma once

#include "platform/d3d8/D3D8Types.h"

namespace valmere {

struct LockedPixels {
    void* pixels = nullptr;       // first byte of the locked memory
    D3DFORMAT format = D3DFMT_UNKNOWN;
    INT rowPitch = 0;             // bytes per row (DXT: per row of 4x4 blocks)
    INT slicePitch = 0;           // bytes per depth slice; 0 for a surface
    D3DBOX extent = {};           // whole image: (0, 0, width, height, 0, depth)
    D3DBOX region = {};           // pixels read or written; right, bottom and back exclusive
    BOOL dither = FALSE;          // nonzero: the encoder applies ordered dithering
    D3DCOLOR colorKey = 0;        // 0xAARRGGBB; 0 means no colour key
    const PALETTEENTRY* palette = nullptr;  // 256 entries, or null
};

}  // namespace valmere
