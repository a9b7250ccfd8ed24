// Four-float vectors (GCC/Clang vector extensions): SSE registers on x86-64,
// NEON on ARM, plain scalar code elsewhere, from one source. The DXT decoder
// keeps a colour's r, g, b, a in one Float4; the encoder keeps one value of
// four blocks side by side (BlockLanes.h).
#pragma once

#include "math/D3DXColor.h"

#include <bit>
#include <cstdint>
#include <cstring>

namespace valmere {

using Float4 = float __attribute__((vector_size(16)));
using Int4 = std::int32_t __attribute__((vector_size(16)));
using UInt4 = std::uint32_t __attribute__((vector_size(16)));

inline Float4 Load4(const D3DXCOLOR& c) {
    Float4 v;
    std::memcpy(&v, &c, sizeof v);
    return v;
}

inline void Store4(D3DXCOLOR& c, Float4 v) { std::memcpy(&c, &v, sizeof v); }

inline Float4 Min4(Float4 a, Float4 b) { return a < b ? a : b; }
// NaN in `a` gives `b`.
inline Float4 Max4(Float4 a, Float4 b) { return a > b ? a : b; }

// Truncation toward zero of each lane; lanes are held to +-2^30 first (and
// NaN to -2^30) so that the conversion is always defined.
inline Int4 TruncateLanes(Float4 v) {
    constexpr float kLimit = 1073741824.0f;
    const Float4 held = Min4(Max4(v, Float4{-kLimit, -kLimit, -kLimit, -kLimit}), Float4{kLimit, kLimit, kLimit, kLimit});
    return __builtin_convertvector(held, Int4);
}

// The same for lanes known to lie within +-2^30 (no NaN).
inline Int4 TruncateInRange(Float4 v) { return __builtin_convertvector(v, Int4); }

// The value of position trunc(x) from values[0 .. count - 1], for lanes with
// 0 <= x < count. The comparisons give the position's mask directly, so no
// conversion to integers lies on the way to the value.
inline Float4 PickByPosition(Float4 x, const Float4* values, int count) {
    Int4 picked = {};
    Int4 reached = ~Int4{};  // x >= p
    for (int p = 0; p < count; ++p) {
        const Int4 next = p + 1 < count ? x >= static_cast<float>(p + 1) : Int4{};
        picked |= (reached & ~next) & std::bit_cast<Int4>(values[p]);
        reached = next;
    }
    return std::bit_cast<Float4>(picked);
}

inline Float4 ToFloat4(Int4 v) { return __builtin_convertvector(v, Float4); }

// Lane masks are all ones (true) or zero (false).
inline bool AnyLane(Int4 mask) { return (mask[0] | mask[1] | mask[2] | mask[3]) != 0; }

}  // namespace valmere
