// The process globals for the tests, defined in the same order as in the
// viewer's app/Main.cpp. Their static construction runs on the default
// HeadlessHost; tests rebuild them through GameProcess.
#include <cstring>
#include <new>

#include "app/Application.h"
#include "app/Globals.h"
#include "input/Input.h"
#include "platform/win32/Registry.h"
#include "platform/win32/SystemInfo.h"
#include "platform/win32/WindowManager.h"
#include "platform/host/InputDispatch.h"
#include "tests/support/GameProcess.h"
#include "world/Camera.h"
#include "world/World.h"

CCamera g_camera;
CApplication g_application;
CInput g_input;
CWorld g_world;

BYTE g_running = 1;
HINSTANCE g_instance = nullptr;
ID3DXFont* g_font = nullptr;

namespace valmere::test {
namespace {

bool globalsAlive = true;
// The globals built at static initialisation belong to no test: their window
// goes before them, as after a normal run, so the first StartProcess does
// not report the class as still in use.
bool staticGlobals = true;

void DestroyGlobals() {
    if (!globalsAlive) return;
    globalsAlive = false;
    if (staticGlobals && IsWindow(g_application.window)) DestroyWindow(g_application.window);
    staticGlobals = false;
    g_world.~CWorld();
    g_input.~CInput();
    g_application.~CApplication();
    g_camera.~CCamera();
}

void BuildGlobals() {
    g_running = 1;
    g_instance = nullptr;
    g_font = nullptr;
    new (&g_camera) CCamera();
    new (&g_application) CApplication();
    new (&g_input) CInput();
    // The world lives in zero-initialised storage.
    std::memset(static_cast<void*>(&g_world), 0, sizeof g_world);
    new (&g_world) CWorld;
    globalsAlive = true;
}

// At the end of the test program the static destructors run on the
// globals, so they must be alive then; their window goes first, as after
// a normal run, so that the class unregisters quietly. Defined after the
// globals, so it is destroyed before them.
struct RebuildAtExit {
    ~RebuildAtExit() {
        if (!globalsAlive) {
            host::InstallHeadlessHost();
            win32::ResetWindowManager();
            BuildGlobals();
        }
        if (IsWindow(g_application.window)) DestroyWindow(g_application.window);
    }
};

RebuildAtExit rebuildAtExit;

}  // namespace

host::HeadlessHost& StartProcess(const std::function<void(host::HeadlessHost&)>& prepare) {
    DestroyGlobals();
    host::HeadlessHost& host = host::InstallHeadlessHost();
    win32::ResetWindowManager();
    win32::ResetRegistry();
    win32::ResetSystemInfoOverrides();
    host::ResetFocusState();
    if (prepare) prepare(host);
    BuildGlobals();
    return host;
}

void EndProcess() { DestroyGlobals(); }

host::HeadlessHost& Host() { return *host::CurrentHeadlessHost(); }

}  // namespace valmere::test
