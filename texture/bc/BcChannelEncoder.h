// The encoder of one channel block (BcChannel.h): BC4's only channel, each
// of BC5's two.
#pragma once

#include <cstdint>

namespace valmere::bc {

// The 8-byte channel block that comes nearest `values` (16 pixels in
// row-major order, in code units: 0..255 unsigned, -127..127 signed; values
// beyond are clamped) by least squared error against the exact palette
// fractions. Both modes are tried: eight steps between endpoints around the
// extremes of the values, six steps plus the ends of the range around the
// extremes of the values not near those ends (within four and two codes);
// each then follows the least-squares endpoints of its indices (within a
// code) while the error falls.
void EncodeChannelBlock(const float* values, bool isSigned, std::uint8_t* block);

}  // namespace valmere::bc
