// Modules, resources, icons and stock objects. The process is one module
// with no linked resources and no loadable libraries: resource lookups
// answer "not found" and GetProcAddress finds nothing.
#include <chrono>
#include <thread>

#include "platform/host/Host.h"
#include "platform/win32/Win32.h"

namespace {

// Distinct addresses that stand for the program module, the system icon and
// the stock objects.
struct ModuleTag {
    int unused;
} programModule;
struct IconTag {
    int unused;
} applicationIcon;
struct StockObjectTag {
    int unused;
} stockObjects[8];

}  // namespace

HMODULE GetModuleHandleA(LPCSTR moduleName) {
    if (moduleName) {
        SetLastError(static_cast<DWORD>(ERROR_FILE_NOT_FOUND));
        return nullptr;  // no other module is ever loaded in this process
    }
    if (valmere::host::CurrentHost().ShouldFail("GetModuleHandleA")) return nullptr;
    return reinterpret_cast<HMODULE>(&programModule);
}

FARPROC GetProcAddress(HMODULE /*module*/, LPCSTR /*procName*/) { return nullptr; }

HRSRC FindResourceA(HMODULE /*module*/, LPCSTR /*name*/, LPCSTR /*type*/) {
    SetLastError(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    return nullptr;
}

HRSRC FindResourceW(HMODULE /*module*/, LPCWSTR /*name*/, LPCWSTR /*type*/) {
    SetLastError(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND));
    return nullptr;
}

DWORD SizeofResource(HMODULE /*module*/, HRSRC /*resource*/) { return 0; }
HGLOBAL LoadResource(HMODULE /*module*/, HRSRC /*resource*/) { return nullptr; }
LPVOID LockResource(HGLOBAL /*resource*/) { return nullptr; }

HICON LoadIconA(HINSTANCE instance, LPCSTR name) {
    // Only the system icons (no instance, integer id) exist.
    if (instance || !IS_INTRESOURCE(name)) return nullptr;
    return reinterpret_cast<HICON>(&applicationIcon);
}

HGDIOBJ GetStockObject(int object) {
    if (object < 0 || object >= 8) return nullptr;
    return &stockObjects[object];
}

void Sleep(DWORD milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

DWORD GetTickCount() {
    using namespace std::chrono;
    return static_cast<DWORD>(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count());
}
