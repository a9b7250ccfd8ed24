#include "tests/support/reference/Rasterize.h"

#include <cmath>
#include <cstdint>

#include "tests/support/reference/Bound.h"

namespace valmere::reference {
namespace {

// f(x, y) = value + cx (x - ox) + cy (y - oy).
struct Plane {
    double ox = 0, oy = 0, value = 0, cx = 0, cy = 0;
    double At(double x, double y) const { return value + cx * (x - ox) + cy * (y - oy); }
};

Plane MakePlane(const double x[3], const double y[3], const double f[3]) {
    const double d = (x[1] - x[0]) * (y[2] - y[0]) - (x[2] - x[0]) * (y[1] - y[0]);
    Plane p;
    p.ox = x[0], p.oy = y[0], p.value = f[0];
    p.cx = ((f[1] - f[0]) * (y[2] - y[0]) - (f[2] - f[0]) * (y[1] - y[0])) / d;
    p.cy = ((x[1] - x[0]) * (f[2] - f[0]) - (x[2] - x[0]) * (f[1] - f[0])) / d;
    return p;
}

struct Planes {
    Plane rhw, depth, attribute[kAttributeCount];  // attributes times 1/w
};

Planes MakePlanes(const ScreenVertex* v[3], const double x[3], const double y[3]) {
    Planes planes;
    double f[3];
    for (int i = 0; i < 3; ++i) f[i] = v[i]->rhw;
    planes.rhw = MakePlane(x, y, f);
    for (int i = 0; i < 3; ++i) f[i] = v[i]->depth;
    planes.depth = MakePlane(x, y, f);
    for (int k = 0; k < kAttributeCount; ++k) {
        for (int i = 0; i < 3; ++i) f[i] = v[i]->attribute[k] * v[i]->rhw;
        planes.attribute[k] = MakePlane(x, y, f);
    }
    return planes;
}

// A vertex in 1/16 pixel.
struct Snapped {
    std::int64_t x, y;
};
Snapped Snap(const ScreenVertex& v) {
    return {static_cast<std::int64_t>(std::floor(16.0 * v.x + 0.5)), static_cast<std::int64_t>(std::floor(16.0 * v.y + 0.5))};
}

// One snapped fan triangle, turned clockwise on screen (y down) so that its
// interior lies where every edge function is positive.
struct Triangle {
    Snapped v[3];
    bool empty = false;
    bool mayBeCulled = false;

    // Inside, or on a top edge (dy == 0, dx > 0) or a left edge (dy < 0).
    bool Covers(std::int64_t px, std::int64_t py) const {
        for (int i = 0; i < 3; ++i) {
            const Snapped& a = v[i];
            const Snapped& b = v[(i + 1) % 3];
            const std::int64_t dx = b.x - a.x, dy = b.y - a.y;
            const std::int64_t e = dx * (py - a.y) - dy * (px - a.x);
            if (e < 0 || (e == 0 && !(dy < 0 || (dy == 0 && dx > 0)))) return false;
        }
        return true;
    }
};

Triangle MakeTriangle(Snapped a, Snapped b, Snapped c, double polygonArea, DWORD cullMode) {
    Triangle t;
    const std::int64_t area = (b.x - a.x) * (c.y - a.y) - (c.x - a.x) * (b.y - a.y);
    t.empty = area == 0;
    // A fan triangle that snapping turned against its polygon: the device
    // may cull it on its snapped winding.
    t.mayBeCulled = cullMode != D3DCULL_NONE && (area > 0) != (polygonArea > 0);
    if (area < 0) std::swap(b, c);
    t.v[0] = a, t.v[1] = b, t.v[2] = c;
    return t;
}

// True when the segment a-b passes within `r` pixel on each axis of (px, py):
// it meets the square of half-size r around the point (Liang-Barsky).
bool SegmentNear(double ax, double ay, double bx, double by, double px, double py, double r) {
    double t0 = 0, t1 = 1;
    const double d[2] = {bx - ax, by - ay};
    const double lo[2] = {px - r - ax, py - r - ay}, hi[2] = {px + r - ax, py + r - ay};
    for (int k = 0; k < 2; ++k) {
        if (d[k] == 0) {
            if (lo[k] > 0 || hi[k] < 0) return false;
            continue;
        }
        double ta = lo[k] / d[k], tb = hi[k] / d[k];
        if (ta > tb) std::swap(ta, tb);
        t0 = std::max(t0, ta), t1 = std::min(t1, tb);
        if (t0 > t1) return false;
    }
    return true;
}

double PolygonArea(const std::vector<ScreenVertex>& v) {
    double area = 0;
    for (std::size_t i = 0; i < v.size(); ++i) area += v[i].x * v[(i + 1) % v.size()].y - v[(i + 1) % v.size()].x * v[i].y;
    return area;
}

}  // namespace

void RasterizePolygon(const ScreenPolygon& polygon, DWORD cullMode, int x0, int y0, int x1, int y1, int rowStep,
                      int rowPhase, const std::function<void(const PixelSample&)>& visit) {
    const std::vector<ScreenVertex>& v = polygon.vertices;
    const std::size_t n = v.size();
    std::vector<Snapped> snapped;
    bool uncertain = false;
    for (const ScreenVertex& s : v) {
        snapped.push_back(Snap(s));
        uncertain |= s.uncertain;
    }
    const double area = PolygonArea(v);
    std::vector<Triangle> fan;
    for (std::size_t i = 1; i + 1 < n; ++i) fan.push_back(MakeTriangle(snapped[0], snapped[i], snapped[i + 1], area, cullMode));

    // Planes: through the snapped vertices of the (single) triangle when every
    // vertex is certain; otherwise through the unsnapped vertices of the
    // largest fan triangle, which all lie on the triangle's own planes.
    Planes planes;
    if (!uncertain && n == 3) {
        const ScreenVertex* tv[3] = {&v[0], &v[1], &v[2]};
        const double x[3] = {snapped[0].x / 16.0, snapped[1].x / 16.0, snapped[2].x / 16.0};
        const double y[3] = {snapped[0].y / 16.0, snapped[1].y / 16.0, snapped[2].y / 16.0};
        planes = MakePlanes(tv, x, y);
    } else {
        std::size_t best = 1;
        double bestArea = -1;
        for (std::size_t i = 1; i + 1 < n; ++i) {
            const double a = std::fabs((v[i].x - v[0].x) * (v[i + 1].y - v[0].y) - (v[i + 1].x - v[0].x) * (v[i].y - v[0].y));
            if (a > bestArea) bestArea = a, best = i;
        }
        if (bestArea <= 0) return;  // degenerate in exact arithmetic: nothing to draw
        const ScreenVertex* tv[3] = {&v[0], &v[best], &v[best + 1]};
        const double x[3] = {v[0].x, v[best].x, v[best + 1].x}, y[3] = {v[0].y, v[best].y, v[best + 1].y};
        planes = MakePlanes(tv, x, y);
    }
    const double window = uncertain ? kUncertainEdge : 0.0;

    // Bounds: the snapped polygon, one pixel wider for the uncertain edges.
    std::int64_t minX = snapped[0].x, maxX = minX, minY = snapped[0].y, maxY = minY;
    for (const Snapped& s : snapped) {
        minX = std::min(minX, s.x), maxX = std::max(maxX, s.x);
        minY = std::min(minY, s.y), maxY = std::max(maxY, s.y);
    }
    const int bx0 = std::max<std::int64_t>(x0, minX / 16 - 1), bx1 = std::min<std::int64_t>(x1, maxX / 16 + 2);
    const int by0 = std::max<std::int64_t>(y0, minY / 16 - 1), by1 = std::min<std::int64_t>(y1, maxY / 16 + 2);

    PixelSample sample{};
    sample.uncertain = uncertain;
    for (int py = by0 + ((rowPhase - by0 % rowStep) + rowStep) % rowStep; py < by1; py += rowStep)
        for (int px = bx0; px < bx1; ++px) {
            int certain = 0, maybe = 0;
            for (const Triangle& t : fan) {
                if (t.empty || !t.Covers(16 * px, 16 * py)) continue;
                (t.mayBeCulled ? maybe : certain) += 1;
            }
            bool band = false;
            for (std::size_t i = 0; i < n && !band; ++i) {
                const std::size_t j = (i + 1) % n;
                if (!v[i].uncertain && !v[j].uncertain) continue;
                band = SegmentNear(snapped[i].x / 16.0, snapped[i].y / 16.0, snapped[j].x / 16.0, snapped[j].y / 16.0,
                                   px, py, kUncertainEdge);
            }
            if (certain == 0 && maybe == 0 && !band) continue;
            sample.x = px, sample.y = py;
            sample.certainTimes = band ? 0 : certain;
            sample.times = std::max(1, certain + maybe);

            // Only a pixel of an uncertain band can lie beyond the polygon's
            // vanishing line, where nothing of it would be drawn.
            const double q = planes.rhw.At(px, py);
            if (!(q > 0)) continue;
            for (int k = 0; k < kAttributeCount; ++k) {
                const Plane& a = planes.attribute[k];
                const double value = a.At(px, py) / q;
                const double dx = (a.cx - value * planes.rhw.cx) / q, dy = (a.cy - value * planes.rhw.cy) / q;
                sample.attribute[k] = Range::Of(value).Widened(window * (std::fabs(dx) + std::fabs(dy)));
                if (k == kU) sample.dudx = dx, sample.dudy = dy;
                if (k == kV) sample.dvdx = dx, sample.dvdy = dy;
            }
            const Plane& d = planes.depth;
            sample.depth = Range::Of(d.At(px, py)).Widened(window * (std::fabs(d.cx) + std::fabs(d.cy)));
            visit(sample);
        }
}

}  // namespace valmere::reference
