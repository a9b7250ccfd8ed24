// The data files that the build generates for the viewer: the height file
// loads in full with gentle hills over the drawn patches, and the three
// bitmaps are 24-bit bottom-up BI_RGB files.
#include "tests/world/WorldTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <vector>

namespace valmere::world::test {
namespace {

const std::string DataFolder = VALMERE_DATA_DIR;

TEST(DataFilesTest, HeightFileGivesGentleHillsOverTheDrawnPatches) {
    auto world = MakeWorld();
    ::testing::internal::CaptureStdout();
    world->LoadHeights((DataFolder + "/test1024.txt").c_str());
    ASSERT_EQ(::testing::internal::GetCapturedStdout(), "");

    float lowest = 1e9f, highest = -1e9f;
    // The drawn corners: index -1 reads 0, then heights[0..15][0..15].
    const auto corner = [&](int i, int b) { return i < 0 || b < 0 ? 0.0f : world->heights[i][b]; };
    for (int i = -1; i < 16; ++i) {
        for (int b = -1; b < 16; ++b) {
            const float h = corner(i, b);
            lowest = std::fmin(lowest, h);
            highest = std::fmax(highest, h);
            // Neighbouring corners are 4 units apart: no cliffs.
            if (i < 15) {
                EXPECT_LT(std::fabs(corner(i + 1, b) - h), 3.0f) << i << ", " << b;
            }
            if (b < 15) {
                EXPECT_LT(std::fabs(corner(i, b + 1) - h), 3.0f) << i << ", " << b;
            }
        }
    }
    EXPECT_GE(lowest, 0.0f);
    EXPECT_GT(highest, 3.0f);
    EXPECT_LT(highest, 15.0f);
    // Every line of the 18 blocks was read to its end.
    for (int b = 0; b < 18; ++b) {
        EXPECT_NE(world->heights[1024][b], 0.0f) << b;
    }
}

std::uint32_t Read32(const std::vector<unsigned char>& bytes, std::size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 | std::uint32_t(bytes[offset + 3]) << 24;
}

TEST(DataFilesTest, BitmapsAre24BitBottomUpFiles) {
    for (const char* name : {"image1.bmp", "image2.bmp", "sky2.bmp"}) {
        std::ifstream file(DataFolder + "/" + name, std::ios::binary);
        const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
        ASSERT_GE(bytes.size(), 54u) << name;
        EXPECT_EQ(bytes[0], 'B');
        EXPECT_EQ(bytes[1], 'M');
        EXPECT_EQ(Read32(bytes, 2), bytes.size()) << name;
        EXPECT_EQ(Read32(bytes, 10), 54u) << name;
        EXPECT_EQ(Read32(bytes, 14), 40u) << name;
        const std::uint32_t width = Read32(bytes, 18);
        const auto height = static_cast<std::int32_t>(Read32(bytes, 22));
        EXPECT_EQ(width, 256u) << name;
        EXPECT_EQ(height, 256) << name;
        EXPECT_EQ(bytes[28] | bytes[29] << 8, 24) << name;
        EXPECT_EQ(Read32(bytes, 30), 0u) << name; // BI_RGB
        const std::uint32_t rowBytes = (width * 3 + 3) & ~3u;
        EXPECT_EQ(bytes.size(), 54u + rowBytes * static_cast<std::uint32_t>(height)) << name;
    }
}

// The sky wall's top edge (v = 0, the last row in the file) is a deeper
// blue than its bottom edge at eye level.
TEST(DataFilesTest, SkyDarkensTowardsTheTop) {
    std::ifstream file(DataFolder + "/sky2.bmp", std::ios::binary);
    const std::vector<unsigned char> bytes{std::istreambuf_iterator<char>(file), {}};
    ASSERT_EQ(bytes.size(), 54u + 256u * 768u);
    const auto rowBrightness = [&](int fileRow) {
        double sum = 0.0;
        for (int x = 0; x < 256; ++x) {
            const std::size_t at = 54u + std::size_t(fileRow) * 768u + std::size_t(x) * 3u;
            sum += bytes[at] + bytes[at + 1] + bytes[at + 2];
        }
        return sum;
    };
    EXPECT_GT(rowBrightness(0), rowBrightness(255));
}

} // namespace
} // namespace valmere::world::test
