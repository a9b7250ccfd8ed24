// The texture-from-file entry points: where the bytes come from (a mapped
// file, a module resource, the caller's memory) and which kind of texture
// they fill. Every one ends in CreateTextureFromImageMemory.
#include "texture/image/MappedFile.h"
#include "texture/load/CreateTextureFromImage.h"

namespace valmere {
namespace {

template <class Interface>
constexpr D3DRESOURCETYPE kTypeOf = D3DRTYPE_TEXTURE;
template <>
constexpr D3DRESOURCETYPE kTypeOf<IDirect3DCubeTexture8> = D3DRTYPE_CUBETEXTURE;
template <>
constexpr D3DRESOURCETYPE kTypeOf<IDirect3DVolumeTexture8> = D3DRTYPE_VOLUMETEXTURE;

template <class Interface>
HRESULT FromMemory(IDirect3DDevice8* device, const void* data, std::size_t size, const TextureRequest& request,
                   Interface** out) {
    if (!out) return D3DERR_INVALIDCALL;
    IDirect3DBaseTexture8* texture = nullptr;
    const HRESULT hr = CreateTextureFromImageMemory(device, data, size, request, kTypeOf<Interface>, &texture);
    if (SUCCEEDED(hr)) *out = static_cast<Interface*>(texture);
    return hr;
}

// Opens the file or resource, loads from its bytes, closes it.
template <class Source, class Interface, class... Where>
HRESULT FromSource(IDirect3DDevice8* device, const TextureRequest& request, Interface** out, Where... where) {
    Source source;
    const HRESULT hr = source.Open(where...);
    if (FAILED(hr)) return hr;
    return FromMemory(device, source.Data(), source.Size(), request, out);
}

TextureRequest Request(UINT width, UINT height, UINT depth, UINT mipLevels, DWORD usage, D3DFORMAT format,
                       D3DPOOL pool, DWORD filter, DWORD mipFilter, D3DCOLOR colorKey, D3DXIMAGE_INFO* info,
                       PALETTEENTRY* palette) {
    return {width, height, depth, mipLevels, usage, format, pool, filter, mipFilter, colorKey, info, palette};
}

}  // namespace
}  // namespace valmere

using valmere::FromMemory;
using valmere::FromSource;
using valmere::MappedFile;
using valmere::Request;
using valmere::ResourceBlock;
using valmere::TextureRequest;

// 2D textures

HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<MappedFile>(pDevice, TextureRequest{}, ppTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateTextureFromFileW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile,
                                          LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<MappedFile>(pDevice, TextureRequest{}, ppTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                            DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                            LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<MappedFile>(pDevice,
                                  Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                          ColorKey, pSrcInfo, pPalette),
                                  ppTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateTextureFromFileExW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                            DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                            LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<MappedFile>(pDevice,
                                  Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                          ColorKey, pSrcInfo, pPalette),
                                  ppTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                              LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<ResourceBlock>(pDevice, TextureRequest{}, ppTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateTextureFromResourceW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                              LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<ResourceBlock>(pDevice, TextureRequest{}, ppTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateTextureFromResourceExA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                                UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<ResourceBlock>(pDevice,
                                     Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                             ColorKey, pSrcInfo, pPalette),
                                     ppTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateTextureFromResourceExW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                LPCWSTR pSrcResource, UINT Width, UINT Height, UINT MipLevels,
                                                DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE8* ppTexture) {
    return FromSource<ResourceBlock>(pDevice,
                                     Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                             ColorKey, pSrcInfo, pPalette),
                                     ppTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                 LPDIRECT3DTEXTURE8* ppTexture) {
    return FromMemory(pDevice, pSrcData, SrcDataSize, TextureRequest{}, ppTexture);
}
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                   UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                   D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                   D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                   PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE8* ppTexture) {
    return FromMemory(pDevice, pSrcData, SrcDataSize,
                      Request(Width, Height, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo,
                              pPalette),
                      ppTexture);
}

// Cube textures: one edge length for width and height.

HRESULT WINAPI D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                              LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<MappedFile>(pDevice, TextureRequest{}, ppCubeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile,
                                              LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<MappedFile>(pDevice, TextureRequest{}, ppCubeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Size,
                                                UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<MappedFile>(
        pDevice, Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette),
        ppCubeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileExW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile, UINT Size,
                                                UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<MappedFile>(
        pDevice, Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette),
        ppCubeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateCubeTextureFromResourceA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                  LPCSTR pSrcResource, LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<ResourceBlock>(pDevice, TextureRequest{}, ppCubeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateCubeTextureFromResourceW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                  LPCWSTR pSrcResource, LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<ResourceBlock>(pDevice, TextureRequest{}, ppCubeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateCubeTextureFromResourceExA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCSTR pSrcResource, UINT Size, UINT MipLevels, DWORD Usage,
                                                    D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                    PALETTEENTRY* pPalette, LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<ResourceBlock>(
        pDevice, Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette),
        ppCubeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateCubeTextureFromResourceExW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCWSTR pSrcResource, UINT Size, UINT MipLevels, DWORD Usage,
                                                    D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                    PALETTEENTRY* pPalette, LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromSource<ResourceBlock>(
        pDevice, Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette),
        ppCubeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                     LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromMemory(pDevice, pSrcData, SrcDataSize, TextureRequest{}, ppCubeTexture);
}
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemoryEx(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                       UINT SrcDataSize, UINT Size, UINT MipLevels, DWORD Usage,
                                                       D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                       DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                       PALETTEENTRY* pPalette, LPDIRECT3DCUBETEXTURE8* ppCubeTexture) {
    return FromMemory(
        pDevice, pSrcData, SrcDataSize,
        Request(Size, Size, 1, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey, pSrcInfo, pPalette),
        ppCubeTexture);
}

// Volume textures

HRESULT WINAPI D3DXCreateVolumeTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                                LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<MappedFile>(pDevice, TextureRequest{}, ppVolumeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile,
                                                LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<MappedFile>(pDevice, TextureRequest{}, ppVolumeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width,
                                                  UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                                  D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                  D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                  LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<MappedFile>(pDevice,
                                  Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                          ColorKey, pSrcInfo, pPalette),
                                  ppVolumeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileExW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile, UINT Width,
                                                  UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                                  D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                  D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                  LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<MappedFile>(pDevice,
                                  Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                          ColorKey, pSrcInfo, pPalette),
                                  ppVolumeTexture, pSrcFile);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCSTR pSrcResource, LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<ResourceBlock>(pDevice, TextureRequest{}, ppVolumeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCWSTR pSrcResource, LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<ResourceBlock>(pDevice, TextureRequest{}, ppVolumeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceExA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                      LPCSTR pSrcResource, UINT Width, UINT Height, UINT Depth,
                                                      UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                      DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                      D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                      LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<ResourceBlock>(pDevice,
                                     Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                             ColorKey, pSrcInfo, pPalette),
                                     ppVolumeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceExW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                      LPCWSTR pSrcResource, UINT Width, UINT Height, UINT Depth,
                                                      UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                      DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                      D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                      LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromSource<ResourceBlock>(pDevice,
                                     Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter,
                                             ColorKey, pSrcInfo, pPalette),
                                     ppVolumeTexture, hSrcModule, pSrcResource);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                       UINT SrcDataSize, LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromMemory(pDevice, pSrcData, SrcDataSize, TextureRequest{}, ppVolumeTexture);
}
HRESULT WINAPI D3DXCreateVolumeTextureFromFileInMemoryEx(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                         UINT SrcDataSize, UINT Width, UINT Height, UINT Depth,
                                                         UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                         DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                         D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                         LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture) {
    return FromMemory(pDevice, pSrcData, SrcDataSize,
                      Request(Width, Height, Depth, MipLevels, Usage, Format, Pool, Filter, MipFilter, ColorKey,
                              pSrcInfo, pPalette),
                      ppVolumeTexture);
}
