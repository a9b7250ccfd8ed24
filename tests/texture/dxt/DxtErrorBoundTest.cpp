// Every one- and two-colour block of a colour lattice, decoded again, stays
// within a stated error of its source.
#include "DxtTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace valmere::test {
namespace {

// Per-pixel error allowed: one 5:6:5 step per channel (the encoder dithers
// between neighbouring codes) plus a float margin.
constexpr float kStep[3] = {1.0f / 31, 1.0f / 63, 1.0f / 31};

float Channel(const D3DXCOLOR& c, int k) { return k == 0 ? c.r : (k == 1 ? c.g : c.b); }

std::vector<D3DXCOLOR> Lattice(int levels) {
    std::vector<D3DXCOLOR> colours;
    for (int r = 0; r < levels; ++r) {
        for (int g = 0; g < levels; ++g) {
            for (int b = 0; b < levels; ++b) {
                const float s = 1.0f / static_cast<float>(levels - 1);
                colours.emplace_back(static_cast<float>(r) * s, static_cast<float>(g) * s, static_cast<float>(b) * s, 1.0f);
            }
        }
    }
    return colours;
}

// Largest per-channel error over the block in steps of that channel, and the
// block-mean error per channel in steps.
struct BlockError {
    float worst = 0;
    float worstMean = 0;
};

BlockError Measure(const Pixels& in, const Pixels& out) {
    BlockError e;
    for (int k = 0; k < 3; ++k) {
        float mean = 0;
        for (int i = 0; i < 16; ++i) {
            const float d = Channel(out[i], k) - Channel(in[i], k);
            e.worst = std::max(e.worst, std::fabs(d) / kStep[k]);
            mean += d;
        }
        e.worstMean = std::max(e.worstMean, std::fabs(mean / 16) / kStep[k]);
    }
    return e;
}

using PackFn = HRESULT (*)(void*, const D3DXCOLOR*);
using UnpackFn = HRESULT (*)(D3DXCOLOR*, const void*);

Pixels RoundTrip(const Pixels& in, PackFn pack, UnpackFn unpack) {
    Block b{};
    pack(b.data(), in.data());
    Pixels out;
    unpack(out.data(), b.data());
    return out;
}

TEST(DxtErrorBound, EveryOneColourBlock) {
    // 16^3 flat colours: each pixel within one step, the block's mean within
    // half a step (dithering keeps the average).
    for (const D3DXCOLOR& c : Lattice(16)) {
        const Pixels in = Flat(c);
        for (auto [pack, unpack] : {std::pair<PackFn, UnpackFn>{PackBlockDxt1, UnpackBlockDxt1},
                                    {PackBlockDxt5, UnpackBlockDxt5}}) {
            const BlockError e = Measure(in, RoundTrip(in, pack, unpack));
            ASSERT_LE(e.worst, 1.0f + 1e-3f) << c.r << " " << c.g << " " << c.b;
            ASSERT_LE(e.worstMean, 0.5f + 1e-3f) << c.r << " " << c.g << " " << c.b;
        }
    }
}

// Distance in the encoder's weighted space (red and blue count by their share
// of luminance relative to green), in 6-bit green steps.
float WeightedError(const D3DXCOLOR& a, const D3DXCOLOR& b) {
    const float dr = (a.r - b.r) * 0.29703665f;
    const float dg = a.g - b.g;
    const float db = (a.b - b.b) * 0.10078278f;
    return std::sqrt(dr * dr + dg * dg + db * db) * 63.0f;
}

TEST(DxtErrorBound, EveryTwoColourBlock) {
    // Every pair of a 6-level lattice, in a half/half and a checkerboard
    // layout. The fit minimises weighted error, so the bound is stated there:
    // both colours lie on the endpoint line, and each pixel stays within 1.5
    // green steps of its source (endpoint rounding plus carried error).
    const std::vector<D3DXCOLOR> colours = Lattice(6);
    for (size_t i = 0; i < colours.size(); ++i) {
        for (size_t j = i + 1; j < colours.size(); ++j) {
            for (int layout = 0; layout < 2; ++layout) {
                Pixels in;
                for (int p = 0; p < 16; ++p) {
                    const bool second = layout == 0 ? p >= 8 : ((p ^ (p >> 2)) & 1) != 0;
                    in[p] = second ? colours[j] : colours[i];
                }
                const Pixels out = RoundTrip(in, PackBlockDxt1, UnpackBlockDxt1);
                for (int p = 0; p < 16; ++p) {
                    ASSERT_LE(WeightedError(in[p], out[p]), 1.5f) << i << " " << j << " layout " << layout;
                }
            }
        }
    }
}

TEST(DxtErrorBound, TwoAlphaBlocks) {
    // Two alpha values per block: DXT5 holds each within half a byte step of
    // the fitted endpoints, DXT3 within one 4-bit step.
    for (int a0 = 0; a0 <= 255; a0 += 15) {
        for (int a1 = a0; a1 <= 255; a1 += 15) {
            Pixels in;
            for (int p = 0; p < 16; ++p) in[p] = D3DXCOLOR(0.5f, 0.5f, 0.5f, static_cast<float>(p < 8 ? a0 : a1) / 255);
            const Pixels out5 = RoundTrip(in, PackBlockDxt5, UnpackBlockDxt5);
            const Pixels out3 = RoundTrip(in, PackBlockDxt3, UnpackBlockDxt3);
            for (int p = 0; p < 16; ++p) {
                ASSERT_NEAR(out5[p].a, in[p].a, 1.0f / 255 + 1e-5f) << a0 << " " << a1;
                ASSERT_NEAR(out3[p].a, in[p].a, 1.0f / 15 + 1e-5f) << a0 << " " << a1;
            }
        }
    }
}

}  // namespace
}  // namespace valmere::test
