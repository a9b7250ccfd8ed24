// Built with -mavx2. The arithmetic is BilerpPortable's (Bilinear.h): for
// each channel the sum of texel * weight over the four corners, in 16-bit
// halves of 32-bit lanes, shifted by 8, so the bits are the same.
#include "platform/d3d8/raster/WrappedBilinearAvx2.h"

#include <atomic>
#include <bit>

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace valmere::raster {
namespace {

std::atomic<bool> simdAllowed{true};

}  // namespace

void ForceSimdKernels(bool allowed) { simdAllowed.store(allowed, std::memory_order_relaxed); }

#if defined(__AVX2__)
namespace {

// The pixel order of the kernel: gathered pairs are split by 128-bit lanes,
// which leaves pixels in the order 0 1 4 5 2 3 6 7; this permutation of
// 64-bit chunks maps between that order and the natural one (both ways).
constexpr int kLaneOrder = 0xD8;  // chunks 0, 2, 1, 3

}  // namespace

bool UseAvx2Kernels() {
    static const bool hasAvx2 = __builtin_cpu_supports("avx2") != 0;
    return hasAvx2 && simdAllowed.load(std::memory_order_relaxed);
}

int SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, std::uint32_t x0, std::uint32_t dx,
                               std::uint32_t y0, std::uint32_t dy, int n, std::uint32_t* out) {
    const __m256i lanes = _mm256_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7);
    __m256i x = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(x0)),
                                 _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dx))));
    __m256i y = _mm256_add_epi32(_mm256_set1_epi32(static_cast<int>(y0)),
                                 _mm256_mullo_epi32(lanes, _mm256_set1_epi32(static_cast<int>(dy))));
    const __m256i stepX = _mm256_set1_epi32(static_cast<int>(8 * dx)), stepY = _mm256_set1_epi32(static_cast<int>(8 * dy));
    const __m256i wrapX = _mm256_set1_epi32(width - 1), wrapY = _mm256_set1_epi32(height - 1);
    const __m128i rowShift = _mm_cvtsi32_si128(std::countr_zero(static_cast<unsigned>(width)));
    const __m256i fraction = _mm256_set1_epi32(255), one = _mm256_set1_epi32(1), full = _mm256_set1_epi32(256);
    const __m256i mask = _mm256_set1_epi32(0x00FF00FF);
    const auto* pairs = reinterpret_cast<const long long*>(texels);
    int i = 0;
    for (; i + 8 <= n; i += 8, x = _mm256_add_epi32(x, stepX), y = _mm256_add_epi32(y, stepY)) {
        const __m256i px = _mm256_srai_epi32(x, 8), py = _mm256_srai_epi32(y, 8);
        const __m256i column = _mm256_and_si256(_mm256_srai_epi32(px, 8), wrapX);
        if (_mm256_movemask_epi8(_mm256_cmpeq_epi32(column, wrapX)) != 0) break;
        const __m256i row = _mm256_and_si256(_mm256_srai_epi32(py, 8), wrapY);
        const __m256i top = _mm256_add_epi32(_mm256_sll_epi32(row, rowShift), column);
        const __m256i bottom = _mm256_add_epi32(
            _mm256_sll_epi32(_mm256_and_si256(_mm256_add_epi32(row, one), wrapY), rowShift), column);
        // Pairs (t00, t10) and (t01, t11) of pixels 0-3 and 4-7, then split
        // into one register per corner (pixels in the kernel's order).
        const auto gather = [pairs](__m128i index) { return _mm256_i32gather_epi64(pairs, index, 4); };
        const __m256 topLow = _mm256_castsi256_ps(gather(_mm256_castsi256_si128(top)));
        const __m256 topHigh = _mm256_castsi256_ps(gather(_mm256_extracti128_si256(top, 1)));
        const __m256 bottomLow = _mm256_castsi256_ps(gather(_mm256_castsi256_si128(bottom)));
        const __m256 bottomHigh = _mm256_castsi256_ps(gather(_mm256_extracti128_si256(bottom, 1)));
        const __m256i t00 = _mm256_castps_si256(_mm256_shuffle_ps(topLow, topHigh, 0x88));
        const __m256i t10 = _mm256_castps_si256(_mm256_shuffle_ps(topLow, topHigh, 0xDD));
        const __m256i t01 = _mm256_castps_si256(_mm256_shuffle_ps(bottomLow, bottomHigh, 0x88));
        const __m256i t11 = _mm256_castps_si256(_mm256_shuffle_ps(bottomLow, bottomHigh, 0xDD));

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
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permute4x64_epi64(samples, kLaneOrder));
    }
    return i;
}

#else  // a build without AVX2 code: the SSE2 and portable forms serve

bool UseAvx2Kernels() { return false; }

int SampleWrappedBilinearEight(const std::uint32_t*, int, int, std::uint32_t, std::uint32_t, std::uint32_t,
                               std::uint32_t, int, std::uint32_t*) {
    return 0;
}

#endif

}  // namespace valmere::raster
