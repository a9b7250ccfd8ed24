// A closed interval of reals, the reference's value for anything that more
// than one outcome of the per-pixel rules may give.
#pragma once

#include <algorithm>
#include <limits>

namespace valmere::reference {

struct Range {
    double lo = std::numeric_limits<double>::infinity();
    double hi = -std::numeric_limits<double>::infinity();

    static Range Of(double v) { return {v, v}; }
    static Range Of(double a, double b) { return {std::min(a, b), std::max(a, b)}; }
    bool Empty() const { return lo > hi; }
    bool Contains(double v) const { return v >= lo && v <= hi; }
    void Add(double v) {
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    void Add(const Range& r) {
        lo = std::min(lo, r.lo);
        hi = std::max(hi, r.hi);
    }
    Range Widened(double by) const { return {lo - by, hi + by}; }
    Range Clamped(double min, double max) const { return {std::clamp(lo, min, max), std::clamp(hi, min, max)}; }
    // Distance from v to the interval, 0 inside.
    double Distance(double v) const { return v < lo ? lo - v : (v > hi ? v - hi : 0.0); }
};

// A colour as four channel intervals in 8-bit units (0..255), in the order
// alpha, red, green, blue.
struct ColorRange {
    Range channel[4];
    void Add(const ColorRange& c) {
        for (int i = 0; i < 4; ++i) channel[i].Add(c.channel[i]);
    }
    static ColorRange Of(unsigned argb) {
        ColorRange c;
        for (int i = 0; i < 4; ++i) c.channel[i] = Range::Of(static_cast<double>((argb >> (24 - 8 * i)) & 0xFF));
        return c;
    }
};

}  // namespace valmere::reference
