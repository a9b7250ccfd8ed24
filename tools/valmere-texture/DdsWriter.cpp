#include "tools/valmere-texture/DdsWriter.h"

#include "platform/host/ReplaceFile.h"
#include "texture/format/PixelFormat.h"
#include "texture/image/DdsLayout.h"
#include "texture/image/DxgiFormats.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace valmere::tools {
namespace {

using namespace dds;

void PutLe32(std::vector<BYTE>& bytes, std::size_t offset, UINT value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + static_cast<std::size_t>(i)] = static_cast<BYTE>(value >> (8 * i));
    }
}

// The 128 header bytes (and the DX10 header when `dxgi` is given) for a
// texture whose level 0 packs into rows of `rowPitch` bytes and slices of
// `sliceBytes`.
std::vector<BYTE> Header(const TextureData& t, const PixelTemplate& pixels, const DxgiFormatRow* dxgi, UINT rowPitch,
                         UINT sliceBytes) {
    std::vector<BYTE> header(kHeaderBytes + (dxgi ? kDx10HeaderBytes : 0), 0);
    const bool block = FindBlockFormatRow(t.format) != nullptr;
    const bool volume = t.type == D3DRTYPE_VOLUMETEXTURE;
    const bool cube = t.type == D3DRTYPE_CUBETEXTURE;
    UINT flags = kDdsdCaps | kDdsdHeight | kDdsdWidth | kDdsdPixelFormat | (block ? kDdsdLinearSize : kDdsdPitch);
    if (t.levels > 1) flags |= kDdsdMipMapCount;
    if (volume) flags |= kDdsdDepth;
    UINT caps = kCapsTexture;
    if (t.levels > 1 || cube || volume) caps |= kCapsComplex;
    if (t.levels > 1) caps |= kCapsMipMap;
    PutLe32(header, 0, MAKEFOURCC('D', 'D', 'S', ' '));
    PutLe32(header, 4, kDescriptionBytes);
    PutLe32(header, kFlagsOffset, flags);
    PutLe32(header, kHeightOffset, t.height);
    PutLe32(header, kWidthOffset, t.width);
    PutLe32(header, kPitchOffset, block ? sliceBytes : rowPitch);
    PutLe32(header, kDepthOffset, volume ? t.depth : 0);
    PutLe32(header, kMipCountOffset, t.levels);
    const UINT pixelFormat[] = {kPixelFormatBytes, pixels.flags, pixels.fourCc, pixels.bits,
                                pixels.red,        pixels.green, pixels.blue,   pixels.alpha};
    for (std::size_t i = 0; i < std::size(pixelFormat); ++i) {
        PutLe32(header, kPixelFormatOffset + 4 * i, pixelFormat[i]);
    }
    PutLe32(header, kCapsOffset, caps);
    PutLe32(header, kCaps2Offset, cube ? kCaps2CubeMap | kCubeFaceBits : volume ? kCaps2Volume : 0);
    if (dxgi) {
        PutLe32(header, kDxgiFormatOffset, dxgi->number);
        PutLe32(header, kDimensionOffset, volume ? kDimensionTexture3D : kDimensionTexture2D);
        PutLe32(header, kMiscFlagOffset, cube ? kMiscTextureCube : 0);
        PutLe32(header, kArraySizeOffset, 1);
    }
    return header;
}

// The header, with the DX10 header or the palette where the format has
// one: everything before the images. False as BuildDdsFile.
bool HeaderBytes(const TextureData& t, bool legacy, std::vector<BYTE>& bytes) {
    // Formats a Direct3D 8 device cannot hold go with a DX10 header unless
    // the legacy codes are asked for.
    const BlockFormatRow* block = FindBlockFormatRow(t.format);
    const bool dx10 = block && DecodesOnLoad(block) && !legacy;
    const DxgiFormatRow* dxgi = dx10 ? FindDxgiFormatOf(t.format) : nullptr;
    static constexpr PixelTemplate kDx10Pixels = {D3DFMT_UNKNOWN, kPixelFourCc, kFourCcDx10, 0, 0, 0, 0, 0};
    const PixelTemplate* pixels = dx10 ? (dxgi ? &kDx10Pixels : nullptr) : FindPixelTemplate(t.format);
    const bool paletted = GetFormatInfo(t.format).kind == FormatKind::Palette && t.format != D3DFMT_UNKNOWN;
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    if (!pixels || (paletted && !t.hasPalette) || !LevelLayout(t.format, t.width, t.height, rowPitch, sliceBytes)) {
        return false;
    }
    bytes = Header(t, *pixels, dxgi, rowPitch, sliceBytes);
    if (paletted) {
        const std::size_t at = bytes.size();
        bytes.resize(at + kPaletteBytes);
        std::memcpy(bytes.data() + at, t.palette.data(), kPaletteBytes);
    }
    return true;
}

}  // namespace

bool BuildDdsFile(const TextureData& t, bool legacy, std::vector<BYTE>& file) {
    std::vector<BYTE> bytes;
    if (!HeaderBytes(t, legacy, bytes)) return false;
    for (const std::vector<BYTE>& image : t.images) bytes.insert(bytes.end(), image.begin(), image.end());
    file.swap(bytes);
    return true;
}

bool WriteDdsFile(const TextureData& texture, bool legacy, const std::string& path, std::string& error) {
    std::vector<BYTE> header;
    if (!HeaderBytes(texture, legacy, header)) {
        error = "no DDS pixel format describes this format";
        return false;
    }
    const auto put = [](std::FILE* file, const std::vector<BYTE>& bytes) {
        return std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    };
    const bool written = host::WriteReplacing(path, [&](std::FILE* file) {
        bool ok = put(file, header);
        for (const std::vector<BYTE>& image : texture.images) ok = ok && put(file, image);
        return ok;
    });
    if (!written) error = std::string("cannot write: ") + (errno ? std::strerror(errno) : "failed");
    return written;
}

}  // namespace valmere::tools
