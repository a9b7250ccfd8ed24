// How a codec's four floats are to be read, and remapping between kinds.
#pragma once

#include "math/D3DXColor.h"

namespace valmere {

enum class NumericKind : UINT {
    Same = 0,        // as a source kind: no remapping
    Unsigned = 1,    // r, g, b, a in 0..1
    SignedRgb = 2,   // r, g, b in -1..1; a in 0..1
    SignedRgba = 3,  // all four in -1..1
};

// Rewrites `count` pixels of kind `source` as kind `destination` into `out`
// (which may be `in`): signed channels map -1..1 to 0..1 by (x + 1) / 2 and
// unsigned ones back by 2x - 1; channels of the same kind are copied.
void RemapRowKind(D3DXCOLOR* out, const D3DXCOLOR* in, UINT count, NumericKind destination, NumericKind source);

}  // namespace valmere
