#include "texture/dxt/BlockQuantize.h"

#include "texture/dxt/BlockDiffusion.h"

namespace valmere {

void QuantizeBlocks(const BlockLanes& pixels, AlphaCodes alpha, BlockLanes& codes) {
    // Alpha steps as the decoders read them: 1/15 is 0.06666667.
    const bool explicitAlpha = alpha == AlphaCodes::Explicit;
    const float scale[4] = {31.0f, 63.0f, 31.0f, explicitAlpha ? 15.0f : 255.0f};
    const float step[4] = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f, explicitAlpha ? 0.06666667f : 1.0f / 255.0f};
    // Explicit alpha codes are held to their nibble; the rest are not held.
    constexpr float kWide = 1073741824.0f;
    const float lowest = explicitAlpha ? 0.0f : -kWide;
    const float highest = explicitAlpha ? 15.0f : kWide;
    const int channels = alpha == AlphaCodes::None ? 3 : 4;
    BlockDiffusion<Float4> diffusion[4];
    // The channels' chains are independent; interleaving them hides latency.
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
        for (int c = 0; c < channels; ++c) {
            const Float4 v = pixels.channel[c][i] + diffusion[c].At(i);
            Float4 q = ToFloat4(TruncateLanes(v * scale[c] + 0.5f));
            if (c == kAlpha) q = Min4(Max4(q, Float4{} + lowest), Float4{} + highest);
            diffusion[c].Spread(i, v - q * step[c]);
            codes.channel[c][i] = q;
        }
    }
}

}  // namespace valmere
