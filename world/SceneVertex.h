// The vertex layout shared by the terrain, the sky box and the ground quad:
// 32 bytes of 32-bit floats, position, normal, texture coordinate.
#pragma once

#include "platform/d3d8/D3D8Types.h"

#include <cstddef>

struct SceneVertex {
    float x, y, z;
    float nx, ny, nz;
    float u, v;
};

// D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1: the flexible vertex format that
// describes SceneVertex to the device.
constexpr DWORD SceneVertexFvf = D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1;

static_assert(sizeof(SceneVertex) == 32, "the vertex buffers use a stride of 32 bytes");
static_assert(SceneVertexFvf == 0x112);
static_assert(offsetof(SceneVertex, nx) == 12 && offsetof(SceneVertex, u) == 24);
