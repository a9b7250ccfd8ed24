#include "platform/d3d8/Direct3DObject.h"

#include "platform/d3d8/Device.h"
#include "platform/d3d8/FailureInjection.h"

namespace valmere::d3d8 {

bool Direct3DObject::IsThisAdapter(UINT adapter, D3DDEVTYPE deviceType) const {
    return adapter == D3DADAPTER_DEFAULT && deviceType == profile_.caps.DeviceType;
}

UINT Direct3DObject::GetAdapterModeCount(UINT adapter) {
    return adapter == D3DADAPTER_DEFAULT ? static_cast<UINT>(profile_.fullscreenModes.size()) : 0;
}

HRESULT Direct3DObject::EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) {
    if (adapter != D3DADAPTER_DEFAULT || displayMode == nullptr || mode >= profile_.fullscreenModes.size())
        return D3DERR_INVALIDCALL;
    *displayMode = profile_.fullscreenModes[mode];
    return D3D_OK;
}

HRESULT Direct3DObject::GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) {
    if (adapter != D3DADAPTER_DEFAULT || displayMode == nullptr) return D3DERR_INVALIDCALL;
    *displayMode = profile_.desktopMode;
    return D3D_OK;
}

HRESULT Direct3DObject::CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat,
                                        D3DFORMAT backBufferFormat, BOOL windowed) {
    if (!IsThisAdapter(adapter, checkType)) return D3DERR_INVALIDCALL;
    const bool displayOk = windowed ? displayFormat == profile_.desktopMode.Format : IsDisplayFormat(profile_, displayFormat);
    if (!displayOk) return D3DERR_NOTAVAILABLE;
    if (!ProfileAcceptsFormat(profile_, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, backBufferFormat))
        return D3DERR_NOTAVAILABLE;
    return D3D_OK;
}

HRESULT Direct3DObject::CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                                          D3DRESOURCETYPE type, D3DFORMAT checkFormat) {
    if (InjectedFailure("CheckDeviceFormat")) return D3DERR_NOTAVAILABLE;
    if (!IsThisAdapter(adapter, deviceType) || !IsDisplayFormat(profile_, adapterFormat)) return D3DERR_INVALIDCALL;
    return ProfileAcceptsFormat(profile_, type, usage, checkFormat) ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DObject::CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                               D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) {
    if (!IsThisAdapter(adapter, deviceType) || !IsDisplayFormat(profile_, adapterFormat)) return D3DERR_INVALIDCALL;
    const bool match =
        ProfileAcceptsFormat(profile_, D3DRTYPE_SURFACE, D3DUSAGE_RENDERTARGET, renderTargetFormat) &&
        ProfileAcceptsFormat(profile_, D3DRTYPE_SURFACE, D3DUSAGE_DEPTHSTENCIL, depthStencilFormat);
    return match ? D3D_OK : D3DERR_NOTAVAILABLE;
}

HRESULT Direct3DObject::GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) {
    if (InjectedFailure("GetDeviceCaps")) return D3DERR_INVALIDCALL;
    if (caps == nullptr || !IsThisAdapter(adapter, deviceType)) return D3DERR_INVALIDCALL;
    *caps = profile_.caps;
    return D3D_OK;
}

HRESULT Direct3DObject::CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                                     D3DPRESENT_PARAMETERS* presentationParameters,
                                     IDirect3DDevice8** returnedDevice) {
    return Device::Create(*this, adapter, deviceType, focusWindow, behaviorFlags, presentationParameters,
                          returnedDevice);
}

}  // namespace valmere::d3d8

IDirect3D8* Direct3DCreate8(UINT sdkVersion) {
    using namespace valmere::d3d8;
    if (sdkVersion != D3D_SDK_VERSION || InjectedFailure("Direct3DCreate8")) return nullptr;
    return new Direct3DObject(SelectedDeviceProfile());
}
