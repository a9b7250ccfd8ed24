// filter_texture: D3DXFilterTexture on 2D, cube and volume textures of every
// format, size, level count and pool, from any source level, with any filter
// word and palette.
//
// Byte layout (fields past the end of the input read as 0):
//   0-6    the texture (TextureRequest in fuzz/TextureCase.h); bit 2 of
//          byte 0 gives a palette
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

void Run(FuzzInput& in) {
    const TextureRequest request = ReadTextureRequest(in);
    const std::uint8_t srcByte = in.U8();
    const UINT srcLevel = srcByte == 255 ? D3DX_DEFAULT : srcByte % 10u;
    const std::uint8_t filterType = in.U8();
    const DWORD filter = FilterWord(filterType, in.U8());
    const auto data = in.Rest();

    IDirect3DDevice8* device = DeviceOfProfile(request.profile).device;
    const ULONG deviceRefs = References(device);
    ComPtr<IDirect3DBaseTexture8> texture;
    if (FAILED(CreateTexture(device, request, texture))) return;

    const Palettes palettes(Bit(request.kindBits, 2) ? 1 : 0, data);
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
        const bool unlockable =
            request.kind == D3DRTYPE_VOLUMETEXTURE && request.pool == D3DPOOL_DEFAULT && request.usage == 0;
        Require(IsLoadResult(hr) || (unlockable && hr == D3DERR_INVALIDCALL), "filtering answered 0x%08X",
                static_cast<unsigned>(hr));
    }
    const std::vector<ImageBytes> after = LevelImages(texture.Get(), data, false);
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (i % count <= source) {
            RequireSameOutside(before[i], after[i], LayoutOf(request.format), D3DBOX{}, "the source level or one above it");
        }
    }
    Require(References(texture.Get()) == textureRefs, "the texture's references changed");
    texture.Reset();
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace valmere::fuzz
