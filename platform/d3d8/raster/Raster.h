// The software rasterizer behind the Direct3D 8 device: the fixed-function
// pipeline from FVF vertices to pixels. The device owns every resource and
// all state; for each draw it hands this module a snapshot of the state,
// the vertex stream and the targets, and the module writes pixels.
//
// The per-pixel rules (Direct3D 8's, with this device's choices where
// Direct3D leaves them open; the tests' reference renderer follows the same
// list):
// - Viewport: screen x = X + (x/w + 1) Width / 2, y = Y + (1 - y/w) Height / 2,
//   depth = MinZ + (z/w) (MaxZ - MinZ). Pixel centres lie at integer
//   coordinates, so clip x = -1 falls on the centre of the viewport's left
//   column.
// - Clipping: against the near plane (z >= 0) and the far plane (z <= w);
//   x and y only against a guard band 2048 pixels beyond each side of the
//   viewport, so what lies between the viewport and the band is clipped by
//   the scissor of the viewport rectangle, not by new vertices.
//   Pretransformed (XYZRHW) vertices meet the guard band only.
// - Snapping: screen x and y are rounded to the nearest 1/16 pixel
//   (floor(16 x + 0.5) / 16) before coverage and before the interpolation
//   planes are set up.
// - Coverage: a pixel is drawn when its centre lies inside the snapped
//   triangle, or exactly on a top edge (horizontal, interior below) or a
//   left edge (interior to its right): triangles that share an edge never
//   draw a pixel twice and leave no gap.
// - Attributes (colours, texture coordinates): a / w and 1 / w are linear
//   in screen space through the snapped vertices; every pixel divides the
//   two at its own centre (perspective-correct per pixel, no subdivision).
//   Every value of a pixel is worked out from the pixel's own position,
//   never from where the stretch of pixels it is shaded with begins, so the
//   picture does not depend on how spans are cut.
// - Depth: linear in screen space (not divided by w), clamped to 0..1 and
//   quantised to the depth format's code by rounding to nearest.
// - Level of detail: per pixel, from the exact screen derivatives of u and
//   v at the pixel's centre, in texels of level 0:
//     lod = log2(max(|(du/dx, dv/dx)|, |(du/dy, dv/dy)|)) + D3DTSS_MIPMAPLODBIAS.
//   lod <= 0 magnifies (D3DTSS_MAGFILTER), lod > 0 minifies
//   (D3DTSS_MINFILTER). The level is D3DTSS_MAXMIPLEVEL (the largest level
//   used, clamped to the last) when magnifying or with no mip filter;
//   otherwise lod is clamped to MAXMIPLEVEL..last, and the point mip filter
//   takes the nearest level (floor(lod + 0.5)), the linear one blends
//   floor(lod) and the next by the fraction.
// - Texels: centres at u = (i + 0.5) / width. Point sampling takes texel
//   floor(u width); bilinear blends texels floor(u width - 0.5) and the next
//   by the fraction, in 1/256 steps. Wrap, mirror, clamp, border and mirror-
//   once map each texel index on its own axis.
// - Texture stages, alpha test, blending: on 8-bit channels (products
//   divided by 255 and rounded); the alpha test compares the 8-bit alpha
//   with D3DRS_ALPHAREF & 0xFF.
// - Output: R5G6B5 keeps the high bits of each 8-bit channel (no dithering)
//   and reads back by bit replication.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/d3d8/D3D8Types.h"

namespace valmere::raster {

constexpr int kMaxTextureLevels = 16;
constexpr int kMaxActiveLights = 8;

// Colour render target: D3DFMT_R5G6B5, D3DFMT_X8R8G8B8 or D3DFMT_A8R8G8B8.
struct ColorTarget {
    std::uint8_t* bits = nullptr;
    int pitch = 0;  // bytes from one row to the next
    int width = 0;
    int height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};

// Depth target: D3DFMT_D16, D3DFMT_D16_LOCKABLE, D3DFMT_D24S8, D3DFMT_D24X8,
// D3DFMT_D24X4S4, D3DFMT_D32 or D3DFMT_D15S1. bits null means no depth buffer.
struct DepthTarget {
    std::uint8_t* bits = nullptr;
    int pitch = 0;
    int width = 0;
    int height = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
};

// One mip level of a texture, prepared for sampling as 32-bit 0xAARRGGBB
// texels (see ConvertToSamplingLevel).
struct SamplingLevel {
    const std::uint32_t* texels = nullptr;
    int width = 0;
    int height = 0;
};

// A 2D texture as the sampler sees it.
struct SampledTexture {
    int levelCount = 0;
    SamplingLevel levels[kMaxTextureLevels];
};

struct ActiveLight {
    D3DLIGHT8 light;
};

// Everything a draw reads, captured by the device at the draw call.
struct PipelineState {
    DWORD renderStates[D3DRS_MAX];
    DWORD stageStates[D3DMAXTEXTURESTAGES][D3DTSS_MAX];
    D3DMATRIX world;
    D3DMATRIX view;
    D3DMATRIX projection;
    D3DVIEWPORT8 viewport;
    D3DMATERIAL8 material;
    ActiveLight lights[kMaxActiveLights];  // enabled lights only
    int lightCount = 0;
    const SampledTexture* textures[D3DMAXTEXTURESTAGES] = {};  // null: no texture (reads opaque white)
    DWORD fvf = 0;
};

// Vertices of the draw: vertex i starts at data + i * stride. The device
// checks that startVertex and the primitive count stay inside vertexCount.
struct VertexStream {
    const std::uint8_t* data = nullptr;
    UINT stride = 0;
    UINT vertexCount = 0;
};

// Draws primitiveCount primitives of the given type starting at startVertex.
// Triangle lists, strips and fans are rasterized; points and lines are not
// drawn by this rasterizer.
void DrawPrimitives(const PipelineState& state, D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount,
                    const VertexStream& stream, const ColorTarget& color, const DepthTarget& depth);

// Clears the given rectangles (all of rect when count is 0) clipped to the
// viewport: flags D3DCLEAR_TARGET, D3DCLEAR_ZBUFFER, D3DCLEAR_STENCIL.
// Within each target's extent.
void Clear(const D3DVIEWPORT8& viewport, DWORD count, const D3DRECT* rects, DWORD flags, D3DCOLOR colorValue,
           float z, DWORD stencil, const ColorTarget& color, const DepthTarget& depth);

// The pixels one rectangle of Clear covers (rect null: the whole viewport),
// before the targets' extents are applied.
struct ClearArea {
    int left, top, right, bottom;  // right and bottom exclusive
    bool Empty() const { return left >= right || top >= bottom; }
};
ClearArea ClearRectangle(const D3DVIEWPORT8& viewport, const D3DRECT* rect);

// Decodes one texture level of any texture format the device accepts into
// 0xAARRGGBB texels (signed formats map -1..1 to 0..255; DXT blocks are
// decoded; palettized formats use the palette, or opaque white without one).
// Returns false for a format it cannot read.
bool ConvertToSamplingLevel(D3DFORMAT format, const std::uint8_t* bits, int pitch, int width, int height,
                            const PALETTEENTRY* palette, std::vector<std::uint32_t>& texels);

// Makes every later draw take the general pipeline (one step at a time over
// each run) instead of the specialised span loops, which give the same
// picture within a few 8-bit units. For tests and benchmarks; off by default.
void ForceGeneralPath(bool force);

// Converts the colour target's pixels to 0x00RRGGBB for presenting, into
// width x height pixels (rows packed).
void ReadColorTarget(const ColorTarget& color, std::uint32_t* pixels);

}  // namespace valmere::raster
