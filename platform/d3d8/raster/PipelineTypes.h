// Vertex forms shared by the stages of the rasterizer: clip-space vertices
// out of vertex processing and clipping, screen vertices into setup.
#pragma once

#include <cstdint>

namespace valmere::raster {

// Texture stages the rasterizer evaluates (stages 4..7 are treated as
// disabled).
constexpr int kMaxStages = 4;

// Pixels of a scanline shaded together by each step of the pixel pipeline.
constexpr int kRunLength = 32;

// Interpolated attributes, in this order: diffuse r, g, b, a (0..255),
// specular r, g, b, a (0..255), then u, v of each stage (texture coordinates
// chosen through the stage's D3DTSS_TEXCOORDINDEX).
constexpr int kAttrDiffuse = 0;
constexpr int kAttrSpecular = 4;
constexpr int kAttrTex = 8;
constexpr int kAttrCount = kAttrTex + 2 * kMaxStages;

// pos is (x, y, z, w) in clip space: the visible volume is -w <= x, y <= w,
// 0 <= z <= w. Pretransformed vertices carry (sx * w, sy * w, sz * w, w)
// with their screen position s and w = 1 / rhw, so that the same clipper
// and the same division serve both.
struct ClipVertex {
    float pos[4];
    float attr[kAttrCount];
};

// After the division: pixel coordinates (pixel centres on integers), depth
// z in 0..1 and rhw = 1 / w for perspective correction.
struct ScreenVertex {
    float x, y, z, rhw;
    float attr[kAttrCount];
};

}  // namespace valmere::raster
