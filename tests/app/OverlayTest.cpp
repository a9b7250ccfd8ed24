// The overlay text of the viewer's frame: "Test Build 1" in opaque green at
// (50, 50) and "Valmere Engine" in translucent grey centred between x = 700
// and 800 from y = 585, over the scene and changing nothing else; and the
// same after a device loss and reset.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <utility>
#include <vector>

#include "app/Application.h"
#include "app/FrameLoop.h"
#include "app/Globals.h"
#include "app/WinMain.h"
#include "tests/support/GameProcess.h"
#include "text/D3DXText.h"

namespace {

using Frame = std::vector<std::uint32_t>;

int Channel(std::uint32_t pixel, int c) { return static_cast<int>((pixel >> (16 - 8 * c)) & 0xFF); }

// Where GDI places a line of the overlay font: its extent measured with
// DT_CALCRECT, at the left or centred in the rectangle.
RECT TextBox(const LOGFONTA& description, const char* text, RECT rect, bool centred) {
    const HFONT font = CreateFontIndirectA(&description);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT extent{0, 0, 0, 0};
    DrawTextA(dc, text, -1, &extent, DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    const LONG left = centred ? (rect.left + rect.right - extent.right) / 2 : rect.left;
    return {left, rect.top, std::min(left + extent.right, rect.right), std::min(rect.top + extent.bottom, rect.bottom)};
}

bool Inside(const RECT& box, int x, int y) { return x >= box.left && x < box.right && y >= box.top && y < box.bottom; }

struct OverlayFrames {
    Frame with, without;
};

class Overlay : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::current_path(VALMERE_DATA_DIR);
        host_ = &valmere::test::StartProcess();
        SetUpFrame(resources_);
        ASSERT_NE(g_font, nullptr);
        LOGFONTA description{};
        ASSERT_EQ(g_font->GetLogFont(&description), S_OK);
        green_ = TextBox(description, "Test Build 1", {50, 50, 800, 600}, false);
        grey_ = TextBox(description, "Valmere Engine", {700, 585, 800, 600}, true);
    }
    void TearDown() override { ReleaseFrameResources(resources_); }

    // One frame as the viewer draws it, and the same frame without the text.
    OverlayFrames Draw() {
        OverlayFrames frames;
        if (!g_application.CheckDevice()) return frames;
        DrawFrame(resources_);
        frames.with = host_->LastFrame();
        ID3DXFont* font = std::exchange(g_font, nullptr);
        DrawFrame(resources_);
        g_font = font;
        frames.without = host_->LastFrame();
        return frames;
    }

    // Text pixels only inside the two boxes; green over the sky in the
    // first; grey mixed with what lies under it in the second.
    void ExpectOverlay(const OverlayFrames& frames) {
        ASSERT_EQ(frames.with.size(), 800u * 600u);
        int green = 0, translucent = 0, changed = 0;
        for (int y = 0; y < 600; ++y)
            for (int x = 0; x < 800; ++x) {
                const std::uint32_t a = frames.with[y * 800 + x], b = frames.without[y * 800 + x];
                if (a == b) continue;
                ++changed;
                if (Inside(green_, x, y)) {
                    if (Channel(a, 1) > Channel(a, 0) + 0x40 && Channel(a, 1) > Channel(a, 2) + 0x40) ++green;
                } else if (Inside(grey_, x, y)) {
                    bool between = true, partial = false;
                    for (int c = 0; c < 3; ++c) {
                        const int lo = std::min(Channel(b, c), 0x99) - 4, hi = std::max(Channel(b, c), 0x99) + 4;
                        between = between && Channel(a, c) >= lo && Channel(a, c) <= hi;
                        partial = partial || std::abs(Channel(a, c) - 0x99) > 8;
                    }
                    EXPECT_TRUE(between) << x << "," << y;
                    translucent += partial ? 1 : 0;
                } else {
                    ADD_FAILURE() << "text outside its boxes at " << x << "," << y;
                    return;
                }
            }
        EXPECT_GT(green, 20);
        EXPECT_GT(translucent, 20);
        EXPECT_GT(changed, green + translucent - 1);
    }

    valmere::host::HeadlessHost* host_ = nullptr;
    FrameResources resources_;
    RECT green_{}, grey_{};
};

TEST_F(Overlay, TwoLinesOverTheSceneAndNothingElse) {
    EXPECT_EQ(green_.left, 50);
    EXPECT_EQ(green_.top, 50);
    EXPECT_EQ(grey_.top, 585);
    EXPECT_LE(std::abs((grey_.left - 700) - (800 - grey_.right)), 1);
    ExpectOverlay(Draw());
}

// After the loss the device has deleted the state blocks the font had
// recorded; the viewer lets the font record them again, so the text is not
// drawn in the scene's state (lighting, depth test, no blending).
TEST_F(Overlay, LooksTheSameAfterADeviceLossAndReset) {
    const OverlayFrames before = Draw();
    ExpectOverlay(before);
    host_->LoseFocus(host_->PresentedFrames());
    EXPECT_FALSE(g_application.CheckDevice());
    host_->GainFocus(host_->PresentedFrames());
    const OverlayFrames after = Draw();
    ExpectOverlay(after);
    int compared = 0;
    for (std::size_t i = 0; i < before.with.size(); ++i)
        if (before.without[i] == after.without[i]) {
            EXPECT_EQ(after.with[i], before.with[i]) << "pixel " << i % 800 << "," << i / 800;
            ++compared;
        }
    EXPECT_GT(compared, 400000);
}

// A font that cannot be made is reported by WinMain's set-up and stops the
// viewer before its first frame.
TEST(OverlayFont, FailingCreationIsReportedAndEndsTheRun) {
    std::filesystem::current_path(VALMERE_DATA_DIR);
    auto& host = valmere::test::StartProcess([](valmere::host::HeadlessHost& h) { h.SetCallFails("CreateFontIndirectA", true); });
    ASSERT_EQ(g_running, 1);
    EXPECT_EQ(WinMain(g_instance, nullptr, nullptr, 0), 1);  // a failure to whoever started the viewer
    EXPECT_EQ(g_running, 0);
    EXPECT_EQ(g_font, nullptr);
    EXPECT_EQ(host.PresentedFrames(), 0);
    ASSERT_EQ(host.MessageBoxes().size(), 1u);
    EXPECT_EQ(host.MessageBoxes()[0].text, "D3DXCreateFontIndirect() failed!");
    EXPECT_EQ(host.MessageBoxes()[0].caption, "WinMain()");
}

}  // namespace
