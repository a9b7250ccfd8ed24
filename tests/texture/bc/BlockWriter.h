// Builds 16-byte blocks field by field, the first field in the lowest bits,
// as the BC6H and BC7 block descriptions list them.
#pragma once

#include <array>
#include <cstdint>

namespace valmere::test {

using Block16 = std::array<std::uint8_t, 16>;

class BlockWriter {
public:
    // Appends the low `count` bits of `value`.
    BlockWriter& Bits(std::uint64_t value, int count) {
        for (int i = 0; i < count; ++i, ++position_) {
            if ((value >> i) & 1) block_[position_ / 8] |= static_cast<std::uint8_t>(1u << (position_ % 8));
        }
        return *this;
    }
    int Position() const { return position_; }
    const Block16& Block() const { return block_; }

private:
    Block16 block_{};
    int position_ = 0;
};

// Pixel (x, y) of a decoded 4x4 A8R8G8B8 block as red, green, blue, alpha.
struct Rgba8 {
    int r, g, b, a;
    bool operator==(const Rgba8&) const = default;
};

inline Rgba8 PixelOf(const std::uint8_t* pixels, int i) {
    const std::uint8_t* p = pixels + 4 * i;  // blocks decoded with a 16-byte pitch
    return Rgba8{p[2], p[1], p[0], p[3]};
}

}  // namespace valmere::test

#include <ostream>

namespace valmere::test {
inline std::ostream& operator<<(std::ostream& out, const Rgba8& c) {
    return out << "(" << c.r << ", " << c.g << ", " << c.b << ", " << c.a << ")";
}
}  // namespace valmere::test
