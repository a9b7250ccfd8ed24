// The three calls that frame every iteration: the device test, the clear
// and the present.
#include "app/Application.h"
#include "app/Globals.h"
#include "text/D3DXText.h"

bool CApplication::CheckDevice() {
    const HRESULT level = device->TestCooperativeLevel();
    if (level == D3DERR_DEVICELOST) return false;
    if (level == D3DERR_DEVICENOTRESET) {
        // A failed reset is not reported: the next test asks again. Reset
        // deletes every state block and default-pool resource, so the font
        // lets go of its own before it and makes them again after it.
        if (g_font) g_font->OnLostDevice();
        device->Reset(&presentParameters);
        if (g_font) g_font->OnResetDevice();
        InitScene();
    }
    return true;
}

bool CApplication::ClearScreen() {
    if (FAILED(device->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0x00000000, 1.0f, 0))) {
        MessageBoxA(window, "Clear() failed!", "ClearScreen()", MB_OK);
        return false;
    }
    return true;
}

bool CApplication::CopyScreen() {
    if (FAILED(device->Present(nullptr, nullptr, nullptr, nullptr))) {
        MessageBoxA(window, "Present() failed!", "CopyScreen()", MB_OK);
        return false;
    }
    return true;
}
