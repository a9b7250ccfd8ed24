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

float Square(float v) { return v * v; }

// Picks the diagonal of the box [lo, hi] along which the colours spread most
// and orients lo/hi to its ends. `extent2` is |hi - lo|^2.
void OrientDiagonal(const Rgb* colors, Rgb& lo, Rgb& hi, float extent2) {
    const Rgb centre = (lo + hi) * 0.5f;
    const Rgb d = hi - lo;
    const Rgb u = {d.r / extent2, d.g / extent2, d.b / extent2};
    float sums[4] = {0, 0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const Rgb p = (colors[i] - centre) * u;
        sums[0] += Square(p.r + p.g + p.b);
        sums[1] += Square(p.r + p.g - p.b);
        sums[2] += Square(p.r - p.g + p.b);
        sums[3] += Square(p.r - p.g - p.b);
    }
    int best = 0;
    for (int k = 1; k < 4; ++k) {
        if (sums[k] > sums[best]) best = k;
    }
    if (best & 2) std::swap(lo.g, hi.g);
    if (best & 1) std::swap(lo.b, hi.b);
}

// Gauss-Newton steps on the squared error of the colours snapped to their
// nearest palette position. Palette entry k is A * Ta[k] + B * Tb[k] with
// Tb[k] = k / (n - 1) and Ta[k] = 1 - Tb[k], so the gradients
//   GA = sum (palette[k] - v) Ta[k] / 8,  GB = sum (palette[k] - v) Tb[k] / 8
// and curvatures HA = sum Ta[k]^2 / 8, HB = sum Tb[k]^2 / 8 follow from the
// per-pass sums of Tb, Tb^2 and Tb * v (the sum of v is fixed). The pixel loop
// is then branch-free and vectorises.
void RefineEndpoints(const Rgb* colors, int colorCount, Rgb& a, Rgb& b) {
    float r[16], g[16], bl[16];
    Rgb sumV = {0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        r[i] = colors[i].r;
        g[i] = colors[i].g;
        bl[i] = colors[i].b;
        sumV = sumV + colors[i];
    }
    const float last = static_cast<float>(colorCount - 1);
    const float step = colorCount == 4 ? kOneThird : 0.5f;  // Tb[1]
    for (int round = 0; round < kMaxRefinements; ++round) {
        const Rgb dir = b - a;
        const float length2 = Dot(dir, dir);
        if (length2 < kSmallExtent) break;
        // Position of v: (v - A) . D * (n - 1) / |D|^2.
        const Rgb toPosition = dir * (last / length2);
        const float offset = Dot(a, toPosition);

        // Four partial sums per quantity (pixel i adds to lane i % 4), so the
        // compiler can keep the lanes in one vector register.
        float lanes[5][4] = {};
        for (int i = 0; i < 16; i += 4) {
            for (int l = 0; l < 4; ++l) {
                const int p = i + l;
                const float t = r[p] * toPosition.r + g[p] * toPosition.g + bl[p] * toPosition.b - offset;
                // 0 at or below 0, the last position at or past it, else rounded.
                const float clamped = t > 0.0f ? (t < last ? t : last) : 0.0f;
                const float tb = static_cast<float>(static_cast<int>(clamped + 0.5f)) * step;
                lanes[0][l] += tb;
                lanes[1][l] += tb * tb;
                lanes[2][l] += tb * r[p];
                lanes[3][l] += tb * g[p];
                lanes[4][l] += tb * bl[p];
            }
        }
        float sums[5];
        for (int q = 0; q < 5; ++q) sums[q] = (lanes[q][0] + lanes[q][1]) + (lanes[q][2] + lanes[q][3]);
        const float sumTb = sums[0], sumTb2 = sums[1], sumTbR = sums[2], sumTbG = sums[3], sumTbB = sums[4];
        const Rgb sumTbV = {sumTbR, sumTbG, sumTbB};
        const float sumTaTb = sumTb - sumTb2;
        const float sumTa2 = 16.0f - 2.0f * sumTb + sumTb2;
        const Rgb ga = (a * sumTa2 + b * sumTaTb - (sumV - sumTbV)) * 0.125f;
        const Rgb gb = (a * sumTaTb + b * sumTb2 - sumTbV) * 0.125f;
        const float ha = sumTa2 * 0.125f;
        const float hb = sumTb2 * 0.125f;
        if (ha > 0.0f) a = a - Rgb{ga.r / ha, ga.g / ha, ga.b / ha};
        if (hb > 0.0f) b = b - Rgb{gb.r / hb, gb.g / hb, gb.b / hb};
        const bool settled = Square(ga.r) < kSmallGradient && Square(ga.g) < kSmallGradient &&
                             Square(ga.b) < kSmallGradient && Square(gb.r) < kSmallGradient &&
                             Square(gb.g) < kSmallGradient && Square(gb.b) < kSmallGradient;
        if (settled) break;
    }
}

}  // namespace

void FitColorEndpoints(const Rgb* colors, int colorCount, Rgb& a, Rgb& b) {
    Rgb lo = kChannelWeights;
    Rgb hi = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 16; ++i) {
        const Rgb c = colors[i];
        if (c.r < lo.r) lo.r = c.r;
        if (c.g < lo.g) lo.g = c.g;
        if (c.b < lo.b) lo.b = c.b;
        if (c.r > hi.r) hi.r = c.r;
        if (c.g > hi.g) hi.g = c.g;
        if (c.b > hi.b) hi.b = c.b;
    }
    const Rgb d = hi - lo;
    const float extent2 = Dot(d, d);
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
