// DirectDraw surface reader: the pixel format is matched against a table of
// templates; every mip level of every cube face becomes one record that
// points into the file's bytes.
#include "texture/format/PixelFormat.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <algorithm>
#include <bit>
#include <memory>
#include <new>

namespace valmere {
namespace {

// File layout: "DDS " then a 124-byte surface description.
constexpr std::size_t kHeaderBytes = 128;
constexpr std::size_t kFlagsOffset = 8;
constexpr std::size_t kHeightOffset = 12;
constexpr std::size_t kWidthOffset = 16;
constexpr std::size_t kDepthOffset = 24;
constexpr std::size_t kMipCountOffset = 28;
constexpr std::size_t kPixelFormatOffset = 76;  // size, flags, code, bits, r, g, b, a masks
constexpr std::size_t kCaps2Offset = 112;
constexpr std::size_t kPaletteBytes = 256 * sizeof(PALETTEENTRY);

constexpr UINT kDdsdDepth = 0x800000;
constexpr UINT kCubeFaceBits = 0xFC00;

constexpr UINT kFourCcFlag = 0x4;
// Which flags make which fields of the template count.
constexpr UINT kBitsMatter = 0xC4462;
constexpr UINT kRedMatters = 0xE4040;
constexpr UINT kGreenMatters = 0xC4440;
constexpr UINT kBlueMatters = 0xC4040;
constexpr UINT kAlphaMatters = 0x80003;

struct DdsTemplate {
    D3DFORMAT format;
    UINT flags;
    UINT fourCc;
    UINT bits;
    UINT red, green, blue, alpha;  // for the depth template green holds the depth mask
};

constexpr DdsTemplate kTemplates[] = {
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
    {D3DFMT_UYVY, kFourCcFlag, D3DFMT_UYVY, 0, 0, 0, 0, 0},
    {D3DFMT_YUY2, kFourCcFlag, D3DFMT_YUY2, 0, 0, 0, 0, 0},
    {D3DFMT_DXT1, kFourCcFlag, D3DFMT_DXT1, 0, 0, 0, 0, 0},
    {D3DFMT_DXT2, kFourCcFlag, D3DFMT_DXT2, 0, 0, 0, 0, 0},
    {D3DFMT_DXT3, kFourCcFlag, D3DFMT_DXT3, 0, 0, 0, 0, 0},
    {D3DFMT_DXT4, kFourCcFlag, D3DFMT_DXT4, 0, 0, 0, 0, 0},
    {D3DFMT_DXT5, kFourCcFlag, D3DFMT_DXT5, 0, 0, 0, 0, 0},
    {D3DFMT_D16_LOCKABLE, 0x400, 0, 16, 0, 0xFFFF, 0, 0},
};

bool Matches(const DdsTemplate& t, const BYTE* pf) {
    const UINT flags = ReadLe32(pf + 4);
    if (ReadLe32(pf) != 32 || flags != t.flags) {
        return false;
    }
    return (!(flags & kFourCcFlag) || ReadLe32(pf + 8) == t.fourCc) &&
           (!(flags & kBitsMatter) || ReadLe32(pf + 12) == t.bits) &&
           (!(flags & kRedMatters) || ReadLe32(pf + 16) == t.red) &&
           (!(flags & kGreenMatters) || ReadLe32(pf + 20) == t.green) &&
           (!(flags & kBlueMatters) || ReadLe32(pf + 24) == t.blue) &&
           (!(flags & kAlphaMatters) || ReadLe32(pf + 28) == t.alpha);
}

// Row pitch and slice size of one level; false when they do not fit 32 bits.
bool LevelLayout(D3DFORMAT format, UINT width, UINT height, UINT& rowPitch, UINT& sliceBytes) {
    std::uint64_t pitch = 0;
    std::uint64_t rows = height;
    switch (format) {
        case D3DFMT_DXT1:
            pitch = (std::uint64_t{width} + 3) / 4 * 8;
            rows = (std::uint64_t{height} + 3) / 4;
            break;
        case D3DFMT_DXT2:
        case D3DFMT_DXT3:
        case D3DFMT_DXT4:
        case D3DFMT_DXT5:
            pitch = (std::uint64_t{width} + 3) / 4 * 16;
            rows = (std::uint64_t{height} + 3) / 4;
            break;
        case D3DFMT_UYVY:
        case D3DFMT_YUY2: pitch = (std::uint64_t{width} + 1) / 2 * 4; break;
        default: pitch = std::uint64_t{GetFormatInfo(format).bitsPerPixel / 8} * width; break;
    }
    const std::uint64_t slice = pitch * rows;  // both below 2^36
    if (!FitsUint32(slice)) {
        return false;
    }
    rowPitch = static_cast<UINT>(pitch);
    sliceBytes = static_cast<UINT>(slice);
    return true;
}

UINT Half(UINT v) { return v > 1 ? v / 2 : 1; }

// Number of right shifts that bring v to 0 (1 gives 1, 256 gives 9).
UINT BitLength(UINT v) { return static_cast<UINT>(std::bit_width(v)); }

// What the header says about the surface.
struct DdsSurface {
    D3DFORMAT format;
    UINT width;
    UINT height;
    UINT depth;
    UINT faces;
    // Levels the header gives, and the records made of them: a chain ends at
    // 1x1x1, so levels claimed beyond that get no record (a lying count
    // cannot make a record per byte of the file), but their bytes are still
    // in the file and are stepped over before the next face (after the last
    // face nothing is read, so there they may be missing).
    UINT mipCount;
    UINT recordLevels;
    D3DRESOURCETYPE resourceType;
    const PALETTEENTRY* palette;
};

// Advances `data` past the levels a header claims beyond the full chain
// (each 1x1x1), computed at once so that a count of 2^32 - 1 costs nothing.
HRESULT SkipSurplusLevels(const DdsSurface& s, const BYTE*& data, const BYTE* end) {
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    std::uint64_t skip = 0;
    if (!LevelLayout(s.format, 1, 1, rowPitch, sliceBytes) ||
        !CheckedMul(sliceBytes, s.mipCount - s.recordLevels, skip) ||
        skip > static_cast<std::uint64_t>(end - data)) {
        return Reject("DDS: level data ends early");
    }
    data += skip;
    return S_OK;
}

// Fills one record of the chain from `data` (advanced past its bytes).
HRESULT FillLevel(DecodedImage& record, const DdsSurface& s, const DecodedImage& head, UINT width, UINT height,
                  UINT depth, const BYTE*& data, const BYTE* end) {
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    std::uint64_t levelBytes = 0;
    if (!LevelLayout(s.format, width, height, rowPitch, sliceBytes) ||
        !CheckedMul(sliceBytes, depth, levelBytes) || levelBytes > static_cast<std::uint64_t>(end - data)) {
        return Reject("DDS: level data ends early");
    }
    record.format = s.format;
    record.width = width;
    record.height = height;
    record.depth = depth;
    record.rowPitch = rowPitch;
    record.slicePitch = sliceBytes;
    record.pixels = data;
    record.palette = s.palette;
    record.resourceType = s.resourceType;
    record.fileFormat = head.fileFormat;
    record.wantPixels = head.wantPixels;
    data += levelBytes;
    return S_OK;
}

HRESULT ReadSurface(const BYTE* bytes, std::size_t size, DdsSurface& s) {
    const UINT flags = ReadLe32(bytes + kFlagsOffset);
    s.height = ReadLe32(bytes + kHeightOffset);
    s.width = ReadLe32(bytes + kWidthOffset);
    if (s.width == 0 || s.height == 0) {
        return Reject("DDS: zero width or height");
    }
    const bool volume = (flags & kDdsdDepth) != 0;
    s.depth = volume ? ReadLe32(bytes + kDepthOffset) : 1;
    if (s.depth == 0) {
        s.depth = 1;
    }
    const UINT faceBits = ReadLe32(bytes + kCaps2Offset) & kCubeFaceBits;
    if (faceBits != 0 && faceBits != kCubeFaceBits) {
        return Reject("DDS: some but not all cube faces");
    }
    s.faces = faceBits ? 6 : 1;
    s.mipCount = std::max(ReadLe32(bytes + kMipCountOffset), 1u);
    s.recordLevels = std::min(s.mipCount, BitLength(std::max({s.width, s.height, s.depth})));
    s.format = D3DFMT_UNKNOWN;
    for (const DdsTemplate& t : kTemplates) {
        if (Matches(t, bytes + kPixelFormatOffset)) {
            s.format = t.format;
            break;
        }
    }
    if (s.format == D3DFMT_UNKNOWN) {
        return Reject("DDS: unsupported pixel format");
    }
    s.resourceType = volume ? D3DRTYPE_VOLUMETEXTURE : (s.faces == 6 ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE);
    s.palette = nullptr;
    if (GetFormatInfo(s.format).kind == FormatKind::Palette) {
        if (size - kHeaderBytes < kPaletteBytes) {
            return Reject("DDS: palette missing");
        }
        s.palette = reinterpret_cast<const PALETTEENTRY*>(bytes + kHeaderBytes);
    }
    return S_OK;
}

}  // namespace

HRESULT ReadDds(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    if (size < kHeaderBytes || ReadLe32(bytes) != MAKEFOURCC('D', 'D', 'S', ' ')) {
        return Reject("DDS: no \"DDS \" signature");
    }
    DdsSurface s{};
    HRESULT hr = ReadSurface(bytes, size, s);
    if (FAILED(hr)) {
        return hr;
    }
    const BYTE* data = bytes + kHeaderBytes + (s.palette ? kPaletteBytes : 0);
    const BYTE* end = bytes + size;
    DecodedImage* faceHead = &image;
    for (UINT face = 0; face < s.faces; ++face) {
        if (face > 0) {
            hr = SkipSurplusLevels(s, data, end);
            if (FAILED(hr)) {
                return hr;
            }
            faceHead->nextFace.reset(new (std::nothrow) DecodedImage);
            if (!faceHead->nextFace) {
                return E_OUTOFMEMORY;
            }
            faceHead = faceHead->nextFace.get();
        }
        DecodedImage* level = faceHead;
        UINT width = s.width;
        UINT height = s.height;
        UINT depth = s.depth;
        for (UINT mip = 0; mip < s.recordLevels; ++mip) {
            if (mip > 0) {
                level->nextLevel.reset(new (std::nothrow) DecodedImage);
                if (!level->nextLevel) {
                    return E_OUTOFMEMORY;
                }
                level = level->nextLevel.get();
            }
            hr = FillLevel(*level, s, image, width, height, depth, data, end);
            if (FAILED(hr)) {
                return hr;
            }
            width = Half(width);
            height = Half(height);
            depth = Half(depth);
        }
    }
    return S_OK;
}

}  // namespace valmere
