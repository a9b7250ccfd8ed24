// D3DXLoadSurfaceFromMemory and D3DXLoadSurfaceFromSurface: lock the
// destination (and a source surface), describe the source memory, blit.
#include <cstring>

#include "texture/D3DXTexture.h"
#include "texture/load/Blitter.h"
#include "texture/load/LoadFromMemory.h"
#include "texture/load/FormatChoice.h"
#include "texture/load/PixelLocks.h"

namespace valmere {
namespace {

bool SamePalettes(const PALETTEENTRY* a, const PALETTEENTRY* b) {
    if (a == b) return true;
    return a && b && std::memcmp(a, b, 256 * sizeof(PALETTEENTRY)) == 0;
}

RECT WholeRect(IDirect3DSurface8* surface, const RECT* rect, bool& known) {
    D3DSURFACE_DESC desc{};
    known = rect || SUCCEEDED(surface->GetDesc(&desc));
    return rect ? *rect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
}

// Equal sizes without a box filter, colour key or palette change: the device
// copies the pixels itself.
bool DeviceCopied(IDirect3DSurface8* destination, const RECT* destRect, IDirect3DSurface8* source,
                  const RECT* srcRect) {
    bool destKnown = false, srcKnown = false;
    const RECT to = WholeRect(destination, destRect, destKnown);
    const RECT from = WholeRect(source, srcRect, srcKnown);
    if (!destKnown || !srcKnown || to.right - to.left != from.right - from.left ||
        to.bottom - to.top != from.bottom - from.top)
        return false;
    ComPtr<IDirect3DDevice8> device;
    if (FAILED(source->GetDevice(device.Receive()))) return false;
    const POINT corner{to.left, to.top};
    MuteDebugRuntime(true);
    const bool copied = SUCCEEDED(device->CopyRects(source, &from, 1, destination, &corner));
    MuteDebugRuntime(false);
    return copied;
}

}  // namespace

}  // namespace valmere

HRESULT WINAPI D3DXLoadSurfaceFromMemory(LPDIRECT3DSURFACE8 pDestSurface, const PALETTEENTRY* pDestPalette,
                                         const RECT* pDestRect, LPCVOID pSrcMemory, D3DFORMAT SrcFormat,
                                         UINT SrcPitch, const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect,
                                         DWORD Filter, D3DCOLOR ColorKey) {
    using namespace valmere;
    if (!pDestSurface || !pSrcMemory || !pSrcRect) return D3DERR_INVALIDCALL;
    if (Filter == D3DX_DEFAULT) Filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    const RECT& r = *pSrcRect;
    if (r.left < 0 || r.top < 0 || r.right < r.left || r.bottom < r.top) return D3DERR_INVALIDCALL;
    if (!IsValidFilter(Filter)) return D3DERR_INVALIDCALL;

    const D3DBOX box{static_cast<UINT>(r.left), static_cast<UINT>(r.top), static_cast<UINT>(r.right),
                     static_cast<UINT>(r.bottom), 0, 1};
    return LoadIntoLocked<SurfaceLock>(pDestSurface, pDestPalette, pDestRect,
                                       MemorySource(pSrcMemory, SrcFormat, SrcPitch, 0, box, ColorKey, pSrcPalette),
                                       Filter);
}

HRESULT WINAPI D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE8 pDestSurface, const PALETTEENTRY* pDestPalette,
                                          const RECT* pDestRect, LPDIRECT3DSURFACE8 pSrcSurface,
                                          const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                          D3DCOLOR ColorKey) {
    using namespace valmere;
    if (!pDestSurface || !pSrcSurface) return D3DERR_INVALIDCALL;
    if (Filter == D3DX_DEFAULT) Filter = D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
    if ((Filter & 0xFFFF) != D3DX_FILTER_BOX && ColorKey == 0 && SamePalettes(pDestPalette, pSrcPalette) &&
        IsValidFilter(Filter) && DeviceCopied(pDestSurface, pDestRect, pSrcSurface, pSrcRect))
        return S_OK;

    SurfaceLock lock;
    LockedPixels source;
    HRESULT hr = lock.Lock(source, pSrcSurface, pSrcPalette, pSrcRect, ColorKey,
                           kLockReadOnly | (pSrcSurface == pDestSurface ? kLockSelfCopy : 0));
    if (FAILED(hr)) return hr;
    // The lock's region is the source rectangle inside the locked memory.
    const D3DBOX& box = source.region;
    const RECT region{static_cast<LONG>(box.Left), static_cast<LONG>(box.Top), static_cast<LONG>(box.Right),
                      static_cast<LONG>(box.Bottom)};
    hr = D3DXLoadSurfaceFromMemory(pDestSurface, pDestPalette, pDestRect, source.pixels, source.format,
                                   static_cast<UINT>(source.rowPitch), pSrcPalette, &region, Filter, ColorKey);
    const HRESULT unlocked = lock.Unlock();
    return FAILED(hr) ? hr : unlocked;
}
