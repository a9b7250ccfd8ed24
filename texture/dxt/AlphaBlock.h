// The alpha halves of DXT2..DXT5: explicit 4-bit alpha and interpolated alpha
// with 3-bit indices.
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/Float4.h"

#include <cstdint>

namespace valmere {

// Interpolated alpha palette for the two endpoint bytes: entries 0 and 1 are
// the endpoints; alpha0 > alpha1 gives six steps between them (eight-step
// mode), otherwise four steps plus 0 and 1 as entries 6 and 7.
void AlphaPalette(std::uint8_t alpha0, std::uint8_t alpha1, float* palette);

// Least-squares endpoints (lo, hi) for 16 alpha values and `stepCount` 8 or 6.
// With 6, the values 0 and 1 are left to the fixed entries.
void FitAlphaEndpoints(const float* values, int stepCount, float& lo, float& hi);

// Pack: the 8-byte alpha half from the pixels and their codes from
// QuantizeBlock (AlphaCodes::Explicit or Byte). Unpack: 16 alphas.
void PackExplicitAlpha(std::uint8_t* block, const D3DXCOLOR* pixels, const Float4* codes);
void UnpackExplicitAlpha(float* alphas, const std::uint8_t* block);
void PackInterpolatedAlpha(std::uint8_t* block, const D3DXCOLOR* pixels, const Float4* codes);
void UnpackInterpolatedAlpha(float* alphas, const std::uint8_t* block);

}  // namespace valmere
