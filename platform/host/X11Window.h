// What SDL does not tell about a window on an X server: whether a window
// manager runs (without one, nobody acts on a full-screen request, but a
// window may place itself), and where the window really is (SDL takes a
// full-screen request as done whether or not it happened).
#pragma once

#include <SDL.h>

#include <optional>

namespace valmere::host::x11 {

// The window's X server connection and window id; nothing when SDL runs on
// another window system.
struct XWindow {
    void* display = nullptr;  // Display*
    unsigned long window = 0;
};
std::optional<XWindow> Find(SDL_Window* window);

// True when a window manager announces itself on the screen's root window
// (_NET_SUPPORTING_WM_CHECK pointing at a live window).
bool WindowManagerRuns(const XWindow& window);

// Waits until the window covers `area` of the root window exactly, for at
// most `timeoutMs` milliseconds (a window manager acts in its own time).
bool WaitUntilCovers(const XWindow& window, const SDL_Rect& area, int timeoutMs);

}  // namespace valmere::host::x11
