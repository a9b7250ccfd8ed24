// Weights of the vector splines, shared by the portable and SIMD code: the
// result is the sum of weight[i]·point[i] in argument order.
#pragma once

#include <array>

namespace valmere::math {

// (p1, t1, p2, t2)
inline std::array<float, 4> HermiteWeights(float s) {
    const float s2 = s * s;
    const float s3 = s2 * s;
    return {2.0f * s3 - 3.0f * s2 + 1.0f, s3 - 2.0f * s2 + s, -2.0f * s3 + 3.0f * s2, s3 - s2};
}

// (p0, p1, p2, p3), the factor ½ folded in.
inline std::array<float, 4> CatmullRomWeights(float s) {
    const float s2 = s * s;
    const float s3 = s2 * s;
    return {0.5f * (-s3 + 2.0f * s2 - s), 0.5f * (3.0f * s3 - 5.0f * s2 + 2.0f), 0.5f * (-3.0f * s3 + 4.0f * s2 + s),
            0.5f * (s3 - s2)};
}

}  // namespace valmere::math
