// Clipping of polygons in homogeneous clip space against the near and far
// planes and a guard band around the viewport (x and y are clipped only
// where a vertex lies far outside the viewport, which keeps the screen
// coordinates of the setup within its fixed-point range).
#pragma once

#include <cstdint>

#include "platform/d3d8/raster/PipelineTypes.h"
#include "platform/d3d8/D3D8Types.h"

namespace valmere::raster {

// Pixels the guard band reaches beyond each side of the viewport.
constexpr float kGuardBandPixels = 2048.0f;
// A triangle clipped by every plane has at most 3 + planes vertices.
constexpr int kMaxClipVertices = 12;

// Inside where a*x + b*y + c*z + d*w >= 0.
struct ClipPlane {
    float a, b, c, d;
};

struct ClipPlanes {
    ClipPlane planes[6];
    int count = 0;
};

// Clip-space vertices: near (z >= 0), far (z <= w) and the guard band.
// Pretransformed vertices (screen position times w): the guard band only.
ClipPlanes MakeClipPlanes(const D3DVIEWPORT8& viewport, bool pretransformed);

// Bit i set when the vertex is outside plane i.
std::uint32_t Outcode(const ClipPlanes& planes, const ClipVertex& v);

// Clips the convex polygon poly[0..count) against the planes in planeMask;
// the result replaces poly (room for kMaxClipVertices). Returns the new
// vertex count (below 3: nothing left).
int ClipPolygon(const ClipPlanes& planes, std::uint32_t planeMask, ClipVertex* poly, int count);

}  // namespace valmere::raster
