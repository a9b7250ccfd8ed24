// SdlHost: a real window through SDL2.
//
// The Direct3D full-screen mode becomes a window that covers the display,
// the picture scaled to fit and letterboxed. A window manager is asked for a
// full-screen window; without one (a bare X server: a kiosk, xinit) nobody
// acts on that request, so the window places itself over the display. The X
// server's answer decides whether it worked; where it did not, the picture
// shows whole in a centred window of its own size, and standard error says
// so. VALMERE_WINDOWED=1 asks for a window of the picture's size instead.
//
// The mouse is taken in relative mode while the window has focus, as an
// exclusive DirectInput mouse is. Minimising or hiding the window is
// reported as Minimized and Restored; nothing paces a hidden window, so
// Present waits for events for a frame's time instead of drawing.
#include <SDL.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "platform/host/Host.h"
#include "platform/host/ScanCodes.h"
#include "platform/host/X11Window.h"

namespace valmere::host {
namespace {

// SDL scan codes (USB usage ids) to PC set-1 scan codes.
std::array<std::uint8_t, SDL_NUM_SCANCODES> BuildScanCodeTable() {
    std::array<std::uint8_t, SDL_NUM_SCANCODES> t{};
    const std::uint8_t letters[26] = {DIK_A, DIK_B, DIK_C, DIK_D, DIK_E, DIK_F, DIK_G, DIK_H, DIK_I,
                                      DIK_J, DIK_K, DIK_L, DIK_M, DIK_N, DIK_O, DIK_P, DIK_Q, DIK_R,
                                      DIK_S, DIK_T, DIK_U, DIK_V, DIK_W, DIK_X, DIK_Y, DIK_Z};
    for (int i = 0; i < 26; ++i) t[SDL_SCANCODE_A + i] = letters[i];
    const std::uint8_t digits[10] = {DIK_1, DIK_2, DIK_3, DIK_4, DIK_5, DIK_6, DIK_7, DIK_8, DIK_9, DIK_0};
    for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_1 + i] = digits[i];
    const std::uint8_t functionKeys[12] = {DIK_F1, DIK_F2, DIK_F3, DIK_F4,  DIK_F5,  DIK_F6,
                                           DIK_F7, DIK_F8, DIK_F9, DIK_F10, DIK_F11, DIK_F12};
    for (int i = 0; i < 12; ++i) t[SDL_SCANCODE_F1 + i] = functionKeys[i];
    const std::uint8_t keypad[10] = {DIK_NUMPAD1, DIK_NUMPAD2, DIK_NUMPAD3, DIK_NUMPAD4, DIK_NUMPAD5,
                                     DIK_NUMPAD6, DIK_NUMPAD7, DIK_NUMPAD8, DIK_NUMPAD9, DIK_NUMPAD0};
    for (int i = 0; i < 10; ++i) t[SDL_SCANCODE_KP_1 + i] = keypad[i];
    t[SDL_SCANCODE_RETURN] = DIK_RETURN;
    t[SDL_SCANCODE_ESCAPE] = DIK_ESCAPE;
    t[SDL_SCANCODE_BACKSPACE] = DIK_BACK;
    t[SDL_SCANCODE_TAB] = DIK_TAB;
    t[SDL_SCANCODE_SPACE] = DIK_SPACE;
    t[SDL_SCANCODE_MINUS] = DIK_MINUS;
    t[SDL_SCANCODE_EQUALS] = DIK_EQUALS;
    t[SDL_SCANCODE_LEFTBRACKET] = DIK_LBRACKET;
    t[SDL_SCANCODE_RIGHTBRACKET] = DIK_RBRACKET;
    t[SDL_SCANCODE_BACKSLASH] = DIK_BACKSLASH;
    t[SDL_SCANCODE_NONUSHASH] = DIK_BACKSLASH;
    t[SDL_SCANCODE_SEMICOLON] = DIK_SEMICOLON;
    t[SDL_SCANCODE_APOSTROPHE] = DIK_APOSTROPHE;
    t[SDL_SCANCODE_GRAVE] = DIK_GRAVE;
    t[SDL_SCANCODE_COMMA] = DIK_COMMA;
    t[SDL_SCANCODE_PERIOD] = DIK_PERIOD;
    t[SDL_SCANCODE_SLASH] = DIK_SLASH;
    t[SDL_SCANCODE_CAPSLOCK] = DIK_CAPITAL;
    t[SDL_SCANCODE_PRINTSCREEN] = DIK_SYSRQ;
    t[SDL_SCANCODE_SCROLLLOCK] = DIK_SCROLL;
    t[SDL_SCANCODE_PAUSE] = DIK_PAUSE;
    t[SDL_SCANCODE_INSERT] = DIK_INSERT;
    t[SDL_SCANCODE_HOME] = DIK_HOME;
    t[SDL_SCANCODE_PAGEUP] = DIK_PRIOR;
    t[SDL_SCANCODE_DELETE] = DIK_DELETE;
    t[SDL_SCANCODE_END] = DIK_END;
    t[SDL_SCANCODE_PAGEDOWN] = DIK_NEXT;
    t[SDL_SCANCODE_RIGHT] = DIK_RIGHT;
    t[SDL_SCANCODE_LEFT] = DIK_LEFT;
    t[SDL_SCANCODE_DOWN] = DIK_DOWN;
    t[SDL_SCANCODE_UP] = DIK_UP;
    t[SDL_SCANCODE_NUMLOCKCLEAR] = DIK_NUMLOCK;
    t[SDL_SCANCODE_KP_DIVIDE] = DIK_DIVIDE;
    t[SDL_SCANCODE_KP_MULTIPLY] = DIK_MULTIPLY;
    t[SDL_SCANCODE_KP_MINUS] = DIK_SUBTRACT;
    t[SDL_SCANCODE_KP_PLUS] = DIK_ADD;
    t[SDL_SCANCODE_KP_ENTER] = DIK_NUMPADENTER;
    t[SDL_SCANCODE_KP_PERIOD] = DIK_DECIMAL;
    t[SDL_SCANCODE_KP_EQUALS] = DIK_NUMPADEQUALS;
    t[SDL_SCANCODE_KP_COMMA] = DIK_NUMPADCOMMA;
    t[SDL_SCANCODE_NONUSBACKSLASH] = DIK_OEM_102;
    t[SDL_SCANCODE_APPLICATION] = DIK_APPS;
    t[SDL_SCANCODE_F13] = DIK_F13;
    t[SDL_SCANCODE_F14] = DIK_F14;
    t[SDL_SCANCODE_F15] = DIK_F15;
    t[SDL_SCANCODE_MUTE] = DIK_MUTE;
    t[SDL_SCANCODE_VOLUMEUP] = DIK_VOLUMEUP;
    t[SDL_SCANCODE_VOLUMEDOWN] = DIK_VOLUMEDOWN;
    t[SDL_SCANCODE_LCTRL] = DIK_LCONTROL;
    t[SDL_SCANCODE_LSHIFT] = DIK_LSHIFT;
    t[SDL_SCANCODE_LALT] = DIK_LMENU;
    t[SDL_SCANCODE_LGUI] = DIK_LWIN;
    t[SDL_SCANCODE_RCTRL] = DIK_RCONTROL;
    t[SDL_SCANCODE_RSHIFT] = DIK_RSHIFT;
    t[SDL_SCANCODE_RALT] = DIK_RMENU;
    t[SDL_SCANCODE_RGUI] = DIK_RWIN;
    return t;
}

const std::array<std::uint8_t, SDL_NUM_SCANCODES>& ScanCodeTable() {
    static const auto table = BuildScanCodeTable();
    return table;
}

int ButtonIndex(Uint8 sdlButton) {
    switch (sdlButton) {
    case SDL_BUTTON_LEFT: return 0;
    case SDL_BUTTON_RIGHT: return 1;
    case SDL_BUTTON_MIDDLE: return 2;
    case SDL_BUTTON_X1: return 3;
    default: return -1;
    }
}

// How long a window manager may take to make a window full screen.
constexpr int kWindowManagerPatienceMs = 2000;
// A hidden window's frame time: one refresh of a 60 Hz display.
constexpr int kHiddenFrameMs = 16;

bool WindowedByRequest() {
    const char* windowed = std::getenv("VALMERE_WINDOWED");
    return windowed && std::strcmp(windowed, "0") != 0;
}

class SdlHost final : public Host {
public:
    ~SdlHost() override {
        CloseWindow();
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
    }

    const char* Name() const override { return "sdl"; }

    bool OpenWindow(const WindowDesc& desc) override {
        if (window_) return false;
        Uint32 flags = SDL_WINDOW_RESIZABLE;
        if (desc.topmost) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
        if (!desc.visible) flags |= SDL_WINDOW_HIDDEN;
        window_ = SDL_CreateWindow(desc.title.c_str(), desc.x, desc.y, desc.width, desc.height, flags);
        if (!window_) return false;
        renderer_ = SDL_CreateRenderer(window_, -1, SDL_RENDERER_PRESENTVSYNC);
        if (!renderer_) renderer_ = SDL_CreateRenderer(window_, -1, 0);
        if (!renderer_) {
            CloseWindow();
            return false;
        }
        visible_ = desc.visible;
        SDL_SetRenderDrawColor(renderer_, 0, 0, 0, 255);
        SDL_RenderClear(renderer_);
        SDL_RenderPresent(renderer_);
        return true;
    }

    void CloseWindow() override {
        if (texture_) SDL_DestroyTexture(texture_);
        if (renderer_) SDL_DestroyRenderer(renderer_);
        if (window_) SDL_DestroyWindow(window_);
        texture_ = nullptr;
        renderer_ = nullptr;
        window_ = nullptr;
        textureWidth_ = textureHeight_ = 0;
        showsFullScreen_ = false;
    }

    bool WindowOpen() const override { return window_ != nullptr; }

    void SetCursorVisible(bool visible) override { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }

    bool SetDisplayMode(int width, int height, bool fullscreen) override {
        if (!window_ || width <= 0 || height <= 0) return false;
        const bool wantFullScreen = fullscreen && !WindowedByRequest();
        // Every Reset asks for the mode again; a refusal is remembered, not
        // tried and reported each time.
        if (wantFullScreen && !showsFullScreen_ && !fullScreenRefused_) {
            showsFullScreen_ = CoverDisplay();
            fullScreenRefused_ = !showsFullScreen_;
            if (fullScreenRefused_)
                std::fprintf(stderr,
                             "valmere: the window system did not make the window full screen; the picture shows "
                             "whole in a centred window\n");
        }
        if (!wantFullScreen) showsFullScreen_ = false;
        if (!showsFullScreen_) ShowInWindow(width, height, wantFullScreen);
        // Scales the picture to the window and letterboxes it.
        SDL_RenderSetLogicalSize(renderer_, width, height);
        SDL_SetRelativeMouseMode(SDL_TRUE);
        return true;
    }

    bool ShowsFullScreen() const override { return showsFullScreen_; }

    void PollEvents(std::vector<InputEvent>& out) override {
        SDL_Event e;
        while (SDL_PollEvent(&e)) Translate(e, out);
    }

    void WaitEvents(int timeoutMs) override { SDL_WaitEventTimeout(nullptr, timeoutMs); }

    void Present(const FrameView& frame) override {
        if (!renderer_ || !frame.pixels || frame.width <= 0 || frame.height <= 0) return;
        if (!visible_) {
            WaitEvents(kHiddenFrameMs);
            return;
        }
        if (!texture_ || textureWidth_ != frame.width || textureHeight_ != frame.height) {
            if (texture_) SDL_DestroyTexture(texture_);
            texture_ = SDL_CreateTexture(renderer_, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING, frame.width,
                                         frame.height);
            if (!texture_) return;
            textureWidth_ = frame.width;
            textureHeight_ = frame.height;
            SDL_RenderSetLogicalSize(renderer_, frame.width, frame.height);
        }
        SDL_UpdateTexture(texture_, nullptr, frame.pixels, frame.pitchInPixels * 4);
        SDL_RenderClear(renderer_);
        SDL_RenderCopy(renderer_, texture_, nullptr, nullptr);
        SDL_RenderPresent(renderer_);
    }

    int ShowMessageBox(const std::string& text, const std::string& caption, unsigned /*type*/) override {
        // The mouse must be free to press the button.
        const SDL_bool relative = SDL_GetRelativeMouseMode();
        SDL_SetRelativeMouseMode(SDL_FALSE);
        SDL_ShowCursor(SDL_ENABLE);
        SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, caption.c_str(), text.c_str(), window_);
        SDL_SetRelativeMouseMode(relative);
        return 1;  // IDOK
    }

private:
    // Makes the window cover its display; true when the X server shows it
    // doing so (on other window systems, when SDL accepted the request).
    bool CoverDisplay() {
        SDL_Rect area;
        if (SDL_GetDisplayBounds(SDL_GetWindowDisplayIndex(window_), &area) != 0) return false;
        const auto x = x11::Find(window_);
        withoutWindowManager_ = x && !x11::WindowManagerRuns(*x);
        if (withoutWindowManager_) {
            SDL_SetWindowBordered(window_, SDL_FALSE);
            SDL_SetWindowPosition(window_, area.x, area.y);
            SDL_SetWindowSize(window_, area.w, area.h);
            SDL_SetWindowInputFocus(window_);
        } else if (SDL_SetWindowFullscreen(window_, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            return false;
        }
        // A full-screen program takes the foreground (a window manager is
        // asked to activate the window).
        SDL_RaiseWindow(window_);
        return !x || x11::WaitUntilCovers(*x, area, kWindowManagerPatienceMs);
    }

    // A window of the picture's size (at most the display's), bordered;
    // centred when it stands in for a refused full screen.
    void ShowInWindow(int width, int height, bool centred) {
        SDL_SetWindowFullscreen(window_, 0);
        SDL_SetWindowBordered(window_, SDL_TRUE);
        const int display = SDL_GetWindowDisplayIndex(window_);
        SDL_Rect area;
        if (SDL_GetDisplayUsableBounds(display, &area) == 0) {
            width = std::min(width, area.w);
            height = std::min(height, area.h);
        }
        SDL_SetWindowSize(window_, width, height);
        if (centred)
            SDL_SetWindowPosition(window_, SDL_WINDOWPOS_CENTERED_DISPLAY(display),
                                  SDL_WINDOWPOS_CENTERED_DISPLAY(display));
    }

    // Minimised and hidden are one state to the application: nothing of the
    // window shows. SDL's flags hold the state after all of its events.
    bool VisibilityChanged() {
        const bool visible = (SDL_GetWindowFlags(window_) & (SDL_WINDOW_MINIMIZED | SDL_WINDOW_HIDDEN)) == 0;
        if (visible == visible_) return false;
        visible_ = visible;
        return true;
    }

    void Translate(const SDL_Event& e, std::vector<InputEvent>& out) {
        InputEvent event;
        switch (e.type) {
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            const SDL_Scancode code = e.key.keysym.scancode;
            if (code < 0 || code >= SDL_NUM_SCANCODES || ScanCodeTable()[code] == 0) return;
            event.type = e.type == SDL_KEYDOWN ? InputEventType::KeyDown : InputEventType::KeyUp;
            event.scanCode = ScanCodeTable()[code];
            event.virtualKey = VirtualKeyForScanCode(event.scanCode);
            break;
        }
        case SDL_MOUSEMOTION:
            event.type = InputEventType::MouseMove;
            event.dx = e.motion.xrel;
            event.dy = e.motion.yrel;
            break;
        case SDL_MOUSEWHEEL:
            event.type = InputEventType::MouseWheel;
            event.dz = e.wheel.y * 120;
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.button = ButtonIndex(e.button.button);
            if (event.button < 0) return;
            event.type = e.type == SDL_MOUSEBUTTONDOWN ? InputEventType::MouseButtonDown : InputEventType::MouseButtonUp;
            break;
        case SDL_QUIT:
            event.type = InputEventType::CloseRequested;
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
            case SDL_WINDOWEVENT_FOCUS_LOST:
                SDL_SetRelativeMouseMode(SDL_FALSE);
                event.type = InputEventType::FocusLost;
                break;
            case SDL_WINDOWEVENT_FOCUS_GAINED:
                SDL_SetRelativeMouseMode(SDL_TRUE);
                event.type = InputEventType::FocusGained;
                break;
            case SDL_WINDOWEVENT_CLOSE:
                event.type = InputEventType::CloseRequested;
                break;
            case SDL_WINDOWEVENT_MINIMIZED:
            case SDL_WINDOWEVENT_HIDDEN:
            case SDL_WINDOWEVENT_RESTORED:
            case SDL_WINDOWEVENT_SHOWN:
            case SDL_WINDOWEVENT_MAXIMIZED:
                if (!VisibilityChanged()) return;
                event.type = visible_ ? InputEventType::Restored : InputEventType::Minimized;
                // Without a window manager nobody hands the keyboard back
                // to a window that shows again.
                if (visible_ && withoutWindowManager_) SDL_SetWindowInputFocus(window_);
                break;
            default:
                return;
            }
            break;
        default:
            return;
        }
        out.push_back(event);
    }

    SDL_Window* window_ = nullptr;
    SDL_Renderer* renderer_ = nullptr;
    SDL_Texture* texture_ = nullptr;
    int textureWidth_ = 0;
    int textureHeight_ = 0;
    bool visible_ = true;
    bool showsFullScreen_ = false;
    bool fullScreenRefused_ = false;
    bool withoutWindowManager_ = false;  // the window covers the display itself
};

}  // namespace

std::unique_ptr<Host> CreateSdlHost(std::string* reason) {
    if (!std::getenv("DISPLAY") && !std::getenv("WAYLAND_DISPLAY")) {
        if (reason) *reason = "neither DISPLAY nor WAYLAND_DISPLAY is set";
        return nullptr;
    }
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        if (reason) *reason = SDL_GetError();
        return nullptr;
    }
    return std::make_unique<SdlHost>();
}

}  // namespace valmere::host
