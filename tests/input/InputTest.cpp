// CInput over the scripted headless host: reads, queries and the
// re-acquisition of the exclusive mouse.
#include <gtest/gtest.h>

#include "app/Globals.h"
#include "input/Input.h"
#include "platform/host/ScanCodes.h"
#include "tests/support/GameProcess.h"

namespace {

using valmere::host::HeadlessHost;
using valmere::test::StartProcess;

TEST(Input, NothingIsDownBeforeTheFirstRead) {
    HeadlessHost& host = StartProcess();
    host.PressKey(0, DIK_W);
    host.PressMouseButton(0, 1);
    for (DWORD code = 0; code < 256; ++code) EXPECT_FALSE(g_input.KeyDown(code)) << code;
    for (DWORD button = 0; button < 4; ++button) EXPECT_FALSE(g_input.MouseButtonDown(button));
    EXPECT_FALSE(g_input.KeyDown(1000));  // out of range is never down
    EXPECT_FALSE(g_input.MouseButtonDown(4));
}

TEST(Input, KeysAndButtonsReadDownAfterARead) {
    HeadlessHost& host = StartProcess();
    host.PressKey(0, DIK_SPACE);
    host.PressMouseButton(0, 1);
    ASSERT_TRUE(g_input.Update());
    EXPECT_TRUE(g_input.KeyDown(DIK_SPACE));
    EXPECT_FALSE(g_input.KeyDown(DIK_W));
    // Queries only read the stored state: the mouse is not read yet.
    EXPECT_FALSE(g_input.MouseButtonDown(1));
    ASSERT_TRUE(g_input.Poll());
    EXPECT_TRUE(g_input.MouseButtonDown(1));
    EXPECT_FALSE(g_input.MouseButtonDown(0));
    host.ReleaseKey(0, DIK_SPACE);
    EXPECT_TRUE(g_input.KeyDown(DIK_SPACE));  // until the next read
    ASSERT_TRUE(g_input.Update());
    EXPECT_FALSE(g_input.KeyDown(DIK_SPACE));
}

TEST(Input, MouseMovementIsRelative) {
    HeadlessHost& host = StartProcess();
    host.MoveMouse(0, 12, -7);
    ASSERT_TRUE(g_input.Poll());
    LONG x = 0, y = 0;
    g_input.GetMouseMovement(x, y);
    EXPECT_EQ(x, 12);
    EXPECT_EQ(y, -7);
    ASSERT_TRUE(g_input.Poll());
    g_input.GetMouseMovement(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
}

TEST(Input, MouseTakenAwayIsReacquiredByTheFirstPollAfterItComesBack) {
    HeadlessHost& host = StartProcess();
    host.LoseFocus(0);
    // In the background the mouse cannot be had; Poll gives up for this
    // frame without a message instead of waiting.
    EXPECT_FALSE(g_input.Poll());
    EXPECT_TRUE(host.MessageBoxes().empty());
    host.GainFocus(0);
    host.MoveMouse(0, 5, 5);
    EXPECT_FALSE(g_input.Poll());  // re-acquires and reads a fresh state
    LONG x = 1, y = 1;
    g_input.GetMouseMovement(x, y);
    EXPECT_EQ(x, 0);
    EXPECT_EQ(y, 0);
    host.MoveMouse(0, 3, 0);
    EXPECT_TRUE(g_input.Poll());
    g_input.GetMouseMovement(x, y);
    EXPECT_EQ(x, 3);
    EXPECT_TRUE(host.MessageBoxes().empty());
}

TEST(Input, FailingReadsReportTheirMessages) {
    HeadlessHost& host = StartProcess();
    host.SetCallFails("Keyboard.GetDeviceState", true);
    EXPECT_FALSE(g_input.Update());
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "GetDeviceState() failed!");
    EXPECT_EQ(host.MessageBoxes()[0].caption, "Update()");
}

TEST(Input, DestructionUnacquiresAndReleasesEverything) {
    StartProcess();
    IDirectInputDevice8A* mouse = g_input.mouse;
    mouse->AddRef();  // keep the device alive to look at it afterwards
    valmere::test::EndProcess();
    DIMOUSESTATE state{};
    EXPECT_EQ(mouse->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
    EXPECT_EQ(mouse->Release(), 0u);
    StartProcess();
}

}  // namespace
