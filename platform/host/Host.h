// The host is the only code that touches the real machine. The platform API
// (Win32, Direct3D 8, DirectInput 8 stand-ins) talks to the active host
// through this interface: it opens the one window, turns the machine's
// keyboard, mouse and focus changes into plain event records, shows message
// boxes and receives finished frames.
//
// Two hosts exist: SdlHost (a real window through SDL2) and HeadlessHost
// (offscreen, scripted input, captured frames; see HeadlessHost.h).
#pragma once

#include <cstdint>
#include <memory>
#include <set>
#include <string>
#include <string_view>
#include <vector>

namespace valmere::host {

enum class InputEventType {
    KeyDown,          // scanCode (DirectInput DIK_ code) and virtualKey set
    KeyUp,            // scanCode and virtualKey set
    MouseMove,        // dx, dy: relative movement in mickeys
    MouseWheel,       // dz: wheel movement (120 per notch)
    MouseButtonDown,  // button: 0 left, 1 right, 2 middle, 3 fourth
    MouseButtonUp,
    FocusLost,        // the window lost the keyboard focus (another window is in front)
    FocusGained,      // the window has the focus again
    Minimized,        // the window was minimised or hidden: nothing of it shows
    Restored,         // the window shows again
    CloseRequested,   // the window manager asks to close the window (close button, Alt+F4)
};

struct InputEvent {
    InputEventType type = InputEventType::KeyDown;
    std::uint8_t scanCode = 0;
    std::uint8_t virtualKey = 0;
    int dx = 0;
    int dy = 0;
    int dz = 0;
    int button = 0;
};

// A finished frame: 32-bit pixels 0x00RRGGBB, rows top-down.
struct FrameView {
    const std::uint32_t* pixels = nullptr;
    int width = 0;
    int height = 0;
    int pitchInPixels = 0;
};

struct WindowDesc {
    std::string title;
    int x = 0;
    int y = 0;
    int width = 640;
    int height = 480;
    bool topmost = false;
    bool visible = true;
};

class Host {
public:
    virtual ~Host() = default;

    virtual const char* Name() const = 0;

    // The one window of the process. OpenWindow fails when one is open.
    virtual bool OpenWindow(const WindowDesc& desc) = 0;
    virtual void CloseWindow() = 0;
    virtual bool WindowOpen() const = 0;
    virtual void SetCursorVisible(bool visible) = 0;

    // Full-screen mode of width x height: on a desktop the picture is scaled
    // to fit and letterboxed. fullscreen false returns to windowed display.
    virtual bool SetDisplayMode(int width, int height, bool fullscreen) = 0;
    // True while the picture takes the whole display (a full-screen mode
    // that the window system granted): the application then has the display
    // only while its window has the focus. False while it shows in a window
    // of the desktop, which keeps the display when another window is in
    // front.
    virtual bool ShowsFullScreen() const = 0;

    // Appends the events that arrived since the last call. Never waits.
    virtual void PollEvents(std::vector<InputEvent>& out) = 0;
    // Waits until an event is ready for PollEvents or `timeoutMs`
    // milliseconds have passed, whichever comes first; for a program with
    // nothing to draw. A host without a window system returns at once.
    virtual void WaitEvents(int timeoutMs) { static_cast<void>(timeoutMs); }

    // Shows a finished frame (with vertical sync on a real display).
    virtual void Present(const FrameView& frame) = 0;
    // Memory of width x height pixels (pitch = width) in which the caller
    // may build the next frame and then Present it without a copy; null when
    // the host has none (Present then reads the caller's memory). Valid until
    // the next call of FrameMemory or Present.
    virtual std::uint32_t* FrameMemory(int width, int height) {
        static_cast<void>(width);
        static_cast<void>(height);
        return nullptr;
    }

    // Shows a message box and waits until it is dismissed (a real host), or
    // records it (headless). Returns the button id (IDOK).
    virtual int ShowMessageBox(const std::string& text, const std::string& caption, unsigned type) = 0;

    // Failure injection: a platform call consults ShouldFail with its own
    // name ("CreateDevice", "RegisterClassExA", "Acquire", ...) and fails
    // the way that call fails when it answers true. Asking allocates
    // nothing, so calls made every frame or with memory exhausted may ask.
    bool ShouldFail(std::string_view callName) const {
        return !failingCalls_.empty() && failingCalls_.find(callName) != failingCalls_.end();
    }
    bool InjectsFailures() const { return !failingCalls_.empty(); }
    void SetCallFails(const std::string& callName, bool fails) {
        if (fails)
            failingCalls_.insert(callName);
        else
            failingCalls_.erase(callName);
    }
    void ClearCallFailures() { failingCalls_.clear(); }

private:
    std::set<std::string, std::less<>> failingCalls_;
};

// The active host. Before any host is installed, a HeadlessHost is created on
// first use.
Host& CurrentHost();
// Replaces the active host (the old one is destroyed). Returns the new one.
Host& InstallHost(std::unique_ptr<Host> host);
// Creates an SdlHost when a display is reachable; otherwise null, with the
// reason in *reason when given.
std::unique_ptr<Host> CreateSdlHost(std::string* reason = nullptr);

}  // namespace valmere::host
