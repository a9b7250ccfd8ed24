// The frame loop and the window procedure: one message per iteration,
// Escape closes the window (the frame of the destruction is still drawn),
// WM_QUIT alone does not end the loop.
#include <gtest/gtest.h>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/WinMain.h"
#include "platform/host/ScanCodes.h"
#include "platform/win32/WindowManager.h"
#include "tests/support/GameProcess.h"
#include "world/Camera.h"

namespace {

using valmere::host::HeadlessHost;
using valmere::test::StartProcess;

int RunWinMain() { return WinMain(g_instance, nullptr, nullptr, 0); }

TEST(FrameLoop, EscapeClosesTheWindowAndEndsTheLoop) {
    HeadlessHost& host = StartProcess([](HeadlessHost& h) { h.PressKey(3, DIK_ESCAPE); });
    const int exitCode = RunWinMain();
    EXPECT_EQ(g_running, 0);
    EXPECT_FALSE(IsWindow(g_application.window));
    EXPECT_FALSE(host.WindowOpen());
    // Frames 1-3 before the key; then the key-down, its character and the
    // close message take one iteration each, and every one of them is drawn.
    EXPECT_EQ(host.PresentedFrames(), 6);
    EXPECT_EQ(exitCode, 0);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST(FrameLoop, QuitMessageAloneDoesNotEndTheLoop) {
    HeadlessHost& host = StartProcess([](HeadlessHost& h) { h.PressKey(10, DIK_ESCAPE); });
    PostQuitMessage(7);
    RunWinMain();
    EXPECT_GE(host.PresentedFrames(), 10);
}

TEST(FrameLoop, HostCloseButtonEndsTheLoopLikeEscape) {
    HeadlessHost& host = StartProcess([](HeadlessHost& h) { h.RequestClose(2); });
    EXPECT_EQ(RunWinMain(), 0);  // the exit status a launcher reads as success
    EXPECT_EQ(g_running, 0);
    EXPECT_FALSE(IsWindow(g_application.window));
    // The system close destroys the window within the iteration that
    // retrieves it, and that frame is still drawn.
    EXPECT_EQ(host.PresentedFrames(), 3);
}

TEST(FrameLoop, AtMostOneMessageIsHandledPerIteration) {
    HeadlessHost& host = StartProcess();
    for (int i = 0; i < 5; ++i) PostMessageA(g_application.window, WM_USER, 0, 0);
    PostMessageA(g_application.window, WM_CLOSE, 0, 0);
    EXPECT_EQ(RunWinMain(), 0);
    // One iteration, and one frame, per message.
    EXPECT_EQ(host.PresentedFrames(), 6);
}

TEST(FrameLoop, NotRunningAtEntryDrawsNothingAndReportsFailure) {
    HeadlessHost& host = StartProcess([](HeadlessHost& h) { h.SetCallFails("CreateDevice", true); });
    ASSERT_EQ(g_running, 0);
    host.ClearMessageBoxes();
    const int exitCode = RunWinMain();
    EXPECT_EQ(host.PresentedFrames(), 0);
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST(FrameLoop, SetUpPlacesTheCamera) {
    StartProcess([](HeadlessHost& h) { h.PressKey(0, DIK_ESCAPE); });
    RunWinMain();
    float x = 1, y = 1, z = 1;
    g_camera.GetPosition(x, y, z);
    EXPECT_FLOAT_EQ(x, 0.0f);
    EXPECT_FLOAT_EQ(z, -10.0f);
}

TEST(FrameLoop, LostDeviceSkipsDrawingUntilItCanBeReset) {
    HeadlessHost& host = StartProcess([](HeadlessHost& h) {
        h.LoseFocus(2);
        h.PressKey(2, DIK_ESCAPE);
    });
    RunWinMain();
    // The focus went with the Escape: the key still closes the window, and
    // no frame is drawn while the device is lost.
    EXPECT_EQ(host.PresentedFrames(), 2);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

// The full-screen device is lost with the display: on a minimised window,
// and on a focus loss only while the picture takes the whole display. The
// Escape that comes with the focus loss ends the loop after two frames when
// the device is lost, and after four more (the deactivation, the key, its
// character, the close) when it is not.
TEST(FrameLoop, TheDeviceIsLostWithTheDisplay) {
    struct Case {
        bool inWindow;
        bool minimise;
        int frames;
    };
    const Case cases[] = {{false, false, 2}, {true, false, 6}, {false, true, 2}, {true, true, 2}};
    for (const Case& c : cases) {
        HeadlessHost& host = StartProcess([&](HeadlessHost& h) {
            h.ShowFullScreenInWindow(c.inWindow);
            if (c.minimise)
                h.Minimize(2);
            else
                h.LoseFocus(2);
            h.PressKey(2, DIK_ESCAPE);
        });
        EXPECT_EQ(RunWinMain(), 0);
        EXPECT_EQ(host.PresentedFrames(), c.frames) << "in a window " << c.inWindow << ", minimised " << c.minimise;
        EXPECT_TRUE(host.MessageBoxes().empty());
    }
}

TEST(FrameLoop, ResetDeviceDrawsInTheSameIteration) {
    HeadlessHost& host = StartProcess([](HeadlessHost& h) {
        h.LoseFocus(2);
        h.GainFocus(2);
        h.PressKey(3, DIK_ESCAPE);
    });
    RunWinMain();
    EXPECT_GE(host.PresentedFrames(), 6);
    DWORD cull = 0;
    g_application.device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));  // the scene state came back after the reset
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST(WindowProcedure, EscapePostsCloseAndOtherKeysAreNotConsumed) {
    StartProcess();
    const std::size_t before = valmere::win32::QueuedMessageCount();
    EXPECT_EQ(WindowProc(g_application.window, WM_KEYDOWN, 'W', 0), 0);
    EXPECT_EQ(valmere::win32::QueuedMessageCount(), before);
    EXPECT_TRUE(IsWindow(g_application.window));

    EXPECT_EQ(WindowProc(g_application.window, WM_KEYDOWN, VK_ESCAPE, 0), 0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CLOSE);
    EXPECT_EQ(msg.hwnd, g_application.window);
    EXPECT_EQ(g_running, 1);  // nothing ends before the close is dispatched
    DispatchMessageA(&msg);
    EXPECT_EQ(g_running, 0);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
}

}  // namespace
