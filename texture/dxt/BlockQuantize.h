// The first step of every block encoder: each pixel snapped to the stored
// precision in row-major order, the snapping error diffused to the
// neighbours. Each channel diffuses on its own; alpha's error never mixes
// with the colour's.
#pragma once

#include "texture/dxt/BlockLanes.h"

namespace valmere {

// How alpha is quantised alongside the 5:6:5 colour.
enum class AlphaCodes {
    None,      // DXT1: alpha is not stored (its codes are left unset)
    Explicit,  // DXT2/DXT3: 4-bit codes, held to 0..15
    Byte,      // DXT4/DXT5: codes of 1/255 for the endpoint fit
};

// codes.channel[c][i]: the integer code (as a float) of channel c of pixel i:
// R, B of 31, G of 63, A as `alpha` says.
void QuantizeBlocks(const BlockLanes& pixels, AlphaCodes alpha, BlockLanes& codes);

}  // namespace valmere
