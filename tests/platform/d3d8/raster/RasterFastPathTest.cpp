// The specialised paths against the general ones: SSE2 kernels against
// their portable forms bit for bit, and whole draws of random textured
// triangles against the forced general path bit for bit.
#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <random>
#include <string>

#include "platform/d3d8/raster/Bilinear.h"
#include "platform/d3d8/raster/RunSteps.h"
#include "platform/d3d8/raster/SimdKernels.h"
#include "platform/d3d8/raster/TargetFormats.h"
#include "tests/platform/d3d8/raster/RasterTestSupport.h"

namespace valmere::raster::test {
namespace {

#if defined(__SSE2__)
TEST(RasterFastPath, Sse2BilinearGivesThePortableBits) {
    std::mt19937 random(7);
    for (std::uint32_t fy = 0; fy < 256; ++fy) {
        for (std::uint32_t fx = 0; fx < 256; fx += 4) {
            // Pixel k reads the pairs (t00, t10) and (t01, t11) at pairs[k].
            std::uint32_t pairs[4][2][2];
            std::int32_t top[4], bottom[4];
            alignas(16) std::uint32_t fxs[4], fys[4], four[4];
            for (int k = 0; k < 4; ++k) {
                for (auto& row : pairs[k])
                    for (std::uint32_t& texel : row) texel = static_cast<std::uint32_t>(random());
                top[k] = 4 * k;
                bottom[k] = 4 * k + 2;
                fxs[k] = fx + static_cast<std::uint32_t>(k);
                fys[k] = (fy + 37 * static_cast<std::uint32_t>(k)) & 255;
            }
            _mm_store_si128(reinterpret_cast<__m128i*>(four),
                            BilerpFour(&pairs[0][0][0], top, bottom, _mm_load_si128(reinterpret_cast<const __m128i*>(fxs)),
                                       _mm_load_si128(reinterpret_cast<const __m128i*>(fys))));
            for (int k = 0; k < 4; ++k) {
                const std::uint32_t t00 = pairs[k][0][0], t10 = pairs[k][0][1], t01 = pairs[k][1][0],
                                    t11 = pairs[k][1][1];
                const std::uint32_t expected = BilerpPortable(t00, t10, t01, t11, fxs[k], fys[k]);
                ASSERT_EQ(BilerpSse2(t00, t10, t01, t11, fxs[k], fys[k]), expected);
                ASSERT_EQ(four[k], expected) << "fx " << fxs[k] << " fy " << fys[k];
            }
        }
    }
}
#endif

// The AVX2 kernel, which computes the perspective division and the texel
// positions itself, against the per-pixel SSE2 form over runs of every
// length, with texels in the last column among them (which the SSE2 form
// takes over) and 1/w falling to zero within the run.
TEST(RasterFastPath, Avx2BilinearGivesTheSse2Bits) {
    if (!UseAvx2Kernels()) GTEST_SKIP() << "no AVX2 on this processor";
    std::mt19937 random(11);
    std::vector<std::uint32_t> texels(64 * 32);
    for (std::uint32_t& t : texels) t = static_cast<std::uint32_t>(random());
    const WrappedLevel level{texels.data(), 64, 32};
    std::uniform_real_distribution<float> rhw(0.0f, 2.0f), rhwStep(-0.07f, 0.07f), coordinate(-3.0f, 3.0f),
        step(-0.2f, 0.2f);
    std::uniform_int_distribution<int> sixteenths(-20000, 20000);
    for (int trial = 0; trial < 4000; ++trial) {
        // Runs at pixel positions (multiples of 1/16) away from the origin,
        // with the lines' values at the run's first pixel drawn at random.
        const float X = static_cast<float>(sixteenths(random)) / 16.0f;
        const auto line = [&](float first, float perPixel) { return RowLine{first - perPixel * X, perPixel}; };
        const float dq = rhwStep(random);
        const PerspectiveRun run{X, line(rhw(random), dq), line(coordinate(random), step(random)),
                                 line(coordinate(random), step(random))};
        const int n = 1 + trial % kRunLength;
        std::uint32_t eight[kRunLength], four[kRunLength];
        SampleWrappedBilinear(level, run, n, eight);
        ForceSimdKernels(false);
        SampleWrappedBilinear(level, run, n, four);
        ForceSimdKernels(true);
        for (int i = 0; i < n; ++i) ASSERT_EQ(eight[i], four[i]) << "trial " << trial << " pixel " << i;
    }
}

// Every R5G6B5 value through the AVX2 widening for presenting, and the
// SSE2 and portable forms of a row of odd length, against ExpandR5G6B5.
TEST(RasterFastPath, PresentedRowsWidenEveryR5G6B5Value) {
    std::vector<std::uint16_t> row(65536 + 13);
    for (std::size_t i = 0; i < row.size(); ++i) row[i] = static_cast<std::uint16_t>(i * 40503u);
    for (bool avx2 : {true, false}) {
        ForceSimdKernels(avx2);
        const ColorTarget target{reinterpret_cast<std::uint8_t*>(row.data()), static_cast<int>(row.size() * 2),
                                 static_cast<int>(row.size()), 1, D3DFMT_R5G6B5};
        std::vector<std::uint32_t> out(row.size());
        ReadColorTarget(target, out.data());
        for (std::size_t i = 0; i < row.size(); ++i)
            ASSERT_EQ(out[i], ExpandR5G6B5(row[i]) & 0xFFFFFFu) << "pixel " << i << (avx2 ? " (AVX2)" : "");
    }
    ForceSimdKernels(true);
}

TEST(RasterFastPath, LevelBlendGivesThePortableBits) {
    std::mt19937 random(5);
    for (int trial = 0; trial < 256; ++trial) {
        std::uint32_t fine[19], coarse[19], expected[19];
        std::uint8_t f[19];
        for (int i = 0; i < 19; ++i) {
            fine[i] = static_cast<std::uint32_t>(random());
            coarse[i] = static_cast<std::uint32_t>(random());
            f[i] = static_cast<std::uint8_t>(trial + 13 * i);  // every fraction in every lane
            expected[i] = BilerpPortable(fine[i], coarse[i], 0, 0, f[i], 0);
        }
        BlendLevels(fine, coarse, f, 19);  // four groups of four and a tail of three
        for (int i = 0; i < 19; ++i) ASSERT_EQ(fine[i], expected[i]) << "f " << int{f[i]} << " pixel " << i;
    }
}

// Pixel i of a run as a run of its own (alive: the run's mask before any step).
raster::Run PixelOf(const raster::Run& run, std::uint32_t alive, int i) {
    raster::Run one;
    one.x = run.x + i;
    one.y = run.y;
    one.count = 1;
    one.mask = (alive >> i) & 1u;
    one.X = run.X + static_cast<float>(i);  // the same pixel position, so the same depth
    one.zBase = run.zBase;
    one.zStep = run.zStep;
    one.color[0] = run.color[i];
    return one;
}

// A run of 16 pixels goes through the groups of eight of the depth test
// and the colour write; the same pixels as runs of one pixel go through
// the per-pixel loops only. Both must leave the same buffers and masks.
TEST(RasterFastPath, DepthTestAndWriteInGroupsMatchPixelByPixel) {
    std::mt19937 random(11);
    std::uniform_real_distribution<float> start(-0.2f, 1.2f), step(-0.1f, 0.1f);
    for (bool avx2 : {true, false})
    for (D3DFORMAT format : {D3DFMT_D16, D3DFMT_D15S1}) {
        for (DWORD func = D3DCMP_NEVER; func <= D3DCMP_ALWAYS; ++func) {
            for (int trial = 0; trial < 4; ++trial) {
                // An infinite step gives NaN at the origin's pixel and clamps the others.
                const bool write = (trial & 1) != 0, infinite = (trial & 2) != 0;
                DepthBuffer grouped(kRunLength, 1, format), single(kRunLength, 1, format);
                for (std::size_t i = 0; i < grouped.memory.size(); ++i) {
                    grouped.memory[i] = single.memory[i] = static_cast<std::uint8_t>(random());
                }
                PixelPipeline p;
                p.depthLayout = GetDepthLayout(format);
                const RunStep test = ChooseDepthTest(format, func, write);
                ASSERT_NE(test, nullptr);
                raster::Run run;
                run.count = kRunLength;
                run.mask = ~(1u << 5) & ~(1u << 20);  // pixels already dead: never written
                // A run at the plane origin, or one of 1/16 pixels elsewhere.
                run.X = (trial & 1) != 0 ? 0.0f : -37.5625f;
                run.zBase = start(random) - run.X * 0.01f;
                run.zStep = infinite ? std::numeric_limits<float>::infinity() : step(random) * 0.1f;
                const std::uint32_t alive = run.mask;
                p.depth = grouped.Target();
                ForceSimdKernels(avx2);
                test(p, run);
                ForceSimdKernels(true);
                p.depth = single.Target();
                for (int i = 0; i < kRunLength; ++i) {
                    raster::Run one = PixelOf(run, alive, i);
                    test(p, one);
                    EXPECT_EQ((run.mask >> i) & 1u, one.mask) << "format " << format << " func " << func << " pixel " << i;
                    // The codes are kept for a later write only.
                    if (!write) {
                        EXPECT_EQ(run.depthCode[i], one.depthCode[0]);
                    }
                }
                EXPECT_EQ(grouped.memory, single.memory) << "format " << format << " func " << func;
            }
        }
    }
}

TEST(RasterFastPath, ColourWriteInGroupsMatchesPixelByPixel) {
    std::mt19937 random(13);
    for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}) {
        ColorBuffer grouped(kRunLength, 1, format), single(kRunLength, 1, format);
        PixelPipeline p;
        const RunStep output = ChooseOutput(format, BlendState{}, false, true);
        raster::Run run;
        run.count = kRunLength;
        run.mask = 0xFFFFu;
        for (std::uint32_t& c : run.color) c = static_cast<std::uint32_t>(random());
        p.color = grouped.Target();
        output(p, run);
        p.color = single.Target();
        for (int i = 0; i < kRunLength; ++i) {
            raster::Run one = PixelOf(run, run.mask, i);
            output(p, one);
        }
        EXPECT_EQ(grouped.memory, single.memory) << "format " << format;
        EXPECT_TRUE(grouped.GuardsIntact());
    }
}

TEST(RasterFastPath, ReadBackExpandsEveryR5G6B5Value) {
    // 256 wide: whole groups of eight; 13 wide: a group and a per-pixel tail.
    for (int width : {256, 13}) {
        const int height = (65536 + width - 1) / width;
        ColorBuffer color(width, height, D3DFMT_R5G6B5);
        for (int i = 0; i < 65536; ++i) {
            reinterpret_cast<std::uint16_t*>(color.Row(i / width))[i % width] = static_cast<std::uint16_t>(i);
        }
        const std::vector<std::uint32_t> pixels = color.Pixels();
        for (int i = 0; i < 65536; ++i) {
            const std::uint32_t r = (i >> 11) & 0x1F, g = (i >> 5) & 0x3F, b = i & 0x1F;
            // Bit replication: the top bits repeat below, so 0x1F reads 0xFF.
            const std::uint32_t expected = (r << 3 | r >> 2) << 16 | (g << 2 | g >> 4) << 8 | (b << 3 | b >> 2);
            ASSERT_EQ(pixels[static_cast<std::size_t>(i)], expected) << "value " << i << " width " << width;
        }
    }
}

// The source-alpha blend has a loop of its own; the general blend must
// give the same bits for every colour over every target colour.
TEST(RasterFastPath, SourceAlphaBlendMatchesTheGeneralBlend) {
    std::mt19937 random(19);
    BlendState blend;
    blend.source = D3DBLEND_SRCALPHA;
    blend.destination = D3DBLEND_INVSRCALPHA;
    for (D3DFORMAT format : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}) {
        const RunStep specialised = ChooseOutput(format, blend, true, true);
        const RunStep general = ChooseOutput(format, blend, true, false);
        ASSERT_NE(specialised, general);
        for (int trial = 0; trial < 64; ++trial) {
            ColorBuffer a(kRunLength, 1, format), b(kRunLength, 1, format);
            for (int x = 0; x < kRunLength * (format == D3DFMT_R5G6B5 ? 2 : 4); ++x) {
                a.Row(0)[x] = b.Row(0)[x] = static_cast<std::uint8_t>(random());
            }
            PixelPipeline p;
            p.blend = blend;
            raster::Run run;
            run.count = kRunLength;
            run.mask = static_cast<std::uint32_t>(random()) & 0xFFFFu;
            for (std::uint32_t& c : run.color) c = static_cast<std::uint32_t>(random());
            p.color = a.Target();
            specialised(p, run);
            p.color = b.Target();
            general(p, run);
            ASSERT_EQ(a.memory, b.memory) << "format " << format << " trial " << trial;
        }
    }
}

// Without a mip filter the level of detail still picks between the
// minification and magnification filters; the specialised shading must
// not take a draw where it does.
TEST(RasterFastPath, LevelOfDetailStillChoosesTheFilter) {
    const std::vector<std::uint32_t> checker = {0xFF000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFF000000};
    TestTexture texture;
    texture.Add(2, 2, checker);
    for (bool magnified : {true, false}) {
        for (DWORD magFilter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
            const int size = magnified ? 16 : 1;
            ColorBuffer color(size, size, D3DFMT_X8R8G8B8);
            PipelineState state = DefaultState(size, size);
            state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
            state.textures[0] = &texture.sampled;
            state.stageStates[0][D3DTSS_MAGFILTER] = magFilter;
            state.stageStates[0][D3DTSS_MINFILTER] = magFilter == D3DTEXF_POINT ? D3DTEXF_LINEAR : D3DTEXF_POINT;
            const float edge = static_cast<float>(size) - 0.5f;
            const std::vector<TlVertex> quad = {{-0.5f, -0.5f, 0.5f, 1, 0xFFFFFFFF, 0, 0},
                                                {edge, -0.5f, 0.5f, 1, 0xFFFFFFFF, 1, 0},
                                                {-0.5f, edge, 0.5f, 1, 0xFFFFFFFF, 0, 1},
                                                {edge, edge, 0.5f, 1, 0xFFFFFFFF, 1, 1}};
            Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, quad, 2, color);
            // Magnified 8 times, pixel 6 lies a quarter texel from texel 0's centre;
            // minified, the one pixel samples the middle of the four texels.
            const std::uint32_t got = magnified ? color.At(6, 2) : color.At(0, 0);
            const bool linear = magnified == (magFilter == D3DTEXF_LINEAR);
            const std::uint32_t red = (got >> 16) & 0xFF;
            if (linear) {
                EXPECT_TRUE(red > 0 && red < 255) << "magnified " << magnified << " red " << red;
            } else {
                EXPECT_TRUE(red == 0 || red == 255) << "magnified " << magnified << " red " << red;
            }
        }
    }
}

std::vector<std::uint32_t> RandomTexels(std::mt19937& random, int w, int h) {
    std::vector<std::uint32_t> t(static_cast<std::size_t>(w) * h);
    for (std::uint32_t& texel : t) texel = static_cast<std::uint32_t>(random());
    return t;
}

struct Picture {
    std::vector<std::uint32_t> pixels;
    std::vector<std::uint8_t> depth;
};

// Random perspective triangles (w from 0.2 to 5) with texture coordinates
// far outside 0..1, drawn over a cleared target.
Picture DrawRandomScene(const PipelineState& base, D3DFORMAT colorFormat, D3DFORMAT depthFormat, unsigned seed,
                        bool forceGeneral) {
    constexpr int kSize = 64;
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> position(-20.0f, 84.0f), depth(0.0f, 1.0f), w(0.2f, 5.0f),
        coordinate(-8.0f, 8.0f);
    ColorBuffer color(kSize, kSize, colorFormat);
    DepthBuffer depthBuffer(kSize, kSize, depthFormat);
    Clear(base.viewport, 0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF204060, 1.0f, 0, color.Target(),
          depthBuffer.Target());
    PipelineState state = base;
    ForceGeneralPath(forceGeneral);
    for (int triangle = 0; triangle < 24; ++triangle) {
        std::vector<TlVertex> v(3);
        for (TlVertex& vertex : v) {
            const float rhw = 1.0f / w(random);
            vertex = {position(random), position(random), depth(random), rhw,
                      static_cast<std::uint32_t>(random()), coordinate(random), coordinate(random)};
        }
        Draw(state, kTlFvf, D3DPT_TRIANGLELIST, v, 1, color, &depthBuffer);
    }
    ForceGeneralPath(false);
    EXPECT_TRUE(color.GuardsIntact());
    return {color.Pixels(), depthBuffer.memory};
}

// Largest difference of one 8-bit channel, and how many pixels differ.
struct Difference {
    int largest = 0;
    int differing = 0;
};

Difference Compare(const Picture& a, const Picture& b) {
    Difference d;
    for (std::size_t i = 0; i < a.pixels.size(); ++i) {
        int pixel = 0;
        for (int shift : {0, 8, 16}) {
            const int ca = static_cast<int>((a.pixels[i] >> shift) & 0xFF), cb = static_cast<int>((b.pixels[i] >> shift) & 0xFF);
            pixel = std::max(pixel, std::abs(ca - cb));
        }
        d.largest = std::max(d.largest, pixel);
        if (pixel > 0) ++d.differing;
    }
    return d;
}

// The specialised loops compute every pixel's coordinates, level of
// detail, depth and colour with the general path's arithmetic: the
// pictures are the same bit for bit.
TEST(RasterFastPath, SpecialisedLoopsGiveTheGeneralPathsPicture) {
    std::mt19937 random(17);
    TestTexture texture;
    for (int size = 32; size >= 1; size /= 2) texture.Add(size, size, RandomTexels(random, size, size));
    unsigned seed = 100;
    for (D3DFORMAT colorFormat : {D3DFMT_R5G6B5, D3DFMT_X8R8G8B8}) {
        for (DWORD filter : {D3DTEXF_POINT, D3DTEXF_LINEAR}) {
            for (DWORD mipFilter : {D3DTEXF_NONE, D3DTEXF_POINT, D3DTEXF_LINEAR}) {
                for (bool modulate : {false, true}) {
                    for (bool blend : {false, true}) {
                        PipelineState state = DefaultState(64, 64);
                        state.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
                        state.renderStates[D3DRS_ZENABLE] = D3DZB_TRUE;
                        state.renderStates[D3DRS_ALPHABLENDENABLE] = blend ? 1 : 0;
                        state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_SRCALPHA;
                        state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_INVSRCALPHA;
                        DWORD* ts = state.stageStates[0];
                        ts[D3DTSS_MINFILTER] = ts[D3DTSS_MAGFILTER] = filter;
                        ts[D3DTSS_MIPFILTER] = mipFilter;
                        if (!modulate) ts[D3DTSS_COLOROP] = D3DTOP_SELECTARG1;
                        state.textures[0] = &texture.sampled;
                        ++seed;
                        const Picture fast = DrawRandomScene(state, colorFormat, D3DFMT_D16, seed, false);
                        const Picture general = DrawRandomScene(state, colorFormat, D3DFMT_D16, seed, true);
                        EXPECT_EQ(fast.depth, general.depth);
                        const std::string what = "format " + std::to_string(colorFormat) + " filter " +
                                                 std::to_string(filter) + " mip " + std::to_string(mipFilter) +
                                                 " modulate " + std::to_string(modulate) + " blend " +
                                                 std::to_string(blend);
                        const Difference d = Compare(fast, general);
                        EXPECT_EQ(d.differing, 0) << what << " largest " << d.largest;
                    }
                }
            }
        }
    }
}

}  // namespace
}  // namespace valmere::raster::test
