// Window classes, the window, the message queue and the default handling of
// closing, with host input turned into messages.
#include <gtest/gtest.h>

#include <vector>

#include "platform/host/HeadlessHost.h"
#include "platform/host/InputDispatch.h"
#include "platform/host/ScanCodes.h"
#include "platform/win32/WindowManager.h"

namespace {

using valmere::host::HeadlessHost;

std::vector<UINT> received;

LRESULT RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    received.push_back(message);
    return DefWindowProcA(window, message, wParam, lParam);
}

class Windows : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = &valmere::host::InstallHeadlessHost();
        valmere::win32::ResetWindowManager();
        valmere::host::ResetFocusState();
        received.clear();
    }
    void TearDown() override { valmere::win32::ResetWindowManager(); }

    ATOM Register(const char* name = "TestClass") {
        WNDCLASSEXA windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.lpszClassName = name;
        return RegisterClassExA(&windowClass);
    }
    HWND Create(const char* name = "TestClass") {
        return CreateWindowExA(WS_EX_TOPMOST, name, "Title", WS_POPUPWINDOW | WS_VISIBLE, 0, 0, 640, 480, nullptr,
                               nullptr, nullptr, nullptr);
    }
    HeadlessHost* host_ = nullptr;
};

TEST_F(Windows, ClassNamesAreUniqueAndCannotBeUnregisteredWhileInUse) {
    EXPECT_NE(Register(), 0);
    EXPECT_EQ(Register(), 0);
    EXPECT_EQ(Register("testclass"), 0);  // class names ignore case
    HWND window = Create();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(UnregisterClassA("TestClass", nullptr));
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassA("TestClass", nullptr));
    EXPECT_FALSE(UnregisterClassA("TestClass", nullptr));
}

TEST_F(Windows, BadClassesAreRefused) {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpszClassName = "NoProcedure";
    EXPECT_EQ(RegisterClassExA(&windowClass), 0);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);
    EXPECT_EQ(Create("Unknown"), nullptr);
}

TEST_F(Windows, CreationOpensTheHostWindowAndDestructionSendsDestroy) {
    Register();
    HWND window = Create();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(host_->WindowOpen());
    EXPECT_EQ(host_->Window().title, "Title");
    EXPECT_EQ(received.front(), WM_CREATE);
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_EQ(received, (std::vector<UINT>{WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(host_->WindowOpen());
    EXPECT_FALSE(DestroyWindow(window));
}

TEST_F(Windows, ClientAreaIsTheCreatedSize) {
    Register();
    HWND window = Create();
    RECT rect{1, 1, 1, 1};
    ASSERT_TRUE(GetClientRect(window, &rect));
    EXPECT_EQ(rect.left, 0);
    EXPECT_EQ(rect.top, 0);
    EXPECT_EQ(rect.right, 640);
    EXPECT_EQ(rect.bottom, 480);
    EXPECT_FALSE(GetClientRect(window, nullptr));
    DestroyWindow(window);
    EXPECT_FALSE(GetClientRect(window, &rect));
}

TEST_F(Windows, DefaultCloseHandlingDestroysTheWindow) {
    Register();
    HWND window = Create();
    ASSERT_TRUE(PostMessageA(window, WM_CLOSE, 0, 0));
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    DispatchMessageA(&msg);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(received.back(), WM_NCDESTROY);
}

TEST_F(Windows, PeekNeverWaitsAndKeepsOrder) {
    Register();
    HWND window = Create();
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    PostMessageA(window, WM_USER, 1, 0);
    PostMessageA(window, WM_USER, 2, 0);
    PostQuitMessage(3);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 1u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 2u);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 3u);
    EXPECT_EQ(DispatchMessageA(&msg), 0);  // a quit message has no window to go to
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_FALSE(PostMessageA(reinterpret_cast<HWND>(&msg), WM_USER, 0, 0));
}

TEST_F(Windows, HostKeysBecomeKeyMessagesAndCharacters) {
    Register();
    HWND window = Create();
    host_->PressKey(0, DIK_ESCAPE);
    host_->ReleaseKey(0, DIK_ESCAPE);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.hwnd, window);
    EXPECT_EQ(msg.message, WM_KEYDOWN);
    EXPECT_EQ(msg.wParam, VK_ESCAPE);
    EXPECT_EQ((msg.lParam >> 16) & 0xFF, DIK_ESCAPE);
    EXPECT_TRUE(TranslateMessage(&msg));
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_KEYUP);
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CHAR);
    EXPECT_EQ(msg.wParam, 0x1Bu);
}

// The window manager's close request reaches the window procedure as the
// close Escape makes, with parameters 0 (a loop that ends on it returns 0).
TEST_F(Windows, HostCloseRequestIsAClose) {
    Register();
    HWND window = Create();
    host_->RequestClose(0);
    MSG msg{};
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(msg.message, WM_CLOSE);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.lParam, 0);
    DispatchMessageA(&msg);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(received, (std::vector<UINT>{WM_CREATE, WM_CLOSE, WM_DESTROY, WM_NCDESTROY}));
}

TEST_F(Windows, MessagesOfADestroyedWindowAreDropped) {
    Register();
    HWND window = Create();
    PostMessageA(window, WM_USER, 0, 0);
    DestroyWindow(window);
    MSG msg{};
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Windows, CursorCountHidesAndShows) {
    EXPECT_EQ(ShowCursor(FALSE), -1);
    EXPECT_FALSE(host_->CursorVisible());
    EXPECT_EQ(ShowCursor(TRUE), 0);
    EXPECT_TRUE(host_->CursorVisible());
}

TEST_F(Windows, MessageBoxesAreRecordedAndWrittenToStandardError) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(MessageBoxA(nullptr, "Clear() failed!", "ClearScreen()", MB_OK), IDOK);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_NE(printed.find("Clear() failed!"), std::string::npos);
    EXPECT_NE(printed.find("ClearScreen()"), std::string::npos);
    ASSERT_EQ(host_->MessageBoxes().size(), 1u);
    EXPECT_EQ(host_->MessageBoxes()[0].caption, "ClearScreen()");
}

TEST_F(Windows, InjectedFailuresFailTheNamedCall) {
    host_->SetCallFails("RegisterClassExA", true);
    EXPECT_EQ(Register(), 0);
    host_->SetCallFails("RegisterClassExA", false);
    EXPECT_NE(Register(), 0);
    host_->SetCallFails("CreateWindowExA", true);
    EXPECT_EQ(Create(), nullptr);
    EXPECT_FALSE(host_->WindowOpen());
}

TEST(SystemServices, ModuleIconsStockObjectsAndResources) {
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA("d3d8.dll"), nullptr);
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
    EXPECT_NE(GetStockObject(BLACK_BRUSH), nullptr);
    EXPECT_EQ(GetStockObject(-1), nullptr);
    EXPECT_EQ(FindResourceA(nullptr, "image", RT_BITMAP), nullptr);
    EXPECT_EQ(GetProcAddress(nullptr, "DebugSetMute"), nullptr);
}

}  // namespace
