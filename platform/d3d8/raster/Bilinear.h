// The bilinear blend of four 0xAARRGGBB texels with 8-bit fractions, in a
// portable form and an SSE2 form that give the same bits.
//
// Weights (fx, fy in 0..255, 256 = one texel):
//   w10 = fx (256 - fy) >> 8,  w01 = (256 - fx) fy >> 8,  w11 = fx fy >> 8,
//   w00 = 256 - w10 - w01 - w11,
// so the weights sum to exactly 256 and a constant texture stays constant;
// each channel is (sum of texel * weight) >> 8.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace valmere::raster {

struct BilinearWeights {
    std::uint32_t w00, w10, w01, w11;
};

inline BilinearWeights MakeBilinearWeights(std::uint32_t fx, std::uint32_t fy) {
    const std::uint32_t w10 = (fx * (256 - fy)) >> 8, w01 = ((256 - fx) * fy) >> 8, w11 = (fx * fy) >> 8;
    return {256 - w10 - w01 - w11, w10, w01, w11};
}

// Red and blue, then alpha and green, in two 16-bit lanes of one 32-bit
// product each (a channel times a weight stays below 2^16).
inline std::uint32_t BilerpPortable(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11,
                                    std::uint32_t fx, std::uint32_t fy) {
    const BilinearWeights w = MakeBilinearWeights(fx, fy);
    constexpr std::uint32_t kMask = 0x00FF00FFu;
    const std::uint32_t rb =
        (t00 & kMask) * w.w00 + (t10 & kMask) * w.w10 + (t01 & kMask) * w.w01 + (t11 & kMask) * w.w11;
    const std::uint32_t ag = ((t00 >> 8) & kMask) * w.w00 + ((t10 >> 8) & kMask) * w.w10 +
                             ((t01 >> 8) & kMask) * w.w01 + ((t11 >> 8) & kMask) * w.w11;
    return ((rb >> 8) & kMask) | (ag & ~kMask);
}

#if defined(__SSE2__)
// Each row's pair of texels is interleaved channel by channel into 16-bit
// lanes, so one multiply-add per row gives texel * weight summed over the
// pair, per channel in 32-bit lanes.
inline std::uint32_t BilerpSse2(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11,
                                std::uint32_t fx, std::uint32_t fy) {
    const BilinearWeights w = MakeBilinearWeights(fx, fy);
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(t00)), _mm_cvtsi32_si128(static_cast<int>(t10))), zero);
    const __m128i bottom = _mm_unpacklo_epi8(
        _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(t01)), _mm_cvtsi32_si128(static_cast<int>(t11))), zero);
    const __m128i topWeights = _mm_set1_epi32(static_cast<int>(w.w00 | (w.w10 << 16)));
    const __m128i bottomWeights = _mm_set1_epi32(static_cast<int>(w.w01 | (w.w11 << 16)));
    const __m128i sum = _mm_add_epi32(_mm_madd_epi16(top, topWeights), _mm_madd_epi16(bottom, bottomWeights));
    const __m128i channels = _mm_srli_epi32(sum, 8);
    const __m128i words = _mm_packs_epi32(channels, channels);
    return static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(words, words)));
}

// Texel products of one pixel of BilerpFour: 16-bit lanes 0-3 hold
// t00 * w00 + t01 * w01 per channel, lanes 4-7 t10 * w10 + t11 * w11.
// Every sum stays below 255 * 256, so 16-bit lanes suffice.
template <int Pixel>
inline __m128i WeightedPairs(const std::uint32_t* texels, const std::int32_t* top, const std::int32_t* bottom,
                             __m128i topWeights, __m128i bottomWeights) {
    constexpr int kBroadcast = Pixel * 0x55;
    const __m128i zero = _mm_setzero_si128();
    const __m128i wt = _mm_shufflehi_epi16(_mm_shufflelo_epi16(topWeights, kBroadcast), kBroadcast);
    const __m128i wb = _mm_shufflehi_epi16(_mm_shufflelo_epi16(bottomWeights, kBroadcast), kBroadcast);
    const __m128i t = _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels + top[Pixel])), zero);
    const __m128i b =
        _mm_unpacklo_epi8(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(texels + bottom[Pixel])), zero);
    return _mm_add_epi16(_mm_mullo_epi16(t, wt), _mm_mullo_epi16(b, wb));
}

// Four bilinear samples at once. Pixel k reads the texels t00, t10 side by
// side at texels + top[k] and t01, t11 at texels + bottom[k]; fx and fy
// hold the fractions (0..255) in 32-bit lanes. Gives the bits of
// BilerpPortable. Always inlined: as a call, its inputs and the caller's
// loop state go through memory.
[[gnu::always_inline]] inline __m128i BilerpFour(const std::uint32_t* texels, const std::int32_t top[4], const std::int32_t bottom[4],
                          __m128i fx, __m128i fy) {
    // Lanes hold at most 256 * 256 before the shift: 16-bit products suffice.
    const __m128i full = _mm_set1_epi32(256);
    const __m128i w10 = _mm_srli_epi32(_mm_mullo_epi16(fx, _mm_sub_epi32(full, fy)), 8);
    const __m128i w01 = _mm_srli_epi32(_mm_mullo_epi16(_mm_sub_epi32(full, fx), fy), 8);
    const __m128i w11 = _mm_srli_epi32(_mm_mullo_epi16(fx, fy), 8);
    const __m128i w00 = _mm_sub_epi32(_mm_sub_epi32(_mm_sub_epi32(full, w10), w01), w11);
    // 16-bit lanes: w00 of pixels 0-3, then w10 of pixels 0-3 (and w01, w11).
    const __m128i topWeights = _mm_packs_epi32(w00, w10), bottomWeights = _mm_packs_epi32(w01, w11);
    const __m128i s0 = WeightedPairs<0>(texels, top, bottom, topWeights, bottomWeights);
    const __m128i s1 = WeightedPairs<1>(texels, top, bottom, topWeights, bottomWeights);
    const __m128i s2 = WeightedPairs<2>(texels, top, bottom, topWeights, bottomWeights);
    const __m128i s3 = WeightedPairs<3>(texels, top, bottom, topWeights, bottomWeights);
    const __m128i p01 = _mm_add_epi16(_mm_unpacklo_epi64(s0, s1), _mm_unpackhi_epi64(s0, s1));
    const __m128i p23 = _mm_add_epi16(_mm_unpacklo_epi64(s2, s3), _mm_unpackhi_epi64(s2, s3));
    return _mm_packus_epi16(_mm_srli_epi16(p01, 8), _mm_srli_epi16(p23, 8));
}
#endif

// The blend between two mip levels with a fraction f[i] per pixel:
// (fine (256 - f) + coarse f) >> 8 per channel, as Bilerp(fine, coarse, 0,
// 0, f, 0) gives it; into fine.
inline void BlendLevels(std::uint32_t* fine, const std::uint32_t* coarse, const std::uint8_t* f, int n) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128(), full = _mm_set1_epi16(256);
    // The weights of two pixels, each in the four 16-bit lanes of its channels.
    const auto weights = [&](int k) {
        return _mm_unpacklo_epi64(_mm_set1_epi16(static_cast<short>(f[k])), _mm_set1_epi16(static_cast<short>(f[k + 1])));
    };
    for (; i + 4 <= n; i += 4) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(fine + i));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(coarse + i));
        const auto blend = [&](__m128i x, __m128i y, __m128i coarseWeight) {
            const __m128i fineWeight = _mm_sub_epi16(full, coarseWeight);
            return _mm_srli_epi16(_mm_add_epi16(_mm_mullo_epi16(x, fineWeight), _mm_mullo_epi16(y, coarseWeight)), 8);
        };
        const __m128i low = blend(_mm_unpacklo_epi8(a, zero), _mm_unpacklo_epi8(b, zero), weights(i));
        const __m128i high = blend(_mm_unpackhi_epi8(a, zero), _mm_unpackhi_epi8(b, zero), weights(i + 2));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(fine + i), _mm_packus_epi16(low, high));
    }
#endif
    for (; i < n; ++i) fine[i] = BilerpPortable(fine[i], coarse[i], 0, 0, f[i], 0);
}

inline std::uint32_t Bilerp(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11,
                            std::uint32_t fx, std::uint32_t fy) {
#if defined(__SSE2__)
    return BilerpSse2(t00, t10, t01, t11, fx, fy);
#else
    return BilerpPortable(t00, t10, t01, t11, fx, fy);
#endif
}

}  // namespace valmere::raster
