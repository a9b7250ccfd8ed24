// The choice between the AVX2 kernels of the rasterizer (files built with
// -mavx2: WrappedBilinearAvx2.cpp, DepthStepAvx2.cpp, ExpandRowAvx2.cpp) and
// their SSE2 and
// portable forms, which give the same bits.
#pragma once

namespace valmere::raster {

// Whether the AVX2 kernels may be used: the build has them, the processor
// has AVX2 (asked once) and they are not switched off.
bool UseAvx2Kernels();
// Tests hold the kernels against each other: false makes every step take
// its SSE2 (or portable) form.
void ForceSimdKernels(bool allowed);

}  // namespace valmere::raster
