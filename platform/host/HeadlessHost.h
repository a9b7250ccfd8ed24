// HeadlessHost: the host for tests, benchmarks and machines without a
// display. Nothing is shown: input is scripted per frame, message boxes are
// recorded, and presented frames are captured.
//
// Frames are counted by Present calls. An event scheduled for frame n is
// delivered by the first PollEvents after n frames were presented (frame 0:
// before the first Present).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/host/Host.h"

namespace valmere::host {

struct MessageBoxRecord {
    std::string text;
    std::string caption;
    unsigned type = 0;
};

class HeadlessHost final : public Host {
public:
    const char* Name() const override { return "headless"; }

    bool OpenWindow(const WindowDesc& desc) override;
    void CloseWindow() override;
    bool WindowOpen() const override { return windowOpen_; }
    void SetCursorVisible(bool visible) override { cursorVisible_ = visible; }
    bool SetDisplayMode(int width, int height, bool fullscreen) override;
    // A full-screen mode takes the (imagined) display whole, unless
    // ShowFullScreenInWindow said otherwise.
    bool ShowsFullScreen() const override { return fullscreen_ && !fullScreenInWindow_; }
    // Shows a full-screen mode in a window of the desktop, as SdlHost does
    // when asked to (VALMERE_WINDOWED) or refused full screen: the window
    // keeps the display when it loses the focus.
    void ShowFullScreenInWindow(bool inWindow) { fullScreenInWindow_ = inWindow; }
    void PollEvents(std::vector<InputEvent>& out) override;
    void Present(const FrameView& frame) override;
    // The last frame's own memory: a frame built there is kept without a copy.
    std::uint32_t* FrameMemory(int width, int height) override;
    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) override;

    // Scripted input
    void ScheduleEvent(int frame, const InputEvent& event);
    void PressKey(int frame, std::uint8_t scanCode);
    void ReleaseKey(int frame, std::uint8_t scanCode);
    void MoveMouse(int frame, int dx, int dy);
    void PressMouseButton(int frame, int button);
    void ReleaseMouseButton(int frame, int button);
    void LoseFocus(int frame);
    void GainFocus(int frame);
    void Minimize(int frame);
    void Restore(int frame);
    void RequestClose(int frame);
    bool HasPendingEvents() const { return !script_.empty(); }

    // Observations
    int PresentedFrames() const { return presentedFrames_; }
    const std::vector<std::uint32_t>& LastFrame() const { return lastFrame_; }  // 0x00RRGGBB, top-down
    int LastFrameWidth() const { return lastWidth_; }
    int LastFrameHeight() const { return lastHeight_; }
    std::uint32_t LastFramePixel(int x, int y) const;
    // Writes the last frame as an 8-bit RGB PNG (platform/host/PngWriter.h);
    // false when there is no frame or the file cannot be written.
    bool SaveLastFrame(const std::string& path) const;
    const std::vector<MessageBoxRecord>& MessageBoxes() const { return messageBoxes_; }
    void ClearMessageBoxes() { messageBoxes_.clear(); }
    const WindowDesc& Window() const { return window_; }
    bool CursorVisible() const { return cursorVisible_; }
    bool Fullscreen() const { return fullscreen_; }
    int DisplayWidth() const { return displayWidth_; }
    int DisplayHeight() const { return displayHeight_; }

private:
    std::multimap<int, InputEvent> script_;
    std::vector<MessageBoxRecord> messageBoxes_;
    std::vector<std::uint32_t> lastFrame_;
    WindowDesc window_;
    int lastWidth_ = 0;
    int lastHeight_ = 0;
    int presentedFrames_ = 0;
    int displayWidth_ = 0;
    int displayHeight_ = 0;
    bool windowOpen_ = false;
    bool cursorVisible_ = true;
    bool fullscreen_ = false;
    bool fullScreenInWindow_ = false;
};

// The active host as a HeadlessHost, or null when another host is active.
HeadlessHost* CurrentHeadlessHost();
// Installs a fresh HeadlessHost and returns it.
HeadlessHost& InstallHeadlessHost();

}  // namespace valmere::host
