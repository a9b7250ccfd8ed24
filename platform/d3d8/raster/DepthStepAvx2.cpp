// Built with -mavx2: the groups of eight of DepthStep.cpp, two at a time.
// Codes and stored depths are compared as signed 16-bit numbers after
// subtracting 0x8000 from both.
#include "platform/d3d8/raster/DepthStepAvx2.h"

#if defined(__AVX2__)
#include <immintrin.h>
#endif

namespace valmere::raster {

template <DWORD Func, bool Write>
int DepthTestGroups16Avx2(const PixelPipeline& p, Run& r) {
    int i = 0;
#if defined(__AVX2__)
    const DepthLayout& layout = p.depthLayout;
    auto* row = reinterpret_cast<std::uint16_t*>(p.depth.bits + static_cast<std::ptrdiff_t>(r.y) * p.depth.pitch) + r.x;
    const __m256 zero = _mm256_setzero_ps(), one = _mm256_set1_ps(1.0f), half = _mm256_set1_ps(0.5f);
    const __m256 scale = _mm256_set1_ps(static_cast<float>(layout.maxValue));
    const __m256 z0 = _mm256_set1_ps(r.zBase), dz = _mm256_set1_ps(r.zStep), lanes = _mm256_setr_ps(0, 1, 2, 3, 4, 5, 6, 7);
    const __m256i bias32 = _mm256_set1_epi32(0x8000), bias16 = _mm256_set1_epi16(static_cast<short>(0x8000));
    const __m128i shift = _mm_cvtsi32_si128(layout.shift);
    const __m256i depthMask = _mm256_set1_epi16(static_cast<short>(layout.maxValue));
    const __m256i stencilMask = _mm256_set1_epi16(static_cast<short>(layout.stencilMask));
    const __m256i all = _mm256_set1_epi16(-1);
    const __m256i laneBits = _mm256_setr_epi16(1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 2048, 4096, 8192, 16384,
                                               static_cast<short>(0x8000));
    for (; i + 16 <= r.count; i += 16) {
        __m256i codes[2];
        for (int h = 0; h < 2; ++h) {
            // zBase + zStep (X + i) as the portable form computes it; max/min
            // give 0 for NaN.
            const __m256 lane = _mm256_add_ps(_mm256_set1_ps(r.X + static_cast<float>(i + 8 * h)), lanes);
            const __m256 z = _mm256_min_ps(_mm256_max_ps(_mm256_add_ps(z0, _mm256_mul_ps(dz, lane)), zero), one);
            codes[h] = _mm256_cvttps_epi32(_mm256_add_ps(_mm256_mul_ps(z, scale), half));
            if (!Write) _mm256_storeu_si256(reinterpret_cast<__m256i*>(r.depthCode + i + 8 * h), codes[h]);
        }
        // The pack works within 128-bit lanes: the 64-bit chunks come out as
        // pixels 0-3, 8-11, 4-7, 12-15 and are put back in order.
        const __m256i code = _mm256_permute4x64_epi64(
            _mm256_packs_epi32(_mm256_sub_epi32(codes[0], bias32), _mm256_sub_epi32(codes[1], bias32)), 0xD8);
        const __m256i stored = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(row + i));
        const __m256i depth = _mm256_xor_si256(_mm256_and_si256(_mm256_srl_epi16(stored, shift), depthMask), bias16);
        __m256i pass;
        switch (Func) {
        case D3DCMP_NEVER: pass = _mm256_setzero_si256(); break;
        case D3DCMP_LESS: pass = _mm256_cmpgt_epi16(depth, code); break;
        case D3DCMP_EQUAL: pass = _mm256_cmpeq_epi16(code, depth); break;
        case D3DCMP_LESSEQUAL: pass = _mm256_andnot_si256(_mm256_cmpgt_epi16(code, depth), all); break;
        case D3DCMP_GREATER: pass = _mm256_cmpgt_epi16(code, depth); break;
        case D3DCMP_NOTEQUAL: pass = _mm256_andnot_si256(_mm256_cmpeq_epi16(code, depth), all); break;
        case D3DCMP_GREATEREQUAL: pass = _mm256_andnot_si256(_mm256_cmpgt_epi16(depth, code), all); break;
        default: pass = all; break;
        }
        // One bit per pixel: the byte pack leaves pixels 0-7 in bits 0-7 and
        // 8-15 in bits 16-23 of the byte mask.
        const auto packed = static_cast<std::uint32_t>(
            _mm256_movemask_epi8(_mm256_packs_epi16(pass, _mm256_setzero_si256())));
        const std::uint32_t passBits = (packed & 0xFFu) | ((packed >> 8) & 0xFF00u);
        r.mask &= ~((~passBits & 0xFFFFu) << i);
        const std::uint32_t aliveBits = (r.mask >> i) & 0xFFFFu;
        if (Write && aliveBits != 0) {
            const __m256i value = _mm256_or_si256(_mm256_sll_epi16(_mm256_xor_si256(code, bias16), shift),
                                                  _mm256_and_si256(stored, stencilMask));
            __m256i merged = value;
            if (aliveBits != 0xFFFFu) {
                const __m256i alive = _mm256_set1_epi16(static_cast<short>(aliveBits));
                const __m256i write = _mm256_cmpeq_epi16(_mm256_and_si256(alive, laneBits), laneBits);
                merged = _mm256_blendv_epi8(stored, value, write);
            }
            _mm256_storeu_si256(reinterpret_cast<__m256i*>(row + i), merged);
        }
    }
#else
    static_cast<void>(p);
    static_cast<void>(r);
#endif
    return i;
}

// Every comparison, with and without the write, as DepthStep.cpp asks for them.
template int DepthTestGroups16Avx2<D3DCMP_NEVER, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_NEVER, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_LESS, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_LESS, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_EQUAL, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_EQUAL, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_LESSEQUAL, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_LESSEQUAL, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_GREATER, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_GREATER, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_NOTEQUAL, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_NOTEQUAL, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_GREATEREQUAL, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_GREATEREQUAL, true>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_ALWAYS, false>(const PixelPipeline&, Run&);
template int DepthTestGroups16Avx2<D3DCMP_ALWAYS, true>(const PixelPipeline&, Run&);

}  // namespace valmere::raster
