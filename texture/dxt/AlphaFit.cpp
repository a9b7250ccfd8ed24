// Endpoint fit for interpolated alpha: start from the value range, then up to
// eight Gauss-Newton steps on the squared error of the snapped values. Four
// blocks run side by side; a block whose fit has ended keeps its endpoints
// while the others go on. The skip rule of six-step blocks is a mask.
#include "texture/dxt/AlphaBlock.h"

namespace valmere {
namespace {

constexpr int kMaxRounds = 8;
constexpr float kSmallRange = 1.0f / 256.0f;
constexpr float kSmallGradient = 1.0f / 64.0f;

}  // namespace

void FitAlphaEndpoints(const Float4* values, Int4 six, Float4& lo, Float4& hi) {
    const Float4 zero = {};
    const Float4 one = zero + 1.0f;
    lo = one;
    hi = zero;
    for (int i = 0; i < 16; ++i) {
        const Float4 x = values[i];
        // In six-step mode 0 and 1 have entries of their own.
        const Int4 counted = ~(six & ((x <= 0.0f) | (x >= 1.0f)));
        lo = (counted & (x < lo)) ? x : lo;
        hi = (counted & (x > hi)) ? x : hi;
    }

    // Palette position k weighs hi by T1 = k / (n - 1) and lo by
    // T0 = (n - 1 - k) / (n - 1).
    const Float4 last = six ? zero + 5.0f : zero + 7.0f;
    Int4 active = ~Int4{};
    for (int round = 0; round < kMaxRounds; ++round) {
        active &= ~(hi - lo < kSmallRange);
        if (!AnyLane(active)) break;
        const Float4 toPosition = last / (hi - lo);
        const Float4 nearZero = lo * 0.5f;         // at or below: the fixed 0 is nearer
        const Float4 nearOne = (hi + 1.0f) * 0.5f;  // at or above: the fixed 1 is nearer
        PixelSum g0, q0, g1, q1;
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            const Float4 v = values[i];
            const Float4 p = (v - lo) * toPosition;
            const Float4 k = ToFloat4(TruncateInRange(Min4(Max4(p, zero), last) + 0.5f));
            const Float4 t1 = k / last;
            const Float4 t0 = (last - k) / last;
            const Float4 e = v - (hi * t1 + lo * t0);
            const Int4 skip = six & (((p <= 0.0f) & (nearZero >= v)) | ((p >= last) & (nearOne <= v)));
            const Float4 used = skip ? zero : one;
            g0.Add(i, e * t0 * used);
            q0.Add(i, t0 * t0 * used);
            g1.Add(i, e * t1 * used);
            q1.Add(i, t1 * t1 * used);
        }
        const Float4 gradient0 = g0.Total(), curvature0 = q0.Total();
        const Float4 gradient1 = g1.Total(), curvature1 = q1.Total();
        Float4 newLo = curvature0 > 0.0f ? lo + gradient0 / curvature0 : lo;
        Float4 newHi = curvature1 > 0.0f ? hi + gradient1 / curvature1 : hi;
        const Int4 swapped = newLo > newHi;
        const Float4 oldLo = newLo;
        newLo = swapped ? newHi : newLo;
        newHi = swapped ? oldLo : newHi;
        lo = active ? newLo : lo;
        hi = active ? newHi : hi;
        active &= ~((gradient0 * gradient0 < kSmallGradient) & (gradient1 * gradient1 < kSmallGradient));
    }
    lo = lo < 0.0f ? zero : (lo > 1.0f ? one : lo);
    hi = hi < 0.0f ? zero : (hi > 1.0f ? one : hi);
}

}  // namespace valmere
