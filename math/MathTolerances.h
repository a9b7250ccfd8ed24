// The two tolerances of the math library and the normalisation rule of the
// portable code.
#pragma once

#include <cmath>

namespace valmere::math {

// |a − b| ≤ 2⁻²³ (FLT_EPSILON)
inline constexpr float kNearTolerance = 1.1920929e-7f;
// A squared length at or below 2⁻¹²⁶ (FLT_MIN) counts as zero.
inline constexpr float kTinyLengthSq = 1.1754944e-38f;

inline bool IsNear(float a, float b) { return std::fabs(a - b) <= kNearTolerance; }

// Scales `count` components so that the first `lengthCount` of them have
// unit length: unchanged when their squared length is near 1 (no write when
// out is in), zero when it is tiny, otherwise times 1/√L.
inline void NormalizeComponents(float* out, const float* in, int count, int lengthCount) {
    float lengthSq = 0.0f;
    for (int i = 0; i < lengthCount; ++i) lengthSq += in[i] * in[i];
    if (IsNear(lengthSq, 1.0f)) {
        if (out != in) {
            for (int i = 0; i < count; ++i) out[i] = in[i];
        }
        return;
    }
    const float scale = lengthSq <= kTinyLengthSq ? 0.0f : 1.0f / std::sqrt(lengthSq);
    for (int i = 0; i < count; ++i) out[i] = in[i] * scale;
}

}  // namespace valmere::math
