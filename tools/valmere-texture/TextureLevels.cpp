#include "tools/valmere-texture/TextureLevels.h"

#include "platform/d3d8/ComPtr.h"
#include "texture/load/PixelLocks.h"

namespace valmere::tools {
namespace {

// Locks one surface or volume read-only for the visitor and releases it
// afterwards (the visitor's failure wins over the unlock's).
template <class Lock, class Resource>
HRESULT VisitLocked(Resource* resource, const PALETTEENTRY* palette, UINT face, UINT level,
                    const LevelVisitor& visit) {
    Lock lock;
    LockedPixels locked;
    HRESULT hr = lock.Lock(locked, resource, palette, nullptr, 0, kLockReadOnly);
    if (FAILED(hr)) {
        return hr;
    }
    hr = visit(face, level, locked);
    const HRESULT unlocked = lock.Unlock();
    return FAILED(hr) ? hr : unlocked;
}

// One level of one face of a texture of the given shape.
HRESULT VisitLevel(IDirect3DBaseTexture8* texture, const TextureShape& shape, const PALETTEENTRY* palette, UINT face,
                   UINT level, const LevelVisitor& visit) {
    if (shape.type == D3DRTYPE_VOLUMETEXTURE) {
        ComPtr<IDirect3DVolume8> volume;
        const HRESULT hr = static_cast<IDirect3DVolumeTexture8*>(texture)->GetVolumeLevel(level, volume.Receive());
        return FAILED(hr) ? hr : VisitLocked<VolumeLock>(volume.Get(), palette, face, level, visit);
    }
    ComPtr<IDirect3DSurface8> surface;
    const HRESULT hr = shape.type == D3DRTYPE_CUBETEXTURE
                           ? static_cast<IDirect3DCubeTexture8*>(texture)->GetCubeMapSurface(
                                 static_cast<D3DCUBEMAP_FACES>(face), level, surface.Receive())
                           : static_cast<IDirect3DTexture8*>(texture)->GetSurfaceLevel(level, surface.Receive());
    return FAILED(hr) ? hr : VisitLocked<SurfaceLock>(surface.Get(), palette, face, level, visit);
}

}  // namespace

HRESULT DescribeTexture(IDirect3DBaseTexture8* texture, TextureShape& shape) {
    if (!texture) {
        return D3DERR_INVALIDCALL;
    }
    TextureShape s;
    s.type = texture->GetType();
    s.levels = texture->GetLevelCount();
    HRESULT hr = D3DERR_INVALIDCALL;
    if (s.type == D3DRTYPE_TEXTURE || s.type == D3DRTYPE_CUBETEXTURE) {
        D3DSURFACE_DESC desc{};
        hr = s.type == D3DRTYPE_TEXTURE ? static_cast<IDirect3DTexture8*>(texture)->GetLevelDesc(0, &desc)
                                        : static_cast<IDirect3DCubeTexture8*>(texture)->GetLevelDesc(0, &desc);
        s.format = desc.Format;
        s.width = desc.Width;
        s.height = desc.Height;
        s.faces = s.type == D3DRTYPE_CUBETEXTURE ? 6 : 1;
    } else if (s.type == D3DRTYPE_VOLUMETEXTURE) {
        D3DVOLUME_DESC desc{};
        hr = static_cast<IDirect3DVolumeTexture8*>(texture)->GetLevelDesc(0, &desc);
        s.format = desc.Format;
        s.width = desc.Width;
        s.height = desc.Height;
        s.depth = desc.Depth;
    }
    if (SUCCEEDED(hr)) {
        shape = s;
    }
    return hr;
}

HRESULT ForEachLevel(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, const LevelVisitor& visit) {
    TextureShape shape;
    HRESULT hr = DescribeTexture(texture, shape);
    for (UINT face = 0; SUCCEEDED(hr) && face < shape.faces; ++face) {
        for (UINT level = 0; SUCCEEDED(hr) && level < shape.levels; ++level) {
            hr = VisitLevel(texture, shape, palette, face, level, visit);
        }
    }
    return hr;
}

}  // namespace valmere::tools
