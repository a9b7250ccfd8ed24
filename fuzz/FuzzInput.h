// Reading one fuzz input as a structured call: the fixed fields of the
// target's byte layout first, in order, then the rest as data. A field past
// the end of the input reads as 0, so every input, however short, is a call.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>

namespace valmere::fuzz {

class FuzzInput {
public:
    FuzzInput(const std::uint8_t* data, std::size_t size) : bytes_(data, size) {}

    std::uint8_t U8() { return offset_ < bytes_.size() ? bytes_[offset_++] : 0; }
    std::int8_t S8() { return static_cast<std::int8_t>(U8()); }
    // Little-endian.
    std::uint16_t U16() { return static_cast<std::uint16_t>(U8() | U8() << 8); }
    std::uint32_t U32() { return U16() | std::uint32_t{U16()} << 16; }
    // Whatever the fields left.
    std::span<const std::uint8_t> Rest() const { return bytes_.subspan(offset_ < bytes_.size() ? offset_ : bytes_.size()); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
};

inline bool Bit(std::uint32_t word, int bit) { return (word >> bit & 1) != 0; }

// One call target's work on one input (its own file defines it; FuzzEntry.cpp
// hands it every input).
void Run(FuzzInput& in);

}  // namespace valmere::fuzz
