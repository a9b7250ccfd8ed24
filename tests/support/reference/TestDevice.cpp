#include "tests/support/reference/TestDevice.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

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
    if (FAILED(direct3D_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                       &parameters, device_.Receive())))
        return;
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

}  // namespace valmere::reference
