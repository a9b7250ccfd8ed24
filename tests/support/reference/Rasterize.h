// Coverage and interpolation of one screen polygon, pixel by pixel.
//
// Pixel centres lie at integer coordinates. Vertices are snapped to 1/16
// pixel (floor(16 x + 0.5) / 16); a pixel is covered when its centre lies
// inside a snapped triangle of the polygon's fan, or on a top edge
// (horizontal, interior below) or a left edge (interior to its right). The
// attributes divided by w, 1/w and the depth are linear in screen space
// through the snapped vertices, and every pixel divides at its own centre.
// A polygon with an uncertain vertex takes the allowances of Bound.h.
#pragma once

#include <functional>

#include "tests/support/reference/Geometry.h"
#include "tests/support/reference/Range.h"

namespace valmere::reference {

struct PixelSample {
    int x, y;
    // How often the polygon draws the pixel: `certainTimes` for sure, up to
    // `times` (1, but where a snapped fan folds or an edge is uncertain).
    int certainTimes, times;
    Range attribute[kAttributeCount];
    // Screen derivatives of u and v at the centre (normalised coordinates).
    double dudx, dudy, dvdx, dvdy;
    Range depth;         // exact depth value, 0..1 before clamping
    bool uncertain;      // the polygon has an uncertain vertex
};

// Calls `visit` for every pixel of [x0, x1) x [y0, y1) (the viewport), in
// the rows y with y % rowStep == rowPhase, that the polygon covers or may
// cover. `cullMode` tells whether a fan triangle
// that snapping turned round may be culled by the device.
void RasterizePolygon(const ScreenPolygon& polygon, DWORD cullMode, int x0, int y0, int x1, int y1, int rowStep,
                      int rowPhase, const std::function<void(const PixelSample&)>& visit);

}  // namespace valmere::reference
