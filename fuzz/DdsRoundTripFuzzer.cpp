// dds_roundtrip: any texture the device can make (every format of the pixel
// format table, 2D, cube or volume, any size, level count and pool) filled
// with any bytes, written by the texture tool's DDS writer, read back with
// D3DXCreate*TextureFromFileInMemoryEx and compared. The format is picked
// from the table, not from a list of the writer's, so a format the writer
// learns is round-tripped from then on.
//
// Byte layout (fields past the end of the input read as 0):
//   0-6    the texture (TextureRequest in fuzz/TextureCase.h)
//   rest   the pixels of every level, then the palette's entries, repeated
//
// Checked: the writer leaves its output alone when it refuses a texture; a
// file it wrote is described by D3DXGetImageInfoFromFileInMemory as the
// texture (size, levels, format, kind, DDS); read back in its own format into the scratch pool without
// filtering it gives every level of every face byte for byte, and the
// palette entry for entry.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDevice.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextureCase.h"
#include "platform/d3d8/ComPtr.h"
#include "texture/D3DXTexture.h"
#include "texture/format/PixelFormat.h"
#include "tools/valmere-texture/DdsWriter.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace valmere::fuzz {
namespace {

// The file read back in its own format, unfiltered, into the scratch pool.
HRESULT ReadBack(IDirect3DDevice8* device, const std::vector<BYTE>& file, D3DRESOURCETYPE kind, UINT levels,
                 PALETTEENTRY* palette, ComPtr<IDirect3DBaseTexture8>& texture) {
    const UINT size = static_cast<UINT>(file.size());
    constexpr DWORD kNone = D3DX_FILTER_NONE;
    HRESULT hr = E_FAIL;
    if (kind == D3DRTYPE_CUBETEXTURE) {
        IDirect3DCubeTexture8* cube = nullptr;
        hr = D3DXCreateCubeTextureFromFileInMemoryEx(device, file.data(), size, D3DX_DEFAULT, levels, 0, D3DFMT_UNKNOWN,
                                                     D3DPOOL_SCRATCH, kNone, kNone, 0, nullptr, palette, &cube);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(cube);
    } else if (kind == D3DRTYPE_VOLUMETEXTURE) {
        IDirect3DVolumeTexture8* volume = nullptr;
        hr = D3DXCreateVolumeTextureFromFileInMemoryEx(device, file.data(), size, D3DX_DEFAULT, D3DX_DEFAULT,
                                                       D3DX_DEFAULT, levels, 0, D3DFMT_UNKNOWN, D3DPOOL_SCRATCH, kNone,
                                                       kNone, 0, nullptr, palette, &volume);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(volume);
    } else {
        IDirect3DTexture8* plain = nullptr;
        hr = D3DXCreateTextureFromFileInMemoryEx(device, file.data(), size, D3DX_DEFAULT, D3DX_DEFAULT, levels, 0,
                                                 D3DFMT_UNKNOWN, D3DPOOL_SCRATCH, kNone, kNone, 0, nullptr, palette,
                                                 &plain);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(plain);
    }
    return hr;
}

// The texture as the tool holds it for its writers: each image's rows packed
// tightly, the palette beside them. False when the tool could not hold it.
bool AsToolTexture(D3DRESOURCETYPE kind, D3DFORMAT format, UINT width, UINT height, UINT depth, UINT levels,
                   const std::vector<ImageBytes>& images, const PALETTEENTRY* palette, tools::TextureData& texture) {
    texture.type = kind;
    texture.format = format;
    texture.width = width;
    texture.height = height;
    texture.depth = depth;
    texture.levels = levels;
    texture.hasPalette = palette != nullptr;
    if (palette) std::memcpy(texture.palette.data(), palette, sizeof(texture.palette));
    if (images.size() != std::size_t{texture.Faces()} * levels || !texture.Allocate()) return false;
    const PixelLayout layout = LayoutOf(format);
    for (std::size_t i = 0; i < images.size(); ++i) {
        const ImageBytes& image = images[i];
        if (image.bytes.empty()) return false;  // a level the device would not show
        const UINT level = static_cast<UINT>(i % levels);
        const std::size_t rowBytes = BytesThrough(layout, texture.LevelWidth(level));
        std::vector<BYTE>& packed = texture.images[i];
        Require(packed.size() == rowBytes * image.rows * image.slices,
                "the tool sizes level %u as %zu bytes, the device as %zu", level, packed.size(),
                rowBytes * image.rows * image.slices);
        BYTE* out = packed.data();
        for (unsigned slice = 0; slice < image.slices; ++slice) {
            for (unsigned row = 0; row < image.rows; ++row, out += rowBytes) {
                std::memcpy(out, image.bytes.data() + slice * image.slicePitch + row * image.rowPitch, rowBytes);
            }
        }
    }
    return true;
}

}  // namespace

void Run(FuzzInput& in) {
    const TextureRequest request = ReadTextureRequest(in);
    const auto data = in.Rest();
    const D3DRESOURCETYPE kind = request.kind;
    const D3DFORMAT format = request.format;
    const UINT width = request.width;
    const UINT height = kind == D3DRTYPE_CUBETEXTURE ? width : request.height;
    const UINT depth = kind == D3DRTYPE_VOLUMETEXTURE ? request.depth : 1;

    IDirect3DDevice8* device = DeviceOfProfile(request.profile).device;
    const ULONG deviceRefs = References(device);
    ComPtr<IDirect3DBaseTexture8> texture;
    if (FAILED(CreateTexture(device, request, texture))) return;
    const std::vector<ImageBytes> written = LevelImages(texture.Get(), data, true);
    const Palettes palettes(1, data);
    const bool palettized = GetFormatInfo(format).kind == FormatKind::Palette;

    tools::TextureData held;
    if (!AsToolTexture(kind, format, width, height, depth, texture->GetLevelCount(), written,
                       palettized ? palettes.source : nullptr, held)) {
        return;
    }
    std::vector<BYTE> file(3, 0xA5);
    if (!tools::BuildDdsFile(held, false, file)) {
        Require(file == std::vector<BYTE>(3, 0xA5), "a failed write changed its output");
        return;
    }
    const UINT count = texture->GetLevelCount();
    D3DXIMAGE_INFO info{};
    Require(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<UINT>(file.size()), &info) == S_OK,
            "a written file is not an image");
    Require(info.Width == width && info.Height == height && info.Depth == depth && info.MipLevels == count &&
                info.Format == format && info.ResourceType == kind && info.ImageFileFormat == D3DXIFF_DDS,
            "the written file describes %ux%ux%u, %u levels, format 0x%08X, kind %d", info.Width, info.Height,
            info.Depth, info.MipLevels, static_cast<unsigned>(info.Format), static_cast<int>(info.ResourceType));

    PALETTEENTRY palette[256] = {};
    ComPtr<IDirect3DBaseTexture8> copy;
    const HRESULT read = ReadBack(device, file, kind, count, palettized ? palette : nullptr, copy);
    Require(read == S_OK, "a written file could not be read back: 0x%08X", static_cast<unsigned>(read));
    Require(copy->GetLevelCount() == count, "read back with %u levels, not %u",
            static_cast<unsigned>(copy->GetLevelCount()), count);
    const std::vector<ImageBytes> readBack = LevelImages(copy.Get(), data, false);
    Require(readBack.size() == written.size(), "read back with other faces");
    for (std::size_t i = 0; i < written.size(); ++i) {
        const UINT level = static_cast<UINT>(i % count);
        const UINT levelWidth = std::max(1u, width >> level);
        const UINT levelHeight = std::max(1u, height >> level);
        const UINT levelDepth = std::max(1u, depth >> level);
        const D3DBOX whole{0, 0, levelWidth, levelHeight, 0, levelDepth};
        RequireBoxCopied(written[i], whole, readBack[i], whole, LayoutOf(format), "a level read back");
    }
    if (palettized) {
        Require(std::memcmp(palette, palettes.source, sizeof(palette)) == 0, "the palette read back differs");
    }
    copy.Reset();
    texture.Reset();
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace valmere::fuzz
