// CInput: the DirectInput object with the system keyboard and mouse, and the
// last state read from each. One instance, g_input, built after
// g_application (it needs the module handle and the main window).
#pragma once

#include "platform/dinput8/DirectInput8.h"

class CInput {
public:
    // Opens DirectInput, the keyboard and the mouse; each failing step shows
    // its message and clears g_running, and the later steps are attempted.
    CInput();
    // Unacquires and releases the keyboard, then the mouse, then DirectInput.
    ~CInput();
    CInput(const CInput&) = delete;
    CInput& operator=(const CInput&) = delete;

    bool InitDirectInput();
    bool InitKeyboard();
    bool InitMouse();

    // Reads the keyboard into keys.
    bool Update();
    // Reads the mouse into mouseState, re-acquiring it when input was lost;
    // false when this read did not give fresh movement.
    bool Poll();

    bool KeyDown(DWORD scanCode) const;
    void GetMouseMovement(LONG& x, LONG& y) const;
    bool MouseButtonDown(DWORD button) const;

    IDirectInput8A* directInput = nullptr;
    IDirectInputDevice8A* keyboard = nullptr;
    BYTE keys[256] = {};
    IDirectInputDevice8A* mouse = nullptr;
    DIMOUSESTATE mouseState = {};
};
