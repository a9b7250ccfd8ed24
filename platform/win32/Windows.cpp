// Window classes, the one window, the message queue and default handling.
// Host input reaches the queue through the input dispatch: key events
// become WM_KEYDOWN/WM_KEYUP for the window, the window manager's close
// request (close button, Alt+F4) becomes WM_CLOSE, focus changes become
// WM_ACTIVATE.
#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/host/Host.h"
#include "platform/host/InputDispatch.h"
#include "platform/win32/WindowManager.h"

namespace valmere::win32 {
namespace {

std::string Folded(const char* text) {
    std::string folded = text ? text : "";
    std::transform(folded.begin(), folded.end(), folded.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return folded;
}

struct WindowClass {
    WNDCLASSEXA description;
    std::string name;
    ATOM atom;
};

struct Window {
    std::string className;
    WNDPROC procedure;
    LONG width = 0;
    LONG height = 0;
    bool destroying = false;
};

class WindowManager final : public host::InputListener {
public:
    WindowManager() {
        queue_.reserve(kQueueReserve);
        host::AddInputListener(this);
    }

    void Reset() {
        if (!windows_.empty()) host::CurrentHost().CloseWindow();
        windows_.clear();
        classes_.clear();
        queue_.clear();
        cursorCount_ = 0;
    }

    void OnInputEvent(const host::InputEvent& event) override {
        HWND target = MainWindow();
        if (!target) return;
        switch (event.type) {
        case host::InputEventType::KeyDown:
        case host::InputEventType::KeyUp: {
            // lParam: repeat count 1, scan code in bits 16-23, extended-key
            // flag in bit 24, and for key-up the previous-state and
            // transition bits.
            LPARAM lParam = 1 | (static_cast<LPARAM>(event.scanCode & 0x7F) << 16);
            if (event.scanCode & 0x80) lParam |= LPARAM{1} << 24;
            const bool down = event.type == host::InputEventType::KeyDown;
            if (!down) lParam |= LPARAM{3} << 30;
            Post(target, down ? WM_KEYDOWN : WM_KEYUP, event.virtualKey, lParam);
            break;
        }
        case host::InputEventType::CloseRequested:
            // A close as Escape makes one: the window procedure sees it, and
            // the message's parameters (both 0) are what a loop that ends on
            // it returns.
            Post(target, WM_CLOSE, 0, 0);
            break;
        case host::InputEventType::FocusLost:
            Post(target, WM_ACTIVATE, WA_INACTIVE, 0);
            break;
        case host::InputEventType::FocusGained:
            Post(target, WM_ACTIVATE, WA_ACTIVE, 0);
            break;
        default:
            break;
        }
    }

    ATOM Register(const WNDCLASSEXA& description) {
        const std::string name = Folded(description.lpszClassName);
        if (classes_.count(name)) return 0;
        const ATOM atom = nextAtom_++;
        classes_[name] = WindowClass{description, name, atom};
        return atom;
    }

    bool Unregister(const char* className) {
        const std::string name = Folded(className);
        if (!classes_.count(name)) return false;
        for (const auto& entry : windows_)
            if (entry.second->className == name) return false;  // a window of the class still exists
        classes_.erase(name);
        return true;
    }

    const WindowClass* FindClass(const char* className) const {
        const auto found = classes_.find(Folded(className));
        return found == classes_.end() ? nullptr : &found->second;
    }

    HWND Add(std::unique_ptr<Window> window) {
        HWND handle = reinterpret_cast<HWND>(window.get());
        windows_[handle] = std::move(window);
        return handle;
    }

    Window* Find(HWND handle) {
        const auto found = windows_.find(handle);
        return found == windows_.end() ? nullptr : found->second.get();
    }

    void Remove(HWND handle) {
        windows_.erase(handle);
        // Messages for a window that is gone are never retrieved.
        queue_.erase(std::remove_if(queue_.begin(), queue_.end(), [&](const MSG& m) { return m.hwnd == handle; }),
                     queue_.end());
    }

    HWND MainWindow() const { return windows_.empty() ? nullptr : windows_.begin()->first; }

    void Post(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        MSG msg{};
        msg.hwnd = window;
        msg.message = message;
        msg.wParam = wParam;
        msg.lParam = lParam;
        msg.time = GetTickCount();
        queue_.push_back(msg);
    }

    bool Take(MSG& out, HWND filterWindow, UINT filterMin, UINT filterMax, bool remove) {
        for (auto it = queue_.begin(); it != queue_.end(); ++it) {
            if (filterWindow && it->hwnd != filterWindow) continue;
            if ((filterMin || filterMax) && (it->message < filterMin || it->message > filterMax)) continue;
            out = *it;
            if (remove) queue_.erase(it);
            return true;
        }
        return false;
    }

    std::size_t QueueSize() const { return queue_.size(); }

    int cursorCount_ = 0;

private:
    std::map<std::string, WindowClass> classes_;
    std::map<HWND, std::unique_ptr<Window>> windows_;
    // A vector with room reserved, not a deque: posting and taking messages
    // frame after frame reuses its storage instead of allocating blocks as
    // the queue moves. More messages than the reserve only grow it.
    static constexpr std::size_t kQueueReserve = 64;
    std::vector<MSG> queue_;
    ATOM nextAtom_ = 0xC000;
};

WindowManager& Manager() {
    static WindowManager manager;
    return manager;
}

// Character messages for the keys that produce one without modifiers.
WPARAM CharacterForKey(WPARAM virtualKey) {
    if ((virtualKey >= 'A' && virtualKey <= 'Z')) return virtualKey - 'A' + 'a';
    if (virtualKey >= '0' && virtualKey <= '9') return virtualKey;
    switch (virtualKey) {
    case VK_SPACE:
    case VK_RETURN:
    case VK_ESCAPE:
    case VK_BACK:
    case VK_TAB:
        return virtualKey;
    default:
        return 0;
    }
}

}  // namespace

void ResetWindowManager() { Manager().Reset(); }
std::size_t QueuedMessageCount() { return Manager().QueueSize(); }
int CursorDisplayCount() { return Manager().cursorCount_; }

}  // namespace valmere::win32

using valmere::win32::Manager;

ATOM RegisterClassExA(const WNDCLASSEXA* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXA) || !windowClass->lpfnWndProc ||
        !windowClass->lpszClassName || !*windowClass->lpszClassName)
        return 0;
    if (valmere::host::CurrentHost().ShouldFail("RegisterClassExA")) return 0;
    return Manager().Register(*windowClass);
}

BOOL UnregisterClassA(LPCSTR className, HINSTANCE /*instance*/) {
    if (valmere::host::CurrentHost().ShouldFail("UnregisterClassA")) return FALSE;
    return Manager().Unregister(className) ? TRUE : FALSE;
}

HWND CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y, int width,
                     int height, HWND /*parent*/, HMENU /*menu*/, HINSTANCE /*instance*/, LPVOID /*param*/) {
    const auto* windowClass = Manager().FindClass(className);
    if (!windowClass || valmere::host::CurrentHost().ShouldFail("CreateWindowExA")) return nullptr;
    valmere::host::WindowDesc desc;
    desc.title = windowName ? windowName : "";
    desc.x = x;
    desc.y = y;
    desc.width = width;
    desc.height = height;
    desc.topmost = (exStyle & WS_EX_TOPMOST) != 0;
    desc.visible = (style & WS_VISIBLE) != 0;
    if (!valmere::host::CurrentHost().OpenWindow(desc)) return nullptr;
    auto window = std::make_unique<valmere::win32::Window>();
    window->className = windowClass->name;
    window->procedure = windowClass->description.lpfnWndProc;
    window->width = width > 0 ? width : 0;
    window->height = height > 0 ? height : 0;
    HWND handle = Manager().Add(std::move(window));
    if (SendMessageA(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    return handle;
}

BOOL DestroyWindow(HWND window) {
    auto* found = Manager().Find(window);
    if (!found || found->destroying) return FALSE;
    found->destroying = true;
    SendMessageA(window, WM_DESTROY, 0, 0);
    SendMessageA(window, WM_NCDESTROY, 0, 0);
    valmere::host::CurrentHost().CloseWindow();
    Manager().Remove(window);
    return TRUE;
}

BOOL IsWindow(HWND window) { return Manager().Find(window) ? TRUE : FALSE; }

int ShowCursor(BOOL show) {
    int& count = Manager().cursorCount_;
    count += show ? 1 : -1;
    valmere::host::CurrentHost().SetCursorVisible(count >= 0);
    return count;
}

LRESULT DefWindowProcA(HWND window, UINT message, WPARAM wParam, LPARAM /*lParam*/) {
    switch (message) {
    case WM_CLOSE:
        DestroyWindow(window);
        return 0;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == SC_CLOSE) SendMessageA(window, WM_CLOSE, 0, 0);
        return 0;
    default:
        return 0;
    }
}

BOOL PeekMessageA(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeFlags) {
    if (!msg) return FALSE;
    valmere::host::PumpInput();
    return Manager().Take(*msg, window, filterMin, filterMax, (removeFlags & PM_REMOVE) != 0) ? TRUE : FALSE;
}

BOOL TranslateMessage(const MSG* msg) {
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    const WPARAM character = valmere::win32::CharacterForKey(msg->wParam);
    if (!character) return FALSE;
    Manager().Post(msg->hwnd, WM_CHAR, character, msg->lParam);
    return TRUE;
}

LRESULT DispatchMessageA(const MSG* msg) {
    if (!msg || !msg->hwnd) return 0;
    return SendMessageA(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT SendMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* found = Manager().Find(window);
    if (!found) return 0;
    return found->procedure(window, message, wParam, lParam);
}

BOOL PostMessageA(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (window && !Manager().Find(window)) return FALSE;
    Manager().Post(window, message, wParam, lParam);
    return TRUE;
}

void PostQuitMessage(int exitCode) { Manager().Post(nullptr, WM_QUIT, static_cast<WPARAM>(exitCode), 0); }

HWND GetForegroundWindow() { return valmere::host::ApplicationHasFocus() ? Manager().MainWindow() : nullptr; }

// The host draws no frame around the client area: it is the whole window.
BOOL GetClientRect(HWND window, LPRECT rect) {
    const auto* found = Manager().Find(window);
    if (!rect || !found) return FALSE;
    *rect = RECT{0, 0, found->width, found->height};
    return TRUE;
}
