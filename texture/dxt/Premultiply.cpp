#include "texture/dxt/Premultiply.h"

#include "texture/dxt/DxtBlock.h"

namespace valmere {

void PremultiplyLanes(BlockLanes& lanes) {
    for (int i = 0; i < kBlockPixels; ++i) {
        for (int c = kRed; c <= kBlue; ++c) lanes.channel[c][i] *= lanes.channel[kAlpha][i];
    }
}

void UnpremultiplyBlock(D3DXCOLOR* pixels) {
    for (int i = 0; i < kBlockPixels; ++i) {
        D3DXCOLOR& p = pixels[i];
        if (p.a >= 1.0f) continue;
        if (p.a <= 0.0f) {
            p.r = p.g = p.b = 0.0f;
            continue;
        }
        const float inverse = 1.0f / p.a;
        p.r = p.r < p.a ? p.r * inverse : 1.0f;
        p.g = p.g < p.a ? p.g * inverse : 1.0f;
        p.b = p.b < p.a ? p.b * inverse : 1.0f;
    }
}

}  // namespace valmere
