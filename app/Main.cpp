// The viewer's process: the host, the four globals in their order, and
// main. With a display the viewer opens a real window (SdlHost); without
// one it says so and runs headless: a short scripted walk, then Escape, and
// the last frame is saved as a PNG (VALMERE_FRAME_PNG, or
// valmere-last-frame.png in the temporary folder) whose path it prints.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/WinMain.h"
#include "input/Input.h"
#include "platform/host/HeadlessHost.h"
#include "world/Camera.h"
#include "world/World.h"

namespace {

constexpr int kHeadlessFrames = 180;

// Chosen before any global touches the platform: the globals below are
// constructed in the order of their definitions.
struct HostChoice {
    bool headless = false;

    HostChoice() {
        std::string reason;
        if (auto sdl = valmere::host::CreateSdlHost(&reason)) {
            valmere::host::InstallHost(std::move(sdl));
            return;
        }
        std::fprintf(stderr, "valmere: no display available (%s); running headless: a scripted walk of %d frames, "
                     "then Escape\n", reason.c_str(), kHeadlessFrames);
        headless = true;
        auto& host = valmere::host::InstallHeadlessHost();
        // Walk forward, look right and up a little, strafe, jump, then quit.
        host.PressKey(5, DIK_W);
        host.MoveMouse(20, 40, 0);
        host.MoveMouse(40, 0, -15);
        host.ReleaseKey(90, DIK_W);
        host.PressKey(95, DIK_D);
        host.ReleaseKey(120, DIK_D);
        host.PressKey(125, DIK_SPACE);
        host.ReleaseKey(127, DIK_SPACE);
        host.PressKey(kHeadlessFrames, DIK_ESCAPE);
    }
} hostChoice;

}  // namespace

CCamera g_camera;
CApplication g_application;
CInput g_input;
CWorld g_world;

BYTE g_running = 1;
HINSTANCE g_instance = nullptr;
ID3DXFont* g_font = nullptr;

namespace {

// Where the headless run saves its last frame.
std::string LastFramePath() {
    const char* chosen = std::getenv("VALMERE_FRAME_PNG");
    if (chosen && *chosen) return chosen;
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    return ((error ? std::filesystem::path(".") : folder) / "valmere-last-frame.png").string();
}

// Saves the headless run's last frame and says where. The frames after the
// walk's are those the loop drew while Escape's messages went through.
void SaveLastFrame() {
    const auto* host = valmere::host::CurrentHeadlessHost();
    if (!host || host->PresentedFrames() == 0) {
        std::fprintf(stderr, "valmere: no frame was presented\n");
        return;
    }
    const std::string path = LastFramePath();
    if (!host->SaveLastFrame(path)) {
        std::fprintf(stderr, "valmere: cannot write the last frame to %s\n", path.c_str());
        return;
    }
    std::printf("valmere: last frame (%d presented: the walk's %d, then %d until Escape closed the window) saved to "
                "%s\n",
                host->PresentedFrames(), kHeadlessFrames, host->PresentedFrames() - kHeadlessFrames, path.c_str());
}

}  // namespace

int main() {
    const int exitCode = WinMain(g_instance, nullptr, nullptr, 0);
    if (hostChoice.headless) SaveLastFrame();
    return exitCode;
}
