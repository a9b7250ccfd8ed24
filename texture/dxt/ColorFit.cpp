// Endpoint fit for the colour half: bounding box, the box diagonal that best
// follows the colours, then up to eight Gauss-Newton steps that move the two
// endpoints towards the least-squares solution for the palette positions the
// colours snap to.
#include "texture/dxt/ColorBlock.h"

#include <cfloat>
#include <utility>

namespace valmere {
namespace {

constexpr float kSmallExtent = 1.0f / 4096.0f;     // 2^-12
constexpr float kSmallGradient = 1.0f / 65536.0f;  // 2^-16
constexpr int kMaxRefinements = 8;

float HorizontalSum(Float4 v) { return (v[0] + v[1]) + (v[2] + v[3]); }

// Picks the diagonal of the box [lo, hi] along which the colours spread most
// and orients lo/hi to its ends. `extent2` is |hi - lo|^2. The four candidate
// diagonals' sums are the lanes of one vector:
//   S0 = (p.r + p.g + p.b)^2, S1 = (p.r + p.g - p.b)^2,
//   S2 = (p.r - p.g + p.b)^2, S3 = (p.r - p.g - p.b)^2.
void OrientDiagonal(const Float4* colors, Float4& lo, Float4& hi, float extent2) {
    const Float4 centre = (lo + hi) * 0.5f;
    const Float4 u = (hi - lo) / extent2;
    constexpr Float4 kGreenSign = {1, 1, -1, -1};
    constexpr Float4 kBlueSign = {1, -1, 1, -1};
    Float4 sums = {0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const Float4 p = (colors[i] - centre) * u;
        const Float4 s = p[0] + p[1] * kGreenSign + p[2] * kBlueSign;
        sums += s * s;
    }
    int best = 0;
    for (int k = 1; k < 4; ++k) {
        if (sums[k] > sums[best]) best = k;
    }
    if (best & 2) std::swap(lo[1], hi[1]);
    if (best & 1) std::swap(lo[2], hi[2]);
}

// Gauss-Newton steps on the squared error of the colours snapped to their
// nearest palette position. Palette entry k is A * Ta[k] + B * Tb[k] with
// Tb[k] = k / (n - 1) and Ta[k] = 1 - Tb[k], so the gradients
//   GA = sum (palette[k] - v) Ta[k] / 8,  GB = sum (palette[k] - v) Tb[k] / 8
// and curvatures HA = sum Ta[k]^2 / 8, HB = sum Tb[k]^2 / 8 follow from the
// per-pass sums of Tb, Tb^2 and Tb * v (the sum of v is fixed). The pixel loop
// runs on four pixels per vector without branches.
void RefineEndpoints(const Float4* colors, int colorCount, Float4& a, Float4& b) {
    Float4 red[4], green[4], blue[4];
    Float4 sumV = {0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        red[i / 4][i % 4] = colors[i][0];
        green[i / 4][i % 4] = colors[i][1];
        blue[i / 4][i % 4] = colors[i][2];
        sumV += colors[i];
    }
    const float last = static_cast<float>(colorCount - 1);
    const float step = colorCount == 4 ? kOneThird : 0.5f;  // Tb[1]
    const Float4 zero = {0, 0, 0, 0};
    const Float4 lastLanes = zero + last;
    for (int round = 0; round < kMaxRefinements; ++round) {
        const Float4 dir = b - a;
        const float length2 = Dot3(dir, dir);
        if (length2 < kSmallExtent) break;
        // Position of v: (v - A) . D * (n - 1) / |D|^2.
        const Float4 toPosition = dir * (last / length2);
        const float offset = Dot3(a, toPosition);

        Float4 sumTb = zero, sumTb2 = zero, sumTbR = zero, sumTbG = zero, sumTbB = zero;
        for (int g = 0; g < 4; ++g) {
            const Float4 t = red[g] * toPosition[0] + green[g] * toPosition[1] + blue[g] * toPosition[2] - offset;
            // 0 at or below 0, the last position at or past it, else rounded.
            const Float4 clamped = Min4(Max4(t, zero), lastLanes);
            const Float4 tb = ToFloat4(TruncateLanes(clamped + 0.5f)) * step;
            sumTb += tb;
            sumTb2 += tb * tb;
            sumTbR += tb * red[g];
            sumTbG += tb * green[g];
            sumTbB += tb * blue[g];
        }
        const float tbSum = HorizontalSum(sumTb);
        const float tb2Sum = HorizontalSum(sumTb2);
        const Float4 tbV = {HorizontalSum(sumTbR), HorizontalSum(sumTbG), HorizontalSum(sumTbB), 0.0f};
        const float taTbSum = tbSum - tb2Sum;
        const float ta2Sum = 16.0f - 2.0f * tbSum + tb2Sum;
        const Float4 ga = (a * ta2Sum + b * taTbSum - (sumV - tbV)) * 0.125f;
        const Float4 gb = (a * taTbSum + b * tb2Sum - tbV) * 0.125f;
        const float ha = ta2Sum * 0.125f;
        const float hb = tb2Sum * 0.125f;
        if (ha > 0.0f) a -= ga / ha;
        if (hb > 0.0f) b -= gb / hb;
        const Float4 ga2 = ga * ga;
        const Float4 gb2 = gb * gb;
        const bool settled = ga2[0] < kSmallGradient && ga2[1] < kSmallGradient && ga2[2] < kSmallGradient &&
                             gb2[0] < kSmallGradient && gb2[1] < kSmallGradient && gb2[2] < kSmallGradient;
        if (settled) break;
    }
}

}  // namespace

void FitColorEndpoints(const Float4* colors, int colorCount, Float4& a, Float4& b) {
    Float4 lo = kChannelWeights;
    Float4 hi = {0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        lo = Min4(lo, colors[i]);
        hi = Max4(hi, colors[i]);
    }
    const Float4 d = hi - lo;
    const float extent2 = Dot3(d, d);
    if (extent2 < FLT_MIN) {
        a = lo;
        b = hi;
        return;
    }
    OrientDiagonal(colors, lo, hi, extent2);
    a = lo;
    b = hi;
    if (extent2 < kSmallExtent) return;
    RefineEndpoints(colors, colorCount, a, b);
}

}  // namespace valmere
