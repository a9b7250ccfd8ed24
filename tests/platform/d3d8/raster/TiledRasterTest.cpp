// The tiled rasterizer against drawing at once: a frame of many draws, with
// clears between them, queued whole and finished on 2, 3 and 7 threads,
// must leave the colour and depth targets exactly as drawing each command as
// it comes does.
#include <gtest/gtest.h>

#include <random>

#include "platform/d3d8/raster/TiledRasterizer.h"
#include "tests/platform/d3d8/raster/RasterTestSupport.h"

namespace valmere::raster::test {
namespace {

// 300x200: tiles of 64 do not divide it, so the last column and row of
// tiles are partial.
constexpr int kWidth = 300, kHeight = 200;

struct Frame {
    ColorBuffer color{kWidth, kHeight, D3DFMT_X8R8G8B8};
    DepthBuffer depth{kWidth, kHeight, D3DFMT_D16};
};

// Draws and clears of one random frame, either at once or into `tiles`.
class Script {
public:
    Script(unsigned seed, const SampledTexture& texture) : seed_(seed), texture_(texture) {}

    void Play(Frame& frame, TiledRasterizer* tiles) const {
        std::mt19937 random(seed_);
        std::uniform_real_distribution<float> x(-150.0f, 450.0f), y(-100.0f, 300.0f), unit(0.0f, 1.0f),
            w(0.2f, 5.0f), coordinate(-4.0f, 4.0f);
        const PipelineState base = DefaultState(kWidth, kHeight);
        ClearAll(frame, tiles, base, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF102030, 1.0f);
        for (int draw = 0; draw < 40; ++draw) {
            PipelineState state = base;
            DWORD* rs = state.renderStates;
            rs[D3DRS_CULLMODE] = D3DCULL_NONE;
            rs[D3DRS_ZFUNC] = (draw % 3 == 0) ? D3DCMP_GREATER : D3DCMP_LESSEQUAL;
            rs[D3DRS_ZWRITEENABLE] = draw % 4 != 1;
            rs[D3DRS_ALPHABLENDENABLE] = draw % 2;
            rs[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
            rs[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
            rs[D3DRS_ALPHATESTENABLE] = draw % 5 == 0;
            rs[D3DRS_ALPHAREF] = 0x40;
            rs[D3DRS_ALPHAFUNC] = D3DCMP_GREATER;
            DWORD* ts = state.stageStates[0];
            ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER] = draw % 2 ? D3DTEXF_LINEAR : D3DTEXF_POINT;
            ts[D3DTSS_MIPFILTER] = draw % 3 == 0 ? D3DTEXF_LINEAR : D3DTEXF_POINT;
            ts[D3DTSS_ADDRESSU] = draw % 4 == 0 ? D3DTADDRESS_MIRROR : D3DTADDRESS_WRAP;
            state.textures[0] = &texture_;
            state.fvf = kTlFvf;
            std::vector<TlVertex> v(9);  // three triangles
            for (TlVertex& vertex : v) {
                vertex = {x(random),         y(random),         unit(random), 1.0f / w(random),
                          static_cast<std::uint32_t>(random()), coordinate(random), coordinate(random)};
            }
            const VertexStream stream{reinterpret_cast<const std::uint8_t*>(v.data()), sizeof(TlVertex), 9};
            if (tiles != nullptr) {
                tiles->Draw(state, D3DPT_TRIANGLELIST, 0, 3, stream, frame.color.Target(), frame.depth.Target());
            } else {
                DrawPrimitives(state, D3DPT_TRIANGLELIST, 0, 3, stream, frame.color.Target(), frame.depth.Target());
            }
            if (draw % 13 == 12) {
                // A clear of two rectangles across tile borders, in the middle of the frame.
                const D3DRECT rects[2] = {{30, 20, 140, 90}, {200, 150, 290, 199}};
                ClearAll(frame, tiles, base, 2, rects, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF406080, 0.5f);
            }
        }
    }

private:
    static void ClearAll(Frame& frame, TiledRasterizer* tiles, const PipelineState& state, DWORD count,
                         const D3DRECT* rects, DWORD flags, D3DCOLOR color, float z) {
        if (tiles != nullptr) {
            tiles->Clear(state.viewport, count, rects, flags, color, z, 0, frame.color.Target(), frame.depth.Target());
        } else {
            Clear(state.viewport, count, rects, flags, color, z, 0, frame.color.Target(), frame.depth.Target());
        }
    }

    unsigned seed_;
    const SampledTexture& texture_;
};

TEST(TiledRaster, EveryThreadCountGivesTheOneThreadFrame) {
    std::mt19937 random(3);
    TestTexture texture;
    for (int size = 32; size >= 1; size /= 2) {
        std::vector<std::uint32_t> texels(static_cast<std::size_t>(size) * size);
        for (std::uint32_t& t : texels) t = static_cast<std::uint32_t>(random());
        texture.Add(size, size, texels);
    }
    for (unsigned seed : {1u, 2u, 3u}) {
        const Script script(seed, texture.sampled);
        Frame once;
        script.Play(once, nullptr);
        for (int threads : {2, 3, 7}) {
            TiledRasterizer tiles(threads);
            Frame tiled;
            script.Play(tiled, &tiles);
            // Nothing is drawn before the queue is finished.
            EXPECT_TRUE(tiles.Pending());
            EXPECT_TRUE(tiles.Writes(tiled.color.Target().bits));
            EXPECT_TRUE(tiles.Writes(tiled.depth.memory.data()));
            if (threads == 3) {
                // Finished by presenting: each tile's rows are read as it is done.
                std::vector<std::uint32_t> presented(static_cast<std::size_t>(kWidth) * kHeight);
                tiles.ReadColorTarget(tiled.color.Target(), presented.data());
                EXPECT_TRUE(presented == once.color.Pixels()) << "seed " << seed;
            } else {
                tiles.Flush();
            }
            EXPECT_FALSE(tiles.Pending());
            EXPECT_FALSE(tiles.Writes(tiled.color.Target().bits));
            EXPECT_TRUE(tiled.color.memory == once.color.memory) << "seed " << seed << ", " << threads << " threads";
            EXPECT_TRUE(tiled.depth.memory == once.depth.memory) << "seed " << seed << ", " << threads << " threads";
            EXPECT_TRUE(tiled.color.GuardsIntact());
        }
    }
}

// Work for another target finishes the queued work first, so both frames
// are complete and each is the one drawn at once.
TEST(TiledRaster, ANewTargetFinishesTheQueuedWork) {
    Frame first, second;
    const PipelineState state = DefaultState(kWidth, kHeight);
    TiledRasterizer tiles(3);
    tiles.Clear(state.viewport, 0, nullptr, D3DCLEAR_TARGET, 0xFF112233, 1.0f, 0, first.color.Target(), {});
    tiles.Clear(state.viewport, 0, nullptr, D3DCLEAR_TARGET, 0xFF445566, 1.0f, 0, second.color.Target(), {});
    EXPECT_FALSE(tiles.Writes(first.color.Target().bits));
    EXPECT_EQ(first.color.At(299, 199), 0x112233u);
    tiles.Flush();
    EXPECT_EQ(second.color.At(0, 0), 0x445566u);
}

}  // namespace
}  // namespace valmere::raster::test
