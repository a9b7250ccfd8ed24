// Triangle setup and scan conversion in screen space.
#pragma once

#include "platform/d3d8/raster/PixelPipeline.h"

namespace valmere::raster {

// Vertex positions are snapped to 1/16 pixel. A pixel (x, y) is drawn when
// its centre (x, y) lies inside the triangle, or exactly on a top edge
// (horizontal, interior below) or a left edge (interior to its right).
constexpr int kSubpixelBits = 4;

// Draws the triangle unless cullMode removes its screen winding:
// D3DCULL_CCW removes counter-clockwise triangles, D3DCULL_CW clockwise
// ones (as seen on the screen, y pointing down).
void RasterizeTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                       const ScreenVertex& c);

}  // namespace valmere::raster
