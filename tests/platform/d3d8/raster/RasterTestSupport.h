// Memory targets, default device state and vertex builders for the
// rasterizer tests.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

#include "platform/d3d8/DeviceState.h"
#include "platform/d3d8/raster/Raster.h"
#include "platform/d3d8/raster/TiledRasterizer.h"

namespace valmere::raster::test {

// A colour target with guard rows above and below it to catch stray writes.
struct ColorBuffer {
    static constexpr int kGuardRows = 2;
    static constexpr std::uint8_t kGuardByte = 0xCD;
    int width, height, pitch;
    D3DFORMAT format;
    std::vector<std::uint8_t> memory;

    ColorBuffer(int w, int h, D3DFORMAT f) : width(w), height(h), format(f) {
        const int bytes = f == D3DFMT_R5G6B5 ? 2 : 4;
        pitch = w * bytes + 8;  // padding after each row
        memory.assign(static_cast<std::size_t>(pitch) * (h + 2 * kGuardRows), kGuardByte);
        for (int y = 0; y < h; ++y) std::memset(Row(y), 0, static_cast<std::size_t>(w) * bytes);
    }
    std::uint8_t* Row(int y) { return memory.data() + static_cast<std::size_t>(pitch) * (y + kGuardRows); }
    ColorTarget Target() { return {Row(0), pitch, width, height, format}; }
    std::uint32_t At(int x, int y) { return Pixels()[static_cast<std::size_t>(y) * width + x]; }
    std::vector<std::uint32_t> Pixels() {
        std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
        ReadColorTarget(Target(), pixels.data());
        return pixels;
    }
    // True when nothing outside the pixels of the rows was written.
    bool GuardsIntact() const {
        const int bytes = format == D3DFMT_R5G6B5 ? 2 : 4;
        for (std::size_t i = 0; i < memory.size(); ++i) {
            const std::size_t row = i / pitch, column = i % pitch;
            const bool inside = row >= kGuardRows && row < static_cast<std::size_t>(kGuardRows + height) &&
                                column < static_cast<std::size_t>(width * bytes);
            if (!inside && memory[i] != kGuardByte) return false;
        }
        return true;
    }
};

struct DepthBuffer {
    int width, height, pitch;
    D3DFORMAT format;
    std::vector<std::uint8_t> memory;
    DepthBuffer(int w, int h, D3DFORMAT f) : width(w), height(h), format(f) {
        const int bytes = (f == D3DFMT_D16 || f == D3DFMT_D16_LOCKABLE || f == D3DFMT_D15S1) ? 2 : 4;
        pitch = w * bytes;
        memory.assign(static_cast<std::size_t>(pitch) * h, 0);
    }
    DepthTarget Target() { return {memory.data(), pitch, width, height, format}; }
};

// The state of a new Direct3D 8 device with a viewport covering w x h.
inline PipelineState DefaultState(int w, int h) { return d3d8::NewDevicePipelineState(w, h); }

// Pretransformed vertex: x, y, z, rhw, diffuse, u, v (FVF 0x144).
struct TlVertex {
    float x, y, z, rhw;
    std::uint32_t diffuse;
    float u, v;
};
constexpr DWORD kTlFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// Untransformed vertex: x, y, z, diffuse, u, v (FVF 0x142).
struct XyzVertex {
    float x, y, z;
    std::uint32_t diffuse;
    float u, v;
};
constexpr DWORD kXyzFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;

// The tiled rasterizer when VALMERE_RENDER_THREADS asks for more than one
// thread (the tests are run with 1, 2 and 7), else null.
inline TiledRasterizer* TestTiles() {
    static const std::unique_ptr<TiledRasterizer> tiles = []() -> std::unique_ptr<TiledRasterizer> {
        const char* text = std::getenv("VALMERE_RENDER_THREADS");
        const int threads = text != nullptr ? std::atoi(text) : 1;
        return threads > 1 ? std::make_unique<TiledRasterizer>(threads) : nullptr;
    }();
    return tiles.get();
}

// Draws at once, or queued in tiles and finished before returning.
template <typename V>
void Draw(PipelineState& state, DWORD fvf, D3DPRIMITIVETYPE type, const std::vector<V>& vertices, UINT primitives,
          ColorBuffer& color, DepthBuffer* depth = nullptr) {
    state.fvf = fvf;
    const VertexStream stream{reinterpret_cast<const std::uint8_t*>(vertices.data()), sizeof(V),
                              static_cast<UINT>(vertices.size())};
    DepthTarget d{};
    if (depth != nullptr) d = depth->Target();
    if (TiledRasterizer* tiles = TestTiles()) {
        tiles->Draw(state, type, 0, primitives, stream, color.Target(), d);
        tiles->Flush();
    } else {
        DrawPrimitives(state, type, 0, primitives, stream, color.Target(), d);
    }
}

// A texture with one level made of the given texels.
struct TestTexture {
    std::vector<std::vector<std::uint32_t>> levels;
    SampledTexture sampled;
    void Add(int w, int h, std::vector<std::uint32_t> texels) {
        levels.push_back(std::move(texels));
        sampled.levelCount = static_cast<int>(levels.size());
        for (std::size_t i = 0; i < levels.size(); ++i) sampled.levels[i].texels = levels[i].data();
        sampled.levels[levels.size() - 1].width = w;
        sampled.levels[levels.size() - 1].height = h;
    }
};

}  // namespace valmere::raster::test
