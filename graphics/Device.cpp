// Creation and release of the Direct3D object and the full-screen device:
// always 800 by 600 with a 16-bit back buffer and a 16-bit depth buffer, no
// enumeration and no fallback.
#include "app/Application.h"
#include "app/Globals.h"

bool CApplication::InitDirect3D() {
    direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!direct3D) {
        MessageBoxA(window, "Direct3DCreate8() failed!", "InitDirect3D()", MB_OK);
        return false;
    }
    return SetMode();
}

bool CApplication::SetMode() {
    presentParameters = D3DPRESENT_PARAMETERS{};
    presentParameters.Windowed = FALSE;
    presentParameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    presentParameters.EnableAutoDepthStencil = TRUE;
    presentParameters.AutoDepthStencilFormat = depthFormat;
    presentParameters.hDeviceWindow = window;
    presentParameters.BackBufferWidth = width;
    presentParameters.BackBufferHeight = height;
    presentParameters.BackBufferFormat = backBufferFormat;
    // Without a window there is nothing to create the device for; the
    // window's own failure has been reported.
    if (!window || FAILED(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                 D3DCREATE_SOFTWARE_VERTEXPROCESSING, &presentParameters,
                                                 &device))) {
        device = nullptr;
        if (window) MessageBoxA(window, "CreateDevice() failed!", "SetMode()", MB_OK);
        return false;
    }
    return true;
}

void CApplication::ReleaseDirect3D() {
    if (device) {
        device->Release();
        device = nullptr;
    }
    if (direct3D) {
        direct3D->Release();
        direct3D = nullptr;
    }
}
