// The front half of a draw, shared by the immediate and the tiled
// rasterizer: vertex processing, primitive assembly, clipping and the
// division by w, ending in screen triangles handed to a sink.
#pragma once

#include "platform/d3d8/raster/TriangleRasterizer.h"

namespace valmere::raster {

class TriangleSink {
public:
    virtual void Triangle(DWORD cullMode, const ScreenVertex& a, const ScreenVertex& b, const ScreenVertex& c) = 0;

protected:
    ~TriangleSink() = default;
};

// Builds the draw's pixel pipeline into `pipeline`, then hands every screen
// triangle of the draw to the sink in submission order (a clipped triangle
// as a fan). False, with nothing handed on, when there is nothing to draw:
// a type other than triangles, an unreadable vertex format, a stream too
// short for one primitive, or a colour target the pipeline cannot draw to.
bool AssembleTriangles(const PipelineState& state, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount,
                       const VertexStream& stream, const ColorTarget& color, const DepthTarget& depth,
                       PixelPipeline& pipeline, TriangleSink& sink);

}  // namespace valmere::raster
