// Texture functions of the extension library: defaults, filter words, image
// file information. Everything here works with any program written against
// the platform API (platform/d3d8/Direct3D8.h).
#pragma once

#include "platform/d3d8/Direct3D8.h"

// In any size, level-count, filter or format parameter: let the library choose.
constexpr UINT D3DX_DEFAULT = 0xFFFFFFFFu;

// Filter words: the filter type in the low 16 bits, flags above.
constexpr DWORD D3DX_FILTER_NONE = 1;
constexpr DWORD D3DX_FILTER_POINT = 2;
constexpr DWORD D3DX_FILTER_LINEAR = 3;
constexpr DWORD D3DX_FILTER_TRIANGLE = 4;
constexpr DWORD D3DX_FILTER_BOX = 5;
constexpr DWORD D3DX_FILTER_MIRROR_U = 0x10000;
constexpr DWORD D3DX_FILTER_MIRROR_V = 0x20000;
constexpr DWORD D3DX_FILTER_MIRROR_W = 0x40000;
constexpr DWORD D3DX_FILTER_MIRROR = D3DX_FILTER_MIRROR_U | D3DX_FILTER_MIRROR_V | D3DX_FILTER_MIRROR_W;
constexpr DWORD D3DX_FILTER_DITHER = 0x80000;

// The bytes given are not an image file that any reader accepts.
constexpr HRESULT D3DXERR_INVALIDDATA = MAKE_HRESULT_CODE(0x88760B59u);

// Which reader accepted a file.
enum D3DXIMAGE_FILEFORMAT : DWORD {
    D3DXIFF_BMP = 0,
    D3DXIFF_JPG = 1,
    D3DXIFF_TGA = 2,
    D3DXIFF_PNG = 3,
    D3DXIFF_DDS = 4,
    D3DXIFF_PPM = 5,
    D3DXIFF_DIB = 6,
    D3DXIFF_FORCE_DWORD = 0x7FFFFFFF
};

// Description of an image file: size of its first image, the number of mip
// levels it holds (1 for every format but DDS), its pixel format as a
// Direct3D format, the kind of texture it describes and the reader that took it.
struct D3DXIMAGE_INFO {
    UINT Width;
    UINT Height;
    UINT Depth;
    UINT MipLevels;
    D3DFORMAT Format;
    D3DRESOURCETYPE ResourceType;
    D3DXIMAGE_FILEFORMAT ImageFileFormat;
};
static_assert(sizeof(D3DXIMAGE_INFO) == 28, "D3DXIMAGE_INFO is seven 32-bit fields");

// Reads the description of the image file held in pSrcData (SrcDataSize
// bytes) into *pSrcInfo (may be null: then the bytes are only checked).
// S_OK; D3DERR_INVALIDCALL for null data or a zero size; D3DXERR_INVALIDDATA
// when no reader accepts the bytes. *pSrcInfo is written only on success.
HRESULT WINAPI D3DXGetImageInfoFromFileInMemory(LPCVOID pSrcData, UINT SrcDataSize, D3DXIMAGE_INFO* pSrcInfo);

// As D3DXGetImageInfoFromFileInMemory, over the whole file pSrcFile.
// D3DERR_INVALIDCALL for a null name; D3DXERR_INVALIDDATA when the file
// cannot be opened, mapped or sized.
HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXGetImageInfoFromFileW(LPCWSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo);

// As D3DXGetImageInfoFromFileInMemory, over the resource pSrcResource of
// hSrcModule (looked up as RT_BITMAP, then RT_RCDATA). D3DXERR_INVALIDDATA
// when the resource is missing, empty or cannot be loaded.
HRESULT WINAPI D3DXGetImageInfoFromResourceA(HMODULE hSrcModule, LPCSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo);
HRESULT WINAPI D3DXGetImageInfoFromResourceW(HMODULE hSrcModule, LPCWSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo);
