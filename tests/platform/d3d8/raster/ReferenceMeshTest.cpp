// Closed meshes of irregular triangles drawn additively: every pixel of the
// silhouette must be drawn exactly once by the faces turned one way and once
// by the faces turned the other, so that a crack or a pixel drawn twice on a
// shared edge shows as a wrong count. The meshes are boxes whose subdivided
// faces are jittered within their planes (still convex boxes, of random
// triangles), posed in view, across the near plane, and reaching far beyond
// the guard band.
#include <algorithm>
#include <random>

#include "tests/platform/d3d8/raster/ReferenceScene.h"

namespace valmere::reference::test {
namespace {

constexpr int kCells = 4;                   // cells per face edge
constexpr D3DCOLOR kOneDraw[2] = {0x00400000, 0x00004000};  // red: faces wound clockwise, green: the others

struct Point {
    double x, y, z;
};

// The jittered box's vertices in its own space (-1..1). A point on an edge or
// inside a face moves along the coordinates that are not at +-1, by an amount
// fixed by its position, so that faces sharing an edge agree.
Point Jitter(Point p, std::uint32_t seed) {
    double* c[3] = {&p.x, &p.y, &p.z};
    for (int k = 0; k < 3; ++k) {
        if (std::fabs(*c[k]) == 1.0) continue;
        std::seed_seq s{seed, static_cast<std::uint32_t>(std::lround((p.x + 2) * 64)),
                        static_cast<std::uint32_t>(std::lround((p.y + 2) * 64)),
                        static_cast<std::uint32_t>(std::lround((p.z + 2) * 64)), static_cast<std::uint32_t>(k)};
        std::mt19937 random(s);
        *c[k] += std::uniform_real_distribution<double>(-0.35, 0.35)(random) * 2.0 / kCells;
    }
    return p;
}

// The box's triangles, wound the same way round its outside, with diagonals
// chosen at random.
std::vector<Point> JitteredBox(std::uint32_t seed) {
    std::mt19937 random(seed);
    std::vector<Point> triangles;
    for (int axis = 0; axis < 3; ++axis)
        for (int side : {-1, 1}) {
            auto at = [&](int i, int j) {
                double c[3];
                c[axis] = side;
                c[(axis + 1) % 3] = -1 + 2.0 * i / kCells;
                c[(axis + 2) % 3] = (-1 + 2.0 * j / kCells) * side;
                return Jitter({c[0], c[1], c[2]}, seed);
            };
            for (int i = 0; i < kCells; ++i)
                for (int j = 0; j < kCells; ++j) {
                    const Point a = at(i, j), b = at(i + 1, j), c = at(i + 1, j + 1), d = at(i, j + 1);
                    if (random() % 2)
                        triangles.insert(triangles.end(), {a, b, c, a, c, d});
                    else
                        triangles.insert(triangles.end(), {a, b, d, b, c, d});
                }
        }
    return triangles;
}

struct Pose {
    const char* name;
    double scale[3], rotation[2], position[3];
};

Point Place(const Pose& pose, Point p) {
    p = {p.x * pose.scale[0], p.y * pose.scale[1], p.z * pose.scale[2]};
    const double ca = std::cos(pose.rotation[0]), sa = std::sin(pose.rotation[0]);
    p = {ca * p.x + sa * p.z, p.y, -sa * p.x + ca * p.z};
    const double cb = std::cos(pose.rotation[1]), sb = std::sin(pose.rotation[1]);
    p = {p.x, cb * p.y - sb * p.z, sb * p.y + cb * p.z};
    return {p.x + pose.position[0], p.y + pose.position[1], p.z + pose.position[2]};
}

constexpr int kWidth = 320, kHeight = 240;
constexpr double kNear = 0.2;

// The silhouette: the convex hull, on screen, of the box's corners in front
// of the near plane and of its edges' crossings of that plane.
std::vector<Point> Silhouette(const Pose& pose) {
    std::vector<Point> corners, inFront;
    for (int i = 0; i < 8; ++i) corners.push_back(Place(pose, {i & 1 ? 1.0 : -1.0, i & 2 ? 1.0 : -1.0, i & 4 ? 1.0 : -1.0}));
    for (int i = 0; i < 8; ++i) {
        if (corners[i].z >= kNear) inFront.push_back(corners[i]);
        for (int bit : {1, 2, 4}) {
            const Point a = corners[i], b = corners[i | bit];
            if ((i & bit) || (a.z >= kNear) == (b.z >= kNear)) continue;
            const double t = (kNear - a.z) / (b.z - a.z);
            inFront.push_back({a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), kNear});
        }
    }
    const double scaleY = 1.0, scaleX = scaleY * kHeight / kWidth;  // 90 degree vertical field of view
    std::vector<Point> screen;
    for (const Point& p : inFront)
        screen.push_back({kWidth / 2.0 * (1 + scaleX * p.x / p.z), kHeight / 2.0 * (1 - scaleY * p.y / p.z), 0});
    std::sort(screen.begin(), screen.end(), [](const Point& a, const Point& b) { return a.x < b.x || (a.x == b.x && a.y < b.y); });
    auto cross = [](const Point& o, const Point& a, const Point& b) { return (a.x - o.x) * (b.y - o.y) - (a.y - o.y) * (b.x - o.x); };
    std::vector<Point> hull(2 * screen.size());
    std::size_t k = 0;
    for (std::size_t i = 0; i < screen.size(); ++i) {
        while (k >= 2 && cross(hull[k - 2], hull[k - 1], screen[i]) <= 0) --k;
        hull[k++] = screen[i];
    }
    for (std::size_t i = screen.size() - 1, t = k + 1; i-- > 0;) {
        while (k >= t && cross(hull[k - 2], hull[k - 1], screen[i]) <= 0) --k;
        hull[k++] = screen[i];
    }
    hull.resize(k - 1);
    return hull;
}

// +1 inside the hull by more than `margin` pixels, -1 outside by more, 0 near its outline.
int Side(const std::vector<Point>& hull, double x, double y, double margin) {
    bool inside = true;
    for (std::size_t i = 0; i < hull.size(); ++i) {
        const Point& a = hull[i];
        const Point& b = hull[(i + 1) % hull.size()];
        const double d = ((b.x - a.x) * (y - a.y) - (b.y - a.y) * (x - a.x)) / std::hypot(b.x - a.x, b.y - a.y);
        if (d < -margin) return -1;
        inside &= d > margin;
    }
    return inside ? 1 : 0;
}

TEST(ReferenceMesh, JitteredClosedMeshesDrawEverySilhouettePixelOncePerWinding) {
    const Pose poses[] = {
        {"in view", {1.2, 0.9, 1.0}, {0.5, 0.3}, {0.3, -0.2, 5}},
        {"tumbled", {0.7, 1.4, 0.5}, {2.1, -0.8}, {-1.2, 0.6, 4}},
        {"across the near plane", {1.5, 1.0, 1.2}, {0.4, 0.2}, {0.5, 0.3, 0.6}},
        {"around the eye", {30, 20, 25}, {0.3, 0.1}, {2, 1, 3}},
        {"beyond the guard band", {8, 0.5, 6}, {0.2, 0.05}, {5, -0.8, 6.5}},
    };
    for (const Pose& pose : poses)
        for (std::uint32_t seed : {1u, 2u}) {
            std::vector<Vertex> mesh;
            for (const Point& p : JitteredBox(seed)) {
                const Point q = Place(pose, p);
                mesh.push_back({static_cast<float>(q.x), static_cast<float>(q.y), static_cast<float>(q.z), 0, 0, 0});
            }
            const std::vector<Point> hull = Silhouette(pose);
            const std::string name = std::string(pose.name) + ", seed " + std::to_string(seed);
            ExpectMatchesOnBothPaths(name, {kWidth, kHeight, D3DFMT_X8R8G8B8, D3DFMT_UNKNOWN},
                                     [&](IDirect3DDevice8* device, Renderer& reference) {
                const D3DMATRIX projection = Perspective(M_PI / 2, double(kWidth) / kHeight, kNear, 500);
                device->SetTransform(D3DTS_PROJECTION, &projection);
                device->Clear(0, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0);
                reference.Clear(D3DCLEAR_TARGET, 0, 1.0f);
                device->SetVertexShader(kVertexFvf);
                device->SetRenderState(D3DRS_ZENABLE, FALSE);
                device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
                device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
                device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_ONE);
                for (int winding = 0; winding < 2; ++winding) {
                    for (Vertex& v : mesh) v.diffuse = kOneDraw[winding];
                    device->SetRenderState(D3DRS_CULLMODE, winding == 0 ? D3DCULL_CCW : D3DCULL_CW);
                    DrawBoth(device, reference, D3DPT_TRIANGLELIST, static_cast<UINT>(mesh.size() / 3), mesh);
                }
                // Directly: each winding draws a pixel at most once; inside the
                // silhouette some winding draws it (the faces the ray leaves
                // by always do); outside, none.
                IDirect3DSurface8* back = nullptr;
                IDirect3DSurface8* copy = nullptr;
                ASSERT_EQ(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, &back), D3D_OK);
                ASSERT_EQ(device->CreateImageSurface(kWidth, kHeight, D3DFMT_X8R8G8B8, &copy), D3D_OK);
                ASSERT_EQ(device->CopyRects(back, nullptr, 0, copy, nullptr), D3D_OK);
                D3DLOCKED_RECT locked{};
                ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
                int wrong = 0, inside = 0;
                for (int y = 0; y < kHeight; ++y)
                    for (int x = 0; x < kWidth; ++x) {
                        std::uint32_t p;
                        std::memcpy(&p, static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch + 4 * x, 4);
                        const std::uint32_t red = (p >> 16) & 0xFF, green = (p >> 8) & 0xFF;
                        const int side = Side(hull, x, y, 0.125);
                        inside += side > 0;
                        const bool ok = red <= 0x40 && green <= 0x40 && (side == 0 || (side > 0) == (std::max(red, green) == 0x40));
                        if (!ok && wrong++ < 3) ADD_FAILURE() << name << ": pixel (" << x << ", " << y << ") " << std::hex << p;
                    }
                copy->UnlockRect();
                copy->Release();
                back->Release();
                EXPECT_EQ(wrong, 0) << name;
                EXPECT_GT(inside, 0) << name << ": the silhouette misses the viewport";
            });
        }
}

}  // namespace
}  // namespace valmere::reference::test
