// Texture sampling of one stage over a run of pixels: level selection from
// the level of detail, point or bilinear filtering, and the address modes.
// Texel centres lie at (i + 0.5) / width.
#pragma once

#include <cstdint>

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

// Samples n pixels at normalised coordinates (u[i], v[i]) with one level of
// detail for the run (log2 of texels per pixel on level 0).
void SampleRun(const StageSampler& sampler, float lod, const float* u, const float* v, int n, std::uint32_t* out);

// Coordinates of pixel i of a run: (u + i du, v + i dv).
struct RunCoordinates {
    float u, v, du, dv;
};

// True when every level of the sampler can be sampled at RunCoordinates:
// wrap addressing on both axes and power-of-two sizes up to 65536 (and up
// to 2^30 texels).
bool SamplesRunCoordinates(const StageSampler& sampler);

// Samples n pixels at run coordinates, stepped in 16.16 fixed point (the
// position of pixel i differs from the per-pixel form by at most 1/256
// texel over a run of kRunLength pixels). Only for a sampler that
// SamplesRunCoordinates.
void SampleRun(const StageSampler& sampler, float lod, const RunCoordinates& run, int n, std::uint32_t* out);

// A level sampled bilinearly with wrap addressing at run coordinates,
// chosen once per draw.
struct WrappedLevel {
    const std::uint32_t* texels = nullptr;
    int width = 0, height = 0;  // powers of two
};

// Fills level when every run of the draw samples one level bilinearly at
// run coordinates (the sampler SamplesRunCoordinates, and neither the level
// nor the filter depends on the level of detail); false otherwise.
bool PrepareWrappedBilinear(const StageSampler& sampler, WrappedLevel& level);

// What SampleRun gives for such a sampler, without choosing the level.
void SampleWrappedBilinear(const WrappedLevel& level, const RunCoordinates& run, int n, std::uint32_t* out);

}  // namespace valmere::raster
