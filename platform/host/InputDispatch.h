// Fans the host's input events out to the parts of the platform that react
// to them: the window manager (key messages, close), DirectInput (key and
// mouse state, lost input) and the Direct3D device (device loss).
#pragma once

#include "platform/host/Host.h"

namespace valmere::host {

class InputListener {
public:
    virtual void OnInputEvent(const InputEvent& event) = 0;

protected:
    ~InputListener() = default;
};

// Listeners receive events in the order they registered.
void AddInputListener(InputListener* listener);
void RemoveInputListener(InputListener* listener);

// Polls the active host and delivers every new event. Called by
// PeekMessageA, by DirectInput's state reads and by the device's
// cooperative-level test, so each of them sees current input. Allocates
// nothing once the first events have been seen.
void PumpInput();
// Waits for the host's next event (or `timeoutMs` milliseconds) without
// taking it; the next PumpInput delivers it. For a caller with nothing to do
// until the window system says something, such as a lost device.
void WaitForInput(int timeoutMs);

// Whether the window has the focus, as last reported by the host (true until
// a FocusLost event arrives).
bool ApplicationHasFocus();
// Whether the application has the display: its window is not minimised and,
// while the host shows the picture full screen, has the focus. A
// full-screen device is lost while this is false.
bool ApplicationHasDisplay();
// Forgets the focus and visibility state (tests: a fresh process starts in
// front).
void ResetFocusState();

}  // namespace valmere::host
