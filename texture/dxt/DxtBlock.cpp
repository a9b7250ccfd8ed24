// The five block formats, assembled from the colour and alpha halves.
#include "texture/dxt/DxtBlock.h"

#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/AlphaIndexSearch.h"
#include "texture/dxt/BlockQuantize.h"
#include "texture/dxt/ByteOrder.h"
#include "texture/dxt/ColorBlock.h"
#include "texture/dxt/ColorIndexSearch.h"
#include "texture/dxt/Premultiply.h"

#include <algorithm>

namespace valmere {
namespace {

std::uint8_t* Bytes(void* block) { return static_cast<std::uint8_t*>(block); }
const std::uint8_t* Bytes(const void* block) { return static_cast<const std::uint8_t*>(block); }

// Offset of the colour half in 16-byte blocks.
constexpr int kColorHalf = 8;

// How one format is encoded: its block size, alpha codes and whether colours
// are premultiplied.
struct PackRecipe {
    int bytesPerBlock;
    AlphaCodes alphaCodes;
    bool premultiplied;
};

constexpr PackRecipe kDxt1 = {8, AlphaCodes::None, false};
constexpr PackRecipe kDxt2 = {16, AlphaCodes::Explicit, true};
constexpr PackRecipe kDxt3 = {16, AlphaCodes::Explicit, false};
constexpr PackRecipe kDxt4 = {16, AlphaCodes::Byte, true};
constexpr PackRecipe kDxt5 = {16, AlphaCodes::Byte, false};

// The batch of blocks from `first`, loaded (and premultiplied) into lanes.
template <const PackRecipe& kRecipe>
int LoadBatch(const D3DXCOLOR* pixels, UINT first, UINT count, BlockLanes& lanes) {
    const int n = static_cast<int>(std::min<UINT>(kLanes, count - first));
    LoadBlockLanes(pixels + first * kBlockPixels, n, lanes);
    if constexpr (kRecipe.premultiplied) PremultiplyLanes(lanes);
    return n;
}

// Steps the given searches (and quantisers) through the 16 pixels together.
template <class... Steppers>
void StepTogether(Steppers&... steppers) {
#pragma GCC unroll 16
    for (int i = 0; i < kBlockPixels; ++i) (steppers.Step(i), ...);
}

// Batches go through the encoder as a pipeline: while the colour index
// search of one batch steps through its pixels, the quantisation of the next
// batch steps along with it (DXT4/DXT5 interleave their alpha search
// instead). Every diffusion chain involved is independent of
// the others, so each runs while the others wait on their previous pixel.
template <const PackRecipe& kRecipe>
HRESULT PackBlocks(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    if (count == 0) return S_OK;
    constexpr int kStride = kRecipe.bytesPerBlock;
    constexpr AlphaCodes kCodes = kRecipe.alphaCodes;
    constexpr bool kTransparency = kCodes == AlphaCodes::None;
    BlockLanes source[2];
    BlockLanes codes[2];
    int lanes = LoadBatch<kRecipe>(pixels, 0, count, source[0]);
    BlockQuantizer<kCodes> firstQuantizer(source[0], codes[0]);
    StepTogether(firstQuantizer);
    for (UINT first = 0; first < count; first += kLanes) {
        const int now = static_cast<int>((first / kLanes) & 1);
        const int next = 1 - now;
        const bool more = first + kLanes < count;
        const int nextLanes = more ? LoadBatch<kRecipe>(pixels, first + kLanes, count, source[next]) : 0;

        ColorIndexSearch<kTransparency> colour(source[now], codes[now]);
        BlockQuantizer<kCodes> quantizer(source[next], codes[next]);
        std::uint8_t* out = Bytes(blocks) + first * kStride;
        if constexpr (kCodes == AlphaCodes::Byte) {
            // Two chains of the searches already overlap here; a third set
            // (four quantiser chains) would only crowd the registers.
            AlphaIndexSearch alpha(source[now], codes[now]);
            StepTogether(colour, alpha);
            if (more) StepTogether(quantizer);
            alpha.Store(out, kStride, lanes);
        } else {
            if (more) {
                StepTogether(colour, quantizer);
            } else {
                StepTogether(colour);
            }
            if constexpr (kCodes == AlphaCodes::Explicit) PackExplicitAlphas(out, kStride, lanes, codes[now]);
        }
        colour.Store(kTransparency ? out : out + kColorHalf, kStride, lanes);
        lanes = nextLanes;
    }
    return S_OK;
}

template <int kIndexBits, bool kPremultiplied>
HRESULT UnpackWithAlpha(D3DXCOLOR* pixels, const std::uint8_t* block, const Float4* alphaEntries,
                        std::uint64_t alphaIndices) {
    UnpackColorBlockWithAlpha<kIndexBits>(pixels, block + kColorHalf, alphaEntries, alphaIndices);
    if constexpr (kPremultiplied) UnpremultiplyBlock(pixels);
    return S_OK;
}

template <bool kPremultiplied>
HRESULT UnpackExplicit(D3DXCOLOR* pixels, const void* block) {
    return UnpackWithAlpha<4, kPremultiplied>(pixels, Bytes(block), ExplicitAlphaEntries(), LoadBytes(Bytes(block), 8));
}

template <bool kPremultiplied>
HRESULT UnpackInterpolated(D3DXCOLOR* pixels, const void* block) {
    Float4 entries[8];
    InterpolatedAlphaEntries(Bytes(block), entries);
    // 16 3-bit indices in bytes 2-7.
    return UnpackWithAlpha<3, kPremultiplied>(pixels, Bytes(block), entries, LoadBytes(Bytes(block) + 2, 6));
}

constexpr BlockFormatInfo kBlockFormats[] = {
    {D3DFMT_DXT1, 8, 255.0f, PackBlocksDxt1, UnpackBlockDxt1},
    {D3DFMT_DXT2, 16, 15.0f, PackBlocksDxt2, UnpackBlockDxt2},
    {D3DFMT_DXT3, 16, 15.0f, PackBlocksDxt3, UnpackBlockDxt3},
    {D3DFMT_DXT4, 16, 255.0f, PackBlocksDxt4, UnpackBlockDxt4},
    {D3DFMT_DXT5, 16, 255.0f, PackBlocksDxt5, UnpackBlockDxt5},
};

}  // namespace

HRESULT PackBlocksDxt1(void* blocks, const D3DXCOLOR* pixels, UINT count) { return PackBlocks<kDxt1>(blocks, pixels, count); }
HRESULT PackBlocksDxt2(void* blocks, const D3DXCOLOR* pixels, UINT count) { return PackBlocks<kDxt2>(blocks, pixels, count); }
HRESULT PackBlocksDxt3(void* blocks, const D3DXCOLOR* pixels, UINT count) { return PackBlocks<kDxt3>(blocks, pixels, count); }
HRESULT PackBlocksDxt4(void* blocks, const D3DXCOLOR* pixels, UINT count) { return PackBlocks<kDxt4>(blocks, pixels, count); }
HRESULT PackBlocksDxt5(void* blocks, const D3DXCOLOR* pixels, UINT count) { return PackBlocks<kDxt5>(blocks, pixels, count); }

HRESULT PackBlockDxt1(void* block, const D3DXCOLOR* pixels) { return PackBlocksDxt1(block, pixels, 1); }
HRESULT PackBlockDxt2(void* block, const D3DXCOLOR* pixels) { return PackBlocksDxt2(block, pixels, 1); }
HRESULT PackBlockDxt3(void* block, const D3DXCOLOR* pixels) { return PackBlocksDxt3(block, pixels, 1); }
HRESULT PackBlockDxt4(void* block, const D3DXCOLOR* pixels) { return PackBlocksDxt4(block, pixels, 1); }
HRESULT PackBlockDxt5(void* block, const D3DXCOLOR* pixels) { return PackBlocksDxt5(block, pixels, 1); }

HRESULT UnpackBlockDxt1(D3DXCOLOR* pixels, const void* block) {
    UnpackColorBlock(pixels, Bytes(block));
    return S_OK;
}
HRESULT UnpackBlockDxt2(D3DXCOLOR* pixels, const void* block) { return UnpackExplicit<true>(pixels, block); }
HRESULT UnpackBlockDxt3(D3DXCOLOR* pixels, const void* block) { return UnpackExplicit<false>(pixels, block); }
HRESULT UnpackBlockDxt4(D3DXCOLOR* pixels, const void* block) { return UnpackInterpolated<true>(pixels, block); }
HRESULT UnpackBlockDxt5(D3DXCOLOR* pixels, const void* block) { return UnpackInterpolated<false>(pixels, block); }

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
