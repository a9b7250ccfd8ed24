#include "tools/valmere-texture/HeadlessDevice.h"

#include "platform/host/HeadlessHost.h"

namespace valmere::tools {
namespace {

constexpr char kClassName[] = "ValmereTextureTool";
// The back buffer is never drawn to: the device only owns textures.
constexpr UINT kBackBufferSize = 64;

}  // namespace

HeadlessDevice::~HeadlessDevice() {
    device_.Reset();
    direct3D_.Reset();
    if (window_) {
        DestroyWindow(window_);
    }
    if (registered_) {
        UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
    }
}

HRESULT HeadlessDevice::Create() {
    host::InstallHeadlessHost();
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kClassName;
    registered_ = RegisterClassExA(&windowClass) != 0;
    if (!registered_) {
        return Fail("RegisterClassExA", E_FAIL);
    }
    window_ = CreateWindowExA(0, kClassName, "valmere-texture", WS_POPUP, 0, 0, static_cast<int>(kBackBufferSize),
                              static_cast<int>(kBackBufferSize), nullptr, nullptr, windowClass.hInstance, nullptr);
    if (!window_) {
        return Fail("CreateWindowExA", E_FAIL);
    }
    direct3D_ = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    if (!direct3D_) {
        return Fail("Direct3DCreate8", E_FAIL);
    }
    D3DDISPLAYMODE desktop{};
    HRESULT hr = direct3D_->GetAdapterDisplayMode(D3DADAPTER_DEFAULT, &desktop);
    if (FAILED(hr)) {
        return Fail("GetAdapterDisplayMode", hr);
    }
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = kBackBufferSize;
    parameters.BackBufferHeight = kBackBufferSize;
    parameters.BackBufferFormat = desktop.Format;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window_;
    parameters.Windowed = TRUE;
    hr = direct3D_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window_, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                 &parameters, device_.Receive());
    return FAILED(hr) ? Fail("CreateDevice", hr) : S_OK;
}

}  // namespace valmere::tools
