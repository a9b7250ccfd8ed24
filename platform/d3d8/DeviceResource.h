// What every resource of a device shares: its device, type, usage and pool,
// and the COM methods of IDirect3DResource8.
//
// Resources do not hold a reference to their device: the device tracks its
// live resources and detaches them when it is destroyed (GetDevice then
// fails), so that a texture still bound to a device does not keep it alive
// in a cycle.
#pragma once

#include "platform/d3d8/Direct3D8.h"
#include "platform/d3d8/RefCounted.h"

namespace valmere::d3d8 {

class Device;

class DeviceResource {
public:
    // Tracked resources (the ones Create calls hand out) register with the
    // device; sub-objects (texture levels) are reached through their
    // container.
    enum class Tracking { Tracked, Untracked };

    DeviceResource(Device* device, D3DRESOURCETYPE type, DWORD usage, D3DPOOL pool, Tracking tracking);
    virtual ~DeviceResource();
    DeviceResource(const DeviceResource&) = delete;
    DeviceResource& operator=(const DeviceResource&) = delete;

    Device* OwningDevice() const { return device_; }
    D3DRESOURCETYPE ResourceType() const { return type_; }
    DWORD Usage() const { return usage_; }
    D3DPOOL Pool() const { return pool_; }

    // A reset of the device: the contents of default-pool resources are lost.
    virtual void OnDeviceReset() = 0;
    // The device is being destroyed.
    virtual void DetachFromDevice() { device_ = nullptr; }

    HRESULT DeviceInterface(IDirect3DDevice8** device) const;

protected:
    DWORD priority_ = 0;

private:
    Device* device_;
    D3DRESOURCETYPE type_;
    DWORD usage_;
    D3DPOOL pool_;
    Tracking tracking_;
};

// The IDirect3DResource8 methods over a DeviceResource-derived Base.
template <class Interface, class Base>
class ResourceObject : public RefCounted<Interface>, public Base {
public:
    template <class... Args>
    explicit ResourceObject(Args&&... args) : Base(static_cast<Args&&>(args)...) {}

    HRESULT GetDevice(IDirect3DDevice8** device) override { return this->DeviceInterface(device); }
    DWORD SetPriority(DWORD priority) override {
        const DWORD old = this->priority_;
        this->priority_ = priority;
        return old;
    }
    DWORD GetPriority() override { return this->priority_; }
    void PreLoad() override {}
    D3DRESOURCETYPE GetType() override { return this->ResourceType(); }
};

}  // namespace valmere::d3d8
