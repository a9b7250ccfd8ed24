// Plain formats described as data: which bits of the little-endian pixel word
// hold each decoded channel, and what a channel the format lacks decodes to.
// PlainCodec<layout> turns a layout into straight-line conversion code.
//
// Unsigned fields of n bits scale by 2^n - 1 (decode multiplies by the float
// reciprocal), signed fields by 2^(n-1) and are two's complement. Encoding is
// n = truncate(float32(v * scale + bias)) after clamping v to what the field
// can hold (0..1, or -1..(2^(n-1) - 1)/2^(n-1)).
#pragma once

#include "texture/codec/NumericKind.h"

#include <cstdint>

namespace valmere {

enum class FieldType : std::uint8_t { None, Unsigned, Signed };

struct Field {
    std::uint8_t shift = 0;
    std::uint8_t bits = 0;
    FieldType type = FieldType::None;
};

struct ChannelLayout {
    std::uint8_t bytesPerPixel = 0;
    Field r, g, b, a;
    // Decoded value of each channel whose field is None.
    float fillR = 0.0f, fillG = 0.0f, fillB = 0.0f, fillA = 1.0f;
    // The r field holds luminance: it decodes into r, g and b alike and
    // encodes 0.2125 r + 0.7154 g + 0.0721 b.
    bool luminance = false;
};

constexpr Field U(std::uint8_t shift, std::uint8_t bits) { return {shift, bits, FieldType::Unsigned}; }
constexpr Field S(std::uint8_t shift, std::uint8_t bits) { return {shift, bits, FieldType::Signed}; }

constexpr NumericKind KindOf(const ChannelLayout& l) {
    if (l.a.type == FieldType::Signed) return NumericKind::SignedRgba;
    if (l.r.type == FieldType::Signed) return NumericKind::SignedRgb;
    return NumericKind::Unsigned;
}

}  // namespace valmere
