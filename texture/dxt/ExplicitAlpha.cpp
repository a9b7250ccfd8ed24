// DXT2/DXT3 alpha: 4 bits per pixel, quantised with error diffusion.
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/ByteOrder.h"
#include "texture/format/Quantize.h"

namespace valmere {
namespace {

constexpr float kNibbleStep = 0.06666667f;  // 1/15

}  // namespace

void PackExplicitAlpha(std::uint8_t* block, const D3DXCOLOR* pixels) {
    BlockDiffusion<float> diffusion;
    std::uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) {
        const float v = pixels[i].a + diffusion.At(i);
        // Clamped so that a value past 0..1 cannot spill into the neighbour.
        int q = QuantizeTruncate(v, 15.0f, 0.5f);
        q = q < 0 ? 0 : (q > 15 ? 15 : q);
        bits |= static_cast<std::uint64_t>(q) << (4 * i);
        diffusion.Spread(i, v - static_cast<float>(q) * kNibbleStep);
    }
    StoreBytes(block, bits, 8);
}

void UnpackExplicitAlpha(float* alphas, const std::uint8_t* block) {
    std::uint64_t bits = LoadBytes(block, 8);
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i, bits >>= 4) alphas[i] = static_cast<float>(bits & 15) * kNibbleStep;
}

}  // namespace valmere
