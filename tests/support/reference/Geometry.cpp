#include "tests/support/reference/Geometry.h"

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace valmere::reference {
namespace {

// A vertex in homogeneous clip space, with its screen position when it is one
// of the draw's own vertices (kept as computed, so that clipping does not
// round an exact pretransformed position).
struct ClipVertex {
    double c[4];  // x, y, z, w
    ScreenVertex screen;
    bool made = false;  // made by clipping: screen is computed from c
};

constexpr double kFloatUnit = 1.0 / 16777216.0;  // 2^-24, the float's unit roundoff
constexpr double kGuardBand = 2048.0;            // pixels beyond each side of the viewport

using Row = std::array<double, 4>;

Row Multiply(const Row& v, const D3DMATRIX& m, bool magnitude) {
    Row out{};
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) out[j] += v[i] * (magnitude ? std::fabs(m.m[i][j]) : m.m[i][j]);
    return out;
}

double ReadFloat(const std::uint8_t* p) {
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

struct Layout {
    bool pretransformed;
    UINT diffuseOffset = 0, texOffset = 0;
    bool hasDiffuse = false, hasTexture = false;
};

std::string ReadLayout(DWORD fvf, UINT stride, Layout& layout) {
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return "vertex format without XYZ or XYZRHW position";
    if (fvf >> 16) return "texture coordinate sets of other than two floats";
    layout.pretransformed = position == D3DFVF_XYZRHW;
    UINT offset = layout.pretransformed ? 16 : 12;
    if (fvf & D3DFVF_NORMAL) offset += 12;
    if (fvf & D3DFVF_PSIZE) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.hasDiffuse = true;
        layout.diffuseOffset = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) offset += 4;
    const DWORD sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    layout.hasTexture = sets > 0;
    layout.texOffset = offset;
    offset += 8 * sets;
    if (offset > stride) return "vertex stride shorter than the vertex format";
    return {};
}

struct Viewport {
    double x, y, width, height, minZ, maxZ;
    explicit Viewport(const D3DVIEWPORT8& v)
        : x(v.X), y(v.Y), width(v.Width), height(v.Height), minZ(v.MinZ), maxZ(v.MaxZ) {}
};

// Screen position and depth of a clip-space point: x = X + (x/w + 1) W / 2,
// y = Y + (1 - y/w) H / 2, depth = MinZ + (z/w)(MaxZ - MinZ) (pretransformed
// vertices keep their z as the depth).
void Project(const Viewport& vp, bool pretransformed, ClipVertex& v) {
    const double w = v.c[3];
    v.screen.x = vp.x + (v.c[0] / w + 1.0) * vp.width / 2.0;
    v.screen.y = vp.y + (1.0 - v.c[1] / w) * vp.height / 2.0;
    v.screen.depth = pretransformed ? v.c[2] / w : vp.minZ + v.c[2] / w * (vp.maxZ - vp.minZ);
    v.screen.rhw = 1.0 / w;
}

// True when floor(16 p + 0.5) is not the same at both ends of p +- error.
bool SnapIsAmbiguous(double p, double error) {
    return std::floor(16.0 * (p - error) + 0.5) != std::floor(16.0 * (p + error) + 0.5);
}

ClipVertex FetchVertex(const Snapshot& s, const Layout& layout, const Viewport& vp, const std::uint8_t* p) {
    ClipVertex v{};
    ScreenVertex& out = v.screen;
    if (layout.hasTexture) {
        out.attribute[kU] = ReadFloat(p + layout.texOffset);
        out.attribute[kV] = ReadFloat(p + layout.texOffset + 4);
    }
    std::uint32_t diffuse = 0xFFFFFFFFu;
    if (layout.hasDiffuse) std::memcpy(&diffuse, p + layout.diffuseOffset, 4);
    for (int i = 0; i < 4; ++i) out.attribute[kAlpha + i] = static_cast<double>((diffuse >> (24 - 8 * i)) & 0xFF);

    if (layout.pretransformed) {
        // Taken as given: no snapping ambiguity, the device reads the same floats.
        out.x = ReadFloat(p);
        out.y = ReadFloat(p + 4);
        out.depth = ReadFloat(p + 8);
        out.rhw = ReadFloat(p + 12);
        const double w = 1.0 / out.rhw;
        v.c[0] = ((out.x - vp.x) / (vp.width / 2.0) - 1.0) * w;
        v.c[1] = (1.0 - (out.y - vp.y) / (vp.height / 2.0)) * w;
        v.c[2] = out.depth * w;
        v.c[3] = w;
        return v;
    }
    const Row position{ReadFloat(p), ReadFloat(p + 4), ReadFloat(p + 8), 1.0};
    const Row clip = Multiply(Multiply(Multiply(position, s.world, false), s.view, false), s.projection, false);
    const Row absolute{std::fabs(position[0]), std::fabs(position[1]), std::fabs(position[2]), 1.0};
    const Row magnitude =
        Multiply(Multiply(Multiply(absolute, s.world, true), s.view, true), s.projection, true);
    std::memcpy(v.c, clip.data(), sizeof v.c);
    if (clip[3] <= 0.0) return v;  // behind the eye: clipped away or cut, never snapped as it is
    Project(vp, false, v);
    // The device transforms in float: each clip coordinate is off by at most
    // a few units of roundoff of the magnitudes of its terms (64 is generous
    // for the three matrix products, or one product by a combined matrix).
    const double w = clip[3], error = 64.0 * kFloatUnit;
    const double ex = vp.width / 2.0 * error * (magnitude[0] + std::fabs(clip[0] / w) * magnitude[3]) / w +
                      8.0 * kFloatUnit * (std::fabs(out.x) + vp.width);
    const double ey = vp.height / 2.0 * error * (magnitude[1] + std::fabs(clip[1] / w) * magnitude[3]) / w +
                      8.0 * kFloatUnit * (std::fabs(out.y) + vp.height);
    out.uncertain = SnapIsAmbiguous(out.x, ex) || SnapIsAmbiguous(out.y, ey);
    return v;
}

// The planes that bound what is drawn, as coefficients of (x, y, z, w) that
// are non-negative inside: near z >= 0, far z <= w, and the guard band.
std::vector<Row> ClipPlanes(const Viewport& vp, bool pretransformed) {
    const double gx = 1.0 + 2.0 * kGuardBand / vp.width, gy = 1.0 + 2.0 * kGuardBand / vp.height;
    std::vector<Row> planes = {{-1, 0, 0, gx}, {1, 0, 0, gx}, {0, -1, 0, gy}, {0, 1, 0, gy}};
    if (!pretransformed) {
        planes.push_back({0, 0, 1, 0});
        planes.push_back({0, 0, -1, 1});
    }
    return planes;
}

double Distance(const Row& plane, const ClipVertex& v) {
    return plane[0] * v.c[0] + plane[1] * v.c[1] + plane[2] * v.c[2] + plane[3] * v.c[3];
}

// Sutherland-Hodgman against one plane; attributes are linear in clip space
// along each edge.
std::vector<ClipVertex> ClipAgainst(const std::vector<ClipVertex>& in, const Row& plane) {
    std::vector<ClipVertex> out;
    for (std::size_t i = 0; i < in.size(); ++i) {
        const ClipVertex& a = in[i];
        const ClipVertex& b = in[(i + 1) % in.size()];
        const double da = Distance(plane, a), db = Distance(plane, b);
        if (da >= 0) out.push_back(a);
        if ((da >= 0) != (db >= 0)) {
            const double t = da / (da - db);
            ClipVertex m{};
            for (int k = 0; k < 4; ++k) m.c[k] = a.c[k] + t * (b.c[k] - a.c[k]);
            for (int k = 0; k < kAttributeCount; ++k)
                m.screen.attribute[k] = a.screen.attribute[k] + t * (b.screen.attribute[k] - a.screen.attribute[k]);
            m.made = true;
            out.push_back(m);
        }
    }
    return out;
}

double SignedArea(const std::vector<ScreenVertex>& polygon) {
    double area = 0;
    for (std::size_t i = 0; i < polygon.size(); ++i) {
        const ScreenVertex& a = polygon[i];
        const ScreenVertex& b = polygon[(i + 1) % polygon.size()];
        area += a.x * b.y - b.x * a.y;
    }
    return area;
}

}  // namespace

std::string BuildPolygons(const Snapshot& s, D3DPRIMITIVETYPE type, UINT primitiveCount, const void* data,
                          UINT stride, UINT vertexCount, std::vector<ScreenPolygon>& polygons) {
    Layout layout{};
    if (std::string error = ReadLayout(s.fvf, stride, layout); !error.empty()) return error;
    if (!layout.pretransformed && s.lighting) return "lighting is on for untransformed vertices";
    const Viewport vp(s.viewport);
    std::vector<ClipVertex> vertices;
    for (UINT i = 0; i < vertexCount; ++i)
        vertices.push_back(FetchVertex(s, layout, vp, static_cast<const std::uint8_t*>(data) + i * stride));
    const std::vector<Row> planes = ClipPlanes(vp, layout.pretransformed);

    for (UINT t = 0; t < primitiveCount; ++t) {
        UINT index[3];
        if (type == D3DPT_TRIANGLELIST) {
            index[0] = 3 * t, index[1] = 3 * t + 1, index[2] = 3 * t + 2;
        } else if (type == D3DPT_TRIANGLESTRIP) {
            // Every other triangle of a strip is wound the other way round.
            index[0] = t % 2 ? t + 1 : t, index[1] = t % 2 ? t : t + 1, index[2] = t + 2;
        } else if (type == D3DPT_TRIANGLEFAN) {
            index[0] = 0, index[1] = t + 1, index[2] = t + 2;
        } else {
            return "primitive type " + std::to_string(type) + " (only triangles are drawn)";
        }
        if (index[2] >= vertexCount) return "the draw reads past its vertices";
        std::vector<ClipVertex> clip = {vertices[index[0]], vertices[index[1]], vertices[index[2]]};
        bool cut = false;
        for (const Row& plane : planes) {
            bool outside = false;
            for (const ClipVertex& v : clip) outside |= Distance(plane, v) < 0;
            if (!outside) continue;
            clip = ClipAgainst(clip, plane);
            cut = true;
            if (clip.empty()) break;
        }
        if (clip.size() < 3) continue;
        ScreenPolygon polygon;
        polygon.clipped = cut;
        for (ClipVertex& v : clip) {
            if (v.made) {
                Project(vp, layout.pretransformed, v);
                v.screen.uncertain = true;
            }
            polygon.vertices.push_back(v.screen);
        }
        // Screen y grows downwards, so a positive area is clockwise on screen.
        const double area = SignedArea(polygon.vertices);
        if ((s.cullMode == D3DCULL_CCW && area < 0) || (s.cullMode == D3DCULL_CW && area > 0)) continue;
        polygons.push_back(std::move(polygon));
    }
    return {};
}

}  // namespace valmere::reference
