#include "input/Input.h"

#include "app/Application.h"
#include "app/Globals.h"

namespace {

// Re-acquiring a foreground device fails with DIERR_INPUTLOST for as long as
// the window is in the background. The frame loop must keep running (and
// pumping messages) meanwhile, so Poll tries a bounded number of times per
// frame and tries again on the next one.
constexpr int kReacquireAttemptsPerPoll = 8;

bool Report(const char* text, const char* caption) {
    MessageBoxA(g_application.window, text, caption, MB_OK);
    return false;
}

// The four set-up steps shared by the keyboard and the mouse.
bool OpenDevice(IDirectInput8A* directInput, REFGUID guid, const DIDATAFORMAT& format, DWORD cooperation,
                IDirectInputDevice8A*& device, const char* caption) {
    if (!directInput) return false;  // no DirectInput object: its own failure was reported
    if (FAILED(directInput->CreateDevice(guid, &device, nullptr))) {
        device = nullptr;
        return Report("CreateDevice() failed!", caption);
    }
    if (FAILED(device->SetDataFormat(&format))) return Report("SetDataFormat() failed!", caption);
    if (FAILED(device->SetCooperativeLevel(g_application.window, cooperation)))
        return Report("SetCooperativeLevel() failed!", caption);
    if (FAILED(device->Acquire())) return Report("Acquire() failed!", caption);
    return true;
}

void CloseDevice(IDirectInputDevice8A*& device) {
    if (!device) return;
    device->Unacquire();
    device->Release();
    device = nullptr;
}

}  // namespace

CInput::CInput() {
    if (!InitDirectInput()) g_running = 0;
    if (!InitKeyboard()) g_running = 0;
    if (!InitMouse()) g_running = 0;
}

CInput::~CInput() {
    CloseDevice(keyboard);
    CloseDevice(mouse);
    if (directInput) {
        directInput->Release();
        directInput = nullptr;
    }
}

bool CInput::InitDirectInput() {
    void* created = nullptr;
    if (FAILED(DirectInput8Create(g_instance, DIRECTINPUT_VERSION, IID_IDirectInput8A, &created, nullptr)))
        return Report("DirectInput8Create() failed!", "InitDirectInput()");
    directInput = static_cast<IDirectInput8A*>(created);
    return true;
}

bool CInput::InitKeyboard() {
    return OpenDevice(directInput, GUID_SysKeyboard, c_dfDIKeyboard, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND,
                      keyboard, "InitKeyboard()");
}

bool CInput::InitMouse() {
    return OpenDevice(directInput, GUID_SysMouse, c_dfDIMouse, DISCL_EXCLUSIVE | DISCL_FOREGROUND, mouse,
                      "InitMouse()");
}

bool CInput::Update() {
    if (!keyboard) return false;
    if (FAILED(keyboard->GetDeviceState(sizeof keys, keys))) return Report("GetDeviceState() failed!", "Update()");
    return true;
}

bool CInput::Poll() {
    if (!mouse) return false;
    HRESULT result = mouse->GetDeviceState(sizeof mouseState, &mouseState);
    if (SUCCEEDED(result)) return true;
    if (result == DIERR_INPUTLOST) {
        for (int attempt = 0; attempt < kReacquireAttemptsPerPoll && result == DIERR_INPUTLOST; ++attempt)
            result = mouse->Acquire();
        if (result == DIERR_INPUTLOST) return false;  // still in the background: try next frame
        if (SUCCEEDED(result)) {
            mouse->GetDeviceState(sizeof mouseState, &mouseState);
            return false;
        }
    }
    return Report("GetDeviceState failed!", "Poll()");
}

bool CInput::KeyDown(DWORD scanCode) const { return scanCode < 256 && (keys[scanCode] & 0x80) != 0; }

void CInput::GetMouseMovement(LONG& x, LONG& y) const {
    x = mouseState.lX;
    y = mouseState.lY;
}

bool CInput::MouseButtonDown(DWORD button) const { return button < 4 && (mouseState.rgbButtons[button] & 0x80) != 0; }
