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

// A value linear along a scanline: base + step (X + i) at pixel i of a run
// whose first pixel lies at X from the triangle's plane origin. X + i is
// exact, so a pixel's value does not depend on the run it falls in.
struct RowLine {
    float base, step;
};

// Both texture coordinates of one stage over a run of pixels:
//   w_i = 1 / max(q_i, kSmallestRhw),  u_i = a_i w_i,  v_i = b_i w_i,
// q, a and b being the row lines of 1/w, u / w and v / w.
struct PerspectiveRun {
    float X;
    RowLine q, u, v;
};

// Texel positions limits: positions are pinned to +-kTexelPositionLimit
// before rounding, NaN to the lower end; every address mode then still
// reads a texel of the level.
constexpr float kTexelPositionLimit = 1073741824.0f;

// One coordinate of a run as texel positions with 8 fraction bits on a
// level `size` texels long, the texel centre offset taken off for
// bilinear filtering (the integer part is then the texel left of the
// sample, the fraction its weight):
//   position_i = round((base S + step S (X + i)) w_i - less),
// less = 128 for bilinear (else 0), S = 256 size, rounded to nearest, ties
// to even. The coordinate is scaled before the division, so positions cost
// two multiplies and two additions a pixel.
struct PositionLine {
    float start, step, less;

    PositionLine(const RowLine& a, int size, bool linear) {
        const float scale = static_cast<float>(size) * 256.0f;
        start = a.base * scale;
        step = a.step * scale;
        less = linear ? 128.0f : 0.0f;
    }
};

inline float PinPosition(float x) {
    return x > kTexelPositionLimit ? kTexelPositionLimit : (x >= -kTexelPositionLimit ? x : -kTexelPositionLimit);
}

// Positions of pixels first..first + n - 1 of a run whose first pixel lies
// at X, into out[0..n).
inline void RunPositions(const PositionLine& line, float X, const float* w, int first, int n, std::int32_t* out) {
    int k = 0;
#if defined(__SSE2__)
    const __m128 start = _mm_set1_ps(line.start), step = _mm_set1_ps(line.step), less = _mm_set1_ps(line.less);
    const __m128 high = _mm_set1_ps(kTexelPositionLimit), low = _mm_set1_ps(-kTexelPositionLimit);
    const float f = X + static_cast<float>(first);
    __m128 index = _mm_setr_ps(f, f + 1.0f, f + 2.0f, f + 3.0f);
    for (; k + 4 <= n; k += 4, index = _mm_add_ps(index, _mm_set1_ps(4.0f))) {
        const __m128 a = _mm_add_ps(start, _mm_mul_ps(index, step));
        const __m128 x = _mm_sub_ps(_mm_mul_ps(a, _mm_loadu_ps(w + first + k)), less);
        // max(NaN, low) is low; min keeps the ordered value.
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + k), _mm_cvtps_epi32(_mm_min_ps(_mm_max_ps(x, low), high)));
    }
#endif
    for (; k < n; ++k) {
        const float a = line.start + (X + static_cast<float>(first + k)) * line.step;
        out[k] = static_cast<std::int32_t>(std::nearbyint(PinPosition(a * w[first + k] - line.less)));
    }
}

// w[i] = 1 / max(q_i, kSmallestRhw) for the n pixels of a run at X.
inline void RunReciprocals(const RowLine& q, float X, int n, float* w) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 one = _mm_set1_ps(1.0f), floor = _mm_set1_ps(kSmallestRhw), step = _mm_set1_ps(q.step);
    const __m128 start = _mm_set1_ps(q.base);
    __m128 index = _mm_setr_ps(X, X + 1.0f, X + 2.0f, X + 3.0f);
    for (; i + 4 <= n; i += 4, index = _mm_add_ps(index, _mm_set1_ps(4.0f))) {
        const __m128 qi = _mm_max_ps(_mm_add_ps(start, _mm_mul_ps(index, step)), floor);
        _mm_storeu_ps(w + i, _mm_div_ps(one, qi));
    }
#endif
    for (; i < n; ++i) {
        const float qi = q.base + (X + static_cast<float>(i)) * q.step;
        w[i] = 1.0f / (qi > kSmallestRhw ? qi : kSmallestRhw);
    }
}

// out[i] = a_i w[i]: an attribute at every pixel of a run at X.
inline void RunAttribute(const RowLine& a, float X, const float* w, int n, float* out) {
    int i = 0;
#if defined(__SSE2__)
    const __m128 start = _mm_set1_ps(a.base), step = _mm_set1_ps(a.step);
    __m128 index = _mm_setr_ps(X, X + 1.0f, X + 2.0f, X + 3.0f);
    for (; i + 4 <= n; i += 4, index = _mm_add_ps(index, _mm_set1_ps(4.0f))) {
        const __m128 ai = _mm_add_ps(start, _mm_mul_ps(index, step));
        _mm_storeu_ps(out + i, _mm_mul_ps(ai, _mm_loadu_ps(w + i)));
    }
#endif
    for (; i < n; ++i) out[i] = (a.base + (X + static_cast<float>(i)) * a.step) * w[i];
}

}  // namespace valmere::raster
