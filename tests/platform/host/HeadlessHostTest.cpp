#include <gtest/gtest.h>

#include <vector>

#include "platform/host/HeadlessHost.h"
#include "platform/host/InputDispatch.h"
#include "platform/host/ScanCodes.h"

namespace {

using valmere::host::FrameView;
using valmere::host::HeadlessHost;
using valmere::host::InputEvent;
using valmere::host::InputEventType;

TEST(HeadlessHost, ScriptedEventsArriveOnTheirFrame) {
    HeadlessHost host;
    host.PressKey(0, DIK_A);
    host.MoveMouse(2, 3, 4);
    std::vector<InputEvent> events;
    host.PollEvents(events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].type, InputEventType::KeyDown);
    EXPECT_EQ(events[0].scanCode, DIK_A);
    EXPECT_EQ(events[0].virtualKey, 'A');
    events.clear();
    const std::uint32_t pixel = 0x123456;
    host.Present(FrameView{&pixel, 1, 1, 1});
    host.PollEvents(events);
    EXPECT_TRUE(events.empty());
    host.Present(FrameView{&pixel, 1, 1, 1});
    host.PollEvents(events);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].dx, 3);
    EXPECT_FALSE(host.HasPendingEvents());
}

TEST(HeadlessHost, CapturesTheLastFrameWithItsPitch) {
    HeadlessHost host;
    // A frame built in the host's own memory is kept as it is.
    std::uint32_t* memory = host.FrameMemory(2, 1);
    ASSERT_NE(memory, nullptr);
    memory[0] = 7;
    memory[1] = 8;
    host.Present(FrameView{memory, 2, 1, 2});
    EXPECT_EQ(host.LastFramePixel(1, 0), 8u);
    EXPECT_EQ(host.LastFrameHeight(), 1);
    const std::uint32_t pixels[2 * 3] = {1, 2, 99, 4, 5, 99};  // 2 by 2 with a pitch of 3
    host.Present(FrameView{pixels, 2, 2, 3});
    EXPECT_EQ(host.PresentedFrames(), 2);
    EXPECT_EQ(host.LastFramePixel(1, 0), 2u);
    EXPECT_EQ(host.LastFramePixel(0, 1), 4u);
    EXPECT_EQ(host.LastFramePixel(1, 1), 5u);
    EXPECT_EQ(host.LastFramePixel(2, 1), 0u);  // outside the frame
}

TEST(HeadlessHost, OneWindowAtATime) {
    HeadlessHost host;
    EXPECT_TRUE(host.OpenWindow({}));
    EXPECT_FALSE(host.OpenWindow({}));
    host.CloseWindow();
    EXPECT_TRUE(host.OpenWindow({}));
}

TEST(InputDispatch, TracksFocusAndDeliversToListeners) {
    struct Recorder final : valmere::host::InputListener {
        virtual ~Recorder() = default;
        std::vector<InputEventType> seen;
        void OnInputEvent(const InputEvent& event) override { seen.push_back(event.type); }
    } recorder;
    auto& host = valmere::host::InstallHeadlessHost();
    valmere::host::ResetFocusState();
    valmere::host::AddInputListener(&recorder);
    host.LoseFocus(0);
    host.PressKey(0, DIK_B);
    valmere::host::PumpInput();
    EXPECT_FALSE(valmere::host::ApplicationHasFocus());
    EXPECT_EQ(recorder.seen, (std::vector<InputEventType>{InputEventType::FocusLost, InputEventType::KeyDown}));
    host.GainFocus(0);
    valmere::host::PumpInput();
    EXPECT_TRUE(valmere::host::ApplicationHasFocus());
    valmere::host::RemoveInputListener(&recorder);
    host.PressKey(0, DIK_C);
    valmere::host::PumpInput();
    EXPECT_EQ(recorder.seen.size(), 3u);
}

// The display is the application's while its window shows and, when the
// picture is full screen, has the focus.
TEST(InputDispatch, TheDisplayGoesWithTheFocusOnlyForAFullScreenPicture) {
    struct Case {
        bool fullScreen;
        bool focused;
        bool minimised;
        bool hasDisplay;
    };
    const Case cases[] = {
        {true, true, false, true},   {true, false, false, false}, {true, true, true, false},
        {false, true, false, true},  {false, false, false, true}, {false, true, true, false},
    };
    for (const Case& c : cases) {
        auto& host = valmere::host::InstallHeadlessHost();
        valmere::host::ResetFocusState();
        host.SetDisplayMode(800, 600, c.fullScreen);
        if (!c.focused) host.LoseFocus(0);
        if (c.minimised) host.Minimize(0);
        valmere::host::PumpInput();
        EXPECT_EQ(valmere::host::ApplicationHasDisplay(), c.hasDisplay)
            << c.fullScreen << c.focused << c.minimised;
        host.GainFocus(0);
        host.Restore(0);
        valmere::host::PumpInput();
        EXPECT_TRUE(valmere::host::ApplicationHasDisplay());
    }
    valmere::host::ResetFocusState();
}

TEST(ScanCodes, VirtualKeysOfTheGameKeys) {
    EXPECT_EQ(valmere::host::VirtualKeyForScanCode(DIK_ESCAPE), 0x1B);
    EXPECT_EQ(valmere::host::VirtualKeyForScanCode(DIK_UP), 0x26);
    EXPECT_EQ(valmere::host::VirtualKeyForScanCode(DIK_SPACE), 0x20);
    EXPECT_EQ(valmere::host::VirtualKeyForScanCode(DIK_LCONTROL), 0x11);
    EXPECT_EQ(valmere::host::VirtualKeyForScanCode(DIK_Z), 'Z');
    EXPECT_EQ(valmere::host::VirtualKeyForScanCode(0x7F), 0);
}

}  // namespace
