// The 5:6:5 colour half shared by all DXT formats: endpoint conversions,
// weighting, the endpoint fit and the colour block decoder. The encoder
// works on four blocks at a time (BlockLanes.h, ColorIndexSearch.h).
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/BlockLanes.h"

#include <cstdint>

namespace valmere {

// The fit measures distance in weighted colour: red and blue count by their
// share of luminance relative to green (0.2125/0.7154, 0.0721/0.7154). The
// fourth lane is unused (0).
constexpr Float4 kChannelWeights = {0.29703665f, 1.0f, 0.10078278f, 0.0f};
constexpr Float4 kInverseWeights = {3.366588f, 1.0f, 9.92233f, 0.0f};

// c0 + (c1 - c0) * t for the interpolated palette entries.
constexpr float kOneThird = 0.33333334f;
constexpr float kTwoThirds = 0.6666667f;

// 5:6:5 codes of four blocks to colours, each field times the float
// reciprocal of its largest code, then weighted by kChannelWeights.
RgbLanes WeightedFromRgb565(Int4 codes);

// Weighted colours of four blocks (each channel clamped to 0..1 once
// unweighted) to the nearest 5:6:5 codes.
Int4 WeightedToRgb565(const RgbLanes& weighted);

// Least-squares endpoints A and B (weighted colours) of four blocks for their
// 16 weighted colours each, with a palette of 3 entries in the blocks of
// `three` and 4 in the others.
void FitColorEndpoints(const RgbLanes* colors, Int4 three, RgbLanes& a, RgbLanes& b);

// Decodes the 8-byte colour block of DXT1 into 16 pixels.
void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block);

// The colour half of DXT2 to DXT5, always in four-colour mode, with the
// alpha of pixel i replaced by alphaEntries[index], index
// in bits kIndexBits * i and up of `alphaIndices`; the entries are
// (0, 0, 0, alpha). Defined for 3 and 4 bits.
template <int kIndexBits>
void UnpackColorBlockWithAlpha(D3DXCOLOR* pixels, const std::uint8_t* block, const Float4* alphaEntries,
                               std::uint64_t alphaIndices);

}  // namespace valmere
