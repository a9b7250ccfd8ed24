// Texel addressing works on integer texel positions with 8 fraction bits,
// computed for every pixel from its perspective run (PositionLine in
// PixelDivision.h): the integer part is the texel (for bilinear, the one left
// of the sample), the fraction its weight.
#include "platform/d3d8/raster/Sampler.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <type_traits>

#include "platform/d3d8/raster/Bilinear.h"
#include "platform/d3d8/raster/SimdKernels.h"
#include "platform/d3d8/raster/WrappedBilinearAvx2.h"

namespace valmere::raster {
namespace {

struct Level {
    const std::uint32_t* texels;
    int width, height;
};

// Texel positions of both axes of pixels first..first + n - 1 of a run on
// one level (PositionLine).
struct Positions {
    std::int32_t x[kRunLength], y[kRunLength];

    Positions(const Level& l, bool linear, const PerspectiveRun& run, const float* w, int first, int n) {
        RunPositions(PositionLine(run.u, l.width, linear), run.X, w, first, n, x);
        RunPositions(PositionLine(run.v, l.height, linear), run.X, w, first, n, y);
        // The kernels read whole groups of four or eight: the lanes past n
        // hold position 0 (and are not stored).
        const int padded = std::min((n + 7) & ~7, kRunLength);
        std::fill(x + n, x + padded, 0);
        std::fill(y + n, y + padded, 0);
    }
};

// Address modes of one draw: the fast ones have both axes alike.
struct WrapPow2 {
    static bool Fits(const StageSampler& s, const Level& l) {
        return s.addressU == D3DTADDRESS_WRAP && s.addressV == D3DTADDRESS_WRAP && (l.width & (l.width - 1)) == 0 &&
               (l.height & (l.height - 1)) == 0;
    }
    static bool Fetch(const StageSampler&, const Level& l, int x, int y, std::uint32_t& t) {
        t = l.texels[static_cast<std::size_t>(y & (l.height - 1)) * static_cast<std::size_t>(l.width) +
                     static_cast<std::size_t>(x & (l.width - 1))];
        return true;
    }
};

struct Clamp {
    static bool Fits(const StageSampler& s, const Level&) {
        return s.addressU == D3DTADDRESS_CLAMP && s.addressV == D3DTADDRESS_CLAMP;
    }
    static bool Fetch(const StageSampler&, const Level& l, int x, int y, std::uint32_t& t) {
        x = std::clamp(x, 0, l.width - 1);
        y = std::clamp(y, 0, l.height - 1);
        t = l.texels[static_cast<std::size_t>(y) * static_cast<std::size_t>(l.width) + static_cast<std::size_t>(x)];
        return true;
    }
};

// Maps index i to 0..n-1 by the mode; false for a border texel.
inline bool AddressIndex(DWORD mode, int& i, int n) {
    switch (mode) {
    case D3DTADDRESS_MIRROR: {
        const int period = 2 * n;
        int m = i % period;
        if (m < 0) m += period;
        i = m < n ? m : period - 1 - m;
        return true;
    }
    case D3DTADDRESS_CLAMP: i = std::clamp(i, 0, n - 1); return true;
    case D3DTADDRESS_BORDER: return i >= 0 && i < n;
    case D3DTADDRESS_MIRRORONCE:
        if (i < 0) i = -1 - i;
        i = std::min(i, n - 1);
        return true;
    default: {  // wrap, also for unknown modes
        int m = i % n;
        if (m < 0) m += n;
        i = m;
        return true;
    }
    }
}

struct AnyAddress {
    static bool Fits(const StageSampler&, const Level&) { return true; }
    static bool Fetch(const StageSampler& s, const Level& l, int x, int y, std::uint32_t& t) {
        if (!AddressIndex(s.addressU, x, l.width) || !AddressIndex(s.addressV, y, l.height)) {
            t = s.border;
            return false;
        }
        t = l.texels[static_cast<std::size_t>(y) * static_cast<std::size_t>(l.width) + static_cast<std::size_t>(x)];
        return true;
    }
};

template <class Address>
void SamplePoint(const StageSampler& s, const Level& l, const Positions& at, int n, std::uint32_t* out) {
    for (int i = 0; i < n; ++i) Address::Fetch(s, l, at.x[i] >> 8, at.y[i] >> 8, out[i]);
}

// Bilinear samples of pixels from..end-1, one at a time.
template <class Address>
void SampleLinearPixels(const StageSampler& s, const Level& l, const Positions& at, int from, int end,
                        std::uint32_t* out) {
    for (int i = from; i < end; ++i) {
        const int px = at.x[i], py = at.y[i];
        const int x = px >> 8, y = py >> 8;
        std::uint32_t t00, t10, t01, t11;
        Address::Fetch(s, l, x, y, t00);
        Address::Fetch(s, l, x + 1, y, t10);
        Address::Fetch(s, l, x, y + 1, t01);
        Address::Fetch(s, l, x + 1, y + 1, t11);
        out[i] = Bilerp(t00, t10, t01, t11, static_cast<std::uint32_t>(px & 255), static_cast<std::uint32_t>(py & 255));
    }
}

#if defined(__SSE2__)
// Bilinear samples of a wrapped power-of-two level, four pixels at a time.
void SampleLinearWrappedFour(const Level& l, const Positions& at, int n, std::uint32_t* out) {
    const __m128i wrapX = _mm_set1_epi32(l.width - 1), wrapY = _mm_set1_epi32(l.height - 1);
    const __m128i rowShift = _mm_cvtsi32_si128(std::countr_zero(static_cast<unsigned>(l.width)));
    const __m128i fraction = _mm_set1_epi32(255), one = _mm_set1_epi32(1);
    for (int i = 0; i < n; i += 4) {
        const __m128i px = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at.x + i));
        const __m128i py = _mm_loadu_si128(reinterpret_cast<const __m128i*>(at.y + i));
        const __m128i x0 = _mm_and_si128(_mm_srai_epi32(px, 8), wrapX);
        const __m128i y0 = _mm_and_si128(_mm_srai_epi32(py, 8), wrapY);
        const __m128i row0 = _mm_sll_epi32(y0, rowShift);
        const __m128i row1 = _mm_sll_epi32(_mm_and_si128(_mm_add_epi32(y0, one), wrapY), rowShift);
        alignas(16) std::int32_t index[2][4];
        _mm_store_si128(reinterpret_cast<__m128i*>(index[0]), _mm_add_epi32(row0, x0));
        _mm_store_si128(reinterpret_cast<__m128i*>(index[1]), _mm_add_epi32(row1, x0));
        const int count = std::min(4, n - i);
        if (_mm_movemask_epi8(_mm_cmpeq_epi32(x0, wrapX)) != 0) {
            // A pixel in the last column pairs it with the first one: the
            // texels are not side by side, so the group goes one by one.
            SampleLinearPixels<WrapPow2>(StageSampler{}, l, at, i, i + count, out);
        } else {
            const __m128i samples =
                BilerpFour(l.texels, index[0], index[1], _mm_and_si128(px, fraction), _mm_and_si128(py, fraction));
            if (count == 4) {
                _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), samples);
            } else {
                alignas(16) std::uint32_t partial[4];
                _mm_store_si128(reinterpret_cast<__m128i*>(partial), samples);
                std::copy(partial, partial + count, out + i);
            }
        }
    }
}
#endif

template <class Address>
void SampleLinear(const StageSampler& s, const Level& l, const Positions& at, int n, std::uint32_t* out) {
#if defined(__SSE2__)
    if constexpr (std::is_same_v<Address, WrapPow2>) {
        // Eight at a time where the processor allows, else four at a time.
        if (UseAvx2Kernels()) {
            SampleWrappedBilinearEight(l.texels, l.width, l.height, at.x, at.y, n, out);
        } else {
            SampleLinearWrappedFour(l, at, n, out);
        }
        return;
    }
#endif
    SampleLinearPixels<Address>(s, l, at, 0, n, out);
}

template <class Address>
bool TrySampleLevel(bool linear, const StageSampler& s, const Level& l, const Positions& at, int n,
                    std::uint32_t* out) {
    if (!Address::Fits(s, l)) return false;
    if (linear) {
        SampleLinear<Address>(s, l, at, n, out);
    } else {
        SamplePoint<Address>(s, l, at, n, out);
    }
    return true;
}

void SampleLevel(bool linear, const StageSampler& s, const Level& l, const PerspectiveRun& run, const float* w,
                 int first, int n, std::uint32_t* out) {
    const Positions at(l, linear, run, w, first, n);
    if (TrySampleLevel<WrapPow2>(linear, s, l, at, n, out)) return;
    if (TrySampleLevel<Clamp>(linear, s, l, at, n, out)) return;
    TrySampleLevel<AnyAddress>(linear, s, l, at, n, out);
}

Level GetLevel(const SampledTexture& t, int index) {
    const SamplingLevel& l = t.levels[index];
    return {l.texels, l.width, l.height};
}

bool Usable(const SamplingLevel& l) { return l.texels != nullptr && l.width > 0 && l.height > 0; }

// What one pixel samples: a level and its filter, and whether the next
// level is blended in (linear mip filter) by a fraction in 1/256 steps.
struct LevelChoice {
    int level = 0;
    bool linear = false;
    bool blendNext = false;

    bool operator==(const LevelChoice&) const = default;
};

LevelChoice ChooseLevel(const StageSampler& s, float lod, std::uint8_t& fraction) {
    lod += s.lodBias;
    const bool magnify = !(lod > 0.0f);
    LevelChoice c{s.baseLevel, (magnify ? s.magFilter : s.minFilter) >= D3DTEXF_LINEAR, false};
    fraction = 0;
    const int last = s.levelCount - 1;
    if (magnify || s.mipFilter == D3DTEXF_NONE || s.baseLevel >= last) return c;
    // The level of detail counts from level 0; MAXMIPLEVEL clamps it.
    const float level = std::clamp(lod, static_cast<float>(s.baseLevel), static_cast<float>(last));
    if (s.mipFilter == D3DTEXF_POINT) {
        c.level = static_cast<int>(level + 0.5f);
        return c;
    }
    c.level = static_cast<int>(level);
    fraction = static_cast<std::uint8_t>((level - static_cast<float>(c.level)) * 256.0f);
    c.blendNext = c.level < last && fraction != 0;
    return c;
}

}  // namespace

StageSampler MakeStageSampler(const PipelineState& state, int stage) {
    const DWORD* ts = state.stageStates[stage];
    StageSampler s;
    s.texture = state.textures[stage];
    s.addressU = ts[D3DTSS_ADDRESSU];
    s.addressV = ts[D3DTSS_ADDRESSV];
    s.border = ts[D3DTSS_BORDERCOLOR];
    s.magFilter = ts[D3DTSS_MAGFILTER];
    s.minFilter = ts[D3DTSS_MINFILTER];
    s.mipFilter = ts[D3DTSS_MIPFILTER];
    float bias;
    std::memcpy(&bias, &ts[D3DTSS_MIPMAPLODBIAS], sizeof bias);
    s.lodBias = std::isfinite(bias) ? bias : 0.0f;
    int levels = 0;
    if (s.texture != nullptr) {
        // Only a leading run of usable levels is sampled.
        const int declared = std::clamp(s.texture->levelCount, 0, kMaxTextureLevels);
        while (levels < declared && Usable(s.texture->levels[levels])) ++levels;
        if (levels == 0) s.texture = nullptr;
    }
    s.levelCount = levels;
    s.baseLevel = std::min<int>(static_cast<int>(std::min<DWORD>(ts[D3DTSS_MAXMIPLEVEL], 64)), std::max(levels - 1, 0));
    return s;
}

float AddressPeriod(DWORD mode) {
    if (mode == D3DTADDRESS_WRAP) return 1.0f;
    if (mode == D3DTADDRESS_MIRROR) return 2.0f;
    return 0.0f;
}

bool LodMatters(const StageSampler& s) {
    const bool filterChanges = (s.minFilter >= D3DTEXF_LINEAR) != (s.magFilter >= D3DTEXF_LINEAR);
    const bool levelChanges = s.mipFilter != D3DTEXF_NONE && s.baseLevel < s.levelCount - 1;
    return s.texture != nullptr && (filterChanges || levelChanges);
}

void SampleRun(const StageSampler& s, const PerspectiveRun& run, const float* w, const float* lod, int n,
               std::uint32_t* out) {
    if (s.texture == nullptr) {
        std::fill(out, out + n, 0xFFFFFFFFu);
        return;
    }
    std::uint8_t fractions[kRunLength];
    LevelChoice choices[kRunLength];
    for (int i = 0; i < n; ++i) choices[i] = ChooseLevel(s, lod != nullptr ? lod[i] : 0.0f, fractions[i]);
    // Neighbouring pixels mostly choose alike: each stretch of equal
    // choices is sampled as one.
    for (int i = 0; i < n;) {
        const LevelChoice c = choices[i];
        int end = i + 1;
        while (end < n && choices[end] == c) ++end;
        SampleLevel(c.linear, s, GetLevel(*s.texture, c.level), run, w, i, end - i, out + i);
        if (c.blendNext) {
            std::uint32_t coarse[kRunLength];
            SampleLevel(c.linear, s, GetLevel(*s.texture, c.level + 1), run, w, i, end - i, coarse);
            BlendLevels(out + i, coarse, fractions + i, end - i);
        }
        i = end;
    }
}

bool PrepareWrappedBilinear(const StageSampler& s, WrappedLevel& level) {
    if (s.texture == nullptr || LodMatters(s)) return false;
    const bool linear = s.minFilter >= D3DTEXF_LINEAR && s.magFilter >= D3DTEXF_LINEAR;
    const SamplingLevel& l = s.texture->levels[s.baseLevel];
    // Texel indices stay below 2^30 in the 32-bit lanes of the kernels.
    const bool indexable = static_cast<std::int64_t>(l.width) * l.height <= (std::int64_t{1} << 30);
    if (!linear || !indexable || !WrapPow2::Fits(s, Level{l.texels, l.width, l.height})) return false;
    level = {l.texels, l.width, l.height};
    return true;
}

void SampleWrappedBilinear(const WrappedLevel& level, const PerspectiveRun& run, int n, std::uint32_t* out) {
    if (UseAvx2Kernels()) {
        SampleWrappedBilinearEight(level.texels, level.width, level.height, run, n, out);
        return;
    }
    float w[kRunLength];
    RunReciprocals(run.q, run.X, n, w);
    const Level l{level.texels, level.width, level.height};
    SampleLinear<WrapPow2>(StageSampler{}, l, Positions(l, true, run, w, 0, n), n, out);
}

}  // namespace valmere::raster
