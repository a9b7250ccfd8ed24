#include <cstdio>

#include "platform/host/Host.h"
#include "platform/win32/Win32.h"

int MessageBoxA(HWND /*owner*/, LPCSTR text, LPCSTR caption, UINT type) {
    const char* shownText = text ? text : "";
    const char* shownCaption = caption ? caption : "Error";
    // Always on standard error as well, so that a failure is on record even
    // where nobody sees the window.
    std::fprintf(stderr, "%s: %s\n", shownCaption, shownText);
    std::fflush(stderr);
    return valmere::host::CurrentHost().ShowMessageBox(shownText, shownCaption, type);
}
