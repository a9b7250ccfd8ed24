// Bit-field bitmaps whose masks are no row of the bitmap table (masks in
// another order, alpha in the low byte, 4-4-4-4 with alpha last, 2-3-1,
// 11-11-10, ...), of 16, 24 or 32 bits a pixel. Each mask must be one run of
// bits inside the pixel, the
// masks must not overlap, and no channel may be wider than 16 bits. The
// pixels are converted into the table format that holds every channel
// without loss:
//
//   every channel 8 bits or fewer           A8R8G8B8 (with an alpha mask),
//                                           else X8R8G8B8
//   colour 10 bits or fewer, alpha 2 or     A2B10G10R10 (alpha 3 without a
//   fewer                                   mask)
//   otherwise                               the 16-bit-per-channel AR16, or
//                                           R16 without alpha
//
// A channel of n bits becomes round(v x (2^m - 1) / (2^n - 1)) in the m bits
// of the target; a colour channel without a mask is 0.
#pragma once

#include "platform/d3d8/D3D8Types.h"

namespace valmere {

struct BitfieldChannel {
    UINT shift;  // lowest bit
    UINT bits;   // 0: the channel has no mask
};

struct Bitfields {
    BitfieldChannel red, green, blue, alpha;
    D3DFORMAT target;
};

// False when the bit count or the masks break the rules above, or the masks
// give no colour channel.
bool ParseBitfields(UINT red, UINT green, UINT blue, UINT alpha, UINT bitCount, Bitfields& out);

// One row: `width` pixels of `pixelBytes` (2, 3 or 4) little-endian bytes
// into `out` in the target format.
void ConvertBitfieldRow(const Bitfields& fields, const BYTE* in, UINT pixelBytes, BYTE* out, UINT width);

}  // namespace valmere
