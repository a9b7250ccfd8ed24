// Addressing, blending and depth: a texture of distinct texels under every
// address mode with coordinates well beyond 0..1, translucent layers under
// the blend factors and the alpha test, and intersecting triangles under the
// depth functions.
#include "tests/platform/d3d8/raster/ReferenceScene.h"

namespace valmere::reference::test {
namespace {

// Texel colours from a fixed hash: every texel differs from its neighbours.
std::uint32_t HashedTexel(UINT x, UINT y, std::uint32_t alpha) {
    std::uint32_t h = (x * 73856093u) ^ (y * 19349663u) ^ 0x5bd1e995u;
    h ^= h >> 13, h *= 0x5bd1e995u, h ^= h >> 15;
    return (alpha << 24) | (h & 0x00FFFFFFu);
}

// A square seen in perspective (w from 1 to 3 across it) with u and v from
// -2.3 to 3.1.
std::vector<ScreenVertex> PerspectiveSquare(float x, float y, float size) {
    const float lo = -2.3f, hi = 3.1f;
    return {{x, y, 0.5f, 1.0f, 0xFFFFFFFF, lo, lo},
            {x + size, y + 10, 0.5f, 1.0f / 3, 0xFFFFFFFF, hi, lo},
            {x, y + size, 0.5f, 1.0f, 0xFFFFFFFF, lo, hi},
            {x + size, y + size - 10, 0.5f, 1.0f / 3, 0xFFFFFFFF, hi, hi}};
}

TEST(ReferenceSampling, EveryAddressModeMapsCoordinatesBeyondTheTexture) {
    const DWORD modes[] = {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP, D3DTADDRESS_BORDER,
                           D3DTADDRESS_MIRRORONCE};
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR})
        for (DWORD u : modes) {
            const DWORD v = modes[(u + 1) % 5];  // a different mode on the other axis
            const std::string name = std::string(filter == D3DTEXF_POINT ? "point" : "bilinear") + ", address u " +
                                     std::to_string(u) + ", v " + std::to_string(v);
            ExpectMatchesOnBothPaths(name, {160, 120}, [&](IDirect3DDevice8* device, Renderer& reference) {
                const auto texture = MakeTexture(device, 8, 4, 1, D3DFMT_X8R8G8B8,
                                                 [](UINT, UINT x, UINT y) { return HashedTexel(x, y, 0xFF); });
                device->SetTexture(0, texture.Get());
                SetStage(device, filter, D3DTEXF_NONE, u, v);
                device->SetTextureStageState(0, D3DTSS_BORDERCOLOR, 0xFF30C050);
                device->SetVertexShader(kScreenFvf);
                DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, PerspectiveSquare(6, 4, 110));
            });
        }
}

TEST(ReferenceSampling, BlendFactorsAndTheAlphaTestMergeLayers) {
    struct BlendCase {
        DWORD src, dest;
        DWORD alphaFunc;  // D3DCMP_ALWAYS: alpha test off
        D3DFORMAT target;
    };
    const BlendCase cases[] = {
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DCMP_ALWAYS, D3DFMT_X8R8G8B8},
        {D3DBLEND_ONE, D3DBLEND_ONE, D3DCMP_ALWAYS, D3DFMT_X8R8G8B8},
        {D3DBLEND_ZERO, D3DBLEND_SRCCOLOR, D3DCMP_ALWAYS, D3DFMT_X8R8G8B8},
        {D3DBLEND_DESTCOLOR, D3DBLEND_ZERO, D3DCMP_ALWAYS, D3DFMT_A8R8G8B8},
        {D3DBLEND_ONE, D3DBLEND_INVSRCALPHA, D3DCMP_GREATER, D3DFMT_A8R8G8B8},
        {D3DBLEND_SRCALPHA, D3DBLEND_INVSRCALPHA, D3DCMP_LESSEQUAL, D3DFMT_R5G6B5},
    };
    for (const BlendCase& c : cases) {
        const std::string name = "blend " + std::to_string(c.src) + "/" + std::to_string(c.dest) + ", alpha test " +
                                 std::to_string(c.alphaFunc) + ", target " + std::to_string(c.target);
        ExpectMatchesOnBothPaths(name, {96, 64, c.target}, [&](IDirect3DDevice8* device, Renderer& reference) {
            // Translucent texels (alpha from the hash too) over a shaded quad.
            const auto texture = MakeTexture(device, 8, 8, 1, D3DFMT_A8R8G8B8, [](UINT, UINT x, UINT y) {
                return HashedTexel(x, y, (x * 37 + y * 91) & 0xFF);
            });
            const std::vector<ScreenVertex> under = {{0, 0, 0.5f, 1, 0xFF2080F0, 0, 0}, {96, 0, 0.5f, 1, 0xFFF08020, 0, 0},
                                                     {0, 64, 0.5f, 1, 0x80808080, 0, 0}, {96, 64, 0.5f, 1, 0x40FFFFFF, 0, 0}};
            const std::vector<ScreenVertex> over = {{8, 6, 0.5f, 1, 0xFFFFFFFF, 0, 0}, {90, 4, 0.5f, 1, 0xC0FFFFFF, 1, 0},
                                                    {6, 60, 0.5f, 1, 0xFFFFFFFF, 0, 1}, {88, 58, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
            device->SetVertexShader(kScreenFvf);
            DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, under);
            device->SetTexture(0, texture.Get());
            SetStage(device, D3DTEXF_POINT, D3DTEXF_NONE, D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP);
            device->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
            device->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE);
            device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
            device->SetRenderState(D3DRS_SRCBLEND, c.src);
            device->SetRenderState(D3DRS_DESTBLEND, c.dest);
            device->SetRenderState(D3DRS_ALPHATESTENABLE, c.alphaFunc != D3DCMP_ALWAYS);
            device->SetRenderState(D3DRS_ALPHAFUNC, c.alphaFunc);
            device->SetRenderState(D3DRS_ALPHAREF, 0x70);
            DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, over);
        });
    }
}

TEST(ReferenceSampling, DepthFunctionsResolveIntersectingTriangles) {
    for (DWORD func : {D3DCMP_LESS, D3DCMP_LESSEQUAL, D3DCMP_GREATER, D3DCMP_EQUAL, D3DCMP_ALWAYS})
        for (DWORD write : {TRUE, FALSE}) {
            const std::string name = "depth function " + std::to_string(func) + ", write " + std::to_string(write);
            ExpectMatchesOnBothPaths(name, {128, 96}, [&](IDirect3DDevice8* device, Renderer& reference) {
                const D3DMATRIX projection = Perspective(M_PI / 3, 128.0 / 96.0, 0.5, 20);
                device->SetTransform(D3DTS_PROJECTION, &projection);
                device->SetVertexShader(kVertexFvf);
                // A wall at mid depth first, with the default function.
                const std::vector<Vertex> wall = {{-9, -9, 4, 0xFF808080, 0, 0}, {9, -9, 4, 0xFF808080, 0, 0},
                                                  {-9, 9, 4, 0xFF808080, 0, 0}, {9, 9, 4, 0xFF808080, 0, 0}};
                DrawBoth(device, reference, D3DPT_TRIANGLESTRIP, 2, wall);
                device->SetRenderState(D3DRS_ZFUNC, func);
                device->SetRenderState(D3DRS_ZWRITEENABLE, write);
                // Three triangles that pierce one another, drawn in turn.
                const std::vector<Vertex> triangles = {
                    {-2, -1.5f, 3, 0xFFFF4020, 0, 0}, {2, -1, 6, 0xFFFF4020, 0, 0},   {0, 2, 4, 0xFFFF4020, 0, 0},
                    {-2, 1, 6, 0xFF20FF40, 0, 0},    {2, 1.5f, 3, 0xFF20FF40, 0, 0},  {0, -2, 4.5f, 0xFF20FF40, 0, 0},
                    {-2.5f, 0, 4, 0xFF4020FF, 0, 0}, {2.5f, 0.2f, 4, 0xFF4020FF, 0, 0}, {0, 0.1f, 2.5f, 0xFF4020FF, 0, 0},
                };
                DrawBoth(device, reference, D3DPT_TRIANGLELIST, 3, triangles);
            });
        }
}

}  // namespace
}  // namespace valmere::reference::test
