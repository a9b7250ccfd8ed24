#include "texture/load/PixelLocks.h"

#include "texture/load/PixelGroups.h"

namespace valmere {
namespace {

bool RectInside(const RECT& rect, UINT width, UINT height) {
    return rect.left >= 0 && rect.top >= 0 && rect.left <= rect.right && rect.top <= rect.bottom &&
           static_cast<UINT>(rect.right) <= width && static_cast<UINT>(rect.bottom) <= height;
}

// The texture that holds the surface, or null for a free surface.
ComPtr<IDirect3DBaseTexture8> ContainingTexture(IDirect3DSurface8* surface) {
    void* container = nullptr;
    if (FAILED(surface->GetContainer(IID_IDirect3DBaseTexture8, &container))) return nullptr;
    return ComPtr<IDirect3DBaseTexture8>::Adopt(static_cast<IDirect3DBaseTexture8*>(container));
}

}  // namespace

HRESULT SurfaceLock::Lock(LockedPixels& out, IDirect3DSurface8* surface, const PALETTEENTRY* palette,
                          const RECT* rect, D3DCOLOR colorKey, DWORD flags) {
    Unlock();
    if (!surface) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    HRESULT hr = surface->GetDesc(&desc);
    if (FAILED(hr)) return hr;

    const RECT whole{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    const RECT wanted = rect ? *rect : whole;
    if (!RectInside(wanted, desc.Width, desc.Height)) return D3DERR_INVALIDCALL;
    const bool readOnly = (flags & kLockReadOnly) != 0;
    const bool coversWhole = wanted.left == 0 && wanted.top == 0 && wanted.right == whole.right &&
                             wanted.bottom == whole.bottom;
    const bool fullWrite = coversWhole && !readOnly;
    const bool lockable = desc.Pool != D3DPOOL_DEFAULT || (desc.Usage & D3DUSAGE_DYNAMIC) != 0;
    const bool selfCopy = (flags & kLockSelfCopy) != 0;

    // Widen to whole pixel groups; lock the whole surface when that is what
    // the widened rectangle is.
    const PixelGroup group = PixelGroupOf(desc.Format);
    RECT locked = wanted;
    if (group.width > 1) {
        locked.left = static_cast<LONG>(AlignDown(static_cast<UINT>(wanted.left), group.width));
        locked.right = static_cast<LONG>(AlignUp(static_cast<UINT>(wanted.right), group.width, desc.Width));
    }
    if (group.height > 1) {
        locked.top = static_cast<LONG>(AlignDown(static_cast<UINT>(wanted.top), group.height));
        locked.bottom = static_cast<LONG>(AlignUp(static_cast<UINT>(wanted.bottom), group.height, desc.Height));
    }
    // The device locks no empty rectangle: an empty one is held inside the
    // whole surface, so that a load with no pixel to read or write goes on
    // as it does from memory.
    if (locked.left == locked.right || locked.top == locked.bottom) locked = whole;
    const bool lockWhole =
        locked.left == 0 && locked.top == 0 && locked.right == whole.right && locked.bottom == whole.bottom;

    ComPtr<IDirect3DSurface8> target = ComPtr<IDirect3DSurface8>::Share(surface);
    ComPtr<IDirect3DSurface8> lockedSurface = target;
    bool copied = false;
    if (selfCopy || (!lockable && ContainingTexture(surface))) {
        ComPtr<IDirect3DDevice8> device;
        hr = surface->GetDevice(device.Receive());
        if (FAILED(hr)) return hr;
        ComPtr<IDirect3DSurface8> copy;
        hr = device->CreateImageSurface(AlignUp(desc.Width, group.width, 0xFFFFFFFCu),
                                        AlignUp(desc.Height, group.height, 0xFFFFFFFCu), desc.Format,
                                        copy.Receive());
        if (FAILED(hr)) return hr;
        if (!fullWrite) {
            const POINT origin{0, 0};
            hr = device->CopyRects(surface, &whole, 1, copy.Get(), &origin);
            if (FAILED(hr)) return hr;
        }
        lockedSurface = copy;
        copied = true;
    }

    DWORD lockFlags = D3DLOCK_NOSYSLOCK | (readOnly ? D3DLOCK_READONLY : 0);
    if (!copied && fullWrite && (desc.Usage & D3DUSAGE_DYNAMIC)) {
        const ComPtr<IDirect3DBaseTexture8> texture = ContainingTexture(surface);
        if (texture && texture->GetLevelCount() == 1) lockFlags |= D3DLOCK_DISCARD;
    }
    D3DLOCKED_RECT bits{};
    hr = lockedSurface->LockRect(&bits, lockWhole ? nullptr : &locked, lockFlags);
    if (FAILED(hr)) return hr;

    locked_ = lockedSurface;
    if (copied) {
        target_ = target;
        targetRect_ = whole;
        writeBack_ = !readOnly;
    }
    out = LockedPixels{};
    out.pixels = bits.pBits;
    out.format = desc.Format;
    out.rowPitch = bits.Pitch;
    out.slicePitch = 0;
    out.extent = D3DBOX{0, 0, static_cast<UINT>(locked.right - locked.left),
                        static_cast<UINT>(locked.bottom - locked.top), 0, 1};
    out.region = D3DBOX{static_cast<UINT>(wanted.left - locked.left), static_cast<UINT>(wanted.top - locked.top),
                        static_cast<UINT>(wanted.right - locked.left), static_cast<UINT>(wanted.bottom - locked.top),
                        0, 1};
    out.dither = TRUE;
    out.colorKey = colorKey;
    out.palette = palette;
    return S_OK;
}

HRESULT SurfaceLock::Unlock() {
    if (!locked_) return S_OK;
    HRESULT hr = locked_->UnlockRect();
    if (target_ && writeBack_) {
        ComPtr<IDirect3DDevice8> device;
        HRESULT copyResult = target_->GetDevice(device.Receive());
        if (SUCCEEDED(copyResult)) {
            const POINT origin{0, 0};
            copyResult = device->CopyRects(locked_.Get(), &targetRect_, 1, target_.Get(), &origin);
        }
        if (SUCCEEDED(hr)) hr = copyResult;
    }
    locked_.Reset();
    target_.Reset();
    writeBack_ = false;
    return hr;
}

}  // namespace valmere
