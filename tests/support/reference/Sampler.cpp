// The sampling rules: texel i covers u in [i / width, (i + 1) / width), so
// its centre is at (i + 0.5) / width. Point sampling takes texel
// floor(u width); bilinear blends texels floor(u width - 0.5) and the next by
// the fraction. Addressing maps each texel index on its own axis.
//
// Level selection: lod <= 0 magnifies with D3DTSS_MAGFILTER, lod > 0 minifies
// with D3DTSS_MINFILTER. Magnifying, or without a mip filter, samples level
// D3DTSS_MAXMIPLEVEL (clamped to the last); otherwise lod is clamped to
// MAXMIPLEVEL..last and the point mip filter takes level floor(lod + 0.5),
// the linear one blends floor(lod) and the next by the fraction.
#include "tests/support/reference/Sampler.h"

#include <cmath>
#include <cstdlib>

#include "tests/support/reference/Bound.h"

namespace valmere::reference {
namespace {

// The texel index that an address mode reads for index i of an axis of n
// texels, or -1 for the border colour.
int Address(DWORD mode, int i, int n) {
    switch (mode) {
    case D3DTADDRESS_WRAP:
        return ((i % n) + n) % n;
    case D3DTADDRESS_MIRROR: {
        const int m = ((i % (2 * n)) + 2 * n) % (2 * n);
        return m < n ? m : 2 * n - 1 - m;
    }
    case D3DTADDRESS_CLAMP:
        return i < 0 ? 0 : (i >= n ? n - 1 : i);
    case D3DTADDRESS_BORDER:
        return i < 0 || i >= n ? -1 : i;
    case D3DTADDRESS_MIRRORONCE: {
        const int m = i < 0 ? -i - 1 : i;
        return m >= n ? n - 1 : m;
    }
    default:
        std::abort();  // refused when the state is read
    }
}

struct Texels {
    const TextureLevel& level;
    const StageState& stage;
    std::uint32_t At(int i, int j) const {
        const int x = Address(stage.addressU, i, level.width), y = Address(stage.addressV, j, level.height);
        return x < 0 || y < 0 ? stage.borderColor : level.At(x, y);
    }
};

double Channel(std::uint32_t argb, int c) { return static_cast<double>((argb >> (24 - 8 * c)) & 0xFF); }

// Every texel with an index in [i0, i1] x [j0, j1]: a superset of what any
// filter reads over a box that spans more than one texel edge.
ColorRange Hull(const Texels& t, int i0, int i1, int j0, int j1) {
    // A box wider than a few texels reads no more than the whole level and
    // the border.
    if (static_cast<long>(i1 - i0 + 1) * (j1 - j0 + 1) > 256) {
        ColorRange out = t.level.all;
        out.Add(ColorRange::Of(t.stage.borderColor));
        return out;
    }
    ColorRange out;
    for (int j = j0; j <= j1; ++j)
        for (int i = i0; i <= i1; ++i) out.Add(ColorRange::Of(t.At(i, j)));
    return out;
}

// Point sampling: the texels whose cells the box [s0, s1] x [t0, t1] (in
// texels) touches.
ColorRange Point(const Texels& t, double s0, double s1, double t0, double t1) {
    return Hull(t, static_cast<int>(std::floor(s0)), static_cast<int>(std::floor(s1)),
                static_cast<int>(std::floor(t0)), static_cast<int>(std::floor(t1)));
}

// Bilinear sampling over the box: the blend is bilinear between texel
// centres, so over a box that crosses at most one centre line per axis its
// extremes lie on the corners of the pieces; wider boxes take the hull.
ColorRange Bilinear(const Texels& t, double s0, double s1, double t0, double t1) {
    s0 -= 0.5, s1 -= 0.5, t0 -= 0.5, t1 -= 0.5;
    const int i0 = static_cast<int>(std::floor(s0)), i1 = static_cast<int>(std::floor(s1));
    const int j0 = static_cast<int>(std::floor(t0)), j1 = static_cast<int>(std::floor(t1));
    if (i1 - i0 > 1 || j1 - j0 > 1) return Hull(t, i0, i1 + 1, j0, j1 + 1);
    double xs[3] = {s0, s1, static_cast<double>(i1)}, ys[3] = {t0, t1, static_cast<double>(j1)};
    const int nx = i1 > i0 ? 3 : 2, ny = j1 > j0 ? 3 : 2;
    ColorRange out;
    for (int a = 0; a < nx; ++a)
        for (int b = 0; b < ny; ++b) {
            const double x = xs[a], y = ys[b];
            const int i = static_cast<int>(std::floor(x)), j = static_cast<int>(std::floor(y));
            const double fx = x - i, fy = y - j;
            const std::uint32_t c00 = t.At(i, j), c10 = t.At(i + 1, j), c01 = t.At(i, j + 1), c11 = t.At(i + 1, j + 1);
            for (int c = 0; c < 4; ++c) {
                const double top = Channel(c00, c) + fx * (Channel(c10, c) - Channel(c00, c));
                const double bottom = Channel(c01, c) + fx * (Channel(c11, c) - Channel(c01, c));
                out.channel[c].Add(top + fy * (bottom - top));
            }
        }
    return out;
}

ColorRange SampleLevel(const StageState& stage, int level, DWORD filter, const Range& u, const Range& v) {
    const Texels t{stage.levels[level], stage};
    const double w = t.level.width, h = t.level.height;
    const double s0 = u.lo * w - kTexelAllowance, s1 = u.hi * w + kTexelAllowance;
    const double t0 = v.lo * h - kTexelAllowance, t1 = v.hi * h + kTexelAllowance;
    return filter == D3DTEXF_POINT ? Point(t, s0, s1, t0, t1) : Bilinear(t, s0, s1, t0, t1);
}

// c0 + f (c1 - c0) over intervals of c0, c1 and f: its extremes lie on the
// corners, as it is linear in each.
Range Lerp(const Range& c0, const Range& c1, double f0, double f1) {
    Range out;
    for (double a : {c0.lo, c0.hi})
        for (double b : {c1.lo, c1.hi})
            for (double f : {f0, f1}) out.Add(a + f * (b - a));
    return out;
}

}  // namespace

ColorRange SampleTexture(const StageState& stage, const Range& u, const Range& v, const Range& lod) {
    if (stage.levels.empty()) return ColorRange::Of(0xFFFFFFFFu);
    const int last = static_cast<int>(stage.levels.size()) - 1;
    const int top = std::min(static_cast<int>(stage.maxMipLevel), last);
    ColorRange out;
    if (lod.lo <= 0) out.Add(SampleLevel(stage, top, stage.magFilter, u, v));
    if (lod.hi <= 0) return out;
    if (stage.mipFilter == D3DTEXF_NONE) {
        out.Add(SampleLevel(stage, top, stage.minFilter, u, v));
        return out;
    }
    const double lo = std::clamp(lod.lo, static_cast<double>(top), static_cast<double>(last));
    const double hi = std::clamp(lod.hi, static_cast<double>(top), static_cast<double>(last));
    if (stage.mipFilter == D3DTEXF_POINT) {
        for (int level = static_cast<int>(std::floor(lo + 0.5)); level <= std::min(last, static_cast<int>(std::floor(hi + 0.5))); ++level)
            out.Add(SampleLevel(stage, level, stage.minFilter, u, v));
        return out;
    }
    for (int level = static_cast<int>(std::floor(lo)); level <= static_cast<int>(std::floor(hi)); ++level) {
        const ColorRange c0 = SampleLevel(stage, level, stage.minFilter, u, v);
        if (level == last) {
            out.Add(c0);
            continue;
        }
        const ColorRange c1 = SampleLevel(stage, level + 1, stage.minFilter, u, v);
        const double f0 = std::max(lo, static_cast<double>(level)) - level;
        const double f1 = std::min(hi, static_cast<double>(level + 1)) - level;
        for (int c = 0; c < 4; ++c) out.channel[c].Add(Lerp(c0.channel[c], c1.channel[c], f0, f1));
    }
    return out;
}

}  // namespace valmere::reference
