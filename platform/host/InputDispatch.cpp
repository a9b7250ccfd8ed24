#include "platform/host/InputDispatch.h"

#include <algorithm>
#include <vector>

namespace valmere::host {
namespace {

struct Dispatch {
    std::vector<InputListener*> listeners;
    std::vector<InputEvent> pending;
    bool hasFocus = true;
    bool pumping = false;
};

Dispatch& State() {
    static Dispatch dispatch;
    return dispatch;
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
        if (event.type == InputEventType::FocusLost) state.hasFocus = false;
        if (event.type == InputEventType::FocusGained) state.hasFocus = true;
        // A listener may unregister (and be destroyed) while we deliver, so
        // walk a copy and skip those that are gone.
        const std::vector<InputListener*> listeners = state.listeners;
        for (InputListener* listener : listeners) {
            if (std::find(state.listeners.begin(), state.listeners.end(), listener) != state.listeners.end())
                listener->OnInputEvent(event);
        }
    }
    state.pumping = false;
}

bool ApplicationHasFocus() { return State().hasFocus; }

void ResetFocusState() { State().hasFocus = true; }

}  // namespace valmere::host
