// DXT2/DXT3 alpha: 4 bits per pixel.
#include "texture/dxt/AlphaBlock.h"
#include "texture/dxt/ByteOrder.h"

namespace valmere {
namespace {

constexpr float kNibbleStep = 0.06666667f;  // 1/15

struct NibbleEntries {
    Float4 entry[16];
};

constexpr NibbleEntries MakeNibbleEntries() {
    NibbleEntries n{};
    for (int k = 0; k < 16; ++k) n.entry[k] = Float4{0, 0, 0, static_cast<float>(k) * kNibbleStep};
    return n;
}

constexpr NibbleEntries kNibbleEntries = MakeNibbleEntries();

}  // namespace

// The codes are the nibbles, already quantised with diffusion (and held to
// 0..15) by QuantizeBlocks.
void PackExplicitAlphas(std::uint8_t* blocks, int stride, int count, const BlockLanes& codes) {
    UInt4 bits[2] = {};  // pixels 0-7 and 8-15
    for (int i = 0; i < 16; ++i) bits[i / 8] |= UInt4(TruncateLanes(codes.channel[kAlpha][i])) << (4 * (i % 8));
    for (int k = 0; k < count; ++k) {
        StoreBytes(blocks + k * stride, bits[0][k] | static_cast<std::uint64_t>(bits[1][k]) << 32, 8);
    }
}

const Float4* ExplicitAlphaEntries() { return kNibbleEntries.entry; }

}  // namespace valmere
