#include "texture/load/CreateTextureFromImage.h"

#include <cstring>

#include "platform/d3d8/ComPtr.h"
#include "texture/format/PixelFormat.h"
#include "texture/image/LoadImage.h"
#include "texture/load/FormatChoice.h"
#include "texture/load/ImageDefaults.h"
#include "texture/load/PixelGroups.h"
#include "texture/load/Requirements.h"

namespace valmere {
namespace {

// The faces and levels of the texture being filled.
class Target {
public:
    Target(IDirect3DBaseTexture8* texture, D3DRESOURCETYPE type) : texture_(texture), type_(type) {}

    // Loads `image` into level `level` of face `face`.
    HRESULT Load(UINT face, UINT level, const DecodedImage& image, const PALETTEENTRY* destinationPalette,
                 const PALETTEENTRY* sourcePalette, DWORD filter, D3DCOLOR colorKey) const {
        const ImageBox& b = image.box;
        if (type_ == D3DRTYPE_VOLUMETEXTURE) {
            IDirect3DVolume8* raw = nullptr;
            HRESULT hr = static_cast<IDirect3DVolumeTexture8*>(texture_)->GetVolumeLevel(level, &raw);
            if (FAILED(hr)) return hr;
            const auto volume = ComPtr<IDirect3DVolume8>::Adopt(raw);
            const D3DBOX box{b.left, b.top, b.right, b.bottom, b.front, b.back};
            return D3DXLoadVolumeFromMemory(volume.Get(), destinationPalette, nullptr, image.pixels, image.format,
                                            image.rowPitch, image.slicePitch, sourcePalette, &box, filter, colorKey);
        }
        IDirect3DSurface8* raw = nullptr;
        HRESULT hr = type_ == D3DRTYPE_CUBETEXTURE
                         ? static_cast<IDirect3DCubeTexture8*>(texture_)->GetCubeMapSurface(
                               static_cast<D3DCUBEMAP_FACES>(face), level, &raw)
                         : static_cast<IDirect3DTexture8*>(texture_)->GetSurfaceLevel(level, &raw);
        if (FAILED(hr)) return hr;
        const auto surface = ComPtr<IDirect3DSurface8>::Adopt(raw);
        const RECT rect{static_cast<LONG>(b.left), static_cast<LONG>(b.top), static_cast<LONG>(b.right),
                        static_cast<LONG>(b.bottom)};
        return D3DXLoadSurfaceFromMemory(surface.Get(), destinationPalette, nullptr, image.pixels, image.format,
                                         image.rowPitch, sourcePalette, &rect, filter, colorKey);
    }

private:
    IDirect3DBaseTexture8* texture_;
    D3DRESOURCETYPE type_;
};

HRESULT CreateOfType(IDirect3DDevice8* device, D3DRESOURCETYPE type, UINT width, UINT height, UINT depth,
                     UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool, ComPtr<IDirect3DBaseTexture8>& out) {
    HRESULT hr;
    if (type == D3DRTYPE_CUBETEXTURE) {
        IDirect3DCubeTexture8* cube = nullptr;
        hr = device->CreateCubeTexture(width, levels, usage, format, pool, &cube);
        out = ComPtr<IDirect3DBaseTexture8>::Adopt(cube);
    } else if (type == D3DRTYPE_VOLUMETEXTURE) {
        IDirect3DVolumeTexture8* volume = nullptr;
        hr = device->CreateVolumeTexture(width, height, depth, levels, usage, format, pool, &volume);
        out = ComPtr<IDirect3DBaseTexture8>::Adopt(volume);
    } else {
        IDirect3DTexture8* texture = nullptr;
        hr = device->CreateTexture(width, height, levels, usage, format, pool, &texture);
        out = ComPtr<IDirect3DBaseTexture8>::Adopt(texture);
    }
    return hr;
}

}  // namespace

HRESULT CreateTextureFromImageMemory(IDirect3DDevice8* device, const void* data, std::size_t size,
                                     const TextureRequest& request, D3DRESOURCETYPE type,
                                     IDirect3DBaseTexture8** texture) {
    if (!device || !data || size == 0 || !texture) return D3DERR_INVALIDCALL;
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    HRESULT hr = LoadImage(image, data, size, &info, true);
    if (FAILED(hr)) return hr;

    const UINT levelsInFile = image.LevelCount();
    UINT faces = 1;
    if (type == D3DRTYPE_CUBETEXTURE) {
        for (const DecodedImage* face = image.nextFace.get(); face; face = face->nextFace.get()) ++faces;
        if (faces != 6) return E_FAIL;
    }

    UINT width = request.width == 0 || request.width == D3DX_DEFAULT ? image.width : request.width;
    UINT height = request.height == 0 || request.height == D3DX_DEFAULT ? image.height : request.height;
    UINT depth = request.depth == 0 || request.depth == D3DX_DEFAULT ? image.depth : request.depth;
    DWORD filter = request.filter == D3DX_DEFAULT ? D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER : request.filter;
    DWORD mipFilter = request.mipFilter == D3DX_DEFAULT ? D3DX_FILTER_BOX : request.mipFilter;
    if (type == D3DRTYPE_CUBETEXTURE) {
        filter |= D3DX_FILTER_MIRROR;
        mipFilter |= D3DX_FILTER_MIRROR;
    }
    const bool mipFilterPass = UsesMipFilterPass(filter, mipFilter);
    D3DFORMAT format = request.format == D3DFMT_UNKNOWN
                           ? FormatForImage(image, request.colorKey, request.usage, request.pool, type)
                           : request.format;

    D3DCOLOR colorKey = request.colorKey;
    PALETTEENTRY palette[kPaletteEntries];
    BuildWorkingPalette(image, colorKey, palette);
    if (!request.palette) format = WidenPaletteFormat(format, palette);
    const DWORD usage = request.usage == D3DX_DEFAULT ? 0 : request.usage;
    const bool staged = request.pool == D3DPOOL_DEFAULT && (usage & D3DUSAGE_DYNAMIC) == 0;

    UINT mipLevels = request.mipLevels;
    hr = CheckResourceRequirements(device, &width, &height, type == D3DRTYPE_VOLUMETEXTURE ? &depth : nullptr,
                                   &mipLevels, &format, request.pool, type, usage);
    if (FAILED(hr)) return hr;

    ComPtr<IDirect3DBaseTexture8> created, staging;
    hr = CreateOfType(device, type, width, height, depth, mipLevels, usage, format, request.pool, created);
    if (FAILED(hr)) return hr;
    if (staged) {
        hr = CreateOfType(device, type, width, height, depth, mipLevels, 0, format, D3DPOOL_SYSTEMMEM, staging);
        if (FAILED(hr)) return hr;
    }
    IDirect3DBaseTexture8* filled = staged ? staging.Get() : created.Get();
    const Target target(filled, type);

    // A caller's palette receives the working entries, so the loads may
    // match against them as the destination palette.
    const PALETTEENTRY* destinationPalette = request.palette ? palette : nullptr;
    const DecodedImage* face = &image;
    for (UINT f = 0; f < faces; ++f, face = face->nextFace.get()) {
        const DecodedImage* last = face;
        UINT level = 0;
        for (const DecodedImage* l = face; l && level < levelsInFile && level < mipLevels; l = l->nextLevel.get()) {
            hr = target.Load(f, level++, *l, destinationPalette, palette, filter, colorKey);
            if (FAILED(hr)) return hr;
            last = l;
        }
        if (!mipFilterPass)
            for (; level < mipLevels; ++level) {
                hr = target.Load(f, level, *last, destinationPalette, palette, filter, colorKey);
                if (FAILED(hr)) return hr;
            }
    }
    if (mipFilterPass && levelsInFile < mipLevels) {
        hr = D3DXFilterTexture(filled, palette, levelsInFile - 1, mipFilter);
        if (FAILED(hr)) return hr;
    }
    if (staged) {
        hr = device->UpdateTexture(staging.Get(), created.Get());
        if (FAILED(hr)) return hr;
    }
    if (request.info) *request.info = info;
    if (request.palette) std::memcpy(request.palette, palette, sizeof palette);
    *texture = created.Detach();
    return S_OK;
}

}  // namespace valmere
