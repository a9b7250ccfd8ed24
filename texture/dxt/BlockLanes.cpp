#include "texture/dxt/BlockLanes.h"

#include <algorithm>

namespace valmere {

void LoadBlockLanes(const D3DXCOLOR* pixels, int count, BlockLanes& lanes) {
    const D3DXCOLOR* block[kLanes];
    for (int k = 0; k < kLanes; ++k) block[k] = pixels + 16 * std::min(k, count - 1);
    for (int i = 0; i < 16; ++i) {
        // 4x4 transpose: pixel i of blocks 0..3 (rgba each) to r, g, b, a of
        // blocks 0..3.
        const Float4 v0 = Load4(block[0][i]), v1 = Load4(block[1][i]);
        const Float4 v2 = Load4(block[2][i]), v3 = Load4(block[3][i]);
        const Float4 low01 = __builtin_shufflevector(v0, v1, 0, 4, 1, 5);   // r0 r1 g0 g1
        const Float4 low23 = __builtin_shufflevector(v2, v3, 0, 4, 1, 5);   // r2 r3 g2 g3
        const Float4 high01 = __builtin_shufflevector(v0, v1, 2, 6, 3, 7);  // b0 b1 a0 a1
        const Float4 high23 = __builtin_shufflevector(v2, v3, 2, 6, 3, 7);  // b2 b3 a2 a3
        lanes.channel[kRed][i] = __builtin_shufflevector(low01, low23, 0, 1, 4, 5);
        lanes.channel[kGreen][i] = __builtin_shufflevector(low01, low23, 2, 3, 6, 7);
        lanes.channel[kBlue][i] = __builtin_shufflevector(high01, high23, 0, 1, 4, 5);
        lanes.channel[kAlpha][i] = __builtin_shufflevector(high01, high23, 2, 3, 6, 7);
    }
}

}  // namespace valmere
