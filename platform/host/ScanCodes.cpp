#include "platform/host/ScanCodes.h"

#include <array>

namespace valmere::host {
namespace {

struct KeyPair {
    std::uint8_t scanCode;
    std::uint8_t virtualKey;
};

// Letters and digits use their ASCII codes as virtual keys.
constexpr KeyPair kPairs[] = {
    {DIK_ESCAPE, 0x1B}, {DIK_1, '1'}, {DIK_2, '2'}, {DIK_3, '3'}, {DIK_4, '4'}, {DIK_5, '5'}, {DIK_6, '6'},
    {DIK_7, '7'}, {DIK_8, '8'}, {DIK_9, '9'}, {DIK_0, '0'}, {DIK_MINUS, 0xBD}, {DIK_EQUALS, 0xBB},
    {DIK_BACK, 0x08}, {DIK_TAB, 0x09}, {DIK_Q, 'Q'}, {DIK_W, 'W'}, {DIK_E, 'E'}, {DIK_R, 'R'}, {DIK_T, 'T'},
    {DIK_Y, 'Y'}, {DIK_U, 'U'}, {DIK_I, 'I'}, {DIK_O, 'O'}, {DIK_P, 'P'}, {DIK_LBRACKET, 0xDB},
    {DIK_RBRACKET, 0xDD}, {DIK_RETURN, 0x0D}, {DIK_LCONTROL, 0x11}, {DIK_A, 'A'}, {DIK_S, 'S'}, {DIK_D, 'D'},
    {DIK_F, 'F'}, {DIK_G, 'G'}, {DIK_H, 'H'}, {DIK_J, 'J'}, {DIK_K, 'K'}, {DIK_L, 'L'}, {DIK_SEMICOLON, 0xBA},
    {DIK_APOSTROPHE, 0xDE}, {DIK_GRAVE, 0xC0}, {DIK_LSHIFT, 0x10}, {DIK_BACKSLASH, 0xDC}, {DIK_Z, 'Z'},
    {DIK_X, 'X'}, {DIK_C, 'C'}, {DIK_V, 'V'}, {DIK_B, 'B'}, {DIK_N, 'N'}, {DIK_M, 'M'}, {DIK_COMMA, 0xBC},
    {DIK_PERIOD, 0xBE}, {DIK_SLASH, 0xBF}, {DIK_RSHIFT, 0x10}, {DIK_MULTIPLY, 0x6A}, {DIK_LMENU, 0x12},
    {DIK_SPACE, 0x20}, {DIK_CAPITAL, 0x14}, {DIK_F1, 0x70}, {DIK_F2, 0x71}, {DIK_F3, 0x72}, {DIK_F4, 0x73},
    {DIK_F5, 0x74}, {DIK_F6, 0x75}, {DIK_F7, 0x76}, {DIK_F8, 0x77}, {DIK_F9, 0x78}, {DIK_F10, 0x79},
    {DIK_NUMLOCK, 0x90}, {DIK_SCROLL, 0x91}, {DIK_NUMPAD7, 0x67}, {DIK_NUMPAD8, 0x68}, {DIK_NUMPAD9, 0x69},
    {DIK_SUBTRACT, 0x6D}, {DIK_NUMPAD4, 0x64}, {DIK_NUMPAD5, 0x65}, {DIK_NUMPAD6, 0x66}, {DIK_ADD, 0x6B},
    {DIK_NUMPAD1, 0x61}, {DIK_NUMPAD2, 0x62}, {DIK_NUMPAD3, 0x63}, {DIK_NUMPAD0, 0x60}, {DIK_DECIMAL, 0x6E},
    {DIK_OEM_102, 0xE2}, {DIK_F11, 0x7A}, {DIK_F12, 0x7B}, {DIK_F13, 0x7C}, {DIK_F14, 0x7D}, {DIK_F15, 0x7E},
    {DIK_NUMPADEQUALS, 0x92}, {DIK_NUMPADENTER, 0x0D}, {DIK_RCONTROL, 0x11}, {DIK_MUTE, 0xAD},
    {DIK_VOLUMEDOWN, 0xAE}, {DIK_VOLUMEUP, 0xAF}, {DIK_NUMPADCOMMA, 0x6C}, {DIK_DIVIDE, 0x6F},
    {DIK_SYSRQ, 0x2C}, {DIK_RMENU, 0x12}, {DIK_PAUSE, 0x13}, {DIK_HOME, 0x24}, {DIK_UP, 0x26},
    {DIK_PRIOR, 0x21}, {DIK_LEFT, 0x25}, {DIK_RIGHT, 0x27}, {DIK_END, 0x23}, {DIK_DOWN, 0x28},
    {DIK_NEXT, 0x22}, {DIK_INSERT, 0x2D}, {DIK_DELETE, 0x2E}, {DIK_LWIN, 0x5B}, {DIK_RWIN, 0x5C},
    {DIK_APPS, 0x5D},
};

constexpr std::array<std::uint8_t, 256> BuildTable() {
    std::array<std::uint8_t, 256> table{};
    for (const KeyPair& pair : kPairs) table[pair.scanCode] = pair.virtualKey;
    return table;
}

constexpr std::array<std::uint8_t, 256> kVirtualKeys = BuildTable();

}  // namespace

std::uint8_t VirtualKeyForScanCode(std::uint8_t scanCode) { return kVirtualKeys[scanCode]; }

}  // namespace valmere::host
