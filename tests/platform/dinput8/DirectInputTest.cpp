// The keyboard and mouse devices over scripted host input.
#include <gtest/gtest.h>

#include "platform/dinput8/DirectInput8.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/InputDispatch.h"
#include "platform/win32/WindowManager.h"

namespace {

using valmere::host::HeadlessHost;

constexpr IID kUnknownInterface = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};

LRESULT Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return DefWindowProcA(window, message, wParam, lParam);
}

class DirectInput : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = &valmere::host::InstallHeadlessHost();
        valmere::win32::ResetWindowManager();
        valmere::host::ResetFocusState();
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = Procedure;
        windowClass.lpszClassName = "InputTest";
        RegisterClassExA(&windowClass);
        window_ = CreateWindowExA(0, "InputTest", "", WS_VISIBLE, 0, 0, 64, 64, nullptr, nullptr, nullptr, nullptr);
        void* created = nullptr;
        ASSERT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, IID_IDirectInput8A, &created,
                                     nullptr),
                  DI_OK);
        input_ = static_cast<IDirectInput8A*>(created);
    }
    void TearDown() override {
        if (keyboard_) keyboard_->Release();
        if (mouse_) mouse_->Release();
        if (input_) input_->Release();
        valmere::win32::ResetWindowManager();
    }

    void OpenKeyboard() {
        ASSERT_EQ(input_->CreateDevice(GUID_SysKeyboard, &keyboard_, nullptr), DI_OK);
        ASSERT_EQ(keyboard_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
        ASSERT_EQ(keyboard_->SetCooperativeLevel(window_, DISCL_NONEXCLUSIVE | DISCL_BACKGROUND), DI_OK);
        ASSERT_EQ(keyboard_->Acquire(), DI_OK);
    }
    void OpenMouse() {
        ASSERT_EQ(input_->CreateDevice(GUID_SysMouse, &mouse_, nullptr), DI_OK);
        ASSERT_EQ(mouse_->SetDataFormat(&c_dfDIMouse), DI_OK);
        ASSERT_EQ(mouse_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_FOREGROUND), DI_OK);
        ASSERT_EQ(mouse_->Acquire(), DI_OK);
    }

    HeadlessHost* host_ = nullptr;
    HWND window_ = nullptr;
    IDirectInput8A* input_ = nullptr;
    IDirectInputDevice8A* keyboard_ = nullptr;
    IDirectInputDevice8A* mouse_ = nullptr;
};

TEST_F(DirectInput, CreationRefusesBadArguments) {
    void* created = nullptr;
    EXPECT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), 0x0700, IID_IDirectInput8A, &created, nullptr),
              DIERR_OLDDIRECTINPUTVERSION);
    EXPECT_EQ(DirectInput8Create(GetModuleHandleA(nullptr), DIRECTINPUT_VERSION, kUnknownInterface,
                                 &created, nullptr),
              E_NOINTERFACE);
    EXPECT_EQ(created, nullptr);
    IDirectInputDevice8A* device = nullptr;
    EXPECT_EQ(input_->CreateDevice(IID_IUnknown, &device, nullptr), DIERR_DEVICENOTREG);
    EXPECT_EQ(input_->CreateDevice(GUID_SysKeyboard, nullptr, nullptr), DIERR_INVALIDPARAM);
}

TEST_F(DirectInput, KeyboardStateFollowsKeysByScanCode) {
    OpenKeyboard();
    BYTE keys[256];
    ASSERT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DI_OK);
    for (BYTE key : keys) EXPECT_EQ(key, 0);
    host_->PressKey(0, DIK_W);
    host_->PressKey(0, DIK_UP);
    ASSERT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_W], 0x80);
    EXPECT_EQ(keys[DIK_UP], 0x80);
    EXPECT_EQ(keys[DIK_S], 0);
    host_->ReleaseKey(0, DIK_W);
    ASSERT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DI_OK);
    EXPECT_EQ(keys[DIK_W], 0);
    EXPECT_EQ(keys[DIK_UP], 0x80);
}

TEST_F(DirectInput, StateNeedsTheRightSizeAndAcquisition) {
    ASSERT_EQ(input_->CreateDevice(GUID_SysKeyboard, &keyboard_, nullptr), DI_OK);
    BYTE keys[256];
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DIERR_INVALIDPARAM);  // no data format yet
    EXPECT_EQ(keyboard_->SetDataFormat(&c_dfDIMouse), DIERR_INVALIDPARAM);
    ASSERT_EQ(keyboard_->SetDataFormat(&c_dfDIKeyboard), DI_OK);
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DIERR_NOTACQUIRED);
    ASSERT_EQ(keyboard_->Acquire(), DI_OK);
    EXPECT_EQ(keyboard_->Acquire(), DI_NOEFFECT);
    EXPECT_EQ(keyboard_->GetDeviceState(16, keys), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, nullptr), DIERR_INVALIDPARAM);
    EXPECT_EQ(keyboard_->SetCooperativeLevel(window_, DISCL_EXCLUSIVE | DISCL_NONEXCLUSIVE), DIERR_INVALIDPARAM);
}

TEST_F(DirectInput, MouseMovementIsRelativeToThePreviousRead) {
    OpenMouse();
    host_->MoveMouse(0, 5, -3);
    host_->MoveMouse(0, 2, 1);
    host_->PressMouseButton(0, 1);
    DIMOUSESTATE state{};
    ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 7);
    EXPECT_EQ(state.lY, -2);
    EXPECT_EQ(state.rgbButtons[1], 0x80);
    EXPECT_EQ(state.rgbButtons[0], 0);
    ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);
    EXPECT_EQ(state.lY, 0);
    EXPECT_EQ(state.rgbButtons[1], 0x80);  // buttons are a state, not a movement
}

// A press and release between two reads read as down once; a key or
// button held reads as down every time.
TEST_F(DirectInput, PressesBetweenReadsAreSeenOnce) {
    OpenKeyboard();
    OpenMouse();
    host_->PressKey(0, DIK_Z);
    host_->ReleaseKey(0, DIK_Z);
    host_->PressKey(0, DIK_W);
    host_->PressMouseButton(0, 0);
    host_->ReleaseMouseButton(0, 0);
    host_->PressMouseButton(0, 1);
    BYTE keys[256];
    DIMOUSESTATE state{};
    for (int read = 0; read < 2; ++read) {
        const BYTE tapped = read == 0 ? 0x80 : 0;
        ASSERT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DI_OK);
        EXPECT_EQ(keys[DIK_Z], tapped) << read;
        EXPECT_EQ(keys[DIK_W], 0x80) << read;
        EXPECT_EQ(keys[DIK_X], 0) << read;
        ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
        EXPECT_EQ(state.rgbButtons[0], tapped) << read;
        EXPECT_EQ(state.rgbButtons[1], 0x80) << read;
    }
}

TEST_F(DirectInput, ExclusiveMouseIsLostWithTheFocusAndRegainedWithIt) {
    OpenMouse();
    OpenKeyboard();
    host_->LoseFocus(0);
    DIMOUSESTATE state{};
    EXPECT_EQ(mouse_->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    EXPECT_EQ(mouse_->Acquire(), DIERR_INPUTLOST);
    EXPECT_EQ(mouse_->GetDeviceState(sizeof state, &state), DIERR_INPUTLOST);
    // The background keyboard keeps working.
    BYTE keys[256];
    EXPECT_EQ(keyboard_->GetDeviceState(sizeof keys, keys), DI_OK);
    host_->GainFocus(0);
    host_->MoveMouse(0, 4, 4);
    EXPECT_EQ(mouse_->Acquire(), DI_OK);
    ASSERT_EQ(mouse_->GetDeviceState(sizeof state, &state), DI_OK);
    EXPECT_EQ(state.lX, 0);  // movement made while the device was lost is not handed out
}

TEST_F(DirectInput, UnacquiredDevicesHandOutNothing) {
    OpenMouse();
    EXPECT_EQ(mouse_->Unacquire(), DI_OK);
    EXPECT_EQ(mouse_->Unacquire(), DI_NOEFFECT);
    DIMOUSESTATE state{};
    EXPECT_EQ(mouse_->GetDeviceState(sizeof state, &state), DIERR_NOTACQUIRED);
}

}  // namespace
