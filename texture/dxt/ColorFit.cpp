// Endpoint fit for the colour half: bounding box, the box diagonal that best
// follows the colours, then up to eight Gauss-Newton steps that move the two
// endpoints towards the least-squares solution for the palette positions the
// colours snap to.
#include "texture/dxt/ColorBlock.h"

#include "texture/format/Quantize.h"

#include <cfloat>
#include <utility>

namespace valmere {
namespace {

constexpr float kSmallExtent = 1.0f / 4096.0f;     // 2^-12
constexpr float kSmallGradient = 1.0f / 65536.0f;  // 2^-16
constexpr int kMaxRefinements = 8;

// Palette position weights of endpoint A (Ta) and B (Tb).
constexpr float kFourTa[4] = {1.0f, 2.0f / 3.0f, 1.0f / 3.0f, 0.0f};
constexpr float kFourTb[4] = {0.0f, 1.0f / 3.0f, 2.0f / 3.0f, 1.0f};
constexpr float kThreeTa[3] = {1.0f, 0.5f, 0.0f};
constexpr float kThreeTb[3] = {0.0f, 0.5f, 1.0f};

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

    const bool four = colorCount == 4;
    const float* ta = four ? kFourTa : kThreeTa;
    const float* tb = four ? kFourTb : kThreeTb;
    const int last = colorCount - 1;
    for (int round = 0; round < kMaxRefinements; ++round) {
        const Rgb dir = b - a;
        const float length2 = Dot(dir, dir);
        if (length2 < kSmallExtent) break;
        Rgb palette[4];
        for (int k = 0; k < colorCount; ++k) palette[k] = a * ta[k] + b * tb[k];
        const float toPosition = static_cast<float>(last) / length2;

        Rgb ga = {0, 0, 0};
        Rgb gb = {0, 0, 0};
        float ha = 0.0f;
        float hb = 0.0f;
        for (int i = 0; i < 16; ++i) {
            const Rgb v = colors[i];
            const float t = Dot(v - a, dir) * toPosition;
            int k = 0;
            if (t >= static_cast<float>(last)) {
                k = last;
            } else if (t > 0.0f) {
                k = TruncateTowardZero(t + 0.5f);
            }
            const Rgb e = palette[k] - v;
            ga = ga + e * (ta[k] * 0.125f);
            ha += ta[k] * ta[k] * 0.125f;
            gb = gb + e * (tb[k] * 0.125f);
            hb += tb[k] * tb[k] * 0.125f;
        }
        if (ha > 0.0f) a = a - Rgb{ga.r / ha, ga.g / ha, ga.b / ha};
        if (hb > 0.0f) b = b - Rgb{gb.r / hb, gb.g / hb, gb.b / hb};
        const bool settled = Square(ga.r) < kSmallGradient && Square(ga.g) < kSmallGradient &&
                             Square(ga.b) < kSmallGradient && Square(gb.r) < kSmallGradient &&
                             Square(gb.g) < kSmallGradient && Square(gb.b) < kSmallGradient;
        if (settled) break;
    }
}

}  // namespace valmere
