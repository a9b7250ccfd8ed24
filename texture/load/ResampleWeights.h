// Filter weights of the resampling strategies, one axis at a time.
#pragma once

#include "platform/d3d8/D3D8Types.h"

#include <memory>

namespace valmere {

// The two source taps of one destination index for the linear filter.
struct LinearTap {
    UINT index0;
    float weight0;
    UINT index1;
    float weight1;
};

// Linear taps from a source of n to a destination of m (both non-zero):
// x = i * (n / m) - 0.5 with every step rounded toward zero, taps
// floor(x) and floor(x) + 1 weighted 1 - frac and frac. The destination
// pixel's left edge is mapped, as in the point resample. Taps outside the
// source wrap (wrap) or clamp to the edge. Null when memory runs out.
std::unique_ptr<LinearTap[]> LinearTaps(UINT n, UINT m, bool wrap);

struct WeightedIndex {
    UINT index;
    float weight;
};

// Tent weights from each source index to the destination indices it feeds:
// source pixel i rises from 0 at i - 0.5 to 1 at i + 0.5 and falls to 0 at
// i + 1.5, and each destination pixel receives the integral of the tent over
// its extent, so the weights into one destination pixel add up to 1. Without
// wrapping the edge pixels keep their full weight. Sums of 0.00001 or less
// are dropped.
class TriangleWeights {
public:
    // False when memory runs out; n and m non-zero.
    bool Build(UINT n, UINT m, bool wrap);
    const WeightedIndex* Begin(UINT source) const { return &pairs_[first_[source]]; }
    const WeightedIndex* End(UINT source) const { return &pairs_[first_[source + 1]]; }
    // How many source indices feed destination index d.
    UINT Contributors(UINT d) const { return contributors_[d]; }

private:
    std::unique_ptr<WeightedIndex[]> pairs_;
    std::unique_ptr<UINT[]> first_;         // n + 1 offsets into pairs_
    std::unique_ptr<UINT[]> contributors_;  // m counts
};

}  // namespace valmere
