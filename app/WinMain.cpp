// WinMain: set-up, the frame loop and clean-up. Every iteration pumps at
// most one window message, checks the device, updates the world, refills
// the two dynamic vertex buffers and draws terrain, ground quad, sky and the
// overlay text, in that order.
#include "app/WinMain.h"

#include <cstring>

#include "app/Application.h"
#include "app/Globals.h"
#include "input/Controls.h"
#include "world/World.h"

namespace {

constexpr UINT kSceneStride = sizeof(SceneVertex);

// The ground quad: a 2 by 2 square in the plane y = -1, drawn as a strip.
const SceneVertex kQuadVertices[4] = {
    {-1.0f, -1.0f, -1.0f, 0.0f, -1.0f, 0.0f, 0.0f, 0.0f},
    {1.0f, -1.0f, -1.0f, 0.0f, -1.0f, 0.0f, 1.0f, 0.0f},
    {-1.0f, -1.0f, 1.0f, 0.0f, -1.0f, 0.0f, 0.0f, 1.0f},
    {1.0f, -1.0f, 1.0f, 0.0f, -1.0f, 0.0f, 1.0f, 1.0f},
};

struct FrameResources {
    IDirect3DTexture8* terrainTexture = nullptr;
    IDirect3DTexture8* quadTexture = nullptr;
    IDirect3DTexture8* skyTexture = nullptr;
    IDirect3DVertexBuffer8* terrainBuffer = nullptr;
    IDirect3DVertexBuffer8* quadBuffer = nullptr;
    IDirect3DVertexBuffer8* skyBuffer = nullptr;
};

// Copies bytes into a whole vertex buffer; a missing buffer is skipped.
void Fill(IDirect3DVertexBuffer8* buffer, const void* bytes, UINT length) {
    if (!buffer) return;
    BYTE* data = nullptr;
    if (FAILED(buffer->Lock(0, length, &data, 0))) return;
    std::memcpy(data, bytes, length);
    buffer->Unlock();
}

IDirect3DVertexBuffer8* CreateFilledBuffer(IDirect3DDevice8* device, const void* bytes, UINT length) {
    IDirect3DVertexBuffer8* buffer = nullptr;
    if (FAILED(device->CreateVertexBuffer(length, D3DUSAGE_WRITEONLY, SceneVertexFvf, D3DPOOL_MANAGED, &buffer)))
        return nullptr;
    Fill(buffer, bytes, length);
    return buffer;
}

void SetUp(FrameResources& resources) {
    IDirect3DDevice8* device = g_application.device;
    if (device) {
        D3DMATERIAL8 material{};
        material.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        device->SetMaterial(&material);
        resources.terrainBuffer = CreateFilledBuffer(device, g_world.terrainVertices, sizeof g_world.terrainVertices);
        resources.quadBuffer = CreateFilledBuffer(device, kQuadVertices, sizeof kQuadVertices);
        resources.skyBuffer = CreateFilledBuffer(device, g_world.skyVertices, sizeof g_world.skyVertices);
    }
    g_camera.SetPosition(0.0f, 0.0f, -10.0f);
    g_camera.SetUp(0.0f, 1.0f, 0.0f);
}

void Draw(IDirect3DDevice8* device, IDirect3DTexture8* texture, IDirect3DVertexBuffer8* buffer,
          D3DPRIMITIVETYPE type, UINT count) {
    if (!buffer) return;
    device->SetTexture(0, texture);
    device->SetStreamSource(0, buffer, kSceneStride);
    device->DrawPrimitive(type, 0, count);
}

void DrawFrame(const FrameResources& resources) {
    IDirect3DDevice8* device = g_application.device;
    UpdateTerrain();
    UpdateSky();
    UpdateControls();
    Fill(resources.terrainBuffer, g_world.terrainVertices, sizeof g_world.terrainVertices);
    Fill(resources.skyBuffer, g_world.skyVertices, sizeof g_world.skyVertices);

    g_application.ClearScreen();
    device->BeginScene();
    Draw(device, resources.terrainTexture, resources.terrainBuffer, D3DPT_TRIANGLELIST,
         static_cast<UINT>(g_world.terrainTriangleCount));
    Draw(device, resources.quadTexture, resources.quadBuffer, D3DPT_TRIANGLESTRIP, 2);
    // Ten triangles: the first 30 of the sky's 60 vertices.
    Draw(device, resources.skyTexture, resources.skyBuffer, D3DPT_TRIANGLELIST, 10);
    device->EndScene();
    g_application.CopyScreen();
}

template <class Interface>
void Release(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

}  // namespace

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    const bool startedUp = g_running != 0;
    FrameResources resources;
    SetUp(resources);

    MSG msg{};
    bool retrieved = false;
    while (g_running) {
        if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            retrieved = true;
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (!g_application.device || !g_application.CheckDevice()) continue;
        DrawFrame(resources);
    }

    // The textures and buffers go before the device does (~CApplication).
    Release(resources.terrainTexture);
    Release(resources.quadTexture);
    Release(resources.skyTexture);
    Release(resources.terrainBuffer);
    Release(resources.quadBuffer);
    Release(resources.skyBuffer);
    if (retrieved) return static_cast<int>(msg.wParam);
    return startedUp ? 0 : 1;
}
