#include "tools/valmere-texture/FilteredLevels.h"

#include "texture/ValmereTexture.h"
#include "texture/codec/PixelCodec.h"
#include "texture/format/PixelFormat.h"
#include "texture/load/Blitter.h"
#include "tools/valmere-texture/LevelEncoding.h"

#include <algorithm>
#include <new>

namespace valmere::tools {
namespace {

// Every row of `locked` decoded into `image` (sized as the region), signed
// channels remapped to 0..1 ((x + 1) / 2, which is how normal maps hold
// their vectors).
HRESULT Decode(const LockedPixels& locked, ColorImage& image) {
    const std::unique_ptr<PixelCodec> codec = CreatePixelCodec(locked);
    if (!codec) return E_FAIL;
    image.width = codec->Width();
    image.height = codec->Height();
    image.depth = codec->Depth();
    image.pixels.resize(std::size_t{image.width} * image.height * image.depth);
    for (UINT z = 0; z < image.depth; ++z) {
        for (UINT y = 0; y < image.height; ++y) {
            D3DXCOLOR* row = image.pixels.data() + (std::size_t{z} * image.height + y) * image.width;
            const HRESULT hr = codec->DecodeRow(y, z, row);
            if (FAILED(hr)) return hr;
            RemapRowKind(row, row, image.width, NumericKind::Unsigned, codec->Kind());
        }
    }
    return S_OK;
}

// Level 0 at the planned size: the source decoded as it is, or first scaled
// with the filter into 16-bit channels.
HRESULT Level0(const LockedPixels& source, const TexturePlan& plan, ColorImage& image) {
    const D3DBOX& r = source.region;
    if (r.Right - r.Left == plan.width && r.Bottom - r.Top == plan.height && r.Back - r.Front == plan.depth) {
        return Decode(source, image);
    }
    std::vector<BYTE> staging(std::size_t{plan.width} * plan.height * plan.depth * 8);
    LockedPixels scaled;
    scaled.pixels = staging.data();
    scaled.format = kFormatAR16;
    scaled.rowPitch = static_cast<INT>(plan.width * 8);
    scaled.slicePitch = static_cast<INT>(plan.width * plan.height * 8);
    scaled.extent = scaled.region = D3DBOX{0, 0, plan.width, plan.height, 0, plan.depth};
    const HRESULT hr = Blit(scaled, source, plan.filter);
    return FAILED(hr) ? hr : Decode(scaled, image);
}

}  // namespace

HRESULT BuildFilteredLevels(TextureSource& source, const TexturePlan& plan, const ToolOptions& options,
                            TextureData& texture) {
    if (!AllocatePlannedTexture(plan, source, texture)) return E_OUTOFMEMORY;
    MipOptions mips;
    mips.linearLight = options.linearMips;
    mips.normalMap = options.normalMap;
    mips.alphaCoverage = options.alphaCoverage;
    try {
        for (UINT face = 0; face < texture.Faces(); ++face) {
            ColorImage level0;
            HRESULT hr = Level0(source.faces[face][0], plan, level0);
            if (FAILED(hr)) return hr;
            if (face + 1 == texture.Faces()) source = {};
            std::vector<ColorImage> chain;
            hr = MakeMipChain(std::move(level0), plan.levels, mips, chain);
            if (FAILED(hr)) return hr;
            for (UINT level = 0; level < plan.levels; ++level) {
                LevelEncoding encoding;
                encoding.quality = options.quality;
                encoding.normalMap = options.normalMap;
                encoding.dither = ((level == 0 ? plan.filter : plan.mipFilter) & D3DX_FILTER_DITHER) != 0;
                LockedPixels destination = texture.Describe(face, level);
                hr = EncodeLevel(chain[level], destination, encoding);
                if (FAILED(hr)) return hr;
                chain[level] = {};  // done with it
            }
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace valmere::tools
