// Start-up and shutdown of the process globals: each failing step shows its
// message and caption in order, clears the run flag, and never stops the
// later steps; nothing touches an object that failed to appear.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Globals.h"
#include "input/Input.h"
#include "tests/support/GameProcess.h"

namespace {

using valmere::host::HeadlessHost;
using valmere::test::EndProcess;
using valmere::test::StartProcess;

std::vector<std::string> Messages(const HeadlessHost& host) {
    std::vector<std::string> shown;
    for (const auto& box : host.MessageBoxes()) shown.push_back(box.text + " | " + box.caption);
    return shown;
}

HeadlessHost& StartWithFailures(const std::vector<std::string>& calls) {
    return StartProcess([&](HeadlessHost& host) {
        for (const auto& call : calls) host.SetCallFails(call, true);
    });
}

TEST(Startup, BuildsWindowDeviceAndInputWithoutMessages) {
    HeadlessHost& host = StartProcess();
    EXPECT_TRUE(Messages(host).empty());
    EXPECT_EQ(g_running, 1);
    EXPECT_NE(g_instance, nullptr);
    ASSERT_NE(g_application.window, nullptr);
    EXPECT_NE(g_application.direct3D, nullptr);
    EXPECT_NE(g_application.device, nullptr);
    EXPECT_NE(g_input.directInput, nullptr);
    EXPECT_NE(g_input.keyboard, nullptr);
    EXPECT_NE(g_input.mouse, nullptr);
    // The pop-up window of the viewer, its cursor hidden.
    EXPECT_EQ(host.Window().title, "Valmere Engine");
    EXPECT_EQ(host.Window().width, 640);
    EXPECT_EQ(host.Window().height, 480);
    EXPECT_TRUE(host.Window().topmost);
    EXPECT_FALSE(host.CursorVisible());
}

TEST(Startup, ScenePropertiesFollowTheViewport) {
    StartProcess();
    EXPECT_FLOAT_EQ(g_application.aspect, 800.0f / 600.0f);
    // Vertical field of view pi/2: y scale 1, x scale 0.75.
    EXPECT_NEAR(g_application.projection._22, 1.0f, 1e-6f);
    EXPECT_NEAR(g_application.projection._11, 0.75f, 1e-6f);
    EXPECT_EQ(g_application.presentParameters.BackBufferWidth, 800u);
    EXPECT_EQ(g_application.presentParameters.BackBufferHeight, 600u);
    EXPECT_EQ(g_application.presentParameters.BackBufferFormat, D3DFMT_R5G6B5);
    EXPECT_EQ(g_application.presentParameters.BackBufferCount, 0u);
    EXPECT_EQ(g_application.presentParameters.AutoDepthStencilFormat, D3DFMT_D16);
    EXPECT_FALSE(g_application.presentParameters.Windowed);
}

TEST(Startup, FailingWindowStillAttemptsTheLaterSteps) {
    HeadlessHost& host = StartWithFailures({"RegisterClassExA"});
    EXPECT_EQ(g_running, 0);
    EXPECT_EQ(g_application.window, nullptr);
    // The device step has no window to work with and is skipped; the input
    // steps still run and report what they cannot do without a window.
    const auto shown = Messages(host);
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), "RegisterClassEx() failed! | CreateApplicationWindow()");
    EXPECT_EQ(g_application.device, nullptr);
}

TEST(Startup, FailingCreateWindowReportsItsOwnMessage) {
    HeadlessHost& host = StartWithFailures({"CreateWindowExA"});
    ASSERT_FALSE(host.MessageBoxes().empty());
    EXPECT_EQ(Messages(host).front(), "CreateWindowEx() failed! | CreateApplicationWindow()");
    EXPECT_EQ(g_running, 0);
}

TEST(Startup, FailingDeviceCreationReportsAndSkipsTheScene) {
    HeadlessHost& host = StartWithFailures({"CreateDevice"});
    const std::vector<std::string> expected = {"CreateDevice() failed! | SetMode()"};
    EXPECT_EQ(Messages(host), expected);
    EXPECT_EQ(g_running, 0);
    EXPECT_EQ(g_application.device, nullptr);
    EXPECT_NE(g_application.direct3D, nullptr);
}

TEST(Startup, FailingDirect3DObjectReportsOnce) {
    HeadlessHost& host = StartWithFailures({"Direct3DCreate8"});
    const std::vector<std::string> expected = {"Direct3DCreate8() failed! | InitDirect3D()"};
    EXPECT_EQ(Messages(host), expected);
    EXPECT_EQ(g_running, 0);
}

TEST(Startup, FailingSceneStepsReportTheirMessages) {
    EXPECT_EQ(Messages(StartWithFailures({"GetViewport"})),
              std::vector<std::string>{"GetViewport() failed! | InitScene()"});
    EXPECT_EQ(g_running, 0);
    EXPECT_EQ(Messages(StartWithFailures({"SetTransform"})),
              std::vector<std::string>{"SetTransform() failed! | SetProjectionMatrix()"});
    EXPECT_EQ(Messages(StartWithFailures({"SetVertexShader"})),
              std::vector<std::string>{"SetVertexShader() failed! | InitScene()"});
}

TEST(Startup, FailingLightClearsTheRunFlagButKeepsTheSceneState) {
    HeadlessHost& host = StartWithFailures({"LightEnable"});
    EXPECT_EQ(Messages(host), std::vector<std::string>{"LightEnable() failed! | SetLight()"});
    EXPECT_EQ(g_running, 0);
    DWORD vertexShader = 0;
    ASSERT_NE(g_application.device, nullptr);
    g_application.device->GetVertexShader(&vertexShader);
    EXPECT_EQ(vertexShader, 0x112u);
    DWORD cull = 0;
    g_application.device->GetRenderState(D3DRS_CULLMODE, &cull);
    EXPECT_EQ(cull, static_cast<DWORD>(D3DCULL_NONE));
}

TEST(Startup, FailingDirectInputSkipsBothDevices) {
    HeadlessHost& host = StartWithFailures({"DirectInput8Create"});
    EXPECT_EQ(Messages(host), std::vector<std::string>{"DirectInput8Create() failed! | InitDirectInput()"});
    EXPECT_EQ(g_running, 0);
    EXPECT_EQ(g_input.keyboard, nullptr);
    EXPECT_EQ(g_input.mouse, nullptr);
}

TEST(Startup, FailingKeyboardStillOpensTheMouse) {
    HeadlessHost& host = StartWithFailures({"Keyboard.SetCooperativeLevel"});
    EXPECT_EQ(Messages(host), std::vector<std::string>{"SetCooperativeLevel() failed! | InitKeyboard()"});
    EXPECT_EQ(g_running, 0);
    EXPECT_NE(g_input.mouse, nullptr);
    EXPECT_TRUE(SUCCEEDED(g_input.mouse->Acquire()));
}

TEST(Startup, EveryFailingInputStepShowsItsMessageInOrder) {
    HeadlessHost& host = StartWithFailures({"Keyboard.CreateDevice", "Mouse.Acquire"});
    const std::vector<std::string> expected = {"CreateDevice() failed! | InitKeyboard()",
                                               "Acquire() failed! | InitMouse()"};
    EXPECT_EQ(Messages(host), expected);
}

TEST(Shutdown, ReleasesEverythingAndUnregistersTheClassAfterTheWindowIsGone) {
    HeadlessHost& host = StartProcess();
    // The window is destroyed by the frame loop's Escape in a real run.
    DestroyWindow(g_application.window);
    host.ClearMessageBoxes();
    EndProcess();
    EXPECT_TRUE(host.MessageBoxes().empty());
    // The class name is free again.
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcA;
    windowClass.lpszClassName = "ClassName";
    EXPECT_NE(RegisterClassExA(&windowClass), 0);
    UnregisterClassA("ClassName", nullptr);
}

TEST(Shutdown, UnregisteringWhileTheWindowExistsFailsWithItsMessage) {
    HeadlessHost& host = StartProcess();
    host.ClearMessageBoxes();
    EndProcess();
    EXPECT_EQ(Messages(host), std::vector<std::string>{"UnregisterClass() failed! | ~CApplication()"});
}

}  // namespace
