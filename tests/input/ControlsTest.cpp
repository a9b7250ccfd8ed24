// The per-frame controls on a fresh process: keys and mouse are scripted on
// the headless host, and each UpdateControls call is one frame.
#include "app/Globals.h"
#include "input/Controls.h"
#include "input/Input.h"
#include "platform/win32/Win32.h"
#include "tests/support/GameProcess.h"
#include "world/Camera.h"
#include "world/Jump.h"

#include <gtest/gtest.h>

#include <cmath>

namespace valmere::input::test {
namespace {

struct Vec {
    float x, y, z;
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        host = &valmere::test::StartProcess();
        jumpRequested = crouchRequested = 0.0f;
        jumpActive = 0;
        // The viewer's start position.
        g_camera.SetPosition(0.0f, 0.0f, -10.0f);
        g_camera.SetUp(0.0f, 1.0f, 0.0f);
    }

    // Input scheduled now arrives with the next read.
    void Press(std::uint8_t key) { host->PressKey(host->PresentedFrames(), key); }
    void Release(std::uint8_t key) { host->ReleaseKey(host->PresentedFrames(), key); }
    void MoveMouse(int dx, int dy) { host->MoveMouse(host->PresentedFrames(), dx, dy); }

    void Frames(int count) {
        for (int frame = 0; frame < count; ++frame) {
            ASSERT_TRUE(UpdateControls());
        }
    }

    static Vec Position() { Vec v; g_camera.GetPosition(v.x, v.y, v.z); return v; }
    static Vec Movement() { Vec v; g_camera.GetMovement(v.x, v.y, v.z); return v; }
    static Vec Look() { Vec v; g_camera.GetLook(v.x, v.y, v.z); return v; }
    static float Height() { float y; g_camera.GetHeight(y); return y; }

    static void ExpectVec(const Vec& actual, float x, float y, float z, float tolerance = 1e-5f) {
        EXPECT_NEAR(actual.x, x, tolerance);
        EXPECT_NEAR(actual.y, y, tolerance);
        EXPECT_NEAR(actual.z, z, tolerance);
    }

    host::HeadlessHost* host = nullptr;
};

TEST_F(ControlsTest, WithoutInputTheCameraRests) {
    Frames(5);
    ExpectVec(Position(), 0, 0, -10, 0);
    ExpectVec(Movement(), 0, 0, 0, 0);
    // The SSE sets normalise by a refined reciprocal square root estimate,
    // which may leave the unit look vector an ulp short of 1.
    ExpectVec(Look(), 0, 0, 1, 1e-6f);
    EXPECT_EQ(g_camera.yaw, 0.0f);
    EXPECT_EQ(g_camera.pitch, 0.0f);
}

TEST_F(ControlsTest, ForwardKeysWalkAlongLookAndCancelOut) {
    Press(DIK_W);
    Frames(3);
    ExpectVec(Position(), 0, 0, -9.7f);
    Press(DIK_S);
    Frames(2);
    ExpectVec(Position(), 0, 0, -9.7f);
    Release(DIK_W);
    Release(DIK_S);
    Press(DIK_UP);
    Press(DIK_A);
    Frames(1);
    ExpectVec(Movement(), -0.1f, 0, 0.1f);
}

TEST_F(ControlsTest, SideArrowSlidesAndTurnsEveryFrame) {
    Press(DIK_RIGHT);
    Frames(1);
    ExpectVec(Movement(), 0.5f, 0, 0);
    EXPECT_EQ(g_camera.yaw, 0.5f);
    // The slide uses the axes before this frame's turn.
    ExpectVec(Position(), 0.5f, 0, -10);
    ExpectVec(Look(), std::sin(0.5f), 0, std::cos(0.5f));
}

TEST_F(ControlsTest, MouseTurnsByAHundredthRadianPerUnit) {
    MoveMouse(10, -20);
    Frames(1);
    EXPECT_FLOAT_EQ(g_camera.yaw, 0.1f);
    EXPECT_FLOAT_EQ(g_camera.pitch, -0.2f);
    // The next frame without movement stops the turn.
    Frames(1);
    EXPECT_EQ(g_camera.yaw, 0.0f);
}

TEST_F(ControlsTest, RightButtonDragSlidesAndKeepsTheTurnRates) {
    MoveMouse(10, 0);
    Frames(1);
    host->PressMouseButton(host->PresentedFrames(), 1);
    MoveMouse(3, 4);
    Frames(1);
    ExpectVec(Movement(), 3, -4, 0, 0);
    EXPECT_FLOAT_EQ(g_camera.yaw, 0.1f);
    // A movement key drops the upward component.
    MoveMouse(3, 4);
    Press(DIK_W);
    Frames(1);
    ExpectVec(Movement(), 3, 0, 0.1f);
}

TEST_F(ControlsTest, RaiseAndStandKeysSetTheEyeHeight) {
    Press(DIK_Z);
    Frames(1);
    EXPECT_EQ(Height(), 50.0f);
    Release(DIK_Z);
    Press(DIK_X);
    Frames(1);
    EXPECT_EQ(Height(), 1.2f);
}

TEST_F(ControlsTest, CrouchHoldsTheEyeLowAndStaysAfterRelease) {
    Press(DIK_LCONTROL);
    Frames(3);
    EXPECT_FLOAT_EQ(Height(), 0.8f);
    EXPECT_EQ(crouchRequested, 0.0f);
    Release(DIK_LCONTROL);
    Frames(3);
    EXPECT_FLOAT_EQ(Height(), 0.8f);
}

TEST_F(ControlsTest, ResetMovesToTheOriginAndTheFramesMovementStillApplies) {
    Press(DIK_W);
    Press(DIK_R);
    Frames(1);
    // Reset looks along -z, and W's step of 0.1 goes that way.
    ExpectVec(Position(), 0, 0, -0.1f);
    ExpectVec(Look(), 0, 0, -1);
}

TEST_F(ControlsTest, JumpRunsItsArcAndLandsStanding) {
    Press(DIK_SPACE);
    Frames(1);
    Release(DIK_SPACE);
    float peak = 0.0f;
    for (int frame = 2; frame <= 118; ++frame) {
        EXPECT_EQ(jumpRequested, 1.0f) << frame;
        Frames(1);
        peak = std::fmax(peak, Height());
    }
    // Jumped from the start height 0.
    EXPECT_NEAR(peak, 2.0f, 1e-3);
    EXPECT_EQ(jumpRequested, 0.0f);
    EXPECT_EQ(Height(), 1.2f);
}

TEST_F(ControlsTest, CrouchDuringAJumpLowersTheArc) {
    Press(DIK_SPACE);
    Press(DIK_LCONTROL);
    Frames(1);
    const float first = static_cast<float>(2.0 * std::sin((1.0 / 120.0) / 0.31835));
    EXPECT_NEAR(Height(), first - 0.4f, 1e-5);
}

TEST_F(ControlsTest, EscapePostsTheQuitMessageOnTheNextFrame) {
    Press(DIK_ESCAPE);
    Frames(2);
    bool quit = false;
    MSG msg{};
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_QUIT) {
            quit = true;
            EXPECT_EQ(msg.wParam, 0u);
        }
    }
    EXPECT_TRUE(quit);
}

TEST_F(ControlsTest, FailedKeyboardReadSkipsOnlyTheKeys) {
    Press(DIK_W);
    Press(DIK_SPACE);
    host->SetCallFails("Keyboard.GetDeviceState", true);
    MoveMouse(50, 0);
    Frames(1);
    host->SetCallFails("Keyboard.GetDeviceState", false);
    ExpectVec(Position(), 0, 0, -10);
    EXPECT_EQ(jumpRequested, 0.0f);
    EXPECT_FLOAT_EQ(g_camera.yaw, 0.5f);
}

// A scripted walk: forward, a mouse turn, a side step, a raise; the device
// then holds the view of the camera's final frame.
TEST_F(ControlsTest, ScriptedWalkSetsTheDevicesView) {
    ASSERT_NE(g_application.device, nullptr);
    Press(DIK_W);
    Frames(10);
    Release(DIK_W);
    MoveMouse(157, 0);
    Frames(1);
    Press(DIK_D);
    Press(DIK_Z);
    Frames(5);
    Release(DIK_D);
    Release(DIK_Z);
    Frames(1);

    // One unit forward, a quarter turn to the right (1.57 radians), then
    // half a unit along the new right axis (-z) at the raised height.
    ExpectVec(Position(), 0.5f * std::cos(1.57f), 50.0f, -9.0f - 0.5f * std::sin(1.57f), 1e-3f);
    ExpectVec(Look(), std::sin(1.57f), 0, std::cos(1.57f), 1e-4f);

    D3DMATRIX view{};
    ASSERT_EQ(g_application.device->GetTransform(D3DTS_VIEW, &view), D3D_OK);
    const auto toView = [&](const Vec& p) {
        Vec out;
        float* target[3] = {&out.x, &out.y, &out.z};
        for (int column = 0; column < 3; ++column) {
            *target[column] = p.x * view.m[0][column] + p.y * view.m[1][column] + p.z * view.m[2][column] +
                              view.m[3][column];
        }
        return out;
    };
    const Vec eye = Position();
    const Vec look = Look();
    ExpectVec(toView(eye), 0, 0, 0, 1e-4f);
    ExpectVec(toView(Vec{eye.x + look.x, eye.y + look.y, eye.z + look.z}), 0, 0, 1, 1e-4f);
    ExpectVec(toView(Vec{eye.x, eye.y + 1.0f, eye.z}), 0, 1, 0, 1e-4f);
    EXPECT_EQ(view.m[3][3], 1.0f);
}

} // namespace
} // namespace valmere::input::test
