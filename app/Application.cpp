#include "app/Application.h"

#include <numbers>

#include "app/Globals.h"

CApplication::CApplication()
    : fieldOfView(std::numbers::pi_v<float> / 2.0f), nearPlane(0.35f), farPlane(1000.0f) {
    g_instance = GetModuleHandleA(nullptr);
    direct3D = nullptr;
    device = nullptr;
    width = 800;
    height = 600;
    backBufferFormat = D3DFMT_R5G6B5;
    depthFormat = D3DFMT_D16;
    if (!CreateApplicationWindow()) g_running = 0;
    if (!InitDirect3D()) g_running = 0;
    if (!InitScene()) g_running = 0;
}

CApplication::~CApplication() {
    ReleaseDirect3D();
    UnregisterWindowClass();
}
