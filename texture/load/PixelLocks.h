// Making a surface or volume addressable as memory for the blitter: the
// locks fill a LockedPixels descriptor and undo everything on Unlock.
#pragma once

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"
#include "texture/codec/LockedPixels.h"

#include <memory>

namespace valmere {

// Lock flags of SurfaceLock and VolumeLock.
constexpr DWORD kLockReadOnly = 0x1;
// The surface is also the other side of the same blit: work on a copy.
constexpr DWORD kLockSelfCopy = 0x10000;

// Holds at most one lock; locking again releases the previous one first.
//
// The locked region: DXT rectangles are widened outward to whole 4x4 blocks
// and YUY2/UYVY rectangles to even columns (clamped to the surface), so the
// memory handed out always starts on a whole pixel group; `region` is the
// caller's rectangle relative to the locked memory, and `extent` the size of
// the locked memory (the whole surface when nothing narrower was locked).
//
// A D3DPOOL_DEFAULT surface of a texture without D3DUSAGE_DYNAMIC cannot be
// locked: it is worked on through a system-memory image surface, filled with
// CopyRects (unless the whole surface is about to be written) and copied back
// on Unlock (unless the lock was read-only). kLockSelfCopy takes that path for
// any surface.
class SurfaceLock {
public:
    SurfaceLock() = default;
    SurfaceLock(const SurfaceLock&) = delete;
    SurfaceLock& operator=(const SurfaceLock&) = delete;
    ~SurfaceLock() { Unlock(); }

    // D3DERR_INVALIDCALL for a rectangle outside the surface or inverted;
    // failures of GetDesc, LockRect, CreateImageSurface and CopyRects
    // unchanged. `out` is written only on success.
    HRESULT Lock(LockedPixels& out, IDirect3DSurface8* surface, const PALETTEENTRY* palette, const RECT* rect,
                 D3DCOLOR colorKey, DWORD flags);
    // Releases the lock and any copy; the copy's write-back result (S_OK when
    // there was none).
    HRESULT Unlock();

private:
    ComPtr<IDirect3DSurface8> locked_;  // the surface whose LockRect is held
    ComPtr<IDirect3DSurface8> target_;  // the real surface when locked_ is its copy
    RECT targetRect_{};                 // the real surface's whole rectangle
    bool writeBack_ = false;
};

// The same for volumes. Volumes have no device copy, so kLockSelfCopy (and
// nothing else) reads the box into memory of the lock's own.
class VolumeLock {
public:
    VolumeLock() = default;
    VolumeLock(const VolumeLock&) = delete;
    VolumeLock& operator=(const VolumeLock&) = delete;
    ~VolumeLock() { Unlock(); }

    // D3DERR_INVALIDCALL for a box outside the volume or inverted;
    // E_OUTOFMEMORY when the self copy cannot be made; failures of GetDesc and
    // LockBox unchanged.
    HRESULT Lock(LockedPixels& out, IDirect3DVolume8* volume, const PALETTEENTRY* palette, const D3DBOX* box,
                 D3DCOLOR colorKey, DWORD flags);
    HRESULT Unlock();

private:
    ComPtr<IDirect3DVolume8> locked_;
    std::unique_ptr<std::byte[]> copy_;
};

}  // namespace valmere
