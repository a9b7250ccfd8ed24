// framebench: renders the viewer's scene headless through the Direct3D 8
// device for a fixed number of frames and reports the frame rate.
//
// The scene stands in for the viewer's: 800x600 R5G6B5 full-screen with D16,
// 512 textured triangles of terrain over the lower half of the screen, a
// textured sky box around the eye that fills the rest, and one small
// alpha-blended overlay quad; 256x256 textures with full mip chains, linear
// min, mag and mip filters. Usage: framebench [frames]. The last line reads
// "fps=<number> ms_per_frame=<number>".
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/host/HeadlessHost.h"

namespace {

using valmere::ComPtr;

struct SceneVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};
constexpr DWORD kSceneFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct OverlayVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
constexpr DWORD kOverlayFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

constexpr int kGridCells = 16;  // 16 x 16 cells, two triangles each: 512 triangles
constexpr int kTerrainVertices = kGridCells * kGridCells * 6;
constexpr int kSkyVertices = 36;

bool Check(HRESULT result, const char* what) {
    if (SUCCEEDED(result)) return true;
    std::fprintf(stderr, "framebench: %s failed (0x%08X)\n", what, static_cast<unsigned>(result));
    return false;
}

// Left-handed perspective projection (row vectors).
D3DMATRIX Perspective(float fieldOfView, float aspect, float nearPlane, float farPlane) {
    const float yScale = 1.0f / std::tan(fieldOfView / 2);
    D3DMATRIX m{};
    m._11 = yScale / aspect;
    m._22 = yScale;
    m._33 = farPlane / (farPlane - nearPlane);
    m._34 = 1.0f;
    m._43 = -nearPlane * farPlane / (farPlane - nearPlane);
    return m;
}

// Camera at (0, height, 0) turned by yaw about the y axis.
D3DMATRIX View(float yaw, float height) {
    const float c = std::cos(yaw);
    const float s = std::sin(yaw);
    D3DMATRIX m{};
    m._11 = c;
    m._13 = s;
    m._22 = 1.0f;
    m._31 = -s;
    m._33 = c;
    m._42 = -height;
    m._44 = 1.0f;
    return m;
}

// A 256x256 texture with its full mip chain: a checker of two colours per
// level (each level darker), enough for the sampler to do real work.
ComPtr<IDirect3DTexture8> MakeTexture(IDirect3DDevice8* device, std::uint32_t light, std::uint32_t dark) {
    ComPtr<IDirect3DTexture8> texture;
    if (!Check(device->CreateTexture(256, 256, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, texture.Receive()),
               "CreateTexture"))
        return {};
    for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc{};
        D3DLOCKED_RECT locked{};
        texture->GetLevelDesc(level, &desc);
        if (!Check(texture->LockRect(level, &locked, nullptr, 0), "LockRect")) return {};
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) row[x] = (((x >> 3) ^ (y >> 3)) & 1) != 0 ? light : dark;
        }
        texture->UnlockRect(level);
    }
    return texture;
}

void BuildTerrain(std::vector<SceneVertex>& vertices, float phase) {
    vertices.clear();
    const float cell = 8.0f;
    const auto height = [phase](float x, float z) { return 0.5f * std::sin(0.1f * x + phase) * std::cos(0.1f * z); };
    const auto vertex = [&](int i, int j) {
        const float x = (static_cast<float>(i) - kGridCells / 2.0f) * cell;
        const float z = (static_cast<float>(j) - kGridCells / 2.0f) * cell;
        return SceneVertex{x, height(x, z), z, 0, 1, 0, static_cast<float>(i) * 0.5f, static_cast<float>(j) * 0.5f};
    };
    for (int j = 0; j < kGridCells; ++j)
        for (int i = 0; i < kGridCells; ++i) {
            const SceneVertex a = vertex(i, j), b = vertex(i + 1, j), c = vertex(i, j + 1), d = vertex(i + 1, j + 1);
            for (const SceneVertex& v : {a, c, b, b, c, d}) vertices.push_back(v);
        }
}

// A cube of side 2 * r around the origin, seen from inside.
std::vector<SceneVertex> BuildSky(float r) {
    std::vector<SceneVertex> vertices;
    const float corners[8][3] = {{-r, -r, -r}, {r, -r, -r}, {-r, r, -r}, {r, r, -r},
                                 {-r, -r, r},  {r, -r, r},  {-r, r, r},  {r, r, r}};
    const int faces[6][4] = {{0, 1, 2, 3}, {5, 4, 7, 6}, {4, 0, 6, 2}, {1, 5, 3, 7}, {2, 3, 6, 7}, {4, 5, 0, 1}};
    for (const auto& face : faces) {
        const float uv[4][2] = {{0, 1}, {1, 1}, {0, 0}, {1, 0}};
        for (int k : {0, 2, 1, 1, 2, 3}) {
            const float* p = corners[face[k]];
            vertices.push_back({p[0], p[1], p[2], 0, 0, 0, uv[k][0], uv[k][1]});
        }
    }
    return vertices;
}

void SetSceneState(IDirect3DDevice8* device) {
    const D3DMATRIX projection = Perspective(3.14159265f / 2, 800.0f / 600.0f, 0.35f, 1000.0f);
    device->SetTransform(D3DTS_PROJECTION, &projection);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MIPFILTER, D3DTEXF_LINEAR);
}

void DrawOverlay(IDirect3DDevice8* device, IDirect3DTexture8* texture) {
    const OverlayVertex quad[4] = {{49.5f, 49.5f, 0, 1, 0x8000FF00, 0, 0},
                                   {113.5f, 49.5f, 0, 1, 0x8000FF00, 1, 0},
                                   {113.5f, 65.5f, 0, 1, 0x8000FF00, 1, 1},
                                   {49.5f, 65.5f, 0, 1, 0x8000FF00, 0, 1}};
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
    device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_SRCALPHA);
    device->SetRenderState(D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA);
    device->SetTexture(0, texture);
    device->SetVertexShader(kOverlayFvf);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, quad, sizeof(OverlayVertex));
    device->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: framebench [frames]\n");
        return 2;
    }
    valmere::host::HeadlessHost& host = valmere::host::InstallHeadlessHost();

    ComPtr<IDirect3D8> direct3D = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    if (!direct3D) return 1;
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 800;
    parameters.BackBufferHeight = 600;
    parameters.BackBufferFormat = D3DFMT_R5G6B5;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = reinterpret_cast<HWND>(std::uintptr_t{1});
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    ComPtr<IDirect3DDevice8> device;
    if (!Check(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, parameters.hDeviceWindow,
                                      D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, device.Receive()),
               "CreateDevice"))
        return 1;
    SetSceneState(device.Get());

    auto terrainTexture = MakeTexture(device.Get(), 0xFF40A040, 0xFF306030);
    auto skyTexture = MakeTexture(device.Get(), 0xFF80A0FF, 0xFF6080E0);
    auto overlayTexture = MakeTexture(device.Get(), 0xFFFFFFFF, 0xFF000000);
    ComPtr<IDirect3DVertexBuffer8> terrainBuffer, skyBuffer;
    if (!terrainTexture || !skyTexture || !overlayTexture ||
        !Check(device->CreateVertexBuffer(kTerrainVertices * sizeof(SceneVertex), D3DUSAGE_WRITEONLY, kSceneFvf,
                                          D3DPOOL_MANAGED, terrainBuffer.Receive()),
               "CreateVertexBuffer") ||
        !Check(device->CreateVertexBuffer(kSkyVertices * sizeof(SceneVertex), D3DUSAGE_WRITEONLY, kSceneFvf,
                                          D3DPOOL_MANAGED, skyBuffer.Receive()),
               "CreateVertexBuffer"))
        return 1;
    const std::vector<SceneVertex> sky = BuildSky(50.0f);
    std::vector<SceneVertex> terrain;
    terrain.reserve(kTerrainVertices);

    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) {
        const float time = static_cast<float>(frame) * 0.01f;
        BuildTerrain(terrain, time);
        const D3DMATRIX view = View(time, 6.0f);
        device->SetTransform(D3DTS_VIEW, &view);
        BYTE* data = nullptr;
        terrainBuffer->Lock(0, 0, &data, 0);
        std::memcpy(data, terrain.data(), terrain.size() * sizeof(SceneVertex));
        terrainBuffer->Unlock();
        skyBuffer->Lock(0, 0, &data, 0);
        std::memcpy(data, sky.data(), sky.size() * sizeof(SceneVertex));
        skyBuffer->Unlock();

        device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0);
        device->BeginScene();
        device->SetVertexShader(kSceneFvf);
        device->SetTexture(0, terrainTexture.Get());
        device->SetStreamSource(0, terrainBuffer.Get(), sizeof(SceneVertex));
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kTerrainVertices / 3);
        device->SetTexture(0, skyTexture.Get());
        device->SetStreamSource(0, skyBuffer.Get(), sizeof(SceneVertex));
        device->DrawPrimitive(D3DPT_TRIANGLELIST, 0, kSkyVertices / 3);
        DrawOverlay(device.Get(), overlayTexture.Get());
        device->EndScene();
        if (!Check(device->Present(nullptr, nullptr, nullptr, nullptr), "Present")) return 1;
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    device->SetTexture(0, nullptr);
    device->SetStreamSource(0, nullptr, 0);

    std::printf("frames=%d presented=%d centre_pixel=%06X\n", frames, host.PresentedFrames(),
                static_cast<unsigned>(host.LastFramePixel(400, 450)));
    std::printf("fps=%.1f ms_per_frame=%.3f\n", frames / seconds, 1000.0 * seconds / frames);
    return 0;
}
