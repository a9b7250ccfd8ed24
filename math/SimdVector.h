// Helpers over SSE registers for the SSE and SSE2 variant sets. The two sets
// are the same templates instantiated with SseIsa or Sse2Isa, which differ in
// how lanes are shuffled and how pairs of floats are loaded (SSE2 uses the
// integer and double forms). Partial loads and stores touch only the
// components of the type, never the bytes after it.
#pragma once

#include <emmintrin.h>
#include <xmmintrin.h>

#include <cstring>

namespace valmere::math::simd {

struct SseIsa {
    template <int I0, int I1, int I2, int I3>
    static __m128 Shuffle(__m128 v) {
        return _mm_shuffle_ps(v, v, _MM_SHUFFLE(I3, I2, I1, I0));
    }
    static __m128 Load2(const float* p) {
        return _mm_loadl_pi(_mm_setzero_ps(), reinterpret_cast<const __m64*>(p));
    }
};

struct Sse2Isa {
    template <int I0, int I1, int I2, int I3>
    static __m128 Shuffle(__m128 v) {
        return _mm_castsi128_ps(_mm_shuffle_epi32(_mm_castps_si128(v), _MM_SHUFFLE(I3, I2, I1, I0)));
    }
    // The pair is copied as one 8-byte value (a single movsd): the floats
    // need not be aligned as a double would be.
    static __m128 Load2(const float* p) {
        double pair;
        std::memcpy(&pair, p, sizeof pair);
        return _mm_castpd_ps(_mm_set_sd(pair));
    }
};

template <typename Isa, int I>
inline __m128 Splat(__m128 v) {
    return Isa::template Shuffle<I, I, I, I>(v);
}

// Loads N components into lanes 0..N−1, zero above.
template <typename Isa, int N>
inline __m128 Load(const float* p) {
    if constexpr (N == 2) {
        return Isa::Load2(p);
    } else if constexpr (N == 3) {
        return _mm_movelh_ps(Isa::Load2(p), _mm_load_ss(p + 2));
    } else {
        return _mm_loadu_ps(p);
    }
}

template <int N>
inline void Store(float* p, __m128 v) {
    if constexpr (N == 4) {
        _mm_storeu_ps(p, v);
    } else {
        _mm_storel_pi(reinterpret_cast<__m64*>(p), v);
        if constexpr (N == 3) _mm_store_ss(p + 2, _mm_movehl_ps(v, v));
    }
}

struct Rows {
    __m128 r[4];
};

inline Rows LoadRows(const float* m) {
    return {{_mm_loadu_ps(m), _mm_loadu_ps(m + 4), _mm_loadu_ps(m + 8), _mm_loadu_ps(m + 12)}};
}

inline void StoreRows(float* m, const Rows& rows) {
    for (int i = 0; i < 4; ++i) _mm_storeu_ps(m + 4 * i, rows.r[i]);
}

// Each component of a vector in every lane of its own register.
struct Splats {
    __m128 c[4];
};

// The N components at p, each broadcast by a scalar load and one shuffle:
// fewer operations than a vector load followed by N shuffles.
template <typename Isa, int N>
inline Splats SplatComponents(const float* p) {
    Splats s{};
    for (int i = 0; i < N; ++i) s.c[i] = Splat<Isa, 0>(_mm_load_ss(p + i));
    return s;
}

// The lanes of a vector already in a register.
template <typename Isa>
inline Splats SplatLanes(__m128 v) {
    return {{Splat<Isa, 0>(v), Splat<Isa, 1>(v), Splat<Isa, 2>(v), Splat<Isa, 3>(v)}};
}

// (x, y, z, w) · M; the terms for the components at and above `Lanes` are
// left out (Lanes = 3 with AddRow3 gives w = 1). The sums run in the same
// order as the portable code, so results agree bit for bit.
template <int Lanes, bool AddRow3>
inline __m128 TransformLanes(const Splats& v, const Rows& m) {
    __m128 sum = _mm_mul_ps(v.c[0], m.r[0]);
    sum = _mm_add_ps(sum, _mm_mul_ps(v.c[1], m.r[1]));
    if constexpr (Lanes > 2) sum = _mm_add_ps(sum, _mm_mul_ps(v.c[2], m.r[2]));
    if constexpr (Lanes > 3) sum = _mm_add_ps(sum, _mm_mul_ps(v.c[3], m.r[3]));
    if constexpr (AddRow3) sum = _mm_add_ps(sum, m.r[3]);
    return sum;
}

// The sum of the lanes below N, in every lane.
template <typename Isa, int N>
inline __m128 HorizontalSum(__m128 v) {
    if constexpr (N == 4) {
        const __m128 pairs = _mm_add_ps(v, Isa::template Shuffle<1, 0, 3, 2>(v));
        return _mm_add_ps(pairs, Isa::template Shuffle<2, 3, 0, 1>(pairs));
    } else {
        __m128 sum = _mm_add_ps(Splat<Isa, 0>(v), Splat<Isa, 1>(v));
        if constexpr (N == 3) sum = _mm_add_ps(sum, Splat<Isa, 2>(v));
        return sum;
    }
}

template <typename Isa, int N>
inline __m128 Dot(__m128 a, __m128 b) {
    return HorizontalSum<Isa, N>(_mm_mul_ps(a, b));
}

// 1/x: the rcp estimate (12 bits) refined once by Newton-Raphson,
// r′ = 2r − x·r² (about 23 bits), as (r + r) − (x·r)·r: four operations and
// no constant to load.
inline __m128 ReciprocalRefined(__m128 x) {
    const __m128 r = _mm_rcp_ps(x);
    return _mm_sub_ps(_mm_add_ps(r, r), _mm_mul_ps(_mm_mul_ps(x, r), r));
}

// 1/√x: the rsqrt estimate (12 bits) refined once, r′ = 0.5·r·(3 − x·r²).
inline __m128 InvSqrtRefined(__m128 x) {
    const __m128 r = _mm_rsqrt_ps(x);
    const __m128 xrr = _mm_mul_ps(x, _mm_mul_ps(r, r));
    return _mm_mul_ps(_mm_mul_ps(_mm_set1_ps(0.5f), r), _mm_sub_ps(_mm_set1_ps(3.0f), xrr));
}

// v scaled so that its first N lanes have unit length; zero when their
// squared length is below 2⁻⁴⁶, where the estimate would overflow.
template <typename Isa, int N>
inline __m128 NormalizeLanes(__m128 v, __m128 lengthOf) {
    const __m128 q = Dot<Isa, N>(lengthOf, lengthOf);
    const __m128 usable = _mm_cmpge_ps(q, _mm_set1_ps(1.421085e-14f));
    return _mm_and_ps(usable, _mm_mul_ps(v, InvSqrtRefined(q)));
}

inline float FirstLane(__m128 v) { return _mm_cvtss_f32(v); }

// IsNear(lane 0, 1) on the bits: the floats within 2⁻²³ of 1 are
// 1 − 2⁻²³, 1 − 2⁻²⁴, 1 and 1 + 2⁻²³, four consecutive encodings from
// 0x3F7FFFFE. One move to an integer register and a compare keep the test
// off the floating-point ports.
inline bool FirstLaneNearOne(__m128 v) {
    const auto bits = static_cast<unsigned>(_mm_cvtsi128_si32(_mm_castps_si128(v)));
    return bits - 0x3F7FFFFEu <= 3u;
}

// std::isfinite(lane 0): the exponent bits are not all ones.
inline bool FirstLaneFinite(__m128 v) {
    const auto bits = static_cast<unsigned>(_mm_cvtsi128_si32(_mm_castps_si128(v)));
    return (bits & 0x7F800000u) != 0x7F800000u;
}

}  // namespace valmere::math::simd
