#include "texture/mip/AreaHalving.h"

#include <algorithm>
#include <vector>

namespace valmere {
namespace {

// The source pixels and weights of one destination pixel along an axis.
struct Taps {
    UINT first = 0;
    UINT count = 0;
    float weight[4] = {};
};

std::vector<Taps> AxisTaps(UINT n) {
    const UINT m = std::max(1u, n / 2);
    std::vector<Taps> taps(m);
    const double span = static_cast<double>(n) / m;
    for (UINT d = 0; d < m; ++d) {
        const double from = d * span, to = (d + 1) * span;
        Taps& t = taps[d];
        t.first = static_cast<UINT>(from);
        for (UINT s = t.first; s < n && s < to && t.count < 4; ++s) {
            const double overlap = std::min<double>(s + 1, to) - std::max<double>(s, from);
            t.weight[t.count++] = static_cast<float>(overlap / span);
        }
    }
    return taps;
}

// Filters `count` lines of `length` source pixels, `stride` pixels apart
// within a line and `lineStep` between lines, into lines of taps.size()
// pixels laid out alike in `out`.
void FilterLines(const D3DXCOLOR* in, D3DXCOLOR* out, const std::vector<Taps>& taps, std::size_t count,
                 std::size_t inLineStep, std::size_t outLineStep, std::size_t stride) {
    for (std::size_t line = 0; line < count; ++line) {
        const D3DXCOLOR* source = in + line * inLineStep;
        D3DXCOLOR* destination = out + line * outLineStep;
        for (std::size_t d = 0; d < taps.size(); ++d) {
            const Taps& t = taps[d];
            D3DXCOLOR sum(0, 0, 0, 0);
            for (UINT k = 0; k < t.count; ++k) sum += source[(t.first + k) * stride] * t.weight[k];
            destination[d * stride] = sum;
        }
    }
}

}  // namespace

ColorImage HalveArea(const ColorImage& image) {
    const UINT w = image.width, h = image.height, d = image.depth;
    const std::vector<Taps> xTaps = AxisTaps(w), yTaps = AxisTaps(h), zTaps = AxisTaps(d);
    const UINT w2 = static_cast<UINT>(xTaps.size()), h2 = static_cast<UINT>(yTaps.size());
    const UINT d2 = static_cast<UINT>(zTaps.size());
    // x, then y, one destination row at a time: only the source rows it
    // covers (four at most) are filtered across, so the working memory is a
    // few rows rather than half the image.
    std::vector<D3DXCOLOR> across(std::size_t{w2} * 4);
    std::vector<D3DXCOLOR> down(std::size_t{w2} * h2 * d);
    std::vector<Taps> rows(1);  // the destination row's taps, on `across`
    for (UINT z = 0; z < d; ++z) {
        for (UINT y = 0; y < h2; ++y) {
            const Taps& t = yTaps[y];
            FilterLines(image.pixels.data() + (std::size_t{z} * h + t.first) * w, across.data(), xTaps, t.count, w, w2, 1);
            rows[0] = t;
            rows[0].first = 0;
            FilterLines(across.data(), down.data() + (std::size_t{z} * h2 + y) * w2, rows, w2, 1, 1, w2);
        }
    }
    ColorImage next;
    next.width = w2;
    next.height = h2;
    next.depth = d2;
    if (d == d2) {
        next.pixels = std::move(down);
        return next;
    }
    // z: every pixel position through the slices.
    next.pixels.resize(std::size_t{w2} * h2 * d2);
    const std::size_t slice = std::size_t{w2} * h2;
    FilterLines(down.data(), next.pixels.data(), zTaps, slice, 1, 1, slice);
    return next;
}

}  // namespace valmere
