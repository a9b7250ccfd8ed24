#include "tests/world/WorldTestSupport.h"

#include <gtest/gtest.h>

#include <unistd.h>

namespace valmere::world::test {
namespace {

// Runs the test body inside the scratch folder: UpdateTerrain reads the
// height file from the current directory.
class UpdateTerrainTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(getcwd(previous, sizeof previous), nullptr);
        ASSERT_EQ(chdir(folder.Path().c_str()), 0);
    }
    void TearDown() override { ASSERT_EQ(chdir(previous), 0); }

    ScratchFolder folder;
    char previous[4096] = {};
    std::unique_ptr<CWorld> world = MakeWorld();
};

std::string SingleValueFile(const char* value) {
    std::string text = "H 1 0\n";
    for (int block = 0; block < 18; ++block) {
        text += std::string("a ") + value + " b 0 c 0\n";
    }
    return text;
}

TEST_F(UpdateTerrainTest, FirstCallReadsTheHeightFileOnce) {
    folder.Write(HeightFileName, SingleValueFile("2.5"));
    const CCamera camera = CameraAt(0.0f, 0.0f, -10.0f);
    UpdateTerrain(*world, camera);
    EXPECT_TRUE(world->terrainLoaded);
    EXPECT_EQ(world->heights[0][0], 2.5f);
    EXPECT_EQ(world->terrainTriangleCount, 512);

    folder.Write(HeightFileName, SingleValueFile("9"));
    UpdateTerrain(*world, camera);
    EXPECT_EQ(world->heights[0][0], 2.5f);
    // Patch 0's corner (2, 2) is the only one at heights[0][0].
    EXPECT_EQ(world->terrainVertices[4].y, 2.5f);
}

TEST_F(UpdateTerrainTest, MissingFileIsReportedOnceAndTheTerrainIsBuilt) {
    const CCamera camera = CameraAt(0.0f, 0.0f, -10.0f);
    ::testing::internal::CaptureStdout();
    UpdateTerrain(*world, camera);
    UpdateTerrain(*world, camera);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "The file could not be opened\n");
    EXPECT_TRUE(world->terrainLoaded);
    EXPECT_EQ(world->terrainTriangleCount, 512);
    EXPECT_EQ(world->patchSize, 4);
}

} // namespace
} // namespace valmere::world::test
