// Targa reader: colour-mapped (1, 9), true-colour (2, 10) and grey (3, 11)
// images, raw or run-length encoded, in either vertical and horizontal order.
// 16-bit grey holds grey then alpha (A8L8). 16-bit colours keep bit 15 as
// alpha only when the descriptor declares attribute (alpha) bits: writers
// that declare none leave the bit clear, and their images are opaque.
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <cstring>

namespace valmere {
namespace {

constexpr std::size_t kHeaderBytes = 18;
constexpr BYTE kRunLengthBit = 0x08;
constexpr BYTE kTopDownBit = 0x20;
constexpr BYTE kRightToLeftBit = 0x10;
constexpr BYTE kAttributeBits = 0x0F;

struct TgaHeader {
    UINT idLength;
    UINT mapType;
    UINT imageType;
    UINT mapFirst;
    UINT mapLength;
    UINT mapEntryBits;
    UINT width;
    UINT height;
    UINT pixelDepth;
    UINT descriptor;
};

TgaHeader ParseHeader(const BYTE* b) {
    return TgaHeader{b[0], b[1], b[2], ReadLe16(b + 3), ReadLe16(b + 5), b[7],
                     ReadLe16(b + 12), ReadLe16(b + 14), b[16], b[17]};
}

bool HasAttributeBits(const TgaHeader& h) { return (h.descriptor & kAttributeBits) != 0; }

D3DFORMAT FormatOfTrueColorDepth(const TgaHeader& h) {
    switch (h.pixelDepth) {
        case 15: return D3DFMT_X1R5G5B5;
        case 16: return HasAttributeBits(h) ? D3DFMT_A1R5G5B5 : D3DFMT_X1R5G5B5;
        case 24: return D3DFMT_R8G8B8;
        case 32: return D3DFMT_A8R8G8B8;
        default: return D3DFMT_UNKNOWN;
    }
}

D3DFORMAT FormatOfImage(const TgaHeader& h) {
    switch (h.imageType & 3) {
        case 1: return (h.mapType == 1 && h.pixelDepth == 8) ? D3DFMT_P8 : D3DFMT_UNKNOWN;
        case 2: return FormatOfTrueColorDepth(h);
        case 3: return h.pixelDepth == 8 ? D3DFMT_L8 : (h.pixelDepth == 16 ? D3DFMT_A8L8 : D3DFMT_UNKNOWN);
        default: return D3DFMT_UNKNOWN;
    }
}

// 5-bit channel c widens to 8 bits as (c << 3) | (c >> 2).
BYTE Widen5(UINT c) { return static_cast<BYTE>((c << 3) | (c >> 2)); }

PALETTEENTRY MapEntry(const BYTE* e, UINT entryBits, bool alphaBit) {
    switch (entryBits) {
        case 24: return PALETTEENTRY{e[2], e[1], e[0], 0xFF};
        case 32: return PALETTEENTRY{e[2], e[1], e[0], e[3]};
        default: {
            const UINT v = ReadLe16(e);
            const BYTE alpha = (entryBits == 15 || !alphaBit || (v & 0x8000)) ? 0xFF : 0x00;
            return PALETTEENTRY{Widen5((v >> 10) & 0x1F), Widen5((v >> 5) & 0x1F), Widen5(v & 0x1F), alpha};
        }
    }
}

HRESULT BuildPalette(DecodedImage& image, const TgaHeader& h, const BYTE* map) {
    if (h.mapFirst + h.mapLength > 256) {
        return Reject("TGA: colour map does not fit the palette");
    }
    PALETTEENTRY* palette = image.AllocatePalette();
    if (!palette) {
        return E_OUTOFMEMORY;
    }
    std::memset(palette, 0xFF, 256 * sizeof(PALETTEENTRY));
    const UINT entryBytes = (h.mapEntryBits + 7) / 8;
    for (UINT i = 0; i < h.mapLength; ++i) {
        palette[h.mapFirst + i] = MapEntry(map + i * entryBytes, h.mapEntryBits, HasAttributeBits(h));
    }
    return S_OK;
}

// Places pixels in file order: rows from the top or the bottom, each from its
// left or right end. Run-length packets may run on into the next row.
class TgaPixelSink {
public:
    TgaPixelSink(BYTE* pixels, UINT width, UINT height, UINT pixelBytes, bool topDown, bool rightToLeft)
        : pixels_(pixels), width_(width), height_(height), pixelBytes_(pixelBytes), topDown_(topDown),
          rightToLeft_(rightToLeft) {}

    bool Full() const { return row_ == height_; }
    // Copies up to `count` pixels from src (stride 0 repeats one pixel);
    // returns how many were placed before the image filled.
    UINT Put(const BYTE* src, UINT count, UINT srcStride) {
        UINT placed = 0;
        while (placed < count && !Full()) {
            const UINT run = (count - placed < width_ - column_) ? count - placed : width_ - column_;
            BYTE* rowStart = pixels_ + std::size_t{topDown_ ? row_ : height_ - 1 - row_} * width_ * pixelBytes_;
            if (!rightToLeft_ && srcStride == pixelBytes_) {
                std::memcpy(rowStart + std::size_t{column_} * pixelBytes_, src + std::size_t{placed} * srcStride,
                            std::size_t{run} * pixelBytes_);
            } else {
                for (UINT i = 0; i < run; ++i) {
                    const UINT x = rightToLeft_ ? width_ - 1 - (column_ + i) : column_ + i;
                    std::memcpy(rowStart + std::size_t{x} * pixelBytes_,
                                src + std::size_t{placed + i} * srcStride, pixelBytes_);
                }
            }
            placed += run;
            column_ += run;
            if (column_ == width_) {
                column_ = 0;
                ++row_;
            }
        }
        return placed;
    }

private:
    BYTE* pixels_;
    UINT width_;
    UINT height_;
    UINT pixelBytes_;
    bool topDown_;
    bool rightToLeft_;
    UINT row_ = 0;
    UINT column_ = 0;
};

HRESULT DecodeRunLength(TgaPixelSink& sink, const BYTE* data, std::size_t available, UINT pixelBytes) {
    std::size_t p = 0;
    while (!sink.Full()) {
        if (p >= available) {
            return Reject("TGA: run-length data ends early");
        }
        const BYTE header = data[p++];
        const UINT count = (header & 0x7Fu) + 1;
        const bool repeated = (header & 0x80) != 0;
        const std::size_t bytes = std::size_t{repeated ? 1u : count} * pixelBytes;
        if (available - p < bytes) {
            return Reject("TGA: run-length packet ends early");
        }
        sink.Put(data + p, count, repeated ? 0 : pixelBytes);
        p += bytes;
    }
    return S_OK;
}

}  // namespace

HRESULT ReadTga(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    if (size < kHeaderBytes) {
        return Reject("TGA: shorter than its header");
    }
    const TgaHeader h = ParseHeader(bytes);
    if (h.mapType > 1 || (h.imageType & ~0x0Bu) != 0 || h.width == 0 || h.height == 0) {
        return Reject("TGA: bad colour-map type, image type or size");
    }
    if (h.mapType == 1 && h.mapEntryBits != 15 && h.mapEntryBits != 16 && h.mapEntryBits != 24 &&
        h.mapEntryBits != 32) {
        return Reject("TGA: bad colour-map entry size");
    }
    const D3DFORMAT format = FormatOfImage(h);
    if (format == D3DFMT_UNKNOWN) {
        return Reject("TGA: unsupported image type and pixel depth");
    }
    const std::size_t mapOffset = kHeaderBytes + h.idLength;
    const std::size_t mapBytes = h.mapType == 1 ? std::size_t{(h.mapEntryBits + 7) / 8} * h.mapLength : 0;
    if (!RangeFits(mapOffset, mapBytes, size)) {
        return Reject("TGA: id field or colour map does not fit");
    }
    const UINT pixelBytes = (h.pixelDepth + 7) / 8;
    image.format = format;
    image.width = h.width;
    image.height = h.height;
    image.depth = 1;
    image.rowPitch = pixelBytes * h.width;
    image.slicePitch = 0;
    if (!image.wantPixels) {
        return S_OK;
    }
    if (format == D3DFMT_P8) {
        HRESULT hr = BuildPalette(image, h, bytes + mapOffset);
        if (FAILED(hr)) {
            return hr;
        }
    }
    const BYTE* data = bytes + mapOffset + mapBytes;
    const std::size_t available = size - mapOffset - mapBytes;
    const std::size_t pixelCount = std::size_t{h.width} * h.height;
    const std::size_t imageBytes = pixelCount * pixelBytes;
    const bool runLength = (h.imageType & kRunLengthBit) != 0;
    const bool topDown = (h.descriptor & kTopDownBit) != 0;
    const bool rightToLeft = (h.descriptor & kRightToLeftBit) != 0;
    // Raw data must be whole; a run-length packet of at least 2 bytes covers
    // at most 128 pixels. Both are checked before the buffer is allocated.
    if (runLength ? pixelCount > std::uint64_t{available} * 64 : imageBytes > available) {
        return Reject("TGA: pixel data ends early");
    }
    if (!runLength && topDown && !rightToLeft) {
        image.pixels = data;
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(imageBytes);
    if (!pixels) {
        return E_OUTOFMEMORY;
    }
    TgaPixelSink sink(pixels, h.width, h.height, pixelBytes, topDown, rightToLeft);
    if (runLength) {
        return DecodeRunLength(sink, data, available, pixelBytes);
    }
    sink.Put(data, static_cast<UINT>(pixelCount), pixelBytes);
    return S_OK;
}

}  // namespace valmere
