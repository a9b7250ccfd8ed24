// Perspective-correct interpolation over a run: 1/w and every attribute / w
// are linear along the scanline; each pixel divides them at its own centre.
// The SSE2 forms and the portable ones do the same float operations in the
// same order (one true division per pixel, no reciprocal estimate), so
// they give the same bits.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d8/raster/PipelineTypes.h"

namespace valmere::raster {

// The floor of 1/w: it keeps pixels at the very edge of a triangle finite
// where rounding leaves 1/w at or below zero.
constexpr float kSmallestRhw = 1e-30f;

// Both texture coordinates of one stage over a run of pixels, pixel i = 0
// being the run's first:
//   w_i = 1 / max(q0 + i dq, kSmallestRhw),
//   u_i = (u0 + i du) w_i,  v_i = (v0 + i dv) w_i.
struct PerspectiveRun {
    float q0, dq;
    float u0, du;
    float v0, dv;
};

// Texel positions limits: positions are pinned to +-kTexelPositionLimit
// before rounding, NaN to the lower end; every address mode then still
// reads a texel of the level.
constexpr float kTexelPositionLimit = 1073741824.0f;

// One coordinate of a run as texel positions with 8 fraction bits on a
// level `size` texels long, the texel centre offset taken off for
// bilinear filtering (the integer part is then the texel left of the
// sample, the fraction its weight):
//   position_i = round((start + i step) w_i - less),
// start = a0 S, step = da S, less = 128 for bilinear (else 0), S = 256
// size, rounded to nearest, ties to even. The coordinate is scaled before
// the division, so positions cost two multiplies and two additions a pixel.
struct PositionLine {
    float start, step, less;

    PositionLine(float a0, float da, int size, bool linear) {
        const float scale = static_cast<float>(size) * 256.0f;
        start = a0 * scale;
        step = da * scale;
        less = linear ? 128.0f : 0.0f;
    }
};

inline float PinPosition(float x) {
    return x > kTexelPositionLimit ? kTexelPositionLimit : (x >= -kTexelPositionLimit ? x : -kTexelPositionLimit);
}

// Positions of pixels first..first + n - 1 of the run into out[0..n).
inline void RunPositions(const PositionLine& line, const float* w, int first, int n, std::int32_t* out) {
    int k = 0;
#if defined(__SSE2__)
    const __m128 start = _mm_set1_ps(line.start), step = _mm_set1_ps(line.step), less = _mm_set1_ps(line.less);
    const __m128 high = _mm_set1_ps(kTexelPositionLimit), low = _mm_set1_ps(-kTexelPositionLimit);
    const float f = static_cast<float>(first);
    __m128 index = _mm_setr_ps(f, f + 1.0f, f + 2.0f, f + 3.0f);
    for (; k + 4 <= n; k += 4, index = _mm_add_ps(index, _mm_set1_ps(4.0f))) {
        const __m128 a = _mm_add_ps(start, _mm_mul_ps(index, step));
        const __m128 x = _mm_sub_ps(_mm_mul_ps(a, _mm_loadu_ps(w + first + k)), less);
        // max(NaN, low) is low; min keeps the ordered value.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(x, low), high)));
    }
#endif
    for (; k < n; ++k) {
        const float a = line.start + static_cast<float>(first + k) * line.step;
        out[k] = static_cast<std::int32_t>(std::nearbyint(PinPosition(a * w[first + k] - line.less)));
    }
}

// w[i] = 1 / max(q0 + i dq, kSmallestRhw) for the n pixels of a run.
inline void RunReciprocals(float q0, float dq, int n, float* w) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 one = _mm_set1_ps(1.0f), floor = _mm_set1_ps(kSmallestRhw), step = _mm_set1_ps(dq);
    const __m128 start = _mm_set1_ps(q0);
    __m128 index = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);
    for (; i + 4 <= n; i += 4, index = _mm_add_ps(index, _mm_set1_ps(4.0f))) {
        const __m128 q = _mm_max_ps(_mm_add_ps(start, _mm_mul_ps(index, step)), floor);
        _mm_storeu_ps(w + i, _mm_div_ps(one, q));
    }
#endif
    for (; i < n; ++i) {
        const float q = q0 + static_cast<float>(i) * dq;
        w[i] = 1.0f / (q > kSmallestRhw ? q : kSmallestRhw);
    }
}

// out[i] = (a0 + i da) w[i]: an attribute at every pixel.
inline void RunAttribute(float a0, float da, const float* w, int n, float* out) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 start = _mm_set1_ps(a0), step = _mm_set1_ps(da);
    __m128 index = _mm_setr_ps(0.0f, 1.0f, 2.0f, 3.0f);
    for (; i + 4 <= n; i += 4, index = _mm_add_ps(index, _mm_set1_ps(4.0f))) {
        const __m128 a = _mm_add_ps(start, _mm_mul_ps(index, step));
        _mm_storeu_ps(out + i, _mm_mul_ps(a, _mm_loadu_ps(w + i)));
    }
#endif
    for (; i < n; ++i) out[i] = (a0 + static_cast<float>(i) * da) * w[i];
}

}  // namespace valmere::raster
