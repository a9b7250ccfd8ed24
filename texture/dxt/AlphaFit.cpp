// Endpoint fit for interpolated alpha: start from the value range, then up to
// eight Gauss-Newton steps on the squared error of the snapped values. The
// 16 values are handled as four Float4 lanes, with the skip rule as a mask.
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/Float4.h"

#include <utility>

namespace valmere {
namespace {

constexpr int kMaxRounds = 8;
constexpr float kSmallRange = 1.0f / 256.0f;
constexpr float kSmallGradient = 1.0f / 64.0f;

float HorizontalSum(Float4 v) { return (v[0] + v[1]) + (v[2] + v[3]); }

}  // namespace

void FitAlphaEndpoints(const float* values, int stepCount, float& lo, float& hi) {
    const bool six = stepCount == 6;
    lo = 1.0f;
    hi = 0.0f;
    Float4 v[4];
    for (int i = 0; i < 16; ++i) {
        const float x = values[i];
        v[i / 4][i % 4] = x;
        // In six-step mode 0 and 1 have entries of their own.
        if (six && (x <= 0.0f || x >= 1.0f)) continue;
        if (x < lo) lo = x;
        if (x > hi) hi = x;
    }

    // Palette position k weighs hi by T1 = k / (n - 1) and lo by
    // T0 = (n - 1 - k) / (n - 1).
    const float last = static_cast<float>(stepCount - 1);
    const Float4 zero = {0, 0, 0, 0};
    const Float4 lastLanes = zero + last;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (hi - lo < kSmallRange) break;
        const float toPosition = last / (hi - lo);
        const float nearZero = lo * 0.5f;         // at or below: the fixed 0 is nearer
        const float nearOne = (hi + 1.0f) * 0.5f;  // at or above: the fixed 1 is nearer
        Float4 g0 = zero, q0 = zero, g1 = zero, q1 = zero;
        for (int g = 0; g < 4; ++g) {
            const Float4 p = (v[g] - lo) * toPosition;
            const Float4 k = ToFloat4(TruncateLanes(Min4(Max4(p, zero), lastLanes) + 0.5f));
            const Float4 t1 = k / last;
            const Float4 t0 = (last - k) / last;
            const Float4 e = v[g] - (hi * t1 + lo * t0);
            Float4 used = zero + 1.0f;
            if (six) {
                const Int4 skip = (p <= 0.0f && nearZero >= v[g]) || (p >= last && nearOne <= v[g]);
                used = skip ? zero : used;
            }
            g0 += e * t0 * used;
            q0 += t0 * t0 * used;
            g1 += e * t1 * used;
            q1 += t1 * t1 * used;
        }
        const float gradient0 = HorizontalSum(g0), curvature0 = HorizontalSum(q0);
        const float gradient1 = HorizontalSum(g1), curvature1 = HorizontalSum(q1);
        if (curvature0 > 0.0f) lo += gradient0 / curvature0;
        if (curvature1 > 0.0f) hi += gradient1 / curvature1;
        if (lo > hi) std::swap(lo, hi);
        if (gradient0 * gradient0 < kSmallGradient && gradient1 * gradient1 < kSmallGradient) break;
    }
    lo = lo < 0.0f ? 0.0f : (lo > 1.0f ? 1.0f : lo);
    hi = hi < 0.0f ? 0.0f : (hi > 1.0f ? 1.0f : hi);
}

}  // namespace valmere
