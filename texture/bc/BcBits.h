// Bit fields of a 16-byte block, numbered from bit 0 of byte 0 upwards (the
// order BC6H and BC7 blocks are written in).
#pragma once

#include <cstdint>
#include <cstring>

namespace valmere::bc {

__extension__ using Block128 = unsigned __int128;

inline Block128 LoadBlock128(const std::uint8_t* block) {
    static_assert(__BYTE_ORDER__ == __ORDER_LITTLE_ENDIAN__, "blocks are loaded in host order");
    Block128 v;
    std::memcpy(&v, block, sizeof v);
    return v;
}

// Reads fields one after the other from bit `position` on.
class BitReader {
public:
    explicit BitReader(Block128 bits, unsigned position = 0) : bits_(bits), position_(position) {}

    // The next `count` (0 to 32) bits, the first of them in bit 0.
    std::uint32_t Read(unsigned count) {
        const auto value = static_cast<std::uint32_t>(static_cast<std::uint64_t>(bits_ >> position_) & Mask(count));
        position_ += count;
        return value;
    }
    // The next `count` (at most 64) bits as one value, without advancing.
    std::uint64_t Peek64(unsigned count) const { return static_cast<std::uint64_t>(bits_ >> position_) & Mask(count); }
    void Skip(unsigned count) { position_ += count; }
    unsigned Position() const { return position_; }

private:
    static std::uint64_t Mask(unsigned count) { return count >= 64 ? ~std::uint64_t{0} : (std::uint64_t{1} << count) - 1; }

    Block128 bits_;
    unsigned position_;
};

// Index fields of 16 pixels, `bits` each, where each anchor pixel (pixel 0
// and the partition's anchors, in increasing order) stores one bit fewer: its
// top bit is an implied 0. Inserting those zeros gives one field of
// 16 x `bits` bits, pixel i at bit i x bits.
template <int kAnchors>
std::uint64_t ExpandAnchoredIndices(std::uint64_t packed, unsigned bits, const unsigned (&anchors)[kAnchors]) {
    for (int k = 0; k < kAnchors; ++k) {
        const unsigned top = anchors[k] * bits + bits - 1;
        const std::uint64_t low = (std::uint64_t{1} << top) - 1;
        packed = (packed & low) | ((packed & ~low) << 1);
    }
    return packed;
}

}  // namespace valmere::bc
