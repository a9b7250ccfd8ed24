#include "platform/host/InputDispatch.h"

#include <algorithm>
#include <vector>

namespace valmere::host {
namespace {

struct Dispatch {
    std::vector<InputListener*> listeners;
    std::vector<InputListener*> delivering;
    std::vector<InputEvent> pending;
    bool hasFocus = true;
    bool visible = true;
    bool pumping = false;
};

Dispatch& State() {
    static Dispatch dispatch;
    return dispatch;
}

void Track(Dispatch& state, InputEventType type) {
    switch (type) {
    case InputEventType::FocusLost: state.hasFocus = false; break;
    case InputEventType::FocusGained: state.hasFocus = true; break;
    case InputEventType::Minimized: state.visible = false; break;
    case InputEventType::Restored: state.visible = true; break;
    default: break;
    }
}

}  // namespace

void AddInputListener(InputListener* listener) {
    auto& listeners = State().listeners;
    if (std::find(listeners.begin(), listeners.end(), listener) == listeners.end()) listeners.push_back(listener);
}

void RemoveInputListener(InputListener* listener) {
    auto& listeners = State().listeners;
    listeners.erase(std::remove(listeners.begin(), listeners.end(), listener), listeners.end());
}

void PumpInput() {
    Dispatch& state = State();
    if (state.pumping) return;  // a listener's reaction must not re-enter the pump
    state.pumping = true;
    state.pending.clear();
    CurrentHost().PollEvents(state.pending);
    for (const InputEvent& event : state.pending) {
        Track(state, event.type);
        // A listener may unregister (and be destroyed) while we deliver, so
        // walk a copy, kept between calls, and skip those that are gone.
        state.delivering.assign(state.listeners.begin(), state.listeners.end());
        for (InputListener* listener : state.delivering) {
            if (std::find(state.listeners.begin(), state.listeners.end(), listener) != state.listeners.end())
                listener->OnInputEvent(event);
        }
    }
    state.pumping = false;
}

void WaitForInput(int timeoutMs) { CurrentHost().WaitEvents(timeoutMs); }

bool ApplicationHasFocus() { return State().hasFocus; }

bool ApplicationHasDisplay() {
    const Dispatch& state = State();
    return state.visible && (state.hasFocus || !CurrentHost().ShowsFullScreen());
}

void ResetFocusState() {
    State().hasFocus = true;
    State().visible = true;
}

}  // namespace valmere::host
