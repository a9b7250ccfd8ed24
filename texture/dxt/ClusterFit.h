// The high-quality colour half (cluster fit, ClusterFitLanes.h) for the
// block encoders of texture/ValmereTexture.h. Two variants give the same
// bytes: the portable one (4 lanes) and, on x86-64 processors with AVX2, one
// with 8 lanes. PackClusterFitColours chooses once, on first use.
#pragma once

#include "math/D3DXColor.h"

#include <cstdint>

namespace valmere {

// The 8-byte colour halves of `count` blocks (16 pixels each, one block
// after the other), `stride` bytes apart from `out`. With `transparency`
// (DXT1) pixels with alpha below 0.5 take index 3 of a three-colour block;
// without it every block has four colours.
void PackClusterFitColours(std::uint8_t* out, int stride, const D3DXCOLOR* pixels, UINT count, bool transparency);

// The variants, on 16 RGBA floats per block.
void PackClusterFitColoursPortable(std::uint8_t* out, int stride, const float* pixels, unsigned count,
                                   bool transparency);
void PackClusterFitColoursAvx2(std::uint8_t* out, int stride, const float* pixels, unsigned count,
                               bool transparency);

// Whether this build has the AVX2 variant and the processor runs it.
bool ClusterFitAvx2Available();
// true: PackClusterFitColours runs the portable variant whatever the
// processor has (tests compare the two).
void ForcePortableClusterFit(bool force);

}  // namespace valmere
