#include "texture/dxt/BlockQuantize.h"

#include "texture/dxt/BlockDiffusion.h"

namespace valmere {

void QuantizeBlock(const D3DXCOLOR* pixels, AlphaCodes alpha, Float4* codes) {
    // Alpha steps as the decoders read them: 1/15 is 0.06666667.
    const float alphaScale = alpha == AlphaCodes::Explicit ? 15.0f : (alpha == AlphaCodes::Byte ? 255.0f : 0.0f);
    const float alphaStep = alpha == AlphaCodes::Explicit ? 0.06666667f : (alpha == AlphaCodes::Byte ? 1.0f / 255.0f : 0.0f);
    const Float4 scale = {31.0f, 63.0f, 31.0f, alphaScale};
    const Float4 step = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f, alphaStep};
    const Float4 used = {1, 1, 1, alpha == AlphaCodes::None ? 0.0f : 1.0f};
    // Explicit alpha codes are held to their nibble; the rest are not held.
    constexpr float kWide = 1073741824.0f;
    const Float4 lowest = {-kWide, -kWide, -kWide, alpha == AlphaCodes::Explicit ? 0.0f : -kWide};
    const Float4 highest = {kWide, kWide, kWide, alpha == AlphaCodes::Explicit ? 15.0f : kWide};
    BlockDiffusion<Float4> diffusion;
    for (int i = 0; i < 16; ++i) {
        const Float4 v = Load4(pixels[i]) * used + diffusion.At(i);
        const Float4 q = Min4(Max4(ToFloat4(TruncateLanes(v * scale + 0.5f)), lowest), highest);
        diffusion.Spread(i, v - q * step);
        codes[i] = q;
    }
}

}  // namespace valmere
