// Float-to-integer conversion of the pixel codecs and the DXT encoder.
//
// The conversion is n = truncate(float32(v * s + d)): the product and the sum
// are each rounded to a 32-bit float (round to nearest, the mode the process
// runs in), then the result is truncated toward zero. That is what the
// encoders historically got by switching the FPU to truncation only for the
// final float-to-integer store; here a plain cast truncates, so no rounding
// mode is saved or switched and rows may be encoded on any thread.
#pragma once

#include <cmath>
#include <cstdint>

namespace valmere {

// Truncates toward zero. Values beyond +-2^30 saturate there and NaN gives 0,
// so that out-of-range input can never reach an undefined conversion.
inline std::int32_t TruncateTowardZero(float x) {
    constexpr float kLimit = 1073741824.0f;
    if (!(x > -kLimit)) return std::isnan(x) ? 0 : -static_cast<std::int32_t>(kLimit);
    if (!(x < kLimit)) return static_cast<std::int32_t>(kLimit);
    return static_cast<std::int32_t>(x);
}

// truncate(float32(float32(v * scale) + bias)).
inline std::int32_t QuantizeTruncate(float v, float scale, float bias) {
    const float product = v * scale;
    const float sum = product + bias;
    return TruncateTowardZero(sum);
}

// v clamped to [lo, hi]; NaN gives lo.
inline float ClampChannel(float v, float lo, float hi) {
    if (!(v >= lo)) return lo;
    return v > hi ? hi : v;
}

}  // namespace valmere
