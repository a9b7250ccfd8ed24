#include "tests/world/WorldTestSupport.h"

#include <gtest/gtest.h>

#include <iomanip>
#include <sstream>
#include <string>

namespace valmere::world::test {
namespace {

// A line of the file: a label word and the given values.
std::string Line(const std::string& label, int count, float (*value)(int, int), int block) {
    std::ostringstream line;
    // Nine digits give every float back exactly.
    line << std::setprecision(9) << label;
    for (int i = 0; i < count; ++i) {
        line << ' ' << value(i, block);
    }
    line << '\n';
    return line.str();
}

// Fractions with set low bits, so that a value stored past the grid would
// show in the bytes that follow it.
float TerrainValue(int i, int block) { return static_cast<float>(i) + 0.1f * static_cast<float>(block + 1); }
float Dropped(int, int) { return -7.5f; }

// Header "HEIGHTS <first> <n>" followed by `blocks` well-formed blocks of
// `count` values per line.
std::string HeightFile(const std::string& n, int count, int blocks, const std::string& first = "1") {
    std::string text = "HEIGHTS " + first + " " + n + "\n";
    for (int block = 0; block < blocks; ++block) {
        text += Line("terrain", count, TerrainValue, block);
        text += Line("second", count, Dropped, block);
        text += Line("third", count, Dropped, block);
    }
    return text;
}

class HeightFileTest : public ::testing::Test {
protected:
    // Loads `contents` and returns what was written to standard output.
    std::string Load(const std::string& contents) {
        const std::string path = folder.Write("heights.txt", contents);
        ::testing::internal::CaptureStdout();
        EXPECT_TRUE(world->LoadHeights(path.c_str()));
        return ::testing::internal::GetCapturedStdout();
    }

    ScratchFolder folder;
    std::unique_ptr<CWorld> world = MakeWorld();
};

TEST_F(HeightFileTest, WellFormedFileFillsEighteenBlocks) {
    EXPECT_EQ(Load(HeightFile("1024", 1025, 18)), "");
    for (int b = 0; b < 18; ++b) {
        for (int i = 0; i <= 1024; ++i) {
            ASSERT_EQ(world->heights[i][b], TerrainValue(i, b)) << i << ", " << b;
        }
    }
    for (int b : {18, 19, 500, 1024}) {
        for (int i : {0, 1, 512, 1024}) {
            EXPECT_EQ(world->heights[i][b], 0.0f) << i << ", " << b;
        }
    }
}

TEST_F(HeightFileTest, HexadecimalAndOctalCountsMeanTheSame) {
    for (const char* n : {"0x3", "03", "3"}) {
        auto fresh = MakeWorld();
        world.swap(fresh);
        Load(HeightFile(n, 4, 18));
        for (int b = 0; b < 18; ++b) {
            for (int i = 0; i < 4; ++i) {
                ASSERT_EQ(world->heights[i][b], TerrainValue(i, b)) << n;
            }
            ASSERT_EQ(world->heights[4][b], 0.0f) << n;
        }
    }
}

TEST_F(HeightFileTest, LeadingZeroIsOctal) {
    // 010 is 8: nine values a line; the tenth is taken as the next label.
    Load(HeightFile("010", 9, 18));
    EXPECT_EQ(world->heights[8][17], TerrainValue(8, 17));
    EXPECT_EQ(world->heights[9][0], 0.0f);
}

TEST_F(HeightFileTest, FirstIntegerHasNoEffect) {
    Load(HeightFile("2", 3, 18, "999"));
    EXPECT_EQ(world->heights[2][17], TerrainValue(2, 17));
    EXPECT_EQ(world->heights[3][17], 0.0f);
}

TEST_F(HeightFileTest, ShortFileLeavesTheRestAlone) {
    std::string text = HeightFile("4", 5, 3);
    // Block 3 ends after its second terrain value.
    text += "terrain 11 12";
    world->heights[2][3] = 42.0f;
    Load(text);
    EXPECT_EQ(world->heights[4][2], TerrainValue(4, 2));
    EXPECT_EQ(world->heights[0][3], 11.0f);
    EXPECT_EQ(world->heights[1][3], 12.0f);
    EXPECT_EQ(world->heights[2][3], 42.0f);
    EXPECT_EQ(world->heights[0][4], 0.0f);
}

TEST_F(HeightFileTest, EmptyFileReadsNothing) {
    world->heights[0][0] = 3.0f;
    EXPECT_EQ(Load(""), "");
    EXPECT_EQ(world->heights[0][0], 3.0f);
}

// N = 2. The token "zz" fails the second and third terrain reads and is
// consumed by the next word read; "second" then fails all three dropped
// reads and is consumed as the third label; "7 8 9" are dropped; "third"
// becomes block 1's label and its values block 1's terrain.
TEST_F(HeightFileTest, GarbledTokenStopsTheLineUntilTheNextWord) {
    world->heights[1][0] = 42.0f;
    Load("H 1 2\n"
         "terrain 1 zz second 7 8 9 third 4 5 6\n"
         "terrain 10 20 30 b 0 0 0 c 7 8 9\n");
    EXPECT_EQ(world->heights[0][0], 1.0f);
    EXPECT_EQ(world->heights[1][0], 42.0f);
    EXPECT_EQ(world->heights[2][0], 0.0f);
    EXPECT_EQ(world->heights[0][1], 4.0f);
    EXPECT_EQ(world->heights[1][1], 5.0f);
    EXPECT_EQ(world->heights[2][1], 6.0f);
    // "terrain" is block 1's second label and "10 20 30" are dropped, so
    // "c" labels block 2.
    EXPECT_EQ(world->heights[0][2], 7.0f);
    EXPECT_EQ(world->heights[2][2], 9.0f);
}

TEST_F(HeightFileTest, WordsOfAnyLengthAreSkipped) {
    const std::string longWord(1 << 20, 'w');
    std::string text = longWord + " 1 1\n";
    for (int block = 0; block < 18; ++block) {
        text += longWord + " 1.5 2.5 " + longWord + " 0 0 " + longWord + " 0 0\n";
    }
    Load(text);
    EXPECT_EQ(world->heights[0][17], 1.5f);
    EXPECT_EQ(world->heights[1][17], 2.5f);
}

TEST_F(HeightFileTest, ValuesBeyondTheGridAreReadAndDropped) {
    // 1031 values a line: the last six have no place in the grid.
    Load(HeightFile("1030", 1031, 18));
    for (int b = 0; b < 18; ++b) {
        ASSERT_EQ(world->heights[1024][b], TerrainValue(1024, b));
        ASSERT_EQ(world->heights[0][b], TerrainValue(0, b));
    }
    // Nothing lands past the grid: the member after it is untouched.
    EXPECT_FALSE(world->terrainLoaded);
    EXPECT_EQ(world->heights[1024][18], 0.0f);
}

TEST_F(HeightFileTest, NegativeCountStoresNothing) {
    world->heights[0][0] = 5.0f;
    Load("H 1 -1 a b c a b c 1 2 3 4");
    EXPECT_EQ(world->heights[0][0], 5.0f);
    EXPECT_EQ(world->heights[1][0], 0.0f);
}

// With the largest count the reads must end with the file (or at a token
// that does not convert) rather than go through 2^31 values a line.
TEST_F(HeightFileTest, HugeCountEndsWithTheFile) {
    Load("H 1 2147483647 terrain 1 2 3");
    EXPECT_EQ(world->heights[0][0], 1.0f);
    EXPECT_EQ(world->heights[2][0], 3.0f);
    Load("H 1 0x7fffffff terrain 4 5 zz 6");
    EXPECT_EQ(world->heights[0][0], 4.0f);
    EXPECT_EQ(world->heights[1][0], 5.0f);
    EXPECT_EQ(world->heights[2][0], 3.0f);
}

TEST_F(HeightFileTest, UnreadableCountStoresNothing) {
    Load("H 1 many terrain 1 2 3 second 4 third 5");
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(world->heights[i][0], 0.0f);
    }
}

TEST_F(HeightFileTest, MissingFileIsReportedOnStandardOutput) {
    world->heights[3][3] = 2.0f;
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(world->LoadHeights((folder.Path() / "absent.txt").c_str()));
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "The file could not be opened\n");
    EXPECT_EQ(world->heights[3][3], 2.0f);
}

} // namespace
} // namespace valmere::world::test
