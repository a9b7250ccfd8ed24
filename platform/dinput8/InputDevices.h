// The DirectInput objects: the DirectInput object itself and the system
// keyboard and mouse devices. Each device follows the host's input events
// from its creation on; its state is handed out only while it is acquired.
#pragma once

#include <array>

#include "platform/d3d8/RefCounted.h"
#include "platform/dinput8/DirectInput8.h"
#include "platform/host/InputDispatch.h"

namespace valmere::dinput8 {

class InputDevice : public d3d8::RefCounted<IDirectInputDevice8A>, public host::InputListener {
public:
    HRESULT Acquire() override;
    HRESULT Unacquire() override;
    HRESULT GetDeviceState(DWORD size, LPVOID data) override;
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override;
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override;
    void OnInputEvent(const host::InputEvent& event) override;

protected:
    InputDevice(const DIDATAFORMAT& nativeFormat, const char* name);
    ~InputDevice() override;
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_IDirectInputDevice8A; }

    // Device-specific parts.
    virtual void ApplyEvent(const host::InputEvent& event) = 0;
    virtual void ReadState(void* data) = 0;  // also consumes relative movement
    virtual void ClearRelativeState() {}

private:
    bool Exclusive() const { return (cooperativeFlags_ & DISCL_EXCLUSIVE) != 0; }
    bool Foreground() const { return (cooperativeFlags_ & DISCL_FOREGROUND) != 0; }
    bool CallFails(const char* call) const;

    const DIDATAFORMAT& nativeFormat_;
    const char* name_;
    const DIDATAFORMAT* format_ = nullptr;
    DWORD cooperativeFlags_ = DISCL_NONEXCLUSIVE | DISCL_BACKGROUND;
    bool acquired_ = false;
    bool lost_ = false;  // acquisition taken away by a focus loss
};

class KeyboardDevice final : public InputDevice {
public:
    KeyboardDevice() : InputDevice(c_dfDIKeyboard, "Keyboard") {}

private:
    void ApplyEvent(const host::InputEvent& event) override;
    void ReadState(void* data) override;
    std::array<BYTE, 256> keys_{};
    // Keys pressed since the last read: a press and release between two
    // reads reads as down once.
    std::array<BYTE, 256> pressed_{};
};

class MouseDevice final : public InputDevice {
public:
    MouseDevice() : InputDevice(c_dfDIMouse, "Mouse") {}

private:
    void ApplyEvent(const host::InputEvent& event) override;
    void ReadState(void* data) override;
    void ClearRelativeState() override;
    DIMOUSESTATE state_{};
    // Buttons pressed since the last read, as for the keyboard's keys.
    std::array<BYTE, 4> pressed_{};
};

class DirectInput final : public d3d8::RefCounted<IDirectInput8A> {
public:
    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, LPUNKNOWN outer) override;

private:
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_IDirectInput8A; }
};

}  // namespace valmere::dinput8
