#include "platform/d3d8/raster/Clipper.h"

#include <algorithm>

namespace valmere::raster {
namespace {

float Distance(const ClipPlane& p, const ClipVertex& v) {
    return p.a * v.pos[0] + p.b * v.pos[1] + p.c * v.pos[2] + p.d * v.pos[3];
}

ClipVertex Lerp(const ClipVertex& a, const ClipVertex& b, float t) {
    ClipVertex r;
    for (int i = 0; i < 4; ++i) r.pos[i] = a.pos[i] + (b.pos[i] - a.pos[i]) * t;
    for (int i = 0; i < kAttrCount; ++i) r.attr[i] = a.attr[i] + (b.attr[i] - a.attr[i]) * t;
    return r;
}

}  // namespace

ClipPlanes MakeClipPlanes(const D3DVIEWPORT8& viewport, bool pretransformed) {
    ClipPlanes p;
    const float width = std::max(1.0f, static_cast<float>(viewport.Width));
    const float height = std::max(1.0f, static_cast<float>(viewport.Height));
    if (pretransformed) {
        // Screen coordinates times w: sx >= left - G  <=>  x + (G - left) w >= 0.
        const float left = static_cast<float>(viewport.X) - kGuardBandPixels;
        const float top = static_cast<float>(viewport.Y) - kGuardBandPixels;
        const float right = static_cast<float>(viewport.X) + width + kGuardBandPixels;
        const float bottom = static_cast<float>(viewport.Y) + height + kGuardBandPixels;
        p.planes[0] = {1, 0, 0, -left};
        p.planes[1] = {-1, 0, 0, right};
        p.planes[2] = {0, 1, 0, -top};
        p.planes[3] = {0, -1, 0, bottom};
        p.count = 4;
        return p;
    }
    // x/w = +-1 are the viewport edges; the band widens that by G pixels.
    const float gx = 1.0f + 2.0f * kGuardBandPixels / width;
    const float gy = 1.0f + 2.0f * kGuardBandPixels / height;
    p.planes[0] = {0, 0, 1, 0};   // near: z >= 0
    p.planes[1] = {0, 0, -1, 1};  // far: z <= w
    p.planes[2] = {1, 0, 0, gx};
    p.planes[3] = {-1, 0, 0, gx};
    p.planes[4] = {0, 1, 0, gy};
    p.planes[5] = {0, -1, 0, gy};
    p.count = 6;
    return p;
}

std::uint32_t Outcode(const ClipPlanes& planes, const ClipVertex& v) {
    std::uint32_t code = 0;
    for (int i = 0; i < planes.count; ++i) {
        // Written so that a NaN coordinate counts as outside.
        if (!(Distance(planes.planes[i], v) >= 0.0f)) code |= 1u << i;
    }
    return code;
}

int ClipPolygon(const ClipPlanes& planes, std::uint32_t planeMask, ClipVertex* poly, int count) {
    ClipVertex scratch[kMaxClipVertices];
    for (int i = 0; i < planes.count && count >= 3; ++i) {
        if (!(planeMask & (1u << i))) continue;
        const ClipPlane& plane = planes.planes[i];
        int outCount = 0;
        for (int k = 0; k < count; ++k) {
            const ClipVertex& a = poly[k];
            const ClipVertex& b = poly[(k + 1) % count];
            const float da = Distance(plane, a), db = Distance(plane, b);
            const bool aIn = da >= 0.0f, bIn = db >= 0.0f;
            if (aIn && outCount < kMaxClipVertices) scratch[outCount++] = a;
            if (aIn != bIn && outCount < kMaxClipVertices) {
                // Always interpolate from the inside vertex so that both
                // triangles sharing the edge get the same new vertex.
                scratch[outCount++] = aIn ? Lerp(a, b, da / (da - db)) : Lerp(b, a, db / (db - da));
            }
        }
        std::copy(scratch, scratch + outCount, poly);
        count = outCount;
    }
    return count;
}

}  // namespace valmere::raster
