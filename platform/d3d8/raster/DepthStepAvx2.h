// The 16-bit depth test sixteen pixels at a time with AVX2 (built with
// -mavx2 in a file of its own, called only where UseAvx2Kernels()).
#pragma once

#include "platform/d3d8/raster/PixelPipeline.h"

namespace valmere::raster {

// Tests (and with Write, writes) pixels 0, 16, 32, ... of the run in groups
// of sixteen while a whole group remains; returns the first pixel it left.
// The same arithmetic, codes and results as the SSE2 groups of eight.
template <DWORD Func, bool Write>
int DepthTestGroups16Avx2(const PixelPipeline& p, Run& r);

}  // namespace valmere::raster
