// The first step of every block encoder: each pixel snapped to the stored
// precision in row-major order, the snapping error diffused to the
// neighbours. Colour and alpha share the pass (alpha in the fourth lane);
// the alpha half's error never mixes with the colour's.
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/Float4.h"

namespace valmere {

// How alpha is quantised alongside the 5:6:5 colour.
enum class AlphaCodes {
    None,      // DXT1: alpha is not stored
    Explicit,  // DXT2/DXT3: 4-bit codes, held to 0..15
    Byte,      // DXT4/DXT5: codes of 1/255 for the endpoint fit
};

// codes[i] = (R, G, B, A): the integer codes (as floats) of pixel i:
// R, B of 31, G of 63, A as `alpha` says (0 for None).
void QuantizeBlock(const D3DXCOLOR* pixels, AlphaCodes alpha, Float4* codes);

}  // namespace valmere
