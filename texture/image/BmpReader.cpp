// Bitmap readers: the BMP file (14-byte file header, then a DIB) and the bare
// DIB (info header, optional masks, colour table, pixels), as bitmap
// resources hold it.
#include "texture/format/PixelFormat.h"
#include "texture/image/BmpBitfields.h"
#include "texture/image/BmpRle.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <cstring>

namespace valmere {
namespace {

constexpr UINT kBiRgb = 0;
constexpr UINT kBiRle8 = 1;
constexpr UINT kBiRle4 = 2;
constexpr UINT kBiBitfields = 3;

// Info header offsets.
constexpr std::size_t kInfoHeaderMin = 40;
constexpr std::size_t kMasksInHeaderV2 = 52;  // red, green, blue masks at 40
constexpr std::size_t kMasksInHeaderV3 = 56;  // and the alpha mask at 52

struct BitfieldFormat {
    UINT bits;
    UINT red, green, blue, alpha;
    D3DFORMAT format;
};

constexpr BitfieldFormat kBitfieldFormats[] = {
    {32, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_X8R8G8B8},
    {32, 0xFF0000, 0xFF00, 0xFF, 0xFF000000u, D3DFMT_A8R8G8B8},
    {32, 0x3FF, 0xFFC00, 0x3FF00000, 0xC0000000u, D3DFMT_A2B10G10R10},
    {32, 0xFFFF, 0xFFFF0000u, 0, 0, D3DFMT_G16R16},
    {24, 0xFF0000, 0xFF00, 0xFF, 0, D3DFMT_R8G8B8},
    {16, 0xFF, 0xFF, 0xFF, 0xFF00, D3DFMT_A8L8},
    {16, 0xF800, 0x7E0, 0x1F, 0, D3DFMT_R5G6B5},
    {16, 0x7C00, 0x3E0, 0x1F, 0, D3DFMT_X1R5G5B5},
    {16, 0x7C00, 0x3E0, 0x1F, 0x8000, D3DFMT_A1R5G5B5},
    {16, 0xF00, 0xF0, 0xF, 0xF000, D3DFMT_A4R4G4B4},
    {16, 0xF00, 0xF0, 0xF, 0, D3DFMT_X4R4G4B4},
    {16, 0xE0, 0x1C, 0x3, 0xFF00, D3DFMT_A8R3G3B2},
};

// What the info header says, checked for consistency.
struct DibLayout {
    UINT width;
    UINT height;
    bool topDown;
    UINT bitCount;
    UINT compression;
    std::uint64_t colorCount;
    std::size_t colorTableOffset;  // bytes from the header start
    std::uint64_t pixelOffset;
    D3DFORMAT format;
    // Masks of no table row: each pixel is converted into `format`.
    bool convert;
    Bitfields bitfields;
};

D3DFORMAT FormatOfBitCount(UINT bitCount) {
    switch (bitCount) {
        case 1:
        case 4:
        case 8: return D3DFMT_P8;
        case 16: return D3DFMT_X1R5G5B5;
        case 24: return D3DFMT_R8G8B8;
        case 32: return D3DFMT_X8R8G8B8;
        default: return D3DFMT_UNKNOWN;
    }
}

// A row of the table when the masks are exactly its own; any other valid
// masks are converted (BmpBitfields.h).
HRESULT FormatOfBitfields(const BYTE* masks, UINT bitCount, bool hasAlphaMask, DibLayout& layout) {
    const UINT red = ReadLe32(masks);
    const UINT green = ReadLe32(masks + 4);
    const UINT blue = ReadLe32(masks + 8);
    const UINT alpha = hasAlphaMask ? ReadLe32(masks + 12) : 0;
    for (const BitfieldFormat& row : kBitfieldFormats) {
        if (row.bits == bitCount && row.red == red && row.green == green && row.blue == blue &&
            row.alpha == alpha) {
            layout.format = row.format;
            return S_OK;
        }
    }
    if (!ParseBitfields(red, green, blue, alpha, bitCount, layout.bitfields)) {
        return RejectFormatted("DIB: %u-bit masks 0x%X 0x%X 0x%X 0x%X overlap, have gaps, leave the pixel or exceed 16 bits",
                               bitCount, red, green, blue, alpha);
    }
    layout.format = layout.bitfields.target;
    layout.convert = true;
    return S_OK;
}

HRESULT ReadLayout(const BYTE* bytes, std::size_t size, DibLayout& layout) {
    if (size < kInfoHeaderMin) {
        return Reject("DIB: shorter than an info header");
    }
    const UINT headerSize = ReadLe32(bytes);
    if (headerSize < kInfoHeaderMin || headerSize > size) {
        return Reject("DIB: bad info header size");
    }
    if (ReadLe16(bytes + 12) != 1) {
        return Reject("DIB: plane count is not 1");
    }
    const auto width = static_cast<std::int32_t>(ReadLe32(bytes + 4));
    const auto height = static_cast<std::int64_t>(static_cast<std::int32_t>(ReadLe32(bytes + 8)));
    if (width <= 0 || height == 0) {
        return Reject("DIB: empty or negative width, or zero height");
    }
    layout.width = static_cast<UINT>(width);
    layout.topDown = height < 0;
    layout.height = static_cast<UINT>(height < 0 ? -height : height);
    layout.bitCount = ReadLe16(bytes + 14);
    layout.compression = ReadLe32(bytes + 16);
    const UINT colorsUsed = ReadLe32(bytes + 32);
    layout.colorCount = colorsUsed != 0 ? colorsUsed : (layout.bitCount <= 8 ? (1u << layout.bitCount) : 0);

    if (layout.topDown && layout.compression != kBiRgb && layout.compression != kBiBitfields) {
        return Reject("DIB: a top-down bitmap cannot be run-length encoded");
    }

    // Masks live in the header from the 52-byte (v2) header on; shorter
    // headers are followed by three of them.
    std::uint64_t masksAfterHeader = 0;
    switch (layout.compression) {
        case kBiRgb:
            layout.format = FormatOfBitCount(layout.bitCount);
            break;
        case kBiRle8:
        case kBiRle4:
            if (layout.bitCount != (layout.compression == kBiRle8 ? 8u : 4u)) {
                return Reject("DIB: run-length encoding does not match the bit count");
            }
            layout.format = D3DFMT_P8;
            break;
        case kBiBitfields: {
            const BYTE* masks = bytes + kInfoHeaderMin;
            if (headerSize < kMasksInHeaderV2) {
                masksAfterHeader = 12;
                if (!RangeFits(headerSize, masksAfterHeader, size)) {
                    return Reject("DIB: bit masks do not fit");
                }
                masks = bytes + headerSize;
            }
            HRESULT hr = FormatOfBitfields(masks, layout.bitCount, headerSize >= kMasksInHeaderV3, layout);
            if (FAILED(hr)) {
                return hr;
            }
            break;
        }
        default:
            return E_NOTIMPL;
    }
    if (layout.format == D3DFMT_UNKNOWN) {
        return Reject("DIB: unsupported bit count");
    }

    layout.colorTableOffset = headerSize + masksAfterHeader;
    std::uint64_t tableBytes = layout.colorCount * 4;  // colorCount < 2^32
    if (!RangeFits(layout.colorTableOffset, tableBytes, size)) {
        return Reject("DIB: colour table does not fit");
    }
    layout.pixelOffset = layout.colorTableOffset + tableBytes;
    return S_OK;
}

// The colour table's first entries (blue, green, red, reserved) become opaque
// red, green, blue entries; entries it does not give are opaque white. A
// table of more than 256 colours fills the palette and the rest is ignored.
HRESULT BuildPalette(DecodedImage& image, const BYTE* table, std::uint64_t colorCount) {
    PALETTEENTRY* palette = image.AllocatePalette();
    if (!palette) {
        return E_OUTOFMEMORY;
    }
    for (UINT i = 0; i < 256; ++i) {
        if (i < colorCount) {
            const BYTE* c = table + 4 * i;
            palette[i] = PALETTEENTRY{c[2], c[1], c[0], 0xFF};
        } else {
            palette[i] = PALETTEENTRY{0xFF, 0xFF, 0xFF, 0xFF};
        }
    }
    return S_OK;
}

// Bytes of one file row before padding.
std::uint64_t PackedRowBytes(UINT width, UINT bitCount) {
    if (bitCount == 1) {
        return (std::uint64_t{width} + 7) / 8;
    }
    if (bitCount == 4) {
        return (std::uint64_t{width} + 1) / 2;
    }
    return std::uint64_t{width} * (bitCount / 8);
}

void UnpackRow(const BYTE* src, BYTE* dst, UINT width, UINT bitCount, std::size_t rowBytes) {
    switch (bitCount) {
        case 1:
            for (UINT i = 0; i < width; ++i) {
                dst[i] = static_cast<BYTE>((src[i / 8] >> (7 - i % 8)) & 1);
            }
            break;
        case 4:
            for (UINT i = 0; i < width; ++i) {
                dst[i] = (i & 1) ? static_cast<BYTE>(src[i / 2] & 0x0F) : static_cast<BYTE>(src[i / 2] >> 4);
            }
            break;
        default: std::memcpy(dst, src, rowBytes); break;
    }
}

HRESULT ReadUncompressed(DecodedImage& image, const DibLayout& layout, const BYTE* data, std::size_t available,
                         std::size_t rowBytes) {
    const std::uint64_t packed = PackedRowBytes(layout.width, layout.bitCount);
    const std::uint64_t stride = AlignUp4(packed);
    // The last row may lack its padding; every other row must be whole.
    std::uint64_t needed = 0;
    if (!CheckedMul(stride, layout.height - 1, needed) || !CheckedAdd(needed, packed, needed) ||
        needed > available) {
        return Reject("DIB: pixel data is cut short");
    }
    if (layout.topDown && layout.bitCount >= 8 && !layout.convert) {
        image.pixels = data;  // rows are used in place: their stride is rowPitch
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(std::size_t{image.rowPitch} * layout.height);
    if (!pixels) {
        return E_OUTOFMEMORY;
    }
    for (UINT row = 0; row < layout.height; ++row) {
        const UINT target = layout.topDown ? row : layout.height - 1 - row;
        BYTE* dst = pixels + std::size_t{image.rowPitch} * target;
        if (layout.convert) {
            ConvertBitfieldRow(layout.bitfields, data + stride * row, layout.bitCount / 8, dst, layout.width);
        } else {
            UnpackRow(data + stride * row, dst, layout.width, layout.bitCount, rowBytes);
        }
        std::memset(dst + rowBytes, 0, image.rowPitch - rowBytes);
    }
    return S_OK;
}

// The pixel data lies where the file header's offset says when that is past
// the colour table and leaves room for every row (of a run-length stream:
// when it lies inside the data); otherwise right after the table, where a
// file with a wrong offset has it.
void HonourPixelOffset(DibLayout& layout, std::uint64_t fileOffset, std::size_t size) {
    if (fileOffset <= layout.pixelOffset || fileOffset >= size) {
        return;
    }
    if (layout.compression == kBiRgb || layout.compression == kBiBitfields) {
        const std::uint64_t packed = PackedRowBytes(layout.width, layout.bitCount);
        std::uint64_t needed = 0;
        if (!CheckedMul(AlignUp4(packed), layout.height - 1, needed) || !CheckedAdd(needed, packed, needed) ||
            needed > size - fileOffset) {
            return;
        }
    }
    layout.pixelOffset = fileOffset;
}

// The DIB reader; `fileOffset` is the BMP file header's pixel-data offset
// counted from the info header, or 0 for a bare DIB.
HRESULT ReadDibAt(DecodedImage& image, const BYTE* bytes, std::size_t size, std::uint64_t fileOffset) {
    DibLayout layout{};
    HRESULT hr = ReadLayout(bytes, size, layout);
    if (FAILED(hr)) {
        return hr;
    }
    HonourPixelOffset(layout, fileOffset, size);
    // Rows hold one byte per pixel after unpacking 1- and 4-bit data, and
    // converted bit fields the pixels of their table format.
    const UINT pixelBytes = layout.convert ? GetFormatInfo(layout.format).bitsPerPixel / 8 : layout.bitCount / 8;
    const std::uint64_t rowBytes = layout.bitCount < 8 ? layout.width : std::uint64_t{layout.width} * pixelBytes;
    const std::uint64_t rowPitch = AlignUp4(rowBytes);
    std::uint64_t total = 0;
    if (!FitsUint32(rowPitch) || !CheckedMul(rowPitch, layout.height, total)) {
        return Reject("DIB: image too large");
    }
    image.format = layout.format;
    image.width = layout.width;
    image.height = layout.height;
    image.depth = 1;
    image.rowPitch = static_cast<UINT>(rowPitch);
    image.slicePitch = 0;
    if (!image.wantPixels) {
        return S_OK;
    }
    if (layout.format == D3DFMT_P8) {
        hr = BuildPalette(image, bytes + layout.colorTableOffset, layout.colorCount);
        if (FAILED(hr)) {
            return hr;
        }
    }
    const BYTE* data = bytes + layout.pixelOffset;
    const std::size_t available = size - layout.pixelOffset;
    if (layout.compression == kBiRle8 || layout.compression == kBiRle4) {
        // A run can cover 255 pixels in 2 bytes, and moves and an early end
        // can leave any area blank; an image far larger than its stream could
        // describe is refused before its buffer is allocated.
        constexpr std::uint64_t kMaxPixelsPerByte = 1024;
        std::uint64_t limit = 0;
        if (!CheckedMul(available + 1, kMaxPixelsPerByte, limit) ||
            std::uint64_t{layout.width} * layout.height > limit) {
            return Reject("DIB: image too large for its run-length data");
        }
        BYTE* pixels = image.AllocatePixels(total);
        if (!pixels) {
            return E_OUTOFMEMORY;
        }
        std::memset(pixels, 0, total);
        DecodeBmpRle(data, available, layout.compression == kBiRle4, pixels, layout.width, layout.height,
                     image.rowPitch);
        return S_OK;
    }
    return ReadUncompressed(image, layout, data, available, rowBytes);
}

}  // namespace

HRESULT ReadDib(DecodedImage& image, const BYTE* bytes, std::size_t size) { return ReadDibAt(image, bytes, size, 0); }

HRESULT ReadBmp(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    constexpr std::size_t kFileHeader = 14;
    if (size < kFileHeader || ReadLe16(bytes) != 0x4D42) {
        return Reject("BMP: no \"BM\" signature");
    }
    if (ReadLe32(bytes + 2) > size) {
        return Reject("BMP: file size field exceeds the data");
    }
    const UINT offset = ReadLe32(bytes + 10);
    return ReadDibAt(image, bytes + kFileHeader, size - kFileHeader, offset > kFileHeader ? offset - kFileHeader : 0);
}

}  // namespace valmere
