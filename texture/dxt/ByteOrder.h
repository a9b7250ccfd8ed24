// Little-endian loads and stores of block fields.
#pragma once

#include <bit>
#include <cstdint>
#include <cstring>

namespace valmere {

inline std::uint16_t Load16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
inline std::uint32_t Load32(const std::uint8_t* p) {
    return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
           (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
// The low `count` (at most 8) bytes of a little-endian value.
inline std::uint64_t LoadBytes(const std::uint8_t* p, int count) {
    static_assert(std::endian::native == std::endian::little, "block fields are copied in host order");
    std::uint64_t v = 0;
    std::memcpy(&v, p, static_cast<std::size_t>(count));
    return v;
}

inline void Store16(std::uint8_t* p, std::uint16_t v) {
    p[0] = static_cast<std::uint8_t>(v);
    p[1] = static_cast<std::uint8_t>(v >> 8);
}
inline void StoreBytes(std::uint8_t* p, std::uint64_t v, int count) {
    for (int i = 0; i < count; ++i) p[i] = static_cast<std::uint8_t>(v >> (8 * i));
}

}  // namespace valmere
