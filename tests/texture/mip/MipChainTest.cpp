// Mip chains: the area halving against a double-precision integral of the
// source, linear light against the sRGB formula, normal maps renormalised,
// alpha coverage kept.
#include "texture/ValmereTexture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <cmath>
#include <random>

namespace valmere::test {
namespace {

ColorImage Image(UINT width, UINT height, UINT depth, const std::function<D3DXCOLOR(UINT, UINT, UINT)>& pixel) {
    ColorImage image;
    image.width = width;
    image.height = height;
    image.depth = depth;
    for (UINT z = 0; z < depth; ++z) {
        for (UINT y = 0; y < height; ++y) {
            for (UINT x = 0; x < width; ++x) image.pixels.push_back(pixel(x, y, z));
        }
    }
    return image;
}

const D3DXCOLOR& At(const ColorImage& image, UINT x, UINT y, UINT z = 0) {
    return image.pixels[(std::size_t{z} * image.height + y) * image.width + x];
}

// The overlap of source pixel s with destination pixel d along an axis of n
// source and m destination pixels, as a share of the destination's span.
double Share(UINT s, UINT d, UINT n, UINT m) {
    const double span = static_cast<double>(n) / m;
    const double from = d * span, to = (d + 1) * span;
    return std::max(0.0, std::min<double>(s + 1, to) - std::max<double>(s, from)) / span;
}

std::vector<ColorImage> Chain(const ColorImage& level0, UINT levels, const MipOptions& options) {
    std::vector<ColorImage> chain;
    EXPECT_EQ(MakeMipChain(level0, levels, options, chain), S_OK);
    return chain;
}

TEST(MipChain, AreaHalvingIsTheMeanOfTheCoveredArea) {
    // Even, odd and unit extents on every axis, against the integral in
    // double precision.
    struct Size {
        UINT w, h, d;
    };
    for (const Size& s : {Size{8, 4, 1}, Size{5, 3, 1}, Size{7, 1, 1}, Size{1, 9, 1}, Size{6, 5, 3}, Size{3, 3, 5}}) {
        SCOPED_TRACE(testing::Message() << s.w << "x" << s.h << "x" << s.d);
        std::mt19937 random(s.w * 100 + s.h * 10 + s.d);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        const ColorImage level0 =
            Image(s.w, s.h, s.d, [&](UINT, UINT, UINT) { return D3DXCOLOR(unit(random), unit(random), unit(random), unit(random)); });
        const std::vector<ColorImage> chain = Chain(level0, 2, {});
        const ColorImage& next = chain.at(1);
        const UINT w = std::max(1u, s.w / 2), h = std::max(1u, s.h / 2), d = std::max(1u, s.d / 2);
        ASSERT_EQ(next.width, w);
        ASSERT_EQ(next.height, h);
        ASSERT_EQ(next.depth, d);
        for (UINT z = 0; z < d; ++z) {
            for (UINT y = 0; y < h; ++y) {
                for (UINT x = 0; x < w; ++x) {
                    double expected[4] = {};
                    for (UINT sz = 0; sz < s.d; ++sz) {
                        for (UINT sy = 0; sy < s.h; ++sy) {
                            for (UINT sx = 0; sx < s.w; ++sx) {
                                const double weight = Share(sx, x, s.w, w) * Share(sy, y, s.h, h) * Share(sz, z, s.d, d);
                                const D3DXCOLOR& p = At(level0, sx, sy, sz);
                                const float c[4] = {p.r, p.g, p.b, p.a};
                                for (int k = 0; k < 4; ++k) expected[k] += weight * c[k];
                            }
                        }
                    }
                    const D3DXCOLOR& p = At(next, x, y, z);
                    const float got[4] = {p.r, p.g, p.b, p.a};
                    for (int k = 0; k < 4; ++k) ASSERT_NEAR(got[k], expected[k], 1e-6) << x << "," << y << "," << z;
                }
            }
        }
    }
}

TEST(MipChain, LevelCountsAndExtents) {
    // 300 x 200: bit length 9; extents halved and rounded down to 1.
    const ColorImage level0 = Image(300, 200, 1, [](UINT, UINT, UINT) { return D3DXCOLOR(0.5f, 0.5f, 0.5f, 1); });
    EXPECT_EQ(FullMipChainLength(300, 200, 1), 9u);
    EXPECT_EQ(FullMipChainLength(1, 1, 1), 1u);
    EXPECT_EQ(FullMipChainLength(4, 4, 16), 5u);
    for (UINT asked : {0u, 9u, 20u, 3u}) {
        const std::vector<ColorImage> chain = Chain(level0, asked, {});
        ASSERT_EQ(chain.size(), asked == 3 ? 3u : 9u);
        UINT w = 300, h = 200;
        for (const ColorImage& level : chain) {
            EXPECT_EQ(level.width, w);
            EXPECT_EQ(level.height, h);
            w = std::max(1u, w / 2), h = std::max(1u, h / 2);
        }
    }
    std::vector<ColorImage> chain(2);
    ColorImage empty;
    EXPECT_EQ(MakeMipChain(empty, 0, {}, chain), D3DERR_INVALIDCALL);
    ColorImage short_ = level0;
    short_.pixels.pop_back();
    EXPECT_EQ(MakeMipChain(short_, 0, {}, chain), D3DERR_INVALIDCALL);
    EXPECT_EQ(chain.size(), 2u);  // untouched on failure
}

TEST(MipChain, LinearLightAveragesLightNotCodes) {
    // A black and white checker: the mean in linear light is 0.5, stored as
    // sRGB 0.7354 (the formula in double); in stored values 0.5.
    const ColorImage checker = Image(8, 8, 1, [](UINT x, UINT y, UINT) {
        const float v = static_cast<float>((x + y) % 2);
        return D3DXCOLOR(v, v, v, 1);
    });
    const double half = 1.055 * std::pow(0.5, 1 / 2.4) - 0.055;
    MipOptions linear;
    linear.linearLight = true;
    const std::vector<ColorImage> chain = Chain(checker, 0, linear);
    ASSERT_EQ(chain.size(), 4u);
    for (size_t level = 1; level < chain.size(); ++level) {
        for (const D3DXCOLOR& p : chain[level].pixels) {
            ASSERT_NEAR(p.r, half, 1e-5) << level;
            ASSERT_NEAR(p.b, half, 1e-5) << level;
            ASSERT_EQ(p.a, 1.0f);
        }
    }
    EXPECT_NEAR(Chain(checker, 2, {})[1].pixels[0].g, 0.5f, 1e-6);
    // The transfer functions against their definition, and inverse.
    for (int i = 0; i <= 255; ++i) {
        const double x = i / 255.0;
        const double linearValue = x <= 0.04045 ? x / 12.92 : std::pow((x + 0.055) / 1.055, 2.4);
        ASSERT_NEAR(SrgbToLinear(static_cast<float>(x)), linearValue, 1e-7);
        ASSERT_NEAR(LinearToSrgb(SrgbToLinear(static_cast<float>(x))), x, 1e-6);
    }
}

TEST(MipChain, NormalMapsStayUnitVectors) {
    // Vectors tilted to alternating sides average to the axis between them;
    // every level, level 0 too, has unit vectors; opposite vectors that cancel
    // give (0, 0, 1).
    const float s = std::sqrt(0.5f);
    const ColorImage tilted = Image(4, 4, 1, [s](UINT x, UINT, UINT) {
        const float vx = x % 2 ? s : -s;
        return D3DXCOLOR((vx + 1) / 2, 0.5f, (s + 1) / 2 * 1.02f, 0.25f);  // slightly long: level 0 renormalised
    });
    MipOptions normal;
    normal.normalMap = true;
    const std::vector<ColorImage> chain = Chain(tilted, 0, normal);
    for (const ColorImage& level : chain) {
        for (const D3DXCOLOR& p : level.pixels) {
            const float v[3] = {2 * p.r - 1, 2 * p.g - 1, 2 * p.b - 1};
            ASSERT_NEAR(std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]), 1.0f, 1e-5f);
            ASSERT_NEAR(p.a, 0.25f, 1e-6f);
        }
    }
    EXPECT_NEAR(chain[1].pixels[0].r, 0.5f, 1e-6f);
    EXPECT_NEAR(chain[1].pixels[0].b, 1.0f, 1e-6f);

    const ColorImage opposite = Image(2, 1, 1, [](UINT x, UINT, UINT) {
        return x ? D3DXCOLOR(1, 0.5f, 0.5f, 1) : D3DXCOLOR(0, 0.5f, 0.5f, 1);
    });
    const D3DXCOLOR up = Chain(opposite, 2, normal)[1].pixels[0];
    EXPECT_FLOAT_EQ(up.r, 0.5f);
    EXPECT_FLOAT_EQ(up.g, 0.5f);
    EXPECT_FLOAT_EQ(up.b, 1.0f);
}

TEST(MipChain, AlphaCoverageIsKept) {
    // Blades of grass: thin wavy stems of alpha near 1 over alpha near 0,
    // with a little noise (so no two pixels tie). The plain mean thins them out below an
    // alpha test of 0.5 within two levels; with the option every level keeps
    // level 0's coverage to within a pixel, and the colours are untouched.
    std::mt19937 random(3);
    std::uniform_real_distribution<float> noise(0.0f, 0.01f);
    const ColorImage grass = Image(64, 64, 1, [&](UINT x, UINT y, UINT) {
        const float stem = 8 * std::sin(static_cast<float>(y) * 0.15f);
        const float distance = std::fabs(std::fmod(static_cast<float>(x) + stem + 64, 16.0f) - 8);
        const float a = (distance < 1.0f ? 0.98f : 0.0f) + noise(random);
        return D3DXCOLOR(0.2f, 0.6f + 0.001f * static_cast<float>(y), 0.1f, a);
    });
    const float reference = 0.5f;
    const float coverage = AlphaCoverage(grass, reference);
    EXPECT_GT(coverage, 0.1f);
    const std::vector<ColorImage> plain = Chain(grass, 0, {});
    EXPECT_LT(AlphaCoverage(plain[2], reference), coverage * 0.8f);
    MipOptions keep;
    keep.alphaCoverage = reference;
    const std::vector<ColorImage> kept = Chain(grass, 0, keep);
    ASSERT_EQ(kept.size(), plain.size());
    for (size_t level = 1; level < kept.size(); ++level) {
        const double pixels = static_cast<double>(kept[level].pixels.size());
        EXPECT_NEAR(AlphaCoverage(kept[level], reference), coverage, 0.5 / pixels + 1e-6) << level;
        for (size_t i = 0; i < kept[level].pixels.size(); ++i) {
            ASSERT_EQ(kept[level].pixels[i].g, plain[level].pixels[i].g);
            ASSERT_LE(kept[level].pixels[i].a, 1.0f);
        }
    }
}

}  // namespace
}  // namespace valmere::test
