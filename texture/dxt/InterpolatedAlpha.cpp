// DXT4/DXT5 alpha: two endpoint bytes and 3-bit indices.
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/AlphaIndexSearch.h"
#include "texture/dxt/ByteOrder.h"

#include <cstring>

namespace valmere {
namespace {

constexpr float kSeventh = 0.14285715f;
constexpr float kFifth = 0.2f;

// Entry j is (w0 a0 + w1 a1) * scale + constant, from one row per mode:
// eight-step ((7 - k) a0 + k a1) / 7, six-step ((5 - k) a0 + k a1) / 5
// followed by 0 and 1.
struct ModeWeights {
    float w0[8], w1[8], scale[8], constant[8];
};
constexpr ModeWeights kEightSteps = {{1, 0, 6, 5, 4, 3, 2, 1}, {0, 1, 1, 2, 3, 4, 5, 6},
                                     {1, 1, kSeventh, kSeventh, kSeventh, kSeventh, kSeventh, kSeventh},
                                     {0, 0, 0, 0, 0, 0, 0, 0}};
constexpr ModeWeights kSixSteps = {{1, 0, 4, 3, 2, 1, 0, 0}, {0, 1, 1, 2, 3, 4, 0, 0},
                                   {1, 1, kFifth, kFifth, kFifth, kFifth, 0, 0}, {0, 0, 0, 0, 0, 0, 0, 1}};

// The decoder and the encoder's index search compute entries by this one
// expression, so they agree to the bit.
Float4 PaletteEntry(Float4 a0, Float4 a1, Float4 w0, Float4 w1, Float4 scale, Float4 constant) {
    return (w0 * a0 + w1 * a1) * scale + constant;
}

Float4 Lanes(const float* p) {
    Float4 v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

}  // namespace

void InterpolatedAlphaEntries(const std::uint8_t* block, Float4* entries) {
    const ModeWeights& m = block[0] > block[1] ? kEightSteps : kSixSteps;
    const Float4 a0 = Float4{} + static_cast<float>(block[0]) * (1.0f / 255.0f);
    const Float4 a1 = Float4{} + static_cast<float>(block[1]) * (1.0f / 255.0f);
    // Entries 0-3 and 4-7 in the lanes of two vectors, then each entry into
    // the alpha lane of a vector of its own.
    for (int half = 0; half < 2; ++half) {
        const int j = 4 * half;
        const Float4 four = PaletteEntry(a0, a1, Lanes(m.w0 + j), Lanes(m.w1 + j), Lanes(m.scale + j), Lanes(m.constant + j));
        entries[j] = __builtin_shufflevector(four, Float4{}, 4, 4, 4, 0);
        entries[j + 1] = __builtin_shufflevector(four, Float4{}, 4, 4, 4, 1);
        entries[j + 2] = __builtin_shufflevector(four, Float4{}, 4, 4, 4, 2);
        entries[j + 3] = __builtin_shufflevector(four, Float4{}, 4, 4, 4, 3);
    }
}

AlphaIndexSearch::AlphaIndexSearch(const BlockLanes& pixels, const BlockLanes& codes) : pixels_(pixels) {
    const Float4 zero = {};
    const Float4* alpha = pixels.channel[kAlpha];
    // Values snapped to bytes with diffusion (by QuantizeBlocks); the fit
    // works on these. The extremes start from pixel 0's own alpha.
    Float4 kept[16];
    Float4 smallest = alpha[0];
    Float4 largest = alpha[0];
    for (int i = 0; i < 16; ++i) {
        kept[i] = codes.channel[kAlpha][i] * (1.0f / 255.0f);
        smallest = kept[i] < smallest ? kept[i] : smallest;
        largest = largest < kept[i] ? kept[i] : largest;
    }
    const Int4 opaque = smallest == 1.0f;

    // Six steps when the block reaches 0 or 1, which then have entries of
    // their own; eight steps between the endpoints otherwise.
    const Int4 six = (smallest == 0.0f) | (largest == 1.0f);
    Float4 lo;
    Float4 hi;
    FitAlphaEndpoints(kept, six, lo, hi);
    // lo and hi are in 0..1 or NaN, which gives 0.
    const Int4 low = TruncateLanes(Max4(lo * 255.0f + 0.5f, zero));
    const Int4 high = TruncateLanes(Max4(hi * 255.0f + 0.5f, zero));
    const Int4 flat = ~six & (low == high);
    // Eight steps need alpha0 > alpha1; six steps alpha0 <= alpha1.
    const Int4 alpha0 = six ? low : high;
    const Int4 alpha1 = six ? high : low;
    six_ = six;
    indicesKept_ = ~(opaque | flat);
    byte0_ = opaque ? Int4{} + 255 : (flat ? low : alpha0);
    byte1_ = opaque ? Int4{} + 255 : (flat ? high : alpha1);
    // Entries 0 and 1 are the endpoints; between them linear position p
    // (entry p + 1) holds ((last - p) a0 + p a1) * step (+ 0), as the decoder
    // computes it.
    const Float4 entry0 = ToFloat4(alpha0) * (1.0f / 255.0f);
    const Float4 entry1 = ToFloat4(alpha1) * (1.0f / 255.0f);
    const Float4 last = six ? zero + 5.0f : zero + 7.0f;
    const Float4 stepScale = six ? zero + kFifth : zero + kSeventh;
    const Float4 span = entry1 - entry0;
    // With equal endpoints every value would sit at position 0, and a 1 in a
    // six-step block would take entry 0 instead of the fixed 1: values above
    // the endpoint count as past its far end instead (span +0 gives +inf).
    toPosition_ = last / span;
    last_ = last;
    entry0_ = entry0;
    nearZero_ = entry0 * 0.5f;
    nearOne_ = (entry1 + 1.0f) * 0.5f;
    lastPosition_ = six ? Int4{} + 5 : Int4{} + 7;
    // Six-step blocks use positions 0..5.
    positionEntry_[0] = entry0;
    for (int p = 1; p < 8; ++p) {
        const Float4 position = zero + static_cast<float>(p);
        positionEntry_[p] = PaletteEntry(entry0, entry1, last - position, position, stepScale, zero);
    }
    positionEntry_[5] = six ? entry1 : positionEntry_[5];
    positionEntry_[7] = entry1;
}

void AlphaIndexSearch::Store(std::uint8_t* blocks, int stride, int count) const {
    for (int k = 0; k < count; ++k) {
        std::uint8_t* block = blocks + k * stride;
        block[0] = static_cast<std::uint8_t>(byte0_[k]);
        block[1] = static_cast<std::uint8_t>(byte1_[k]);
        const std::uint64_t word = bits_[0][k] | static_cast<std::uint64_t>(bits_[1][k]) << 24;
        StoreBytes(block + 2, indicesKept_[k] ? word : 0, 6);
    }
}

}  // namespace valmere
