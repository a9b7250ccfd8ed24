// The bound that holds the software device to the reference renderer, stated
// once. The reference computes, per pixel, the interval of values that an
// exact evaluation of the per-pixel rules can give when every decision that
// sits on (or within the allowance of) a boundary is taken both ways; the
// device passes where each of its values lies inside that interval widened
// as below.
//
// - Colour: every 8-bit channel within kChannelTolerance of the interval. An
//   R5G6B5 target holds the truncation of that widened interval: a 5- or
//   6-bit code between the codes of its ends (the device keeps the high bits,
//   no dithering). What a target holds is what later blends read.
// - Texel positions: the sample position (u width, v height in texels of the
//   level sampled) may lie anywhere within kTexelAllowance of the exact one
//   on each axis: point sampling may take the neighbouring texel where the
//   exact position is that close to a texel edge, and bilinear sampling may
//   blend with weights quantised to 1/256.
// - Level of detail: the exact value plus or minus kLodAllowance, so that a
//   level of detail that close to a mip switch or to the magnify/minify
//   switch may go either way, and a linear mip blend may use a fraction
//   quantised to 1/256.
// - Depth: the 16-bit code of the exact depth, rounded to nearest, plus or
//   minus kDepthCodeAllowance codes: the device interpolates depth in float.
// - Vertices: a transformed vertex is snapped to 1/16 pixel both ways where
//   its exact screen position lies within the device's float rounding
//   (bounded from the magnitudes of the transform's terms) of a snapping
//   boundary. Such a vertex, and every vertex made by clipping (the device
//   computes those in float), is uncertain: a pixel whose centre lies within
//   kUncertainEdge pixel on each axis of an edge that ends at an uncertain
//   vertex may be drawn or not, and the attributes and depth of a polygon
//   with an uncertain vertex may be those of any point within kUncertainEdge
//   pixel of the pixel centre on each axis (the device's planes run through
//   snapped vertices and its fan of the clipped polygon may differ from the
//   reference's), with its level of detail within kUncertainLod.
#pragma once

namespace valmere::reference {

constexpr double kChannelTolerance = 2.0;
constexpr double kTexelAllowance = 1.0 / 256.0;
constexpr double kLodAllowance = 1.0 / 256.0;
constexpr int kDepthCodeAllowance = 1;
constexpr double kUncertainEdge = 1.0 / 16.0;
constexpr double kUncertainLod = 1.0 / 16.0;

}  // namespace valmere::reference
