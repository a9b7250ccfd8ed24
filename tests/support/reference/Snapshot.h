// What the reference reads of the device before each draw: the same Get
// calls and locks that any program can make. Nothing of the device's own
// rasterizer is seen.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/d3d8/Direct3D8.h"
#include "tests/support/reference/Range.h"

namespace valmere::reference {

// One mip level as 0xAARRGGBB texels, read through LockRect.
struct TextureLevel {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> texels;
    ColorRange all;  // every texel's channels: what a box over the whole level can read
    std::uint32_t At(int x, int y) const { return texels[static_cast<std::size_t>(y) * width + x]; }
};

// Stage 0's sampler and colour and alpha operations.
struct StageState {
    DWORD colorOp, colorArg1, colorArg2, alphaOp, alphaArg1, alphaArg2;
    DWORD addressU, addressV, borderColor;
    DWORD magFilter, minFilter, mipFilter, maxMipLevel;
    float lodBias;
    std::vector<TextureLevel> levels;  // empty: no texture, which reads as opaque white
};

struct Snapshot {
    D3DMATRIX world, view, projection;
    D3DVIEWPORT8 viewport;
    DWORD fvf;
    DWORD zEnable, zWriteEnable, zFunc;
    DWORD alphaTestEnable, alphaRef, alphaFunc;
    DWORD alphaBlendEnable, srcBlend, destBlend;
    DWORD cullMode, textureFactor, lighting;
    StageState stage;
};

// Reads the device's state for a draw. Returns an empty string, or the
// reason why the reference cannot follow the draw (a state, format or
// vertex layout it does not model).
std::string CaptureSnapshot(IDirect3DDevice8* device, Snapshot& snapshot);

// Decodes rows of a colour format into 0xAARRGGBB (R5G6B5 and X8R8G8B8 read
// as opaque, 5- and 6-bit channels by bit replication). False for a format
// the reference does not read.
bool DecodeRows(D3DFORMAT format, const void* bits, int pitch, int width, int height, std::vector<std::uint32_t>& out);

}  // namespace valmere::reference
