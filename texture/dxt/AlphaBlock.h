// The alpha halves of DXT2..DXT5: explicit 4-bit alpha and interpolated alpha
// with 3-bit indices. The encoders work on four blocks at a time
// (BlockLanes.h).
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/BlockLanes.h"

#include <cstdint>

namespace valmere {

// Least-squares endpoints (lo, hi) of four blocks for their 16 alpha values
// each, with 6 steps in the blocks of `six` (where 0 and 1 are left to the
// fixed entries) and 8 in the others.
void FitAlphaEndpoints(const Float4* values, Int4 six, Float4& lo, Float4& hi);

// The 8-byte explicit alpha halves of `count` (1..4) blocks, `stride` bytes
// apart, from their codes from QuantizeBlocks (AlphaCodes::Explicit).
// Interpolated alpha is encoded by AlphaIndexSearch.
void PackExplicitAlphas(std::uint8_t* blocks, int stride, int count, const BlockLanes& codes);

// For the decoders: the alphas the indices select, each as (0, 0, 0, alpha).
// Explicit alpha has 16 fixed entries (its 4-bit indices are the values);
// interpolated alpha the 8 entries of the block's palette.
const Float4* ExplicitAlphaEntries();
void InterpolatedAlphaEntries(const std::uint8_t* block, Float4* entries);

}  // namespace valmere
