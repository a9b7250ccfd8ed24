// The one-channel block of BC4, and of each channel of BC5 (8 bytes):
//
//   byte 0   endpoint e0        byte 1   endpoint e1
//   bytes 2-7  48 bits of 3-bit indices, pixel i in bits 3i..3i+2
//
// Unsigned blocks hold bytes 0..255; signed blocks hold -127..127 (-128
// reads as -127), standing for -1..1. Index 0 is e0 and 1 is e1. With
// e0 > e1 (compared as the block's kind of number) indices 2..7 lie at
// sevenths between them, ((7 - k) e0 + k e1) / 7 for index k + 1; otherwise
// indices 2..5 lie at fifths and 6 and 7 are the ends of the range (0 and
// 255, or -127 and 127).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace valmere::bc {

// A palette value as an exact fraction: numerator / denominator, the
// numerator a weighted sum of endpoint codes and the denominator 1, 5 or 7.
// `Map` turns it into the stored byte, rounding to nearest.
template <bool kSigned, class Map>
void ChannelPalette(const std::uint8_t* block, std::uint8_t palette[8], Map map) {
    int e0 = block[0];
    int e1 = block[1];
    if constexpr (kSigned) {
        e0 = static_cast<std::int8_t>(block[0]) < -127 ? -127 : static_cast<std::int8_t>(block[0]);
        e1 = static_cast<std::int8_t>(block[1]) < -127 ? -127 : static_cast<std::int8_t>(block[1]);
    }
    palette[0] = map(e0, 1);
    palette[1] = map(e1, 1);
    if (e0 > e1) {
        for (int k = 1; k < 7; ++k) palette[k + 1] = map((7 - k) * e0 + k * e1, 7);
    } else {
        for (int k = 1; k < 5; ++k) palette[k + 1] = map((5 - k) * e0 + k * e1, 5);
        palette[6] = map(kSigned ? -127 : 0, 1);
        palette[7] = map(kSigned ? 127 : 255, 1);
    }
}

// The 16 pixel values of a channel block, in pixel order.
template <bool kSigned, class Map>
void DecodeChannel(const std::uint8_t* block, std::uint8_t values[16], Map map) {
    std::uint8_t palette[8];
    ChannelPalette<kSigned>(block, palette, map);
    std::uint64_t indices = 0;
    std::memcpy(&indices, block + 2, 6);  // little-endian hosts only, as the blocks' loaders
    for (int i = 0; i < 16; ++i, indices >>= 3) values[i] = palette[indices & 7];
}

// Unsigned codes as they are.
inline std::uint8_t UnsignedByte(int numerator, int denominator) {
    return static_cast<std::uint8_t>((numerator + denominator / 2) / denominator);
}

// Signed codes with -1..1 mapped onto 0..255: round((v + 1) x 127.5), v =
// numerator / (127 x denominator).
inline std::uint8_t SignedToUnsignedByte(int numerator, int denominator) {
    return static_cast<std::uint8_t>((510 * (numerator + 127 * denominator) + 254 * denominator) / (508 * denominator));
}

}  // namespace valmere::bc
