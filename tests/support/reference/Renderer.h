// The reference renderer: Direct3D 8's fixed-function rules for the draws
// the tests make, scalar and in double precision, written from the rules and
// not from the device. A test mirrors each device call that changes the
// target (Clear, DrawPrimitive, DrawPrimitiveUP) with the same call here,
// right after the device's: the reference reads the state of the draw
// through the device's public interface, renders into its own Frame, and in
// the end compares the device's back buffer with it under the bound of
// Bound.h.
//
// Modelled: world, view and projection transforms; clipping against the
// near and far planes and the guard band; the viewport; 1/16-pixel snapping
// and the top-left fill rule; perspective-correct attributes per pixel; the
// level of detail per pixel with MAXMIPLEVEL and MIPMAPLODBIAS; point,
// bilinear and mip sampling with wrap, mirror, clamp, border and mirror-once
// addressing of A8R8G8B8, X8R8G8B8 and R5G6B5 textures; stage 0 with
// SELECTARG1, SELECTARG2, MODULATE, MODULATE2X, ADD and DISABLE on diffuse,
// texture and texture factor; alpha test; blending with ZERO, ONE and the
// colour and alpha factors; the 16-bit depth test; X8R8G8B8, A8R8G8B8 and
// R5G6B5 targets. Not modelled (a draw that needs them is refused):
// lighting, fog, specular, flat shading, stencil, more than one stage,
// other formats.
#pragma once

#include <string>

#include "tests/support/reference/Frame.h"

namespace valmere::reference {

class Renderer {
public:
    // A frame the size and formats of the device's back buffer and depth
    // buffer, cleared to black and depth 1. follow false: the mirrored calls
    // do nothing (for a device whose frame is compared with another device's
    // instead).
    explicit Renderer(IDirect3DDevice8* device, bool follow = true);

    // See Frame::SetRows; call before drawing.
    void SetRows(int step, int phase) { frame_.SetRows(step, phase); }
    void Clear(DWORD flags, D3DCOLOR color, float z);
    // Stream 0 as the device holds it.
    void DrawPrimitive(D3DPRIMITIVETYPE type, UINT startVertex, UINT primitiveCount);
    void DrawPrimitiveUP(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride);

    // The first reason the reference could not follow a draw, or empty.
    const std::string& Refused() const { return refused_; }
    Comparison Compare() const { return frame_.Compare(device_); }

private:
    void Draw(D3DPRIMITIVETYPE type, UINT primitiveCount, const void* vertices, UINT stride, UINT vertexCount);

    IDirect3DDevice8* device_;
    bool follow_;
    Frame frame_;
    std::string refused_;
};

}  // namespace valmere::reference
