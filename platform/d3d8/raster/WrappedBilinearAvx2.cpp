// Built with -mavx2. The arithmetic is BilerpPortable's (Bilinear.h): for
// each channel the sum of texel * weight over the four corners, in 16-bit
// halves of 32-bit lanes, shifted by 8, so the bits are the same.
#include "platform/d3d8/raster/WrappedBilinearAvx2.h"

#include <bit>

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

}  // namespace

void SampleWrappedBilinearEight(const std::uint32_t* texels, int width, int height, std::uint32_t x0, std::uint32_t dx,
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
    const auto* single = reinterpret_cast<const int*>(texels);
    for (int i = 0; i < n; i += 8, x = _mm256_add_epi32(x, stepX), y = _mm256_add_epi32(y, stepY)) {
        const __m256i px = _mm256_srai_epi32(x, 8), py = _mm256_srai_epi32(y, 8);
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
        const __m256i ordered = _mm256_permute4x64_epi64(samples, kLaneOrder);
        if (i + 8 <= n) {
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), ordered);
        } else {
            // Lanes past n sampled valid (wrapped) texels; only n - i are kept.
            const __m256i keep = _mm256_cmpgt_epi32(_mm256_set1_epi32(n - i), lanes);
            _mm256_maskstore_epi32(reinterpret_cast<int*>(out + i), keep, ordered);
        }
    }
}

#else  // a build without AVX2 code: the SSE2 and portable forms serve

void SampleWrappedBilinearEight(const std::uint32_t*, int, int, std::uint32_t, std::uint32_t, std::uint32_t,
                               std::uint32_t, int, std::uint32_t*) {}

#endif

}  // namespace valmere::raster
