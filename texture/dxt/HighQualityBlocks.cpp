// The high-quality block encoders: the cluster-fit colour half
// (ClusterFit.h) with the alpha halves of the standard encoders (explicit
// alpha, interpolated alpha with error diffusion), which they share with
// PackBlocksDxt2..5 step for step.
#include "texture/ValmereTexture.h"
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/AlphaIndexSearch.h"
#include "texture/dxt/BlockQuantize.h"
#include "texture/dxt/ClusterFit.h"
#include "texture/dxt/DxtBlock.h"

#include <algorithm>

namespace valmere {
namespace {

constexpr int kColorHalf = 8;
// Blocks handled per round: premultiplied copies are made this many at a time.
constexpr UINT kChunkBlocks = 64;

// The alpha halves of `n` (1..4) blocks at `out`, 16 bytes apart
// (premultiplication leaves alpha as it is).
template <AlphaCodes kCodes>
void PackAlphaHalves(std::uint8_t* out, const D3DXCOLOR* pixels, int n) {
    BlockLanes source;
    BlockLanes codes;
    LoadBlockLanes(pixels, n, source);
    BlockQuantizer<kCodes> quantizer(source, codes);
    for (int i = 0; i < kBlockPixels; ++i) quantizer.Step(i);
    if constexpr (kCodes == AlphaCodes::Explicit) {
        PackExplicitAlphas(out, 16, n, codes);
    } else {
        AlphaIndexSearch alpha(source, codes);
        for (int i = 0; i < kBlockPixels; ++i) alpha.Step(i);
        alpha.Store(out, 16, n);
    }
}

template <AlphaCodes kCodes, bool kPremultiplied>
HRESULT PackWithAlpha(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    auto* out = static_cast<std::uint8_t*>(blocks);
    D3DXCOLOR premultiplied[kChunkBlocks * kBlockPixels];
    for (UINT first = 0; first < count; first += kChunkBlocks) {
        const UINT n = std::min(kChunkBlocks, count - first);
        const D3DXCOLOR* chunk = pixels + std::size_t{first} * kBlockPixels;
        std::uint8_t* chunkOut = out + std::size_t{first} * 16;
        for (UINT b = 0; b < n; b += kLanes) {
            PackAlphaHalves<kCodes>(chunkOut + b * 16, chunk + b * kBlockPixels,
                                    static_cast<int>(std::min<UINT>(kLanes, n - b)));
        }
        if constexpr (kPremultiplied) {
            for (UINT i = 0; i < n * kBlockPixels; ++i) {
                const D3DXCOLOR& p = chunk[i];
                premultiplied[i] = D3DXCOLOR(p.r * p.a, p.g * p.a, p.b * p.a, p.a);
            }
            chunk = premultiplied;
        }
        PackClusterFitColours(chunkOut + kColorHalf, 16, chunk, n, false);
    }
    return S_OK;
}

}  // namespace

HRESULT PackBlocksDxt1HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    PackClusterFitColours(static_cast<std::uint8_t*>(blocks), 8, pixels, count, true);
    return S_OK;
}
HRESULT PackBlocksDxt2HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    return PackWithAlpha<AlphaCodes::Explicit, true>(blocks, pixels, count);
}
HRESULT PackBlocksDxt3HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    return PackWithAlpha<AlphaCodes::Explicit, false>(blocks, pixels, count);
}
HRESULT PackBlocksDxt4HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    return PackWithAlpha<AlphaCodes::Byte, true>(blocks, pixels, count);
}
HRESULT PackBlocksDxt5HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count) {
    return PackWithAlpha<AlphaCodes::Byte, false>(blocks, pixels, count);
}

}  // namespace valmere
