// MakeMipChain: the levels made one from the next in a working space (linear
// light, or unit vectors for normal maps), each turned back into stored
// values (and its alpha scaled for coverage) on its own copy, so no level
// is made from another level's rounding or scaling.
#include "texture/ValmereTexture.h"
#include "texture/mip/AlphaCoverage.h"
#include "texture/mip/AreaHalving.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <new>

namespace valmere {
namespace {

// Normal maps: (v + 1) / 2 to v and back, and unit length ((0, 0, 1) for a
// vector of no length).
void DecodeVectors(ColorImage& image) {
    for (D3DXCOLOR& p : image.pixels) {
        p.r = 2 * p.r - 1;
        p.g = 2 * p.g - 1;
        p.b = 2 * p.b - 1;
    }
}

void Renormalise(ColorImage& image) {
    for (D3DXCOLOR& p : image.pixels) {
        const float length = std::sqrt(p.r * p.r + p.g * p.g + p.b * p.b);
        if (!(length > 1e-6f)) {
            p.r = p.g = 0;
            p.b = 1;
            continue;
        }
        p.r /= length;
        p.g /= length;
        p.b /= length;
    }
}

void EncodeVectors(ColorImage& image) {
    for (D3DXCOLOR& p : image.pixels) {
        p.r = (p.r + 1) * 0.5f;
        p.g = (p.g + 1) * 0.5f;
        p.b = (p.b + 1) * 0.5f;
    }
}

void ApplyToColour(ColorImage& image, float (*transfer)(float)) {
    for (D3DXCOLOR& p : image.pixels) {
        p.r = transfer(p.r);
        p.g = transfer(p.g);
        p.b = transfer(p.b);
    }
}

}  // namespace

UINT FullMipChainLength(UINT width, UINT height, UINT depth) {
    return static_cast<UINT>(std::bit_width(std::max({width, height, depth, 1u})));
}

HRESULT MakeMipChain(ColorImage level0, UINT levels, const MipOptions& options, std::vector<ColorImage>& chain) {
    const std::size_t count = std::size_t{level0.width} * level0.height * level0.depth;
    if (count == 0 || level0.pixels.size() != count) return D3DERR_INVALIDCALL;
    const UINT full = FullMipChainLength(level0.width, level0.height, level0.depth);
    if (levels == 0 || levels > full) levels = full;
    try {
        const bool coverage = options.alphaCoverage >= 0;
        const float target = coverage ? AlphaCoverage(level0, options.alphaCoverage) : 0.0f;
        std::vector<ColorImage> made;
        made.reserve(levels);
        // The working copy of the level above, where the stored values are
        // not the working ones (linear light, vectors, alpha scaled for
        // coverage); level 1 of the last is made from level 0 itself.
        ColorImage work;
        const bool transformed = options.normalMap || options.linearLight;
        if (options.normalMap) {
            DecodeVectors(level0);
            Renormalise(level0);
            work = level0;
            EncodeVectors(level0);
        } else if (options.linearLight) {
            work = level0;
            ApplyToColour(work, SrgbToLinear);
        }
        made.push_back(std::move(level0));
        // Plain levels are stored as they are made: no working copy.
        const bool plain = !transformed && !coverage;
        for (UINT level = 1; level < levels; ++level) {
            ColorImage next = HalveArea(plain || (!transformed && level == 1) ? made.back() : work);
            if (plain) {
                made.push_back(std::move(next));
                continue;
            }
            work = std::move(next);
            if (options.normalMap) Renormalise(work);
            ColorImage stored = work;
            if (options.normalMap) {
                EncodeVectors(stored);
            } else if (options.linearLight) {
                ApplyToColour(stored, LinearToSrgb);
            }
            if (coverage) ScaleAlphaToCoverage(stored, options.alphaCoverage, target);
            made.push_back(std::move(stored));
        }
        chain.swap(made);
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace valmere
