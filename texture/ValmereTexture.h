// Texture functions of the project's own, beside the D3DX ones of
// texture/D3DXTexture.h, for asset pipelines (the texture tool uses them):
// high-quality DXT encoders, BC4 and BC5 encoders, and mip chains filtered
// in linear light, for alpha-tested cut-outs and for normal maps. The D3DX
// entry points do not use them: textures loaded through D3DX keep the
// standard encoder and D3DXFilterTexture.
//
// Pixels are D3DXCOLOR (r, g, b, a floats, 0..1 for unsigned data). A pixel
// block is 16 of them in row-major order (pixel (x, y) at 4y + x); blocks
// lie one after the other. Block layouts are those of texture/dxt/DxtBlock.h
// (DXT1 to DXT5) and texture/bc/BcChannel.h (BC4, BC5). Every function may
// run on any thread; none keeps state between calls.
#pragma once

#include "math/D3DXColor.h"

#include <vector>

namespace valmere {

// ---------------------------------------------------------------------------
// High-quality DXT encoders
//
// The colour half is a cluster fit: the block's colours are ordered along
// their principal axis and every split of that order into runs for the
// palette entries is scored by the error of its least-squares endpoints;
// the endpoints of the best splits are then refined on the 5:6:5 grid, with
// each index on the nearest entry, by least squares and a local search of
// the codes. Error is the plain sum of squared red, green and blue
// differences (what PSNR measures). DXT1 uses its three-colour mode only
// where that lowers the error, and then never gives index 3 (transparent
// black) to a pixel with alpha 0.5 or more; pixels with alpha below 0.5 get
// index 3. The alpha halves are the standard encoders' (PackBlocksDxt2..5 in
// texture/dxt/DxtBlock.h). About five times slower than the standard
// encoder (SIMD: 8 blocks at a time where the processor has AVX2, else 4);
// the bytes do not depend on the processor.
//
// `count` blocks: pixels[16 n ..] to the block at n x (8 for DXT1, else 16)
// bytes. S_OK.
HRESULT PackBlocksDxt1HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt2HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt3HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt4HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count);
HRESULT PackBlocksDxt5HighQuality(void* blocks, const D3DXCOLOR* pixels, UINT count);

// ---------------------------------------------------------------------------
// BC4 and BC5 encoders
//
// BC4 stores one channel (red), BC5 two (red, then green), each in an
// 8-byte channel block: two endpoint codes and 3-bit indices. Unsigned
// blocks hold 0..1 as codes 0..255, signed ones -1..1 as -127..127; values
// beyond are clamped. Each block takes the endpoints and mode (eight steps
// between the endpoints, or six plus the two ends of the range) with the
// least squared error found by a least-squares fit refined on the codes.
enum class ChannelRange { Unsigned, Signed };

// `count` blocks of 8 (BC4) or 16 (BC5) bytes. S_OK.
HRESULT PackBlocksBc4(void* blocks, const D3DXCOLOR* pixels, UINT count, ChannelRange range);
HRESULT PackBlocksBc5(void* blocks, const D3DXCOLOR* pixels, UINT count, ChannelRange range);

// ---------------------------------------------------------------------------
// Mip chains
//
// An image of width x height x depth pixels: rows top-down, slices one after
// the other, no padding.
struct ColorImage {
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
    std::vector<D3DXCOLOR> pixels;
};

struct MipOptions {
    // Red, green and blue hold sRGB-encoded values: they are averaged in
    // linear light (a black and white checker gives 0.735, not 0.5).
    bool linearLight = false;
    // Red, green and blue hold a unit vector v as (v + 1) / 2: the vectors
    // are averaged and every level, level 0 included, renormalised (a zero
    // average becomes (0, 0, 1)). Alpha is averaged as it is.
    bool normalMap = false;
    // In 0..1: each level's alpha is scaled so that the share of pixels with
    // alpha >= alphaCoverage matches level 0's (what an alpha test with this
    // reference keeps of cut-out foliage). Negative: alpha is averaged as it
    // is.
    float alphaCoverage = -1.0f;
};

// Level 0 (as given, or renormalised for normal maps) and the levels below
// it, `levels` in all (at most the full chain down to 1 x 1 x 1; 0 means
// the full chain), into `chain` (replaced). Each extent of a level is half
// the one above, rounded down, and at least 1; each pixel is the mean of
// the area of the level above that it covers (a 2 x 2 block for even
// extents, parts of three pixels per axis for odd ones), made from the
// unscaled level above. S_OK; D3DERR_INVALIDCALL for an empty image or a
// pixel count that does not match its size; E_OUTOFMEMORY.
// Level 0 is taken by value: move it in to spare a copy.
HRESULT MakeMipChain(ColorImage level0, UINT levels, const MipOptions& options, std::vector<ColorImage>& chain);

// The number of levels of the full chain for the extents (the bit length of
// the largest).
UINT FullMipChainLength(UINT width, UINT height, UINT depth);

// The sRGB transfer functions, on 0..1 (values beyond are clamped).
float SrgbToLinear(float encoded);
float LinearToSrgb(float linear);

// The share of pixels with alpha >= reference.
float AlphaCoverage(const ColorImage& image, float reference);

}  // namespace valmere
