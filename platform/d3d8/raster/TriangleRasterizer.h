// Triangle setup and scan conversion in screen space.
#pragma once

#include <cstdint>

#include "platform/d3d8/raster/PixelPipeline.h"

namespace valmere::raster {

// Vertex positions are snapped to 1/16 pixel. A pixel (x, y) is drawn when
// its centre (x, y) lies inside the triangle, or exactly on a top edge
// (horizontal, interior below) or a left edge (interior to its right).
constexpr int kSubpixelBits = 4;

// One edge a -> b of a triangle ordered so that its signed area is
// positive, in 1/16 pixels: E(p) = (bx - ax)(py - ay) - (by - ay)(px - ax)
// is positive inside.
struct Edge {
    std::int64_t dx, dy, ax, ay;
    std::int64_t bias;  // 0 for top and left edges, 1 otherwise

    // The constant part of E - bias on scanline Y (E = K - dy * px).
    std::int64_t K(std::int64_t Y) const { return dx * (Y - ay) + dy * ax - bias; }
};

// A triangle ready to be scanned: its edges, its rows and its planes.
struct TriangleSetup {
    Edge edges[3];
    int top = 0, bottom = 0, left = 0, right = 0;  // pixels it may cover, inclusive
    TriangleInterpolants planes;
};

// Sets the triangle up unless cullMode removes its screen winding
// (D3DCULL_CCW removes counter-clockwise triangles, D3DCULL_CW clockwise
// ones, as seen on the screen, y pointing down) or it covers no pixel of
// the pipeline's clip rectangle; false then.
bool SetupTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                   const ScreenVertex& c, TriangleSetup& out);

// Shades the triangle's pixels inside the rectangle (inclusive bounds, within
// the pipeline's clip rectangle).
void RasterizeRows(const PixelPipeline& pipeline, const TriangleSetup& setup, int top, int bottom, int left,
                   int right);

// SetupTriangle in two halves: PlaceTriangle does all but the planes (the
// bulk of the arithmetic) and gives the vertices in the order SetupPlanes
// takes them, which makes the planes later, perhaps on another thread.
bool PlaceTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                   const ScreenVertex& c, TriangleSetup& out, const ScreenVertex* ordered[3]);
void SetupPlanes(const PixelPipeline& pipeline, const ScreenVertex* const ordered[3], TriangleSetup& setup);

// Sets up and shades the whole triangle.
void RasterizeTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                       const ScreenVertex& c);

}  // namespace valmere::raster
