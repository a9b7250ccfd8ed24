// textured_quad: a whole program over the Valmere libraries, written as any
// program of the Direct3D 8 era would be, on the headless host.
//
//   textured_quad [image] [frame.png]
//
// Opens a window, creates a device on it, loads the image (BMP, PNG, JPEG,
// TGA, DDS, PPM or DIB; default "quadrants.png") into a texture, draws it on
// a quad turned a little away from the camera, presents the frame and writes
// it as a PNG (default "textured_quad.png"). Exits 0 on success; otherwise
// says which call failed, with its HRESULT.
#include <cstdio>

#include "math/D3DXMath.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/host/HeadlessHost.h"
#include "platform/win32/Win32.h"
#include "texture/D3DXTexture.h"

namespace {

constexpr UINT kWidth = 320;
constexpr UINT kHeight = 240;

struct Vertex {
    float x, y, z;
    float u, v;
};
constexpr DWORD kVertexFormat = D3DFVF_XYZ | D3DFVF_TEX1;

bool Succeeded(HRESULT result, const char* call) {
    if (SUCCEEDED(result)) return true;
    std::fprintf(stderr, "textured_quad: %s failed (0x%08X)\n", call, static_cast<unsigned>(result));
    return false;
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND OpenWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = "TexturedQuad";
    if (RegisterClassExA(&windowClass) == 0) return nullptr;
    return CreateWindowExA(0, "TexturedQuad", "Textured quad", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, kWidth,
                           kHeight, nullptr, nullptr, nullptr, nullptr);
}

// Draws one frame: the quad, 2 by 2 units at the origin, turned 30 degrees
// about the vertical axis and seen from 3.4 units away.
bool DrawFrame(IDirect3DDevice8* device, IDirect3DTexture8* texture) {
    D3DXMATRIX world, view, projection;
    D3DXMatrixRotationY(&world, D3DX_PI / 6);
    const D3DXVECTOR3 eye(0.0f, 0.4f, -3.4f), at(0.0f, 0.0f, 0.0f), up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixPerspectiveFovLH(&projection, D3DX_PI / 4, float(kWidth) / float(kHeight), 0.1f, 100.0f);
    device->SetTransform(D3DTS_WORLD, &world);
    device->SetTransform(D3DTS_VIEW, &view);
    device->SetTransform(D3DTS_PROJECTION, &projection);

    device->SetRenderState(D3DRS_LIGHTING, FALSE);
    device->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
    device->SetTexture(0, texture);
    device->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR);
    device->SetTextureStageState(0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR);

    // A strip of two triangles: top left, top right, bottom left, bottom right.
    const Vertex quad[4] = {
        {-1.0f, 1.0f, 0.0f, 0.0f, 0.0f},
        {1.0f, 1.0f, 0.0f, 1.0f, 0.0f},
        {-1.0f, -1.0f, 0.0f, 0.0f, 1.0f},
        {1.0f, -1.0f, 0.0f, 1.0f, 1.0f},
    };
    if (!Succeeded(device->Clear(0, nullptr, D3DCLEAR_TARGET, D3DCOLOR_XRGB(24, 24, 40), 1.0f, 0), "Clear"))
        return false;
    if (!Succeeded(device->BeginScene(), "BeginScene")) return false;
    device->SetVertexShader(kVertexFormat);
    const HRESULT drawn = device->DrawPrimitiveUP(D3DPT_TRIANGLESTRIP, 2, quad, sizeof(Vertex));
    device->EndScene();
    device->SetTexture(0, nullptr);
    return Succeeded(drawn, "DrawPrimitiveUP") &&
           Succeeded(device->Present(nullptr, nullptr, nullptr, nullptr), "Present");
}

}  // namespace

int main(int argc, char** argv) {
    const char* imagePath = argc > 1 ? argv[1] : "quadrants.png";
    const char* framePath = argc > 2 ? argv[2] : "textured_quad.png";

    // No display: the frames go to the headless host, which keeps the last.
    valmere::host::HeadlessHost& host = valmere::host::InstallHeadlessHost();

    const HWND window = OpenWindow();
    if (!window) {
        std::fprintf(stderr, "textured_quad: no window\n");
        return 1;
    }
    IDirect3D8* direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    if (!direct3D) {
        std::fprintf(stderr, "textured_quad: Direct3DCreate8 failed\n");
        return 1;
    }

    D3DPRESENT_PARAMETERS parameters{};
    parameters.Windowed = TRUE;
    parameters.BackBufferWidth = kWidth;
    parameters.BackBufferHeight = kHeight;
    parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;

    int exitCode = 1;
    IDirect3DDevice8* device = nullptr;
    IDirect3DTexture8* texture = nullptr;
    if (Succeeded(direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                         D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device),
                  "CreateDevice") &&
        Succeeded(D3DXCreateTextureFromFileA(device, imagePath, &texture), "D3DXCreateTextureFromFileA") &&
        DrawFrame(device, texture)) {
        if (host.SaveLastFrame(framePath)) {
            std::printf("textured_quad: %s drawn to %s\n", imagePath, framePath);
            exitCode = 0;
        } else {
            std::fprintf(stderr, "textured_quad: cannot write %s\n", framePath);
        }
    }

    if (texture) texture->Release();
    if (device) device->Release();
    direct3D->Release();
    DestroyWindow(window);
    return exitCode;
}
