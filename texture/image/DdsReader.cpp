// DirectDraw surface reader (file layout in DdsLayout.h): the pixel format is
// matched against the table of templates, or taken from the DX10 header's
// DXGI format (DxgiFormats.h); every mip level of every cube face becomes
// one record. Records point into the file's bytes, except for formats a
// device cannot hold: BC4 to BC7 blocks (decoded through the block-format
// table) and DXGI byte orders the format table lacks, which each level
// converts into a buffer of its own.
#include "texture/format/PixelFormat.h"
#include "texture/image/DdsLayout.h"
#include "texture/image/DxgiFormats.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <algorithm>
#include <bit>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace valmere {
namespace {

using namespace dds;

bool Matches(const PixelTemplate& t, const BYTE* pf) {
    const UINT flags = ReadLe32(pf + 4);
    if (ReadLe32(pf) != kPixelFormatBytes || flags != t.flags) {
        return false;
    }
    return (!(flags & kPixelFourCc) || ReadLe32(pf + 8) == t.fourCc) &&
           (!(flags & kBitsMatter) || ReadLe32(pf + 12) == t.bits) &&
           (!(flags & kRedMatters) || ReadLe32(pf + 16) == t.red) &&
           (!(flags & kGreenMatters) || ReadLe32(pf + 20) == t.green) &&
           (!(flags & kBlueMatters) || ReadLe32(pf + 24) == t.blue) &&
           (!(flags & kAlphaMatters) || ReadLe32(pf + 28) == t.alpha);
}

UINT Half(UINT v) { return v > 1 ? v / 2 : 1; }

// Number of right shifts that bring v to 0 (1 gives 1, 256 gives 9).
UINT BitLength(UINT v) { return static_cast<UINT>(std::bit_width(v)); }

// What the header says about the surface.
struct DdsSurface {
    // The layout of the file's levels, and the format of the records made
    // of them (different for formats converted on load).
    D3DFORMAT stored;
    D3DFORMAT format;
    const BlockFormatRow* blocks;  // the stored block format's row, or null
    DxgiPixels conversion;
    // How refusals name the format: "DXGI format 98 (BC7_UNORM)", "DXT5".
    char name[48];
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
    std::size_t dataOffset;
};

// The stored layout of one level: row pitch and bytes of `depth` slices.
bool StoredLevelBytes(const DdsSurface& s, UINT width, UINT height, UINT depth, UINT& rowPitch, UINT& sliceBytes,
                      std::uint64_t& levelBytes) {
    return LevelLayout(s.stored, width, height, rowPitch, sliceBytes) && CheckedMul(sliceBytes, depth, levelBytes);
}

// Advances `data` past the levels a header claims beyond the full chain
// (each 1x1x1), computed at once so that a count of 2^32 - 1 costs nothing.
HRESULT SkipSurplusLevels(const DdsSurface& s, UINT face, const BYTE*& data, const BYTE* end) {
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    std::uint64_t one = 0;
    std::uint64_t skip = 0;
    if (!StoredLevelBytes(s, 1, 1, 1, rowPitch, sliceBytes, one) ||
        !CheckedMul(one, s.mipCount - s.recordLevels, skip) || skip > static_cast<std::uint64_t>(end - data)) {
        return RejectFormatted("DDS: %s face %u: levels past 1x1 end early", s.name, face - 1);
    }
    data += skip;
    return S_OK;
}

// Red and blue swapped (R8G8B8A8 to A8R8G8B8), or red and green widened to
// X8R8G8B8 with blue 0, `pixels` pixels from `in` to `out`.
void ConvertPixels(DxgiPixels conversion, const BYTE* in, BYTE* out, std::size_t pixels) {
    for (std::size_t i = 0; i < pixels; ++i, out += 4) {
        if (conversion == DxgiPixels::SwapRedBlue) {
            const BYTE* p = in + 4 * i;
            const BYTE bgra[4] = {p[2], p[1], p[0], p[3]};
            std::memcpy(out, bgra, 4);
        } else {
            const BYTE* p = in + 2 * i;
            const BYTE bgrx[4] = {0, p[1], p[0], 0};
            std::memcpy(out, bgrx, 4);
        }
    }
}

// One slice of blocks decoded into `out` (rows of `outPitch` bytes). Whole
// blocks go straight to the output; the blocks that the image's right or
// bottom edge cuts go through a block row of scratch pixels.
void DecodeBlockSlice(const BlockFormatRow& row, const BYTE* in, UINT inPitch, UINT width, UINT height, BYTE* out,
                      std::size_t outPitch, BYTE* scratch) {
    const UINT across = (width + 3) / 4;
    const UINT whole = width / 4;
    const std::size_t pixelBytes = row.decodedBytesPerPixel;
    const std::size_t scratchPitch = std::size_t{across} * 4 * pixelBytes;
    for (UINT y = 0; y < height; y += 4, in += inPitch) {
        BYTE* target = out + y * outPitch;
        const UINT lines = std::min(4u, height - y);
        if (lines == 4) {
            row.decode(in, whole, target, outPitch);
            if (whole == across) {
                continue;
            }
        }
        // The cut blocks (the last one of a full block row, or all of the
        // last block row) through the scratch row.
        const UINT first = lines == 4 ? whole : 0;
        row.decode(in + std::size_t{first} * row.bytesPerBlock, across - first, scratch, scratchPitch);
        const std::size_t bytes = (width - 4 * std::size_t{first}) * pixelBytes;
        for (UINT line = 0; line < lines; ++line) {
            std::memcpy(target + line * outPitch + 4 * first * pixelBytes, scratch + line * scratchPitch, bytes);
        }
    }
}

// Converts a level stored as s.stored into an owned buffer of s.format.
HRESULT ConvertLevel(DecodedImage& record, const DdsSurface& s, const BYTE* data, UINT storedPitch,
                     UINT storedSliceBytes) {
    const std::size_t pixelBytes = GetFormatInfo(s.format).bitsPerPixel / 8;
    std::uint64_t outPitch = 0;
    std::uint64_t outSlice = 0;
    std::uint64_t total = 0;
    if (!CheckedMul(pixelBytes, record.width, outPitch) || !CheckedMul(outPitch, record.height, outSlice) ||
        !FitsUint32(outSlice) || !CheckedMul(outSlice, record.depth, total) || total > kMaxDecodedBytes) {
        return RejectFormatted("DDS: %s level of %ux%ux%u too large to decode", s.name, record.width, record.height,
                               record.depth);
    }
    record.rowPitch = static_cast<UINT>(outPitch);
    record.slicePitch = static_cast<UINT>(outSlice);
    if (!record.wantPixels) {
        return S_OK;
    }
    BYTE* out = record.AllocatePixels(total);
    std::unique_ptr<BYTE[]> scratch;
    if (s.blocks) {
        scratch.reset(new (std::nothrow) BYTE[std::size_t{(record.width + 3) / 4} * 16 * pixelBytes]);
    }
    if (!out || (s.blocks && !scratch)) {
        return E_OUTOFMEMORY;
    }
    for (UINT z = 0; z < record.depth; ++z, data += storedSliceBytes, out += outSlice) {
        if (s.blocks) {
            DecodeBlockSlice(*s.blocks, data, storedPitch, record.width, record.height, out, outPitch, scratch.get());
        } else {
            for (UINT y = 0; y < record.height; ++y) {
                ConvertPixels(s.conversion, data + std::size_t{y} * storedPitch, out + y * outPitch, record.width);
            }
        }
    }
    return S_OK;
}

// Fills one record of the chain from `data` (advanced past its bytes).
HRESULT FillLevel(DecodedImage& record, const DdsSurface& s, const DecodedImage& head, UINT face, UINT level,
                  UINT width, UINT height, UINT depth, const BYTE*& data, const BYTE* end) {
    UINT rowPitch = 0;
    UINT sliceBytes = 0;
    std::uint64_t levelBytes = 0;
    if (!StoredLevelBytes(s, width, height, depth, rowPitch, sliceBytes, levelBytes) ||
        levelBytes > static_cast<std::uint64_t>(end - data)) {
        return s.faces > 1 ? RejectFormatted("DDS: %s face %u level %u ends early", s.name, face, level)
                           : RejectFormatted("DDS: %s level %u ends early", s.name, level);
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
    if (s.blocks || s.conversion != DxgiPixels::AsStored) {
        record.pixels = nullptr;
        const HRESULT hr = ConvertLevel(record, s, data, rowPitch, sliceBytes);
        if (FAILED(hr)) {
            return hr;
        }
    }
    data += levelBytes;
    return S_OK;
}

// The format from the DX10 header, and the shape it gives (dimension,
// cube flag, array size).
HRESULT ReadDx10Header(const BYTE* bytes, std::size_t size, DdsSurface& s, bool& volume) {
    if (size < kHeaderBytes + kDx10HeaderBytes) {
        return Reject("DDS: DX10 header missing");
    }
    const UINT number = ReadLe32(bytes + kDxgiFormatOffset);
    std::snprintf(s.name, sizeof s.name, "DXGI format %u (%s)", number, DxgiFormatName(number));
    const DxgiFormatRow* row = FindDxgiFormat(number);
    if (!row) {
        return RejectFormatted("DDS: %s is not read", s.name);
    }
    s.stored = row->stored;
    s.format = row->result;
    s.conversion = row->pixels;
    // BC2 and BC3 of premultiplied alpha (alpha mode 2) are DXT2 and DXT4.
    constexpr UINT kAlphaModeMask = 0x7;
    constexpr UINT kAlphaModePremultiplied = 2;
    if ((ReadLe32(bytes + kMiscFlags2Offset) & kAlphaModeMask) == kAlphaModePremultiplied &&
        (s.format == D3DFMT_DXT3 || s.format == D3DFMT_DXT5)) {
        s.format = s.stored = s.format == D3DFMT_DXT3 ? D3DFMT_DXT2 : D3DFMT_DXT4;
    }
    const UINT dimension = ReadLe32(bytes + kDimensionOffset);
    const bool cube = (ReadLe32(bytes + kMiscFlagOffset) & kMiscTextureCube) != 0;
    const UINT arraySize = ReadLe32(bytes + kArraySizeOffset);
    if (dimension != kDimensionTexture1D && dimension != kDimensionTexture2D && dimension != kDimensionTexture3D) {
        return RejectFormatted("DDS: %s with resource dimension %u", s.name, dimension);
    }
    if (arraySize > 1) {
        return RejectFormatted("DDS: %s array of %u %s is not read", s.name, arraySize, cube ? "cubes" : "textures");
    }
    if (cube && dimension != kDimensionTexture2D) {
        return RejectFormatted("DDS: %s cube that is not two-dimensional", s.name);
    }
    volume = dimension == kDimensionTexture3D;
    s.faces = cube ? 6 : 1;
    s.dataOffset = kHeaderBytes + kDx10HeaderBytes;
    return S_OK;
}

// The format from the pixel-format templates, and the cube faces from the
// caps.
HRESULT ReadLegacyFormat(const BYTE* bytes, std::size_t size, DdsSurface& s) {
    const UINT faceBits = ReadLe32(bytes + kCaps2Offset) & kCubeFaceBits;
    if (faceBits != 0 && faceBits != kCubeFaceBits) {
        return Reject("DDS: some but not all cube faces");
    }
    s.faces = faceBits ? 6 : 1;
    s.stored = D3DFMT_UNKNOWN;
    for (const PixelTemplate& t : kPixelTemplates) {
        if (Matches(t, bytes + kPixelFormatOffset)) {
            s.stored = t.format;
            break;
        }
    }
    if (s.stored == D3DFMT_UNKNOWN) {
        const BYTE* pf = bytes + kPixelFormatOffset;
        if (ReadLe32(pf + 4) & kPixelFourCc) {
            const char code[5] = {static_cast<char>(pf[8]), static_cast<char>(pf[9]), static_cast<char>(pf[10]),
                                  static_cast<char>(pf[11]), 0};
            return RejectFormatted("DDS: four-character code \"%s\" (0x%08X) is not read", code, ReadLe32(pf + 8));
        }
        return RejectFormatted("DDS: pixel format of flags 0x%X, %u bits, masks 0x%X 0x%X 0x%X 0x%X is not read",
                               ReadLe32(pf + 4), ReadLe32(pf + 12), ReadLe32(pf + 16), ReadLe32(pf + 20),
                               ReadLe32(pf + 24), ReadLe32(pf + 28));
    }
    s.format = s.stored;
    s.conversion = DxgiPixels::AsStored;
    if (const BlockFormatRow* blocks = FindBlockFormatRow(s.stored)) {
        std::snprintf(s.name, sizeof s.name, "%s", blocks->name);
    } else {
        std::snprintf(s.name, sizeof s.name, "%u-bit pixel format", GetFormatInfo(s.stored).bitsPerPixel);
    }
    s.dataOffset = kHeaderBytes;
    if (GetFormatInfo(s.format).kind == FormatKind::Palette) {
        if (size - kHeaderBytes < kPaletteBytes) {
            return Reject("DDS: palette missing");
        }
        s.palette = reinterpret_cast<const PALETTEENTRY*>(bytes + kHeaderBytes);
        s.dataOffset += kPaletteBytes;
    }
    return S_OK;
}

HRESULT ReadSurface(const BYTE* bytes, std::size_t size, DdsSurface& s) {
    const UINT flags = ReadLe32(bytes + kFlagsOffset);
    s.height = ReadLe32(bytes + kHeightOffset);
    s.width = ReadLe32(bytes + kWidthOffset);
    if (s.width == 0 || s.height == 0) {
        return Reject("DDS: zero width or height");
    }
    bool volume = (flags & kDdsdDepth) != 0;
    const bool dx10 = ReadLe32(bytes + kPixelFormatOffset + 4) == kPixelFourCc &&
                      ReadLe32(bytes + kPixelFormatOffset + 8) == kFourCcDx10;
    HRESULT hr = dx10 ? ReadDx10Header(bytes, size, s, volume) : ReadLegacyFormat(bytes, size, s);
    if (FAILED(hr)) {
        return hr;
    }
    s.blocks = DecodesOnLoad(FindBlockFormatRow(s.stored)) ? FindBlockFormatRow(s.stored) : nullptr;
    if (s.blocks) {
        s.format = s.blocks->decodedFormat;
    }
    s.depth = volume ? std::max(ReadLe32(bytes + kDepthOffset), 1u) : 1;
    s.mipCount = std::max(ReadLe32(bytes + kMipCountOffset), 1u);
    s.recordLevels = std::min(s.mipCount, BitLength(std::max({s.width, s.height, s.depth})));
    s.resourceType = volume ? D3DRTYPE_VOLUMETEXTURE : (s.faces == 6 ? D3DRTYPE_CUBETEXTURE : D3DRTYPE_TEXTURE);
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
    const BYTE* data = bytes + s.dataOffset;
    const BYTE* end = bytes + size;
    DecodedImage* faceHead = &image;
    for (UINT face = 0; face < s.faces; ++face) {
        if (face > 0) {
            hr = SkipSurplusLevels(s, face, data, end);
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
            hr = FillLevel(*level, s, image, face, mip, width, height, depth, data, end);
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
