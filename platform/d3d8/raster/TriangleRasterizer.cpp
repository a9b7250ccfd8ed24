// Scan conversion with exact integer edge functions. For an edge a -> b of
// a triangle ordered so that its signed area is positive,
//   E(p) = (bx - ax)(py - ay) - (by - ay)(px - ax)
// is positive inside. Per scanline each edge bounds x from one side, solved
// exactly with integer division, so shared edges split pixels without gaps
// or overlap:
//
//        a ______ b      top edge a->b (dy = 0, dx > 0): centres on it drawn
//         \     /        left edge c->a (dy < 0): centres on it drawn
//          \   /         right edge b->c: centres on it left to the neighbour
//           \ /
//            c
#include "platform/d3d8/raster/TriangleRasterizer.h"

#include <algorithm>
#include <cmath>

namespace valmere::raster {
namespace {

constexpr std::int64_t kSubpixel = 1 << kSubpixelBits;

std::int64_t FloorDiv(std::int64_t n, std::int64_t d) {  // d > 0
    const std::int64_t q = n / d;
    return (n % d != 0 && n < 0) ? q - 1 : q;
}

std::int64_t CeilDiv(std::int64_t n, std::int64_t d) { return -FloorDiv(-n, d); }

struct FixedPoint {
    std::int64_t x, y;
};

FixedPoint Snap(const ScreenVertex& v) {
    // Positions are inside the guard band; the clamp only keeps NaN and
    // stray values from overflowing.
    const auto snap = [](float f) {
        const double s = static_cast<double>(f) * kSubpixel;
        const double c = s > 1e9 ? 1e9 : (s >= -1e9 ? s : -1e9);
        return static_cast<std::int64_t>(std::floor(c + 0.5));
    };
    return {snap(v.x), snap(v.y)};
}

Edge MakeEdge(FixedPoint a, FixedPoint b) {
    Edge e{b.x - a.x, b.y - a.y, a.x, a.y, 1};
    const bool topLeft = e.dy < 0 || (e.dy == 0 && e.dx > 0);
    e.bias = topLeft ? 0 : 1;
    return e;
}

std::uint32_t PackAttributes(const float* attr) {
    const auto byte = [](float v) { return static_cast<std::uint32_t>(std::clamp(v, 0.0f, 255.0f) + 0.5f); };
    return (byte(attr[3]) << 24) | (byte(attr[0]) << 16) | (byte(attr[1]) << 8) | byte(attr[2]);
}

bool SameColor(const ScreenVertex* const v[3], int first) {
    for (int k = first; k < first + 4; ++k) {
        if (v[0]->attr[k] != v[1]->attr[k] || v[0]->attr[k] != v[2]->attr[k]) return false;
    }
    return true;
}

// Plane equations of z, 1/w and attribute/w through the snapped vertices.
// Wrapped and mirrored texture coordinates repeat with a period (1 or 2):
// the whole periods below the first vertex's coordinate are taken off every
// vertex's, so that the planes, and float precision, stay near the
// triangle's own coordinates however far it lies from the origin.
void SetupInterpolants(const PixelPipeline& pipeline, const ScreenVertex* const v[3], const FixedPoint p[3],
                       TriangleInterpolants& t) {
    const double x0 = static_cast<double>(p[0].x) / kSubpixel, y0 = static_cast<double>(p[0].y) / kSubpixel;
    const double x1 = static_cast<double>(p[1].x) / kSubpixel - x0, y1 = static_cast<double>(p[1].y) / kSubpixel - y0;
    const double x2 = static_cast<double>(p[2].x) / kSubpixel - x0, y2 = static_cast<double>(p[2].y) / kSubpixel - y0;
    const double inverseDet = 1.0 / (x1 * y2 - x2 * y1);
    t.x0 = static_cast<float>(x0);
    t.y0 = static_cast<float>(y0);
    const auto plane = [&](double q0, double q1, double q2) {
        const double d1 = q1 - q0, d2 = q2 - q0;
        return Plane{static_cast<float>(q0), static_cast<float>((d1 * y2 - d2 * y1) * inverseDet),
                     static_cast<float>((d2 * x1 - d1 * x2) * inverseDet)};
    };
    t.z = plane(v[0]->z, v[1]->z, v[2]->z);
    t.rhw = plane(v[0]->rhw, v[1]->rhw, v[2]->rhw);
    for (int k = 0; k < kAttrCount; ++k) {
        if ((pipeline.attributesUsed & (1u << k)) == 0) continue;
        double offset = 0.0;
        if (k >= kAttrTex) {
            const int stage = (k - kAttrTex) / 2;
            const float period = (k - kAttrTex) % 2 == 0 ? pipeline.addressPeriodU[stage] : pipeline.addressPeriodV[stage];
            const double first = v[0]->attr[k];
            if (period > 0.0f && std::isfinite(first) && std::fabs(first) < 1e15) {
                offset = std::floor(first / period) * period;
            }
        }
        const auto at = [&](int i) { return (static_cast<double>(v[i]->attr[k]) - offset) * v[i]->rhw; };
        t.attr[k] = plane(at(0), at(1), at(2));
    }
    t.flatDiffuse = SameColor(v, kAttrDiffuse);
    t.diffuse = PackAttributes(v[0]->attr + kAttrDiffuse);
    t.flatSpecular = SameColor(v, kAttrSpecular);
    t.specular = PackAttributes(v[0]->attr + kAttrSpecular);
}

}  // namespace

bool PlaceTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                   const ScreenVertex& c, TriangleSetup& out, const ScreenVertex* ordered[3]) {
    const ScreenVertex* v[3] = {&a, &b, &c};
    FixedPoint p[3] = {Snap(a), Snap(b), Snap(c)};
    const std::int64_t area = (p[1].x - p[0].x) * (p[2].y - p[0].y) - (p[1].y - p[0].y) * (p[2].x - p[0].x);
    if (area == 0) return false;
    // Positive area: clockwise on the screen (y down).
    if ((cullMode == D3DCULL_CW && area > 0) || (cullMode == D3DCULL_CCW && area < 0)) return false;
    if (area < 0) {
        std::swap(v[1], v[2]);
        std::swap(p[1], p[2]);
    }

    const std::int64_t minY = std::min({p[0].y, p[1].y, p[2].y}), maxY = std::max({p[0].y, p[1].y, p[2].y});
    const std::int64_t minX = std::min({p[0].x, p[1].x, p[2].x}), maxX = std::max({p[0].x, p[1].x, p[2].x});
    out.top = static_cast<int>(std::max<std::int64_t>(CeilDiv(minY, kSubpixel), pipeline.clipTop));
    out.bottom = static_cast<int>(std::min<std::int64_t>(FloorDiv(maxY, kSubpixel), pipeline.clipBottom - 1));
    out.left = static_cast<int>(std::max<std::int64_t>(CeilDiv(minX, kSubpixel), pipeline.clipLeft));
    out.right = static_cast<int>(std::min<std::int64_t>(FloorDiv(maxX, kSubpixel), pipeline.clipRight - 1));
    if (out.top > out.bottom || out.left > out.right) return false;

    out.edges[0] = MakeEdge(p[0], p[1]);
    out.edges[1] = MakeEdge(p[1], p[2]);
    out.edges[2] = MakeEdge(p[2], p[0]);
    for (int i = 0; i < 3; ++i) ordered[i] = v[i];
    return true;
}

void SetupPlanes(const PixelPipeline& pipeline, const ScreenVertex* const ordered[3], TriangleSetup& setup) {
    // Each edge starts at its vertex: the snapped positions are the edges' origins.
    const FixedPoint p[3] = {{setup.edges[0].ax, setup.edges[0].ay},
                             {setup.edges[1].ax, setup.edges[1].ay},
                             {setup.edges[2].ax, setup.edges[2].ay}};
    SetupInterpolants(pipeline, ordered, p, setup.planes);
}

bool SetupTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                   const ScreenVertex& c, TriangleSetup& out) {
    const ScreenVertex* ordered[3];
    if (!PlaceTriangle(pipeline, cullMode, a, b, c, out, ordered)) return false;
    SetupPlanes(pipeline, ordered, out);
    return true;
}

namespace {

// The column an edge bounds a scanline at, floor(M / D), with M stepping by a
// constant from one scanline to the next: one division where the rows start,
// then a quotient and remainder carried along (exact, as the division).
//   left edge (dy < 0):  x >= ceil(-K / D) = floor((-K + D - 1) / D)
//   right edge (dy > 0): x <= floor(K / D),  D = |dy| * 16.
struct EdgeBound {
    std::int64_t quotient = 0, remainder = 0, divisor = 1;
    std::int64_t stepQuotient = 0, stepRemainder = 0;

    EdgeBound() = default;
    EdgeBound(std::int64_t m, std::int64_t step, std::int64_t d) : divisor(d) {
        quotient = FloorDiv(m, d);
        remainder = m - quotient * d;
        stepQuotient = FloorDiv(step, d);
        stepRemainder = step - stepQuotient * d;
    }
    void Next() {
        quotient += stepQuotient;
        remainder += stepRemainder;
        if (remainder >= divisor) {
            remainder -= divisor;
            ++quotient;
        }
    }
};

}  // namespace

void RasterizeRows(const PixelPipeline& pipeline, const TriangleSetup& setup, int top, int bottom, int left,
                   int right) {
    top = std::max(top, setup.top);
    bottom = std::min(bottom, setup.bottom);
    left = std::max(left, setup.left);
    right = std::min(right, setup.right);
    if (top > bottom || left > right) return;
    // K grows by dx * 16 from one scanline to the next.
    const std::int64_t Y = static_cast<std::int64_t>(top) * kSubpixel;
    EdgeBound lefts[3], rights[3];
    int leftCount = 0, rightCount = 0;
    std::int64_t horizontal[3], horizontalStep[3];
    int horizontalCount = 0;
    for (const Edge& e : setup.edges) {
        const std::int64_t k = e.K(Y), step = e.dx * kSubpixel;
        if (e.dy < 0) {
            const std::int64_t d = -e.dy * kSubpixel;
            lefts[leftCount++] = EdgeBound(-k + d - 1, -step, d);  // K + |dy| px >= 0
        } else if (e.dy > 0) {
            rights[rightCount++] = EdgeBound(k, step, e.dy * kSubpixel);  // K - dy px >= 0
        } else {
            horizontal[horizontalCount] = k;  // the row is outside while K < 0
            horizontalStep[horizontalCount++] = step;
        }
    }
    for (int y = top; y <= bottom; ++y) {
        std::int64_t from = left, to = right;
        for (int i = 0; i < leftCount; ++i) {
            from = std::max(from, lefts[i].quotient);
            lefts[i].Next();
        }
        for (int i = 0; i < rightCount; ++i) {
            to = std::min(to, rights[i].quotient);
            rights[i].Next();
        }
        for (int i = 0; i < horizontalCount; ++i) {
            if (horizontal[i] < 0) to = from - 1;
            horizontal[i] += horizontalStep[i];
        }
        if (from <= to) ShadeSpan(pipeline, setup.planes, y, static_cast<int>(from), static_cast<int>(to));
    }
}

void RasterizeTriangle(const PixelPipeline& pipeline, DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b,
                       const ScreenVertex& c) {
    TriangleSetup setup;
    if (SetupTriangle(pipeline, cullMode, a, b, c, setup)) {
        RasterizeRows(pipeline, setup, setup.top, setup.bottom, setup.left, setup.right);
    }
}

}  // namespace valmere::raster
