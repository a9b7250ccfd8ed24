// Texel addressing works on integer texel indices with 8 fraction bits:
// position p = u * width * 256 (minus 128 for bilinear, so that the integer
// part is the texel left of the sample and the fraction its weight).
#include "platform/d3d8/raster/Sampler.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <type_traits>
#include <cstring>

#include "platform/d3d8/raster/Bilinear.h"
#include "platform/d3d8/raster/SimdKernels.h"
#include "platform/d3d8/raster/WrappedBilinearAvx2.h"

namespace valmere::raster {
namespace {

struct Level {
    const std::uint32_t* texels;
    int width, height;
};

// Rounds to the nearest integer with floor semantics for halves below zero;
// NaN and huge values are pinned to +-2^30 (the result then still addresses
// a valid texel through the address mode).
inline int ToFixed(float x) {
    constexpr float kLimit = 1073741824.0f;
    const float c = x > kLimit ? kLimit : (x >= -kLimit ? x : -kLimit);
    constexpr double kBias = 4294967296.0;
    return static_cast<int>(static_cast<std::int64_t>(static_cast<double>(c) + 0.5 + kBias) -
                            static_cast<std::int64_t>(kBias));
}

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

// Coordinates given per pixel (the general path): the fixed-point position
// is rounded from the float coordinate at every pixel.
struct PixelPositions {
    const float* u;
    const float* v;
    float su, sv, offset;  // texels * 256 per unit coordinate; 128 for bilinear
    int X(int i) const { return ToFixed(u[i] * su - offset); }
    int Y(int i) const { return ToFixed(v[i] * sv - offset); }
};

// Coordinates stepped linearly along the run in 16.16 fixed point. The sums
// wrap modulo 2^32, which keeps the texel index exact modulo any power of
// two up to 2^16: valid with wrap addressing of power-of-two levels only.
// The 0x80 in the start rounds the 8-bit fraction to nearest, as ToFixed does.
struct SteppedPositions {
    std::uint32_t x0, dx, y0, dy;
    int X(int i) const { return static_cast<std::int32_t>(x0 + static_cast<std::uint32_t>(i) * dx) >> 8; }
    int Y(int i) const { return static_cast<std::int32_t>(y0 + static_cast<std::uint32_t>(i) * dy) >> 8; }
};

// value * 65536 rounded, as a 32-bit two's complement fixed-point number
// modulo 2^32 (NaN and huge values are pinned first, so the conversion
// stays defined; the bias makes truncation round down below zero too).
inline std::uint32_t ToWrappedFixed16(double value) {
    constexpr double kLimit = 1099511627776.0;  // 2^40
    constexpr double kBias = 2199023255552.0;   // 2^41
    const double scaled = value * 65536.0;
    const double c = scaled > kLimit ? kLimit : (scaled >= -kLimit ? scaled : -kLimit);
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(c + (0.5 + kBias)) -
                                      static_cast<std::int64_t>(kBias));
}

struct PixelCoordinates {
    static constexpr bool kWrapPow2Only = false;
    const float* u;
    const float* v;
    PixelCoordinates Skip(int k) const { return {u + k, v + k}; }
    PixelPositions For(const Level& l, bool linear) const {
        return {u, v, static_cast<float>(l.width) * 256.0f, static_cast<float>(l.height) * 256.0f,
                linear ? 128.0f : 0.0f};
    }
};

struct SteppedCoordinates {
    static constexpr bool kWrapPow2Only = true;
    RunCoordinates run;
    SteppedCoordinates Skip(int k) const {
        return {{run.u + run.du * static_cast<float>(k), run.v + run.dv * static_cast<float>(k), run.du, run.dv}};
    }
    SteppedPositions For(const Level& l, bool linear) const {
        const double w = l.width, h = l.height, centre = linear ? 0.5 : 0.0;
        return {ToWrappedFixed16(run.u * w - centre) + 0x80u, ToWrappedFixed16(run.du * w),
                ToWrappedFixed16(run.v * h - centre) + 0x80u, ToWrappedFixed16(run.dv * h)};
    }
};

template <class Address, class Positions>
void SamplePoint(const StageSampler& s, const Level& l, const Positions& at, int n, std::uint32_t* out) {
    for (int i = 0; i < n; ++i) Address::Fetch(s, l, at.X(i) >> 8, at.Y(i) >> 8, out[i]);
}

// Bilinear samples of pixels from..end-1, one at a time.
template <class Address, class Positions>
void SampleLinearPixels(const StageSampler& s, const Level& l, const Positions& at, int from, int end,
                        std::uint32_t* out) {
    for (int i = from; i < end; ++i) {
        const int px = at.X(i), py = at.Y(i);
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
// Bilinear samples of a wrapped power-of-two level at stepped positions,
// four pixels at a time.
void SampleLinearWrappedFour(const Level& l, const SteppedPositions& at, int n, std::uint32_t* out) {
    const auto start = [](std::uint32_t origin, std::uint32_t step) {
        return _mm_setr_epi32(static_cast<int>(origin), static_cast<int>(origin + step),
                              static_cast<int>(origin + 2 * step), static_cast<int>(origin + 3 * step));
    };
    __m128i x = start(at.x0, at.dx), y = start(at.y0, at.dy);
    const __m128i stepX = _mm_set1_epi32(static_cast<int>(4 * at.dx)), stepY = _mm_set1_epi32(static_cast<int>(4 * at.dy));
    const __m128i wrapX = _mm_set1_epi32(l.width - 1), wrapY = _mm_set1_epi32(l.height - 1);
    const __m128i rowShift = _mm_cvtsi32_si128(std::countr_zero(static_cast<unsigned>(l.width)));
    const __m128i fraction = _mm_set1_epi32(255), one = _mm_set1_epi32(1);
    for (int i = 0; i < n; i += 4) {
        const __m128i px = _mm_srai_epi32(x, 8), py = _mm_srai_epi32(y, 8);
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
            // Lanes past n sample valid texels too (indices are wrapped);
            // only the first count results are kept.
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
        x = _mm_add_epi32(x, stepX);
        y = _mm_add_epi32(y, stepY);
    }
}
#endif

template <class Address, class Positions>
void SampleLinear(const StageSampler& s, const Level& l, const Positions& at, int n, std::uint32_t* out) {
#if defined(__SSE2__)
    if constexpr (std::is_same_v<Address, WrapPow2> && std::is_same_v<Positions, SteppedPositions>) {
        // Eight at a time where the processor allows, else four at a time.
        if (UseAvx2Kernels()) {
            SampleWrappedBilinearEight(l.texels, l.width, l.height, at.x0, at.dx, at.y0, at.dy, n, out);
        } else {
            SampleLinearWrappedFour(l, at, n, out);
        }
        return;
    }
#endif
    SampleLinearPixels<Address>(s, l, at, 0, n, out);
}

template <class Address, class Coordinates>
bool TrySampleLevel(bool linear, const StageSampler& s, const Level& l, const Coordinates& c, int n,
                    std::uint32_t* out) {
    if (!Address::Fits(s, l)) return false;
    if (linear) {
        SampleLinear<Address>(s, l, c.For(l, true), n, out);
    } else {
        SamplePoint<Address>(s, l, c.For(l, false), n, out);
    }
    return true;
}

template <class Coordinates>
void SampleLevel(bool linear, const StageSampler& s, const Level& l, const Coordinates& c, int n,
                 std::uint32_t* out) {
    if (TrySampleLevel<WrapPow2>(linear, s, l, c, n, out)) return;
    if constexpr (!Coordinates::kWrapPow2Only) {
        if (TrySampleLevel<Clamp>(linear, s, l, c, n, out)) return;
        TrySampleLevel<AnyAddress>(linear, s, l, c, n, out);
    }
}

Level GetLevel(const SampledTexture& t, int index) {
    const SamplingLevel& l = t.levels[index];
    return {l.texels, l.width, l.height};
}

bool Usable(const SamplingLevel& l) { return l.texels != nullptr && l.width > 0 && l.height > 0; }

// Level selection from the level of detail, shared by both kinds of coordinates.
template <class Coordinates>
void SampleWith(const StageSampler& s, float lod, const Coordinates& c, int n, std::uint32_t* out) {
    if (s.texture == nullptr) {
        std::fill(out, out + n, 0xFFFFFFFFu);
        return;
    }
    lod += s.lodBias;
    const bool magnify = !(lod > 0.0f);
    const bool linear = (magnify ? s.magFilter : s.minFilter) >= D3DTEXF_LINEAR;
    const int last = s.levelCount - 1;
    if (magnify || s.mipFilter == D3DTEXF_NONE || s.baseLevel >= last) {
        SampleLevel(linear, s, GetLevel(*s.texture, s.baseLevel), c, n, out);
        return;
    }
    const float level = std::min(lod + static_cast<float>(s.baseLevel), static_cast<float>(last));
    if (s.mipFilter == D3DTEXF_POINT) {
        SampleLevel(linear, s, GetLevel(*s.texture, static_cast<int>(level + 0.5f)), c, n, out);
        return;
    }
    const int lower = static_cast<int>(level);
    const std::uint32_t fraction = static_cast<std::uint32_t>((level - static_cast<float>(lower)) * 256.0f);
    SampleLevel(linear, s, GetLevel(*s.texture, lower), c, n, out);
    if (lower >= last || fraction == 0) return;
    std::uint32_t coarse[64];
    for (int start = 0; start < n; start += 64) {
        const int count = std::min(64, n - start);
        SampleLevel(linear, s, GetLevel(*s.texture, lower + 1), c.Skip(start), count, coarse);
        BlendLevels(out + start, coarse, count, fraction);
    }
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

void SampleRun(const StageSampler& s, float lod, const float* u, const float* v, int n, std::uint32_t* out) {
    SampleWith(s, lod, PixelCoordinates{u, v}, n, out);
}

bool SamplesRunCoordinates(const StageSampler& s) {
    if (s.texture == nullptr) return true;
    for (int i = 0; i < s.levelCount; ++i) {
        const Level l = GetLevel(*s.texture, i);
        // Texel indices stay below 2^30 in the 32-bit lanes of the kernel.
        const bool indexable = static_cast<std::int64_t>(l.width) * l.height <= (std::int64_t{1} << 30);
        if (!WrapPow2::Fits(s, l) || l.width > 65536 || l.height > 65536 || !indexable) return false;
    }
    return true;
}

void SampleRun(const StageSampler& s, float lod, const RunCoordinates& run, int n, std::uint32_t* out) {
    SampleWith(s, lod, SteppedCoordinates{run}, n, out);
}

bool PrepareWrappedBilinear(const StageSampler& s, WrappedLevel& level) {
    if (s.texture == nullptr || !SamplesRunCoordinates(s)) return false;
    const bool levelFixed = s.mipFilter == D3DTEXF_NONE || s.baseLevel >= s.levelCount - 1;
    const bool linear = s.minFilter >= D3DTEXF_LINEAR && s.magFilter >= D3DTEXF_LINEAR;
    if (!levelFixed || !linear) return false;
    const SamplingLevel& l = s.texture->levels[s.baseLevel];
    level = {l.texels, l.width, l.height};
    return true;
}

void SampleWrappedBilinear(const WrappedLevel& level, const RunCoordinates& run, int n, std::uint32_t* out) {
    const Level l{level.texels, level.width, level.height};
    SampleLinear<WrapPow2>(StageSampler{}, l, SteppedCoordinates{run}.For(l, true), n, out);
}

}  // namespace valmere::raster
