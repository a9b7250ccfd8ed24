// The blitter: moves the source region of one LockedPixels into the
// destination region of another, converting the format and, when the sizes
// differ, resampling with the filter word. It tries ten strategies in order;
// each either declines (it does not apply, or anything it needs fails) or
// does the whole blit:
//
//    1 raw copy            same format, no colour key, same size: bytes
//    2 converting copy     same size: decode row, encode row
//    3 unfiltered crop     NONE: copy what both have, transparent black beyond
//    4 point resample      POINT: 16.16 stepping
//    5, 6 box halving      BOX, each extent halved (2D and volumes)
//    7, 8 linear resample  LINEAR: two taps per axis
//    9, 10 triangle        anything else: the tent filter, streamed
#pragma once

#include "texture/codec/LockedPixels.h"

namespace valmere {

// True when the filter word is usable: a type 1 to 5 and no flags outside
// MIRROR_U/V/W and DITHER.
bool IsValidFilter(DWORD filter);

// S_OK; D3DERR_INVALIDCALL for a bad filter word; E_FAIL when a format has no
// codec or every strategy declines; E_OUTOFMEMORY when a kind remapping
// buffer cannot be had. Sets destination.dither from D3DX_FILTER_DITHER.
HRESULT Blit(LockedPixels& destination, const LockedPixels& source, DWORD filter);

}  // namespace valmere
