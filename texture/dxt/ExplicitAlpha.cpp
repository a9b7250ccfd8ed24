// DXT2/DXT3 alpha: 4 bits per pixel.
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/ByteOrder.h"

namespace valmere {
namespace {

constexpr float kNibbleStep = 0.06666667f;  // 1/15

}  // namespace

// The codes are the nibbles, already quantised with diffusion (and held to
// 0..15) by QuantizeBlock.
void PackExplicitAlpha(std::uint8_t* block, const D3DXCOLOR*, const Float4* codes) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= static_cast<std::uint64_t>(codes[i][3]) << (4 * i);
    StoreBytes(block, bits, 8);
}

void UnpackExplicitAlpha(float* alphas, const std::uint8_t* block) {
    std::uint64_t bits = LoadBytes(block, 8);
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i, bits >>= 4) alphas[i] = static_cast<float>(bits & 15) * kNibbleStep;
}

}  // namespace valmere
