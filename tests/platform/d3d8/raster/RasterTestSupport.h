// Memory targets, default device state and vertex builders for the
// rasterizer tests.
#pragma once

#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/d3d8/raster/Raster.h"

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
    std::uint32_t At(int x, int y) {
        std::vector<std::uint32_t> pixels;
        ReadColorTarget(Target(), pixels);
        return pixels[static_cast<std::size_t>(y) * width + x];
    }
    std::vector<std::uint32_t> Pixels() {
        std::vector<std::uint32_t> pixels;
        ReadColorTarget(Target(), pixels);
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

inline D3DMATRIX Identity() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

// The state of a new Direct3D 8 device with a viewport covering w x h.
inline PipelineState DefaultState(int w, int h) {
    PipelineState s{};
    DWORD* rs = s.renderStates;
    rs[D3DRS_ZENABLE] = D3DZB_FALSE;
    rs[D3DRS_FILLMODE] = D3DFILL_SOLID;
    rs[D3DRS_SHADEMODE] = D3DSHADE_GOURAUD;
    rs[D3DRS_ZWRITEENABLE] = 1;
    rs[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    rs[D3DRS_DESTBLEND] = D3DBLEND_ZERO;
    rs[D3DRS_CULLMODE] = D3DCULL_CCW;
    rs[D3DRS_ZFUNC] = D3DCMP_LESSEQUAL;
    rs[D3DRS_ALPHAFUNC] = D3DCMP_ALWAYS;
    rs[D3DRS_TEXTUREFACTOR] = 0xFFFFFFFFu;
    rs[D3DRS_CLIPPING] = 1;
    rs[D3DRS_LIGHTING] = 1;
    rs[D3DRS_COLORVERTEX] = 1;
    rs[D3DRS_LOCALVIEWER] = 1;
    rs[D3DRS_DIFFUSEMATERIALSOURCE] = D3DMCS_COLOR1;
    rs[D3DRS_SPECULARMATERIALSOURCE] = D3DMCS_COLOR2;
    rs[D3DRS_COLORWRITEENABLE] = 0xF;
    rs[D3DRS_BLENDOP] = D3DBLENDOP_ADD;
    for (int stage = 0; stage < static_cast<int>(D3DMAXTEXTURESTAGES); ++stage) {
        DWORD* ts = s.stageStates[stage];
        ts[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
        ts[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_COLORARG2] = D3DTA_CURRENT;
        ts[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
        ts[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
        ts[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
        ts[D3DTSS_TEXCOORDINDEX] = static_cast<DWORD>(stage);
        ts[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
        ts[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
        ts[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MINFILTER] = D3DTEXF_POINT;
        ts[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    }
    s.world = s.view = s.projection = Identity();
    s.viewport = {0, 0, static_cast<DWORD>(w), static_cast<DWORD>(h), 0.0f, 1.0f};
    return s;
}

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

template <typename V>
void Draw(PipelineState& state, DWORD fvf, D3DPRIMITIVETYPE type, const std::vector<V>& vertices, UINT primitives,
          ColorBuffer& color, DepthBuffer* depth = nullptr) {
    state.fvf = fvf;
    const VertexStream stream{reinterpret_cast<const std::uint8_t*>(vertices.data()), sizeof(V),
                              static_cast<UINT>(vertices.size())};
    DepthTarget d{};
    if (depth != nullptr) d = depth->Target();
    DrawPrimitives(state, type, 0, primitives, stream, color.Target(), d);
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
