// Endpoint fit for the colour half: bounding box, the box diagonal that best
// follows the colours, then up to eight Gauss-Newton steps that move the two
// endpoints towards the least-squares solution for the palette positions the
// colours snap to. Four blocks run side by side; a block whose fit has ended
// keeps its endpoints while the others go on.
#include "texture/dxt/ColorBlock.h"

#include <cfloat>

namespace valmere {
namespace {

constexpr float kSmallExtent = 1.0f / 4096.0f;     // 2^-12
constexpr float kSmallGradient = 1.0f / 65536.0f;  // 2^-16
constexpr int kMaxRefinements = 8;

// Picks the diagonal of the box [lo, hi] along which the colours spread most
// and orients lo/hi to its ends. `extent2` is |hi - lo|^2. With p the colour
// relative to the box centre, scaled by (hi - lo) / extent2, the candidates
// sum (p.r + p.g + p.b)^2, (p.r + p.g - p.b)^2, (p.r - p.g + p.b)^2 and
// (p.r - p.g - p.b)^2; the first largest wins. Bit 1 of the winner swaps
// green, bit 0 swaps blue.
void OrientDiagonal(const RgbLanes* colors, RgbLanes& lo, RgbLanes& hi, Float4 extent2) {
    const RgbLanes centre = (lo + hi) * (Float4{} + 0.5f);
    const RgbLanes d = hi - lo;
    const RgbLanes u = {d.r / extent2, d.g / extent2, d.b / extent2};
    Float4 sums[4] = {};
#pragma GCC unroll 16
    for (int i = 0; i < 16; ++i) {
        const RgbLanes p = (colors[i] - centre) * u;
        const Float4 plus = p.r + p.g;
        const Float4 minus = p.r - p.g;
        const Float4 s[4] = {plus + p.b, plus - p.b, minus + p.b, minus - p.b};
        for (int k = 0; k < 4; ++k) sums[k] += s[k] * s[k];
    }
    Float4 bestSum = sums[0];
    Int4 best = {};
    for (int k = 1; k < 4; ++k) {
        const Int4 better = sums[k] > bestSum;
        bestSum = better ? sums[k] : bestSum;
        best = better ? Int4{} + k : best;
    }
    const Int4 swapGreen = (best & 2) != 0;
    const Int4 swapBlue = (best & 1) != 0;
    const RgbLanes oldLo = lo;
    lo.g = swapGreen ? hi.g : lo.g;
    hi.g = swapGreen ? oldLo.g : hi.g;
    lo.b = swapBlue ? hi.b : lo.b;
    hi.b = swapBlue ? oldLo.b : hi.b;
}

// Gauss-Newton steps on the squared error of the colours snapped to their
// nearest palette position. Palette entry k is A * Ta[k] + B * Tb[k] with
// Tb[k] = k / (n - 1) and Ta[k] = 1 - Tb[k], so the gradients
//   GA = sum (palette[k] - v) Ta[k] / 8,  GB = sum (palette[k] - v) Tb[k] / 8
// and curvatures HA = sum Ta[k]^2 / 8, HB = sum Tb[k]^2 / 8 follow from the
// per-pass sums of Tb, Tb^2 and Tb * v (the sum of v is fixed). Only the
// blocks in `active` are refined.
void RefineEndpoints(const RgbLanes* colors, Int4 three, Int4 active, RgbLanes& a, RgbLanes& b) {
    RgbLanes sumV = {};
    for (int i = 0; i < 16; ++i) sumV = sumV + colors[i];
    const Float4 zero = {};
    const Float4 last = three ? zero + 2.0f : zero + 3.0f;
    const Float4 step = three ? zero + 0.5f : zero + kOneThird;  // Tb[1]
    for (int round = 0; round < kMaxRefinements; ++round) {
        const RgbLanes dir = b - a;
        const Float4 length2 = Dot(dir, dir);
        active &= ~(length2 < kSmallExtent);
        if (!AnyLane(active)) break;
        // Position of v: (v - A) . D * (n - 1) / |D|^2.
        const RgbLanes toPosition = dir * (last / length2);
        const Float4 offset = Dot(a, toPosition);

        PixelSum sumTb, sumTb2, sumTbR, sumTbG, sumTbB;
#pragma GCC unroll 16
        for (int i = 0; i < 16; ++i) {
            const RgbLanes& v = colors[i];
            const Float4 t = Dot(v, toPosition) - offset;
            // 0 at or below 0, the last position at or past it, else rounded.
            const Float4 clamped = Min4(Max4(t, zero), last);
            const Float4 tb = ToFloat4(TruncateInRange(clamped + 0.5f)) * step;
            sumTb.Add(i, tb);
            sumTb2.Add(i, tb * tb);
            sumTbR.Add(i, tb * v.r);
            sumTbG.Add(i, tb * v.g);
            sumTbB.Add(i, tb * v.b);
        }
        const Float4 tbSum = sumTb.Total();
        const Float4 tb2Sum = sumTb2.Total();
        const RgbLanes tbV = {sumTbR.Total(), sumTbG.Total(), sumTbB.Total()};
        const Float4 taTbSum = tbSum - tb2Sum;
        const Float4 ta2Sum = 16.0f - 2.0f * tbSum + tb2Sum;
        const Float4 eighth = zero + 0.125f;
        const RgbLanes ga = (a * ta2Sum + b * taTbSum - (sumV - tbV)) * eighth;
        const RgbLanes gb = (a * taTbSum + b * tb2Sum - tbV) * eighth;
        const Float4 ha = ta2Sum * 0.125f;
        const Float4 hb = tb2Sum * 0.125f;
        a = Select(active & (ha > 0.0f), a - RgbLanes{ga.r / ha, ga.g / ha, ga.b / ha}, a);
        b = Select(active & (hb > 0.0f), b - RgbLanes{gb.r / hb, gb.g / hb, gb.b / hb}, b);
        const RgbLanes ga2 = ga * ga;
        const RgbLanes gb2 = gb * gb;
        const Int4 settled = (ga2.r < kSmallGradient) & (ga2.g < kSmallGradient) & (ga2.b < kSmallGradient) &
                             (gb2.r < kSmallGradient) & (gb2.g < kSmallGradient) & (gb2.b < kSmallGradient);
        active &= ~settled;
    }
}

}  // namespace

void FitColorEndpoints(const RgbLanes* colors, Int4 three, RgbLanes& a, RgbLanes& b) {
    RgbLanes lo = Broadcast(kChannelWeights[0], kChannelWeights[1], kChannelWeights[2]);
    RgbLanes hi = {};
    for (int i = 0; i < 16; ++i) {
        lo = {Min4(lo.r, colors[i].r), Min4(lo.g, colors[i].g), Min4(lo.b, colors[i].b)};
        hi = {Max4(hi.r, colors[i].r), Max4(hi.g, colors[i].g), Max4(hi.b, colors[i].b)};
    }
    const RgbLanes d = hi - lo;
    const Float4 extent2 = Dot(d, d);
    // A box of (almost) no extent is its own answer; a small one is not
    // refined.
    const Int4 point = extent2 < FLT_MIN;
    RgbLanes orientedLo = lo;
    RgbLanes orientedHi = hi;
    OrientDiagonal(colors, orientedLo, orientedHi, extent2);
    a = Select(point, lo, orientedLo);
    b = Select(point, hi, orientedHi);
    RefineEndpoints(colors, three, ~(extent2 < kSmallExtent), a, b);
}

}  // namespace valmere
