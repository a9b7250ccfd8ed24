// The viewer's own frame from 50 poses along a scripted walk, on the device
// the game makes, with its data files, textures, vertex arrays and scene
// state: each frame's terrain, ground quad and sky are held pixel by pixel to
// the reference renderer, on both of the device's paths. The overlay text is
// left out (the reference draws no text).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "platform/d3d8/raster/Raster.h"  // ForceGeneralPath only
#include "tests/support/GameProcess.h"
#include "tests/support/reference/TestDevice.h"
#include "world/Camera.h"
#include "world/World.h"

namespace {

using valmere::reference::MatchesReference;
using valmere::reference::Renderer;

void Fill(IDirect3DVertexBuffer8* buffer, const void* bytes, UINT length) {
    BYTE* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, length, &data, 0), D3D_OK);
    std::memcpy(data, bytes, length);
    buffer->Unlock();
}

// The frame's three draws, on the device and mirrored on the reference.
void DrawScene(IDirect3DDevice8* device, Renderer* reference, const FrameResources& r) {
    struct Mesh {
        IDirect3DTexture8* texture;
        IDirect3DVertexBuffer8* buffer;
        D3DPRIMITIVETYPE type;
        UINT count;
    };
    const Mesh meshes[] = {
        {r.terrainTexture, r.terrainBuffer, D3DPT_TRIANGLELIST, static_cast<UINT>(g_world.terrainTriangleCount)},
        {r.quadTexture, r.quadBuffer, D3DPT_TRIANGLESTRIP, 2},
        {r.skyTexture, r.skyBuffer, D3DPT_TRIANGLELIST, 10},
    };
    g_application.ClearScreen();
    if (reference) reference->Clear(D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f);
    device->BeginScene();
    for (const Mesh& m : meshes) {
        device->SetTexture(0, m.texture);
        device->SetStreamSource(0, m.buffer, sizeof(SceneVertex));
        if (m.count == 0) continue;
        EXPECT_EQ(device->DrawPrimitive(m.type, 0, m.count), D3D_OK);
        if (reference) reference->DrawPrimitive(m.type, 0, m.count);
    }
    device->EndScene();
}

TEST(ReferenceWalk, TheViewersFramesMatchTheReferenceAlongAWalk) {
    std::filesystem::current_path(VALMERE_DATA_DIR);
    valmere::test::StartProcess();
    ASSERT_NE(g_application.device, nullptr);
    FrameResources resources;
    SetUpFrame(resources);
    ASSERT_TRUE(resources.terrainTexture && resources.quadTexture && resources.skyTexture);
    IDirect3DDevice8* device = g_application.device;

    // A loop over the terrain and back past the ground quad: eye heights from
    // just above the ground to high above it, looking ahead, to the side and
    // down, so that the near plane cuts the terrain and the sky's edges cross
    // the screen at many angles.
    constexpr int kPoses = 50;
    for (int i = 0; i < kPoses; ++i) {
        const double t = 2 * M_PI * i / kPoses;
        const float x = static_cast<float>(30 + 34 * std::sin(t)), z = static_cast<float>(30 - 40 * std::cos(t));
        const float height = static_cast<float>(i % 5 == 0 ? 0.3 : 1.2 + 6 * (1 + std::sin(3 * t)));
        const double yaw = t + 0.4 * std::sin(5 * t), pitch = 0.35 * std::sin(2 * t + 1);
        g_camera.SetPosition(x, height, z);
        g_camera.SetLook(static_cast<float>(std::sin(yaw) * std::cos(pitch)), static_cast<float>(-std::sin(pitch)),
                         static_cast<float>(std::cos(yaw) * std::cos(pitch)));
        g_camera.SetUp(0, 1, 0);
        UpdateTerrain();
        UpdateSky();
        g_camera.Apply();
        Fill(resources.terrainBuffer, g_world.terrainVertices, sizeof g_world.terrainVertices);
        Fill(resources.skyBuffer, g_world.skyVertices, sizeof g_world.skyVertices);

        // One reference frame per pose serves both of the device's paths. To
        // keep the walk quick each pose is compared on every third row, a
        // different third from pose to pose.
        Renderer reference(device);
        reference.SetRows(3, i % 3);
        for (bool general : {false, true}) {
            valmere::raster::ForceGeneralPath(general);
            DrawScene(device, general ? nullptr : &reference, resources);
            EXPECT_TRUE(MatchesReference(reference, "walk pose " + std::to_string(i) +
                                                        (general ? " (general path)" : " (specialised path)")));
        }
        valmere::raster::ForceGeneralPath(false);
    }
    ReleaseFrameResources(resources);
}

}  // namespace
