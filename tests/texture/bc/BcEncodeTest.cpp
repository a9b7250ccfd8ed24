// The BC4 and BC5 encoders: blocks against an exhaustive search of every
// endpoint pair, and round trips through the project's decoders.
#include "texture/ValmereTexture.h"
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcChannelEncoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <vector>

namespace valmere::test {
namespace {

using Values = std::array<float, 16>;

// The palette of endpoints (e0, e1) as the block layout defines it, exact.
std::array<double, 8> Palette(int e0, int e1, bool isSigned) {
    std::array<double, 8> p{};
    p[0] = e0;
    p[1] = e1;
    if (e0 > e1) {
        for (int k = 1; k < 7; ++k) p[k + 1] = ((7.0 - k) * e0 + k * e1) / 7;
    } else {
        for (int k = 1; k < 5; ++k) p[k + 1] = ((5.0 - k) * e0 + k * e1) / 5;
        p[6] = isSigned ? -127 : 0;
        p[7] = isSigned ? 127 : 255;
    }
    return p;
}

double ErrorOf(const std::array<double, 8>& palette, const Values& v, const std::uint8_t* indices = nullptr) {
    double sum = 0;
    for (int i = 0; i < 16; ++i) {
        double best = 1e30;
        if (indices) {
            best = (v[i] - palette[indices[i]]) * (v[i] - palette[indices[i]]);
        } else {
            for (double p : palette) best = std::min(best, (v[i] - p) * (v[i] - p));
        }
        sum += best;
    }
    return sum;
}

// The block's own error: its endpoints and stored indices.
double BlockError(const std::uint8_t* block, const Values& v, bool isSigned) {
    const int e0 = isSigned ? static_cast<std::int8_t>(block[0]) : block[0];
    const int e1 = isSigned ? static_cast<std::int8_t>(block[1]) : block[1];
    std::uint64_t bits = 0;
    for (int b = 0; b < 6; ++b) bits |= static_cast<std::uint64_t>(block[2 + b]) << (8 * b);
    std::uint8_t indices[16];
    for (int i = 0; i < 16; ++i) indices[i] = static_cast<std::uint8_t>((bits >> (3 * i)) & 7);
    return ErrorOf(Palette(e0, e1, isSigned), v, indices);
}

double ExhaustiveBest(const Values& v, bool isSigned) {
    const int low = isSigned ? -127 : 0, high = isSigned ? 127 : 255;
    double best = 1e30;
    for (int e0 = low; e0 <= high; ++e0) {
        for (int e1 = low; e1 <= high; ++e1) best = std::min(best, ErrorOf(Palette(e0, e1, isSigned), v));
    }
    return best;
}

// Blocks of the kinds the modes are for: ramps, noise, flat values between
// codes, values at the range's ends with others between.
std::vector<Values> SampleBlocks(bool isSigned, int count) {
    std::mt19937 random(isSigned ? 5 : 4);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float low = isSigned ? -127.0f : 0.0f, span = isSigned ? 254.0f : 255.0f;
    std::vector<Values> blocks;
    for (int n = 0; n < count; ++n) {
        Values v{};
        const float a = low + span * unit(random), b = low + span * unit(random);
        for (int i = 0; i < 16; ++i) {
            switch (n % 4) {
                case 0: v[i] = a + (b - a) * static_cast<float>(i) / 15 + 3 * (unit(random) - 0.5f); break;
                case 1: v[i] = low + span * unit(random); break;
                case 2: v[i] = a; break;
                default: v[i] = i % 4 == 0 ? low : (i % 4 == 1 ? low + span : a + 20 * unit(random)); break;
            }
            v[i] = std::clamp(v[i], low, low + span);
        }
        blocks.push_back(v);
    }
    return blocks;
}

TEST(BcEncode, ChannelBlocksComeNearTheBestEndpointPair) {
    // Against every one of the 65536 endpoint pairs (each value on its
    // nearest entry): ramps, flat values and blocks at the range's ends
    // within 2% of the least error (or half a code squared over the block);
    // uniform noise, where the best pair may lie far from the values'
    // extremes, within 60%.
    for (bool isSigned : {false, true}) {
        SCOPED_TRACE(isSigned ? "signed" : "unsigned");
        const std::vector<Values> blocks = SampleBlocks(isSigned, 24);
        for (size_t n = 0; n < blocks.size(); ++n) {
            std::uint8_t block[8];
            bc::EncodeChannelBlock(blocks[n].data(), isSigned, block);
            const double best = ExhaustiveBest(blocks[n], isSigned);
            const double allowed = n % 4 == 1 ? best * 1.6 : std::max(best * 1.02, best + 0.5);
            EXPECT_LE(BlockError(block, blocks[n], isSigned), allowed) << "block " << n;
        }
    }
}

TEST(BcEncode, RoundTripsThroughTheDecoders) {
    // BC4 into L8 and BC5 into X8R8G8B8 (red, then green): unsigned bytes as
    // stored, signed -1..1 onto 0..255. Exact cases: the range's ends, eight
    // values at sevenths, one value on a code; every other block within a
    // code and a half per pixel (a ramp of 16 values over 30 codes).
    struct Case {
        const char* name;
        float first, last;  // red (green runs the other way), 0..1 or -1..1
        bool exact;
    };
    const Case cases[] = {
        {"ends of the range", 0.0f, 1.0f, true},
        {"sevenths", 35.0f / 255, 105.0f / 255, true},
        {"flat", 77.0f / 255, 77.0f / 255, true},
        {"ramp", 0.3f, 0.3f + 30.0f / 255, false},
    };
    for (bool isSigned : {false, true}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.name) + (isSigned ? " signed" : " unsigned"));
            D3DXCOLOR pixels[16];
            for (int i = 0; i < 16; ++i) {
                // Sevenths: positions 0..7, each twice; ends: alternating.
                const float t = c.exact ? static_cast<float>(c.first == 0.0f ? i % 2 : (i / 2)) / (c.first == 0.0f ? 1 : 7)
                                        : static_cast<float>(i) / 15;
                float r = c.first + (c.last - c.first) * t;
                if (isSigned) r = std::round((2 * r - 1) * 127) / 127;
                pixels[i] = D3DXCOLOR(r, isSigned ? -r : 1 - r, 0, 1);
            }
            std::uint8_t bc4[8], bc5[16];
            const ChannelRange range = isSigned ? ChannelRange::Signed : ChannelRange::Unsigned;
            ASSERT_EQ(PackBlocksBc4(bc4, pixels, 1, range), S_OK);
            ASSERT_EQ(PackBlocksBc5(bc5, pixels, 1, range), S_OK);
            std::uint8_t grey[16], bgrx[64];
            (isSigned ? bc::DecodeBc4SnormBlocks : bc::DecodeBc4UnormBlocks)(bc4, 1, grey, 4);
            (isSigned ? bc::DecodeBc5SnormBlocks : bc::DecodeBc5UnormBlocks)(bc5, 1, bgrx, 16);
            // What the decoders give for a value, in bytes.
            auto expected = [&](float v) { return isSigned ? (v + 1) * 127.5f : v * 255; };
            const float tolerance = c.exact ? 0.5f + 1e-3f : 1.5f + 0.5f;
            for (int i = 0; i < 16; ++i) {
                EXPECT_NEAR(grey[i], expected(pixels[i].r), tolerance) << i;
                EXPECT_NEAR(bgrx[4 * i + 2], expected(pixels[i].r), tolerance) << i;
                EXPECT_NEAR(bgrx[4 * i + 1], expected(pixels[i].g), tolerance) << i;
            }
        }
    }
}

TEST(BcEncode, ValuesOutsideTheRangeAreClamped) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    D3DXCOLOR pixels[16];
    for (int i = 0; i < 16; ++i) pixels[i] = D3DXCOLOR(i % 3 == 0 ? 2.0f : (i % 3 == 1 ? -3.0f : nan), 0, 0, 1);
    std::uint8_t block[8];
    ASSERT_EQ(PackBlocksBc4(block, pixels, 1, ChannelRange::Unsigned), S_OK);
    std::uint8_t grey[16];
    bc::DecodeBc4UnormBlocks(block, 1, grey, 4);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(grey[i], i % 3 == 0 ? 255 : 0) << i;
}

}  // namespace
}  // namespace valmere::test
