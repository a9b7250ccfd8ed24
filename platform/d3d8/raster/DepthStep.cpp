// Depth test and write. Depth is z/w, linear in screen space, quantised to
// the format's depth code with rounding to nearest.
#include <cmath>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/d3d8/raster/DepthStepAvx2.h"
#include "platform/d3d8/raster/RunSteps.h"
#include "platform/d3d8/raster/SimdKernels.h"

namespace valmere::raster {
namespace {

template <typename T>
T* DepthRow(const PixelPipeline& p, const Run& r) {
    return reinterpret_cast<T*>(p.depth.bits + static_cast<std::ptrdiff_t>(r.y) * p.depth.pitch) + r.x;
}

// Pixels from..count-1 of the run one at a time: the portable form, and
// the tail after the groups of eight of the SSE2 form.
template <typename T, DWORD Func, bool Write>
void DepthTestPixels(const PixelPipeline& p, Run& r, int from) {
    const DepthLayout& layout = p.depthLayout;
    T* row = DepthRow<T>(p, r);
    // Float keeps 24 bits: enough for D16 and D24; D32 rounds in double.
    using Scale = std::conditional_t<sizeof(T) == 2, float, double>;
    const Scale scale = static_cast<Scale>(layout.maxValue);
    std::uint32_t mask = r.mask;
    for (int i = from; i < r.count; ++i) {
        const float z = r.zBase + r.zStep * (r.X + static_cast<float>(i));
        const Scale clamped = z > 0.0f ? (z < 1.0f ? static_cast<Scale>(z) : Scale{1}) : Scale{0};
        const std::uint32_t code = static_cast<std::uint32_t>(clamped * scale + Scale{0.5});
        if (!Write) r.depthCode[i] = code;
        const std::uint32_t stored = (static_cast<std::uint32_t>(row[i]) >> layout.shift) & layout.maxValue;
        if (!Compare(Func, code, stored)) {
            mask &= ~(1u << i);
        } else if (Write && (mask & (1u << i))) {
            row[i] = static_cast<T>((code << layout.shift) | (row[i] & layout.stencilMask));
        }
    }
    r.mask = mask;
}

#if defined(__SSE2__)
// 16-bit depth eight pixels at a time; the same float arithmetic as the
// portable form, so the codes are identical. Codes and stored depths are
// compared as signed 16-bit numbers after subtracting 0x8000 from both.
template <DWORD Func, bool Write>
int DepthTestGroups16(const PixelPipeline& p, Run& r, int from) {
    const DepthLayout& layout = p.depthLayout;
    std::uint16_t* row = DepthRow<std::uint16_t>(p, r);
    const __m128 zero = _mm_setzero_ps(), one = _mm_set1_ps(1.0f), half = _mm_set1_ps(0.5f);
    const __m128 scale = _mm_set1_ps(static_cast<float>(layout.maxValue));
    const __m128 z0 = _mm_set1_ps(r.zBase), dz = _mm_set1_ps(r.zStep), lanes = _mm_setr_ps(0, 1, 2, 3);
    const __m128i bias32 = _mm_set1_epi32(0x8000), bias16 = _mm_set1_epi16(static_cast<short>(0x8000));
    const __m128i shift = _mm_cvtsi32_si128(layout.shift);
    const __m128i depthMask = _mm_set1_epi16(static_cast<short>(layout.maxValue));
    const __m128i stencilMask = _mm_set1_epi16(static_cast<short>(layout.stencilMask));
    const __m128i laneBits = _mm_setr_epi16(1, 2, 4, 8, 16, 32, 64, 128);
    int i = from;
    for (; i + 8 <= r.count; i += 8) {
        __m128i codes[2];
        for (int h = 0; h < 2; ++h) {
            // zBase + zStep (X + i) as the portable form computes it (pixel
            // positions are exact in float); max/min give 0 for NaN, like its
            // comparisons.
            const __m128 lane = _mm_add_ps(_mm_set1_ps(r.X + static_cast<float>(i + 4 * h)), lanes);
            const __m128 z = _mm_min_ps(_mm_max_ps(_mm_add_ps(z0, _mm_mul_ps(dz, lane)), zero), one);
            codes[h] = _mm_cvttps_epi32(_mm_add_ps(_mm_mul_ps(z, scale), half));
            // Codes are kept for a later depth write; a test that writes needs none.
            if (!Write) _mm_storeu_si128(reinterpret_cast<__m128i*>(r.depthCode + i + 4 * h), codes[h]);
        }
        const __m128i code = _mm_packs_epi32(_mm_sub_epi32(codes[0], bias32), _mm_sub_epi32(codes[1], bias32));
        const __m128i stored = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + i));
        const __m128i depth = _mm_xor_si128(_mm_and_si128(_mm_srl_epi16(stored, shift), depthMask), bias16);
        __m128i pass;
        switch (Func) {
        case D3DCMP_NEVER: pass = _mm_setzero_si128(); break;
        case D3DCMP_LESS: pass = _mm_cmplt_epi16(code, depth); break;
        case D3DCMP_EQUAL: pass = _mm_cmpeq_epi16(code, depth); break;
        case D3DCMP_LESSEQUAL: pass = _mm_andnot_si128(_mm_cmpgt_epi16(code, depth), _mm_set1_epi16(-1)); break;
        case D3DCMP_GREATER: pass = _mm_cmpgt_epi16(code, depth); break;
        case D3DCMP_NOTEQUAL: pass = _mm_andnot_si128(_mm_cmpeq_epi16(code, depth), _mm_set1_epi16(-1)); break;
        case D3DCMP_GREATEREQUAL: pass = _mm_andnot_si128(_mm_cmplt_epi16(code, depth), _mm_set1_epi16(-1)); break;
        default: pass = _mm_set1_epi16(-1); break;
        }
        const std::uint32_t passBits =
            static_cast<std::uint32_t>(_mm_movemask_epi8(_mm_packs_epi16(pass, _mm_setzero_si128()))) & 0xFFu;
        r.mask &= ~((~passBits & 0xFFu) << i);
        const std::uint32_t aliveBits = (r.mask >> i) & 0xFFu;
        if (Write && aliveBits != 0) {
            const __m128i value = _mm_or_si128(_mm_sll_epi16(_mm_xor_si128(code, bias16), shift),
                                               _mm_and_si128(stored, stencilMask));
            __m128i merged = value;
            if (aliveBits != 0xFFu) {
                const __m128i alive = _mm_set1_epi16(static_cast<short>(aliveBits));
                const __m128i write = _mm_cmpeq_epi16(_mm_and_si128(alive, laneBits), laneBits);
                merged = _mm_or_si128(_mm_and_si128(write, value), _mm_andnot_si128(write, stored));
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(row + i), merged);
        }
    }
    return i;
}
#endif

template <typename T, DWORD Func, bool Write>
void DepthTest(const PixelPipeline& p, Run& r) {
    int from = 0;
#if defined(__SSE2__)
    if constexpr (sizeof(T) == 2) {
        // Sixteen at a time where the processor allows, then eight, then one.
        if (UseAvx2Kernels()) from = DepthTestGroups16Avx2<Func, Write>(p, r);
        from = DepthTestGroups16<Func, Write>(p, r, from);
    }
#endif
    DepthTestPixels<T, Func, Write>(p, r, from);
}

template <typename T>
void DepthWrite(const PixelPipeline& p, Run& r) {
    const DepthLayout& layout = p.depthLayout;
    T* row = DepthRow<T>(p, r);
    for (int i = 0; i < r.count; ++i) {
        if (r.mask & (1u << i)) {
            row[i] = static_cast<T>((r.depthCode[i] << layout.shift) | (row[i] & layout.stencilMask));
        }
    }
}

template <typename T, bool Write>
RunStep ChooseFunc(DWORD func) {
    switch (func) {
    case D3DCMP_NEVER: return DepthTest<T, D3DCMP_NEVER, Write>;
    case D3DCMP_LESS: return DepthTest<T, D3DCMP_LESS, Write>;
    case D3DCMP_EQUAL: return DepthTest<T, D3DCMP_EQUAL, Write>;
    case D3DCMP_LESSEQUAL: return DepthTest<T, D3DCMP_LESSEQUAL, Write>;
    case D3DCMP_GREATER: return DepthTest<T, D3DCMP_GREATER, Write>;
    case D3DCMP_NOTEQUAL: return DepthTest<T, D3DCMP_NOTEQUAL, Write>;
    case D3DCMP_GREATEREQUAL: return DepthTest<T, D3DCMP_GREATEREQUAL, Write>;
    default: return DepthTest<T, D3DCMP_ALWAYS, Write>;
    }
}

template <typename T>
RunStep ChooseForStorage(DWORD func, bool writeInTest) {
    return writeInTest ? ChooseFunc<T, true>(func) : ChooseFunc<T, false>(func);
}

}  // namespace

RunStep ChooseDepthTest(D3DFORMAT format, DWORD func, bool writeInTest) {
    const DepthLayout layout = GetDepthLayout(format);
    if (layout.bytes == 2) return ChooseForStorage<std::uint16_t>(func, writeInTest);
    if (layout.bytes == 4) return ChooseForStorage<std::uint32_t>(func, writeInTest);
    return nullptr;
}

RunStep ChooseDepthWrite(D3DFORMAT format) {
    const DepthLayout layout = GetDepthLayout(format);
    if (layout.bytes == 2) return DepthWrite<std::uint16_t>;
    if (layout.bytes == 4) return DepthWrite<std::uint32_t>;
    return nullptr;
}

}  // namespace valmere::raster
