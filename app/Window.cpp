// The main window: a pop-up that stays on top, the focus and device window
// of the full-screen device and the owner of every message box.
#include "app/Application.h"
#include "app/Globals.h"

namespace {

constexpr const char* kClassName = "ClassName";

}  // namespace

bool CApplication::CreateApplicationWindow() {
    WNDCLASSEXA windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = g_instance;
    windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
    windowClass.lpszClassName = kClassName;
    windowClass.hIconSm = LoadIconA(nullptr, IDI_APPLICATION);
    if (RegisterClassExA(&windowClass) == 0) {
        MessageBoxA(window, "RegisterClassEx() failed!", "CreateApplicationWindow()", MB_OK);
        return false;
    }
    window = CreateWindowExA(WS_EX_TOPMOST, kClassName, "Valmere Engine", WS_POPUPWINDOW | WS_VISIBLE, 0, 0, 640,
                             480, nullptr, nullptr, g_instance, nullptr);
    if (!window) {
        MessageBoxA(window, "CreateWindowEx() failed!", "CreateApplicationWindow()", MB_OK);
        return false;
    }
    ShowCursor(FALSE);
    return true;
}

void CApplication::UnregisterWindowClass() {
    if (!UnregisterClassA(kClassName, g_instance)) MessageBoxA(window, "UnregisterClass() failed!", "~CApplication()", MB_OK);
}

LRESULT WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_DESTROY:
        g_running = 0;
        PostQuitMessage(0);
        return 0;
    case WM_KEYDOWN:
        if (wParam == VK_ESCAPE) {
            PostMessageA(window, WM_CLOSE, 0, 0);
            return 0;
        }
        return DefWindowProcA(window, message, wParam, lParam);
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}
