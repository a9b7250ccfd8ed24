#include "tests/world/WorldTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valmere::world::test {
namespace {

constexpr int AllPatches = 256;

// One frame of the terrain around `camera`, after the layout.
void BuildFrame(CWorld& world, const CCamera& camera) {
    world.SelectPatchDetail(camera);
    world.BuildTerrainMesh();
    world.FillTerrainVertices();
}

class TerrainTest : public ::testing::Test {
protected:
    void SetUp() override { world->LayOutPatches(); }
    std::unique_ptr<CWorld> world = MakeWorld();
};

TEST_F(TerrainTest, StartPositionDrawsEveryPatch) {
    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    EXPECT_EQ(world->terrainTriangleCount, 2 * AllPatches);
    EXPECT_EQ(world->terrainVertexCount, 6 * AllPatches);
    for (const CWorld::PatchDetail& detail : world->patchDetail) {
        EXPECT_EQ(detail.level, 1.0f);
    }
}

TEST_F(TerrainTest, CameraFarFromEveryPatchDrawsNothing) {
    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    const SceneVertex before = world->terrainVertices[0];
    // The nearest centre, (60, 60), is sqrt(2) * 90 > 100 away.
    BuildFrame(*world, CameraAt(150.0f, 5.0f, 150.0f));
    EXPECT_EQ(world->terrainTriangleCount, 0);
    EXPECT_EQ(world->terrainVertexCount, 0);
    // The vertices past the count keep what they held.
    EXPECT_EQ(world->terrainVertices[0].x, before.x);
    EXPECT_EQ(world->terrainVertices[0].z, before.z);
}

TEST_F(TerrainTest, DistanceIsMeasuredInXAndZOnly) {
    BuildFrame(*world, CameraAt(3.0f, 1000.0f, -4.0f));
    // Patch 0 at (0, 0): a 3-4-5 triangle; the camera's height is ignored.
    EXPECT_EQ(world->patchDetail[0].distance, 5.0f);
    EXPECT_EQ(world->patchDetail[0].level, 1.0f);
}

// (60, 80) lies exactly 100 from patch 0's centre (0, 0) and nearer to
// every other patch.
TEST_F(TerrainTest, PatchAtExactlyOneHundredKeepsItsLevel) {
    BuildFrame(*world, CameraAt(500.0f, 0.0f, 500.0f));
    BuildFrame(*world, CameraAt(60.0f, 0.0f, 80.0f));
    EXPECT_EQ(world->patchDetail[0].distance, 100.0f);
    EXPECT_EQ(world->patchDetail[0].level, 0.0f);
    EXPECT_EQ(world->terrainTriangleCount, 2 * (AllPatches - 1));

    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    BuildFrame(*world, CameraAt(60.0f, 0.0f, 80.0f));
    EXPECT_EQ(world->patchDetail[0].level, 1.0f);
    EXPECT_EQ(world->terrainTriangleCount, 2 * AllPatches);
}

TEST_F(TerrainTest, PatchStraightBelowTheCameraKeepsItsLevel) {
    // Patch 17 is centred at (4, 4); every centre is within 80 of it.
    BuildFrame(*world, CameraAt(500.0f, 0.0f, 500.0f));
    BuildFrame(*world, CameraAt(4.0f, 3.0f, 4.0f));
    EXPECT_EQ(world->patchDetail[17].distance, 0.0f);
    EXPECT_EQ(world->patchDetail[17].level, 0.0f);
    EXPECT_EQ(world->terrainTriangleCount, 2 * (AllPatches - 1));

    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    BuildFrame(*world, CameraAt(4.0f, 3.0f, 4.0f));
    EXPECT_EQ(world->terrainTriangleCount, 2 * AllPatches);
}

TEST_F(TerrainTest, PatchTrianglesFollowTheCornerOrder) {
    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    // Patch 0, centred at (0, 0).
    const float expected[6][4] = {
        {-2, 2, 0.5f, 0.5f}, {-2, -2, 0.5f, 1.5f}, {2, -2, 1.5f, 1.5f},
        {-2, 2, 0.5f, 0.5f}, {2, 2, 1.5f, 0.5f},   {2, -2, 1.5f, 1.5f},
    };
    for (int v = 0; v < 6; ++v) {
        const SceneVertex& vertex = world->terrainVertices[v];
        EXPECT_EQ(vertex.x, expected[v][0]) << v;
        EXPECT_EQ(vertex.z, expected[v][1]) << v;
        EXPECT_EQ(vertex.u, expected[v][2]) << v;
        EXPECT_EQ(vertex.v, expected[v][3]) << v;
    }
    for (int v = 0; v < world->terrainVertexCount; ++v) {
        const SceneVertex& vertex = world->terrainVertices[v];
        EXPECT_EQ(vertex.nx, 0.0f);
        EXPECT_EQ(vertex.ny, 2.0f);
        EXPECT_EQ(vertex.nz, 1.0f);
    }
}

// Every corner at world (X, Z) takes heights[(X - 2) / 4][(Z - 2) / 4], and
// index -1 (X or Z = -2) reads 0. The grid is filled everywhere, beyond
// index 15 and in blocks 16 and 17 too, with values that tell their place.
TEST_F(TerrainTest, CornersReadTheGridAtTheirPosition) {
    for (int i = 0; i < CWorld::HeightGridSize; ++i) {
        for (int b = 0; b < CWorld::HeightFileBlocks; ++b) {
            world->heights[i][b] = static_cast<float>(1000 * i + b + 1);
        }
    }
    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    ASSERT_EQ(world->terrainVertexCount, 6 * AllPatches);
    for (int v = 0; v < world->terrainVertexCount; ++v) {
        const SceneVertex& vertex = world->terrainVertices[v];
        const int i = static_cast<int>(std::lround((vertex.x - 2.0f) / 4.0f));
        const int b = static_cast<int>(std::lround((vertex.z - 2.0f) / 4.0f));
        ASSERT_GE(i, -1);
        ASSERT_LE(i, 15);
        ASSERT_GE(b, -1);
        ASSERT_LE(b, 15);
        const float expected = (i < 0 || b < 0) ? 0.0f : static_cast<float>(1000 * i + b + 1);
        EXPECT_EQ(vertex.y, expected) << "corner (" << vertex.x << ", " << vertex.z << ")";
    }
}

TEST_F(TerrainTest, MissingHeightFileGivesAFlatTerrain) {
    ScratchFolder folder;
    ::testing::internal::CaptureStdout();
    world->LoadHeights((folder.Path() / "absent.txt").c_str());
    ::testing::internal::GetCapturedStdout();
    BuildFrame(*world, CameraAt(0.0f, 0.0f, -10.0f));
    ASSERT_EQ(world->terrainTriangleCount, 2 * AllPatches);
    for (int v = 0; v < world->terrainVertexCount; ++v) {
        EXPECT_EQ(world->terrainVertices[v].y, 0.0f);
    }
}

} // namespace
} // namespace valmere::world::test
