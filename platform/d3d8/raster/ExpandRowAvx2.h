// R5G6B5 rows widened to 0x00RRGGBB sixteen pixels at a time with AVX2, for
// presenting (built with -mavx2 in a file of its own, called only where
// UseAvx2Kernels()).
#pragma once

#include <cstdint>

namespace valmere::raster {

// Widens pixels 0, 16, 32, ... of the row in groups of sixteen while a whole
// group remains, with the bit replication of ExpandR5G6B5 (TargetFormats.h);
// returns the first pixel it left.
int ExpandRowR5G6B5Avx2(const std::uint16_t* row, int n, std::uint32_t* out);

}  // namespace valmere::raster
