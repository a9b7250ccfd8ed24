// BC7: 16-byte blocks of 4x4 RGBA pixels in eight modes. The mode is the
// number of 0 bits before the first 1 from bit 0 (byte 0 of 0 is reserved
// and decodes as transparent black). Then, in this order:
//
//   mode  subsets  partition  rotation  index  colour  alpha  p-bits      indices
//                  bits       bits      select bits    bits
//   0     3        4          -         -      4       -      per endpoint 3
//   1     2        6          -         -      6       -      per subset   3
//   2     3        6          -         -      5       -      -            2
//   3     2        6          -         -      7       -      per endpoint 2
//   4     1        -          2         1      5       6      -            2 and 3
//   5     1        -          2         -      7       8      -            2 and 2
//   6     1        -          -         -      7       7      per endpoint 4
//   7     2        6          -         -      5       5      per endpoint 2
//
// Endpoints come channel by channel (red, green, blue, alpha), each channel
// subset by subset, endpoint 0 before endpoint 1. A p-bit is the new lowest
// bit of every channel of its endpoint(s). Each value of n bits widens to 8
// by repeating its top bits below it: v << (8 - n) | v >> (2n - 8).
//
// Indices follow for pixels 0..15; the anchor pixels of the partition
// (BcPartitions.h) store one bit fewer. Modes 4 and 5 have a second index
// set for alpha (mode 4's index-select bit swaps which set, the 2-bit or the
// 3-bit one, serves colour), and their rotation swaps alpha with red (1),
// green (2) or blue (3) after decoding. Channel values are
// ((64 - w) e0 + w e1 + 32) >> 6 with the weights of the index width.
//
// The decoder computes each subset's palette of colours once, as packed
// A8R8G8B8 words, and then only looks pixels up. Each mode is a template
// instance, so field widths and counts are constants.
#include "texture/bc/BcBits.h"
#include "texture/bc/BcBlocks.h"
#include "texture/bc/BcPartitions.h"

#include <initializer_list>
#include <type_traits>

namespace valmere::bc {
namespace {

enum class PBits { None, PerEndpoint, PerSubset };

struct Bc7Mode {
    int subsets;
    int partitionBits;
    int rotationBits;
    int selectorBits;
    int colorBits;
    int alphaBits;  // 0: opaque
    PBits pbits;
    int indexBits;
    int secondIndexBits;  // 0: one index set for all four channels
};

constexpr Bc7Mode kModes[8] = {
    {3, 4, 0, 0, 4, 0, PBits::PerEndpoint, 3, 0}, {2, 6, 0, 0, 6, 0, PBits::PerSubset, 3, 0},
    {3, 6, 0, 0, 5, 0, PBits::None, 2, 0},        {2, 6, 0, 0, 7, 0, PBits::PerEndpoint, 2, 0},
    {1, 0, 2, 1, 5, 6, PBits::None, 2, 3},        {1, 0, 2, 0, 7, 8, PBits::None, 2, 2},
    {1, 0, 0, 0, 7, 7, PBits::PerEndpoint, 4, 0}, {2, 6, 0, 0, 5, 5, PBits::PerEndpoint, 2, 0},
};

constexpr std::uint8_t kWeights2[4] = {0, 21, 43, 64};
constexpr std::uint8_t kWeights3[8] = {0, 9, 18, 27, 37, 46, 55, 64};
constexpr std::uint8_t kWeights4[16] = {0, 4, 9, 13, 17, 21, 26, 30, 34, 38, 43, 47, 51, 55, 60, 64};

constexpr const std::uint8_t* WeightsOf(int bits) { return bits == 2 ? kWeights2 : bits == 3 ? kWeights3 : kWeights4; }

// Four channels in the byte order of A8R8G8B8: blue, green, red, alpha.
using Channels = int __attribute__((vector_size(16)));
using Bytes4 = std::uint8_t __attribute__((vector_size(4)));
constexpr int kBlue = 0, kGreen = 1, kRed = 2, kAlpha = 3;

std::uint32_t Pack(Channels c) {
    const Bytes4 bytes = __builtin_convertvector(c, Bytes4);
    std::uint32_t word;
    std::memcpy(&word, &bytes, sizeof word);
    return word;
}

// `count` entries of the palette between e0 and e1, packed.
template <int kIndexBits>
void BuildPalette(Channels e0, Channels e1, std::uint32_t* palette) {
    constexpr const std::uint8_t* kW = WeightsOf(kIndexBits);
    for (int k = 0; k < (1 << kIndexBits); ++k) {
        const int w = kW[k];
        palette[k] = Pack(((64 - w) * e0 + w * e1 + 32) >> 6);
    }
}

// Channel `channel` of A8R8G8B8 moved to alpha and alpha to it (rotation
// 1, 2, 3 swap alpha with red, green, blue).
Channels Rotate(Channels c, unsigned rotation) {
    switch (rotation) {
        case 1: return __builtin_shufflevector(c, c, kBlue, kGreen, kAlpha, kRed);
        case 2: return __builtin_shufflevector(c, c, kBlue, kAlpha, kRed, kGreen);
        case 3: return __builtin_shufflevector(c, c, kAlpha, kGreen, kRed, kBlue);
        default: return c;
    }
}

template <int kBits>
constexpr int Widen(int v) {
    static_assert(kBits >= 4, "BC7 stores at least 4 bits");
    if constexpr (kBits >= 8) {
        return v;
    } else {
        return (v << (8 - kBits)) | (v >> (2 * kBits - 8));
    }
}

// The pixel-to-subset words and the anchors (in increasing order) of the
// block's partition.
template <int kSubsets>
struct Partition {
    std::uint32_t subsets = 0;
    unsigned anchors[kSubsets];
};

template <int kSubsets>
Partition<kSubsets> PartitionOf(unsigned pattern) {
    Partition<kSubsets> p;
    p.anchors[0] = 0;
    if constexpr (kSubsets == 2) {
        p.subsets = kTwoSubsetPartitions.subsets[pattern];
        p.anchors[1] = kTwoSubsetPartitions.anchor1[pattern];
    } else if constexpr (kSubsets == 3) {
        p.subsets = kThreeSubsetPartitions.subsets[pattern];
        const unsigned a = kThreeSubsetPartitions.anchor1[pattern];
        const unsigned b = kThreeSubsetPartitions.anchor2[pattern];
        p.anchors[1] = a < b ? a : b;
        p.anchors[2] = a < b ? b : a;
    }
    return p;
}

void StorePixel(std::uint8_t* out, std::size_t pitch, int i, std::uint32_t pixel) {
    std::memcpy(out + (i >> 2) * pitch + (i & 3) * 4, &pixel, 4);
}

template <int kMode>
void DecodeMode(Block128 bits, std::uint8_t* out, std::size_t pitch) {
    constexpr Bc7Mode m = kModes[kMode];
    constexpr int kEndpoints = 2 * m.subsets;
    constexpr bool kHasAlpha = m.alphaBits > 0;
    BitReader reader(bits, kMode + 1);
    const unsigned pattern = reader.Read(m.partitionBits);
    const unsigned rotation = reader.Read(m.rotationBits);
    const unsigned selector = reader.Read(m.selectorBits);

    int fields[4][kEndpoints];  // red, green, blue, alpha
    for (int c = 0; c < 3; ++c) {
        for (int& v : fields[c]) v = static_cast<int>(reader.Read(m.colorBits));
    }
    for (int& v : fields[3]) v = kHasAlpha ? static_cast<int>(reader.Read(m.alphaBits)) : 255;
    constexpr int kPBit = m.pbits == PBits::None ? 0 : 1;
    constexpr int kChannels = kHasAlpha ? 4 : 3;
    if constexpr (kPBit) {
        int p = 0;
        for (int e = 0; e < kEndpoints; ++e) {
            // Per subset: one bit for both endpoints, read with the first.
            if (m.pbits == PBits::PerEndpoint || (e & 1) == 0) p = static_cast<int>(reader.Read(1));
            for (int c = 0; c < kChannels; ++c) fields[c][e] = (fields[c][e] << 1) | p;
        }
    }
    Channels endpoints[kEndpoints];
    for (int e = 0; e < kEndpoints; ++e) {
        constexpr int kColor = m.colorBits + kPBit;
        constexpr int kAlpha8 = m.alphaBits + kPBit;
        int alpha = 255;
        if constexpr (kHasAlpha) alpha = Widen<kAlpha8>(fields[3][e]);
        endpoints[e] = Channels{Widen<kColor>(fields[2][e]), Widen<kColor>(fields[1][e]), Widen<kColor>(fields[0][e]), alpha};
    }

    const Partition<m.subsets> partition = PartitionOf<m.subsets>(pattern);
    constexpr int kIndexFieldBits = 16 * m.indexBits - m.subsets;
    const std::uint64_t indices = ExpandAnchoredIndices(reader.Peek64(kIndexFieldBits), m.indexBits, partition.anchors);
    constexpr std::uint64_t kIndexMask = (1u << m.indexBits) - 1;

    if constexpr (m.secondIndexBits == 0) {
        constexpr int kEntries = 1 << m.indexBits;
        std::uint32_t palette[m.subsets * kEntries];
        for (int s = 0; s < m.subsets; ++s) BuildPalette<m.indexBits>(endpoints[2 * s], endpoints[2 * s + 1], palette + s * kEntries);
        for (int i = 0; i < 16; ++i) {
            const unsigned subset = (partition.subsets >> (2 * i)) & 3;
            StorePixel(out, pitch, i, palette[subset * kEntries + ((indices >> (m.indexBits * i)) & kIndexMask)]);
        }
    } else {
        // One subset; colour and alpha each from their own index set.
        reader.Skip(kIndexFieldBits);
        const std::uint64_t second =
            ExpandAnchoredIndices(reader.Peek64(16 * m.secondIndexBits - 1), m.secondIndexBits, partition.anchors);
        const Channels colorMask = {-1, -1, -1, 0};
        const Channels e0 = endpoints[0];
        const Channels e1 = endpoints[1];
        std::uint32_t colors[8];
        std::uint32_t alphas[8];
        // Palettes of both widths are cheap; the selector picks which one
        // the colour uses.
        const auto build = [&](auto bitsTag, Channels keep, std::uint32_t* palette) {
            constexpr int kBits = decltype(bitsTag)::value;
            BuildPalette<kBits>(Rotate(e0 & keep, rotation), Rotate(e1 & keep, rotation), palette);
        };
        using Narrow = std::integral_constant<int, m.indexBits>;
        using Wide = std::integral_constant<int, m.secondIndexBits>;
        std::uint64_t colorIndices = indices;
        std::uint64_t alphaIndices = second;
        unsigned colorShift = m.indexBits;
        unsigned alphaShift = m.secondIndexBits;
        if (selector == 0) {
            build(Narrow{}, colorMask, colors);
            build(Wide{}, ~colorMask, alphas);
        } else {
            build(Wide{}, colorMask, colors);
            build(Narrow{}, ~colorMask, alphas);
            colorIndices = second;
            alphaIndices = indices;
            colorShift = m.secondIndexBits;
            alphaShift = m.indexBits;
        }
        const std::uint64_t colorMaskBits = (1u << colorShift) - 1;
        const std::uint64_t alphaMaskBits = (1u << alphaShift) - 1;
        for (int i = 0; i < 16; ++i) {
            StorePixel(out, pitch, i,
                       colors[(colorIndices >> (colorShift * i)) & colorMaskBits] |
                           alphas[(alphaIndices >> (alphaShift * i)) & alphaMaskBits]);
        }
    }
}

void DecodeReserved(std::uint8_t* out, std::size_t pitch) {
    for (int y = 0; y < 4; ++y) std::memset(out + y * pitch, 0, 16);
}

void DecodeBlock(const std::uint8_t* block, std::uint8_t* out, std::size_t pitch) {
    const Block128 bits = LoadBlock128(block);
    switch (__builtin_ctz(block[0] | 0x100u)) {
        case 0: DecodeMode<0>(bits, out, pitch); break;
        case 1: DecodeMode<1>(bits, out, pitch); break;
        case 2: DecodeMode<2>(bits, out, pitch); break;
        case 3: DecodeMode<3>(bits, out, pitch); break;
        case 4: DecodeMode<4>(bits, out, pitch); break;
        case 5: DecodeMode<5>(bits, out, pitch); break;
        case 6: DecodeMode<6>(bits, out, pitch); break;
        case 7: DecodeMode<7>(bits, out, pitch); break;
        default: DecodeReserved(out, pitch); break;
    }
}

}  // namespace

void DecodeBc7Blocks(const std::uint8_t* blocks, std::size_t count, std::uint8_t* out, std::size_t outPitch) {
    for (std::size_t b = 0; b < count; ++b) DecodeBlock(blocks + 16 * b, out + 16 * b, outPitch);
}

}  // namespace valmere::bc
