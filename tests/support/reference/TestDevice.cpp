#include "tests/support/reference/TestDevice.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/d3d8/DeviceProfile.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/InputDispatch.h"

namespace valmere::reference {

TestDevice::TestDevice(const DeviceConfig& config) {
    host::InstallHeadlessHost();
    host::ResetFocusState();
    d3d8::ResetDeviceProfile();
    direct3D_ = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    if (!direct3D_) return;
    const HWND window = reinterpret_cast<HWND>(std::uintptr_t{0x1000});
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = static_cast<UINT>(config.width);
    parameters.BackBufferHeight = static_cast<UINT>(config.height);
    parameters.BackBufferFormat = config.color;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = window;
    parameters.Windowed = TRUE;
    parameters.EnableAutoDepthStencil = config.depth != D3DFMT_UNKNOWN;
    parameters.AutoDepthStencilFormat = config.depth;
    // The device reads its thread count when it is made.
    const char* previous = std::getenv("VALMERE_RENDER_THREADS");
    const std::string saved = previous != nullptr ? previous : "";
    if (config.renderThreads > 0) setenv("VALMERE_RENDER_THREADS", std::to_string(config.renderThreads).c_str(), 1);
    const HRESULT created = direct3D_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window,
                                                    D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, device_.Receive());
    if (config.renderThreads > 0) {
        if (previous != nullptr) {
            setenv("VALMERE_RENDER_THREADS", saved.c_str(), 1);
        } else {
            unsetenv("VALMERE_RENDER_THREADS");
        }
    }
    if (FAILED(created)) return;
    device_->SetRenderState(D3DRS_LIGHTING, FALSE);
}

::testing::AssertionResult MatchesReference(const Renderer& reference, const std::string& scene) {
    if (!reference.Refused().empty()) return ::testing::AssertionFailure() << scene << ": " << reference.Refused();
    const Comparison comparison = reference.Compare();
    const std::string line = scene + ": " + comparison.Describe();
    if (std::getenv("VALMERE_REFERENCE_FIGURES") != nullptr) std::printf("[ figures  ] %s\n", line.c_str());
    if (!comparison.error.empty() || comparison.outside > 0) return ::testing::AssertionFailure() << line;
    return ::testing::AssertionSuccess();
}

std::vector<std::uint8_t> BackBufferBytes(IDirect3DDevice8* device) {
    ComPtr<IDirect3DSurface8> back, copy;
    D3DSURFACE_DESC desc{};
    if (FAILED(device->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, back.Receive())) || FAILED(back->GetDesc(&desc)) ||
        FAILED(device->CreateImageSurface(desc.Width, desc.Height, desc.Format, copy.Receive())) ||
        FAILED(device->CopyRects(back.Get(), nullptr, 0, copy.Get(), nullptr)))
        return {};
    D3DLOCKED_RECT locked{};
    if (FAILED(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY))) return {};
    const std::size_t rowBytes = desc.Size / desc.Height;
    std::vector<std::uint8_t> bytes(rowBytes * desc.Height);
    for (UINT y = 0; y < desc.Height; ++y) {
        std::memcpy(bytes.data() + y * rowBytes, static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch,
                    rowBytes);
    }
    copy->UnlockRect();
    return bytes;
}

}  // namespace valmere::reference
