// Decoding of DXT1..DXT5 blocks (4x4 texels) to 0xAARRGGBB.
#pragma once

#include <cstdint>

#include "platform/d3d8/D3D8Types.h"

namespace valmere::raster {

// Bytes per 4x4 block: 8 for DXT1, 16 for DXT2..DXT5, 0 for other formats.
int DxtBlockBytes(D3DFORMAT format);

// Decodes one block into 16 texels in row order (texel (x, y) at out[y * 4 + x]).
// DXT2 and DXT4 hold premultiplied colour; it is returned as stored.
void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t out[16]);

}  // namespace valmere::raster
