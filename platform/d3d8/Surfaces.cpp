#include "platform/d3d8/Surfaces.h"

#include "platform/d3d8/Device.h"
#include "platform/d3d8/FailureInjection.h"

namespace valmere::d3d8 {
namespace {

constexpr DWORD kSurfaceLockFlags = D3DLOCK_READONLY | D3DLOCK_NOSYSLOCK | D3DLOCK_DISCARD | D3DLOCK_NO_DIRTY_UPDATE;

// Checks a lock request and marks the memory locked. Discarding is only for
// dynamic memory, as in Direct3D 8. A write lock counts as a change of the
// contents.
HRESULT LockStorage(const char* callName, PixelStorage& storage, const D3DBOX& box, DWORD flags, DWORD usage,
                    bool lockable, std::uint8_t** bits) {
    if (InjectedFailure(callName)) return D3DERR_INVALIDCALL;
    if (!lockable || storage.locked) return D3DERR_INVALIDCALL;
    if ((flags & ~kSurfaceLockFlags) != 0) return D3DERR_INVALIDCALL;
    if ((flags & D3DLOCK_DISCARD) != 0 && ((usage & D3DUSAGE_DYNAMIC) == 0 || (flags & D3DLOCK_READONLY) != 0))
        return D3DERR_INVALIDCALL;
    if (!storage.IsValidRegion(box)) return D3DERR_INVALIDCALL;
    storage.locked = true;
    if ((flags & D3DLOCK_READONLY) == 0) storage.MarkChanged();
    *bits = storage.Address(box.Left, box.Top, box.Front);
    return D3D_OK;
}

HRESULT UnlockStorage(PixelStorage& storage) {
    if (!storage.locked) return D3DERR_INVALIDCALL;
    storage.locked = false;
    return D3D_OK;
}

HRESULT ContainerOrDevice(IUnknown* container, const DeviceResource& resource, REFIID riid, void** object) {
    if (object == nullptr) return D3DERR_INVALIDCALL;
    if (container != nullptr) return container->QueryInterface(riid, object);
    if (riid != IID_IDirect3DDevice8) return E_NOINTERFACE;
    IDirect3DDevice8* device = nullptr;
    const HRESULT result = resource.DeviceInterface(&device);
    if (FAILED(result)) return E_NOINTERFACE;
    *object = device;
    return D3D_OK;
}

}  // namespace

bool IsLockablePool(D3DPOOL pool, DWORD usage) { return pool != D3DPOOL_DEFAULT || (usage & D3DUSAGE_DYNAMIC) != 0; }

Surface::Surface(Device* device, IUnknown* container, PixelStorage storage, DWORD usage, D3DPOOL pool, bool lockable,
                 Tracking tracking)
    : RefCounted(container),
      DeviceResource(device, D3DRTYPE_SURFACE, usage, pool, tracking),
      storage_(std::move(storage)),
      lockable_(lockable) {}

HRESULT Surface::GetContainer(REFIID riid, void** container) { return ContainerOrDevice(Container(), *this, riid, container); }

HRESULT Surface::GetDesc(D3DSURFACE_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = D3DSURFACE_DESC{storage_.Format(), D3DRTYPE_SURFACE, Usage(), Pool(), storage_.PackedSize(),
                            D3DMULTISAMPLE_NONE, storage_.Width(), storage_.Height()};
    return D3D_OK;
}

HRESULT Surface::LockRect(D3DLOCKED_RECT* lockedRect, const RECT* rect, DWORD flags) {
    D3DBOX box{};
    if (lockedRect == nullptr || !BoxFromRect(storage_, rect, box)) return D3DERR_INVALIDCALL;
    if (Device* device = OwningDevice()) device->FinishRenderingInto(storage_);
    std::uint8_t* bits = nullptr;
    const HRESULT result = LockStorage("LockRect", storage_, box, flags, Usage(), lockable_, &bits);
    if (FAILED(result)) return result;
    lockedRect->Pitch = static_cast<INT>(storage_.Pitch());
    lockedRect->pBits = bits;
    return D3D_OK;
}

HRESULT Surface::UnlockRect() { return UnlockStorage(storage_); }

void Surface::OnDeviceReset() {
    if (Pool() != D3DPOOL_DEFAULT) return;
    storage_.locked = false;
    storage_.Discard();
}

Volume::Volume(Device* device, IUnknown* container, PixelStorage storage, DWORD usage, D3DPOOL pool, bool lockable)
    : RefCounted(container),
      DeviceResource(device, D3DRTYPE_VOLUME, usage, pool, Tracking::Untracked),
      storage_(std::move(storage)),
      lockable_(lockable) {}

HRESULT Volume::GetContainer(REFIID riid, void** container) { return ContainerOrDevice(Container(), *this, riid, container); }

HRESULT Volume::GetDesc(D3DVOLUME_DESC* desc) {
    if (desc == nullptr) return D3DERR_INVALIDCALL;
    *desc = D3DVOLUME_DESC{storage_.Format(), D3DRTYPE_VOLUME, Usage(), Pool(), storage_.PackedSize(),
                           storage_.Width(), storage_.Height(), storage_.Depth()};
    return D3D_OK;
}

HRESULT Volume::LockBox(D3DLOCKED_BOX* lockedVolume, const D3DBOX* box, DWORD flags) {
    if (lockedVolume == nullptr) return D3DERR_INVALIDCALL;
    const D3DBOX region = box != nullptr ? *box : storage_.WholeRegion();
    std::uint8_t* bits = nullptr;
    const HRESULT result = LockStorage("LockBox", storage_, region, flags, Usage(), lockable_, &bits);
    if (FAILED(result)) return result;
    lockedVolume->RowPitch = static_cast<INT>(storage_.Pitch());
    lockedVolume->SlicePitch = static_cast<INT>(storage_.SlicePitch());
    lockedVolume->pBits = bits;
    return D3D_OK;
}

HRESULT Volume::UnlockBox() { return UnlockStorage(storage_); }

void Volume::OnDeviceReset() {
    if (Pool() != D3DPOOL_DEFAULT) return;
    storage_.locked = false;
    storage_.Discard();
}

}  // namespace valmere::d3d8
