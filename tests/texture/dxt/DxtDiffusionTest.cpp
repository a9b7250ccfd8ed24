// The colour index search of three-colour DXT1 blocks against the diffusion
// rule written as an error buffer: each pixel adds its shares to the buffer
// entries of its neighbours, and a transparent pixel passes nothing on, so
// the error it received goes no further.
#include "DxtTestUtil.h"

#include <gtest/gtest.h>

#include <random>

namespace valmere::test {
namespace {

struct Rgb {
    float r, g, b;
};

constexpr Rgb kWeights = {0.29703665f, 1.0f, 0.10078278f};

Rgb Weighted565(std::uint16_t c) {
    return {static_cast<float>(c >> 11) * (1.0f / 31.0f) * kWeights.r,
            static_cast<float>((c >> 5) & 63) * (1.0f / 63.0f) * kWeights.g,
            static_cast<float>(c & 31) * (1.0f / 31.0f) * kWeights.b};
}

float Dot(Rgb x, Rgb y) { return (x.r * y.r + x.g * y.g) + x.b * y.b; }
Rgb Minus(Rgb x, Rgb y) { return {x.r - y.r, x.g - y.g, x.b - y.b}; }

// The index word of a three-colour block with the given endpoints (colour0 <=
// colour1), from an error buffer in row-major order.
std::uint32_t BufferIndices(const Pixels& p, std::uint16_t colour0, std::uint16_t colour1) {
    const Rgb e0 = Weighted565(colour0);
    const Rgb e1 = Weighted565(colour1);
    const Rgb span = Minus(e1, e0);
    const Rgb e2 = {e0.r + span.r * 0.5f, e0.g + span.g * 0.5f, e0.b + span.b * 0.5f};
    const float scale = colour0 == colour1 ? 0.0f : 2.0f / Dot(span, span);
    const Rgb dir = {span.r * scale, span.g * scale, span.b * scale};
    // Linear positions 0, 1, 2 are indices 0, 2, 1.
    const float positionValue[3] = {Dot(Minus(e0, e0), dir), Dot(Minus(e2, e0), dir), Dot(Minus(e1, e0), dir)};
    const std::uint32_t positionIndex[3] = {0, 2, 1};
    float error[16] = {};
    std::uint32_t word = 0;
    for (int i = 0; i < 16; ++i) {
        if (p[i].a < 0.5f) {
            word |= 3u << (2 * i);
            continue;
        }
        const Rgb w = {p[i].r * kWeights.r, p[i].g * kWeights.g, p[i].b * kWeights.b};
        const float t = Dot(Minus(w, e0), dir) + error[i];
        const float clamped = t <= 0.0f ? 0.0f : (t >= 2.0f ? 2.0f : t);
        const int position = static_cast<int>(clamped + 0.5f);
        word |= positionIndex[position] << (2 * i);
        const float residual = t - positionValue[position];
        const int x = i & 3;
        if (x < 3) error[i + 1] += residual * (7.0f / 16.0f);
        if (i < 12) {
            if (x > 0) error[i + 3] += residual * (3.0f / 16.0f);
            error[i + 4] += residual * (5.0f / 16.0f);
            if (x < 3) error[i + 5] += residual * (1.0f / 16.0f);
        }
    }
    return word;
}

TEST(DxtDiffusion, TransparentPixelsPassNoErrorOn) {
    std::mt19937 random(23);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    int checked = 0;
    for (int n = 0; n < 400; ++n) {
        // A ramp with noise, so that most pixels leave an error behind, and a
        // few transparent pixels anywhere (at least one, not all).
        Pixels p;
        const D3DXCOLOR from(unit(random), unit(random), unit(random), 1), to(unit(random), unit(random), unit(random), 1);
        for (int i = 0; i < 16; ++i) {
            const float t = static_cast<float>(i) / 15 + 0.1f * unit(random);
            p[i] = D3DXCOLOR(from.r + (to.r - from.r) * t, from.g + (to.g - from.g) * t, from.b + (to.b - from.b) * t,
                             unit(random) < 0.25f ? 0.2f : 1.0f);
        }
        p[static_cast<size_t>(n % 16)].a = 0.0f;
        p[static_cast<size_t>((n + 5) % 16)].a = 1.0f;
        Block b{};
        PackBlockDxt1(b.data(), p.data());
        const std::uint16_t c0 = Color0(b.data()), c1 = Color1(b.data());
        ASSERT_LE(c0, c1) << n;
        std::uint32_t word = 0;
        for (int i = 0; i < 16; ++i) word |= ColorIndex(b.data(), i) << (2 * i);
        EXPECT_EQ(word, BufferIndices(p, c0, c1)) << "block " << n;
        ++checked;
    }
    EXPECT_EQ(checked, 400);
}

}  // namespace
}  // namespace valmere::test
