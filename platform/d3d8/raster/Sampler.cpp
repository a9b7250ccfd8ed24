// Texel addressing works on integer texel indices with 8 fraction bits:
// position p = u * width * 256 (minus 128 for bilinear, so that the integer
// part is the texel left of the sample and the fraction its weight).
#include "platform/d3d8/raster/Sampler.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

// Weighted sum of four texels with weights summing to 256: red and blue,
// then alpha and green, in two 16-bit lanes of one 32-bit product each.
inline std::uint32_t Bilerp(std::uint32_t t00, std::uint32_t t10, std::uint32_t t01, std::uint32_t t11,
                            std::uint32_t fx, std::uint32_t fy) {
    const std::uint32_t w10 = (fx * (256 - fy)) >> 8, w01 = ((256 - fx) * fy) >> 8, w11 = (fx * fy) >> 8;
    const std::uint32_t w00 = 256 - w10 - w01 - w11;
    constexpr std::uint32_t kMask = 0x00FF00FFu;
    const std::uint32_t rb =
        (t00 & kMask) * w00 + (t10 & kMask) * w10 + (t01 & kMask) * w01 + (t11 & kMask) * w11;
    const std::uint32_t ag = ((t00 >> 8) & kMask) * w00 + ((t10 >> 8) & kMask) * w10 +
                             ((t01 >> 8) & kMask) * w01 + ((t11 >> 8) & kMask) * w11;
    return ((rb >> 8) & kMask) | (ag & ~kMask);
}

template <class Address>
void SamplePoint(const StageSampler& s, const Level& l, const float* u, const float* v, int n, std::uint32_t* out) {
    const float su = static_cast<float>(l.width) * 256.0f, sv = static_cast<float>(l.height) * 256.0f;
    for (int i = 0; i < n; ++i) {
        const int x = ToFixed(u[i] * su) >> 8, y = ToFixed(v[i] * sv) >> 8;
        Address::Fetch(s, l, x, y, out[i]);
    }
}

template <class Address>
void SampleLinear(const StageSampler& s, const Level& l, const float* u, const float* v, int n, std::uint32_t* out) {
    const float su = static_cast<float>(l.width) * 256.0f, sv = static_cast<float>(l.height) * 256.0f;
    for (int i = 0; i < n; ++i) {
        const int px = ToFixed(u[i] * su - 128.0f), py = ToFixed(v[i] * sv - 128.0f);
        const int x = px >> 8, y = py >> 8;
        std::uint32_t t00, t10, t01, t11;
        Address::Fetch(s, l, x, y, t00);
        Address::Fetch(s, l, x + 1, y, t10);
        Address::Fetch(s, l, x, y + 1, t01);
        Address::Fetch(s, l, x + 1, y + 1, t11);
        out[i] = Bilerp(t00, t10, t01, t11, static_cast<std::uint32_t>(px & 255), static_cast<std::uint32_t>(py & 255));
    }
}

template <class Address>
bool TrySampleLevel(bool linear, const StageSampler& s, const Level& l, const float* u, const float* v, int n,
                    std::uint32_t* out) {
    if (!Address::Fits(s, l)) return false;
    if (linear) {
        SampleLinear<Address>(s, l, u, v, n, out);
    } else {
        SamplePoint<Address>(s, l, u, v, n, out);
    }
    return true;
}

void SampleLevel(bool linear, const StageSampler& s, const Level& l, const float* u, const float* v, int n,
                 std::uint32_t* out) {
    if (TrySampleLevel<WrapPow2>(linear, s, l, u, v, n, out)) return;
    if (TrySampleLevel<Clamp>(linear, s, l, u, v, n, out)) return;
    TrySampleLevel<AnyAddress>(linear, s, l, u, v, n, out);
}

Level GetLevel(const SampledTexture& t, int index) {
    const SamplingLevel& l = t.levels[index];
    return {l.texels, l.width, l.height};
}

bool Usable(const SamplingLevel& l) { return l.texels != nullptr && l.width > 0 && l.height > 0; }

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
    if (s.texture == nullptr) {
        std::fill(out, out + n, 0xFFFFFFFFu);
        return;
    }
    lod += s.lodBias;
    const bool magnify = !(lod > 0.0f);
    const bool linear = (magnify ? s.magFilter : s.minFilter) >= D3DTEXF_LINEAR;
    const int last = s.levelCount - 1;
    if (magnify || s.mipFilter == D3DTEXF_NONE || s.baseLevel >= last) {
        SampleLevel(linear, s, GetLevel(*s.texture, s.baseLevel), u, v, n, out);
        return;
    }
    const float level = std::min(lod + static_cast<float>(s.baseLevel), static_cast<float>(last));
    if (s.mipFilter == D3DTEXF_POINT) {
        SampleLevel(linear, s, GetLevel(*s.texture, static_cast<int>(level + 0.5f)), u, v, n, out);
        return;
    }
    const int lower = static_cast<int>(level);
    const std::uint32_t fraction = static_cast<std::uint32_t>((level - static_cast<float>(lower)) * 256.0f);
    SampleLevel(linear, s, GetLevel(*s.texture, lower), u, v, n, out);
    if (lower >= last || fraction == 0) return;
    std::uint32_t coarse[64];
    for (int start = 0; start < n; start += 64) {
        const int count = std::min(64, n - start);
        SampleLevel(linear, s, GetLevel(*s.texture, lower + 1), u + start, v + start, count, coarse);
        for (int i = 0; i < count; ++i) out[start + i] = Bilerp(out[start + i], coarse[i], 0, 0, fraction, 0);
    }
}

}  // namespace valmere::raster
