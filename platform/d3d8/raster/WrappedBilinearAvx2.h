// The bilinear kernel of wrapped power-of-two levels at stepped positions
// (see Sampler.cpp), eight pixels at a time with AVX2. It is built with
// -mavx2 in a file of its own and only called where UseAvx2Kernels().
#pragma once

#include <cstdint>

namespace valmere::raster {

// Samples the n pixels of a run in groups of eight (the last one partly
// stored). Positions are 16.16 texel positions
// (texel centre offset and rounding included) of pixel 0 and the step per
// pixel, wrapping modulo 2^32; width and height are powers of two.
void SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, std::uint32_t x0, std::uint32_t dx,
                               std::uint32_t y0, std::uint32_t dy, int n, std::uint32_t* out);

}  // namespace valmere::raster
