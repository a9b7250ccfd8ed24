// Texture stage 0: the colour and alpha operations on diffuse, texture and
// texture factor, from a pixel's interpolated attributes.
#pragma once

#include "tests/support/reference/Rasterize.h"
#include "tests/support/reference/Snapshot.h"

namespace valmere::reference {

// Why the reference cannot follow stage 0 or the sampler as set, or empty.
std::string CheckStage(const StageState& stage);

// The exact colour the stage gives at the pixel, as channel intervals in
// 8-bit units.
ColorRange ShadePixel(const Snapshot& snapshot, const PixelSample& sample);

}  // namespace valmere::reference
