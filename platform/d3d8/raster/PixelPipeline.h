// The per-pixel half of the pipeline. A span of one scanline is shaded in
// runs of up to kRunLength pixels; each step (depth test, interpolation,
// sampling, texture stages, alpha test, blending and colour write) works on
// the whole run, through functions chosen once per draw, so the choice costs
// nothing per pixel and the common state combinations get specialised loops.
#pragma once

#include <cstdint>

#include "platform/d3d8/raster/PipelineTypes.h"
#include "platform/d3d8/raster/Raster.h"
#include "platform/d3d8/raster/Sampler.h"
#include "platform/d3d8/raster/TargetFormats.h"

namespace valmere::raster {

// q(x, y) = (value + dy * (y - y0)) + dx * (x - x0) for a quantity that is
// linear in screen space (z, 1/w, attribute / w), evaluated in that order.
struct Plane {
    float value = 0, dx = 0, dy = 0;
};

struct TriangleInterpolants {
    float x0 = 0, y0 = 0;
    Plane z, rhw;
    Plane attr[kAttrCount];
    bool flatDiffuse = false, flatSpecular = false;  // same colour at every vertex
    std::uint32_t diffuse = 0, specular = 0;         // the flat colours
};

struct Run {
    int x = 0, y = 0, count = 0;
    std::uint32_t mask = 0;  // bit i: pixel x + i still alive
    // Pixel i lies at X + i from the triangle's plane origin (exact: both
    // are multiples of 1/16 well below 2^19); its depth is
    // zBase + zStep (X + i), as every value of a pixel is worked out from
    // its own position and never from the run it falls in.
    float X = 0, zBase = 0, zStep = 0;
    std::uint32_t depthCode[kRunLength];
    std::uint32_t diffuse[kRunLength], specular[kRunLength];
    std::uint32_t texel[kMaxStages][kRunLength];
    std::uint32_t color[kRunLength];
};

struct PixelPipeline;
using RunStep = void (*)(const PixelPipeline&, Run&);
using SpanShader = void (*)(const PixelPipeline&, const TriangleInterpolants&, int y, int xStart, int xEnd);

struct TextureStage {
    DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
};

struct BlendState {
    DWORD source = D3DBLEND_ONE, destination = D3DBLEND_ZERO, op = D3DBLENDOP_ADD;
    std::uint32_t writeMask = 0xFFFFFFFFu;  // channel bits kept from the result
};

struct PixelPipeline {
    ColorTarget color;
    DepthTarget depth;
    int clipLeft = 0, clipTop = 0, clipRight = 0, clipBottom = 0;  // exclusive right, bottom

    DepthLayout depthLayout;
    RunStep depthTest = nullptr;   // null: no depth test
    RunStep depthWrite = nullptr;  // after the alpha test; null when the test writes or writing is off

    int stageCount = 0;  // stages before the first disabled one
    TextureStage stages[kMaxStages];
    bool sampled[kMaxStages] = {};  // stage reads its texture
    StageSampler samplers[kMaxStages];
    bool lodMatters[kMaxStages] = {};  // the level of detail changes the filter or the level
    // The level of stage 0 when it is the only one sampled and fixed for the
    // draw: wrapped, power of two, bilinear (unless the general path is forced).
    WrappedLevel wrappedLevel;
    float addressPeriodU[kMaxStages] = {}, addressPeriodV[kMaxStages] = {};
    bool needDiffuse = false, needSpecular = false, addSpecular = false;
    // Bit k: the triangles' setup makes the plane of attribute k (the
    // colours read, the coordinates of the stages sampled).
    std::uint32_t attributesUsed = 0;
    std::uint32_t textureFactor = 0;
    RunStep combine = nullptr;

    bool alphaTest = false;
    DWORD alphaFunc = D3DCMP_ALWAYS;
    std::uint32_t alphaRef = 0;

    BlendState blend;
    RunStep output = nullptr;

    SpanShader shadeSpan = nullptr;  // the run loop specialised for this state
};

// Builds the pixel pipeline for a draw; false when the colour target cannot
// be drawn to. diffuseIsWhite: every vertex's diffuse colour is opaque white.
bool BuildPixelPipeline(const PipelineState& state, const ColorTarget& color, const DepthTarget& depth,
                        bool diffuseIsWhite, PixelPipeline& out);

// Shades pixels xStart..xEnd (inclusive) of scanline y, already clipped.
void ShadeSpan(const PixelPipeline& pipeline, const TriangleInterpolants& tri, int y, int xStart, int xEnd);

}  // namespace valmere::raster
