#include "platform/host/X11Window.h"

#include <SDL_syswm.h>
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace valmere::host::x11 {
namespace {

bool g_requestFailed = false;

int RecordError(Display*, XErrorEvent*) {
    g_requestFailed = true;
    return 0;
}

// Requests about windows that another client owns may fail (the window is
// gone); Xlib's default handler would end the process, so errors are
// recorded instead while one of these lives.
class ErrorTrap {
public:
    explicit ErrorTrap(Display* display) : display_(display) {
        XSync(display_, False);
        g_requestFailed = false;
        previous_ = XSetErrorHandler(RecordError);
    }
    ~ErrorTrap() {
        XSync(display_, False);
        XSetErrorHandler(previous_);
    }
    ErrorTrap(const ErrorTrap&) = delete;
    ErrorTrap& operator=(const ErrorTrap&) = delete;

    bool Failed() {
        XSync(display_, False);
        return g_requestFailed;
    }

private:
    Display* display_;
    XErrorHandler previous_;
};

// The single window id held by `property` of `window`, or None.
Window WindowProperty(Display* display, Window window, Atom property) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long remaining = 0;
    unsigned char* data = nullptr;
    Window value = None;
    if (XGetWindowProperty(display, window, property, 0, 1, False, XA_WINDOW, &type, &format, &count, &remaining,
                           &data) == Success &&
        type == XA_WINDOW && format == 32 && count == 1)
        value = static_cast<Window>(*reinterpret_cast<unsigned long*>(data));  // 32-bit items come as longs
    if (data) XFree(data);
    return value;
}

}  // namespace

std::optional<XWindow> Find(SDL_Window* window) {
    SDL_SysWMinfo info;
    SDL_VERSION(&info.version);
    if (!window || !SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return std::nullopt;
    return XWindow{info.info.x11.display, info.info.x11.window};
}

bool WindowManagerRuns(const XWindow& window) {
    auto* display = static_cast<Display*>(window.display);
    const Atom check = XInternAtom(display, "_NET_SUPPORTING_WM_CHECK", True);
    if (check == None) return false;
    ErrorTrap trap(display);
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window.window, &attributes)) return false;
    // The manager's check window names itself; a manager that died leaves
    // the root's property pointing at a window that is gone.
    const Window announced = WindowProperty(display, attributes.root, check);
    if (announced == None) return false;
    const Window confirmed = WindowProperty(display, announced, check);
    return !trap.Failed() && confirmed == announced;
}

bool WaitUntilCovers(const XWindow& window, const SDL_Rect& area, int timeoutMs) {
    auto* display = static_cast<Display*>(window.display);
    const Uint64 deadline = SDL_GetTicks64() + static_cast<Uint64>(timeoutMs);
    for (;;) {
        XWindowAttributes attributes;
        Window child = None;
        int x = 0;
        int y = 0;
        if (XGetWindowAttributes(display, window.window, &attributes) &&
            XTranslateCoordinates(display, window.window, attributes.root, 0, 0, &x, &y, &child) && x == area.x &&
            y == area.y && attributes.width == area.w && attributes.height == area.h)
            return true;
        if (SDL_GetTicks64() >= deadline) return false;
        SDL_Delay(10);
    }
}

}  // namespace valmere::host::x11
