#include "fuzz/FuzzDevice.h"

#include "fuzz/FuzzCheck.h"
#include "platform/d3d8/DeviceProfile.h"
#include "platform/host/InputDispatch.h"

#include <cstdint>
#include <cstdlib>

namespace valmere::fuzz {
namespace {

d3d8::DeviceProfile ProfileAt(unsigned index) {
    const d3d8::DeviceProfile base = d3d8::DefaultDeviceProfile();
    switch (index) {
        case 1: return d3d8::WithDynamicTextures(base);
        case 2: return d3d8::PowerOfTwoOnly(base);
        case 3: return d3d8::ConditionalNonPowerOfTwo(base);
        case 4: return d3d8::SquareOnly(base);
        case 5: return d3d8::WithoutMipmaps(base);
        default: return base;
    }
}

FuzzDevice MakeDevice(unsigned index) {
    static host::HeadlessHost* const host = [] {
        setenv("VALMERE_RENDER_THREADS", "1", 1);
        host::HeadlessHost& installed = host::InstallHeadlessHost();
        host::ResetFocusState();
        return &installed;
    }();
    FuzzDevice made;
    made.host = host;
    made.parameters.BackBufferWidth = 640;
    made.parameters.BackBufferHeight = 480;
    made.parameters.BackBufferFormat = D3DFMT_R5G6B5;
    made.parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    made.parameters.hDeviceWindow = reinterpret_cast<HWND>(std::uintptr_t{0x1000});
    made.parameters.EnableAutoDepthStencil = TRUE;
    made.parameters.AutoDepthStencilFormat = D3DFMT_D16;
    d3d8::SelectDeviceProfile(ProfileAt(index));
    IDirect3D8* direct3D = Direct3DCreate8(D3D_SDK_VERSION);
    d3d8::ResetDeviceProfile();
    Require(direct3D != nullptr, "Direct3DCreate8 failed");
    D3DPRESENT_PARAMETERS parameters = made.parameters;
    const HRESULT hr = direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, parameters.hDeviceWindow,
                                              D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &made.device);
    direct3D->Release();  // the device holds its Direct3D object
    Require(SUCCEEDED(hr), "CreateDevice on profile %u: 0x%08X", index, static_cast<unsigned>(hr));
    return made;
}

}  // namespace

const FuzzDevice& DeviceOfProfile(unsigned index) {
    static FuzzDevice devices[kProfileCount];
    FuzzDevice& chosen = devices[index % kProfileCount];
    if (!chosen.device) {
        chosen = MakeDevice(index % kProfileCount);
    }
    if (chosen.device->TestCooperativeLevel() != D3D_OK) {
        if (!host::ApplicationHasFocus()) {
            chosen.host->GainFocus(0);
        }
        D3DPRESENT_PARAMETERS parameters = chosen.parameters;
        Require(chosen.device->TestCooperativeLevel() == D3DERR_DEVICENOTRESET &&
                    chosen.device->Reset(&parameters) == D3D_OK,
                "a lost device could not be reset");
    }
    return chosen;
}

ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

}  // namespace valmere::fuzz
