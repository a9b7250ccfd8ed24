// From the vertices of a draw to screen-space polygons: fetch by FVF,
// transform by world, view and projection in double precision, clip in
// homogeneous space, map through the viewport. Lighting is not modelled:
// untransformed vertices must be drawn with D3DRS_LIGHTING off (as the
// viewer draws), and their colour is the vertex diffuse or opaque white.
#pragma once

#include <string>
#include <vector>

#include "tests/support/reference/Snapshot.h"

namespace valmere::reference {

// Interpolated attributes, in this order: u and v of texture set 0, then the
// diffuse alpha, red, green and blue in 8-bit units.
constexpr int kAttributeCount = 6;
enum Attribute { kU, kV, kAlpha, kRed, kGreen, kBlue };

struct ScreenVertex {
    double x = 0, y = 0;   // pixels, unsnapped
    double depth = 0;      // the depth value, 0..1, linear in screen space
    double rhw = 0;        // 1 / w, linear in screen space
    double attribute[kAttributeCount] = {};
    bool uncertain = false;  // made by clipping, or its 1/16 snap could go either way
};

// One triangle of the draw after clipping: a convex polygon in the
// triangle's own vertex order (fanned from its first vertex), and whether the
// triangle was cut.
struct ScreenPolygon {
    std::vector<ScreenVertex> vertices;
    bool clipped = false;
};

// The triangles of a draw in drawing order, culled by D3DRS_CULLMODE on the
// winding of their unsnapped screen positions. `stride` bytes per vertex,
// `vertexCount` vertices at `data`. Returns an empty string or the reason
// the reference cannot follow the draw.
std::string BuildPolygons(const Snapshot& snapshot, D3DPRIMITIVETYPE type, UINT primitiveCount, const void* data,
                          UINT stride, UINT vertexCount, std::vector<ScreenPolygon>& polygons);

}  // namespace valmere::reference
