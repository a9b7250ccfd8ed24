// Coverage: pixel centres, the top-left rule, shared edges, culling.
#include <gtest/gtest.h>

#include <limits>

#include "tests/platform/d3d8/raster/RasterTestSupport.h"

namespace valmere::raster::test {
namespace {

struct P {
    double x, y;
};

// Reference coverage in double precision: the centre (x, y) is inside, or
// on an edge that is a top edge (horizontal, third vertex below) or a left
// edge (third vertex to its right).
bool Covers(P a, P b, P c, double x, double y) {
    const P v[3] = {a, b, c};
    const double area = (b.x - a.x) * (c.y - a.y) - (b.y - a.y) * (c.x - a.x);
    for (int i = 0; i < 3; ++i) {
        const P p = v[i], q = v[(i + 1) % 3], r = v[(i + 2) % 3];
        const double e = ((q.x - p.x) * (y - p.y) - (q.y - p.y) * (x - p.x)) * (area > 0 ? 1 : -1);
        if (e < 0) return false;
        if (e == 0) {
            bool topOrLeft;
            if (p.y == q.y) {
                topOrLeft = r.y > p.y;
            } else {
                const double edgeX = p.x + (r.y - p.y) * (q.x - p.x) / (q.y - p.y);
                topOrLeft = r.x > edgeX;
            }
            if (!topOrLeft) return false;
        }
    }
    return true;
}

TlVertex Tl(P p, std::uint32_t color) { return {static_cast<float>(p.x), static_cast<float>(p.y), 0.5f, 1.0f, color, 0, 0}; }

PipelineState UntexturedState(int w, int h) {
    PipelineState s = DefaultState(w, h);
    s.renderStates[D3DRS_CULLMODE] = D3DCULL_NONE;
    return s;
}

TEST(RasterFill, TriangleCoversExactlyThePixelsOfTheFillRule) {
    // Vertices on 1/16 pixel steps (exact after snapping), with edges
    // through pixel centres: a horizontal top edge, a vertical left edge.
    const std::vector<std::vector<P>> triangles = {
        {{2.0, 1.0}, {13.0, 1.0}, {2.0, 12.0}},        // top and left edges on centres
        {{1.3125, 2.5}, {14.75, 6.0625}, {4.5, 14.0}},  // general position
        {{15.0, 3.0}, {15.0, 13.0}, {3.0, 8.0}},        // right vertical edge on centres
        {{3.0, 14.0}, {9.0, 2.0}, {14.0, 14.0}},        // bottom horizontal edge on centres
    };
    for (const auto& t : triangles) {
        ColorBuffer color(16, 16, D3DFMT_X8R8G8B8);
        PipelineState state = UntexturedState(16, 16);
        Draw(state, kTlFvf, D3DPT_TRIANGLELIST, std::vector<TlVertex>{Tl(t[0], 0xFFFFFFFF), Tl(t[1], 0xFFFFFFFF), Tl(t[2], 0xFFFFFFFF)},
             1, color);
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                const bool expected = Covers(t[0], t[1], t[2], x, y);
                EXPECT_EQ(color.At(x, y) == 0xFFFFFF, expected) << "pixel " << x << "," << y;
            }
        }
        EXPECT_TRUE(color.GuardsIntact());
    }
}

TEST(RasterFill, SharedEdgesDrawEveryPixelOnceWithAdditiveBlending) {
    // A fan of four triangles around a centre off the pixel grid, plus a quad
    // split along a diagonal through pixel centres.
    const P centre{8.0, 7.5};
    const std::vector<P> ring = {{1.0, 1.0}, {15.0, 1.0}, {15.0, 14.0}, {1.0, 14.0}};
    ColorBuffer color(16, 16, D3DFMT_A8R8G8B8);
    PipelineState state = UntexturedState(16, 16);
    state.renderStates[D3DRS_ALPHABLENDENABLE] = 1;
    state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_ONE;
    std::vector<TlVertex> v;
    for (int i = 0; i < 4; ++i) {
        v.push_back(Tl(centre, 0x10101010));
        v.push_back(Tl(ring[i], 0x10101010));
        v.push_back(Tl(ring[(i + 1) % 4], 0x10101010));
    }
    Draw(state, kTlFvf, D3DPT_TRIANGLELIST, v, 4, color);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            // The whole rectangle, by the same rule: left and top edges in.
            const bool inside = x >= 1 && x < 15 && y >= 1 && y < 14;
            EXPECT_EQ(color.At(x, y), inside ? 0x101010u : 0u) << "pixel " << x << "," << y;
        }
    }
}

TEST(RasterFill, StripSharesDiagonalThroughPixelCentres) {
    ColorBuffer color(8, 8, D3DFMT_R5G6B5);
    PipelineState state = UntexturedState(8, 8);
    state.renderStates[D3DRS_ALPHABLENDENABLE] = 1;
    state.renderStates[D3DRS_SRCBLEND] = D3DBLEND_ONE;
    state.renderStates[D3DRS_DESTBLEND] = D3DBLEND_ONE;
    // 0-1 / 2-3 strip: the diagonal 1-2 passes through the centres (7,0)...(0,7).
    const std::vector<TlVertex> v = {Tl({0, 0}, 0xFF080808), Tl({7, 0}, 0xFF080808), Tl({0, 7}, 0xFF080808),
                                     Tl({7, 7}, 0xFF080808)};
    Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP, v, 2, color);
    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const bool inside = x < 7 && y < 7;
            EXPECT_EQ(color.At(x, y), inside ? 0x080808u : 0u) << "pixel " << x << "," << y;
        }
    }
}

TEST(RasterFill, CullModesFollowScreenWinding) {
    // Clockwise on the screen (y down): (1,1) -> (7,1) -> (1,7).
    const std::vector<TlVertex> clockwise = {Tl({1, 1}, 0xFFFFFFFF), Tl({7, 1}, 0xFFFFFFFF), Tl({1, 7}, 0xFFFFFFFF)};
    const std::vector<TlVertex> counter = {clockwise[0], clockwise[2], clockwise[1]};
    struct Case {
        DWORD cull;
        bool drawsClockwise, drawsCounter;
    } cases[] = {{D3DCULL_NONE, true, true}, {D3DCULL_CCW, true, false}, {D3DCULL_CW, false, true}};
    for (const Case& c : cases) {
        for (int winding = 0; winding < 2; ++winding) {
            ColorBuffer color(8, 8, D3DFMT_X8R8G8B8);
            PipelineState state = DefaultState(8, 8);
            state.renderStates[D3DRS_CULLMODE] = c.cull;
            Draw(state, kTlFvf, D3DPT_TRIANGLELIST, winding == 0 ? clockwise : counter, 1, color);
            const bool drawn = color.At(2, 2) != 0;
            EXPECT_EQ(drawn, winding == 0 ? c.drawsClockwise : c.drawsCounter) << "cull " << c.cull;
        }
    }
}

TEST(RasterFill, ViewportLimitsPixels) {
    ColorBuffer color(16, 16, D3DFMT_X8R8G8B8);
    PipelineState state = UntexturedState(16, 16);
    state.viewport = {4, 5, 6, 3, 0.0f, 1.0f};
    Draw(state, kTlFvf, D3DPT_TRIANGLESTRIP,
         std::vector<TlVertex>{Tl({-100, -100}, 0xFFFFFFFF), Tl({100, -100}, 0xFFFFFFFF), Tl({-100, 100}, 0xFFFFFFFF),
                               Tl({100, 100}, 0xFFFFFFFF)},
         2, color);
    for (int y = 0; y < 16; ++y) {
        for (int x = 0; x < 16; ++x) {
            const bool inside = x >= 4 && x < 10 && y >= 5 && y < 8;
            EXPECT_EQ(color.At(x, y) != 0, inside) << x << "," << y;
        }
    }
    EXPECT_TRUE(color.GuardsIntact());
}

TEST(RasterFill, HugeAndInvalidTrianglesStayInsideTheTarget) {
    ColorBuffer color(32, 32, D3DFMT_R5G6B5);
    PipelineState state = UntexturedState(32, 32);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::vector<TlVertex> v = {
        {-1e30f, -1e30f, 0.5f, 1.0f, 0xFFFFFFFF, 0, 0}, {1e30f, -1e29f, 0.5f, 1.0f, 0xFFFFFFFF, 0, 0},
        {0.0f, 1e30f, 0.5f, 1.0f, 0xFFFFFFFF, 0, 0},    {nan, 3.0f, 0.5f, 1.0f, 0xFFFFFFFF, 0, 0},
        {4.0f, nan, 0.5f, 0.0f, 0xFFFFFFFF, 0, 0},      {9.0f, 9.0f, nan, -1.0f, 0xFFFFFFFF, 0, 0}};
    Draw(state, kTlFvf, D3DPT_TRIANGLELIST, v, 2, color);
    EXPECT_EQ(color.At(16, 16), 0xFFFFFFu);  // the huge triangle covers the middle
    EXPECT_TRUE(color.GuardsIntact());
}

}  // namespace
}  // namespace valmere::raster::test
