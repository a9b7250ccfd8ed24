// Colour half decoder. The palette is built with four-float vectors and the
// mode is picked by indexing small tables, so the work per block is a few
// vector operations and sixteen 16-byte copies, with no branch on the data.
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"

namespace valmere {
namespace {

// The four colours the indices select (index 3 of a three-colour block is
// transparent black).
void BuildPalette(const std::uint8_t* block, Float4* palette) {
    const std::uint16_t code0 = Load16(block);
    const std::uint16_t code1 = Load16(block + 2);
    const Float4 p0 = Expand565(code0);
    const Float4 p1 = Expand565(code1);
    const Float4 span = p1 - p0;
    // [three-colour, four-colour]
    static constexpr float kEntry2[2] = {0.5f, kOneThird};
    static constexpr float kEntry3Kept[2] = {0.0f, 1.0f};  // transparent black in three-colour mode
    const int four = code0 > code1 ? 1 : 0;
    palette[0] = p0;
    palette[1] = p1;
    palette[2] = p0 + span * kEntry2[four];
    // All channels are >= 0, so the product is +0 in three-colour mode.
    palette[3] = (p0 + span * kTwoThirds) * kEntry3Kept[four];
}

}  // namespace

void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block, const float* alphas) {
    Float4 palette[4];
    BuildPalette(block, palette);
    std::uint32_t indices = Load32(block + 4);
    if (alphas == nullptr) {
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i, indices >>= 2) Store4(pixels[i], palette[indices & 3]);
        return;
    }
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i, indices >>= 2) {
        Float4 c = palette[indices & 3];
        c[3] = alphas[i];
        Store4(pixels[i], c);
    }
}

}  // namespace valmere
