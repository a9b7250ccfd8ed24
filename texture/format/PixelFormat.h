// The pixel format table: one row per format the texture code knows, with its
// class, size and channel widths. Codecs, format choice and the readers look
// formats up here instead of switching over format codes.
#pragma once

#include "platform/d3d8/D3D8Types.h"

#include <span>

namespace valmere {

// Class of a format, as used by the closest-format search.
enum class FormatKind : UINT { Rgb = 0, Palette = 1, Luminance = 2, Signed = 3, Depth = 4 };

// Formats that exist only inside the library: 16 bits per channel, made by the
// PNG reader for 16-bit images. Four-character codes, little-endian.
constexpr D3DFORMAT kFormatL16 = static_cast<D3DFORMAT>(MAKEFOURCC(' ', 'L', '1', '6'));   // 0x36314C20
constexpr D3DFORMAT kFormatAL16 = static_cast<D3DFORMAT>(MAKEFOURCC('A', 'L', '1', '6'));  // 0x36314C41
constexpr D3DFORMAT kFormatR16 = static_cast<D3DFORMAT>(MAKEFOURCC(' ', 'R', '1', '6'));   // 0x36315220
constexpr D3DFORMAT kFormatAR16 = static_cast<D3DFORMAT>(MAKEFOURCC('A', 'R', '1', '6'));  // 0x36315241

// One table row: nine 32-bit words.
// channels[0..4] by kind:
//   Rgb, Palette, Luminance: 0, alpha, red, green, blue (luminance repeats its
//     width in red, green and blue; palette formats give 8, 8, 8 for entries)
//   Signed: unsigned luminance/alpha, Q, W, V, U
//   Depth:  -, -, -, stencil, depth
struct PixelFormatInfo {
    D3DFORMAT format;
    FormatKind kind;
    UINT bitsPerPixel;
    UINT channels[5];
    UINT substitute;  // 1: a device search may offer it in place of another format
};
static_assert(sizeof(PixelFormatInfo) == 9 * sizeof(UINT), "a row is nine 32-bit words");

// Score of an unusable candidate in FormatDistance.
constexpr UINT kFormatUnusable = 0xFFFFFFFFu;

// Every row in table order (row 0 is D3DFMT_UNKNOWN). The order decides ties in
// a device's closest-format search.
std::span<const PixelFormatInfo> FormatTable();

// The row of `format`; row 0 (D3DFMT_UNKNOWN) for a format not in the table.
const PixelFormatInfo& GetFormatInfo(D3DFORMAT format);

// How badly `candidate` stands in for `wanted`: 0 is a perfect channel match;
// each channel the candidate lacks costs 0x1000000, each missing bit of a
// channel 0x10000, each extra channel 256 and each extra bit 1.
// kFormatUnusable when the classes do not mix or no channel of `wanted` exists
// in `candidate`.
UINT FormatDistance(const PixelFormatInfo& wanted, const PixelFormatInfo& candidate);

// Best of the D3DFMT_UNKNOWN-terminated `candidates` for `wanted`: an exact
// match at once, else the smallest distance, then the fewest bits per pixel,
// then the earliest. Formats not in the table, and palette formats unless
// `paletteAllowed`, are skipped. D3DFMT_UNKNOWN when none is usable.
D3DFORMAT FindClosestFormat(const D3DFORMAT* candidates, bool paletteAllowed, const PixelFormatInfo& wanted);

// The format reported outside the library: the 16-bit-per-channel extension
// formats map to their 8-bit equivalents (L8, A8L8, R8G8B8, A8R8G8B8); every
// other format maps to itself.
D3DFORMAT ToPublicFormat(D3DFORMAT format);

}  // namespace valmere
