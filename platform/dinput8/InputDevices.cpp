#include "platform/dinput8/InputDevices.h"

#include <cstring>
#include <new>
#include <string>

#include "platform/host/Host.h"

const DIDATAFORMAT c_dfDIKeyboard = {sizeof(DIDATAFORMAT), 16, 0x2, 256, 256, nullptr};
const DIDATAFORMAT c_dfDIMouse = {sizeof(DIDATAFORMAT), 16, 0x2, sizeof(DIMOUSESTATE), 7, nullptr};

namespace valmere::dinput8 {

InputDevice::InputDevice(const DIDATAFORMAT& nativeFormat, const char* name)
    : nativeFormat_(nativeFormat), name_(name) {
    host::AddInputListener(this);
}

InputDevice::~InputDevice() { host::RemoveInputListener(this); }

// A test makes a call fail by its plain name ("Acquire") or by the device
// and call ("Mouse.Acquire").
bool InputDevice::CallFails(const char* call) const {
    const host::Host& active = host::CurrentHost();
    if (!active.InjectsFailures()) return false;
    return active.ShouldFail(call) || active.ShouldFail(std::string(name_) + "." + call);
}

HRESULT InputDevice::SetDataFormat(const DIDATAFORMAT* format) {
    if (!format || format->dwDataSize != nativeFormat_.dwDataSize) return DIERR_INVALIDPARAM;
    if (acquired_) return DIERR_ACQUIRED;
    if (CallFails("SetDataFormat")) return DIERR_INVALIDPARAM;
    format_ = format;
    return DI_OK;
}

HRESULT InputDevice::SetCooperativeLevel(HWND window, DWORD flags) {
    const bool oneSharing = ((flags & DISCL_EXCLUSIVE) != 0) != ((flags & DISCL_NONEXCLUSIVE) != 0);
    const bool oneScope = ((flags & DISCL_FOREGROUND) != 0) != ((flags & DISCL_BACKGROUND) != 0);
    if (!oneSharing || !oneScope || !IsWindow(window)) return DIERR_INVALIDPARAM;
    if (acquired_) return DIERR_ACQUIRED;
    if (CallFails("SetCooperativeLevel")) return DIERR_INVALIDPARAM;
    cooperativeFlags_ = flags;
    return DI_OK;
}

HRESULT InputDevice::Acquire() {
    if (!format_) return DIERR_INVALIDPARAM;
    if (CallFails("Acquire")) return DIERR_OTHERAPPHASPRIO;
    host::PumpInput();
    if (Foreground() && !host::ApplicationHasFocus()) return DIERR_INPUTLOST;
    if (acquired_) return DI_NOEFFECT;
    acquired_ = true;
    lost_ = false;
    ClearRelativeState();  // movement counts from the moment of acquisition
    return DI_OK;
}

HRESULT InputDevice::Unacquire() {
    if (!acquired_) return DI_NOEFFECT;
    acquired_ = false;
    lost_ = false;
    return DI_OK;
}

HRESULT InputDevice::GetDeviceState(DWORD size, LPVOID data) {
    if (!data || !format_ || size != format_->dwDataSize) return DIERR_INVALIDPARAM;
    host::PumpInput();
    if (lost_) return DIERR_INPUTLOST;
    if (!acquired_) return DIERR_NOTACQUIRED;
    if (CallFails("GetDeviceState")) return DIERR_INPUTLOST;
    ReadState(data);
    return DI_OK;
}

void InputDevice::OnInputEvent(const host::InputEvent& event) {
    if (event.type == host::InputEventType::FocusLost && acquired_ && Foreground()) {
        // Another window took the device: the acquisition is lost.
        acquired_ = false;
        lost_ = true;
        return;
    }
    ApplyEvent(event);
}

void KeyboardDevice::ApplyEvent(const host::InputEvent& event) {
    if (event.type == host::InputEventType::KeyDown) keys_[event.scanCode] = pressed_[event.scanCode] = 0x80;
    if (event.type == host::InputEventType::KeyUp) keys_[event.scanCode] = 0;
    if (event.type == host::InputEventType::FocusLost) keys_.fill(0);  // keys go up with the focus
}

void KeyboardDevice::ReadState(void* data) {
    auto* out = static_cast<BYTE*>(data);
    for (std::size_t code = 0; code < keys_.size(); ++code) out[code] = keys_[code] | pressed_[code];
    pressed_.fill(0);
}

void MouseDevice::ApplyEvent(const host::InputEvent& event) {
    switch (event.type) {
    case host::InputEventType::MouseMove:
        state_.lX += event.dx;
        state_.lY += event.dy;
        break;
    case host::InputEventType::MouseWheel:
        state_.lZ += event.dz;
        break;
    case host::InputEventType::MouseButtonDown:
    case host::InputEventType::MouseButtonUp:
        if (event.button >= 0 && event.button < 4) {
            const BYTE down = event.type == host::InputEventType::MouseButtonDown ? 0x80 : 0;
            state_.rgbButtons[event.button] = down;
            pressed_[static_cast<std::size_t>(event.button)] |= down;
        }
        break;
    case host::InputEventType::FocusLost:
        std::memset(state_.rgbButtons, 0, sizeof state_.rgbButtons);
        break;
    default:
        break;
    }
}

void MouseDevice::ReadState(void* data) {
    DIMOUSESTATE read = state_;
    for (std::size_t button = 0; button < pressed_.size(); ++button) read.rgbButtons[button] |= pressed_[button];
    std::memcpy(data, &read, sizeof read);
    ClearRelativeState();
}

// Movement and presses count from the last read or acquisition.
void MouseDevice::ClearRelativeState() {
    state_.lX = state_.lY = state_.lZ = 0;
    pressed_.fill(0);
}

HRESULT DirectInput::CreateDevice(REFGUID guid, IDirectInputDevice8A** device, LPUNKNOWN outer) {
    if (!device || outer) return DIERR_INVALIDPARAM;
    if (guid != GUID_SysKeyboard && guid != GUID_SysMouse) return DIERR_DEVICENOTREG;
    if (host::CurrentHost().ShouldFail("DirectInputCreateDevice") ||
        host::CurrentHost().ShouldFail(guid == GUID_SysKeyboard ? "Keyboard.CreateDevice" : "Mouse.CreateDevice"))
        return DIERR_DEVICENOTREG;
    InputDevice* created = nullptr;
    if (guid == GUID_SysKeyboard)
        created = new (std::nothrow) KeyboardDevice();
    else
        created = new (std::nothrow) MouseDevice();
    if (!created) return DIERR_OUTOFMEMORY;
    *device = created;
    return DI_OK;
}

}  // namespace valmere::dinput8

HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out, LPUNKNOWN outer) {
    if (!out || outer || !instance) return DIERR_INVALIDPARAM;
    if (version < DIRECTINPUT_VERSION) return DIERR_OLDDIRECTINPUTVERSION;
    if (riid != IID_IDirectInput8A) return E_NOINTERFACE;
    if (valmere::host::CurrentHost().ShouldFail("DirectInput8Create")) return DIERR_NOTINITIALIZED;
    auto* created = new (std::nothrow) valmere::dinput8::DirectInput();
    if (!created) return DIERR_OUTOFMEMORY;
    *out = static_cast<IDirectInput8A*>(created);
    return DI_OK;
}
