#include "platform/host/HeadlessHost.h"

#include "platform/host/PngWriter.h"
#include "platform/host/ScanCodes.h"

namespace valmere::host {

bool HeadlessHost::OpenWindow(const WindowDesc& desc) {
    if (windowOpen_) return false;
    window_ = desc;
    windowOpen_ = true;
    return true;
}

void HeadlessHost::CloseWindow() { windowOpen_ = false; }

bool HeadlessHost::SetDisplayMode(int width, int height, bool fullscreen) {
    if (width <= 0 || height <= 0) return false;
    displayWidth_ = width;
    displayHeight_ = height;
    fullscreen_ = fullscreen;
    return true;
}

void HeadlessHost::PollEvents(std::vector<InputEvent>& out) {
    const auto end = script_.upper_bound(presentedFrames_);
    for (auto it = script_.begin(); it != end; ++it) out.push_back(it->second);
    script_.erase(script_.begin(), end);
}

std::uint32_t* HeadlessHost::FrameMemory(int width, int height) {
    if (width <= 0 || height <= 0) return nullptr;
    lastFrame_.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    return lastFrame_.data();
}

void HeadlessHost::Present(const FrameView& frame) {
    ++presentedFrames_;
    if (!frame.pixels || frame.width <= 0 || frame.height <= 0) return;
    lastWidth_ = frame.width;
    lastHeight_ = frame.height;
    const bool inPlace = frame.pixels == lastFrame_.data() && frame.pitchInPixels == frame.width &&
                         lastFrame_.size() == static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height);
    if (inPlace) return;
    lastFrame_.resize(static_cast<std::size_t>(frame.width) * static_cast<std::size_t>(frame.height));
    for (int y = 0; y < frame.height; ++y) {
        const std::uint32_t* row = frame.pixels + static_cast<std::ptrdiff_t>(y) * frame.pitchInPixels;
        std::copy(row, row + frame.width, lastFrame_.begin() + static_cast<std::ptrdiff_t>(y) * frame.width);
    }
}

int HeadlessHost::ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) {
    messageBoxes_.push_back({text, caption, type});
    return 1;  // IDOK
}

void HeadlessHost::ScheduleEvent(int frame, const InputEvent& event) { script_.emplace(frame, event); }

namespace {

InputEvent Event(InputEventType type) {
    InputEvent event;
    event.type = type;
    return event;
}

InputEvent KeyEvent(InputEventType type, std::uint8_t scanCode) {
    InputEvent event = Event(type);
    event.scanCode = scanCode;
    event.virtualKey = VirtualKeyForScanCode(scanCode);
    return event;
}

InputEvent ButtonEvent(InputEventType type, int button) {
    InputEvent event = Event(type);
    event.button = button;
    return event;
}

}  // namespace

void HeadlessHost::PressKey(int frame, std::uint8_t scanCode) {
    ScheduleEvent(frame, KeyEvent(InputEventType::KeyDown, scanCode));
}

void HeadlessHost::ReleaseKey(int frame, std::uint8_t scanCode) {
    ScheduleEvent(frame, KeyEvent(InputEventType::KeyUp, scanCode));
}

void HeadlessHost::MoveMouse(int frame, int dx, int dy) {
    InputEvent event = Event(InputEventType::MouseMove);
    event.dx = dx;
    event.dy = dy;
    ScheduleEvent(frame, event);
}

void HeadlessHost::PressMouseButton(int frame, int button) {
    ScheduleEvent(frame, ButtonEvent(InputEventType::MouseButtonDown, button));
}

void HeadlessHost::ReleaseMouseButton(int frame, int button) {
    ScheduleEvent(frame, ButtonEvent(InputEventType::MouseButtonUp, button));
}

void HeadlessHost::LoseFocus(int frame) { ScheduleEvent(frame, Event(InputEventType::FocusLost)); }

void HeadlessHost::GainFocus(int frame) { ScheduleEvent(frame, Event(InputEventType::FocusGained)); }

void HeadlessHost::Minimize(int frame) { ScheduleEvent(frame, Event(InputEventType::Minimized)); }

void HeadlessHost::Restore(int frame) { ScheduleEvent(frame, Event(InputEventType::Restored)); }

void HeadlessHost::RequestClose(int frame) { ScheduleEvent(frame, Event(InputEventType::CloseRequested)); }

std::uint32_t HeadlessHost::LastFramePixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= lastWidth_ || y >= lastHeight_) return 0;
    return lastFrame_[static_cast<std::size_t>(y) * static_cast<std::size_t>(lastWidth_) + static_cast<std::size_t>(x)];
}

bool HeadlessHost::SaveLastFrame(const std::string& path) const {
    if (lastFrame_.empty()) return false;
    return WritePng(path, lastFrame_.data(), lastWidth_, lastHeight_, lastWidth_);
}

HeadlessHost* CurrentHeadlessHost() { return dynamic_cast<HeadlessHost*>(&CurrentHost()); }

HeadlessHost& InstallHeadlessHost() {
    return static_cast<HeadlessHost&>(InstallHost(std::make_unique<HeadlessHost>()));
}

}  // namespace valmere::host
