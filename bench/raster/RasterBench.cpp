// rasterbench: the viewer's scene drawn straight through the software
// rasterizer (no device), for profiling the pixel pipeline.
//
// Scene: 800x600 R5G6B5 with D16; 512 textured terrain triangles over the
// lower half of the screen, a small ground quad, a five-faced sky box of
// side 512 around the eye that fills the screen (drawn last, so most of it
// behind the terrain fails the depth test), then a row of small
// alpha-blended pretransformed text tiles. 256x256 X8R8G8B8 textures with
// mip levels, bilinear min and mag filters, mip filter NONE, lighting off,
// FVF XYZ|NORMAL|TEX1 (texture times white), cull none.
//
// Usage: rasterbench [frames] [picture.ppm]
// Prints the frame rate with the general path forced, the largest channel
// difference between its picture and that of the specialised paths, then
// the frame rate with the specialised paths. A negative frame count draws
// that many frames with the specialised paths only (for profilers).
// The last line reads "fps=<number> ms_per_frame=<number>".
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/d3d8/DeviceState.h"
#include "platform/d3d8/raster/Raster.h"

namespace {

using valmere::raster::ColorTarget;
using valmere::raster::DepthTarget;
using valmere::raster::PipelineState;
using valmere::raster::SampledTexture;
using valmere::raster::VertexStream;

constexpr int kWidth = 800, kHeight = 600;

struct SceneVertex {
    float x, y, z, nx, ny, nz, u, v;
};
constexpr DWORD kSceneFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

struct TileVertex {
    float x, y, z, rhw;
    D3DCOLOR diffuse;
    float u, v;
};
constexpr DWORD kTileFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// A texture with its full mip chain, each level a 2x2 box filter of the one above.
struct Texture {
    std::vector<std::vector<std::uint32_t>> levels;
    SampledTexture sampled;

    explicit Texture(std::uint32_t (*texel)(int x, int y)) {
        std::vector<std::uint32_t> level(256 * 256);
        for (int y = 0; y < 256; ++y)
            for (int x = 0; x < 256; ++x) level[static_cast<std::size_t>(y) * 256 + x] = texel(x, y);
        levels.push_back(level);
        for (int size = 128; size >= 1; size /= 2) {
            const std::vector<std::uint32_t>& above = levels.back();
            std::vector<std::uint32_t> next(static_cast<std::size_t>(size) * size);
            for (int y = 0; y < size; ++y)
                for (int x = 0; x < size; ++x) {
                    std::uint32_t sum[4] = {};
                    for (int k = 0; k < 4; ++k) {
                        const std::uint32_t t = above[static_cast<std::size_t>(2 * y + k / 2) * (2 * size) + 2 * x + k % 2];
                        for (int c = 0; c < 4; ++c) sum[c] += (t >> (8 * c)) & 0xFF;
                    }
                    std::uint32_t packed = 0;
                    for (int c = 0; c < 4; ++c) packed |= ((sum[c] + 2) / 4) << (8 * c);
                    next[static_cast<std::size_t>(y) * size + x] = packed;
                }
            levels.push_back(std::move(next));
        }
        sampled.levelCount = static_cast<int>(levels.size());
        for (int i = 0, size = 256; i < sampled.levelCount; ++i, size /= 2)
            sampled.levels[i] = {levels[static_cast<std::size_t>(i)].data(), size, size};
    }
};

std::uint32_t Grass(int x, int y) {
    const std::uint32_t h = (static_cast<std::uint32_t>(x) * 73856093u) ^ (static_cast<std::uint32_t>(y) * 19349663u);
    const std::uint32_t n = (h * 2654435761u) >> 26;  // 0..63 of noise
    return 0xFF000000u | ((40 + n) << 16) | ((110 + n) << 8) | (30 + n / 2);
}

std::uint32_t Sky(int x, int y) {
    const std::uint32_t cloud = (((x >> 4) ^ (y >> 5)) & 1) != 0 ? 40u : 0u;
    return 0xFF000000u | ((90 + cloud) << 16) | ((140 + cloud) << 8) | 230u;
}

// White glyph-like strokes on transparent texels.
std::uint32_t Glyphs(int x, int y) {
    const bool ink = ((x / 3 + y / 5) % 4 == 0) || (x % 16 == 2);
    return ink ? 0xFFFFFFFFu : 0x00FFFFFFu;
}

struct Scene {
    std::vector<SceneVertex> terrain, ground, sky;
    std::vector<TileVertex> tiles;

    Scene() {
        // 16 x 16 cells, two triangles each, in front of the eye below it.
        for (int j = 0; j < 16; ++j)
            for (int i = 0; i < 16; ++i) {
                const float x0 = -40.0f + 5.0f * static_cast<float>(i), z0 = 0.5f + 5.0f * static_cast<float>(j);
                const float fi = static_cast<float>(i), fj = static_cast<float>(j);
                const SceneVertex a{x0, -2, z0, 0, 1, 0, fi, fj}, b{x0 + 5, -2, z0, 0, 1, 0, fi + 1, fj},
                    c{x0, -2, z0 + 5, 0, 1, 0, fi, fj + 1}, d{x0 + 5, -2, z0 + 5, 0, 1, 0, fi + 1, fj + 1};
                terrain.insert(terrain.end(), {a, c, b, b, c, d});
            }
        const SceneVertex g0{-6, -1.9f, 3, 0, 1, 0, 0, 0}, g1{6, -1.9f, 3, 0, 1, 0, 4, 0}, g2{-6, -1.9f, 12, 0, 1, 0, 0, 4},
            g3{6, -1.9f, 12, 0, 1, 0, 4, 4};
        ground = {g0, g2, g1, g1, g2, g3};
        const float s = 256.0f;
        const auto face = [&](SceneVertex a, SceneVertex b, SceneVertex c, SceneVertex d) {
            sky.insert(sky.end(), {a, b, c, c, b, d});
        };
        face({-s, -s, s, 0, 0, 0, 0, 1}, {-s, s, s, 0, 0, 0, 0, 0}, {s, -s, s, 0, 0, 0, 1, 1}, {s, s, s, 0, 0, 0, 1, 0});
        face({-s, -s, -s, 0, 0, 0, 0, 1}, {-s, s, -s, 0, 0, 0, 0, 0}, {-s, -s, s, 0, 0, 0, 1, 1}, {-s, s, s, 0, 0, 0, 1, 0});
        face({s, -s, s, 0, 0, 0, 0, 1}, {s, s, s, 0, 0, 0, 0, 0}, {s, -s, -s, 0, 0, 0, 1, 1}, {s, s, -s, 0, 0, 0, 1, 0});
        face({-s, s, s, 0, 0, 0, 0, 1}, {-s, s, -s, 0, 0, 0, 0, 0}, {s, s, s, 0, 0, 0, 1, 1}, {s, s, -s, 0, 0, 0, 1, 0});
        face({-s, -s, -s, 0, 0, 0, 0, 1}, {-s, -s, s, 0, 0, 0, 0, 0}, {s, -s, -s, 0, 0, 0, 1, 1}, {s, -s, s, 0, 0, 0, 1, 0});
        // Twenty 12x16 text tiles along the top left, as triangle lists.
        for (int k = 0; k < 20; ++k) {
            const float x0 = 9.5f + 12.0f * static_cast<float>(k), y0 = 9.5f, x1 = x0 + 12, y1 = y0 + 16;
            const float u0 = static_cast<float>(k % 16) / 16.0f, u1 = u0 + 1.0f / 16.0f;
            const TileVertex a{x0, y0, 0, 1, 0xFFFFFF80u, u0, 0}, b{x1, y0, 0, 1, 0xFFFFFF80u, u1, 0},
                c{x0, y1, 0, 1, 0xFFFFFF80u, u0, 0.0625f}, d{x1, y1, 0, 1, 0xFFFFFF80u, u1, 0.0625f};
            tiles.insert(tiles.end(), {a, b, c, c, b, d});
        }
    }
};

// The viewer's scene state: a new device's state with the scene's changes.
PipelineState SceneState() {
    PipelineState s = valmere::d3d8::NewDevicePipelineState(kWidth, kHeight);
    DWORD* rs = s.renderStates;
    rs[D3DRS_ZENABLE] = D3DZB_TRUE;
    rs[D3DRS_CULLMODE] = D3DCULL_NONE;
    rs[D3DRS_LIGHTING] = 0;
    s.stageStates[0][D3DTSS_MAGFILTER] = s.stageStates[0][D3DTSS_MINFILTER] = D3DTEXF_LINEAR;
    // Left-handed perspective, 90 degrees vertical field of view, 4:3.
    const float zn = 0.35f, zf = 1000.0f;
    s.projection = D3DMATRIX{};
    s.projection._11 = 0.75f;
    s.projection._22 = 1.0f;
    s.projection._33 = zf / (zf - zn);
    s.projection._34 = 1.0f;
    s.projection._43 = -zn * zf / (zf - zn);
    return s;
}

struct Frame {
    std::vector<std::uint16_t> color = std::vector<std::uint16_t>(kWidth * kHeight);
    std::vector<std::uint16_t> depth = std::vector<std::uint16_t>(kWidth * kHeight);
    ColorTarget Color() { return {reinterpret_cast<std::uint8_t*>(color.data()), 2 * kWidth, kWidth, kHeight, D3DFMT_R5G6B5}; }
    DepthTarget Depth() { return {reinterpret_cast<std::uint8_t*>(depth.data()), 2 * kWidth, kWidth, kHeight, D3DFMT_D16}; }
};

template <typename V>
void Draw(PipelineState& state, DWORD fvf, const std::vector<V>& vertices, Frame& frame) {
    state.fvf = fvf;
    const VertexStream stream{reinterpret_cast<const std::uint8_t*>(vertices.data()), sizeof(V),
                              static_cast<UINT>(vertices.size())};
    valmere::raster::DrawPrimitives(state, D3DPT_TRIANGLELIST, 0, static_cast<UINT>(vertices.size() / 3), stream,
                                    frame.Color(), frame.Depth());
}

struct Textures {
    Texture grass{Grass}, sky{Sky}, glyphs{Glyphs};
};

void RenderFrame(const Scene& scene, const Textures& textures, Frame& frame) {
    PipelineState state = SceneState();
    valmere::raster::Clear(state.viewport, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0, frame.Color(),
                           frame.Depth());
    state.textures[0] = &textures.grass.sampled;
    Draw(state, kSceneFvf, scene.terrain, frame);
    Draw(state, kSceneFvf, scene.ground, frame);
    state.textures[0] = &textures.sky.sampled;
    Draw(state, kSceneFvf, scene.sky, frame);
    // The overlay: modulated by the vertex colour, blended, no depth.
    state.textures[0] = &textures.glyphs.sampled;
    state.renderStates[D3DRS_ZENABLE] = D3DZB_FALSE;
    state.renderStates[D3DRS_ALPHABLENDENABLE] = 1;
    state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
    state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
    state.stageStates[0][D3DTSS_ALPHAOP] = D3DTOP_MODULATE;
    state.stageStates[0][D3DTSS_ALPHAARG2] = D3DTA_DIFFUSE;
    Draw(state, kTileFvf, scene.tiles, frame);
}

// Seconds per frame over frames frames.
double Measure(const Scene& scene, const Textures& textures, Frame& frame, int frames) {
    RenderFrame(scene, textures, frame);  // warm caches and buffers
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) RenderFrame(scene, textures, frame);
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / frames;
}

int MaxChannelDifference(const Frame& a, const Frame& b) {
    int worst = 0;
    for (std::size_t i = 0; i < a.color.size(); ++i) {
        const int pa = a.color[i], pb = b.color[i];
        worst = std::max({worst, std::abs((pa >> 11) - (pb >> 11)), std::abs(((pa >> 5) & 63) - ((pb >> 5) & 63)),
                          std::abs((pa & 31) - (pb & 31))});
    }
    return worst;
}

bool WritePicture(const Frame& frame, const char* path) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    std::fprintf(file, "P6 %d %d 255\n", kWidth, kHeight);
    for (std::uint16_t p : frame.color) {
        const unsigned char rgb[3] = {static_cast<unsigned char>((p >> 11) << 3),
                                      static_cast<unsigned char>(((p >> 5) & 63) << 2),
                                      static_cast<unsigned char>((p & 31) << 3)};
        std::fwrite(rgb, 1, 3, file);
    }
    return std::fclose(file) == 0;
}

}  // namespace

int main(int argc, char** argv) {
    const int requested = argc > 1 ? std::atoi(argv[1]) : 200;
    const int frames = std::abs(requested);
    if (frames == 0) {
        std::fprintf(stderr, "usage: rasterbench [frames | -frames] [picture.ppm]\n");
        return 2;
    }
    const Scene scene;
    const Textures textures;
    Frame fast, general;

    if (requested > 0) {
        valmere::raster::ForceGeneralPath(true);
        const double generalSeconds = Measure(scene, textures, general, std::max(1, frames / 4));
        valmere::raster::ForceGeneralPath(false);
        std::printf("general path: fps=%.1f ms_per_frame=%.3f\n", 1.0 / generalSeconds, 1000.0 * generalSeconds);
    }
    const double fastSeconds = Measure(scene, textures, fast, frames);
    if (requested > 0) {
        std::printf("max channel difference to the general path (5/6-bit units): %d\n",
                    MaxChannelDifference(fast, general));
    }

    if (argc > 2 && !WritePicture(fast, argv[2])) {
        std::fprintf(stderr, "rasterbench: cannot write %s\n", argv[2]);
        return 1;
    }
    std::printf("fps=%.1f ms_per_frame=%.3f\n", 1.0 / fastSeconds, 1000.0 * fastSeconds);
    return 0;
}
