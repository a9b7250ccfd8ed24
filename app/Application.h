// CApplication: the main window, the Direct3D object and device, and the
// scene state. One instance, g_application.
#pragma once

#include "math/D3DXMath.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/win32/Win32.h"

class CApplication {
public:
    // Opens the window, creates the device and sets the scene state; a
    // failing step shows its message and clears g_running, and the later
    // steps are still attempted.
    CApplication();
    // Releases the device, then the Direct3D object, then unregisters the
    // window class.
    ~CApplication();
    CApplication(const CApplication&) = delete;
    CApplication& operator=(const CApplication&) = delete;

    // Window (app/Window.cpp)
    bool CreateApplicationWindow();
    void UnregisterWindowClass();

    // Device (graphics/)
    bool InitDirect3D();
    bool SetMode();
    bool InitScene();
    bool SetLight();
    void ReleaseDirect3D();
    // True when the frame may be drawn; resets a resettable device.
    bool CheckDevice();
    bool ClearScreen();
    bool CopyScreen();

    HWND window = nullptr;
    IDirect3DDevice8* device = nullptr;
    IDirect3D8* direct3D = nullptr;
    D3DPRESENT_PARAMETERS presentParameters{};
    DWORD width = 800;
    DWORD height = 600;
    D3DFORMAT backBufferFormat = D3DFMT_R5G6B5;
    D3DFORMAT depthFormat = D3DFMT_D16;
    D3DXMATRIX projection;
    float aspect;
    float fieldOfView;
    float nearPlane;
    float farPlane;
};

// The window procedure of the main window.
LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
