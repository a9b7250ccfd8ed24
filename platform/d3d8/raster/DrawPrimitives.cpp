// DrawPrimitives: vertex processing for the vertices of the draw, primitive
// assembly, clipping, the division by w, viewport mapping and rasterization.
#include <algorithm>
#include <vector>

#include "platform/d3d8/raster/Clipper.h"
#include "platform/d3d8/raster/DrawAssembly.h"
#include "platform/d3d8/raster/VertexProcessing.h"

namespace valmere::raster {
namespace {

struct Viewport {
    float x, y, halfWidth, halfHeight, minZ, depthRange;
};

ScreenVertex ToScreen(const ClipVertex& c, bool pretransformed, const Viewport& vp) {
    ScreenVertex s;
    const float w = c.pos[3];
    // Clipping leaves w > 0 for a sane projection; a tiny floor keeps a
    // degenerate one finite.
    s.rhw = 1.0f / (w > 1e-30f ? w : 1e-30f);
    const float nx = c.pos[0] * s.rhw, ny = c.pos[1] * s.rhw, nz = c.pos[2] * s.rhw;
    if (pretransformed) {
        s.x = nx;
        s.y = ny;
        s.z = nz;
    } else {
        // Clip x = -1 maps to the centre of the viewport's left pixel column.
        s.x = vp.x + (nx + 1.0f) * vp.halfWidth;
        s.y = vp.y + (1.0f - ny) * vp.halfHeight;
        s.z = vp.minZ + nz * vp.depthRange;
    }
    std::copy(c.attr, c.attr + kAttrCount, s.attr);
    return s;
}

// Triangle i of the primitive as three vertex indices. Strips alternate
// their order so that every triangle keeps the winding of the first.
void TriangleIndices(D3DPRIMITIVETYPE type, UINT i, UINT out[3]) {
    if (type == D3DPT_TRIANGLELIST) {
        out[0] = 3 * i;
        out[1] = 3 * i + 1;
        out[2] = 3 * i + 2;
    } else if (type == D3DPT_TRIANGLESTRIP) {
        out[0] = (i & 1) ? i + 1 : i;
        out[1] = (i & 1) ? i : i + 1;
        out[2] = i + 2;
    } else {
        out[0] = 0;
        out[1] = i + 1;
        out[2] = i + 2;
    }
}

UINT VerticesNeeded(D3DPRIMITIVETYPE type, UINT primitives) {
    return type == D3DPT_TRIANGLELIST ? 3 * primitives : primitives + 2;
}

bool DiffuseIsWhite(const PipelineState& state, const FvfLayout& layout) {
    const bool lit = state.renderStates[D3DRS_LIGHTING] != 0 && !layout.pretransformed;
    return !lit && layout.diffuse < 0;
}

class TriangleDrawer {
public:
    TriangleDrawer(const PipelineState& state, TriangleSink& sink, bool pretransformed)
        : sink_(sink), planes_(MakeClipPlanes(state.viewport, pretransformed)),
          pretransformed_(pretransformed), cullMode_(state.renderStates[D3DRS_CULLMODE]),
          flatShading_(state.renderStates[D3DRS_SHADEMODE] == D3DSHADE_FLAT) {
        const D3DVIEWPORT8& v = state.viewport;
        viewport_ = {static_cast<float>(v.X), static_cast<float>(v.Y), 0.5f * static_cast<float>(v.Width),
                     0.5f * static_cast<float>(v.Height), v.MinZ, v.MaxZ - v.MinZ};
    }

    void Draw(const ClipVertex& a, const ClipVertex& b, const ClipVertex& c) {
        ClipVertex poly[kMaxClipVertices] = {a, b, c};
        if (flatShading_) {
            for (int k = kAttrDiffuse; k < kAttrSpecular + 4; ++k) poly[1].attr[k] = poly[2].attr[k] = a.attr[k];
        }
        const std::uint32_t codes[3] = {Outcode(planes_, a), Outcode(planes_, b), Outcode(planes_, c)};
        if (codes[0] & codes[1] & codes[2]) return;  // entirely outside one plane
        int count = 3;
        const std::uint32_t crossed = codes[0] | codes[1] | codes[2];
        if (crossed != 0) count = ClipPolygon(planes_, crossed, poly, count);
        if (count < 3) return;
        ScreenVertex screen[kMaxClipVertices];
        for (int i = 0; i < count; ++i) screen[i] = ToScreen(poly[i], pretransformed_, viewport_);
        // The clipped polygon is convex with the winding of the triangle.
        for (int i = 1; i + 1 < count; ++i) sink_.Triangle(cullMode_, screen[0], screen[i], screen[i + 1]);
    }

private:
    TriangleSink& sink_;
    ClipPlanes planes_;
    bool pretransformed_;
    DWORD cullMode_;
    bool flatShading_;
    Viewport viewport_;
};

// Shades each triangle as it comes.
class ImmediateSink final : public TriangleSink {
public:
    explicit ImmediateSink(const PixelPipeline& pipeline) : pipeline_(pipeline) {}
    void Triangle(DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) override {
        RasterizeTriangle(pipeline_, cullMode, a, b, c);
    }

private:
    const PixelPipeline& pipeline_;
};

}  // namespace

bool AssembleTriangles(const PipelineState& state, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount,
                       const VertexStream& stream, const ColorTarget& color, const DepthTarget& depth,
                       PixelPipeline& pipeline, TriangleSink& sink) {
    if (type != D3DPT_TRIANGLELIST && type != D3DPT_TRIANGLESTRIP && type != D3DPT_TRIANGLEFAN) return false;
    const FvfLayout layout = ParseFvf(state.fvf);
    if (!layout.valid || stream.data == nullptr || stream.stride < static_cast<UINT>(layout.size)) return false;
    if (startVertex >= stream.vertexCount || primitiveCount == 0) return false;
    // Draw only the primitives whose vertices are all in the stream.
    const UINT available = stream.vertexCount - startVertex;
    const UINT maxPrimitives = type == D3DPT_TRIANGLELIST ? available / 3 : (available >= 3 ? available - 2 : 0);
    primitiveCount = std::min(primitiveCount, maxPrimitives);
    if (primitiveCount == 0) return false;
    if (!BuildPixelPipeline(state, color, depth, DiffuseIsWhite(state, layout), pipeline)) return false;

    const UINT vertexCount = VerticesNeeded(type, primitiveCount);
    // Kept between draws so that a frame allocates only while it grows.
    thread_local std::vector<ClipVertex> vertices;
    if (vertices.size() < vertexCount) vertices.resize(vertexCount);
    ProcessVertices(state, layout, stream.data + static_cast<std::size_t>(startVertex) * stream.stride, vertexCount,
                    stream.stride, vertices.data());

    TriangleDrawer drawer(state, sink, layout.pretransformed);
    for (UINT i = 0; i < primitiveCount; ++i) {
        UINT idx[3];
        TriangleIndices(type, i, idx);
        drawer.Draw(vertices[idx[0]], vertices[idx[1]], vertices[idx[2]]);
    }
    return true;
}

void DrawPrimitives(const PipelineState& state, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount,
                    const VertexStream& stream, const ColorTarget& color, const DepthTarget& depth) {
    PixelPipeline pipeline;
    ImmediateSink sink(pipeline);
    AssembleTriangles(state, type, startVertex, primitiveCount, stream, color, depth, pipeline, sink);
}

}  // namespace valmere::raster
