// The IDirect3D8 object: one adapter described by the device profile that
// was selected when Direct3DCreate8 ran.
#pragma once

#include "platform/d3d8/DeviceProfile.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/d3d8/RefCounted.h"

namespace valmere::d3d8 {

class Direct3DObject final : public RefCounted<IDirect3D8> {
public:
    explicit Direct3DObject(const DeviceProfile& profile) : profile_(profile) {}

    UINT GetAdapterCount() override { return 1; }
    UINT GetAdapterModeCount(UINT adapter) override;
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override;
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override;
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE checkType, D3DFORMAT displayFormat, D3DFORMAT backBufferFormat,
                            BOOL windowed) override;
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat, DWORD usage,
                              D3DRESOURCETYPE type, D3DFORMAT checkFormat) override;
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE deviceType, D3DFORMAT adapterFormat,
                                   D3DFORMAT renderTargetFormat, D3DFORMAT depthStencilFormat) override;
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE deviceType, D3DCAPS8* caps) override;
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE deviceType, HWND focusWindow, DWORD behaviorFlags,
                         D3DPRESENT_PARAMETERS* presentationParameters, IDirect3DDevice8** returnedDevice) override;

    const DeviceProfile& Profile() const { return profile_; }
    // Whether adapter and device type name this adapter.
    bool IsThisAdapter(UINT adapter, D3DDEVTYPE deviceType) const;

private:
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_IDirect3D8; }

    DeviceProfile profile_;
};

}  // namespace valmere::d3d8
