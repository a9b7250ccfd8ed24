// The first step of every block encoder: each pixel snapped to the stored
// precision in row-major order, the snapping error diffused to the
// neighbours. Each channel diffuses on its own; alpha's error never mixes
// with the colour's.
#pragma once

#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/BlockLanes.h"

namespace valmere {

// How alpha is quantised alongside the 5:6:5 colour.
enum class AlphaCodes {
    None,      // DXT1: alpha is not stored (its codes are left unset)
    Explicit,  // DXT2/DXT3: 4-bit codes, held to 0..15
    Byte,      // DXT4/DXT5: codes of 1/255 for the endpoint fit
};

// codes.channel[c][i]: the integer code (as a float) of channel c of pixel i:
// R, B of 31, G of 63, A as kCodes says. One pixel per Step in row-major
// order, so that the encoder can interleave these chains with the index
// search of the blocks before.
template <AlphaCodes kCodes>
class BlockQuantizer {
public:
    BlockQuantizer(const BlockLanes& pixels, BlockLanes& codes) : pixels_(pixels), codes_(codes) {}

    void Step(int i) {
        // Alpha steps as the decoders read them: 1/15 is 0.06666667.
        constexpr bool kExplicit = kCodes == AlphaCodes::Explicit;
        constexpr float kScale[4] = {31.0f, 63.0f, 31.0f, kExplicit ? 15.0f : 255.0f};
        constexpr float kStep[4] = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f, kExplicit ? 0.06666667f : 1.0f / 255.0f};
        constexpr int kChannels = kCodes == AlphaCodes::None ? 3 : 4;
        // The channels' chains are independent; interleaving them hides
        // latency.
        for (int c = 0; c < kChannels; ++c) {
            const Float4 v = pixels_.channel[c][i] + diffusion_[c].At(i);
            Float4 q = ToFloat4(TruncateLanes(v * kScale[c] + 0.5f));
            // Explicit alpha codes are held to their nibble.
            if (kExplicit && c == kAlpha) q = Min4(Max4(q, Float4{}), Float4{} + 15.0f);
            diffusion_[c].Spread(i, v - q * kStep[c]);
            codes_.channel[c][i] = q;
        }
    }

private:
    const BlockLanes& pixels_;
    BlockLanes& codes_;
    BlockDiffusion<Float4> diffusion_[4];
};

}  // namespace valmere
