// filter_texture: D3DXFilterTexture on 2D, cube and volume textures of every
// format, size, level count and pool, from any source level, with any filter
// word and palette.
//
// Byte layout (fields past the end of the input read as 0):
//   0      bits 0-1 kind (0 2D, 1 cube, 2 volume, 3 2D); bit 2 a palette
//   1      bits 0-2 device profile, bits 3-4 pool (PoolAt), bit 5
//          D3DUSAGE_DYNAMIC
//   2      format (FormatAt)
//   3-5    width, height, depth: byte % 32 + 1 (volumes: % 8 + 1), width
//          and height rounded up to whole blocks for block formats
//   6      levels: byte % 8 (0: the whole chain)
//   7      source level: 255 is D3DX_DEFAULT, else byte % 10
//   8, 9   filter type and flags (FilterWord)
//   rest   the pixels of every level, then palette entries, repeated
//
// Checked after every call: a source level past the last is
// D3DERR_INVALIDCALL, as is a bad filter word when there are levels to make;
// any other result is one a load may give; the source level and those above
// it are unchanged on every face; reference counts are back where they were.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDevice.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextureCase.h"
#include "platform/d3d8/ComPtr.h"
#include "texture/D3DXTexture.h"

#include <cstdint>
#include <vector>

namespace valmere::fuzz {
namespace {

void Run(FuzzInput& in) {
    const std::uint8_t kindBits = in.U8();
    const std::uint8_t setup = in.U8();
    const D3DFORMAT format = FormatAt(in.U8());
    const D3DRESOURCETYPE kind = TextureKindAt(kindBits);
    const PixelLayout layout = LayoutOf(format);
    const UINT planar = kind == D3DRTYPE_VOLUMETEXTURE ? 8 : 32;
    const auto extent = [&](std::uint8_t byte, bool blocks) {
        const UINT value = byte % planar + 1;
        return blocks && layout.blockBytes ? (value + 3) / 4 * 4 : value;
    };
    const UINT width = extent(in.U8(), true);
    const UINT height = extent(in.U8(), true);
    const UINT depth = extent(in.U8(), false);
    const UINT levels = in.U8() % 8u;
    const std::uint8_t srcByte = in.U8();
    const UINT srcLevel = srcByte == 255 ? D3DX_DEFAULT : srcByte % 10u;
    const std::uint8_t filterType = in.U8();
    const DWORD filter = FilterWord(filterType, in.U8());
    const auto data = in.Rest();
    const D3DPOOL pool = PoolAt(setup >> 3);
    const DWORD usage = Bit(setup, 5) && pool != D3DPOOL_MANAGED ? D3DUSAGE_DYNAMIC : 0;

    IDirect3DDevice8* device = DeviceOfProfile(setup & 7).device;
    const ULONG deviceRefs = References(device);
    ComPtr<IDirect3DBaseTexture8> texture;
    if (FAILED(CreateAnyTexture(device, TextureKindAt(kindBits), width, height, depth, levels, usage, format, pool,
                                texture))) {
        return;
    }

    const Palettes palettes(Bit(kindBits, 2) ? 1 : 0, data);
    const std::vector<ImageBytes> before = LevelImages(texture.Get(), data, true);
    const ULONG textureRefs = References(texture.Get());
    const HRESULT hr = D3DXFilterTexture(texture.Get(), palettes.source, srcLevel, filter);
    const UINT count = texture->GetLevelCount();
    const UINT source = srcLevel == D3DX_DEFAULT ? 0 : srcLevel;
    if (source >= count) {
        Require(hr == D3DERR_INVALIDCALL, "a source level past the last answered 0x%08X", static_cast<unsigned>(hr));
    } else if (source + 1 < count && !IsValidFilterWord(filter)) {
        Require(hr == D3DERR_INVALIDCALL, "a bad filter word answered 0x%08X", static_cast<unsigned>(hr));
    } else {
        // A default-pool volume cannot be locked (LockBox's D3DERR_INVALIDCALL).
        const bool unlockable = kind == D3DRTYPE_VOLUMETEXTURE && pool == D3DPOOL_DEFAULT && usage == 0;
        Require(IsLoadResult(hr) || (unlockable && hr == D3DERR_INVALIDCALL), "filtering answered 0x%08X",
                static_cast<unsigned>(hr));
    }
    const std::vector<ImageBytes> after = LevelImages(texture.Get(), data, false);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i % count <= source) {
            RequireSameOutside(before[i], after[i], layout, D3DBOX{}, "the source level or one above it");
        }
    }
    Require(References(texture.Get()) == textureRefs, "the texture's references changed");
    texture.Reset();
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace
}  // namespace valmere::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    valmere::fuzz::FuzzInput in(data, size);
    valmere::fuzz::Run(in);
    return 0;
}
