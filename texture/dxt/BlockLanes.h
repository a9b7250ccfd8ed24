// Up to four blocks encoded side by side: lane k of every vector belongs to
// block k, so each step of the encoders (diffusion, fits, index search) runs
// on four independent blocks at once. Every lane sees exactly the operations,
// in the same order, that a block encoded alone would see, so a block's bytes
// do not depend on its neighbours in the batch.
#pragma once

#include "math/D3DXColor.h"
#include "texture/dxt/Float4.h"

namespace valmere {

constexpr int kLanes = 4;

enum Channel { kRed, kGreen, kBlue, kAlpha };

// 16 pixels of up to four blocks, channel by channel: channel[c][i] holds
// channel c of pixel i of each block.
struct BlockLanes {
    Float4 channel[4][16];
};

// Loads `count` (1..4) blocks of 16 pixels stored one after the other. Lanes
// past `count` repeat the last block; their results are never stored.
void LoadBlockLanes(const D3DXCOLOR* pixels, int count, BlockLanes& lanes);

// A weighted colour (r, g, b) of each block.
struct RgbLanes {
    Float4 r, g, b;
};

inline RgbLanes operator+(const RgbLanes& x, const RgbLanes& y) { return {x.r + y.r, x.g + y.g, x.b + y.b}; }
inline RgbLanes operator-(const RgbLanes& x, const RgbLanes& y) { return {x.r - y.r, x.g - y.g, x.b - y.b}; }
inline RgbLanes operator*(const RgbLanes& x, Float4 s) { return {x.r * s, x.g * s, x.b * s}; }
inline RgbLanes operator*(const RgbLanes& x, const RgbLanes& y) { return {x.r * y.r, x.g * y.g, x.b * y.b}; }
inline RgbLanes Select(Int4 mask, const RgbLanes& x, const RgbLanes& y) {
    return {mask ? x.r : y.r, mask ? x.g : y.g, mask ? x.b : y.b};
}
// (r + g) + b of the products: the order every dot product here uses.
inline Float4 Dot(const RgbLanes& x, const RgbLanes& y) { return (x.r * y.r + x.g * y.g) + x.b * y.b; }

inline RgbLanes Broadcast(float r, float g, float b) { return {Float4{} + r, Float4{} + g, Float4{} + b}; }

// Sums of 16 per-pixel terms kept as four partial sums (pixels l, l + 4,
// l + 8, l + 12 in partial l), totalled as (0 + 1) + (2 + 3).
struct PixelSum {
    Float4 part[4] = {};
    void Add(int pixel, Float4 v) { part[pixel & 3] += v; }
    Float4 Total() const { return (part[0] + part[1]) + (part[2] + part[3]); }
};

}  // namespace valmere
