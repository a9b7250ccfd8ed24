// DirectInput 8 stand-in: the system keyboard and mouse.
//
// The keyboard state is 256 bytes indexed by DIK_ scan code, bit 7 set for a
// key that is down. The mouse state (DIMOUSESTATE, 16 bytes) holds the
// relative x, y and wheel movement since the previous read and four button
// bytes, bit 7 set for a button that is down. A device created with
// DISCL_EXCLUSIVE | DISCL_FOREGROUND loses its acquisition when the window
// leaves the foreground: GetDeviceState then answers DIERR_INPUTLOST, and so
// does Acquire until the window is in front again.
#pragma once

#include "platform/host/ScanCodes.h"
#include "platform/win32/Win32.h"

constexpr DWORD DIRECTINPUT_VERSION = 0x0800;

constexpr HRESULT DI_OK = S_OK;
constexpr HRESULT DI_NOEFFECT = S_FALSE;
constexpr HRESULT DIERR_INPUTLOST = MAKE_HRESULT_CODE(0x8007001Eu);
constexpr HRESULT DIERR_NOTACQUIRED = MAKE_HRESULT_CODE(0x8007000Cu);
constexpr HRESULT DIERR_INVALIDPARAM = E_INVALIDARG;
constexpr HRESULT DIERR_OTHERAPPHASPRIO = MAKE_HRESULT_CODE(0x80070005u);
constexpr HRESULT DIERR_NOTINITIALIZED = MAKE_HRESULT_CODE(0x80070015u);
constexpr HRESULT DIERR_ACQUIRED = MAKE_HRESULT_CODE(0x800700AAu);
constexpr HRESULT DIERR_DEVICENOTREG = MAKE_HRESULT_CODE(0x80040154u);
constexpr HRESULT DIERR_OLDDIRECTINPUTVERSION = MAKE_HRESULT_CODE(0x8007047Eu);
constexpr HRESULT DIERR_OUTOFMEMORY = E_OUTOFMEMORY;

// Cooperative levels
constexpr DWORD DISCL_EXCLUSIVE = 0x1;
constexpr DWORD DISCL_NONEXCLUSIVE = 0x2;
constexpr DWORD DISCL_FOREGROUND = 0x4;
constexpr DWORD DISCL_BACKGROUND = 0x8;
constexpr DWORD DISCL_NOWINKEY = 0x10;

struct DIMOUSESTATE {
    LONG lX;
    LONG lY;
    LONG lZ;
    BYTE rgbButtons[4];
};
static_assert(sizeof(DIMOUSESTATE) == 16, "DIMOUSESTATE is 16 bytes");

// A data format: the size of the state that GetDeviceState fills. The two
// predefined formats are the only ones this platform knows.
struct DIDATAFORMAT {
    DWORD dwSize;
    DWORD dwObjSize;
    DWORD dwFlags;
    DWORD dwDataSize;
    DWORD dwNumObjs;
    const void* rgodf;
};
extern const DIDATAFORMAT c_dfDIKeyboard;  // 256-byte keyboard state
extern const DIDATAFORMAT c_dfDIMouse;     // DIMOUSESTATE, relative axes

inline constexpr IID IID_IDirectInput8A = {0x6B8C3F49, 0x62C4, 0x4E0A, {0x95, 0xE7, 0x30, 0x48, 0xBB, 0x0B, 0x31, 0x9C}};
inline constexpr IID IID_IDirectInputDevice8A = {0x2E3B7DA0, 0x0D4C, 0x4F39, {0xA9, 0x6E, 0x8A, 0x51, 0x03, 0x7F, 0xE0, 0x22}};
inline constexpr GUID GUID_SysKeyboard = {0x5C84B2A1, 0x7F0B, 0x4D1C, {0x9A, 0x3E, 0x11, 0x64, 0x2C, 0xD7, 0x08, 0x51}};
inline constexpr GUID GUID_SysMouse = {0x5C84B2A2, 0x7F0B, 0x4D1C, {0x9A, 0x3E, 0x11, 0x64, 0x2C, 0xD7, 0x08, 0x51}};

struct IDirectInputDevice8A : IUnknown {
    // DI_OK, DI_NOEFFECT when already acquired, DIERR_INPUTLOST while a
    // foreground device's window is in the background.
    virtual HRESULT Acquire() = 0;
    virtual HRESULT Unacquire() = 0;
    // size must match the data format; DIERR_NOTACQUIRED before Acquire.
    virtual HRESULT GetDeviceState(DWORD size, LPVOID data) = 0;
    virtual HRESULT SetDataFormat(const DIDATAFORMAT* format) = 0;
    virtual HRESULT SetCooperativeLevel(HWND window, DWORD flags) = 0;
};

struct IDirectInput8A : IUnknown {
    virtual HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, LPUNKNOWN outer) = 0;
};

typedef IDirectInput8A* LPDIRECTINPUT8A;
typedef IDirectInputDevice8A* LPDIRECTINPUTDEVICE8A;

// Creates the DirectInput object (version 0x0800, IID_IDirectInput8A, no
// aggregation).
HRESULT DirectInput8Create(HINSTANCE instance, DWORD version, REFIID riid, LPVOID* out, LPUNKNOWN outer);
