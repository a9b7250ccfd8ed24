// Every frame draws terrain, ground quad and sky, in that order, and the two
// overlay lines over them, after the world and the controls have been
// updated and the two dynamic vertex buffers refilled.
#include "app/FrameLoop.h"

#include <cstring>

#include "app/Application.h"
#include "app/DataFiles.h"
#include "app/Globals.h"
#include "app/OverlayFont.h"
#include "input/Controls.h"
#include "text/D3DXText.h"
#include "texture/D3DXTexture.h"
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

void Draw(IDirect3DDevice8* device, IDirect3DTexture8* texture, IDirect3DVertexBuffer8* buffer,
          D3DPRIMITIVETYPE type, UINT count) {
    if (!buffer) return;
    device->SetTexture(0, texture);
    device->SetStreamSource(0, buffer, kSceneStride);
    device->DrawPrimitive(type, 0, count);
}

template <class Interface>
void Release(Interface*& object) {
    if (object) object->Release();
    object = nullptr;
}

// The two overlay lines, over everything else. Only the rectangle's left
// and top change between them.
void DrawOverlay() {
    g_font->Begin();
    RECT overlayRect{50, 50, 800, 600};
    g_font->DrawTextA("Test Build 1", -1, &overlayRect, DT_LEFT | DT_TOP, 0xFF00FF00);
    overlayRect.left = 700;
    overlayRect.top = 585;
    g_font->DrawTextA("Valmere Engine", -1, &overlayRect, DT_CENTER, 0x88999999);
    g_font->End();
}

}  // namespace

void SetUpFrame(FrameResources& resources) {
    if (IDirect3DDevice8* device = g_application.device) {
        D3DMATERIAL8 material{};
        material.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
        device->SetMaterial(&material);
        // A texture that cannot be loaded stays null: its mesh is drawn
        // untextured, and standard error says why.
        ReportTextureFile("image1.bmp", D3DXCreateTextureFromFileA(device, "image1.bmp", &resources.terrainTexture),
                          "the terrain is drawn untextured");
        ReportTextureFile("image2.bmp", D3DXCreateTextureFromFileA(device, "image2.bmp", &resources.quadTexture),
                          "the ground quad is drawn untextured");
        ReportTextureFile("sky2.bmp", D3DXCreateTextureFromFileA(device, "sky2.bmp", &resources.skyTexture),
                          "the sky is drawn untextured");
        ReportHeightFile(HeightFileName);
        resources.terrainBuffer = CreateFilledBuffer(device, g_world.terrainVertices, sizeof g_world.terrainVertices);
        resources.quadBuffer = CreateFilledBuffer(device, kQuadVertices, sizeof kQuadVertices);
        resources.skyBuffer = CreateFilledBuffer(device, g_world.skyVertices, sizeof g_world.skyVertices);
    }
    g_camera.SetPosition(0.0f, 0.0f, -10.0f);
    g_camera.SetUp(0.0f, 1.0f, 0.0f);
    if (IDirect3DDevice8* device = g_application.device) {
        const LOGFONTA description = OverlayFontDescription();
        if (FAILED(D3DXCreateFontIndirect(device, &description, &g_font))) {
            MessageBoxA(g_application.window, "D3DXCreateFontIndirect() failed!", "WinMain()", MB_OK);
            g_running = 0;
        }
    }
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
    if (g_font) DrawOverlay();
    device->EndScene();
    g_application.CopyScreen();
}

void ReleaseFrameResources(FrameResources& resources) {
    Release(g_font);
    Release(resources.terrainTexture);
    Release(resources.quadTexture);
    Release(resources.skyTexture);
    Release(resources.terrainBuffer);
    Release(resources.quadBuffer);
    Release(resources.skyBuffer);
}
