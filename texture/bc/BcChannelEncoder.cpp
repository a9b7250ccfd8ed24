#include "texture/bc/BcChannelEncoder.h"

#include <algorithm>
#include <cmath>

namespace valmere::bc {
namespace {

// A candidate block: endpoint codes and mode. Eight steps: e0 > e1 and the
// palette runs evenly from e1 (position 0, index 1) to e0 (position 7,
// index 0), positions 1..6 being indices 7..2. Six steps: e0 <= e1, evenly
// from e0 (position 0, index 0) to e1 (position 5, index 1), positions 1..4
// being indices 2..5, with the range's ends as indices 6 and 7.
struct Candidate {
    int e0 = 0;
    int e1 = 0;
    bool six = false;
    float error = 3.0e38f;
    std::uint8_t index[16] = {};
};

struct Range {
    float low, high;  // 0, 255 or -127, 127
};

// Indices and error of a candidate.
void Evaluate(Candidate& c, const float* v, Range range) {
    const float from = static_cast<float>(c.six ? c.e0 : c.e1);
    const float to = static_cast<float>(c.six ? c.e1 : c.e0);
    const int steps = c.six ? 5 : 7;
    const float span = to - from;
    const float toPosition = span > 0 ? static_cast<float>(steps) / span : 0.0f;
    float error = 0;
    for (int i = 0; i < 16; ++i) {
        const float t = std::clamp((v[i] - from) * toPosition, 0.0f, static_cast<float>(steps));
        const int p = static_cast<int>(t + 0.5f);
        const float e = v[i] - (from + span * static_cast<float>(p) / static_cast<float>(steps));
        float best = e * e;
        int index = c.six ? (p == 0 ? 0 : (p == 5 ? 1 : p + 1)) : (p == 0 ? 1 : (p == 7 ? 0 : 8 - p));
        if (c.six) {
            const float toLow = v[i] - range.low, toHigh = v[i] - range.high;
            if (toLow * toLow < best) {
                best = toLow * toLow;
                index = 6;
            }
            if (toHigh * toHigh < best) {
                best = toHigh * toHigh;
                index = 7;
            }
        }
        c.index[i] = static_cast<std::uint8_t>(index);
        error += best;
    }
    c.error = error;
}

// The position of each index from the first endpoint of the interpolation
// (e1 with eight steps, e0 with six), as a fraction; -1 for the fixed ends.
float Fraction(const Candidate& c, int index) {
    if (c.six) return index == 0 ? 0.0f : (index == 1 ? 1.0f : (index <= 5 ? (index - 1) / 5.0f : -1.0f));
    return index == 1 ? 0.0f : (index == 0 ? 1.0f : (8 - index) / 7.0f);
}

// Least-squares endpoints (from, to) of the interpolation for the
// candidate's indices; false where they are not determined.
bool FitEndpoints(const Candidate& c, const float* v, float& from, float& to) {
    double aa = 0, bb = 0, ab = 0, ax = 0, bx = 0;
    for (int i = 0; i < 16; ++i) {
        const float f = Fraction(c, c.index[i]);
        if (f < 0) continue;
        const double b = f, a = 1.0 - f;
        aa += a * a;
        bb += b * b;
        ab += a * b;
        ax += a * v[i];
        bx += b * v[i];
    }
    const double det = aa * bb - ab * ab;
    if (det < 1e-9) return false;
    from = static_cast<float>((ax * bb - bx * ab) / det);
    to = static_cast<float>((bx * aa - ax * ab) / det);
    return true;
}

}  // namespace

void EncodeChannelBlock(const float* values, bool isSigned, std::uint8_t* block) {
    const Range range = isSigned ? Range{-127.0f, 127.0f} : Range{0.0f, 255.0f};
    float v[16];
    // NaN becomes the low end (std::clamp keeps NaN; the comparison does not).
    for (int i = 0; i < 16; ++i) v[i] = values[i] >= range.low ? std::min(values[i], range.high) : range.low;
    const float low = *std::min_element(v, v + 16), high = *std::max_element(v, v + 16);
    const int lowest = static_cast<int>(range.low), highest = static_cast<int>(range.high);
    auto clampCode = [&](int code) { return std::clamp(code, lowest, highest); };

    // The best of each mode: within `reach` codes of given extremes (with
    // eight steps the best pair of a ramp may lie a few codes inside), then
    // within a code of the least-squares endpoints of the best candidate's
    // indices while that keeps improving.
    auto search = [&](bool six, float from, float to, int reach) {
        Candidate best;
        auto consider = [&](int f, int t) {
            Candidate c;
            c.six = six;
            if (six ? f > t : f >= t) return;
            c.e0 = six ? f : t;
            c.e1 = six ? t : f;
            Evaluate(c, v, range);
            if (c.error < best.error) best = c;
        };
        auto around = [&](int f, int t, int distance) {
            for (int df = -distance; df <= distance; ++df) {
                for (int dt = -distance; dt <= distance; ++dt) consider(clampCode(f + df), clampCode(t + dt));
            }
        };
        around(static_cast<int>(std::floor(from)), static_cast<int>(std::ceil(to)), reach);
        for (int round = 0; round < 8 && best.error < 3.0e38f; ++round) {
            float lsFrom = 0, lsTo = 0;
            if (!FitEndpoints(best, v, lsFrom, lsTo)) break;
            const float before = best.error;
            around(static_cast<int>(std::lround(lsFrom)), static_cast<int>(std::lround(lsTo)), 1);
            if (!(best.error < before)) break;
        }
        return best;
    };
    Candidate best = search(false, low, high, 4);
    // Six steps around the extremes of the values left to the interpolated
    // entries: those more than half a code from the range's ends, or more
    // than a sixth of the range (the nearer ones may do better on the fixed
    // entries).
    for (float margin : {0.5f, (range.high - range.low) / 6.0f}) {
        float innerLow = range.high, innerHigh = range.low;
        for (float x : v) {
            if (x > range.low + margin && x < range.high - margin) {
                innerLow = std::min(innerLow, x);
                innerHigh = std::max(innerHigh, x);
            }
        }
        if (innerLow > innerHigh) innerLow = innerHigh = (range.low + range.high) / 2;
        const Candidate six = search(true, innerLow, innerHigh, 2);
        if (six.error < best.error) best = six;
    }

    block[0] = static_cast<std::uint8_t>(best.e0);
    block[1] = static_cast<std::uint8_t>(best.e1);
    std::uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= static_cast<std::uint64_t>(best.index[i]) << (3 * i);
    for (int b = 0; b < 6; ++b) block[2 + b] = static_cast<std::uint8_t>(bits >> (8 * b));
}

}  // namespace valmere::bc
