// D3DXFilterTexture: every level below the source level of every face, made
// by the surface (or volume) loader. POINT and BOX chain (level i + 1 from
// level i: each level is read once); the other filters read the source level
// for every level.
#include "platform/d3d8/ComPtr.h"
#include "texture/D3DXTexture.h"
#include "texture/load/Requirements.h"

namespace valmere {
namespace {

// Level access of the three texture kinds, one face at a time.
struct LevelSource {
    IDirect3DTexture8* texture = nullptr;
    IDirect3DCubeTexture8* cube = nullptr;
    IDirect3DVolumeTexture8* volume = nullptr;

    // A level as the loader's interface; the out pointer holds a reference.
    HRESULT Level(UINT face, UINT level, IUnknown** out) const {
        if (volume) {
            IDirect3DVolume8* v = nullptr;
            const HRESULT hr = volume->GetVolumeLevel(level, &v);
            *out = v;
            return hr;
        }
        IDirect3DSurface8* s = nullptr;
        const HRESULT hr = cube ? cube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), level, &s)
                                : texture->GetSurfaceLevel(level, &s);
        *out = s;
        return hr;
    }

    HRESULT Load(IUnknown* to, IUnknown* from, const PALETTEENTRY* palette, DWORD filter) const {
        if (volume)
            return D3DXLoadVolumeFromVolume(static_cast<IDirect3DVolume8*>(to), palette, nullptr,
                                            static_cast<IDirect3DVolume8*>(from), palette, nullptr, filter, 0);
        return D3DXLoadSurfaceFromSurface(static_cast<IDirect3DSurface8*>(to), palette, nullptr,
                                          static_cast<IDirect3DSurface8*>(from), palette, nullptr, filter, 0);
    }

    // BOX when every extent of level 0 is a power of two, else TRIANGLE | DITHER.
    HRESULT DefaultFilter(DWORD& filter) const {
        UINT width = 0, height = 0, depth = 1;
        HRESULT hr;
        if (volume) {
            D3DVOLUME_DESC desc{};
            hr = volume->GetLevelDesc(0, &desc);
            width = desc.Width, height = desc.Height, depth = desc.Depth;
        } else {
            D3DSURFACE_DESC desc{};
            hr = cube ? cube->GetLevelDesc(0, &desc) : texture->GetLevelDesc(0, &desc);
            width = desc.Width, height = desc.Height;
        }
        if (FAILED(hr)) return hr;
        filter = IsPowerOfTwo(width) && IsPowerOfTwo(height) && IsPowerOfTwo(depth)
                     ? D3DX_FILTER_BOX
                     : D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER;
        return S_OK;
    }
};

}  // namespace
}  // namespace valmere

HRESULT WINAPI D3DXFilterTexture(LPDIRECT3DBASETEXTURE8 pBaseTexture, const PALETTEENTRY* pPalette, UINT SrcLevel,
                                 DWORD Filter) {
    using namespace valmere;
    if (!pBaseTexture) return D3DERR_INVALIDCALL;
    LevelSource levels;
    switch (pBaseTexture->GetType()) {
        case D3DRTYPE_TEXTURE: levels.texture = static_cast<IDirect3DTexture8*>(pBaseTexture); break;
        case D3DRTYPE_CUBETEXTURE: levels.cube = static_cast<IDirect3DCubeTexture8*>(pBaseTexture); break;
        case D3DRTYPE_VOLUMETEXTURE: levels.volume = static_cast<IDirect3DVolumeTexture8*>(pBaseTexture); break;
        default: return D3DERR_INVALIDCALL;
    }
    if (Filter == D3DX_DEFAULT) {
        const HRESULT hr = levels.DefaultFilter(Filter);
        if (FAILED(hr)) return hr;
    }
    if (levels.cube) Filter |= D3DX_FILTER_MIRROR;
    const UINT count = pBaseTexture->GetLevelCount();
    if (SrcLevel == D3DX_DEFAULT) SrcLevel = 0;
    if (SrcLevel >= count) return D3DERR_INVALIDCALL;
    const DWORD type = Filter & 0xFFFF;
    const bool chained = type == D3DX_FILTER_POINT || type == D3DX_FILTER_BOX;

    for (UINT face = 0; face < (levels.cube ? 6u : 1u); ++face) {
        IUnknown* raw = nullptr;
        HRESULT hr = levels.Level(face, SrcLevel, &raw);
        if (FAILED(hr)) return hr;
        ComPtr<IUnknown> source = ComPtr<IUnknown>::Adopt(raw);
        for (UINT level = SrcLevel + 1; level < count; ++level) {
            hr = levels.Level(face, level, &raw);
            if (FAILED(hr)) return hr;
            ComPtr<IUnknown> target = ComPtr<IUnknown>::Adopt(raw);
            hr = levels.Load(target.Get(), source.Get(), pPalette, Filter);
            if (FAILED(hr)) return hr;
            if (chained) source = target;
        }
    }
    return S_OK;
}
