// Texture sampling of one stage over a run of pixels: level selection from
// the level of detail, point or bilinear filtering, and the address modes.
// Texel centres lie at (i + 0.5) / width.
#pragma once

#include <cstdint>

#include "platform/d3d8/raster/PixelDivision.h"
#include "platform/d3d8/raster/PipelineTypes.h"
#include "platform/d3d8/raster/Raster.h"

namespace valmere::raster {

struct StageSampler {
    const SampledTexture* texture = nullptr;  // null: opaque white
    DWORD addressU = D3DTADDRESS_WRAP;
    DWORD addressV = D3DTADDRESS_WRAP;
    std::uint32_t border = 0;
    DWORD magFilter = D3DTEXF_POINT;
    DWORD minFilter = D3DTEXF_POINT;
    DWORD mipFilter = D3DTEXF_NONE;
    float lodBias = 0.0f;
    int levelCount = 0;  // leading levels with texels
    int baseLevel = 0;   // D3DTSS_MAXMIPLEVEL: the largest level used
};

StageSampler MakeStageSampler(const PipelineState& state, int stage);

// Coordinate periods for exact renormalisation of long wrapped or mirrored
// ranges: 1 for wrap, 2 for mirror, 0 for the clamping modes.
float AddressPeriod(DWORD mode);

// Whether the level of detail can change what the sampler reads: the
// level (a mip filter with more than the base level) or the filter
// (minification and magnification filters differ).
bool LodMatters(const StageSampler& sampler);

// Samples the n pixels (n <= kRunLength) of a perspective run, w[i] being
// pixel i's w (RunReciprocals). lod[i] is pixel i's level of detail before
// the bias (log2 of level-0 texels per pixel); null where LodMatters is
// false, which samples every pixel as a magnified one. Level and filter
// are chosen per pixel.
void SampleRun(const StageSampler& sampler, const PerspectiveRun& run, const float* w, const float* lod, int n,
               std::uint32_t* out);

// One level sampled bilinearly with wrap addressing, chosen once per draw.
struct WrappedLevel {
    const std::uint32_t* texels = nullptr;
    int width = 0, height = 0;  // powers of two
};

// Fills level when every pixel of the draw samples one level bilinearly
// with wrap addressing (power-of-two sizes, neither the level nor the
// filter depends on the level of detail); false otherwise.
bool PrepareWrappedBilinear(const StageSampler& sampler, WrappedLevel& level);

// What SampleRun gives for such a sampler at the coordinates of a
// perspective run, without choosing the level.
void SampleWrappedBilinear(const WrappedLevel& level, const PerspectiveRun& run, int n, std::uint32_t* out);

}  // namespace valmere::raster
