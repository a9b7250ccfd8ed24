// Built with -mavx2. The arithmetic is BilerpPortable's (Bilinear.h): for
// each channel the sum of texel * weight over the four corners, in 16-bit
// halves of 32-bit lanes, shifted by 8, so the bits are the same.
#include "platform/d3d8/raster/WrappedBilinearAvx2.h"

#include <bit>
#include <cmath>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace valmere::raster {
#if defined(__AVX2__)
namespace {

// The pixel order of the kernel: gathered pairs are split by 128-bit lanes,
// which leaves pixels in the order 0 1 4 5 2 3 6 7; this permutation of
// 64-bit chunks maps between that order and the natural one (both ways).
constexpr int kLaneOrder = 0xD8;  // chunks 0, 2, 1, 3

// The bilinear samples of eight pixels at texel positions px, py (8
// fraction bits), in the natural pixel order.
struct WrappedLevelLanes {
    const std::uint32_t* texels;
    __m256i wrapX, wrapY;
    __m128i rowShift;

    WrappedLevelLanes(const std::uint32_t* t, int width, int height)
        : texels(t), wrapX(_mm256_set1_epi32(width - 1)), wrapY(_mm256_set1_epi32(height - 1)),
          rowShift(_mm_cvtsi32_si128(std::countr_zero(static_cast<unsigned>(width)))) {}
};

[[gnu::always_inline]] inline __m256i BilinearEight(const WrappedLevelLanes& level, __m256i px, __m256i py) {
    const __m256i fraction = _mm256_set1_epi32(255), one = _mm256_set1_epi32(1), full = _mm256_set1_epi32(256);
    const __m256i mask = _mm256_set1_epi32(0x00FF00FF);
    const std::uint32_t* texels = level.texels;
    const auto* single = reinterpret_cast<const int*>(texels);
    const __m256i wrapX = level.wrapX, wrapY = level.wrapY;
    const __m128i rowShift = level.rowShift;
    const __m256i column = _mm256_and_si256(_mm256_srai_epi32(px, 8), wrapX);
    const __m256i row = _mm256_and_si256(_mm256_srai_epi32(py, 8), wrapY);
    const __m256i top = _mm256_add_epi32(_mm256_sll_epi32(row, rowShift), column);
    const __m256i bottom = _mm256_add_epi32(
        _mm256_sll_epi32(_mm256_and_si256(_mm256_add_epi32(row, one), wrapY), rowShift), column);
    // One register per corner, pixels in the kernel's order.
    __m256i t00, t10, t01, t11;
    if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(column, wrapX)) == 0) {
        // The pairs (t00, t10) and (t01, t11) side by side in memory,
        // loaded one by one (quicker than gathers on the processors
        // measured) into pixels 0-3 and 4-7.
        alignas(32) std::int32_t index[2][8];
        _mm256_store_si256(reinterpret_cast<__m256i*>(index[0]), top);
        _mm256_store_si256(reinterpret_cast<__m256i*>(index[1]), bottom);
        const auto pair = [texels](std::int32_t at) {
            return _mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels + at));
        };
        const auto four = [&](const std::int32_t* at) {
            return _mm256_castsi256_ps(_mm256_set_m128i(_mm_unpacklo_epi64(pair(at[2]), pair(at[3])),
                                                        _mm_unpacklo_epi64(pair(at[0]), pair(at[1]))));
        };
        const __m256 topLow = four(index[0]), topHigh = four(index[0] + 4);
        const __m256 bottomLow = four(index[1]), bottomHigh = four(index[1] + 4);
        t00 = _mm256_castps_si256(_mm256_shuffle_ps(topLow, topHigh, 0x88));
        t10 = _mm256_castps_si256(_mm256_shuffle_ps(topLow, topHigh, 0xDD));
        t01 = _mm256_castps_si256(_mm256_shuffle_ps(bottomLow, bottomHigh, 0x88));
        t11 = _mm256_castps_si256(_mm256_shuffle_ps(bottomLow, bottomHigh, 0xDD));
    } else {
        // A pixel in the last column: its right neighbour is column 0 of
        // the row, so every corner is gathered on its own.
        const __m256i right = _mm256_sub_epi32(_mm256_and_si256(_mm256_add_epi32(column, one), wrapX), column);
        const auto gather = [single](__m256i index) {
            return _mm256_i32gather_epi32(single, _mm256_permute4x64_epi64(index, kLaneOrder), 4);
        };
        t00 = gather(top);
        t10 = gather(_mm256_add_epi32(top, right));
        t01 = gather(bottom);
        t11 = gather(_mm256_add_epi32(bottom, right));
    }

    const __m256i fx = _mm256_permute4x64_epi64(_mm256_and_si256(px, fraction), kLaneOrder);
    const __m256i fy = _mm256_permute4x64_epi64(_mm256_and_si256(py, fraction), kLaneOrder);
    const __m256i w10 = _mm256_srli_epi32(_mm256_mullo_epi16(fx, _mm256_sub_epi32(full, fy)), 8);
    const __m256i w01 = _mm256_srli_epi32(_mm256_mullo_epi16(_mm256_sub_epi32(full, fx), fy), 8);
    const __m256i w11 = _mm256_srli_epi32(_mm256_mullo_epi16(fx, fy), 8);
    const __m256i w00 = _mm256_sub_epi32(_mm256_sub_epi32(_mm256_sub_epi32(full, w10), w01), w11);
    // Each weight in both 16-bit halves of its lane.
    const auto halves = [](__m256i w) { return _mm256_or_si256(w, _mm256_slli_epi32(w, 16)); };
    const __m256i h00 = halves(w00), h10 = halves(w10), h01 = halves(w01), h11 = halves(w11);
    const auto low = [&](__m256i t, __m256i h) { return _mm256_mullo_epi16(_mm256_and_si256(t, mask), h); };
    const auto high = [&](__m256i t, __m256i h) {
        return _mm256_mullo_epi16(_mm256_and_si256(_mm256_srli_epi32(t, 8), mask), h);
    };
    const __m256i redBlue = _mm256_add_epi16(_mm256_add_epi16(low(t00, h00), low(t10, h10)),
                                             _mm256_add_epi16(low(t01, h01), low(t11, h11)));
    const __m256i alphaGreen = _mm256_add_epi16(_mm256_add_epi16(high(t00, h00), high(t10, h10)),
                                                _mm256_add_epi16(high(t01, h01), high(t11, h11)));
    const __m256i samples = _mm256_or_si256(_mm256_and_si256(_mm256_srli_epi32(redBlue, 8), mask),
                                            _mm256_andnot_si256(mask, alphaGreen));
    return _mm256_permute4x64_epi64(samples, kLaneOrder);
}

// Stores the first n (1..8) of eight samples.
[[gnu::always_inline]] inline void StoreEight(std::uint32_t* out, __m256i samples, int n) {
    if (n >= 8) {
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out), samples);
    } else {
        const __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(n), _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7));
        _mm256_maskstore_epi32(reinterpret_cast<int*>(out), keep, samples);
    }
}

// One coordinate of a perspective run in lanes: the operations of
// RunPositions (PixelDivision.h) in the same order, so the bits are the same.
struct CoordinateLanes {
    __m256 start, step, less;

    explicit CoordinateLanes(const PositionLine& line)
        : start(_mm256_set1_ps(line.start)), step(_mm256_set1_ps(line.step)), less(_mm256_set1_ps(line.less)) {}

    // Pinned: where some position of the run may reach the pinning limits.
    template <bool Pinned>
    [[gnu::always_inline]] __m256i At(__m256 index, __m256 w) const {
        const __m256 a = _mm256_add_ps(start, _mm256_mul_ps(index, step));
        __m256 x = _mm256_sub_ps(_mm256_mul_ps(a, w), less);
        if (Pinned) {
            x = _mm256_min_ps(_mm256_max_ps(x, _mm256_set1_ps(-kTexelPositionLimit)), _mm256_set1_ps(kTexelPositionLimit));
        }
        return _mm256_cvtps_epi32(x);
    }
};

// Pinned: where 1/w or a position may reach its limit somewhere in the run.
template <bool Pinned>
void SampleRunEight(const WrappedLevelLanes& level, const PerspectiveRun& run, const CoordinateLanes& u,
                    const CoordinateLanes& v, int n, std::uint32_t* out) {
    const __m256 q0 = _mm256_set1_ps(run.q.base), dq = _mm256_set1_ps(run.q.step), one = _mm256_set1_ps(1.0f);
    __m256 index = _mm256_add_ps(_mm256_set1_ps(run.X), _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7));
    for (int i = 0; i < n; i += 8, index = _mm256_add_ps(index, _mm256_set1_ps(8.0f))) {
        __m256 q = _mm256_add_ps(q0, _mm256_mul_ps(index, dq));
        if (Pinned) q = _mm256_max_ps(q, _mm256_set1_ps(kSmallestRhw));
        const __m256 w = _mm256_div_ps(one, q);
        StoreEight(out + i, BilinearEight(level, u.At<Pinned>(index, w), v.At<Pinned>(index, w)), n - i);
    }
}

// Whether no limit can be reached inside the run, without a division.
// 1/w is linear along the run and its float values are monotonic in i, so
// its ends bound it. Each position is a / q - less with a = start + i step,
// and a / q is monotonic where q is positive, so the ends bound it too; a
// position stays inside the limit L when |a| < q L / 8 (less is at most
// 128), and the factor of four to spare covers the rounding in between.
bool WithinLimits(const PerspectiveRun& run, const PositionLine& u, const PositionLine& v, int n) {
    const float last = static_cast<float>(n - 1), limit = kTexelPositionLimit / 8;
    for (const float i : {run.X, run.X + last}) {
        const float q = run.q.base + i * run.q.step;
        if (!(q >= 2.0f * kSmallestRhw)) return false;
        if (!(std::fabs(u.start + i * u.step) < q * limit) || !(std::fabs(v.start + i * v.step) < q * limit)) return false;
    }
    return true;
}

}  // namespace

void SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, const std::int32_t* x,
                               const std::int32_t* y, int n, std::uint32_t* out) {
    const WrappedLevelLanes level(texels, width, height);
    for (int i = 0; i < n; i += 8) {
        const __m256i px = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(x + i));
        const __m256i py = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(y + i));
        StoreEight(out + i, BilinearEight(level, px, py), n - i);
    }
}

void SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, const PerspectiveRun& run, int n,
                               std::uint32_t* out) {
    const WrappedLevelLanes level(texels, width, height);
    const PositionLine lineU(run.u, width, true), lineV(run.v, height, true);
    const CoordinateLanes u(lineU), v(lineV);
    if (WithinLimits(run, lineU, lineV, n)) {
        SampleRunEight<false>(level, run, u, v, n, out);
    } else {
        SampleRunEight<true>(level, run, u, v, n, out);
    }
}

#else  // a build without AVX2 code: the SSE2 and portable forms serve

void SampleWrappedBilinearEight(const std::uint32_t*, int, int, const std::int32_t*, const std::int32_t*, int,
                               std::uint32_t*) {}
void SampleWrappedBilinearEight(const std::uint32_t*, int, int, const PerspectiveRun&, int, std::uint32_t*) {}

#endif

}  // namespace valmere::raster
