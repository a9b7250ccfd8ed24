// Walls and floors at grazing angles, seen from the origin with a 90 degree
// field of view at 800x600: where one pixel spans many texels of depth, any
// approximation of the per-pixel division by w shows as wrong texels.
#include "tests/platform/d3d8/raster/ReferenceScene.h"

namespace valmere::reference::test {
namespace {

enum class Surface { kWall, kFloor };

struct PerspectiveCase {
    const char* name;
    Surface surface;
    float far;  // the surface runs from z = 0.5 to z = far
    DWORD filter, address;
    float repeats;  // texture repeats across the surface
};

// The wall x = 1 (u along z, v down) or the floor y = -1 (u across, v
// along z), as a two-triangle strip.
std::vector<Vertex> SurfaceStrip(const PerspectiveCase& c) {
    const float n = 0.5f, f = c.far, r = c.repeats;
    if (c.surface == Surface::kWall)
        return {{1, -1, n, 0xFFFFFFFF, 0, r}, {1, 1, n, 0xFFFFFFFF, 0, 0}, {1, -1, f, 0xFFFFFFFF, r, r}, {1, 1, f, 0xFFFFFFFF, r, 0}};
    return {{-4, -1, n, 0xFFFFFFFF, 0, 0}, {4, -1, n, 0xFFFFFFFF, r, 0}, {-4, -1, f, 0xFFFFFFFF, 0, r}, {4, -1, f, 0xFFFFFFFF, r, r}};
}

TEST(ReferencePerspective, GrazingWallsAndFloorsSampleTheTexelsOfEachPixelCentre) {
    const PerspectiveCase cases[] = {
        {"wall to 20, point, clamp", Surface::kWall, 20, D3DTEXF_POINT, D3DTADDRESS_CLAMP, 1},
        {"wall to 50, point, clamp", Surface::kWall, 50, D3DTEXF_POINT, D3DTADDRESS_CLAMP, 1},
        {"wall to 200, point, clamp", Surface::kWall, 200, D3DTEXF_POINT, D3DTADDRESS_CLAMP, 1},
        {"wall to 50, bilinear, clamp", Surface::kWall, 50, D3DTEXF_LINEAR, D3DTADDRESS_CLAMP, 1},
        {"wall to 50, point, wrap", Surface::kWall, 50, D3DTEXF_POINT, D3DTADDRESS_WRAP, 6},
        {"floor to 200, point, wrap", Surface::kFloor, 200, D3DTEXF_POINT, D3DTADDRESS_WRAP, 8},
        {"floor to 50, bilinear, wrap", Surface::kFloor, 50, D3DTEXF_LINEAR, D3DTADDRESS_WRAP, 8},
    };
    for (const PerspectiveCase& c : cases) {
        const std::vector<Vertex> strip = SurfaceStrip(c);
        ExpectMatchesOnBothPaths(c.name, {800, 600}, [&](IDirect3DDevice8* device, Renderer& reference) {
            // A 256-texel ramp: red is the texel's column, blue its row.
            const auto ramp = MakeTexture(device, 256, 4, 1, D3DFMT_X8R8G8B8, [](UINT, UINT x, UINT y) {
                return 0xFF000000u | x << 16 | (255 - x) << 8 | y * 64;
            });
            const D3DMATRIX projection = Perspective(M_PI / 2, 800.0 / 600.0, 0.1, 1000);
            const D3DMATRIX view = View(0, 0, 0, c.surface == Surface::kFloor ? 0.5 : 0.0, 0);
            device->SetTransform(D3DTS_PROJECTION, &projection);
            device->SetTransform(D3DTS_VIEW, &view);
            device->SetTexture(0, ramp.Get());
            SetStage(device, c.filter, D3DTEXF_NONE, c.address, c.address);
            device->SetVertexShader(kVertexFvf);
            DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, strip);
        });
    }
}

}  // namespace
}  // namespace valmere::reference::test
