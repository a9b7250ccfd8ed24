// D3DXLoadVolumeFromMemory and D3DXLoadVolumeFromVolume: the surface loads
// with boxes and slice pitches.
#include "texture/D3DXTexture.h"
#include "texture/load/Blitter.h"
#include "texture/load/LoadFromMemory.h"
#include "texture/load/PixelLocks.h"

HRESULT WINAPI D3DXLoadVolumeFromMemory(LPDIRECT3DVOLUME8 pDestVolume, const PALETTEENTRY* pDestPalette,
                                        const D3DBOX* pDestBox, LPCVOID pSrcMemory, D3DFORMAT SrcFormat,
                                        UINT SrcRowPitch, UINT SrcSlicePitch, const PALETTEENTRY* pSrcPalette,
                                        const D3DBOX* pSrcBox, DWORD Filter, D3DCOLOR ColorKey) {
    using namespace valmere;
    if (!pDestVolume || !pSrcMemory || !pSrcBox) return D3DERR_INVALIDCALL;
    if (Filter == D3DX_DEFAULT) Filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    const D3DBOX& b = *pSrcBox;
    if (b.Right < b.Left || b.Bottom < b.Top || b.Back < b.Front || !IsValidFilter(Filter)) return D3DERR_INVALIDCALL;

    return LoadIntoLocked<VolumeLock>(
        pDestVolume, pDestPalette, pDestBox,
        MemorySource(pSrcMemory, SrcFormat, SrcRowPitch, SrcSlicePitch, b, ColorKey, pSrcPalette), Filter);
}

HRESULT WINAPI D3DXLoadVolumeFromVolume(LPDIRECT3DVOLUME8 pDestVolume, const PALETTEENTRY* pDestPalette,
                                        const D3DBOX* pDestBox, LPDIRECT3DVOLUME8 pSrcVolume,
                                        const PALETTEENTRY* pSrcPalette, const D3DBOX* pSrcBox, DWORD Filter,
                                        D3DCOLOR ColorKey) {
    using namespace valmere;
    if (!pDestVolume || !pSrcVolume) return D3DERR_INVALIDCALL;
    VolumeLock lock;
    LockedPixels source;
    HRESULT hr = lock.Lock(source, pSrcVolume, pSrcPalette, pSrcBox, ColorKey,
                           kLockReadOnly | (pSrcVolume == pDestVolume ? kLockSelfCopy : 0));
    if (FAILED(hr)) return hr;
    hr = D3DXLoadVolumeFromMemory(pDestVolume, pDestPalette, pDestBox, source.pixels, source.format,
                                  static_cast<UINT>(source.rowPitch), static_cast<UINT>(source.slicePitch),
                                  pSrcPalette, &source.region, Filter, ColorKey);
    const HRESULT unlocked = lock.Unlock();
    return FAILED(hr) ? hr : unlocked;
}
