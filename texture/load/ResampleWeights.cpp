#include "texture/load/ResampleWeights.h"

#include <cmath>

#include "texture/load/TryAllocate.h"

namespace valmere {
namespace {

// The float nearest to v in the direction of zero: what a floating-point
// unit rounding toward zero stores. Products and differences of two floats
// are exact in double (below 2^29), so one rounding is all that happens.
float RoundTowardZero(double v) {
    float f = static_cast<float>(v);
    if (std::fabs(static_cast<double>(f)) > std::fabs(v)) f = std::nextafter(f, 0.0f);
    return f;
}

}  // namespace

std::unique_ptr<LinearTap[]> LinearTaps(UINT n, UINT m, bool wrap) {
    auto taps = TryAllocate<LinearTap>(m);
    if (!taps) return nullptr;
    const float scale = RoundTowardZero(static_cast<double>(n) / m);
    for (UINT i = 0; i < m; ++i) {
        const float x = RoundTowardZero(static_cast<double>(RoundTowardZero(static_cast<double>(i) * scale)) - 0.5);
        const float f = std::floor(x);
        const float frac = x - f;
        auto i0 = static_cast<long long>(f);
        long long i1 = i0 + 1;
        if (i0 < 0) i0 = wrap ? n - 1 : 0;
        if (i1 >= n) i1 = wrap ? 0 : n - 1;
        taps[i] = {static_cast<UINT>(i0), RoundTowardZero(1.0 - frac), static_cast<UINT>(i1), frac};
    }
    return taps;
}

bool TriangleWeights::Build(UINT n, UINT m, bool wrap) {
    const float s = static_cast<float>(m) / static_cast<float>(n);
    // Each half of a tent spans s destination cells, so it touches at most
    // ceil(s) + 1 of them.
    const std::size_t perHalf = static_cast<std::size_t>(std::ceil(s)) + 2;
    pairs_ = TryAllocate<WeightedIndex>(std::size_t{n} * 2 * perHalf);
    first_ = TryAllocate<UINT>(std::size_t{n} + 1);
    contributors_ = TryAllocate<UINT>(m);
    if (!pairs_ || !first_ || !contributors_) return false;
    for (UINT d = 0; d < m; ++d) contributors_[d] = 0;

    const auto mf = static_cast<float>(m);
    UINT count = 0;
    for (UINT i = 0; i < n; ++i) {
        first_[i] = count;
        for (int h = 0; h < 2; ++h) {
            const float g = static_cast<float>(i) - 0.5f + static_cast<float>(h);
            float l = g * s;
            float o = l + s;
            if (!wrap) {
                if (l < 0.0f) l = 0.0f;
                if (o > mf) o = mf;
            }
            for (auto k = static_cast<long long>(std::floor(l)); static_cast<float>(k) < o; ++k) {
                const float kf = static_cast<float>(k);
                const float w = l > kf ? l : kf;
                const float e = o < kf + 1.0f ? o : kf + 1.0f;
                float b = (w + e) * 0.5f / s - g;
                if (!wrap && g < 0.0f) b = 1.0f;
                if (!wrap && g + 1.0f >= static_cast<float>(n)) b = 0.0f;
                const float weight = (h == 0 ? b : 1.0f - b) * (e - w);
                const auto cell = static_cast<UINT>(k < 0 ? k + m : (k >= m ? k - m : k));
                if (count > first_[i] && pairs_[count - 1].index == cell)
                    pairs_[count - 1].weight += weight;
                else
                    pairs_[count++] = {cell, weight};
            }
        }
        // Drop what carries (next to) nothing.
        UINT kept = first_[i];
        for (UINT p = first_[i]; p < count; ++p)
            if (pairs_[p].weight > 0.00001f) pairs_[kept++] = pairs_[p];
        count = kept;
        for (UINT p = first_[i]; p < count; ++p) ++contributors_[pairs_[p].index];
    }
    first_[n] = count;
    return true;
}

}  // namespace valmere
