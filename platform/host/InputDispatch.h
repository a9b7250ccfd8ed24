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
// cooperative-level test, so each of them sees current input.
void PumpInput();

// Whether the window has the foreground, as last reported by the host
// (true until a FocusLost event arrives).
bool ApplicationHasFocus();
// Forgets the focus state (tests: a fresh process starts in front).
void ResetFocusState();

}  // namespace valmere::host
