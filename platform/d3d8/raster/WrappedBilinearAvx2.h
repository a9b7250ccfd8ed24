// The bilinear kernel of wrapped power-of-two levels at stepped positions
// (see Sampler.cpp), eight pixels at a time with AVX2. It is built with
// -mavx2 in a file of its own and only called on a processor that has AVX2.
#pragma once

#include <cstdint>

namespace valmere::raster {

// Whether the AVX2 kernel may be used: the processor has AVX2 and the
// portable forms are not forced (ForceSimdKernels(false)). Decided once.
bool UseAvx2Kernels();
// Tests hold the kernels against each other: false makes every sampler take
// its SSE2 (or portable) form.
void ForceSimdKernels(bool allowed);

// Samples pixels 0, 1, ... of a run in groups of eight while a whole group
// remains and no pixel of the group lies in the level's last column (its
// right neighbour is then texel 0 of the row, not the next one in memory);
// returns how many pixels it sampled. Positions are 16.16 texel positions
// (texel centre offset and rounding included) of pixel 0 and the step per
// pixel, wrapping modulo 2^32; width and height are powers of two.
int SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, std::uint32_t x0, std::uint32_t dx,
                               std::uint32_t y0, std::uint32_t dy, int n, std::uint32_t* out);

}  // namespace valmere::raster
