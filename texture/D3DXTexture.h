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

// ---------------------------------------------------------------------------
// Requirements and creation
//
// Pool must be D3DPOOL_DEFAULT, D3DPOOL_MANAGED, D3DPOOL_SYSTEMMEM or
// D3DPOOL_SCRATCH; Usage (D3DX_DEFAULT means 0) may hold only
// D3DUSAGE_RENDERTARGET, D3DUSAGE_DEPTHSTENCIL, D3DUSAGE_WRITEONLY and
// D3DUSAGE_DYNAMIC; anything else is D3DERR_INVALIDCALL.

// Fits a 2D texture's size, level count and format to the device, in place.
// Every pointer may be null (the value is then D3DX_DEFAULT, or
// D3DFMT_UNKNOWN for the format). Sizes: both D3DX_DEFAULT give 256 by 256,
// one D3DX_DEFAULT takes the other's value, 0 becomes 1; then clamped to the
// device's maximum and aspect ratio, rounded up to powers of two where the
// device needs them, and to multiples of 4 for DXT formats. Levels: 0,
// D3DX_DEFAULT or too many give the full chain down to 1 by 1; 1 when the
// device cannot mipmap this texture. Format: the given one when the device
// accepts it, else the closest one it accepts (D3DFMT_UNKNOWN: A8R8G8B8 or
// its closest). D3DPOOL_SCRATCH checks nothing against the device.
// S_OK; D3DERR_INVALIDCALL for a null device, bad usage or pool;
// D3DERR_NOTAVAILABLE when the device accepts no usable format. Nothing is
// written on failure.
HRESULT WINAPI D3DXCheckTextureRequirements(LPDIRECT3DDEVICE8 pDevice, UINT* pWidth, UINT* pHeight,
                                            UINT* pNumMipLevels, DWORD Usage, D3DFORMAT* pFormat, D3DPOOL Pool);
// As D3DXCheckTextureRequirements for a cube texture of edge *pSize.
HRESULT WINAPI D3DXCheckCubeTextureRequirements(LPDIRECT3DDEVICE8 pDevice, UINT* pSize, UINT* pNumMipLevels,
                                                DWORD Usage, D3DFORMAT* pFormat, D3DPOOL Pool);
// As D3DXCheckTextureRequirements for a volume texture; a depth of 0 or
// D3DX_DEFAULT becomes 1, and every extent is clamped to MaxVolumeExtent.
HRESULT WINAPI D3DXCheckVolumeTextureRequirements(LPDIRECT3DDEVICE8 pDevice, UINT* pWidth, UINT* pHeight,
                                                  UINT* pDepth, UINT* pNumMipLevels, DWORD Usage,
                                                  D3DFORMAT* pFormat, D3DPOOL Pool);

// Creates a texture with the size, levels and format that
// D3DXCheckTextureRequirements makes of the arguments, into *ppTexture (one
// reference for the caller). D3DERR_INVALIDCALL for a null device or out
// pointer; otherwise the result of the check or of the device's
// CreateTexture.
HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE8 pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                 D3DFORMAT Format, D3DPOOL Pool, LPDIRECT3DTEXTURE8* ppTexture);

// ---------------------------------------------------------------------------
// Surface and volume loading
//
// Filter: a D3DX_FILTER type (NONE crops or pads with transparent black,
// POINT, LINEAR, TRIANGLE, BOX) with the MIRROR and DITHER flags;
// D3DX_DEFAULT means D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER. A type of 0 or
// above 5, or a flag bit at 0x100000 or above, is D3DERR_INVALIDCALL.
// ColorKey: source pixels of this ARGB colour become transparent black; 0
// keys nothing. Palettes are 256 entries or null.

// Converts the rectangle pSrcRect of pSrcMemory (format SrcFormat, SrcPitch
// bytes per row, or per row of 4x4 blocks for DXT) into the rectangle
// pDestRect of pDestSurface (null: the whole surface), resampling with Filter
// when the sizes differ. S_OK; D3DERR_INVALIDCALL for a null surface, memory
// or source rectangle, a destination rectangle outside the surface or
// inverted, or a bad filter; E_FAIL for a format without a codec; a lock's
// failure unchanged. A failed load may leave the destination partly written.
HRESULT WINAPI D3DXLoadSurfaceFromMemory(LPDIRECT3DSURFACE8 pDestSurface, const PALETTEENTRY* pDestPalette,
                                         const RECT* pDestRect, LPCVOID pSrcMemory, D3DFORMAT SrcFormat,
                                         UINT SrcPitch, const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect,
                                         DWORD Filter, D3DCOLOR ColorKey);
// As D3DXLoadSurfaceFromMemory from the rectangle pSrcRect (null: whole) of
// pSrcSurface, which may be pDestSurface itself. Equal sizes without a box
// filter, colour key or palette change are copied by the device.
HRESULT WINAPI D3DXLoadSurfaceFromSurface(LPDIRECT3DSURFACE8 pDestSurface, const PALETTEENTRY* pDestPalette,
                                          const RECT* pDestRect, LPDIRECT3DSURFACE8 pSrcSurface,
                                          const PALETTEENTRY* pSrcPalette, const RECT* pSrcRect, DWORD Filter,
                                          D3DCOLOR ColorKey);
// The volume forms: boxes instead of rectangles, and the source's bytes per
// slice (SrcSlicePitch) besides its bytes per row.
HRESULT WINAPI D3DXLoadVolumeFromMemory(LPDIRECT3DVOLUME8 pDestVolume, const PALETTEENTRY* pDestPalette,
                                        const D3DBOX* pDestBox, LPCVOID pSrcMemory, D3DFORMAT SrcFormat,
                                        UINT SrcRowPitch, UINT SrcSlicePitch, const PALETTEENTRY* pSrcPalette,
                                        const D3DBOX* pSrcBox, DWORD Filter, D3DCOLOR ColorKey);
HRESULT WINAPI D3DXLoadVolumeFromVolume(LPDIRECT3DVOLUME8 pDestVolume, const PALETTEENTRY* pDestPalette,
                                        const D3DBOX* pDestBox, LPDIRECT3DVOLUME8 pSrcVolume,
                                        const PALETTEENTRY* pSrcPalette, const D3DBOX* pSrcBox, DWORD Filter,
                                        D3DCOLOR ColorKey);

// ---------------------------------------------------------------------------
// Mipmap filtering

// Fills the levels below SrcLevel (D3DX_DEFAULT: 0) of a 2D, cube or volume
// texture, every face, by resampling with Filter. POINT and BOX make each
// level from the one above it, the other filters from SrcLevel. D3DX_DEFAULT
// is BOX when every extent of level 0 is a power of two, else TRIANGLE |
// DITHER; cube textures always filter with the MIRROR flags. pPalette serves
// as source and destination palette. S_OK (also when SrcLevel is the last
// level); D3DERR_INVALIDCALL for a null texture, a resource that is not a
// texture, or SrcLevel past the last level; otherwise the first failing
// level's result (the levels made before it stay).
HRESULT WINAPI D3DXFilterTexture(LPDIRECT3DBASETEXTURE8 pBaseTexture, const PALETTEENTRY* pPalette, UINT SrcLevel,
                                 DWORD Filter);

// ---------------------------------------------------------------------------
// Texture creation from image files
//
// Every form reads the whole file (BMP, DIB, TGA, PPM, DDS, PNG or JPEG),
// fits the texture to the device as D3DXCheckTextureRequirements does and
// loads every level: the levels the file holds through the surface loader
// with Filter, the rest through D3DXFilterTexture with MipFilter (or, when
// Filter is not NONE and MipFilter is LINEAR or TRIANGLE, scaled from the
// file's smallest level with Filter).
//
// Parameters of the Ex forms: Width, Height (Depth) 0 or D3DX_DEFAULT take
// the file's size; MipLevels 0 or D3DX_DEFAULT the full chain; Format
// D3DFMT_UNKNOWN the file's format (R8G8B8 becomes X8R8G8B8 outside
// D3DPOOL_SCRATCH; a colour key on a format without alpha asks for one with
// alpha); Filter D3DX_DEFAULT is TRIANGLE | DITHER, MipFilter D3DX_DEFAULT
// BOX. ColorKey keys out source pixels (for a palettized file: the palette
// entries) of that ARGB colour. pSrcInfo, when given, receives the file's
// description; pPalette, when given, receives the 256 palette entries used
// (then palettized formats are kept, else they are widened to A8R8G8B8 or
// X8R8G8B8). D3DPOOL_DEFAULT textures without D3DUSAGE_DYNAMIC are loaded
// through a system-memory copy and UpdateTexture. The non-Ex forms are the
// Ex forms with every size, level count and filter D3DX_DEFAULT, usage 0,
// D3DFMT_UNKNOWN, D3DPOOL_MANAGED, no colour key, no information and no
// palette.
//
// Results: S_OK with the texture in the out pointer (one reference for the
// caller); D3DERR_INVALIDCALL for a null device, name, data or out pointer or
// a zero size; D3DXERR_INVALIDDATA for a file that cannot be opened, mapped
// or read as an image, or a missing resource; E_FAIL for a cube texture
// whose file does not hold six faces; otherwise the failing step's result
// (requirements, creation, loading, filtering). Nothing is written on
// failure.

HRESULT WINAPI D3DXCreateTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile,
                                          LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                            DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                            LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileExW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile, UINT Width, UINT Height,
                                            UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                            DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                            D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                            LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                              LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule, LPCWSTR pSrcResource,
                                              LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceExA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule, LPCSTR pSrcResource,
                                                UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromResourceExW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                LPCWSTR pSrcResource, UINT Width, UINT Height, UINT MipLevels,
                                                DWORD Usage, D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                 LPDIRECT3DTEXTURE8* ppTexture);
HRESULT WINAPI D3DXCreateTextureFromFileInMemoryEx(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                   UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                                   D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                   D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                   PALETTEENTRY* pPalette, LPDIRECT3DTEXTURE8* ppTexture);

// Cube textures: the file must hold six faces (a DDS cube map); Size is the
// edge length (0 or D3DX_DEFAULT: the file's width).
HRESULT WINAPI D3DXCreateCubeTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                              LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile,
                                              LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Size,
                                                UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileExW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile, UINT Size,
                                                UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromResourceA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                  LPCSTR pSrcResource, LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromResourceW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                  LPCWSTR pSrcResource, LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromResourceExA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCSTR pSrcResource, UINT Size, UINT MipLevels, DWORD Usage,
                                                    D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                    PALETTEENTRY* pPalette, LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromResourceExW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCWSTR pSrcResource, UINT Size, UINT MipLevels, DWORD Usage,
                                                    D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                    D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                    PALETTEENTRY* pPalette, LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData, UINT SrcDataSize,
                                                     LPDIRECT3DCUBETEXTURE8* ppCubeTexture);
HRESULT WINAPI D3DXCreateCubeTextureFromFileInMemoryEx(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                       UINT SrcDataSize, UINT Size, UINT MipLevels, DWORD Usage,
                                                       D3DFORMAT Format, D3DPOOL Pool, DWORD Filter,
                                                       DWORD MipFilter, D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo,
                                                       PALETTEENTRY* pPalette, LPDIRECT3DCUBETEXTURE8* ppCubeTexture);

// Volume textures: Depth 0 or D3DX_DEFAULT takes the file's depth.
HRESULT WINAPI D3DXCreateVolumeTextureFromFileA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile,
                                                LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile,
                                                LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileExA(LPDIRECT3DDEVICE8 pDevice, LPCSTR pSrcFile, UINT Width,
                                                  UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                                  D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                  D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                  LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileExW(LPDIRECT3DDEVICE8 pDevice, LPCWSTR pSrcFile, UINT Width,
                                                  UINT Height, UINT Depth, UINT MipLevels, DWORD Usage,
                                                  D3DFORMAT Format, D3DPOOL Pool, DWORD Filter, DWORD MipFilter,
                                                  D3DCOLOR ColorKey, D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                  LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCSTR pSrcResource, LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                    LPCWSTR pSrcResource, LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceExA(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                      LPCSTR pSrcResource, UINT Width, UINT Height, UINT Depth,
                                                      UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                      DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                      D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                      LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromResourceExW(LPDIRECT3DDEVICE8 pDevice, HMODULE hSrcModule,
                                                      LPCWSTR pSrcResource, UINT Width, UINT Height, UINT Depth,
                                                      UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                      DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                      D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                      LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileInMemory(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                       UINT SrcDataSize, LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
HRESULT WINAPI D3DXCreateVolumeTextureFromFileInMemoryEx(LPDIRECT3DDEVICE8 pDevice, LPCVOID pSrcData,
                                                         UINT SrcDataSize, UINT Width, UINT Height, UINT Depth,
                                                         UINT MipLevels, DWORD Usage, D3DFORMAT Format, D3DPOOL Pool,
                                                         DWORD Filter, DWORD MipFilter, D3DCOLOR ColorKey,
                                                         D3DXIMAGE_INFO* pSrcInfo, PALETTEENTRY* pPalette,
                                                         LPDIRECT3DVOLUMETEXTURE8* ppVolumeTexture);
