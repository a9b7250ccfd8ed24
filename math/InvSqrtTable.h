// InvSqrtTable: 512 straight-line pieces of 1/√m for m in [0.5, 2), used by
// the x87 D3DXVec3Normalize.
//
//   entries   0..255: m in [0.5, 1), segments of 1/512
//   entries 256..511: m in [1, 2),   segments of 1/256
//
// Each piece is the tangent at the middle of its segment with the slope
// rounded to 14 bits after the leading one, and the intercept raised so that
// the line meets 1/√m at the farther end of the segment (the line stays on
// or above the curve). The pieces agree with the exact tangents to within
// 6e-5.
#pragma once

#include <array>
#include <cstdint>

namespace valmere::math {

struct InvSqrtPiece {
    float slope;
    float intercept;
};
using InvSqrtTable = std::array<InvSqrtPiece, 512>;

const InvSqrtTable& GetInvSqrtTable();

// 1/√q from the table, q a positive normal float: the piece for the
// mantissa m (with the exponent's low bit, so m in [0.5, 2)) times the power
// of two that restores the halved exponent. Relative error about 2e-5.
float TableInvSqrt(float q);

}  // namespace valmere::math
