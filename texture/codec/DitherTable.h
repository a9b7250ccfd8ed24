// Bias added before truncation when encoding: the 4x4 ordered dither matrix
// (values in 1/32) or a flat 0.5 (round to nearest).
//
// Each row holds its four values twice, so pixel (x, y, z) reads
// row[y & 3][(z & 3) + (x & 3)] without wrapping: the pattern moves one column
// per depth slice.
#pragma once

namespace valmere {

using DitherRows = float[4][8];

extern const DitherRows OrderedDitherMatrix;
extern const DitherRows NoDitherMatrix;

}  // namespace valmere
