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

// 5:6:5 code to colour (r, g, b, 1): each field times the float reciprocal
// of its largest code.
inline Float4 Expand565(std::uint16_t c) {
    const Float4 codes = {static_cast<float>(c >> 11), static_cast<float>((c >> 5) & 63),
                          static_cast<float>(c & 31), 1.0f};
    const Float4 reciprocals = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f, 1.0f};
    return codes * reciprocals;
}
inline D3DXCOLOR FromRgb565(std::uint16_t c) {
    D3DXCOLOR colour;
    Store4(colour, Expand565(c));
    return colour;
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

// Decodes the 8-byte colour block into 16 pixels. `alphas`, when given,
// replaces the alpha of each pixel.
void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block, const float* alphas = nullptr);

}  // namespace valmere
