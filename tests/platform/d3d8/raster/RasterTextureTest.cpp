// Texture sampling through whole draws: the sprite's one texel per pixel,
// point and bilinear filters, address modes and mip selection, compared
// with a double-precision reference sampler.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/platform/d3d8/raster/RasterTestSupport.h"

namespace valmere::raster::test {
namespace {

std::vector<std::uint32_t> Checker(int w, int h) {
    std::vector<std::uint32_t> t(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            t[static_cast<std::size_t>(y) * w + x] =
                0xFF000000u | static_cast<std::uint32_t>(x * 255 / std::max(w - 1, 1)) << 16 |
                static_cast<std::uint32_t>(y * 255 / std::max(h - 1, 1)) << 8 | static_cast<std::uint32_t>((x * 7 + y * 13) & 0xFF);
        }
    }
    return t;
}

// An axis-aligned quad from (x0, y0) to (x1, y1) in pixels with texture
// coordinates u0..u1, v0..v1, drawn as a fan (the sprite's order).
std::vector<TlVertex> Quad(float x0, float y0, float x1, float y1, float u0, float v0, float u1, float v1,
                           std::uint32_t color = 0xFFFFFFFF) {
    return {{x0, y0, 0.5f, 1.0f, color, u0, v0},
            {x0, y1, 0.5f, 1.0f, color, u0, v1},
            {x1, y1, 0.5f, 1.0f, color, u1, v1},
            {x1, y0, 0.5f, 1.0f, color, u1, v0}};
}

// The sprite's states: no culling (its fan is counter-clockwise on screen).
PipelineState SpriteState(int w, int h) {
    PipelineState s = DefaultState(w, h);
    s.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    return s;
}

// Reference addressing of texel index i (false: border).
bool Address(DWORD mode, long& i, long n) {
    switch (mode) {
    case D3DTADDRESS_WRAP: i = ((i % n) + n) % n; return true;
    case D3DTADDRESS_MIRROR: {
        long m = ((i % (2 * n)) + 2 * n) % (2 * n);
        i = m < n ? m : 2 * n - 1 - m;
        return true;
    }
    case D3DTADDRESS_CLAMP: i = std::min(std::max(i, 0L), n - 1); return true;
    default: return i >= 0 && i < n;
    }
}

double ChannelOf(std::uint32_t c, int shift) { return static_cast<double>((c >> shift) & 0xFF); }

// Reference sample of one channel at (u, v).
double Reference(const std::vector<std::uint32_t>& t, int w, int h, DWORD mode, std::uint32_t border, bool linear,
                 double u, double v, int shift) {
    const auto texel = [&](long x, long y) {
        if (!Address(mode, x, w) || !Address(mode, y, h)) return ChannelOf(border, shift);
        return ChannelOf(t[static_cast<std::size_t>(y) * w + x], shift);
    };
    if (!linear) return texel(static_cast<long>(std::floor(u * w)), static_cast<long>(std::floor(v * h)));
    const double tx = u * w - 0.5, ty = v * h - 0.5;
    const long x = static_cast<long>(std::floor(tx)), y = static_cast<long>(std::floor(ty));
    const double fx = tx - x, fy = ty - y;
    return texel(x, y) * (1 - fx) * (1 - fy) + texel(x + 1, y) * fx * (1 - fy) + texel(x, y + 1) * (1 - fx) * fy +
           texel(x + 1, y + 1) * fx * fy;
}

TEST(RasterTexture, SpriteQuadMapsOneTexelPerPixel) {
    TestTexture texture;
    texture.Add(8, 8, Checker(8, 8));
    for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
        ColorBuffer color(10, 10, D3DFMT_A8R8G8B8);
        PipelineState state = SpriteState(10, 10);
        state.textures[0] = &texture.sampled;
        state.stageStates[0][D3DTSS_MAGFILTER] = state.stageStates[0][D3DTSS_MINFILTER] = filter;
        state.stageStates[0][D3DTSS_ADDRESSU] = state.stageStates[0][D3DTSS_ADDRESSV] = D3DTADDRESS_CLAMP;
        // Pixel x covers -0.5..0.5 around its centre: the half-pixel shift.
        Draw(state, kTlFvf, D3DPT_TRIANGLEFAN, Quad(1 - 0.5f, 1 - 0.5f, 9 - 0.5f, 9 - 0.5f, 0, 0, 1, 1), 2, color);
        for (int y = 0; y < 10; ++y) {
            for (int x = 0; x < 10; ++x) {
                const bool inside = x >= 1 && x < 9 && y >= 1 && y < 9;
                const std::uint32_t expected = inside ? texture.levels[0][(y - 1) * 8 + (x - 1)] & 0xFFFFFF : 0;
                EXPECT_EQ(color.At(x, y), expected) << "filter " << filter << " pixel " << x << "," << y;
            }
        }
    }
}

TEST(RasterTexture, FiltersAndAddressModesMatchReference) {
    constexpr int kTex = 4, kSize = 24;
    TestTexture texture;
    texture.Add(kTex, kTex, Checker(kTex, kTex));
    const std::uint32_t border = 0xFF3366CC;
    const double u0 = -1.25, u1 = 2.0, v0 = -0.75, v1 = 1.75;
    for (DWORD mode : {D3DTADDRESS_WRAP, D3DTADDRESS_MIRROR, D3DTADDRESS_CLAMP, D3DTADDRESS_BORDER}) {
        for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
            ColorBuffer color(kSize, kSize, D3DFMT_X8R8G8B8);
            PipelineState state = SpriteState(kSize, kSize);
            state.textures[0] = &texture.sampled;
            DWORD* ts = state.stageStates[0];
            ts[D3DTSS_MAGFILTER] = ts[D3DTSS_MINFILTER] = filter;
            ts[D3DTSS_ADDRESSU] = ts[D3DTSS_ADDRESSV] = mode;
            ts[D3DTSS_BORDERCOLOR] = border;
            Draw(state, kTlFvf, D3DPT_TRIANGLEFAN,
                 Quad(-0.5f, -0.5f, kSize - 0.5f, kSize - 0.5f, static_cast<float>(u0), static_cast<float>(v0),
                      static_cast<float>(u1), static_cast<float>(v1)),
                 2, color);
            int mismatches = 0;
            for (int y = 0; y < kSize; ++y) {
                for (int x = 0; x < kSize; ++x) {
                    const double u = u0 + (x + 0.5) / kSize * (u1 - u0), v = v0 + (y + 0.5) / kSize * (v1 - v0);
                    const std::uint32_t got = color.At(x, y);
                    for (int shift : {0, 8, 16}) {
                        const double expected =
                            Reference(texture.levels[0], kTex, kTex, mode, border, filter == D3DTEXF_LINEAR, u, v, shift);
                        // 8-bit filter weights: within 2 of the exact blend.
                        if (std::abs(ChannelOf(got, shift) - expected) > 2.0) ++mismatches;
                    }
                }
            }
            EXPECT_EQ(mismatches, 0) << "mode " << mode << " filter " << filter;
        }
    }
}

TEST(RasterTexture, MipFilterSelectsLevelsByFootprint) {
    TestTexture texture;
    const std::uint32_t levelColors[4] = {0xFFFF0000, 0xFF00FF00, 0xFF0000FF, 0xFFFFFFFF};
    for (int level = 0, size = 8; level < 4; ++level, size /= 2) {
        texture.Add(size, size, std::vector<std::uint32_t>(static_cast<std::size_t>(size) * size, levelColors[level]));
    }
    struct Case {
        DWORD mipFilter;
        float quadPixels;          // 8 texels over this many pixels
        std::uint32_t expected;    // colour at pixel (0, 0)
    } cases[] = {
        {D3DTEXF_NONE, 2.0f, 0xFF0000},   // level 0 always
        {D3DTEXF_POINT, 2.0f, 0x0000FF},  // 4 texels per pixel: level 2
        {D3DTEXF_POINT, 4.0f, 0x00FF00},  // 2 texels per pixel: level 1
        {D3DTEXF_POINT, 16.0f, 0xFF0000}, // magnified: level 0
    };
    for (const Case& c : cases) {
        ColorBuffer color(16, 16, D3DFMT_X8R8G8B8);
        PipelineState state = SpriteState(16, 16);
        state.textures[0] = &texture.sampled;
        state.stageStates[0][D3DTSS_MIPFILTER] = c.mipFilter;
        Draw(state, kTlFvf, D3DPT_TRIANGLEFAN, Quad(-0.5f, -0.5f, c.quadPixels - 0.5f, c.quadPixels - 0.5f, 0, 0, 1, 1),
             2, color);
        EXPECT_EQ(color.At(0, 0), c.expected) << "mip " << c.mipFilter << " size " << c.quadPixels;
    }
    // Linear mip filter at 2^1.5 texels per pixel: half level 1, half level 2.
    ColorBuffer color(16, 16, D3DFMT_X8R8G8B8);
    PipelineState state = SpriteState(16, 16);
    state.textures[0] = &texture.sampled;
    state.stageStates[0][D3DTSS_MIPFILTER] = D3DTEXF_LINEAR;
    const float pixels = 8.0f / std::pow(2.0f, 1.5f);
    Draw(state, kTlFvf, D3DPT_TRIANGLEFAN, Quad(-0.5f, -0.5f, pixels - 0.5f, pixels - 0.5f, 0, 0, 1, 1), 2, color);
    const std::uint32_t got = color.At(0, 0);
    EXPECT_NEAR(ChannelOf(got, 8), 127.5, 3.0);
    EXPECT_NEAR(ChannelOf(got, 0), 127.5, 3.0);
    EXPECT_EQ(ChannelOf(got, 16), 0.0);
}

TEST(RasterTexture, MissingTextureReadsOpaqueWhite) {
    ColorBuffer color(4, 4, D3DFMT_X8R8G8B8);
    PipelineState state = SpriteState(4, 4);
    Draw(state, kTlFvf, D3DPT_TRIANGLEFAN, Quad(-0.5f, -0.5f, 3.5f, 3.5f, 0, 0, 1, 1, 0xFF336699), 2, color);
    EXPECT_EQ(color.At(1, 1), 0x336699u);  // white texture times the diffuse colour
}

}  // namespace
}  // namespace valmere::raster::test
