// ConvertToSamplingLevel: every texture format the device holds, decoded to
// 0xAARRGGBB. Plain formats are described as data (one row per format, one
// field per channel); palettes, packed YUV pairs and DXT blocks have their
// own readers.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>

#include "platform/d3d8/raster/DxtBlocks.h"
#include "platform/d3d8/raster/Raster.h"

namespace valmere::raster {
namespace {

// How one output channel is obtained from the little-endian pixel word.
enum class Field : std::uint8_t {
    Unsigned,    // bits [shift, shift + width) scaled from 0..max to 0..255
    Signed,      // two's complement; -1..1 mapped to 0..255
    Zero,        // channel absent: 0
    One,         // channel absent: 255
    SignedZero,  // signed format without this channel: 0.0 maps to 128
};

struct Channel {
    Field field;
    std::uint8_t shift = 0;
    std::uint8_t width = 0;
};

struct PackedFormat {
    D3DFORMAT format;
    int bytes;
    Channel r, g, b, a;
};

constexpr Channel U(int shift, int width) {
    return {Field::Unsigned, static_cast<std::uint8_t>(shift), static_cast<std::uint8_t>(width)};
}
constexpr Channel S(int shift, int width) {
    return {Field::Signed, static_cast<std::uint8_t>(shift), static_cast<std::uint8_t>(width)};
}
constexpr Channel kZero{Field::Zero};
constexpr Channel kOne{Field::One};
constexpr Channel kSignedZero{Field::SignedZero};

constexpr std::array kPackedFormats = {
    PackedFormat{D3DFMT_R8G8B8, 3, U(16, 8), U(8, 8), U(0, 8), kOne},
    PackedFormat{D3DFMT_A8R8G8B8, 4, U(16, 8), U(8, 8), U(0, 8), U(24, 8)},
    PackedFormat{D3DFMT_X8R8G8B8, 4, U(16, 8), U(8, 8), U(0, 8), kOne},
    PackedFormat{D3DFMT_R5G6B5, 2, U(11, 5), U(5, 6), U(0, 5), kOne},
    PackedFormat{D3DFMT_X1R5G5B5, 2, U(10, 5), U(5, 5), U(0, 5), kOne},
    PackedFormat{D3DFMT_A1R5G5B5, 2, U(10, 5), U(5, 5), U(0, 5), U(15, 1)},
    PackedFormat{D3DFMT_A4R4G4B4, 2, U(8, 4), U(4, 4), U(0, 4), U(12, 4)},
    PackedFormat{D3DFMT_R3G3B2, 1, U(5, 3), U(2, 3), U(0, 2), kOne},
    PackedFormat{D3DFMT_A8, 1, kZero, kZero, kZero, U(0, 8)},
    PackedFormat{D3DFMT_A8R3G3B2, 2, U(5, 3), U(2, 3), U(0, 2), U(8, 8)},
    PackedFormat{D3DFMT_X4R4G4B4, 2, U(8, 4), U(4, 4), U(0, 4), kOne},
    PackedFormat{D3DFMT_A2B10G10R10, 4, U(0, 10), U(10, 10), U(20, 10), U(30, 2)},
    PackedFormat{D3DFMT_G16R16, 4, U(0, 16), U(16, 16), kOne, kOne},
    PackedFormat{D3DFMT_L8, 1, U(0, 8), U(0, 8), U(0, 8), kOne},
    PackedFormat{D3DFMT_A8L8, 2, U(0, 8), U(0, 8), U(0, 8), U(8, 8)},
    PackedFormat{D3DFMT_A4L4, 1, U(0, 4), U(0, 4), U(0, 4), U(4, 4)},
    PackedFormat{D3DFMT_D16_LOCKABLE, 2, U(0, 16), U(0, 16), U(0, 16), kOne},
    PackedFormat{D3DFMT_V8U8, 2, S(0, 8), S(8, 8), kSignedZero, kOne},
    PackedFormat{D3DFMT_L6V5U5, 2, S(0, 5), S(5, 5), kSignedZero, U(10, 6)},
    PackedFormat{D3DFMT_X8L8V8U8, 4, S(0, 8), S(8, 8), kSignedZero, U(16, 8)},
    PackedFormat{D3DFMT_Q8W8V8U8, 4, S(0, 8), S(8, 8), S(16, 8), S(24, 8)},
    PackedFormat{D3DFMT_V16U16, 4, S(0, 16), S(16, 16), kSignedZero, kOne},
    PackedFormat{D3DFMT_W11V11U10, 4, S(0, 10), S(10, 11), S(21, 11), kOne},
    PackedFormat{D3DFMT_A2W10V10U10, 4, S(0, 10), S(10, 10), S(20, 10), U(30, 2)},
};

std::uint32_t DecodeChannel(Channel c, std::uint32_t word) {
    switch (c.field) {
    case Field::Zero: return 0;
    case Field::One: return 255;
    case Field::SignedZero: return 128;
    case Field::Unsigned: {
        const std::uint32_t max = (1u << c.width) - 1;
        const std::uint32_t v = (word >> c.shift) & max;
        return (v * 255 + max / 2) / max;
    }
    case Field::Signed: {
        const std::uint32_t mask = (1u << c.width) - 1;
        const std::int32_t half = 1 << (c.width - 1);
        std::int32_t v = static_cast<std::int32_t>((word >> c.shift) & mask);
        if (v >= half) v -= 2 * half;
        // -half..half-1 is -1.0..(half-1)/half; 0 lands on 127.5, rounded up.
        const double unit = std::max(-1.0, static_cast<double>(v) / half);
        return static_cast<std::uint32_t>(std::floor((unit + 1.0) * 127.5 + 0.5));
    }
    }
    return 0;
}

std::uint32_t ReadWord(const std::uint8_t* p, int bytes) {
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | p[i];
    return v;
}

const std::uint8_t* Row(const std::uint8_t* bits, int pitch, int y) {
    return bits + static_cast<std::ptrdiff_t>(pitch) * y;
}

void DecodePacked(const PackedFormat& f, const std::uint8_t* bits, int pitch, int width, int height,
                  std::uint32_t* out) {
    // The two formats that already are 0xAARRGGBB (X8 reads as opaque) are
    // copied row by row: text tiles are rewritten and converted every frame.
    if (f.format == D3DFMT_A8R8G8B8 || f.format == D3DFMT_X8R8G8B8) {
        const std::uint32_t alpha = f.format == D3DFMT_X8R8G8B8 ? 0xFF000000u : 0u;
        for (int y = 0; y < height; ++y, out += width) {
            std::memcpy(out, Row(bits, pitch, y), static_cast<std::size_t>(width) * 4);
            if (alpha != 0)
                for (int x = 0; x < width; ++x) out[x] |= alpha;
        }
        return;
    }
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = Row(bits, pitch, y);
        for (int x = 0; x < width; ++x) {
            const std::uint32_t word = ReadWord(row + x * f.bytes, f.bytes);
            *out++ = (DecodeChannel(f.a, word) << 24) | (DecodeChannel(f.r, word) << 16) |
                     (DecodeChannel(f.g, word) << 8) | DecodeChannel(f.b, word);
        }
    }
}

// P8: one index byte; A8P8: index in the low byte, alpha in the high byte.
// The palette's peFlags is the entry's alpha; without a palette every entry
// is opaque white.
void DecodePalettized(bool withAlpha, const std::uint8_t* bits, int pitch, int width, int height,
                      const PALETTEENTRY* palette, std::uint32_t* out) {
    const int bytes = withAlpha ? 2 : 1;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = Row(bits, pitch, y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t index = row[x * bytes];
            std::uint32_t argb = 0xFFFFFFFFu;
            if (palette != nullptr) {
                const PALETTEENTRY& e = palette[index];
                argb = (std::uint32_t{e.peFlags} << 24) | (std::uint32_t{e.peRed} << 16) |
                       (std::uint32_t{e.peGreen} << 8) | e.peBlue;
            }
            if (withAlpha) argb = (argb & 0x00FFFFFFu) | (std::uint32_t{row[x * bytes + 1]} << 24);
            *out++ = argb;
        }
    }
}

std::uint32_t YuvToArgb(int yy, int u, int v) {
    // BT.601 studio range, the same constants as the extension library's codec.
    const float luma = 0.00456621f * static_cast<float>(yy - 16);
    const float cb = static_cast<float>(u - 128), cr = static_cast<float>(v - 128);
    const float rgb[3] = {luma + 0.00625893f * cr, luma - 0.00153632f * cb - 0.00318811f * cr,
                          luma + 0.00791071f * cb};
    std::uint32_t argb = 0xFF000000u;
    for (int i = 0; i < 3; ++i) {
        const float c = std::clamp(rgb[i], 0.0f, 1.0f);
        argb |= static_cast<std::uint32_t>(c * 255.0f + 0.5f) << (16 - 8 * i);
    }
    return argb;
}

// Pixel pairs in two 16-bit words: word 0 carries Y0 and U, word 1 Y1 and V.
// UYVY has luma in the high byte of each word, YUY2 in the low byte.
void DecodeYuv(bool uyvy, const std::uint8_t* bits, int pitch, int width, int height, std::uint32_t* out) {
    const int lumaByte = uyvy ? 1 : 0, chromaByte = 1 - lumaByte;
    for (int y = 0; y < height; ++y) {
        const std::uint8_t* row = Row(bits, pitch, y);
        for (int x = 0; x < width; ++x) {
            const std::uint8_t* pair = row + (x & ~1) * 2;
            const int luma = row[x * 2 + lumaByte];
            // A last odd pixel has no second word to read V from: neutral chroma.
            const int v = (x | 1) < width ? pair[2 + chromaByte] : 128;
            *out++ = YuvToArgb(luma, pair[chromaByte], v);
        }
    }
}

// Rows of blocks: the pitch is the distance between rows of 4x4 blocks.
void DecodeDxt(D3DFORMAT format, const std::uint8_t* bits, int pitch, int width, int height, std::uint32_t* out) {
    const int blockBytes = DxtBlockBytes(format);
    std::uint32_t block[16];
    for (int by = 0; by < (height + 3) / 4; ++by) {
        const std::uint8_t* row = Row(bits, pitch, by);
        for (int bx = 0; bx < (width + 3) / 4; ++bx) {
            DecodeDxtBlock(format, row + bx * blockBytes, block);
            for (int ty = 0; ty < 4 && by * 4 + ty < height; ++ty) {
                for (int tx = 0; tx < 4 && bx * 4 + tx < width; ++tx) {
                    out[static_cast<std::size_t>(by * 4 + ty) * static_cast<std::size_t>(width) + bx * 4 + tx] =
                        block[ty * 4 + tx];
                }
            }
        }
    }
}

}  // namespace

bool ConvertToSamplingLevel(D3DFORMAT format, const std::uint8_t* bits, int pitch, int width, int height,
                            const PALETTEENTRY* palette, std::vector<std::uint32_t>& texels) {
    if (bits == nullptr || width <= 0 || height <= 0) return false;
    const auto packed = std::find_if(kPackedFormats.begin(), kPackedFormats.end(),
                                     [format](const PackedFormat& f) { return f.format == format; });
    const bool known = packed != kPackedFormats.end() || format == D3DFMT_P8 || format == D3DFMT_A8P8 ||
                       format == D3DFMT_UYVY || format == D3DFMT_YUY2 || DxtBlockBytes(format) != 0;
    if (!known) return false;
    // Every texel is written below: the buffer only needs its size.
    texels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    std::uint32_t* out = texels.data();
    if (packed != kPackedFormats.end()) {
        DecodePacked(*packed, bits, pitch, width, height, out);
    } else if (format == D3DFMT_P8 || format == D3DFMT_A8P8) {
        DecodePalettized(format == D3DFMT_A8P8, bits, pitch, width, height, palette, out);
    } else if (format == D3DFMT_UYVY || format == D3DFMT_YUY2) {
        DecodeYuv(format == D3DFMT_UYVY, bits, pitch, width, height, out);
    } else {
        DecodeDxt(format, bits, pitch, width, height, out);
    }
    return true;
}

}  // namespace valmere::raster
