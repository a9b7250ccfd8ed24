// Colour half decoder. The palette is built with four-float vectors and the
// mode is picked by indexing small tables, so the work per block is a few
// vector operations and sixteen 16-byte copies, with no branch on the data.
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"

#include <cstring>

namespace valmere {
namespace {

using Float4 = float __attribute__((vector_size(16)));

Float4 Expand565(std::uint16_t c) {
    const Float4 codes = {static_cast<float>(c >> 11), static_cast<float>((c >> 5) & 63),
                          static_cast<float>(c & 31), 1.0f};
    const Float4 reciprocals = {1.0f / 31.0f, 1.0f / 63.0f, 1.0f / 31.0f, 1.0f};
    return codes * reciprocals;
}

void Store(D3DXCOLOR* out, Float4 v) { std::memcpy(out, &v, sizeof v); }

}  // namespace

namespace {

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

void ColorPalette(const std::uint8_t* block, D3DXCOLOR* palette) {
    Float4 entries[4];
    BuildPalette(block, entries);
    for (int k = 0; k < 4; ++k) Store(palette + k, entries[k]);
}

void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block, const float* alphas) {
    Float4 palette[4];
    BuildPalette(block, palette);
    std::uint32_t indices = Load32(block + 4);
    if (alphas == nullptr) {
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i, indices >>= 2) Store(pixels + i, palette[indices & 3]);
        return;
    }
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i, indices >>= 2) {
        Float4 c = palette[indices & 3];
        c[3] = alphas[i];
        Store(pixels + i, c);
    }
}

}  // namespace valmere
