// The one fixed scene state: projection, four render states, linear
// filtering on stage 0, the scene vertex format and one directional light.
#include "app/Application.h"
#include "app/Globals.h"

namespace {
constexpr DWORD kSceneVertexFormat = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;
}  // namespace

bool CApplication::InitScene() {
    if (!device) return false;  // no device: its own failure has been reported
    D3DVIEWPORT8 viewport{};
    if (FAILED(device->GetViewport(&viewport))) {
        MessageBoxA(window, "GetViewport() failed!", "InitScene()", MB_OK);
        return false;
    }
    aspect = static_cast<float>(viewport.Width) / static_cast<float>(viewport.Height);
    D3DXMatrixPerspectiveFovLH(&projection, fieldOfView, aspect, nearPlane, farPlane);
    if (FAILED(device->SetTransform(D3DTS_PROJECTION, &projection))) {
        MessageBoxA(window, "SetTransform() failed!", "SetProjectionMatrix()", MB_OK);
        return false;
    }
    device->SetRenderState(D3DRS_AMBIENT, 0x00FFFFFF);
    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);
    if (FAILED(device->SetVertexShader(kSceneVertexFormat))) {
        MessageBoxA(window, "SetVertexShader() failed!", "InitScene()", MB_OK);
        return false;
    }
    // A failing light stops the program after the current frame, but the
    // rest of the scene state stands.
    if (!SetLight()) g_running = 0;
    return true;
}

bool CApplication::SetLight() {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {5.5f, -1.0f, 0.0f};
    light.Range = 1000.0f;
    if (FAILED(device->SetLight(0, &light))) {
        MessageBoxA(window, "SetLight() failed!", "SetLight()", MB_OK);
        return false;
    }
    if (FAILED(device->LightEnable(0, TRUE))) {
        MessageBoxA(window, "LightEnable() failed!", "SetLight()", MB_OK);
        return false;
    }
    return true;
}
