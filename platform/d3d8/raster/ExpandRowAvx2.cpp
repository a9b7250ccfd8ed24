// Built with -mavx2: the SSE2 groups of ExpandRowR5G6B5 (TargetFormats.h),
// twice as wide; integer operations only, so the bits are the same.
#include "platform/d3d8/raster/ExpandRowAvx2.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace valmere::raster {

int ExpandRowR5G6B5Avx2(const std::uint16_t* row, int n, std::uint32_t* out) {
    int x = 0;
#if defined(__AVX2__)
    const __m256i five = _mm256_set1_epi16(0x1F), six = _mm256_set1_epi16(0x3F);
    for (; x + 16 <= n; x += 16) {
        const __m256i p = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + x));
        const __m256i r = _mm256_srli_epi16(p, 11);
        const __m256i g = _mm256_and_si256(_mm256_srli_epi16(p, 5), six);
        const __m256i b = _mm256_and_si256(p, five);
        const __m256i r8 = _mm256_or_si256(_mm256_slli_epi16(r, 3), _mm256_srli_epi16(r, 2));
        const __m256i g8 = _mm256_or_si256(_mm256_slli_epi16(g, 2), _mm256_srli_epi16(g, 4));
        const __m256i b8 = _mm256_or_si256(_mm256_slli_epi16(b, 3), _mm256_srli_epi16(b, 2));
        const __m256i greenBlue = _mm256_or_si256(_mm256_slli_epi16(g8, 8), b8);
        // The unpacks work within 128-bit lanes: pixels 0-3 and 8-11 come
        // out of the low one, 4-7 and 12-15 of the high one.
        const __m256i low = _mm256_unpacklo_epi16(greenBlue, r8), high = _mm256_unpackhi_epi16(greenBlue, r8);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x), _mm256_permute2x128_si256(low, high, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + x + 8), _mm256_permute2x128_si256(low, high, 0x31));
    }
#else
    static_cast<void>(row);
    static_cast<void>(n);
    static_cast<void>(out);
#endif
    return x;
}

}  // namespace valmere::raster
