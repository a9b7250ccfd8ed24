#pragma once

#include "texture/dxt/DxtBlock.h"

#include <array>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

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

// Blocks of every kind the encoders treat apart, mixed so that each batch of
// four holds different modes: noise, flat colours (exact and between codes),
// all or some pixels transparent, alpha of only 0 and 1, ramps, and values
// outside 0..1, infinite or NaN.
inline std::vector<D3DXCOLOR> MixedBlocks(int count) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    std::vector<D3DXCOLOR> pixels(static_cast<size_t>(count) * 16);
    for (int b = 0; b < count; ++b) {
        const D3DXCOLOR base(unit(random), unit(random), unit(random), unit(random));
        for (int i = 0; i < 16; ++i) {
            const float t = static_cast<float>(i) / 15;
            D3DXCOLOR& c = pixels[static_cast<size_t>(b) * 16 + i];
            switch (b % 9) {
                case 0: c = D3DXCOLOR(unit(random), unit(random), unit(random), unit(random)); break;
                case 1: c = D3DXCOLOR(1, 1, 1, 1); break;
                case 2: c = D3DXCOLOR(15.5f / 31, 0.25f, base.b, 1); break;
                case 3: c = D3DXCOLOR(base.r, base.g, base.b, 0.2f); break;
                case 4: c = D3DXCOLOR(base.r * t, base.g, 1 - t, (i % 5) == 0 ? 0.3f : 1.0f); break;
                case 5: c = D3DXCOLOR(base.r, t, base.b, (i % 3) == 0 ? 0.0f : 1.0f); break;
                case 6: c = D3DXCOLOR(base.r + 0.03f * unit(random), base.g, base.b, 0.4f + 0.02f * t); break;
                case 7: c = D3DXCOLOR(unit(random) * 3 - 1, unit(random) * 3 - 1, -t, 2 * t - 0.5f); break;
                default: c = D3DXCOLOR(i == 3 ? nan : base.r, i == 7 ? inf : base.g, i == 9 ? -inf : base.b, i == 12 ? nan : t); break;
            }
        }
    }
    return pixels;
}

}  // namespace valmere::test
