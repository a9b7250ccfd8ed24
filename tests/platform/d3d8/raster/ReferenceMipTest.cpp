// Mip chains whose levels are each one solid colour, so that the level the
// device samples shows directly: squares drawn at known levels of detail
// under every D3DTSS_MAXMIPLEVEL and several D3DTSS_MIPMAPLODBIAS values, and
// a receding floor seen at an angle, where the level of detail changes along
// every row and must follow the surface from pixel to pixel.
#include "tests/platform/d3d8/raster/ReferenceScene.h"

namespace valmere::reference::test {
namespace {

// Level l of a 64x64 chain: red, green, blue, white, yellow, cyan, magenta.
constexpr std::uint32_t kLevelColors[7] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF,
                                           0xFFFFFF00, 0xFF00FFFF, 0xFFFF00FF};

ComPtr<IDirect3DTexture8> SolidLevels(IDirect3DDevice8* device) {
    return MakeTexture(device, 64, 64, 7, D3DFMT_X8R8G8B8, [](UINT l, UINT, UINT) { return kLevelColors[l]; });
}

// A screen-aligned square at (x, y) of `size` pixels showing the whole
// texture: 64 / size texels per pixel.
std::vector<ScreenVertex> Square(float x, float y, float size) {
    const float x1 = x + size, y1 = y + size;
    return {{x, y, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {x1, y, 0.5f, 1, 0xFFFFFFFF, 1, 0},
            {x, y1, 0.5f, 1, 0xFFFFFFFF, 0, 1}, {x1, y1, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
}

TEST(ReferenceMip, MaxMipLevelClampsAndBiasShiftsTheLevelOfDetail) {
    const float biases[] = {0.0f, 0.3f, -0.3f, 0.8f, -1.3f};
    for (DWORD mipFilter : {D3DTEXF_POINT, D3DTEXF_LINEAR})
        for (DWORD maxMip = 0; maxMip <= 3; ++maxMip)
            for (float bias : biases) {
                const std::string name = std::string(mipFilter == D3DTEXF_POINT ? "point" : "linear") +
                                         " mips, MAXMIPLEVEL " + std::to_string(maxMip) + ", bias " + std::to_string(bias);
                ExpectMatchesOnBothPaths(name, {112, 48}, [&](IDirect3DDevice8* device, Renderer& reference) {
                    const auto texture = SolidLevels(device);
                    device->SetTexture(0, texture.Get());
                    SetStage(device, D3DTEXF_POINT, mipFilter, D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP);
                    device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, maxMip);
                    device->SetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, FloatBits(bias));
                    device->SetVertexShader(kScreenFvf);
                    // Levels of detail 1 (2:1), 2 (4:1) and 0.5 (64 texels on 45 pixels).
                    DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, Square(4, 4, 32));
                    DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, Square(44, 4, 16));
                    DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, Square(64, 2, 45.254834f));
                });
            }
}

TEST(ReferenceMip, TheLevelOfDetailFollowsARecedingFloorFromPixelToPixel) {
    struct FloorCase {
        DWORD mipFilter, maxMip;
        float bias;
    };
    const FloorCase cases[] = {{D3DTEXF_POINT, 0, 0}, {D3DTEXF_LINEAR, 0, 0}, {D3DTEXF_LINEAR, 1, 0.5f}, {D3DTEXF_POINT, 2, -0.5f}};
    // Inside the guard band, so that no clipping loosens the allowances.
    const std::vector<Vertex> floor = {{-3, -1, 1, 0xFFFFFFFF, 0, 0}, {3, -1, 1, 0xFFFFFFFF, 1, 0},
                                       {-3, -1, 60, 0xFFFFFFFF, 0, 12}, {3, -1, 60, 0xFFFFFFFF, 1, 12}};
    for (const FloorCase& c : cases) {
        const std::string name = std::string("floor, ") + (c.mipFilter == D3DTEXF_POINT ? "point" : "linear") +
                                 " mips, MAXMIPLEVEL " + std::to_string(c.maxMip) + ", bias " + std::to_string(c.bias);
        ExpectMatchesOnBothPaths(name, {320, 240}, [&](IDirect3DDevice8* device, Renderer& reference) {
            const auto texture = SolidLevels(device);
            const D3DMATRIX projection = Perspective(M_PI / 2, 320.0 / 240.0, 0.1, 100);
            const D3DMATRIX view = View(0, 0.5, 0, 0.3, 0.1);  // turned, so the level changes along the rows
            device->SetTransform(D3DTS_PROJECTION, &projection);
            device->SetTransform(D3DTS_VIEW, &view);
            device->SetTexture(0, texture.Get());
            SetStage(device, D3DTEXF_LINEAR, c.mipFilter, D3DTADDRESS_WRAP, D3DTADDRESS_WRAP);
            device->SetTextureStageState(0, D3DTSS_MAXMIPLEVEL, c.maxMip);
            device->SetTextureStageState(0, D3DTSS_MIPMAPLODBIAS, FloatBits(c.bias));
            device->SetVertexShader(kVertexFvf);
            DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, floor);
        });
    }
}

}  // namespace
}  // namespace valmere::reference::test
