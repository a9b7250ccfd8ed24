// The DirectDraw surface file, as the DDS reader takes it apart and the
// texture tool writes it. All fields are little-endian 32-bit words:
//
//   offset  field
//   0       "DDS "
//   4       header size: 124 (the surface description runs from 4 to 127)
//   8       flags: DDSD_CAPS | HEIGHT | WIDTH | PIXELFORMAT, PITCH (rows of
//           pixels) or LINEARSIZE (DXT), MIPMAPCOUNT, DEPTH (volumes)
//   12      height
//   16      width
//   20      pitch: bytes of one row, or for DXT the bytes of level 0
//   24      depth (read only with DDSD_DEPTH; 0 counts as 1)
//   28      mip-map count (0 counts as 1)
//   32      11 reserved words
//   76      pixel format: size 32, flags (DDPF_*), four-character code,
//           bit count, red, green, blue, alpha masks
//   108     caps: DDSCAPS_TEXTURE, COMPLEX (more than one image), MIPMAP
//   112     caps 2: CUBEMAP with the six face bits, or VOLUME
//   116     caps 3, caps 4, one reserved word
//   128     palette formats only: 256 PALETTEENTRY (red, green, blue, flags)
//   128     four-character code "DX10" only: the DX10 header (DxgiFormats.h),
//           20 bytes: DXGI format, resource dimension (2: 1D, 3: 2D, 4: 3D),
//           misc flags (0x4: cube), array size, misc flags 2 (alpha mode)
//   then    for each face (+X, -X, +Y, -Y, +Z, -Z), for each level from the
//           full size down, halving every extent to no less than 1: depth
//           slices of tightly packed rows (DdsLevelLayout)
#pragma once

#include "platform/d3d8/D3D8Types.h"
#include "texture/format/BlockFormat.h"
#include "texture/format/PixelFormat.h"

#include <cstdint>

namespace valmere::dds {

constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kDescriptionBytes = 124;
constexpr std::size_t kFlagsOffset = 8;
constexpr std::size_t kHeightOffset = 12;
constexpr std::size_t kWidthOffset = 16;
constexpr std::size_t kPitchOffset = 20;
constexpr std::size_t kDepthOffset = 24;
constexpr std::size_t kMipCountOffset = 28;
constexpr std::size_t kPixelFormatOffset = 76;
constexpr std::size_t kCapsOffset = 108;
constexpr std::size_t kCaps2Offset = 112;
constexpr std::size_t kPixelFormatBytes = 32;
constexpr std::size_t kPaletteBytes = 256 * sizeof(PALETTEENTRY);

constexpr UINT kDdsdCaps = 0x1;
constexpr UINT kDdsdHeight = 0x2;
constexpr UINT kDdsdWidth = 0x4;
constexpr UINT kDdsdPitch = 0x8;
constexpr UINT kDdsdPixelFormat = 0x1000;
constexpr UINT kDdsdMipMapCount = 0x20000;
constexpr UINT kDdsdLinearSize = 0x80000;
constexpr UINT kDdsdDepth = 0x800000;

constexpr UINT kCapsComplex = 0x8;
constexpr UINT kCapsTexture = 0x1000;
constexpr UINT kCapsMipMap = 0x400000;
constexpr UINT kCaps2CubeMap = 0x200;
constexpr UINT kCubeFaceBits = 0xFC00;  // +X, -X, +Y, -Y, +Z, -Z
constexpr UINT kCaps2Volume = 0x200000;

constexpr UINT kPixelFourCc = 0x4;
constexpr UINT kFourCcDx10 = MAKEFOURCC('D', 'X', '1', '0');

// The DX10 header after the 128 bytes (its fields as offsets in the file).
constexpr std::size_t kDx10HeaderBytes = 20;
constexpr std::size_t kDxgiFormatOffset = 128;
constexpr std::size_t kDimensionOffset = 132;
constexpr std::size_t kMiscFlagOffset = 136;
constexpr std::size_t kArraySizeOffset = 140;
constexpr std::size_t kMiscFlags2Offset = 144;
constexpr UINT kDimensionTexture1D = 2;
constexpr UINT kDimensionTexture2D = 3;
constexpr UINT kDimensionTexture3D = 4;
constexpr UINT kMiscTextureCube = 0x4;
// Which pixel-format flags make which fields of a template count.
constexpr UINT kBitsMatter = 0xC4462;
constexpr UINT kRedMatters = 0xE4040;
constexpr UINT kGreenMatters = 0xC4440;
constexpr UINT kBlueMatters = 0xC4040;
constexpr UINT kAlphaMatters = 0x80003;

struct PixelTemplate {
    D3DFORMAT format;
    UINT flags;
    UINT fourCc;
    UINT bits;
    UINT red, green, blue, alpha;  // for the depth template green holds the depth mask
};

// The reader matches a file's pixel format against these rows in order; the
// writer writes a format's row as it stands.
inline constexpr PixelTemplate kPixelTemplates[] = {
    {D3DFMT_R8G8B8, 0x40, 0, 24, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_A8R8G8B8, 0x41, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u},
    {D3DFMT_X8R8G8B8, 0x40, 0, 32, 0xFF0000, 0xFF00, 0xFF, 0},
    {D3DFMT_R5G6B5, 0x40, 0, 16, 0xF800, 0x7E0, 0x1F, 0},
    {D3DFMT_X1R5G5B5, 0x40, 0, 16, 0x7C00, 0x3E0, 0x1F, 0},
    {D3DFMT_A8P8, 0x21, 0, 16, 0, 0, 0, 0xFF00},
    {D3DFMT_P8, 0x20, 0, 8, 0, 0, 0, 0},
    {D3DFMT_A1R5G5B5, 0x41, 0, 16, 0x7C00, 0x3E0, 0x1F, 0x8000},
    {D3DFMT_A4R4G4B4, 0x41, 0, 16, 0xF00, 0xF0, 0xF, 0xF000},
    {D3DFMT_R3G3B2, 0x40, 0, 8, 0xE0, 0x1C, 0x3, 0},
    {D3DFMT_A8, 0x2, 0, 8, 0, 0, 0, 0xFF},
    {D3DFMT_A8R3G3B2, 0x41, 0, 16, 0xE0, 0x1C, 0x3, 0xFF00},
    {D3DFMT_X4R4G4B4, 0x40, 0, 16, 0xF00, 0xF0, 0xF, 0},
    {D3DFMT_A2B10G10R10, 0x41, 0, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000u},
    {D3DFMT_G16R16, 0x40, 0, 32, 0xFFFF, 0xFFFF0000u, 0, 0},
    {D3DFMT_L8, 0x20000, 0, 8, 0xFF, 0, 0, 0},
    {D3DFMT_A8L8, 0x20001, 0, 16, 0xFF, 0, 0, 0xFF00},
    {D3DFMT_A4L4, 0x20001, 0, 8, 0xF, 0, 0, 0xF0},
    {D3DFMT_V8U8, 0x80000, 0, 16, 0xFF, 0xFF00, 0, 0},
    {D3DFMT_L6V5U5, 0x40000, 0, 16, 0x1F, 0x3E0, 0xFC00, 0},
    {D3DFMT_X8L8V8U8, 0x40000, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0},
    {D3DFMT_Q8W8V8U8, 0x80000, 0, 32, 0xFF, 0xFF00, 0xFF0000, 0xFF000000u},
    {D3DFMT_V16U16, 0x80000, 0, 32, 0xFFFF, 0xFFFF0000u, 0, 0},
    {D3DFMT_W11V11U10, 0x80000, 0, 32, 0x3FF, 0x1FFC00, 0xFFE00000u, 0},
    {D3DFMT_A2W10V10U10, 0x80001, 0, 32, 0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000u},
    {D3DFMT_UYVY, kPixelFourCc, D3DFMT_UYVY, 0, 0, 0, 0, 0},
    {D3DFMT_YUY2, kPixelFourCc, D3DFMT_YUY2, 0, 0, 0, 0, 0},
    {D3DFMT_DXT1, kPixelFourCc, D3DFMT_DXT1, 0, 0, 0, 0, 0},
    {D3DFMT_DXT2, kPixelFourCc, D3DFMT_DXT2, 0, 0, 0, 0, 0},
    {D3DFMT_DXT3, kPixelFourCc, D3DFMT_DXT3, 0, 0, 0, 0, 0},
    {D3DFMT_DXT4, kPixelFourCc, D3DFMT_DXT4, 0, 0, 0, 0, 0},
    {D3DFMT_DXT5, kPixelFourCc, D3DFMT_DXT5, 0, 0, 0, 0, 0},
    // BC4 and BC5 under the codes tools write without a DX10 header ("ATI1"
    // and "ATI2" first: the writer uses a format's first row).
    {kFormatBc4U, kPixelFourCc, MAKEFOURCC('A', 'T', 'I', '1'), 0, 0, 0, 0, 0},
    {kFormatBc4U, kPixelFourCc, MAKEFOURCC('B', 'C', '4', 'U'), 0, 0, 0, 0, 0},
    {kFormatBc4S, kPixelFourCc, MAKEFOURCC('B', 'C', '4', 'S'), 0, 0, 0, 0, 0},
    {kFormatBc5U, kPixelFourCc, MAKEFOURCC('A', 'T', 'I', '2'), 0, 0, 0, 0, 0},
    {kFormatBc5U, kPixelFourCc, MAKEFOURCC('B', 'C', '5', 'U'), 0, 0, 0, 0, 0},
    {kFormatBc5S, kPixelFourCc, MAKEFOURCC('B', 'C', '5', 'S'), 0, 0, 0, 0, 0},
    {D3DFMT_D16_LOCKABLE, 0x400, 0, 16, 0, 0xFFFF, 0, 0},
};

// The row that describes `format`, or null when a DDS file cannot hold it.
inline const PixelTemplate* FindPixelTemplate(D3DFORMAT format) {
    for (const PixelTemplate& t : kPixelTemplates) {
        if (t.format == format) {
            return &t;
        }
    }
    return nullptr;
}

// Row pitch and slice size of one level of `format` as the file packs it:
// rows of 4x4 blocks for the block formats (bytes per block from the
// block-format table), pairs of pixels in 4 bytes for UYVY and YUY2, whole
// bytes per pixel otherwise. False when the slice does not fit 32 bits.
inline bool LevelLayout(D3DFORMAT format, UINT width, UINT height, UINT& rowPitch, UINT& sliceBytes) {
    std::uint64_t pitch = 0;
    std::uint64_t rows = height;
    if (const BlockFormatRow* block = FindBlockFormatRow(format)) {
        pitch = (std::uint64_t{width} + 3) / 4 * block->bytesPerBlock;
        rows = (std::uint64_t{height} + 3) / 4;
    } else if (format == D3DFMT_UYVY || format == D3DFMT_YUY2) {
        pitch = (std::uint64_t{width} + 1) / 2 * 4;
    } else {
        pitch = std::uint64_t{GetFormatInfo(format).bitsPerPixel / 8} * width;
    }
    const std::uint64_t slice = pitch * rows;  // both below 2^36
    if (slice > 0xFFFFFFFFu) {
        return false;
    }
    rowPitch = static_cast<UINT>(pitch);
    sliceBytes = static_cast<UINT>(slice);
    return true;
}

}  // namespace valmere::dds
