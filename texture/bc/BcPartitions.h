// The partition tables of BC6H and BC7: which subset each pixel of a block
// belongs to, and the anchor pixels whose index is stored with one bit fewer.
//
// A partition is a 32-bit word holding the subset (0, 1 or 2) of pixel i in
// bits 2i..2i+1, pixels in row-major order (pixel (x, y) is 4y + x):
//
//   two subsets, pattern 0        three subsets, pattern 0
//     0 0 1 1                       0 0 1 1
//     0 0 1 1                       0 0 1 1
//     0 0 1 1                       0 2 2 1
//     0 0 1 1                       2 2 2 2
//
// Pixel 0 is always in subset 0 and is the anchor of subset 0; subsets 1 and
// 2 have their anchor pixels listed per pattern. BC6H uses the first 32
// patterns of two subsets, BC7 all 64 of two and of three subsets.
#pragma once

#include <cstdint>

namespace valmere::bc {

constexpr int kPartitionPatterns = 64;

struct PartitionTable {
    std::uint32_t subsets[kPartitionPatterns];
    std::uint8_t anchor1[kPartitionPatterns];
    std::uint8_t anchor2[kPartitionPatterns];  // three subsets only; 0 otherwise
};

extern const PartitionTable kTwoSubsetPartitions;
extern const PartitionTable kThreeSubsetPartitions;

}  // namespace valmere::bc
