// BC4 and BC5 channel blocks with palettes worked out by hand: sevenths when
// e0 > e1, fifths and the two ends of the range otherwise, rounded to the
// nearest code.
#include "texture/bc/BcBlocks.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <vector>

namespace valmere::test {
namespace {

// A channel block whose pixel i takes index i (pixels 8..15 index 0).
std::array<std::uint8_t, 8> Channel(int e0, int e1) {
    std::uint64_t indices = 0;
    for (int i = 0; i < 8; ++i) indices |= static_cast<std::uint64_t>(i) << (3 * i);
    std::array<std::uint8_t, 8> block{static_cast<std::uint8_t>(e0), static_cast<std::uint8_t>(e1)};
    for (int k = 0; k < 6; ++k) block[2 + k] = static_cast<std::uint8_t>(indices >> (8 * k));
    return block;
}

// The first eight pixels (row 0 and row 1) of one decoded BC4 block.
std::vector<int> Bc4(const std::array<std::uint8_t, 8>& block, bool isSigned) {
    std::uint8_t pixels[16];
    (isSigned ? bc::DecodeBc4SnormBlocks : bc::DecodeBc4UnormBlocks)(block.data(), 1, pixels, 4);
    return std::vector<int>(pixels, pixels + 8);
}

TEST(BcChannelDecode, Bc4UnsignedSeventhsAndFifths) {
    // 200 > 100: (6 x 200 + 100) / 7 = 185.7 .. (200 + 6 x 100) / 7 = 114.3.
    EXPECT_EQ(Bc4(Channel(200, 100), false), (std::vector<int>{200, 100, 186, 171, 157, 143, 129, 114}));
    // 100 <= 200: fifths, then 0 and 255.
    EXPECT_EQ(Bc4(Channel(100, 200), false), (std::vector<int>{100, 200, 120, 140, 160, 180, 0, 255}));
}

TEST(BcChannelDecode, Bc4SignedMapsMinusOneToOneOntoBytes) {
    // 127 > -127 as signed codes: (v / 127 + 1) x 127.5, v = 127, -127, then
    // (6 x 127 - 127) / 7 = 90.71 -> 218.6 .. -90.71 -> 36.4.
    EXPECT_EQ(Bc4(Channel(127, 0x81), true), (std::vector<int>{255, 0, 219, 182, 146, 109, 73, 36}));
    // -128 reads as -127; -100 <= 100: fifths (-60 -> 67.3, -20, 20, 60),
    // then -1 and 1.
    EXPECT_EQ(Bc4(Channel(0x80, 0x81), true)[0], 0);
    EXPECT_EQ(Bc4(Channel(0x9C, 100), true), (std::vector<int>{27, 228, 67, 107, 148, 188, 0, 255}));
}

TEST(BcChannelDecode, Bc5UnsignedToRedAndGreenOfX8R8G8B8) {
    std::array<std::uint8_t, 16> block{};
    const auto red = Channel(255, 0);
    const auto green = Channel(0, 255);
    std::copy(red.begin(), red.end(), block.begin());
    std::copy(green.begin(), green.end(), block.begin() + 8);
    std::uint8_t pixels[64];
    bc::DecodeBc5UnormBlocks(block.data(), 1, pixels, 16);
    // Pixel 2 (index 2): red 6/7 of 255 = 218.6, green (4 x 0 + 255) / 5 = 51;
    // bytes blue, green, red, unused.
    EXPECT_EQ((std::vector<int>(pixels + 8, pixels + 12)), (std::vector<int>{0, 51, 219, 0}));
    EXPECT_EQ((std::vector<int>(pixels + 28, pixels + 32)), (std::vector<int>{0, 255, 36, 0}));  // pixel 7
}

TEST(BcChannelDecode, Bc5SignedMapsBothChannelsOntoBytes) {
    std::array<std::uint8_t, 16> block{};
    const auto red = Channel(127, 0x81);  // 127 > -127: sevenths
    const auto green = Channel(0x9C, 100);  // -100 <= 100: fifths, then -127 and 127
    std::copy(red.begin(), red.end(), block.begin());
    std::copy(green.begin(), green.end(), block.begin() + 8);
    std::uint8_t pixels[64];
    bc::DecodeBc5SnormBlocks(block.data(), 1, pixels, 16);
    // Pixel 2: red (6 x 127 - 127) / 7 -> 218.6, green -60 -> 67.3.
    EXPECT_EQ((std::vector<int>(pixels + 8, pixels + 12)), (std::vector<int>{0, 67, 219, 0}));
    // Pixel 6: red (2 x 127 - 5 x 127) / 7 -> 72.9, green -127 -> 0.
    EXPECT_EQ((std::vector<int>(pixels + 24, pixels + 28)), (std::vector<int>{0, 0, 73, 0}));
}

}  // namespace
}  // namespace valmere::test
