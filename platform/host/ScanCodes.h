// Keyboard scan codes (PC set 1, extended keys with bit 7 set) as DirectInput
// numbers them. Hosts report keys by these codes; DirectInput8.h exposes
// them as its DIK_ constants, indices into the 256-byte keyboard state.
#pragma once

#include <cstdint>

#define VALMERE_SCAN_CODES(KEY)                                                                             \
    KEY(ESCAPE, 0x01) KEY(1, 0x02) KEY(2, 0x03) KEY(3, 0x04) KEY(4, 0x05) KEY(5, 0x06) KEY(6, 0x07) KEY(7, 0x08)          \
    KEY(8, 0x09) KEY(9, 0x0A) KEY(0, 0x0B) KEY(MINUS, 0x0C) KEY(EQUALS, 0x0D) KEY(BACK, 0x0E) KEY(TAB, 0x0F)             \
    KEY(Q, 0x10) KEY(W, 0x11) KEY(E, 0x12) KEY(R, 0x13) KEY(T, 0x14) KEY(Y, 0x15) KEY(U, 0x16) KEY(I, 0x17) KEY(O, 0x18)     \
    KEY(P, 0x19) KEY(LBRACKET, 0x1A) KEY(RBRACKET, 0x1B) KEY(RETURN, 0x1C) KEY(LCONTROL, 0x1D) KEY(A, 0x1E)            \
    KEY(S, 0x1F) KEY(D, 0x20) KEY(F, 0x21) KEY(G, 0x22) KEY(H, 0x23) KEY(J, 0x24) KEY(K, 0x25) KEY(L, 0x26)                \
    KEY(SEMICOLON, 0x27) KEY(APOSTROPHE, 0x28) KEY(GRAVE, 0x29) KEY(LSHIFT, 0x2A) KEY(BACKSLASH, 0x2B) KEY(Z, 0x2C)    \
    KEY(X, 0x2D) KEY(C, 0x2E) KEY(V, 0x2F) KEY(B, 0x30) KEY(N, 0x31) KEY(M, 0x32) KEY(COMMA, 0x33) KEY(PERIOD, 0x34)       \
    KEY(SLASH, 0x35) KEY(RSHIFT, 0x36) KEY(MULTIPLY, 0x37) KEY(LMENU, 0x38) KEY(SPACE, 0x39) KEY(CAPITAL, 0x3A)        \
    KEY(F1, 0x3B) KEY(F2, 0x3C) KEY(F3, 0x3D) KEY(F4, 0x3E) KEY(F5, 0x3F) KEY(F6, 0x40) KEY(F7, 0x41) KEY(F8, 0x42)        \
    KEY(F9, 0x43) KEY(F10, 0x44) KEY(NUMLOCK, 0x45) KEY(SCROLL, 0x46) KEY(NUMPAD7, 0x47) KEY(NUMPAD8, 0x48)            \
    KEY(NUMPAD9, 0x49) KEY(SUBTRACT, 0x4A) KEY(NUMPAD4, 0x4B) KEY(NUMPAD5, 0x4C) KEY(NUMPAD6, 0x4D) KEY(ADD, 0x4E)     \
    KEY(NUMPAD1, 0x4F) KEY(NUMPAD2, 0x50) KEY(NUMPAD3, 0x51) KEY(NUMPAD0, 0x52) KEY(DECIMAL, 0x53) KEY(OEM_102, 0x56)  \
    KEY(F11, 0x57) KEY(F12, 0x58) KEY(F13, 0x64) KEY(F14, 0x65) KEY(F15, 0x66) KEY(NUMPADEQUALS, 0x8D)                 \
    KEY(NUMPADENTER, 0x9C) KEY(RCONTROL, 0x9D) KEY(MUTE, 0xA0) KEY(VOLUMEDOWN, 0xAE) KEY(VOLUMEUP, 0xB0)             \
    KEY(NUMPADCOMMA, 0xB3) KEY(DIVIDE, 0xB5) KEY(SYSRQ, 0xB7) KEY(RMENU, 0xB8) KEY(PAUSE, 0xC5) KEY(HOME, 0xC7)        \
    KEY(UP, 0xC8) KEY(PRIOR, 0xC9) KEY(LEFT, 0xCB) KEY(RIGHT, 0xCD) KEY(END, 0xCF) KEY(DOWN, 0xD0) KEY(NEXT, 0xD1)       \
    KEY(INSERT, 0xD2) KEY(DELETE, 0xD3) KEY(LWIN, 0xDB) KEY(RWIN, 0xDC) KEY(APPS, 0xDD)

#define VALMERE_DEFINE_DIK(name, value) constexpr std::uint8_t DIK_##name = value;
VALMERE_SCAN_CODES(VALMERE_DEFINE_DIK)
#undef VALMERE_DEFINE_DIK

namespace valmere::host {

// The Win32 virtual-key code of a key, for WM_KEYDOWN/WM_KEYUP; 0 for a code
// that names no key.
std::uint8_t VirtualKeyForScanCode(std::uint8_t scanCode);

}  // namespace valmere::host
