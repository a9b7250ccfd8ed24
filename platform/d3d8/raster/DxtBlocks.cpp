// DXT block layouts (little-endian):
//   colour block (8 bytes): c0 (R5G6B5), c1 (R5G6B5), 32 bits of 2-bit
//     indices, texel 0 in the lowest bits, row by row;
//   DXT2/3 alpha (8 bytes before the colour block): 4 bits per texel;
//   DXT4/5 alpha (8 bytes): a0, a1, then 48 bits of 3-bit indices.
#include "platform/d3d8/raster/DxtBlocks.h"

#include "platform/d3d8/raster/TargetFormats.h"

namespace valmere::raster {
namespace {

std::uint32_t Lerp3(std::uint32_t a, std::uint32_t b) {
    // (2a + b) / 3 per channel of 0x00RRGGBB, rounded to nearest.
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const std::uint32_t ca = (a >> shift) & 0xFF, cb = (b >> shift) & 0xFF;
        out |= ((2 * ca + cb + 1) / 3) << shift;
    }
    return out;
}

std::uint32_t Mid(std::uint32_t a, std::uint32_t b) {
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= ((((a >> shift) & 0xFF) + ((b >> shift) & 0xFF) + 1) / 2) << shift;
    }
    return out;
}

std::uint32_t ReadLe(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

// Colours in 0x00RRGGBB; alpha is or-ed in by the caller. In three-colour
// mode (c0 <= c1, DXT1 only) index 3 is transparent black.
void DecodeColors(const std::uint8_t* block, bool allowThreeColor, std::uint32_t out[16], bool transparent[16]) {
    const std::uint32_t c0 = ReadLe(block, 2), c1 = ReadLe(block + 2, 2);
    const std::uint32_t e0 = ExpandR5G6B5(c0) & 0xFFFFFF, e1 = ExpandR5G6B5(c1) & 0xFFFFFF;
    std::uint32_t palette[4] = {e0, e1, 0, 0};
    const bool fourColor = !allowThreeColor || c0 > c1;
    if (fourColor) {
        palette[2] = Lerp3(e0, e1);
        palette[3] = Lerp3(e1, e0);
    } else {
        palette[2] = Mid(e0, e1);
    }
    const std::uint32_t indices = ReadLe(block + 4, 4);
    for (int i = 0; i < 16; ++i) {
        const std::uint32_t index = (indices >> (2 * i)) & 3;
        out[i] = palette[index];
        transparent[i] = !fourColor && index == 3;
    }
}

void DecodeInterpolatedAlpha(const std::uint8_t* block, std::uint32_t alpha[16]) {
    const std::uint32_t a0 = block[0], a1 = block[1];
    std::uint32_t table[8] = {a0, a1};
    if (a0 > a1) {
        for (std::uint32_t i = 1; i < 7; ++i) table[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
    } else {
        for (std::uint32_t i = 1; i < 5; ++i) table[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
        table[6] = 0;
        table[7] = 255;
    }
    std::uint64_t bits = 0;
    for (int i = 5; i >= 0; --i) bits = (bits << 8) | block[2 + i];
    for (int i = 0; i < 16; ++i) alpha[i] = table[(bits >> (3 * i)) & 7];
}

}  // namespace

int DxtBlockBytes(D3DFORMAT format) {
    switch (format) {
    case D3DFMT_DXT1: return 8;
    case D3DFMT_DXT2:
    case D3DFMT_DXT3:
    case D3DFMT_DXT4:
    case D3DFMT_DXT5: return 16;
    default: return 0;
    }
}

void DecodeDxtBlock(D3DFORMAT format, const std::uint8_t* block, std::uint32_t out[16]) {
    std::uint32_t alpha[16];
    bool transparent[16];
    const bool explicitAlpha = format == D3DFMT_DXT2 || format == D3DFMT_DXT3;
    const bool interpolatedAlpha = format == D3DFMT_DXT4 || format == D3DFMT_DXT5;
    if (explicitAlpha) {
        for (int i = 0; i < 16; ++i) alpha[i] = ((block[i / 2] >> (4 * (i & 1))) & 0xF) * 17;
    } else if (interpolatedAlpha) {
        DecodeInterpolatedAlpha(block, alpha);
    } else {
        for (std::uint32_t& a : alpha) a = 255;
    }
    DecodeColors(format == D3DFMT_DXT1 ? block : block + 8, format == D3DFMT_DXT1, out, transparent);
    for (int i = 0; i < 16; ++i) out[i] = transparent[i] ? 0u : (out[i] | (alpha[i] << 24));
}

}  // namespace valmere::raster
