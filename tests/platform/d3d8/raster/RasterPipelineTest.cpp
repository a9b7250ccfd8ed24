// Depth, blending, alpha test, texture-stage operations, near-plane
// clipping with perspective-correct colour, and directional lighting.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <utility>

#include "tests/platform/d3d8/raster/RasterTestSupport.h"

namespace valmere::raster::test {
namespace {

double Channel(std::uint32_t c, int shift) { return static_cast<double>((c >> shift) & 0xFF); }

std::vector<TlVertex> Rect(float x0, float y0, float x1, float y1, float z, std::uint32_t color) {
    return {{x0, y0, z, 1.0f, color, 0, 0}, {x1, y0, z, 1.0f, color, 0, 0}, {x0, y1, z, 1.0f, color, 0, 0},
            {x1, y1, z, 1.0f, color, 0, 0}};
}

PipelineState FlatState(int w, int h) {
    PipelineState s = DefaultState(w, h);
    s.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    return s;
}

TEST(RasterPipeline, DepthTestKeepsTheNearerSurfaceInEveryFormat) {
    for (D3DFORMAT format : {D3DFMT_D16, D3DFMT_D24S8, D3DFMT_D24X8, D3DFMT_D32, D3DFMT_D16_LOCKABLE}) {
        for (int order = 0; order < 2; ++order) {
            ColorBuffer color(8, 8, D3DFMT_X8R8G8B8);
            DepthBuffer depth(8, 8, format);
            Clear(D3DVIEWPORT8{0, 0, 8, 8, 0, 1}, 0, nullptr, D3DCLEAR_ZBUFFER | D3DCLEAR_STENCIL, 0, 1.0f, 0x5,
                  color.Target(), depth.Target());
            PipelineState state = FlatState(8, 8);
            state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
            const auto nearRect = Rect(-0.5f, -0.5f, 5.5f, 7.5f, 0.3f, 0xFFFF0000);
            const auto farRect = Rect(2.5f, -0.5f, 7.5f, 7.5f, 0.6f, 0xFF00FF00);
            Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, order == 0 ? nearRect : farRect, 2, color, &depth);
            Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, order == 0 ? farRect : nearRect, 2, color, &depth);
            EXPECT_EQ(color.At(1, 3), 0xFF0000u);
            EXPECT_EQ(color.At(4, 3), 0xFF0000u) << "format " << format << " order " << order;
            EXPECT_EQ(color.At(7, 3), 0x00FF00u);
            if (format == D3DFMT_D24S8) {
                // Depth writes keep the stencil bits cleared to 5.
                const std::uint32_t stored = reinterpret_cast<const std::uint32_t*>(depth.memory.data())[3 * 8 + 4];
                EXPECT_EQ(stored & 0xFF, 0x5u);
                EXPECT_NEAR(static_cast<double>(stored >> 8) / 0xFFFFFF, 0.3, 1e-6);
            }
        }
    }
}

TEST(RasterPipeline, DepthFunctionAndWriteEnable) {
    ColorBuffer color(4, 4, D3DFMT_X8R8G8B8);
    DepthBuffer depth(4, 4, D3DFMT_D16);
    Clear(D3DVIEWPORT8{0, 0, 4, 4, 0, 1}, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 0.5f, 0, color.Target(), depth.Target());
    PipelineState state = FlatState(4, 4);
    state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
    state.renderStates[D3DRS_ZFUNC] = D3DCMP_GREATER;
    state.renderStates[D3DRS_ZWRITEENABLE] = 0;
    Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, Rect(-0.5f, -0.5f, 3.5f, 1.5f, 0.25f, 0xFFFF0000), 2, color, &depth);
    Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, Rect(-0.5f, 1.5f, 3.5f, 3.5f, 0.75f, 0xFF0000FF), 2, color, &depth);
    EXPECT_EQ(color.At(1, 0), 0u);          // 0.25 is not greater than 0.5
    EXPECT_EQ(color.At(1, 3), 0x0000FFu);  // 0.75 is
    EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(depth.memory.data())[3 * 4 + 1], 0x8000);  // not written
}

TEST(RasterPipeline, AlphaBlendingWithSourceAlpha) {
    ColorBuffer color(4, 4, D3DFMT_A8R8G8B8);
    Clear(D3DVIEWPORT8{0, 0, 4, 4, 0, 1}, 0, nullptr, D3DCLEAR_TARGET, 0xFF0000FF, 1.0f, 0, color.Target(), {});
    PipelineState state = FlatState(4, 4);
    state.stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
    state.renderStates[D3DRS_ALPHABLENDENABLE] = 1;
    state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
    Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, Rect(-0.5f, -0.5f, 3.5f, 3.5f, 0.5f, 0x80FF0000), 2, color);
    const std::uint32_t got = color.At(2, 2);
    const double a = 128.0 / 255.0;
    EXPECT_NEAR(Channel(got, 16), 255 * a, 1.0);
    EXPECT_NEAR(Channel(got, 0), 255 * (1 - a), 1.0);
    EXPECT_NEAR(Channel(got, 8), 0.0, 0.0);
}

TEST(RasterPipeline, AlphaTestDiscardsPixelsAndTheirDepth) {
    for (std::uint32_t alpha : {0x40u, 0x7Fu, 0x90u}) {
        ColorBuffer color(4, 4, D3DFMT_X8R8G8B8);
        DepthBuffer depth(4, 4, D3DFMT_D16);
        Clear(D3DVIEWPORT8{0, 0, 4, 4, 0, 1}, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0, color.Target(), depth.Target());
        PipelineState state = FlatState(4, 4);
        state.stageStates[0][D3DTSS_ALPHAARG1] = D3DTA_DIFFUSE;
        state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
        state.renderStates[D3DRS_ALPHATESTENABLE] = 1;
        state.renderStates[D3DRS_ALPHAFUNC] = D3DCMP_GREATEREQUAL;
        state.renderStates[D3DRS_ALPHAREF] = 0x7F;
        Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, Rect(-0.5f, -0.5f, 3.5f, 3.5f, 0.5f, (alpha << 24) | 0x00FFFFFF), 2,
             color, &depth);
        const bool passes = alpha >= 0x7F;
        EXPECT_EQ(color.At(1, 1), passes ? 0xFFFFFFu : 0u) << alpha;
        EXPECT_EQ(reinterpret_cast<const std::uint16_t*>(depth.memory.data())[5], passes ? 0x8000 : 0xFFFF) << alpha;
    }
}

TEST(RasterPipeline, TextureStageOperations) {
    TestTexture texture;
    const std::uint32_t tex = 0x40C08010, diffuse = 0x80604020, factor = 0xFF102030;
    texture.Add(1, 1, {tex});
    const auto mod = [](double a, double b) { return a * b / 255.0; };
    struct Case {
        DWORD op, arg1, arg2;
        std::function<double(double t, double d, double f, double ta, double da)> expected;
    };
    const std::vector<Case> cases = {
        {D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_DIFFUSE, [](double t, double, double, double, double) { return t; }},
        {D3DTOP_SELECTARG2, D3DTA_TEXTURE, D3DTA_DIFFUSE, [](double, double d, double, double, double) { return d; }},
        {D3DTOP_MODULATE, D3DTA_TEXTURE, D3DTA_DIFFUSE, [&](double t, double d, double, double, double) { return mod(t, d); }},
        {D3DTOP_MODULATE2X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         [&](double t, double d, double, double, double) { return std::min(255.0, 2 * mod(t, d)); }},
        {D3DTOP_MODULATE4X, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         [&](double t, double d, double, double, double) { return std::min(255.0, 4 * mod(t, d)); }},
        {D3DTOP_ADD, D3DTA_TEXTURE, D3DTA_DIFFUSE, [](double t, double d, double, double, double) { return std::min(255.0, t + d); }},
        {D3DTOP_ADDSIGNED, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         [](double t, double d, double, double, double) { return std::clamp(t + d - 128, 0.0, 255.0); }},
        {D3DTOP_SUBTRACT, D3DTA_TEXTURE, D3DTA_DIFFUSE, [](double t, double d, double, double, double) { return std::max(0.0, t - d); }},
        {D3DTOP_BLENDDIFFUSEALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         [](double t, double d, double, double, double da) { return (t * da + d * (255 - da)) / 255; }},
        {D3DTOP_BLENDTEXTUREALPHA, D3DTA_TEXTURE, D3DTA_DIFFUSE,
         [](double t, double d, double, double ta, double) { return (t * ta + d * (255 - ta)) / 255; }},
        {D3DTOP_MODULATE, D3DTA_TFACTOR, D3DTA_TEXTURE | D3DTA_COMPLEMENT,
         [&](double t, double, double f, double, double) { return mod(f, 255 - t); }},
        {D3DTOP_SELECTARG1, D3DTA_DIFFUSE | D3DTA_ALPHAREPLICATE, D3DTA_TEXTURE,
         [](double, double, double, double, double da) { return da; }},
    };
    for (const Case& c : cases) {
        ColorBuffer color(2, 2, D3DFMT_X8R8G8B8);
        PipelineState state = FlatState(2, 2);
        state.textures[0] = &texture.sampled;
        state.renderStates[D3DRS_TEXTUREFACTOR] = factor;
        state.stageStates[0][D3DTSS_COLOROP] = c.op;
        state.stageStates[0][D3DTSS_COLORARG1] = c.arg1;
        state.stageStates[0][D3DTSS_COLORARG2] = c.arg2;
        Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, Rect(-0.5f, -0.5f, 1.5f, 1.5f, 0.5f, diffuse), 2, color);
        const std::uint32_t got = color.At(0, 0);
        for (int shift : {0, 8, 16}) {
            const double expected =
                c.expected(Channel(tex, shift), Channel(diffuse, shift), Channel(factor, shift), Channel(tex, 24),
                           Channel(diffuse, 24));
            EXPECT_NEAR(Channel(got, shift), expected, 1.0) << "op " << c.op << " channel " << shift;
        }
    }
}

// Left-handed perspective, 90 degrees vertical field of view, aspect 1.
D3DMATRIX Perspective(float zn, float zf) {
    D3DMATRIX m{};
    m._11 = m._22 = 1.0f;
    m._33 = zf / (zf - zn);
    m._34 = 1.0f;
    m._43 = -zn * zf / (zf - zn);
    return m;
}

TEST(RasterPipeline, NearPlaneClipsAFloorReachingBehindTheEye) {
    // A floor at y = -1 from z = -5 (behind the eye) to z = 20, its red
    // channel linear in z: red = (z + 5) / 25 * 255.
    constexpr int kSize = 64;
    const auto red = [](float z) { return static_cast<std::uint32_t>((z + 5.0f) / 25.0f * 255.0f + 0.5f); };
    const std::vector<XyzVertex> floor = {{-10, -1, -5, 0xFF000000 | red(-5) << 16, 0, 0},
                                          {-10, -1, 20, 0xFF000000 | red(20) << 16, 0, 0},
                                          {10, -1, -5, 0xFF000000 | red(-5) << 16, 0, 0},
                                          {10, -1, 20, 0xFF000000 | red(20) << 16, 0, 0}};
    ColorBuffer color(kSize, kSize, D3DFMT_X8R8G8B8);
    DepthBuffer depth(kSize, kSize, D3DFMT_D32);
    Clear(D3DVIEWPORT8{0, 0, kSize, kSize, 0, 1}, 0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0, color.Target(), depth.Target());
    PipelineState state = FlatState(kSize, kSize);
    state.renderStates[D3DRS_LIGHTING] = 0;
    state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
    state.projection = Perspective(0.35f, 1000.0f);
    Draw(state, kXyzFvf, D3DPT_TRIANGLESTRIP, floor, 2, color, &depth);
    int checked = 0;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            // Ray through the pixel centre: view direction (nx, ny, 1).
            const double nx = (x + 0.0) / (kSize / 2.0) - 1.0, ny = 1.0 - y / (kSize / 2.0);
            const double t = ny < 0 ? -1.0 / ny : 1e9;
            const double hitX = nx * t;
            const bool onFloor = ny < -0.06 && t <= 20.0 && std::abs(hitX) < 9.5;
            const bool clearlyOff = ny > 0.0 || t > 21.0 || std::abs(hitX) > 10.5;
            const std::uint32_t got = color.At(x, y);
            if (onFloor) {
                EXPECT_NEAR(Channel(got, 16), (t + 5.0) / 25.0 * 255.0, 3.0) << x << "," << y;
                const std::uint32_t stored = reinterpret_cast<const std::uint32_t*>(depth.memory.data())[y * kSize + x];
                const double expectedDepth = (1000.0 / (1000.0 - 0.35)) * (1.0 - 0.35 / t);
                // Vertices snap to 1/16 pixel: half a step at this floor's
                // depth slope (about 0.011 per row) moves depth by 3.5e-4.
                EXPECT_NEAR(stored / 4294967295.0, expectedDepth, 4e-4) << x << "," << y;
                ++checked;
            } else if (clearlyOff) {
                EXPECT_EQ(got, 0u) << x << "," << y;
            }
        }
    }
    EXPECT_GT(checked, 500);
}

TEST(RasterPipeline, DirectionalLightShadesByNormal) {
    struct LitVertex {
        float x, y, z, nx, ny, nz;
    };
    const float s = std::sqrt(0.5f);
    // Two triangles facing the light head-on and at 45 degrees.
    const std::vector<LitVertex> v = {{-1, 1, 0.5f, 0, 0, -1}, {0, 1, 0.5f, 0, 0, -1},  {-1, -1, 0.5f, 0, 0, -1},
                                      {0, 1, 0.5f, 0, -s, -s}, {1, 1, 0.5f, 0, -s, -s}, {0, -1, 0.5f, 0, -s, -s}};
    ColorBuffer color(16, 16, D3DFMT_X8R8G8B8);
    PipelineState state = FlatState(16, 16);
    state.renderStates[D3DRS_AMBIENT] = 0x00202020;
    state.material.Diffuse = {1.0f, 0.5f, 0.25f, 1.0f};
    state.material.Ambient = {1.0f, 1.0f, 1.0f, 1.0f};
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    light.Direction = {0.0f, 0.0f, 2.0f};  // into the screen, not normalised
    state.lights[0].light = light;
    state.lightCount = 1;
    Draw(state, D3DFVF_XYZ | D3DFVF_NORMAL, D3DPT_TRIANGLELIST, v, 2, color);
    const double ambient = 32.0;
    const auto expected = [&](double material, double nDotL) { return std::min(255.0, ambient + 255.0 * 0.8 * material * nDotL); };
    const std::uint32_t head = color.At(2, 4), angled = color.At(9, 4);
    EXPECT_NEAR(Channel(head, 16), expected(1.0, 1.0), 1.0);
    EXPECT_NEAR(Channel(head, 8), expected(0.5, 1.0), 1.0);
    EXPECT_NEAR(Channel(head, 0), expected(0.25, 1.0), 1.0);
    EXPECT_NEAR(Channel(angled, 16), expected(1.0, s), 1.0);
    EXPECT_NEAR(Channel(angled, 0), expected(0.25, s), 1.0);
}

TEST(RasterPipeline, ClearAndReadBack) {
    ColorBuffer color(8, 6, D3DFMT_R5G6B5);
    DepthBuffer depth(8, 6, D3DFMT_D24S8);
    const D3DRECT rects[2] = {{1, 1, 3, 3}, {6, 4, 100, 100}};
    Clear(D3DVIEWPORT8{0, 0, 8, 6, 0, 1}, 2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFFFF0000, 0.5f, 0,
          color.Target(), depth.Target());
    EXPECT_EQ(color.At(1, 1), 0xFF0000u);
    EXPECT_EQ(color.At(7, 5), 0xFF0000u);
    EXPECT_EQ(color.At(3, 1), 0u);
    EXPECT_EQ(reinterpret_cast<const std::uint32_t*>(depth.memory.data())[8 + 1] >> 8, 0x800000u);
    EXPECT_TRUE(color.GuardsIntact());
    // The viewport limits a clear without rectangles.
    Clear(D3DVIEWPORT8{2, 2, 2, 2, 0, 1}, 0, nullptr, D3DCLEAR_TARGET, 0xFF00FF00, 1.0f, 0, color.Target(), {});
    EXPECT_EQ(color.At(2, 2), 0x00FF00u);
    EXPECT_EQ(color.At(1, 1), 0xFF0000u);
    EXPECT_EQ(color.At(4, 4), 0u);
    // Values of one repeated byte (white, black) are filled another way: in
    // a rectangle of part rows, then over the whole target.
    const D3DRECT inner{4, 1, 6, 3};
    Clear(D3DVIEWPORT8{0, 0, 8, 6, 0, 1}, 1, &inner, D3DCLEAR_TARGET, 0xFFFFFFFF, 1.0f, 0, color.Target(), {});
    EXPECT_EQ(color.At(4, 1), 0xFFFFFFu);
    EXPECT_EQ(color.At(5, 2), 0xFFFFFFu);
    EXPECT_EQ(color.At(6, 1), 0u);
    EXPECT_EQ(color.At(4, 3), 0u);
    EXPECT_EQ(color.At(2, 2), 0x00FF00u);
    Clear(D3DVIEWPORT8{0, 0, 8, 6, 0, 1}, 0, nullptr, D3DCLEAR_TARGET, 0xFF000000, 1.0f, 0, color.Target(), {});
    for (const auto& [x, y] : {std::pair{0, 0}, {1, 1}, {2, 2}, {5, 2}, {7, 5}}) EXPECT_EQ(color.At(x, y), 0u);
    EXPECT_TRUE(color.GuardsIntact());
}

}  // namespace
}  // namespace valmere::raster::test
