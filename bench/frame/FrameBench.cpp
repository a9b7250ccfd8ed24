// framebench: renders the viewer's own frame headless — the world update,
// the controls, the terrain, ground quad and sky of app/FrameLoop.cpp on
// the device of a freshly started process (800x600 R5G6B5 with D16, the
// scene state of InitScene) — for a fixed number of frames of a user looking
// about, and reports the frame rate.
//
// The textures: until the viewer loads its bitmaps itself, the bench puts
// 256x256 X8R8G8B8 textures with full mip chains in their place, so that
// every pixel is sampled as the viewer's will be.
//
// It runs in the folder of the generated data files, so the terrain has its
// heights. Usage: framebench [frames [last-frame.png]]. The last line reads
// "fps=<number> ms_per_frame=<number>".
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "platform/host/ScanCodes.h"
#include "tests/support/GameProcess.h"
#include "world/World.h"

namespace {

// A 256x256 texture with its full mip chain: a checker of two colours.
IDirect3DTexture8* MakeTexture(IDirect3DDevice8* device, std::uint32_t light, std::uint32_t dark) {
    IDirect3DTexture8* texture = nullptr;
    if (FAILED(device->CreateTexture(256, 256, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture))) return nullptr;
    for (DWORD level = 0; level < texture->GetLevelCount(); ++level) {
        D3DSURFACE_DESC desc{};
        D3DLOCKED_RECT locked{};
        texture->GetLevelDesc(level, &desc);
        if (FAILED(texture->LockRect(level, &locked, nullptr, 0))) continue;
        for (UINT y = 0; y < desc.Height; ++y) {
            auto* row = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch);
            for (UINT x = 0; x < desc.Width; ++x) row[x] = (((x >> 3) ^ (y >> 3)) & 1) != 0 ? light : dark;
        }
        texture->UnlockRect(level);
    }
    return texture;
}

void FillMissingTextures(FrameResources& resources) {
    IDirect3DDevice8* device = g_application.device;
    if (!resources.terrainTexture) resources.terrainTexture = MakeTexture(device, 0xFF40A040, 0xFF306030);
    if (!resources.quadTexture) resources.quadTexture = MakeTexture(device, 0xFFA0A0A0, 0xFF707070);
    if (!resources.skyTexture) resources.skyTexture = MakeTexture(device, 0xFF80A0FF, 0xFF6080E0);
}

// Stand at the start at eye height and look about slowly, swinging between
// the hills ahead and the sky to either side.
void ScriptLookAbout(valmere::host::HeadlessHost& host, int frames) {
    host.PressKey(0, DIK_X);
    host.ReleaseKey(1, DIK_X);
    for (int frame = 2; frame < frames; ++frame) host.MoveMouse(frame, (frame / 120) % 2 == 0 ? 1 : -1, 0);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::atoi(argv[1]) : 300;
    if (frames <= 0) {
        std::fprintf(stderr, "usage: framebench [frames [last-frame.png]]\n");
        return 2;
    }
    // The height file is read from the current directory, as by the viewer.
    std::error_code ignored;
    std::filesystem::current_path(VALMERE_DATA_DIR, ignored);
    valmere::host::HeadlessHost& host =
        valmere::test::StartProcess([frames](valmere::host::HeadlessHost& h) { ScriptLookAbout(h, frames); });
    if (!g_running || !g_application.device) {
        std::fprintf(stderr, "framebench: the viewer did not start\n");
        return 1;
    }
    FrameResources resources;
    SetUpFrame(resources);
    FillMissingTextures(resources);

    const auto start = std::chrono::steady_clock::now();
    for (int frame = 0; frame < frames; ++frame) DrawFrame(resources);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    std::printf("frames=%d presented=%d terrain_triangles=%d centre_pixel=%06X\n", frames, host.PresentedFrames(),
                g_world.terrainTriangleCount, static_cast<unsigned>(host.LastFramePixel(400, 450)));
    if (argc > 2 && !host.SaveLastFrame(argv[2])) std::fprintf(stderr, "framebench: cannot write %s\n", argv[2]);
    ReleaseFrameResources(resources);
    std::printf("fps=%.1f ms_per_frame=%.3f\n", frames / seconds, 1000.0 * seconds / frames);
    return 0;
}
