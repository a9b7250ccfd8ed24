// Endpoint fit for interpolated alpha: start from the value range, then up to
// eight Gauss-Newton steps on the squared error of the snapped values.
#include "texture/dxt/AlphaBlock.h"

#include "texture/format/Quantize.h"

#include <utility>

namespace valmere {
namespace {

constexpr int kMaxRounds = 8;
constexpr float kSmallRange = 1.0f / 256.0f;
constexpr float kSmallGradient = 1.0f / 64.0f;

constexpr float kEightT0[8] = {1.0f, 6.0f / 7, 5.0f / 7, 4.0f / 7, 3.0f / 7, 2.0f / 7, 1.0f / 7, 0.0f};
constexpr float kEightT1[8] = {0.0f, 1.0f / 7, 2.0f / 7, 3.0f / 7, 4.0f / 7, 5.0f / 7, 6.0f / 7, 1.0f};
constexpr float kSixT0[6] = {1.0f, 0.8f, 0.6f, 0.4f, 0.2f, 0.0f};
constexpr float kSixT1[6] = {0.0f, 0.2f, 0.4f, 0.6f, 0.8f, 1.0f};

}  // namespace

void FitAlphaEndpoints(const float* values, int stepCount, float& lo, float& hi) {
    const bool six = stepCount == 6;
    lo = 1.0f;
    hi = 0.0f;
    for (int i = 0; i < 16; ++i) {
        const float v = values[i];
        // In six-step mode 0 and 1 have entries of their own.
        if (six && (v <= 0.0f || v >= 1.0f)) continue;
        if (v < lo) lo = v;
        if (v > hi) hi = v;
    }

    const float* t0 = six ? kSixT0 : kEightT0;
    const float* t1 = six ? kSixT1 : kEightT1;
    const int last = stepCount - 1;
    for (int round = 0; round < kMaxRounds; ++round) {
        if (hi - lo < kSmallRange) break;
        float palette[8];
        for (int k = 0; k < stepCount; ++k) palette[k] = hi * t1[k] + lo * t0[k];
        const float toPosition = static_cast<float>(last) / (hi - lo);
        float g0 = 0.0f, q0 = 0.0f, g1 = 0.0f, q1 = 0.0f;
        for (int i = 0; i < 16; ++i) {
            const float v = values[i];
            const float p = (v - lo) * toPosition;
            int k;
            if (p <= 0.0f) {
                if (six && lo * 0.5f >= v) continue;  // nearer the fixed 0
                k = 0;
            } else if (p >= static_cast<float>(last)) {
                if (six && (hi + 1.0f) * 0.5f <= v) continue;  // nearer the fixed 1
                k = last;
            } else {
                k = TruncateTowardZero(p + 0.5f);
            }
            const float e = v - palette[k];
            g0 += e * t0[k];
            q0 += t0[k] * t0[k];
            g1 += e * t1[k];
            q1 += t1[k] * t1[k];
        }
        if (q0 > 0.0f) lo += g0 / q0;
        if (q1 > 0.0f) hi += g1 / q1;
        if (lo > hi) std::swap(lo, hi);
        if (g0 * g0 < kSmallGradient && g1 * g1 < kSmallGradient) break;
    }
    lo = ClampChannel(lo, 0.0f, 1.0f);
    hi = ClampChannel(hi, 0.0f, 1.0f);
}

}  // namespace valmere
