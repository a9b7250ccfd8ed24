// Size, level and format rules, in the order they are applied: usage and pool
// are checked, the format is chosen, the size is defaulted, clamped to the
// device and rounded (powers of two, DXT blocks), and the level count is
// fitted to the final size.
#include "texture/load/Requirements.h"

#include <algorithm>
#include <bit>
#include <cstdint>

#include "texture/D3DXTexture.h"
#include "texture/dxt/DxtBlock.h"
#include "texture/load/FormatChoice.h"

namespace valmere {
namespace {

constexpr DWORD kAllowedUsage = D3DUSAGE_RENDERTARGET | D3DUSAGE_DEPTHSTENCIL | D3DUSAGE_WRITEONLY | D3DUSAGE_DYNAMIC;

UINT BitLength(UINT value) { return static_cast<UINT>(std::bit_width(value)); }

UINT RoundUpToPowerOfTwo(UINT value) {
    if (value <= 1) return 1;
    return value > 0x80000000u ? 0x80000000u : std::bit_ceil(value);
}

// Multiples of 4 for DXT; the largest one for extents that would overflow.
UINT RoundUpToBlock(UINT value) { return value > 0xFFFFFFFCu ? 0xFFFFFFFCu : (value + 3u) & ~3u; }

template <class T>
T ValueOr(const T* pointer, T fallback) {
    return pointer ? *pointer : fallback;
}

template <class T>
void WriteIfGiven(T* pointer, T value) {
    if (pointer) *pointer = value;
}

struct TypeCaps {
    DWORD powerOfTwo;
    DWORD mipmaps;
};

TypeCaps CapsBitsOf(D3DRESOURCETYPE type) {
    switch (type) {
        case D3DRTYPE_VOLUMETEXTURE: return {D3DPTEXTURECAPS_VOLUMEMAP_POW2, D3DPTEXTURECAPS_MIPVOLUMEMAP};
        case D3DRTYPE_CUBETEXTURE: return {D3DPTEXTURECAPS_CUBEMAP_POW2, D3DPTEXTURECAPS_MIPCUBEMAP};
        default: return {D3DPTEXTURECAPS_POW2, D3DPTEXTURECAPS_MIPMAP};
    }
}

// Clamps to a limit of the caps; a limit of 0 means the device gives none.
void ClampTo(UINT& value, UINT limit) {
    if (limit != 0 && value > limit) value = limit;
}

}  // namespace

bool IsPowerOfTwo(UINT value) { return std::has_single_bit(value); }

UINT FullChainLength(UINT width, UINT height, UINT depth) {
    return std::max({BitLength(width), BitLength(height), BitLength(depth)});
}

HRESULT CheckResourceRequirements(IDirect3DDevice8* device, UINT* pWidth, UINT* pHeight, UINT* pDepth,
                                  UINT* pLevels, D3DFORMAT* pFormat, D3DPOOL pool, D3DRESOURCETYPE type,
                                  DWORD usage) {
    if (!device) return D3DERR_INVALIDCALL;
    if (usage == D3DX_DEFAULT) usage = 0;
    if ((usage & ~kAllowedUsage) != 0) return D3DERR_INVALIDCALL;
    if (pool != D3DPOOL_DEFAULT && pool != D3DPOOL_MANAGED && pool != D3DPOOL_SYSTEMMEM && pool != D3DPOOL_SCRATCH)
        return D3DERR_INVALIDCALL;
    const bool scratch = pool == D3DPOOL_SCRATCH;
    const bool volume = type == D3DRTYPE_VOLUMETEXTURE;

    D3DFORMAT format = ValueOr(pFormat, D3DFMT_UNKNOWN);
    if (!scratch) {
        format = ChooseDeviceFormat(device, usage, type, GetFormatInfo(format));
        if (format == D3DFMT_UNKNOWN) return D3DERR_NOTAVAILABLE;
    } else if (format == D3DFMT_UNKNOWN) {
        format = D3DFMT_A8R8G8B8;
    }

    UINT width = ValueOr(pWidth, D3DX_DEFAULT);
    UINT height = ValueOr(pHeight, D3DX_DEFAULT);
    UINT depth = ValueOr(pDepth, D3DX_DEFAULT);
    if (width == D3DX_DEFAULT && height == D3DX_DEFAULT) {
        width = height = 256;
    } else {
        if (width == D3DX_DEFAULT) width = height;
        if (height == D3DX_DEFAULT) height = width;
        width = std::max(width, 1u);
        height = std::max(height, 1u);
    }
    if (type == D3DRTYPE_CUBETEXTURE) width = height = std::max(width, height);
    if (depth == D3DX_DEFAULT || depth == 0 || !volume) depth = 1;

    const TypeCaps typeCaps = CapsBitsOf(type);
    D3DCAPS8 caps{};
    if (!scratch) {
        const HRESULT hr = device->GetDeviceCaps(&caps);
        if (FAILED(hr)) return hr;
        if (volume) {
            for (UINT* extent : {&width, &height, &depth}) ClampTo(*extent, caps.MaxVolumeExtent);
        } else {
            ClampTo(width, caps.MaxTextureWidth);
            ClampTo(height, caps.MaxTextureHeight);
            if (type == D3DRTYPE_TEXTURE) {
                const UINT ratio = (caps.TextureCaps & D3DPTEXTURECAPS_SQUAREONLY) ? 1 : caps.MaxTextureAspectRatio;
                if (ratio != 0) {
                    width = static_cast<UINT>(std::min<std::uint64_t>(width, std::uint64_t{ratio} * height));
                    height = static_cast<UINT>(std::min<std::uint64_t>(height, std::uint64_t{ratio} * width));
                }
            }
        }
        if (caps.TextureCaps & typeCaps.powerOfTwo) {
            width = RoundUpToPowerOfTwo(width);
            height = RoundUpToPowerOfTwo(height);
            depth = RoundUpToPowerOfTwo(depth);
        }
    }
    if (FindBlockFormat(format)) {
        width = RoundUpToBlock(width);
        height = RoundUpToBlock(height);
    }

    UINT levels = ValueOr(pLevels, D3DX_DEFAULT);
    const bool nonPowerOfTwo = !IsPowerOfTwo(width) || !IsPowerOfTwo(height) || !IsPowerOfTwo(depth);
    if (!scratch && ((caps.TextureCaps & typeCaps.mipmaps) == 0 ||
                     ((caps.TextureCaps & D3DPTEXTURECAPS_NONPOW2CONDITIONAL) && nonPowerOfTwo))) {
        levels = 1;
    } else {
        const UINT full = FullChainLength(width, height, depth);
        if (levels == 0 || levels > full) levels = full;
    }

    WriteIfGiven(pWidth, width);
    WriteIfGiven(pHeight, height);
    WriteIfGiven(pDepth, depth);
    WriteIfGiven(pLevels, levels);
    WriteIfGiven(pFormat, format);
    return S_OK;
}

}  // namespace valmere

HRESULT WINAPI D3DXCheckTextureRequirements(LPDIRECT3DDEVICE8 pDevice, UINT* pWidth, UINT* pHeight,
                                            UINT* pNumMipLevels, DWORD Usage, D3DFORMAT* pFormat, D3DPOOL Pool) {
    return valmere::CheckResourceRequirements(pDevice, pWidth, pHeight, nullptr, pNumMipLevels, pFormat, Pool,
                                              D3DRTYPE_TEXTURE, Usage);
}

HRESULT WINAPI D3DXCheckCubeTextureRequirements(LPDIRECT3DDEVICE8 pDevice, UINT* pSize, UINT* pNumMipLevels,
                                                DWORD Usage, D3DFORMAT* pFormat, D3DPOOL Pool) {
    // The size is both width and height: read once, written once.
    UINT size = pSize ? *pSize : D3DX_DEFAULT;
    UINT height = size;
    const HRESULT hr = valmere::CheckResourceRequirements(pDevice, &size, &height, nullptr, pNumMipLevels, pFormat,
                                                          Pool, D3DRTYPE_CUBETEXTURE, Usage);
    if (SUCCEEDED(hr) && pSize) *pSize = size;
    return hr;
}

HRESULT WINAPI D3DXCheckVolumeTextureRequirements(LPDIRECT3DDEVICE8 pDevice, UINT* pWidth, UINT* pHeight,
                                                  UINT* pDepth, UINT* pNumMipLevels, DWORD Usage,
                                                  D3DFORMAT* pFormat, D3DPOOL Pool) {
    return valmere::CheckResourceRequirements(pDevice, pWidth, pHeight, pDepth, pNumMipLevels, pFormat, Pool,
                                              D3DRTYPE_VOLUMETEXTURE, Usage);
}

HRESULT WINAPI D3DXCreateTexture(LPDIRECT3DDEVICE8 pDevice, UINT Width, UINT Height, UINT MipLevels, DWORD Usage,
                                 D3DFORMAT Format, D3DPOOL Pool, LPDIRECT3DTEXTURE8* ppTexture) {
    if (!pDevice || !ppTexture) return D3DERR_INVALIDCALL;
    if (Usage == D3DX_DEFAULT) Usage = 0;
    HRESULT hr = D3DXCheckTextureRequirements(pDevice, &Width, &Height, &MipLevels, Usage, &Format, Pool);
    if (FAILED(hr)) return hr;
    return pDevice->CreateTexture(Width, Height, MipLevels, Usage, Format, Pool, ppTexture);
}
