// DirectDraw surface reader (file layout in DdsLayout.h): the pixel format is
// matched against the table of templates; every mip level of every cube face
// becomes one record that points into the file's bytes.
#include "texture/format/PixelFormat.h"
#include "texture/image/DdsLayout.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <algorithm>
#include <bit>
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
    for (const PixelTemplate& t : kPixelTemplates) {
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
