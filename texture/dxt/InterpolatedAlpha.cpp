// DXT4/DXT5 alpha: two endpoint bytes and 3-bit indices.
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/BlockDiffusion.h"
#include "texture/dxt/ByteOrder.h"
#include "texture/format/Quantize.h"

#include <algorithm>

namespace valmere {
namespace {

constexpr float kSeventh = 0.14285715f;
constexpr float kFifth = 0.2f;

// Index of each linear position from entry 0 to entry 1.
constexpr int kEightOrder[8] = {0, 2, 3, 4, 5, 6, 7, 1};
constexpr int kSixOrder[6] = {0, 2, 3, 4, 5, 1};

void StoreIndices(std::uint8_t* block, const int* indices) {
    std::uint64_t bits = 0;
    for (int i = 0; i < 16; ++i) bits |= static_cast<std::uint64_t>(indices[i]) << (3 * i);
    StoreBytes(block + 2, bits, 6);
}

}  // namespace

void AlphaPalette(std::uint8_t alpha0, std::uint8_t alpha1, float* palette) {
    // Entry j is (w0 a0 + w1 a1) * scale + constant, from one row per mode, so
    // the mode (random between neighbouring blocks) costs no branch:
    // eight-step ((7 - k) a0 + k a1) / 7, six-step ((5 - k) a0 + k a1) / 5
    // followed by 0 and 1.
    struct Weights {
        float w0[8], w1[8], scale[8], constant[8];
    };
    static constexpr Weights kModes[2] = {
        {{1, 0, 6, 5, 4, 3, 2, 1}, {0, 1, 1, 2, 3, 4, 5, 6},
         {1, 1, kSeventh, kSeventh, kSeventh, kSeventh, kSeventh, kSeventh}, {0, 0, 0, 0, 0, 0, 0, 0}},
        {{1, 0, 4, 3, 2, 1, 0, 0}, {0, 1, 1, 2, 3, 4, 0, 0}, {1, 1, kFifth, kFifth, kFifth, kFifth, 0, 0},
         {0, 0, 0, 0, 0, 0, 0, 1}},
    };
    const Weights& m = kModes[alpha0 > alpha1 ? 0 : 1];
    const float a0 = static_cast<float>(alpha0) * (1.0f / 255.0f);
    const float a1 = static_cast<float>(alpha1) * (1.0f / 255.0f);
    for (int j = 0; j < 8; ++j) palette[j] = (m.w0[j] * a0 + m.w1[j] * a1) * m.scale[j] + m.constant[j];
}

void PackInterpolatedAlpha(std::uint8_t* block, const D3DXCOLOR* pixels, const Float4* codes) {
    // Values snapped to bytes with diffusion (by QuantizeBlock); the fit works
    // on these. The extremes start from pixel 0's own alpha.
    float kept[16];
    float smallest = pixels[0].a;
    float largest = pixels[0].a;
    for (int i = 0; i < 16; ++i) {
        kept[i] = codes[i][3] * (1.0f / 255.0f);
        smallest = std::min(smallest, kept[i]);
        largest = std::max(largest, kept[i]);
    }
    int indices[16] = {};
    if (smallest == 1.0f) {
        block[0] = 0xFF;
        block[1] = 0xFF;
        StoreIndices(block, indices);
        return;
    }

    // Six steps when the block reaches 0 or 1, which then have entries of
    // their own; eight steps between the endpoints otherwise.
    const bool six = smallest == 0.0f || largest == 1.0f;
    float lo;
    float hi;
    FitAlphaEndpoints(kept, six ? 6 : 8, lo, hi);
    const auto low = static_cast<std::uint8_t>(QuantizeTruncate(lo, 255.0f, 0.5f));
    const auto high = static_cast<std::uint8_t>(QuantizeTruncate(hi, 255.0f, 0.5f));
    if (!six && low == high) {
        block[0] = low;
        block[1] = high;
        StoreIndices(block, indices);
        return;
    }
    // Eight steps need alpha0 > alpha1; six steps alpha0 <= alpha1.
    block[0] = six ? low : high;
    block[1] = six ? high : low;
    float palette[8];
    AlphaPalette(block[0], block[1], palette);
    const int* order = six ? kSixOrder : kEightOrder;
    const int steps = six ? 5 : 7;
    const float span = palette[1] - palette[0];
    const float toPosition = span == 0.0f ? 0.0f : static_cast<float>(steps) / span;
    // With equal endpoints every value would sit at position 0, and a 1 in a
    // six-step block would take entry 0 instead of the fixed 1: values above
    // the endpoint count as past its far end instead.
    const bool flat = span == 0.0f;

    // Below entry 0 a six-step block may pick the fixed 0 (index 6) and past
    // entry 1 the fixed 1 (index 7); the choices are selects, not branches.
    const float nearZero = palette[0] * 0.5f;
    const float nearOne = (palette[1] + 1.0f) * 0.5f;
    const auto lastPosition = static_cast<float>(steps);
    BlockDiffusion<float> diffusion;
    for (int i = 0; i < 16; ++i) {
        const float v = pixels[i].a + diffusion.At(i);
        const float t = flat ? (v > palette[0] ? lastPosition : 0.0f) : (v - palette[0]) * toPosition;
        int index = order[static_cast<int>(std::min(lastPosition, std::max(0.0f, t)) + 0.5f)];
        index = six && t <= 0.0f && nearZero >= v ? 6 : index;
        index = six && t >= lastPosition && nearOne <= v ? 7 : index;
        indices[i] = index;
        diffusion.Spread(i, v - palette[index]);
    }
    StoreIndices(block, indices);
}

void UnpackInterpolatedAlpha(float* alphas, const std::uint8_t* block) {
    float palette[8];
    AlphaPalette(block[0], block[1], palette);
    // Two 24-bit groups of eight 3-bit indices (bytes 2-4 and 5-7); the
    // 32-bit loads stay inside the 16-byte block.
    for (int half = 0; half < 2; ++half) {
        std::uint32_t bits = Load32(block + 2 + 3 * half);
#pragma GCC unroll 8
        for (int i = 0; i < 8; ++i, bits >>= 3) alphas[8 * half + i] = palette[bits & 7];
    }
}

}  // namespace valmere
