// Alpha scaled to keep an alpha test's coverage from level to level: a
// cut-out's mips otherwise thin out (the mean of a few opaque and many
// clear pixels falls below the test's reference).
#pragma once

#include "texture/ValmereTexture.h"

namespace valmere {

// Scales the alpha of `image` (clamped to 1) so that the share of pixels
// with alpha >= reference comes as near `coverage` as its alphas allow: the
// scale takes the pixel of rank round(coverage x pixels) (largest alpha
// first) to the reference exactly. Pixels of equal alpha pass or fail
// together, so ties may keep more. Throws std::bad_alloc.
void ScaleAlphaToCoverage(ColorImage& image, float reference, float coverage);

}  // namespace valmere
