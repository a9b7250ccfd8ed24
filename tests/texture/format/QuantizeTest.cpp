// The truncating conversion: product and sum rounded to float, then truncated
// toward zero, with out-of-range input held to a defined result.
#include "texture/format/Quantize.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace valmere {
namespace {

TEST(Quantize, TruncatesTowardZeroAfterTheBias) {
    EXPECT_EQ(QuantizeTruncate(0.5f, 255.0f, 0.5f), 128);
    EXPECT_EQ(QuantizeTruncate(1.0f, 255.0f, 0.5f), 255);
    EXPECT_EQ(QuantizeTruncate(200.0f / 255.0f, 31.0f, 0.5f), 24);  // 24.80
    EXPECT_EQ(QuantizeTruncate(200.0f / 255.0f, 63.0f, 0.5f), 49);  // 49.91
    EXPECT_EQ(QuantizeTruncate(-0.5f, 128.0f, 0.5f), -63);          // -63.5 toward zero
    EXPECT_EQ(QuantizeTruncate(0.5f, 31.0f, 31.0f / 32.0f), 16);    // 15.5 + 0.97
    EXPECT_EQ(QuantizeTruncate(0.5f, 31.0f, 15.0f / 32.0f), 15);    // 15.5 + 0.47
}

TEST(Quantize, RoundsTheSumToFloatBeforeTruncating) {
    // 0.99999994 * 255 + 0.5 is 255.49998... in exact arithmetic; either way
    // it must truncate to 255, never 256.
    const float belowOne = std::nextafter(1.0f, 0.0f);
    EXPECT_EQ(QuantizeTruncate(belowOne, 255.0f, 0.5f), 255);
    // A sum just below an integer that rounds up to it as a float counts as
    // that integer: 7.99999997 is not a float and becomes 8.0f, while
    // 7.9999995 is one and truncates to 7.
    EXPECT_EQ(QuantizeTruncate(1.0f, 7.5f, 0.49999997f), 8);
    EXPECT_EQ(QuantizeTruncate(1.0f, 7.0f, std::nextafter(1.0f, 0.0f)), 8);
    const float justBelow = std::nextafter(0.5f, 0.0f);  // 0.49999997
    EXPECT_EQ(QuantizeTruncate(justBelow, 15.0f, 0.5f), 7);
    EXPECT_EQ(QuantizeTruncate(1.0f, 16777215.0f, 1.0f), 16777216);  // 2^24 - 1 + 1 is exact
    EXPECT_EQ(QuantizeTruncate(1.0f, 16777216.0f, 1.0f), 16777216);  // 2^24 + 1 rounds to 2^24
}

TEST(Quantize, OutOfRangeInputHasADefinedResult) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    EXPECT_EQ(TruncateTowardZero(nan), 0);
    EXPECT_EQ(TruncateTowardZero(inf), 1 << 30);
    EXPECT_EQ(TruncateTowardZero(-inf), -(1 << 30));
    EXPECT_EQ(TruncateTowardZero(3e9f), 1 << 30);
    EXPECT_EQ(TruncateTowardZero(-2.9f), -2);
    EXPECT_EQ(ClampChannel(nan, 0.0f, 1.0f), 0.0f);
    EXPECT_EQ(ClampChannel(2.0f, -1.0f, 127.0f / 128), 127.0f / 128);
    EXPECT_EQ(ClampChannel(-3.0f, -1.0f, 1.0f), -1.0f);
}

}  // namespace
}  // namespace valmere
