// The device's fixed-function scene state, as InitScene left it, put into
// OpenGL 1.x state, and the device's transforms as GL matrices.
#pragma once

#include "bench/frame/llvmpipe/Gl.h"

#include "platform/d3d8/Direct3D8.h"

namespace valmere::bench {

struct GlSceneState {
    bool depthTest = true;
    bool lighting = false;
    bool light0 = false;
    // Towards the light, in world space (w = 0: directional).
    GLfloat lightTowards[4] = {0.0f, 0.0f, 0.0f, 0.0f};
};

// Depth test and writes, culling and lighting (light 0 when directional,
// the material and the ambient colour) from the device's render states.
GlSceneState ApplyDeviceState(IDirect3DDevice8* device);

// Stage 0's filters and addressing on the bound GL texture: min and mag
// filters with the mip filter folded into the min filter (none: level 0
// only, as the device samples).
void ApplySamplerState(IDirect3DDevice8* device);

// Projection and modelview from the device's world, view and projection.
// Direct3D's row vectors are GL's column vectors, so a D3DMATRIX loads into
// GL as it is stored; GL's clip space then differs in two ways that a
// matrix after the projection takes out: depth runs over -w..w rather than
// 0..w (z' = 2z - w), and pixel centres lie at half-integer window
// coordinates rather than Direct3D's integers (x' = x + w/width,
// y' = y - w/height, with GL's window rows counted upwards).
// A light of the state is placed in world space between the two.
void LoadDeviceTransforms(IDirect3DDevice8* device, int width, int height, const GlSceneState& state);

// Screen pixels in Direct3D's convention (y down, pixel centres at
// integers) as GL's projection, for the text quads.
void LoadScreenTransform(int width, int height);

}  // namespace valmere::bench
