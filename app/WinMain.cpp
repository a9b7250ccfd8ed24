// WinMain: set-up, the frame loop and clean-up. Every iteration pumps at
// most one window message, checks the device and, when it may, draws one
// frame (app/FrameLoop.cpp).
#include "app/WinMain.h"

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"

int WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    FrameResources resources;
    SetUpFrame(resources);
    // Start-up or set-up (the font) failed when the loop cannot run.
    const bool setUp = g_running != 0;

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
    ReleaseFrameResources(resources);
    if (retrieved) return static_cast<int>(msg.wParam);
    return setUp ? 0 : 1;
}
