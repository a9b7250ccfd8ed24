// create_texture: D3DXCreateTextureFromFileInMemoryEx and its cube and
// volume forms (and the forms without Ex) over any file bytes, with any
// sizes, level counts, usages, formats, pools, filters and colour keys, on
// every device profile.
//
// Byte layout (fields past the end of the input read as 0):
//   0      call: bits 0-1 kind (0 2D, 1 cube, 2 volume, 3 2D); bit 2 the form
//          without Ex; bit 3 ask for the image information; bit 4 ask for the
//          palette; bit 5 a data size of 0
//   1      device profile
//   2-4    width (cube: edge), height, depth: 255 is D3DX_DEFAULT, else the
//          byte itself (0 takes the file's size)
//   5      mip levels: 255 is D3DX_DEFAULT, else byte % 16
//   6      usage: bits 0-3 RENDERTARGET, DEPTHSTENCIL, WRITEONLY, DYNAMIC;
//          bit 4 an undefined usage bit (0x10000); bit 5 D3DX_DEFAULT
//   7      format (FormatAt; its row 0 is D3DFMT_UNKNOWN, the file's format)
//   8      pool (PoolAt); bit 2 an undefined pool (7)
//   9, 10  filter type and flags (FilterWord)
//   11, 12 mip filter type and flags
//   13-16  colour key, little-endian ARGB
//   rest   the file
//
// Checked after every call: the result is one of those documented; on
// failure no out-parameter was written; a file that D3DXGetImageInfo refuses
// is refused; on success the information is the file's, the texture is of
// the kind asked for, its size and level count are what
// D3DXCheck*Requirements make of the request and its format is one the
// device accepts; reference counts are back where they were once the
// texture is released.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDevice.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextureCase.h"
#include "texture/D3DXTexture.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace valmere::fuzz {
namespace {

struct Request {
    UINT width, height, depth, levels;
    DWORD usage;
    D3DFORMAT format;
    D3DPOOL pool;
    DWORD filter, mipFilter;
    D3DCOLOR colorKey;
};

UINT SizeOf(std::uint8_t byte) { return byte == 255 ? D3DX_DEFAULT : byte; }

DWORD UsageOf(std::uint8_t byte) {
    if (Bit(byte, 5)) return D3DX_DEFAULT;
    constexpr DWORD kUsages[] = {D3DUSAGE_RENDERTARGET, D3DUSAGE_DEPTHSTENCIL, D3DUSAGE_WRITEONLY, D3DUSAGE_DYNAMIC,
                                 0x10000};
    DWORD usage = 0;
    for (int bit = 0; bit < 5; ++bit) {
        if (Bit(byte, bit)) usage |= kUsages[bit];
    }
    return usage;
}

bool IsDocumentedResult(HRESULT hr) {
    return hr == S_OK || hr == D3DERR_INVALIDCALL || hr == D3DXERR_INVALIDDATA || hr == E_FAIL ||
           hr == D3DERR_NOTAVAILABLE || hr == E_OUTOFMEMORY || hr == D3DERR_OUTOFVIDEOMEMORY;
}

// The requested extent, or the file's where the request leaves it open.
UINT Wanted(UINT requested, UINT file) { return requested == 0 || requested == D3DX_DEFAULT ? file : requested; }

// What D3DXCheck*Requirements make of the request in the texture's own
// format must be the texture's size and level count.
void RequireFitted(IDirect3DDevice8* device, IDirect3DBaseTexture8* texture, const Request& r,
                   const D3DXIMAGE_INFO& info) {
    const D3DRESOURCETYPE type = texture->GetType();
    UINT width = 0, height = 0, depth = 1;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    if (type == D3DRTYPE_VOLUMETEXTURE) {
        D3DVOLUME_DESC desc{};
        Require(SUCCEEDED(static_cast<IDirect3DVolumeTexture8*>(texture)->GetLevelDesc(0, &desc)), "GetLevelDesc");
        width = desc.Width, height = desc.Height, depth = desc.Depth, format = desc.Format;
    } else {
        D3DSURFACE_DESC desc{};
        const HRESULT hr = type == D3DRTYPE_CUBETEXTURE
                               ? static_cast<IDirect3DCubeTexture8*>(texture)->GetLevelDesc(0, &desc)
                               : static_cast<IDirect3DTexture8*>(texture)->GetLevelDesc(0, &desc);
        Require(SUCCEEDED(hr), "GetLevelDesc");
        width = desc.Width, height = desc.Height, format = desc.Format;
    }
    const DWORD usage = r.usage == D3DX_DEFAULT ? 0 : r.usage;
    UINT fitWidth = Wanted(r.width, info.Width), fitHeight = Wanted(r.height, info.Height);
    UINT fitDepth = Wanted(r.depth, info.Depth), fitLevels = r.levels;
    D3DFORMAT fitFormat = format;
    HRESULT hr = E_FAIL;
    if (type == D3DRTYPE_VOLUMETEXTURE) {
        hr = D3DXCheckVolumeTextureRequirements(device, &fitWidth, &fitHeight, &fitDepth, &fitLevels, usage, &fitFormat,
                                                r.pool);
    } else if (type == D3DRTYPE_CUBETEXTURE) {
        // The edge left open takes the file's width and height, the larger of
        // which the requirements keep.
        fitWidth = std::max(fitWidth, Wanted(r.width, info.Height));
        hr = D3DXCheckCubeTextureRequirements(device, &fitWidth, &fitLevels, usage, &fitFormat, r.pool);
        fitHeight = fitWidth;
        fitDepth = 1;
    } else {
        hr = D3DXCheckTextureRequirements(device, &fitWidth, &fitHeight, &fitLevels, usage, &fitFormat, r.pool);
        fitDepth = 1;
    }
    Require(hr == S_OK && fitFormat == format, "the texture's format 0x%08X is not one the device accepts",
            static_cast<unsigned>(format));
    Require(width == fitWidth && height == fitHeight && depth == fitDepth && texture->GetLevelCount() == fitLevels,
            "a %ux%ux%u texture of %u levels where the requirements give %ux%ux%u of %u", width, height, depth,
            static_cast<unsigned>(texture->GetLevelCount()), fitWidth, fitHeight, fitDepth, fitLevels);
}

}  // namespace

void Run(FuzzInput& in) {
    const std::uint8_t call = in.U8();
    const FuzzDevice& fuzzDevice = DeviceOfProfile(in.U8());
    Request r{};
    r.width = SizeOf(in.U8());
    r.height = SizeOf(in.U8());
    r.depth = SizeOf(in.U8());
    const std::uint8_t levels = in.U8();
    r.levels = levels == 255 ? D3DX_DEFAULT : levels % 16u;
    r.usage = UsageOf(in.U8());
    r.format = FormatAt(in.U8());
    const std::uint8_t pool = in.U8();
    r.pool = Bit(pool, 2) ? static_cast<D3DPOOL>(7) : PoolAt(pool);
    const std::uint8_t filterType = in.U8();
    r.filter = FilterWord(filterType, in.U8());
    const std::uint8_t mipFilterType = in.U8();
    r.mipFilter = FilterWord(mipFilterType, in.U8());
    r.colorKey = in.U32();
    const auto file = in.Rest();
    const void* bytes = file.empty() ? nullptr : file.data();
    const UINT size = Bit(call, 5) ? 0 : static_cast<UINT>(file.size());
    const int kind = call & 3;
    const bool ex = !Bit(call, 2);

    IDirect3DDevice8* device = fuzzDevice.device;
    const ULONG deviceRefs = References(device);
    D3DXIMAGE_INFO fileInfo{};
    const bool readable = bytes && size && SUCCEEDED(D3DXGetImageInfoFromFileInMemory(bytes, size, &fileInfo));

    constexpr std::uint8_t kUnwritten = 0xA5;
    D3DXIMAGE_INFO info;
    PALETTEENTRY palette[256];
    std::memset(&info, kUnwritten, sizeof(info));
    std::memset(palette, kUnwritten, sizeof(palette));
    D3DXIMAGE_INFO* infoArg = ex && Bit(call, 3) ? &info : nullptr;
    PALETTEENTRY* paletteArg = ex && Bit(call, 4) ? palette : nullptr;
    IDirect3DBaseTexture8* const unwritten = reinterpret_cast<IDirect3DBaseTexture8*>(std::uintptr_t{0x5A5A5A5A});
    IDirect3DBaseTexture8* texture = unwritten;
    HRESULT hr = E_FAIL;
    if (kind == 1) {
        auto** out = reinterpret_cast<IDirect3DCubeTexture8**>(&texture);
        hr = ex ? D3DXCreateCubeTextureFromFileInMemoryEx(device, bytes, size, r.width, r.levels, r.usage, r.format,
                                                          r.pool, r.filter, r.mipFilter, r.colorKey, infoArg,
                                                          paletteArg, out)
                : D3DXCreateCubeTextureFromFileInMemory(device, bytes, size, out);
    } else if (kind == 2) {
        auto** out = reinterpret_cast<IDirect3DVolumeTexture8**>(&texture);
        hr = ex ? D3DXCreateVolumeTextureFromFileInMemoryEx(device, bytes, size, r.width, r.height, r.depth, r.levels,
                                                            r.usage, r.format, r.pool, r.filter, r.mipFilter,
                                                            r.colorKey, infoArg, paletteArg, out)
                : D3DXCreateVolumeTextureFromFileInMemory(device, bytes, size, out);
    } else {
        auto** out = reinterpret_cast<IDirect3DTexture8**>(&texture);
        hr = ex ? D3DXCreateTextureFromFileInMemoryEx(device, bytes, size, r.width, r.height, r.levels, r.usage,
                                                      r.format, r.pool, r.filter, r.mipFilter, r.colorKey, infoArg,
                                                      paletteArg, out)
                : D3DXCreateTextureFromFileInMemory(device, bytes, size, out);
    }
    Require(IsDocumentedResult(hr), "creation answered 0x%08X", static_cast<unsigned>(hr));
    if (FAILED(hr)) {
        Require(texture == unwritten, "a failed creation wrote its texture pointer");
        const auto untouched = [](const void* p, std::size_t n) {
            const auto* b = static_cast<const std::uint8_t*>(p);
            for (std::size_t i = 0; i < n; ++i) {
                if (b[i] != kUnwritten) return false;
            }
            return true;
        };
        Require(untouched(&info, sizeof(info)) && untouched(palette, sizeof(palette)),
                "a failed creation wrote its information or palette");
    } else {
        Require(readable, "a file that D3DXGetImageInfo refuses made a texture");
        Require(texture != unwritten && texture != nullptr, "a successful creation gave no texture");
        const D3DRESOURCETYPE expected = kind == 1 ? D3DRTYPE_CUBETEXTURE
                                                   : (kind == 2 ? D3DRTYPE_VOLUMETEXTURE : D3DRTYPE_TEXTURE);
        Require(texture->GetType() == expected, "a texture of another kind");
        if (infoArg) {
            Require(std::memcmp(&info, &fileInfo, sizeof(info)) == 0, "the information differs from D3DXGetImageInfo's");
        }
        const Request asked = ex ? r : Request{D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                                D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0};
        RequireFitted(device, texture, asked, fileInfo);
        Require(texture->Release() == 0, "the caller's reference was not the only one");
    }
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace valmere::fuzz
