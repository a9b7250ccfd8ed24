#include "tests/world/WorldTestSupport.h"
#include "world/Jump.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace valmere::world::test {
namespace {

class JumpTest : public ::testing::Test {
protected:
    void SetUp() override {
        jumpActive = 0;
        jumpFrames = jumpParameter = jumpBase = jumpHeight = 0.0f;
    }

    // Steps the jump the way the controls do, frame after frame, until it
    // ends; returns each frame's height.
    std::vector<float> Jump(CCamera& camera) {
        std::vector<float> heights;
        float requested = 1.0f;
        while (requested == 1.0f && heights.size() < 1000) {
            BeginJump(camera);
            const float height = StepJump();
            camera.SetHeight(height);
            requested = JumpContinues(camera);
            heights.push_back(height);
        }
        return heights;
    }
};

// The arc of frame k (from 1): base + 2 sin((k / 120) / 0.31835).
double Arc(double base, int frame) { return base + 2.0 * std::sin((frame / 120.0) / 0.31835); }

TEST_F(JumpTest, JumpFromStandingPeaksNearFrameSixtyAndLandsOnFrame118) {
    CCamera camera = CameraAt(0.0f, 1.2f, 0.0f);
    const std::vector<float> heights = Jump(camera);
    ASSERT_EQ(heights.size(), 118u);
    for (std::size_t k = 0; k < heights.size(); ++k) {
        EXPECT_NEAR(heights[k], Arc(1.2, static_cast<int>(k) + 1), 1e-4) << "frame " << k + 1;
    }
    std::size_t peak = 0;
    for (std::size_t k = 1; k < heights.size(); ++k) {
        if (heights[k] > heights[peak]) peak = k;
    }
    EXPECT_NEAR(static_cast<double>(peak + 1), 60.0, 1.0);
    EXPECT_NEAR(heights[peak], 3.2f, 1e-3);
    // The first frame already lifts the eye by about 0.052.
    EXPECT_NEAR(heights[0] - 1.2f, 0.052f, 1e-3);

    float landed = 0.0f;
    camera.GetHeight(landed);
    EXPECT_EQ(landed, 1.2f);
    EXPECT_EQ(jumpActive, 0);
}

TEST_F(JumpTest, RaisedJumpArcsFromFiftyAndLandsAtStandingHeight) {
    CCamera camera = CameraAt(0.0f, 50.0f, 0.0f);
    const std::vector<float> heights = Jump(camera);
    ASSERT_EQ(heights.size(), 118u);
    for (float height : heights) {
        EXPECT_GT(height, 50.0f);
        EXPECT_LE(height, 52.0f);
    }
    float landed = 0.0f;
    camera.GetHeight(landed);
    EXPECT_EQ(landed, 1.2f);
}

TEST_F(JumpTest, BeginDuringAJumpChangesNothing) {
    CCamera camera = CameraAt(0.0f, 1.2f, 0.0f);
    BeginJump(camera);
    for (int frame = 0; frame < 10; ++frame) {
        camera.SetHeight(StepJump());
    }
    const float parameter = jumpParameter;
    camera.SetHeight(30.0f);
    BeginJump(camera);
    EXPECT_EQ(jumpBase, 1.2f);
    EXPECT_EQ(jumpParameter, parameter);
    EXPECT_NEAR(StepJump(), Arc(1.2, 11), 1e-4);
}

TEST_F(JumpTest, NextJumpStartsFromTheLandingHeight) {
    CCamera camera = CameraAt(0.0f, 7.0f, 0.0f);
    Jump(camera);
    const std::vector<float> second = Jump(camera);
    ASSERT_EQ(second.size(), 118u);
    EXPECT_EQ(jumpBase, 1.2f);
    EXPECT_NEAR(second[59], Arc(1.2, 60), 1e-4);
}

} // namespace
} // namespace valmere::world::test
