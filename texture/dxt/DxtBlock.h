// DXT1..DXT5 block compression of 4x4 pixel blocks.
//
// A pixel block is 16 D3DXCOLOR in row-major order: pixel (x, y) at 4y + x.
// Block layouts (little-endian):
//
//   DXT1       8 bytes: colour block
//   DXT2/DXT3 16 bytes: 0-7 explicit alpha, 4 bits per pixel (pixel i in bits
//                       4i..4i+3 of the 64-bit value); 8-15 colour block
//   DXT4/DXT5 16 bytes: 0 alpha0, 1 alpha1, 2-4 and 5-7 two 24-bit words of
//                       3-bit indices (pixels 0-7, then 8-15; pixel i in bits
//                       3i..3i+2); 8-15 colour block
//
//   colour block: 0-1 colour0, 2-3 colour1 (5:6:5, red in bits 11-15, green
//   5-10, blue 0-4); 4-7 index word, pixel i in bits 2i..2i+1.
//
// In DXT1, colour0 > colour1 selects four colours (two at thirds between
// them), otherwise three (the midpoint) and index 3 is transparent black.
// The colour half of DXT2 to DXT5 always has four colours, whatever the
// order of its codes (graphics hardware reads it so, and some encoders write
// colour0 <= colour1 there). DXT2 and DXT4 hold colours premultiplied by
// alpha.
//
// The encoders diffuse quantisation error inside the block and fit endpoints
// by weighted least squares; every block function succeeds (S_OK). The
// PackBlocks functions encode a run of blocks, four at a time side by side;
// a block's bytes are the same whichever way it is encoded.
#pragma once

#include "math/D3DXColor.h"

#include <cstdint>

namespace valmere {

constexpr int kBlockPixels = 16;

// Bytes written by the Pack / read by the Unpack functions: 8 for DXT1, 16 for
// the others.
HRESULT PackBlockDxt1(void* block, const D3DXCOLOR* pixels);
HRESULT PackBlockDxt2(void* block, const D3DXCOLOR* pixels);
HRESULT PackBlockDxt3(void* block, const D3DXCOLOR* pixels);
HRESULT PackBlockDxt4(void* block, const D3DXCOLOR* pixels);
HRESULT PackBlockDxt5(void* block, const D3DXCOLOR* pixels);

// `count` blocks: pixels[16 * n ..] to the block at n * bytes per block.
HRESULT PackBlocksDxt1(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt2(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt3(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt4(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt5(void* blocks, const D3DXCOLOR* pixels, UINT count);

HRESULT UnpackBlockDxt1(D3DXCOLOR* pixels, const void* block);
HRESULT UnpackBlockDxt2(D3DXCOLOR* pixels, const void* block);
HRESULT UnpackBlockDxt3(D3DXCOLOR* pixels, const void* block);
HRESULT UnpackBlockDxt4(D3DXCOLOR* pixels, const void* block);
HRESULT UnpackBlockDxt5(D3DXCOLOR* pixels, const void* block);

using PackBlockFn = HRESULT (*)(void* block, const D3DXCOLOR* pixels);
using PackBlocksFn = HRESULT (*)(void* blocks, const D3DXCOLOR* pixels, UINT count);
using UnpackBlockFn = HRESULT (*)(D3DXCOLOR* pixels, const void* block);

// One row per block format: what a row-oriented codec needs to know.
struct BlockFormatInfo {
    D3DFORMAT format;
    UINT bytesPerBlock;
    float alphaScale;  // precision of stored alpha: 15 (DXT2/3) or 255
    PackBlocksFn pack;
    UnpackBlockFn unpack;
};

// The row of a DXT format, or null for any other format.
const BlockFormatInfo* FindBlockFormat(D3DFORMAT format);

// Small mip levels (1 or 2 pixels wide or high) fill a block by repetition:
// pixel (x, y) takes pixel (x & columnMask, y & rowMask). Masks are 0, 1 or 3.
void ReplicateSmallBlock(D3DXCOLOR* pixels, UINT columnMask, UINT rowMask);

}  // namespace valmere
