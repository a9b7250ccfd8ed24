// Allocations of the viewer's frames, counted by a replaced global allocator
// (hence an executable of its own): once the first frames are drawn, frames
// with mouse movement, key taps and another window taking the focus
// allocate nothing, nor do the iterations of a minimised viewer.
#include <gtest/gtest.h>

#include <filesystem>

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "platform/host/ScanCodes.h"
#include "tests/support/AllocationInjection.h"
#include "tests/support/GameProcess.h"

namespace {

using valmere::host::HeadlessHost;
using valmere::test::AllocationInjection;
using valmere::test::g_allocations;

// One iteration of WinMain's loop: a message, the device test, a frame.
void Iterate(const FrameResources& resources) {
    MSG msg{};
    if (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (g_application.CheckDevice()) DrawFrame(resources);
}

TEST(FrameAllocation, SteadyFramesAllocateNothing) {
    std::filesystem::current_path(VALMERE_DATA_DIR);
    constexpr int warmUp = 10;
    constexpr int counted = 30;
    HeadlessHost& host = valmere::test::StartProcess([](HeadlessHost& h) {
        h.ShowFullScreenInWindow(true);  // the focus loss keeps the device
        // A tap every fourth frame: its three messages (key down, character,
        // key up) go through the one-message-per-frame loop before the next.
        for (int frame = 0; frame < warmUp + counted; ++frame) {
            h.MoveMouse(frame, 3, -1);
            if (frame % 4 != 0) continue;
            const std::uint8_t key = frame % 8 ? DIK_Z : DIK_X;
            h.PressKey(frame, key);
            h.ReleaseKey(frame, key);
        }
        h.LoseFocus(warmUp + 5);
        h.GainFocus(warmUp + 15);
        h.PressMouseButton(warmUp + 20, 1);
        h.ReleaseMouseButton(warmUp + 20, 1);
        h.Minimize(warmUp + counted);
    });
    FrameResources resources;
    SetUpFrame(resources);
    for (int i = 0; i < warmUp; ++i) Iterate(resources);
    g_allocations = AllocationInjection{true, 0, -1, 0, false};
    while (host.PresentedFrames() < warmUp + counted) Iterate(resources);
    const long drawing = g_allocations.count;
    // Minimised, the device is lost: the loop only pumps and tests it.
    for (int i = 0; i < 20; ++i) Iterate(resources);
    const long minimised = g_allocations.count - drawing;
    g_allocations.armed = false;
    EXPECT_EQ(drawing, 0);
    EXPECT_EQ(minimised, 0);
    EXPECT_EQ(host.PresentedFrames(), warmUp + counted);
    ReleaseFrameResources(resources);
}

}  // namespace
