// The five block formats, assembled from the colour and alpha halves.
#include "texture/dxt/DxtBlock.h"

#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/BlockQuantize.h"
#include "texture/dxt/ColorBlock.h"
#include "texture/dxt/Premultiply.h"

#include <algorithm>

namespace valmere {
namespace {

std::uint8_t* Bytes(void* block) { return static_cast<std::uint8_t*>(block); }
const std::uint8_t* Bytes(const void* block) { return static_cast<const std::uint8_t*>(block); }

// Offset of the colour half in 16-byte blocks.
constexpr int kColorHalf = 8;

template <void (*PackAlpha)(std::uint8_t*, const D3DXCOLOR*, const Float4*), AlphaCodes Codes, bool Premultiplied>
HRESULT PackWithAlpha(void* block, const D3DXCOLOR* pixels) {
    const D3DXCOLOR* source = pixels;
    D3DXCOLOR premultiplied[kBlockPixels];
    if constexpr (Premultiplied) {
        std::copy(pixels, pixels + kBlockPixels, premultiplied);
        PremultiplyBlock(premultiplied);
        source = premultiplied;
    }
    Float4 codes[kBlockPixels];
    QuantizeBlock(source, Codes, codes);
    PackAlpha(Bytes(block), source, codes);
    PackColorBlock(Bytes(block) + kColorHalf, source, codes, false);
    return S_OK;
}

template <void (*UnpackAlpha)(float*, const std::uint8_t*), bool Premultiplied>
HRESULT UnpackWithAlpha(D3DXCOLOR* pixels, const void* block) {
    float alphas[kBlockPixels];
    UnpackAlpha(alphas, Bytes(block));
    UnpackColorBlock(pixels, Bytes(block) + kColorHalf, alphas);
    if constexpr (Premultiplied) UnpremultiplyBlock(pixels);
    return S_OK;
}

constexpr BlockFormatInfo kBlockFormats[] = {
    {D3DFMT_DXT1, 8, 255.0f, PackBlockDxt1, UnpackBlockDxt1},
    {D3DFMT_DXT2, 16, 15.0f, PackBlockDxt2, UnpackBlockDxt2},
    {D3DFMT_DXT3, 16, 15.0f, PackBlockDxt3, UnpackBlockDxt3},
    {D3DFMT_DXT4, 16, 255.0f, PackBlockDxt4, UnpackBlockDxt4},
    {D3DFMT_DXT5, 16, 255.0f, PackBlockDxt5, UnpackBlockDxt5},
};

}  // namespace

HRESULT PackBlockDxt1(void* block, const D3DXCOLOR* pixels) {
    Float4 codes[kBlockPixels];
    QuantizeBlock(pixels, AlphaCodes::None, codes);
    PackColorBlock(Bytes(block), pixels, codes, true);
    return S_OK;
}
HRESULT PackBlockDxt2(void* block, const D3DXCOLOR* pixels) {
    return PackWithAlpha<PackExplicitAlpha, AlphaCodes::Explicit, true>(block, pixels);
}
HRESULT PackBlockDxt3(void* block, const D3DXCOLOR* pixels) {
    return PackWithAlpha<PackExplicitAlpha, AlphaCodes::Explicit, false>(block, pixels);
}
HRESULT PackBlockDxt4(void* block, const D3DXCOLOR* pixels) {
    return PackWithAlpha<PackInterpolatedAlpha, AlphaCodes::Byte, true>(block, pixels);
}
HRESULT PackBlockDxt5(void* block, const D3DXCOLOR* pixels) {
    return PackWithAlpha<PackInterpolatedAlpha, AlphaCodes::Byte, false>(block, pixels);
}

HRESULT UnpackBlockDxt1(D3DXCOLOR* pixels, const void* block) {
    UnpackColorBlock(pixels, Bytes(block));
    return S_OK;
}
HRESULT UnpackBlockDxt2(D3DXCOLOR* pixels, const void* block) {
    return UnpackWithAlpha<UnpackExplicitAlpha, true>(pixels, block);
}
HRESULT UnpackBlockDxt3(D3DXCOLOR* pixels, const void* block) {
    return UnpackWithAlpha<UnpackExplicitAlpha, false>(pixels, block);
}
HRESULT UnpackBlockDxt4(D3DXCOLOR* pixels, const void* block) {
    return UnpackWithAlpha<UnpackInterpolatedAlpha, true>(pixels, block);
}
HRESULT UnpackBlockDxt5(D3DXCOLOR* pixels, const void* block) {
    return UnpackWithAlpha<UnpackInterpolatedAlpha, false>(pixels, block);
}

const BlockFormatInfo* FindBlockFormat(D3DFORMAT format) {
    for (const BlockFormatInfo& info : kBlockFormats) {
        if (info.format == format) return &info;
    }
    return nullptr;
}

void ReplicateSmallBlock(D3DXCOLOR* pixels, UINT columnMask, UINT rowMask) {
    for (UINT y = 0; y < 4; ++y) {
        for (UINT x = 0; x < 4; ++x) pixels[4 * y + x] = pixels[4 * (y & rowMask) + (x & columnMask)];
    }
}

}  // namespace valmere
