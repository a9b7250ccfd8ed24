// Pixel layouts of the render and depth targets the rasterizer writes.
#pragma once

#include <cstdint>
#include <cstring>

#include "platform/d3d8/D3D8Types.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace valmere::raster {

#if defined(__SSE2__)
inline __m128i LoadFour(const std::uint32_t* argb) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(argb)); }
inline void StoreFour(std::uint32_t* out, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(out), v); }

// PackR5G6B5 on four pixels in 32-bit lanes.
inline __m128i PackFourR5G6B5(__m128i argb) {
    const __m128i r = _mm_and_si128(_mm_srli_epi32(argb, 8), _mm_set1_epi32(0xF800));
    const __m128i g = _mm_and_si128(_mm_srli_epi32(argb, 5), _mm_set1_epi32(0x07E0));
    const __m128i b = _mm_and_si128(_mm_srli_epi32(argb, 3), _mm_set1_epi32(0x001F));
    // Sign-extend the 16-bit results so that the signed pack keeps them.
    return _mm_srai_epi32(_mm_slli_epi32(_mm_or_si128(_mm_or_si128(r, g), b), 16), 16);
}
#endif

// Colour target pixels <-> 0xAARRGGBB. R5G6B5 expands by bit replication so
// that 0x1F reads back as 0xFF; targets without alpha read as opaque.
inline std::uint32_t ExpandR5G6B5(std::uint32_t p) {
    const std::uint32_t r = (p >> 11) & 0x1F, g = (p >> 5) & 0x3F, b = p & 0x1F;
    return 0xFF000000u | (((r << 3) | (r >> 2)) << 16) | (((g << 2) | (g >> 4)) << 8) | ((b << 3) | (b >> 2));
}

inline std::uint16_t PackR5G6B5(std::uint32_t argb) {
    return static_cast<std::uint16_t>(((argb >> 8) & 0xF800) | ((argb >> 5) & 0x07E0) | ((argb >> 3) & 0x001F));
}

// ExpandR5G6B5 of n pixels, without the alpha byte.
inline void ExpandRowR5G6B5(const std::uint16_t* row, int n, std::uint32_t* out) {
    int x = 0;
#if defined(__SSE2__)
    // Eight pixels in 16-bit lanes: each channel widened by bit replication,
    // then green and blue paired with red into 32-bit pixels.
    const __m128i five = _mm_set1_epi16(0x1F), six = _mm_set1_epi16(0x3F);
    for (; x + 8 <= n; x += 8) {
        const __m128i p = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + x));
        const __m128i r = _mm_srli_epi16(p, 11);
        const __m128i g = _mm_and_si128(_mm_srli_epi16(p, 5), six);
        const __m128i b = _mm_and_si128(p, five);
        const __m128i r8 = _mm_or_si128(_mm_slli_epi16(r, 3), _mm_srli_epi16(r, 2));
        const __m128i g8 = _mm_or_si128(_mm_slli_epi16(g, 2), _mm_srli_epi16(g, 4));
        const __m128i b8 = _mm_or_si128(_mm_slli_epi16(b, 3), _mm_srli_epi16(b, 2));
        const __m128i greenBlue = _mm_or_si128(_mm_slli_epi16(g8, 8), b8);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x), _mm_unpacklo_epi16(greenBlue, r8));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + x + 4), _mm_unpackhi_epi16(greenBlue, r8));
    }
#endif
    for (; x < n; ++x) out[x] = ExpandR5G6B5(row[x]) & 0x00FFFFFFu;
}

template <D3DFORMAT F>
struct ColorPixel;

template <>
struct ColorPixel<D3DFMT_R5G6B5> {
    using Storage = std::uint16_t;
    static std::uint32_t Load(Storage p) { return ExpandR5G6B5(p); }
    static Storage Store(std::uint32_t argb) { return PackR5G6B5(argb); }
#if defined(__SSE2__)
    static void StoreEight(Storage* out, const std::uint32_t* argb) {
        const __m128i packed = _mm_packs_epi32(PackFourR5G6B5(LoadFour(argb)), PackFourR5G6B5(LoadFour(argb + 4)));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out), packed);
    }
#endif
};

template <>
struct ColorPixel<D3DFMT_X8R8G8B8> {
    using Storage = std::uint32_t;
    static std::uint32_t Load(Storage p) { return p | 0xFF000000u; }
    static Storage Store(std::uint32_t argb) { return argb & 0x00FFFFFFu; }
#if defined(__SSE2__)
    static void StoreEight(Storage* out, const std::uint32_t* argb) {
        const __m128i rgb = _mm_set1_epi32(0x00FFFFFF);
        StoreFour(out, _mm_and_si128(LoadFour(argb), rgb));
        StoreFour(out + 4, _mm_and_si128(LoadFour(argb + 4), rgb));
    }
#endif
};

template <>
struct ColorPixel<D3DFMT_A8R8G8B8> {
    using Storage = std::uint32_t;
    static std::uint32_t Load(Storage p) { return p; }
    static Storage Store(std::uint32_t argb) { return argb; }
#if defined(__SSE2__)
    static void StoreEight(Storage* out, const std::uint32_t* argb) {
        StoreFour(out, LoadFour(argb));
        StoreFour(out + 4, LoadFour(argb + 4));
    }
#endif
};

inline bool IsColorTargetFormat(D3DFORMAT f) {
    return f == D3DFMT_R5G6B5 || f == D3DFMT_X8R8G8B8 || f == D3DFMT_A8R8G8B8;
}

// Depth formats: the depth value sits in the high bits above the stencil
// bits (D24S8: depth bits 8-31, stencil 0-7; D15S1: depth 1-15, stencil 0).
struct DepthLayout {
    int bytes = 0;               // 2 or 4; 0: not a depth format
    int shift = 0;               // position of the depth field
    std::uint32_t maxValue = 0;  // largest depth code (2^bits - 1)
    std::uint32_t stencilMask = 0;
};

inline DepthLayout GetDepthLayout(D3DFORMAT f) {
    switch (f) {
    case D3DFMT_D16:
    case D3DFMT_D16_LOCKABLE: return {2, 0, 0xFFFFu, 0};
    case D3DFMT_D15S1: return {2, 1, 0x7FFFu, 0x1u};
    case D3DFMT_D24S8: return {4, 8, 0xFFFFFFu, 0xFFu};
    case D3DFMT_D24X8: return {4, 8, 0xFFFFFFu, 0};
    case D3DFMT_D24X4S4: return {4, 8, 0xFFFFFFu, 0xFu};
    case D3DFMT_D32: return {4, 0, 0xFFFFFFFFu, 0};
    default: return {};
    }
}

// Depth 0..1 to the integer code of a layout, rounded to nearest.
inline std::uint32_t EncodeDepth(float z, std::uint32_t maxValue) {
    const double clamped = z < 0.0f ? 0.0 : (z > 1.0f ? 1.0 : static_cast<double>(z));
    return static_cast<std::uint32_t>(clamped * maxValue + 0.5);
}

}  // namespace valmere::raster
