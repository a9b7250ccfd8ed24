// What the surface and volume loads from memory share: the caller's memory
// described as a blit source, and the blit into a held lock.
#pragma once

#include "texture/codec/LockedPixels.h"
#include "texture/load/Blitter.h"

namespace valmere {

// The source side of a load: `box` is both the extent and the region, in
// the coordinates of `pixels`.
inline LockedPixels MemorySource(const void* pixels, D3DFORMAT format, UINT rowPitch, UINT slicePitch,
                                 const D3DBOX& box, D3DCOLOR colorKey, const PALETTEENTRY* palette) {
    LockedPixels source;
    source.pixels = const_cast<void*>(pixels);
    source.format = format;
    source.rowPitch = static_cast<INT>(rowPitch);
    source.slicePitch = static_cast<INT>(slicePitch);
    source.extent = box;
    source.region = box;
    source.colorKey = colorKey;
    source.palette = palette;
    return source;
}

// Locks the destination, blits, unlocks: the first failure, else S_OK.
template <class Lock, class Target, class Area>
HRESULT LoadIntoLocked(Target* target, const PALETTEENTRY* palette, const Area* area, const LockedPixels& source,
                       DWORD filter) {
    Lock lock;
    LockedPixels destination;
    HRESULT hr = lock.Lock(destination, target, palette, area, 0, 0);
    if (FAILED(hr)) return hr;
    hr = Blit(destination, source, filter);
    const HRESULT unlocked = lock.Unlock();
    if (FAILED(hr)) return hr;
    return FAILED(unlocked) ? unlocked : S_OK;
}

}  // namespace valmere
