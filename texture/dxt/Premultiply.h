// DXT2 and DXT4 store colour premultiplied by alpha.
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/BlockLanes.h"

namespace valmere {

// r, g, b multiplied by a; a unchanged.
void PremultiplyLanes(BlockLanes& lanes);

// Undoes the premultiplication on 16 decoded pixels: alpha 0 gives black;
// for 0 < a < 1 a channel c < a becomes c / a and any other becomes 1 (so
// quantisation noise cannot push a channel past 1); alpha 1 and above leave
// the pixel as it is.
void UnpremultiplyBlock(D3DXCOLOR* pixels);

}  // namespace valmere
