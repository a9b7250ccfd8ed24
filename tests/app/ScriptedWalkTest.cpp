// A whole headless run: scripted keys and mouse drive the camera through the
// frame loop, and the view matrix reaches the device.
#include <gtest/gtest.h>

#include <cmath>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/WinMain.h"
#include "platform/host/ScanCodes.h"
#include "tests/support/GameProcess.h"
#include "world/Camera.h"

namespace {

using valmere::host::HeadlessHost;

TEST(ScriptedWalk, WalkThenTurnMovesTheCameraAndSetsTheView) {
    HeadlessHost& host = valmere::test::StartProcess([](HeadlessHost& h) {
        h.PressKey(0, DIK_W);     // read in frames 1 to 10: ten steps of 0.1 along +z
        h.ReleaseKey(10, DIK_W);
        h.MoveMouse(12, 50, 0);   // one frame of yaw 0.5 radian
        h.PressKey(12, DIK_ESCAPE);
    });
    EXPECT_EQ(WinMain(g_instance, nullptr, nullptr, 0), 0);
    EXPECT_TRUE(host.MessageBoxes().empty());

    float x = 0, y = 0, z = 0;
    g_camera.GetPosition(x, y, z);
    EXPECT_NEAR(x, 0.0f, 1e-5f);
    EXPECT_NEAR(y, 0.0f, 1e-5f);
    EXPECT_NEAR(z, -9.0f, 1e-4f);

    D3DMATRIX view{};
    ASSERT_EQ(g_application.device->GetTransform(D3DTS_VIEW, &view), D3D_OK);
    const double s = std::sin(0.5), c = std::cos(0.5);
    // Columns hold right, up and look; the bottom row the negated dot
    // products with the eye.
    EXPECT_NEAR(view._11, c, 1e-5);   // right.x
    EXPECT_NEAR(view._31, -s, 1e-5);  // right.z
    EXPECT_NEAR(view._22, 1.0, 1e-5); // up.y
    EXPECT_NEAR(view._13, s, 1e-5);   // look.x
    EXPECT_NEAR(view._33, c, 1e-5);   // look.z
    EXPECT_NEAR(view._41, -9.0 * s, 1e-4);
    EXPECT_NEAR(view._42, 0.0, 1e-5);
    EXPECT_NEAR(view._43, 9.0 * c, 1e-4);
    EXPECT_NEAR(view._44, 1.0, 0.0);
    EXPECT_NEAR(view._14, 0.0, 0.0);
}

TEST(ScriptedWalk, RaiseAndLowerSetTheEyeHeight) {
    valmere::test::StartProcess([](HeadlessHost& h) {
        h.PressKey(0, DIK_Z);  // eye to 50
        h.ReleaseKey(1, DIK_Z);
        h.PressKey(2, DIK_X);  // back to 1.2
        h.ReleaseKey(3, DIK_X);
        h.PressKey(4, DIK_ESCAPE);
    });
    WinMain(g_instance, nullptr, nullptr, 0);
    float x = 0, y = 0, z = 0;
    g_camera.GetPosition(x, y, z);
    EXPECT_FLOAT_EQ(y, 1.2f);
}

}  // namespace
