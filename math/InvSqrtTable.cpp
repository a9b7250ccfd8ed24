#include "math/InvSqrtTable.h"

#include <algorithm>
#include <bit>
#include <cmath>

namespace valmere::math {
namespace {

double InvSqrt(double m) { return 1.0 / std::sqrt(m); }

// Rounds to nearest keeping 14 bits after the leading one.
double RoundTo14Bits(double x) {
    int exponent = 0;
    const double mantissa = std::frexp(x, &exponent);  // in [0.5, 1)
    return std::ldexp(std::nearbyint(mantissa * 32768.0) / 32768.0, exponent);
}

InvSqrtTable BuildTable() {
    InvSqrtTable table{};
    for (int k = 0; k < 512; ++k) {
        const double start = k < 256 ? 0.5 + k / 512.0 : 1.0 + (k - 256) / 256.0;
        const double width = k < 256 ? 1.0 / 512.0 : 1.0 / 256.0;
        const double middle = start + width / 2;
        const double slope = RoundTo14Bits(-0.5 * InvSqrt(middle) / middle);
        const double end = start + width;
        const double intercept = std::max(InvSqrt(start) - slope * start, InvSqrt(end) - slope * end);
        table[k] = {static_cast<float>(slope), static_cast<float>(intercept)};
    }
    return table;
}

}  // namespace

const InvSqrtTable& GetInvSqrtTable() {
    static const InvSqrtTable table = BuildTable();
    return table;
}

float TableInvSqrt(float q) {
    const auto bits = std::bit_cast<std::uint32_t>(q);
    const float m = std::bit_cast<float>((bits & 0xFFFFFFu) | 0x3F000000u);
    const InvSqrtPiece& piece = GetInvSqrtTable()[(bits >> 15) & 0x1FFu];
    // Exponent e of q becomes about −e/2: 0xBEFFFFFF − bits negates the biased
    // exponent around 0x7F, the shift halves it.
    const float power = std::bit_cast<float>(((0xBEFFFFFFu - bits) >> 1) & 0xFF800000u);
    return (m * piece.slope + piece.intercept) * power;
}

}  // namespace valmere::math
