#include "tools/valmere-texture/DdsWriter.h"

#include "texture/format/PixelFormat.h"
#include "texture/image/DdsLayout.h"
#include "tools/valmere-texture/TextureLevels.h"

#include <cstdio>
#include <cstring>
#include <memory>

namespace valmere::tools {
namespace {

using namespace dds;

void PutLe32(std::vector<BYTE>& bytes, std::size_t offset, UINT value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<BYTE>(value >> (8 * i));
    }
}

bool IsBlockFormat(D3DFORMAT format) {
    return format == D3DFMT_DXT1 || format == D3DFMT_DXT2 || format == D3DFMT_DXT3 || format == D3DFMT_DXT4 ||
           format == D3DFMT_DXT5;
}

// The 128 header bytes for a texture of `shape` whose level 0 packs into
// rows of `rowPitch` bytes and slices of `sliceBytes`.
std::vector<BYTE> Header(const TextureShape& shape, const PixelTemplate& pixels, UINT rowPitch, UINT sliceBytes) {
    std::vector<BYTE> header(kHeaderBytes, 0);
    const bool block = IsBlockFormat(shape.format);
    const bool volume = shape.type == D3DRTYPE_VOLUMETEXTURE;
    const bool cube = shape.type == D3DRTYPE_CUBETEXTURE;
    UINT flags = kDdsdCaps | kDdsdHeight | kDdsdWidth | kDdsdPixelFormat | (block ? kDdsdLinearSize : kDdsdPitch);
    if (shape.levels > 1) {
        flags |= kDdsdMipMapCount;
    }
    if (volume) {
        flags |= kDdsdDepth;
    }
    UINT caps = kCapsTexture;
    if (shape.levels > 1 || cube || volume) {
        caps |= kCapsComplex;
    }
    if (shape.levels > 1) {
        caps |= kCapsMipMap;
    }
    PutLe32(header, 0, MAKEFOURCC('D', 'D', 'S', ' '));
    PutLe32(header, 4, kDescriptionBytes);
    PutLe32(header, kFlagsOffset, flags);
    PutLe32(header, kHeightOffset, shape.height);
    PutLe32(header, kWidthOffset, shape.width);
    PutLe32(header, kPitchOffset, block ? sliceBytes : rowPitch);
    PutLe32(header, kDepthOffset, volume ? shape.depth : 0);
    PutLe32(header, kMipCountOffset, shape.levels);
    const UINT pixelFormat[] = {kPixelFormatBytes, pixels.flags, pixels.fourCc, pixels.bits,
                                pixels.red,        pixels.green, pixels.blue,   pixels.alpha};
    for (std::size_t i = 0; i < std::size(pixelFormat); ++i) {
        PutLe32(header, kPixelFormatOffset + 4 * i, pixelFormat[i]);
    }
    PutLe32(header, kCapsOffset, caps);
    PutLe32(header, kCaps2Offset, cube ? kCaps2CubeMap | kCubeFaceBits : volume ? kCaps2Volume : 0);
    return header;
}

// Appends one locked level, every slice, as tightly packed rows.
HRESULT AppendLevel(std::vector<BYTE>& file, const LockedPixels& locked) {
    const UINT width = locked.extent.Right - locked.extent.Left;
    const UINT height = locked.extent.Bottom - locked.extent.Top;
    const UINT depth = locked.extent.Back - locked.extent.Front;
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    if (!LevelLayout(locked.format, width, height, rowPitch, sliceBytes) || rowPitch == 0) {
        return D3DERR_INVALIDCALL;
    }
    const UINT rows = sliceBytes / rowPitch;
    const auto* bits = static_cast<const BYTE*>(locked.pixels);
    for (UINT z = 0; z < depth; ++z) {
        for (UINT y = 0; y < rows; ++y) {
            const BYTE* row = bits + static_cast<std::ptrdiff_t>(z) * locked.slicePitch +
                              static_cast<std::ptrdiff_t>(y) * locked.rowPitch;
            file.insert(file.end(), row, row + rowPitch);
        }
    }
    return S_OK;
}

}  // namespace

HRESULT BuildDdsFile(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, std::vector<BYTE>& file) {
    TextureShape shape;
    HRESULT hr = DescribeTexture(texture, shape);
    if (FAILED(hr)) {
        return hr;
    }
    const PixelTemplate* pixels = FindPixelTemplate(shape.format);
    const bool paletted = GetFormatInfo(shape.format).kind == FormatKind::Palette;
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    if (!pixels || (paletted && !palette) ||
        !LevelLayout(shape.format, shape.width, shape.height, rowPitch, sliceBytes)) {
        return D3DERR_INVALIDCALL;
    }
    std::vector<BYTE> bytes = Header(shape, *pixels, rowPitch, sliceBytes);
    if (paletted) {
        // Grown and copied rather than a range insert, which GCC 12 at -O3
        // takes for a read past the 128-byte header.
        const std::size_t at = bytes.size();
        bytes.resize(at + kPaletteBytes);
        std::memcpy(bytes.data() + at, palette, kPaletteBytes);
    }
    hr = ForEachLevel(texture, nullptr, [&bytes](UINT, UINT, const LockedPixels& locked) {
        return AppendLevel(bytes, locked);
    });
    if (SUCCEEDED(hr)) {
        file.swap(bytes);
    }
    return hr;
}

HRESULT WriteDdsFile(IDirect3DBaseTexture8* texture, const PALETTEENTRY* palette, const std::string& path) {
    std::vector<BYTE> file;
    const HRESULT hr = BuildDdsFile(texture, palette, file);
    if (FAILED(hr)) {
        return hr;
    }
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> out(std::fopen(path.c_str(), "wb"), &std::fclose);
    if (!out || std::fwrite(file.data(), 1, file.size(), out.get()) != file.size() || std::fclose(out.release()) != 0) {
        return E_FAIL;
    }
    return S_OK;
}

}  // namespace valmere::tools
