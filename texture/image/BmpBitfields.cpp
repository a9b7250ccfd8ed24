#include "texture/image/BmpBitfields.h"

#include "texture/format/PixelFormat.h"

#include <algorithm>
#include <bit>
#include <cstring>

namespace valmere {
namespace {

bool ParseChannel(UINT mask, BitfieldChannel& channel) {
    if (mask == 0) {
        channel = BitfieldChannel{0, 0};
        return true;
    }
    channel.shift = static_cast<UINT>(std::countr_zero(mask));
    channel.bits = static_cast<UINT>(std::popcount(mask));
    // One run: the mask shifted down is all ones.
    return channel.bits <= 16 && ((mask >> channel.shift) & ((mask >> channel.shift) + 1)) == 0;
}

// The channel's value scaled to `targetBits`; `absent` when it has no mask.
UINT Channel(const BitfieldChannel& c, UINT pixel, UINT targetBits, UINT absent) {
    if (c.bits == 0) {
        return absent;
    }
    const std::uint64_t maximum = (std::uint64_t{1} << c.bits) - 1;
    const std::uint64_t v = (pixel >> c.shift) & maximum;
    const std::uint64_t targetMaximum = (std::uint64_t{1} << targetBits) - 1;
    return static_cast<UINT>((v * targetMaximum + maximum / 2) / maximum);
}

}  // namespace

bool ParseBitfields(UINT red, UINT green, UINT blue, UINT alpha, UINT bitCount, Bitfields& out) {
    if (bitCount != 16 && bitCount != 24 && bitCount != 32) {
        return false;
    }
    const UINT inPixel = bitCount == 32 ? 0xFFFFFFFFu : (1u << bitCount) - 1;
    const UINT masks[4] = {red, green, blue, alpha};
    UINT seen = 0;
    for (UINT mask : masks) {
        if ((mask & ~inPixel) != 0 || (mask & seen) != 0) {
            return false;
        }
        seen |= mask;
    }
    if ((red | green | blue) == 0 || !ParseChannel(red, out.red) || !ParseChannel(green, out.green) ||
        !ParseChannel(blue, out.blue) || !ParseChannel(alpha, out.alpha)) {
        return false;
    }
    const UINT widest = std::max({out.red.bits, out.green.bits, out.blue.bits});
    const bool hasAlpha = out.alpha.bits > 0;
    if (widest <= 8 && out.alpha.bits <= 8) {
        out.target = hasAlpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    } else if (widest <= 10 && out.alpha.bits <= 2) {
        out.target = D3DFMT_A2B10G10R10;
    } else {
        out.target = hasAlpha ? kFormatAR16 : kFormatR16;
    }
    return true;
}

void ConvertBitfieldRow(const Bitfields& f, const BYTE* in, UINT pixelBytes, BYTE* out, UINT width) {
    for (UINT x = 0; x < width; ++x, in += pixelBytes) {
        UINT pixel = 0;
        std::memcpy(&pixel, in, pixelBytes);  // little-endian hosts, as every reader here
        switch (static_cast<DWORD>(f.target)) {
            case D3DFMT_A8R8G8B8:
            case D3DFMT_X8R8G8B8: {
                const BYTE bgra[4] = {static_cast<BYTE>(Channel(f.blue, pixel, 8, 0)),
                                      static_cast<BYTE>(Channel(f.green, pixel, 8, 0)),
                                      static_cast<BYTE>(Channel(f.red, pixel, 8, 0)),
                                      static_cast<BYTE>(Channel(f.alpha, pixel, 8, 255))};
                std::memcpy(out, bgra, 4);
                out += 4;
                break;
            }
            case D3DFMT_A2B10G10R10: {
                const UINT word = Channel(f.red, pixel, 10, 0) | Channel(f.green, pixel, 10, 0) << 10 |
                                  Channel(f.blue, pixel, 10, 0) << 20 | Channel(f.alpha, pixel, 2, 3) << 30;
                std::memcpy(out, &word, 4);
                out += 4;
                break;
            }
            default: {  // R16 and AR16: words blue, green, red (, alpha)
                const std::uint16_t words[4] = {static_cast<std::uint16_t>(Channel(f.blue, pixel, 16, 0)),
                                                static_cast<std::uint16_t>(Channel(f.green, pixel, 16, 0)),
                                                static_cast<std::uint16_t>(Channel(f.red, pixel, 16, 0)),
                                                static_cast<std::uint16_t>(Channel(f.alpha, pixel, 16, 0xFFFF))};
                const UINT bytes = f.target == kFormatAR16 ? 8 : 6;
                std::memcpy(out, words, bytes);
                out += bytes;
                break;
            }
        }
    }
}

}  // namespace valmere
