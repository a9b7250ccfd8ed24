// Surfaces and volumes: the lockable pixel memory of image surfaces, render
// targets, depth buffers, the back buffer and every texture level.
//
// A surface or volume inside a texture shares the texture's reference count
// (see RefCounted) and answers GetContainer with it. A free surface answers
// GetContainer for IID_IDirect3DDevice8 with its device.
#pragma once

#include "platform/d3d8/DeviceResource.h"
#include "platform/d3d8/PixelStorage.h"

namespace valmere::d3d8 {

class Surface final : public RefCounted<IDirect3DSurface8>, public DeviceResource {
public:
    // container: the texture holding this level, or null for a free surface.
    // lockable: whether LockRect is allowed at all (default-pool memory that
    // is neither dynamic nor created lockable is not).
    Surface(Device* device, IUnknown* container, PixelStorage storage, DWORD usage, D3DPOOL pool, bool lockable,
            Tracking tracking);

    HRESULT GetDevice(IDirect3DDevice8** device) override { return DeviceInterface(device); }
    HRESULT GetContainer(REFIID riid, void** container) override;
    HRESULT GetDesc(D3DSURFACE_DESC* desc) override;
    HRESULT LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect() override;

    PixelStorage& Storage() { return storage_; }
    void OnDeviceReset() override;

private:
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_IDirect3DSurface8; }

    PixelStorage storage_;
    bool lockable_;
};

class Volume final : public RefCounted<IDirect3DVolume8>, public DeviceResource {
public:
    Volume(Device* device, IUnknown* container, PixelStorage storage, DWORD usage, D3DPOOL pool, bool lockable);

    HRESULT GetDevice(IDirect3DDevice8** device) override { return DeviceInterface(device); }
    HRESULT GetContainer(REFIID riid, void** container) override;
    HRESULT GetDesc(D3DVOLUME_DESC* desc) override;
    HRESULT LockBox(D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) override;
    HRESULT UnlockBox() override;

    PixelStorage& Storage() { return storage_; }
    void OnDeviceReset() override;

private:
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_IDirect3DVolume8; }

    PixelStorage storage_;
    bool lockable_;
};

// Whether memory of this pool and usage can be locked without a copy.
bool IsLockablePool(D3DPOOL pool, DWORD usage);

}  // namespace valmere::d3d8
