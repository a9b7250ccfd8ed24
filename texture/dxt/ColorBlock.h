// The 5:6:5 colour half shared by all DXT formats: endpoint conversions,
// weighting, the endpoint fit and the colour block encoder/decoder.
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/Float4.h"

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

// 5:6:5 code to colour; alpha 1.
inline D3DXCOLOR FromRgb565(std::uint16_t c) {
    return D3DXCOLOR(static_cast<float>((c >> 11) & 31) * (1.0f / 31.0f),
                     static_cast<float>((c >> 5) & 63) * (1.0f / 63.0f),
                     static_cast<float>(c & 31) * (1.0f / 31.0f), 1.0f);
}
// Colour r, g, b (each clamped to 0..1) to the nearest 5:6:5 code.
std::uint16_t ToRgb565(Float4 c);

// Least-squares endpoints A and B (weighted colours) for 16 weighted colours
// and a palette of `colorCount` (4 or 3) entries.
void FitColorEndpoints(const Float4* colors, int colorCount, Float4& a, Float4& b);

// Encodes the 8-byte colour block from the pixels and their codes from
// QuantizeBlock. With `allowTransparency` (DXT1), pixels with alpha below 0.5
// select the three-colour mode and index 3.
void PackColorBlock(std::uint8_t* block, const D3DXCOLOR* pixels, const Float4* codes, bool allowTransparency);

// The four colours a colour block's indices select (alpha 1, or 0 for
// index 3 of a three-colour block).
void ColorPalette(const std::uint8_t* block, D3DXCOLOR* palette);

// Decodes the 8-byte colour block into 16 pixels. `alphas`, when given,
// replaces the alpha of each pixel.
void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block, const float* alphas = nullptr);

}  // namespace valmere
