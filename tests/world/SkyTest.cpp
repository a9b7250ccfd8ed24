#include "tests/world/WorldTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valmere::world::test {
namespace {

constexpr int Written = CWorld::SkyBoxVertexCount;

// The face a triangle lies in, from its three vertices.
enum class Face { Top, North, South, East, West, None };

Face FaceOf(const SceneVertex* triangle, float top) {
    const auto all = [&](auto test) { return test(triangle[0]) && test(triangle[1]) && test(triangle[2]); };
    if (all([&](const SceneVertex& v) { return v.y == top; })) return Face::Top;
    if (all([](const SceneVertex& v) { return v.z == 256.0f; })) return Face::North;
    if (all([](const SceneVertex& v) { return v.z == -256.0f; })) return Face::South;
    if (all([](const SceneVertex& v) { return v.x == 256.0f; })) return Face::East;
    if (all([](const SceneVertex& v) { return v.x == -256.0f; })) return Face::West;
    return Face::None;
}

void BuildSky(CWorld& world, float eyeHeight) { UpdateSky(world, CameraAt(20.0f, eyeHeight, 30.0f)); }

TEST(SkyTest, BoxHasATopAndFourWallsFromEyeLevel) {
    auto world = MakeWorld();
    const float eye = 3.0f;
    BuildSky(*world, eye);
    int triangles[6] = {};
    for (int t = 0; t < Written / 3; ++t) {
        const SceneVertex* triangle = &world->skyVertices[3 * t];
        for (int corner = 0; corner < 3; ++corner) {
            const SceneVertex& v = triangle[corner];
            EXPECT_EQ(std::fabs(v.x), 256.0f);
            EXPECT_EQ(std::fabs(v.z), 256.0f);
            EXPECT_TRUE(v.y == eye || v.y == eye + 256.0f) << v.y;
        }
        const Face face = FaceOf(triangle, eye + 256.0f);
        ++triangles[static_cast<int>(face)];
        // No triangle is degenerate: its corners differ pairwise.
        for (int a = 0; a < 3; ++a) {
            const SceneVertex& p = triangle[a];
            const SceneVertex& q = triangle[(a + 1) % 3];
            EXPECT_FALSE(p.x == q.x && p.y == q.y && p.z == q.z) << "triangle " << t;
        }
    }
    for (int face = 0; face < 5; ++face) {
        EXPECT_EQ(triangles[face], 2) << "face " << face;
    }
    EXPECT_EQ(triangles[static_cast<int>(Face::None)], 0);
}

// v = 0 at the top edge of each wall and 1 at eye level, both reversed on
// the wall z = -256; on the top v runs 0 to 2 from z = 256 to z = -256.
TEST(SkyTest, TextureSpansEachWallOnce) {
    auto world = MakeWorld();
    const float eye = -4.0f;
    const float top = eye + 256.0f;
    BuildSky(*world, eye);
    for (int t = 0; t < Written / 3; ++t) {
        const SceneVertex* triangle = &world->skyVertices[3 * t];
        const Face face = FaceOf(triangle, top);
        for (int corner = 0; corner < 3; ++corner) {
            const SceneVertex& v = triangle[corner];
            const bool high = v.y == top;
            switch (face) {
            case Face::Top:
                EXPECT_EQ(v.u, (v.x + 256.0f) / 512.0f);
                EXPECT_EQ(v.v, (256.0f - v.z) / 256.0f);
                break;
            case Face::South:
                EXPECT_EQ(v.v, high ? 1.0f : 0.0f);
                EXPECT_EQ(v.u, v.x < 0.0f ? 1.0f : 0.0f);
                break;
            case Face::North:
                EXPECT_EQ(v.v, high ? 0.0f : 1.0f);
                EXPECT_EQ(v.u, (v.x + 256.0f) / 512.0f);
                break;
            case Face::East:
                EXPECT_EQ(v.v, high ? 0.0f : 1.0f);
                EXPECT_EQ(v.u, (v.z + 256.0f) / 512.0f);
                break;
            case Face::West:
                EXPECT_EQ(v.v, high ? 0.0f : 1.0f);
                EXPECT_EQ(v.u, (256.0f - v.z) / 512.0f);
                break;
            case Face::None:
                ADD_FAILURE() << "triangle " << t << " lies in no face";
                break;
            }
        }
    }
}

TEST(SkyTest, UnwrittenHalfStaysConstant) {
    auto world = MakeWorld();
    BuildSky(*world, 50.0f);
    BuildSky(*world, 1.2f);
    for (int v = Written; v < CWorld::SkyVertexCapacity; ++v) {
        const SceneVertex& vertex = world->skyVertices[v];
        EXPECT_EQ(vertex.x, 0.0f);
        EXPECT_EQ(vertex.y, 0.0f);
        EXPECT_EQ(vertex.z, 0.0f);
        EXPECT_EQ(vertex.nx, 0.0f);
        EXPECT_EQ(vertex.ny, 2.0f);
        EXPECT_EQ(vertex.nz, 1.0f);
        EXPECT_EQ(vertex.u, 0.0f);
        EXPECT_EQ(vertex.v, 0.0f);
    }
}

TEST(SkyTest, BoxFollowsTheEyeHeightOnly) {
    auto world = MakeWorld();
    BuildSky(*world, 0.0f);
    float lowest = 1e9f, highest = -1e9f;
    for (int v = 0; v < Written; ++v) {
        lowest = std::fmin(lowest, world->skyVertices[v].y);
        highest = std::fmax(highest, world->skyVertices[v].y);
    }
    EXPECT_EQ(lowest, 0.0f);
    EXPECT_EQ(highest, 256.0f);

    const SceneVertex before = world->skyVertices[7];
    UpdateSky(*world, CameraAt(-900.0f, 10.0f, 900.0f));
    const SceneVertex& after = world->skyVertices[7];
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.z, before.z);
    EXPECT_EQ(after.y, before.y + 10.0f);
}

} // namespace
} // namespace valmere::world::test
