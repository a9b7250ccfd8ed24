#pragma once

#include "texture/dxt/DxtBlock.h"

#include <array>
#include <cstdint>

namespace valmere::test {

using Block = std::array<std::uint8_t, 16>;
using Pixels = std::array<D3DXCOLOR, 16>;

inline Pixels Flat(D3DXCOLOR c) {
    Pixels p;
    p.fill(c);
    return p;
}

inline std::uint16_t Color0(const std::uint8_t* colorHalf) { return static_cast<std::uint16_t>(colorHalf[0] | colorHalf[1] << 8); }
inline std::uint16_t Color1(const std::uint8_t* colorHalf) { return static_cast<std::uint16_t>(colorHalf[2] | colorHalf[3] << 8); }
inline unsigned ColorIndex(const std::uint8_t* colorHalf, int i) {
    const std::uint32_t word = colorHalf[4] | colorHalf[5] << 8 | colorHalf[6] << 16 | static_cast<std::uint32_t>(colorHalf[7]) << 24;
    return (word >> (2 * i)) & 3;
}

}  // namespace valmere::test
