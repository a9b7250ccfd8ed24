#include "tools/valmere-texture/StoredLevels.h"

#include "texture/dxt/DxtBlock.h"
#include "texture/format/PixelFormat.h"
#include "texture/load/Blitter.h"
#include "texture/load/ImageDefaults.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace valmere::tools {
namespace {

constexpr UINT kWideBytes = 8;  // kFormatAR16: four 16-bit channels

// A side the block codec cannot finish: not a multiple of 4 and longer than
// the 1 and 2 it fills by repetition.
bool Ragged(UINT extent) { return extent > 2 && extent % 4 != 0; }

UINT WholeBlocks(UINT extent) { return extent > 2 ? (extent + 3) / 4 * 4 : extent; }

// Blits `source` into `destination` through a padded copy in 16-bit
// channels: the level's own pixels, then the last column and row repeated
// out to whole blocks.
HRESULT BlitPadded(LockedPixels& destination, const LockedPixels& source, DWORD filter) {
    const D3DBOX& e = destination.extent;
    const UINT w = e.Right, h = e.Bottom, d = e.Back;
    const UINT wide = WholeBlocks(w), high = WholeBlocks(h);
    std::vector<BYTE> staging(std::size_t{wide} * high * d * kWideBytes);
    LockedPixels level;
    level.pixels = staging.data();
    level.format = kFormatAR16;
    level.rowPitch = static_cast<INT>(wide * kWideBytes);
    level.slicePitch = static_cast<INT>(wide * high * kWideBytes);
    level.extent = level.region = D3DBOX{0, 0, w, h, 0, d};
    HRESULT hr = Blit(level, source, filter);
    if (FAILED(hr)) return hr;
    for (UINT z = 0; z < d; ++z) {
        BYTE* slice = staging.data() + std::size_t{z} * static_cast<UINT>(level.slicePitch);
        for (UINT y = 0; y < high; ++y) {
            BYTE* row = slice + std::size_t{y} * static_cast<UINT>(level.rowPitch);
            if (y >= h) std::memcpy(row, slice + std::size_t{h - 1} * static_cast<UINT>(level.rowPitch), level.rowPitch);
            for (UINT x = w; x < wide; ++x) std::memcpy(row + x * kWideBytes, row + (w - 1) * kWideBytes, kWideBytes);
        }
    }
    level.extent = level.region = D3DBOX{0, 0, wide, high, 0, d};
    LockedPixels padded = destination;
    padded.extent = padded.region = level.extent;
    return Blit(padded, level, D3DX_FILTER_NONE);
}

// Whether ragged levels are padded: level 0 itself is not whole blocks.
bool PadsEdges(const TextureData& texture) {
    return FindBlockFormat(texture.format) != nullptr && (Ragged(texture.width) || Ragged(texture.height));
}

HRESULT BlitInto(TextureData& texture, UINT face, UINT level, const LockedPixels& source, DWORD filter,
                 const PALETTEENTRY* palette) {
    LockedPixels destination = texture.Describe(face, level);
    destination.palette = palette;
    if (PadsEdges(texture) && (Ragged(destination.extent.Right) || Ragged(destination.extent.Bottom))) {
        return BlitPadded(destination, source, filter);
    }
    return Blit(destination, source, filter);
}

}  // namespace

HRESULT BuildStoredLevels(const TextureSource& source, const TexturePlan& plan, TextureData& texture) {
    if (!AllocatePlannedTexture(plan, source, texture)) return E_OUTOFMEMORY;
    try {
        // The loads write palette formats against the working palette only
        // when it is kept; the mip filter reads and writes with it always.
        const PALETTEENTRY* loadPalette = plan.keepPalette ? texture.palette.data() : nullptr;
        const PALETTEENTRY* working = texture.palette.data();
        const UINT inFile = source.LevelsInFile();
        const bool mipPass = UsesMipFilterPass(plan.filter, plan.mipFilter);
        for (UINT face = 0; face < texture.Faces(); ++face) {
            const std::vector<LockedPixels>& levels = source.faces[face];
            UINT level = 0;
            for (; level < inFile && level < plan.levels && level < levels.size(); ++level) {
                const HRESULT hr = BlitInto(texture, face, level, levels[level], plan.filter, loadPalette);
                if (FAILED(hr)) return hr;
            }
            for (; !mipPass && level < plan.levels; ++level) {
                const HRESULT hr = BlitInto(texture, face, level, levels[std::min<std::size_t>(level, levels.size()) - 1],
                                            plan.filter, loadPalette);
                if (FAILED(hr)) return hr;
            }
        }
        if (mipPass && inFile < plan.levels) {
            const DWORD type = plan.mipFilter & 0xFFFF;
            const bool chained = type == D3DX_FILTER_POINT || type == D3DX_FILTER_BOX;
            for (UINT face = 0; face < texture.Faces(); ++face) {
                for (UINT level = inFile; level < plan.levels; ++level) {
                    LockedPixels from = texture.Describe(face, chained ? level - 1 : inFile - 1);
                    from.palette = working;
                    const HRESULT hr = BlitInto(texture, face, level, from, plan.mipFilter, working);
                    if (FAILED(hr)) return hr;
                }
            }
        }
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace valmere::tools
