// Colour half decoder. The palette is built with four-float vectors and the
// mode is picked by indexing small tables, so the work per block is a few
// vector operations and sixteen 16-byte stores, with no branch on the data.
// Alpha joins a colour by a bitwise or: the palette's alpha lane is then +0
// and the alpha entries hold nothing else.
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"

#include <cstring>

namespace valmere {
namespace {

// The four colours the indices select, with alpha `colourAlpha` (1, or 0
// when an alpha half supplies it). A DXT1 block with colour0 <= colour1 has
// three (index 3 is transparent black); the colour half of DXT2 to DXT5 is
// read with four colours whatever the order of its codes, as graphics
// hardware reads it. The two codes are expanded as vectors: each field is masked
// in place, converted, and scaled by the reciprocal of its largest code over
// its bit offset, a power of two, so the product is exactly that of the
// shifted field and the reciprocal.
inline void BuildPalette(const std::uint8_t* block, Float4* palette, float colourAlpha, bool alwaysFour) {
    const std::uint16_t code0 = Load16(block);
    const std::uint16_t code1 = Load16(block + 2);
    constexpr Int4 kFields = {0xF800, 0x07E0, 0x001F, 0};
    constexpr Float4 kScale = {1.0f / 31.0f / 2048.0f, 1.0f / 63.0f / 32.0f, 1.0f / 31.0f, 0.0f};
    const Float4 alpha = {0.0f, 0.0f, 0.0f, colourAlpha};
    const Float4 p0 = ToFloat4((Int4{} + code0) & kFields) * kScale + alpha;
    const Float4 p1 = ToFloat4((Int4{} + code1) & kFields) * kScale + alpha;
    const Float4 span = p1 - p0;
    // [three-colour, four-colour]
    static constexpr float kEntry2[2] = {0.5f, kOneThird};
    static constexpr float kEntry3Kept[2] = {0.0f, 1.0f};  // transparent black in three-colour mode
    const int four = alwaysFour || code0 > code1 ? 1 : 0;
    palette[0] = p0;
    palette[1] = p1;
    palette[2] = p0 + span * kEntry2[four];
    // All channels are >= 0, so the product is +0 in three-colour mode.
    palette[3] = (p0 + span * kTwoThirds) * kEntry3Kept[four];
}

Int4 Bits(Float4 v) {
    Int4 b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

void StoreBits(D3DXCOLOR& c, Int4 b) { std::memcpy(&c, &b, sizeof b); }

}  // namespace

void UnpackColorBlock(D3DXCOLOR* pixels, const std::uint8_t* block) {
    Float4 palette[4];
    BuildPalette(block, palette, 1.0f, false);
    std::uint32_t indices = Load32(block + 4);
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i, indices >>= 2) Store4(pixels[i], palette[indices & 3]);
}

template <int kIndexBits>
void UnpackColorBlockWithAlpha(D3DXCOLOR* pixels, const std::uint8_t* block, const Float4* alphaEntries,
                               std::uint64_t alphaIndices) {
    Float4 palette[4];
    BuildPalette(block, palette, 0.0f, true);
    std::uint32_t indices = Load32(block + 4);
    constexpr std::uint64_t kIndexMask = (1u << kIndexBits) - 1;
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i, indices >>= 2, alphaIndices >>= kIndexBits) {
        StoreBits(pixels[i], Bits(palette[indices & 3]) | Bits(alphaEntries[alphaIndices & kIndexMask]));
    }
}

template void UnpackColorBlockWithAlpha<3>(D3DXCOLOR*, const std::uint8_t*, const Float4*, std::uint64_t);
template void UnpackColorBlockWithAlpha<4>(D3DXCOLOR*, const std::uint8_t*, const Float4*, std::uint64_t);

}  // namespace valmere
