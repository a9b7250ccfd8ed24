// Helpers of the load tests: small bitmap files built in memory, and any
// surface read back as 8-bit ARGB through the pixel codecs.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/d3d8/Direct3D8.h"

namespace valmere::test {

using Bytes = std::vector<BYTE>;
using PixelFunction = std::function<std::uint32_t(UINT x, UINT y)>;

// A bottom-up 24-bit BMP file; `rgb` gives 0x00RRGGBB of pixel (x, y).
Bytes Bmp24(UINT width, UINT height, const PixelFunction& rgb);
// An 8-bit BMP file with a 256-entry palette of 0xAARRGGBB values (the alpha
// byte becomes the entry's reserved byte); `index` gives each pixel's entry.
Bytes Bmp8(UINT width, UINT height, const std::vector<std::uint32_t>& palette, const PixelFunction& index);

// The pixels of a lockable surface (or of a copy of any surface, made with
// CopyRects) as 0xAARRGGBB, row by row.
std::vector<std::uint32_t> ReadSurface(IDirect3DSurface8* surface);
std::vector<std::uint32_t> ReadLevel(IDirect3DTexture8* texture, UINT level);

}  // namespace valmere::test
