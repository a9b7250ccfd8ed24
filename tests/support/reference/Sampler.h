// Texture sampling as intervals: the colours that point, bilinear and mip
// sampling can give for every sample position in a box and every level of
// detail in an interval.
#pragma once

#include "tests/support/reference/Range.h"
#include "tests/support/reference/Snapshot.h"

namespace valmere::reference {

// u and v are normalised coordinates (1 spans the texture); lod is in levels
// of level 0, bias included. The box is widened by kTexelAllowance texels of
// each level sampled. An empty stage (no texture) reads opaque white.
ColorRange SampleTexture(const StageState& stage, const Range& u, const Range& v, const Range& lod);

}  // namespace valmere::reference
