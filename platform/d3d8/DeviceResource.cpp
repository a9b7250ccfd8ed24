#include "platform/d3d8/DeviceResource.h"

#include "platform/d3d8/Device.h"

namespace valmere::d3d8 {

DeviceResource::DeviceResource(Device* device, D3DRESOURCETYPE type, DWORD usage, D3DPOOL pool, Tracking tracking)
    : device_(device), type_(type), usage_(usage), pool_(pool), tracking_(tracking) {
    if (device_ != nullptr && tracking_ == Tracking::Tracked) device_->RegisterResource(this);
}

DeviceResource::~DeviceResource() {
    if (device_ != nullptr && tracking_ == Tracking::Tracked) device_->UnregisterResource(this);
}

HRESULT DeviceResource::DeviceInterface(IDirect3DDevice8** device) const {
    if (device == nullptr || device_ == nullptr) return D3DERR_INVALIDCALL;
    device_->AddRef();
    *device = device_;
    return D3D_OK;
}

}  // namespace valmere::d3d8
