// The bilinear kernel of wrapped power-of-two levels (see Sampler.cpp),
// eight pixels at a time with AVX2. It is built with
// -mavx2 in a file of its own and only called where UseAvx2Kernels().
#pragma once

#include <cstdint>

#include "platform/d3d8/raster/PixelDivision.h"
#include "platform/d3d8/raster/Sampler.h"

namespace valmere::raster {

// Samples the n pixels of a run in groups of eight (the last one partly
// stored). x[i], y[i] are pixel i's texel positions with 8 fraction bits
// (texel centre offset included), wrapped into the level here; the arrays
// are readable up to the next multiple of eight. Width and height are
// powers of two.
void SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, const std::int32_t* x,
                               const std::int32_t* y, int n, std::uint32_t* out);

// The same at the positions of a perspective run (PixelDivision.h), computed
// eight at a time with the float operations of the per-pixel form, so the
// samples are the same bit for bit.
void SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, const PerspectiveRun& run, int n,
                               std::uint32_t* out);

}  // namespace valmere::raster
