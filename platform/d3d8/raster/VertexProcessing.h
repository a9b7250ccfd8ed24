// Vertex processing of the fixed-function pipeline: FVF decoding, world,
// view and projection transforms, and lighting.
#pragma once

#include <cstdint>

#include "platform/d3d8/raster/PipelineTypes.h"
#include "platform/d3d8/raster/Raster.h"

namespace valmere::raster {

constexpr int kMaxFvfTexSets = 8;

// Byte offsets of the parts of one FVF vertex (-1: absent). The order in
// memory is fixed: position, blend weights, normal, point size, diffuse,
// specular, texture coordinate sets.
struct FvfLayout {
    int size = 0;              // bytes the FVF describes
    bool pretransformed = false;  // D3DFVF_XYZRHW
    int normal = -1;
    int diffuse = -1;
    int specular = -1;
    int texSetCount = 0;
    int texOffset[kMaxFvfTexSets] = {};
    int texDimension[kMaxFvfTexSets] = {};  // 1..4 floats
    bool valid = false;        // false for a position type it cannot read
};

FvfLayout ParseFvf(DWORD fvf);

// Transforms and lights count vertices starting at first (stride bytes
// apart) into clip space. The caller guarantees count * stride bytes.
void ProcessVertices(const PipelineState& state, const FvfLayout& layout, const std::uint8_t* first, UINT count,
                     UINT stride, ClipVertex* out);

}  // namespace valmere::raster
