#include "texture/load/PixelLocks.h"

#include <cstring>
#include <new>

#include "texture/load/PixelGroups.h"

namespace valmere {
namespace {

bool BoxInside(const D3DBOX& box, const D3DVOLUME_DESC& desc) {
    return box.Left <= box.Right && box.Top <= box.Bottom && box.Front <= box.Back && box.Right <= desc.Width &&
           box.Bottom <= desc.Height && box.Back <= desc.Depth;
}

// Rows of pixel groups and bytes per such row of a box.
struct BoxBytes {
    UINT rows;
    UINT rowBytes;
};

BoxBytes BytesOf(const D3DBOX& box, const PixelGroup& group) {
    return {(box.Bottom - box.Top + group.height - 1) / group.height,
            (box.Right - box.Left + group.width - 1) / group.width * group.bytes};
}

}  // namespace

HRESULT VolumeLock::Lock(LockedPixels& out, IDirect3DVolume8* volume, const PALETTEENTRY* palette,
                         const D3DBOX* box, D3DCOLOR colorKey, DWORD flags) {
    Unlock();
    if (!volume) return D3DERR_INVALIDCALL;
    D3DVOLUME_DESC desc{};
    HRESULT hr = volume->GetDesc(&desc);
    if (FAILED(hr)) return hr;
    const D3DBOX whole{0, 0, desc.Width, desc.Height, 0, desc.Depth};
    const D3DBOX wanted = box ? *box : whole;
    if (!BoxInside(wanted, desc)) return D3DERR_INVALIDCALL;
    const bool readOnly = (flags & kLockReadOnly) != 0;

    const PixelGroup group = PixelGroupOf(desc.Format);
    D3DBOX locked = wanted;
    locked.Left = AlignDown(wanted.Left, group.width);
    locked.Right = AlignUp(wanted.Right, group.width, desc.Width);
    locked.Top = AlignDown(wanted.Top, group.height);
    locked.Bottom = AlignUp(wanted.Bottom, group.height, desc.Height);
    // The device locks no empty box: an empty one is held inside the whole
    // volume, as SurfaceLock does.
    if (locked.Left == locked.Right || locked.Top == locked.Bottom || locked.Front == locked.Back) locked = whole;
    const bool lockWhole = locked.Left == 0 && locked.Top == 0 && locked.Front == 0 && locked.Right == desc.Width &&
                           locked.Bottom == desc.Height && locked.Back == desc.Depth;

    D3DLOCKED_BOX bits{};
    hr = volume->LockBox(&bits, lockWhole ? nullptr : &locked, D3DLOCK_NOSYSLOCK | (readOnly ? D3DLOCK_READONLY : 0));
    if (FAILED(hr)) return hr;

    out = LockedPixels{};
    out.pixels = bits.pBits;
    out.rowPitch = bits.RowPitch;
    out.slicePitch = bits.SlicePitch;
    if ((flags & kLockSelfCopy) != 0) {
        // Packed rows and slices of the locked box, read before the volume
        // is written.
        const BoxBytes bytes = BytesOf(locked, group);
        const UINT slices = locked.Back - locked.Front;
        const std::size_t size = std::size_t{bytes.rows} * bytes.rowBytes * slices;
        copy_.reset(new (std::nothrow) std::byte[size == 0 ? 1 : size]);
        if (!copy_) {
            volume->UnlockBox();
            return E_OUTOFMEMORY;
        }
        auto* to = copy_.get();
        for (UINT z = 0; z < slices; ++z)
            for (UINT y = 0; y < bytes.rows; ++y, to += bytes.rowBytes)
                std::memcpy(to, static_cast<const std::byte*>(bits.pBits) + std::ptrdiff_t{bits.SlicePitch} * z +
                                    std::ptrdiff_t{bits.RowPitch} * y,
                            bytes.rowBytes);
        volume->UnlockBox();
        out.pixels = copy_.get();
        out.rowPitch = static_cast<INT>(bytes.rowBytes);
        out.slicePitch = static_cast<INT>(std::size_t{bytes.rows} * bytes.rowBytes);
    } else {
        locked_ = ComPtr<IDirect3DVolume8>::Share(volume);
    }
    out.format = desc.Format;
    out.extent = D3DBOX{0, 0, locked.Right - locked.Left, locked.Bottom - locked.Top, 0, locked.Back - locked.Front};
    out.region = D3DBOX{wanted.Left - locked.Left, wanted.Top - locked.Top, wanted.Right - locked.Left,
                        wanted.Bottom - locked.Top, wanted.Front - locked.Front, wanted.Back - locked.Front};
    out.dither = TRUE;
    out.colorKey = colorKey;
    out.palette = palette;
    return S_OK;
}

HRESULT VolumeLock::Unlock() {
    copy_.reset();
    if (!locked_) return S_OK;
    const HRESULT hr = locked_->UnlockBox();
    locked_.Reset();
    return hr;
}

}  // namespace valmere
