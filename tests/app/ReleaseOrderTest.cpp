// The order in which the process releases what it holds at exit: keyboard,
// mouse, DirectInput, Direct3D device, Direct3D object, then the window
// class. Recording stand-ins wrap the real objects and forward every call.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/Application.h"
#include "app/Globals.h"
#include "input/Input.h"
#include "tests/support/GameProcess.h"

namespace {

std::vector<std::string> events;

bool WindowClassRegistered() {
    WNDCLASSEXA probe{};
    probe.cbSize = sizeof probe;
    probe.lpfnWndProc = DefWindowProcA;
    probe.lpszClassName = "ClassName";
    if (RegisterClassExA(&probe) == 0) return true;
    UnregisterClassA("ClassName", nullptr);
    return false;
}

class RecordingInputDevice final : public IDirectInputDevice8A {
public:
    RecordingInputDevice(IDirectInputDevice8A* real, std::string name) : real_(real), name_(std::move(name)) {}
    virtual ~RecordingInputDevice() = default;
    HRESULT QueryInterface(REFIID riid, void** object) override { return real_->QueryInterface(riid, object); }
    ULONG AddRef() override { return real_->AddRef(); }
    ULONG Release() override {
        events.push_back(name_ + ".Release");
        const ULONG left = real_->Release();
        if (left == 0) delete this;
        return left;
    }
    HRESULT Acquire() override { return real_->Acquire(); }
    HRESULT Unacquire() override {
        events.push_back(name_ + ".Unacquire");
        return real_->Unacquire();
    }
    HRESULT GetDeviceState(DWORD size, LPVOID data) override { return real_->GetDeviceState(size, data); }
    HRESULT SetDataFormat(const DIDATAFORMAT* format) override { return real_->SetDataFormat(format); }
    HRESULT SetCooperativeLevel(HWND window, DWORD flags) override { return real_->SetCooperativeLevel(window, flags); }

private:
    IDirectInputDevice8A* real_;
    std::string name_;
};

class RecordingDirectInput final : public IDirectInput8A {
public:
    explicit RecordingDirectInput(IDirectInput8A* real) : real_(real) {}
    virtual ~RecordingDirectInput() = default;
    HRESULT QueryInterface(REFIID riid, void** object) override { return real_->QueryInterface(riid, object); }
    ULONG AddRef() override { return real_->AddRef(); }
    ULONG Release() override {
        events.push_back("directInput.Release");
        const ULONG left = real_->Release();
        if (left == 0) delete this;
        return left;
    }
    HRESULT CreateDevice(REFGUID guid, IDirectInputDevice8A** device, LPUNKNOWN outer) override {
        return real_->CreateDevice(guid, device, outer);
    }

private:
    IDirectInput8A* real_;
};

class RecordingDirect3D final : public IDirect3D8 {
public:
    explicit RecordingDirect3D(IDirect3D8* real) : real_(real) {}
    virtual ~RecordingDirect3D() = default;
    HRESULT QueryInterface(REFIID riid, void** object) override { return real_->QueryInterface(riid, object); }
    ULONG AddRef() override { return real_->AddRef(); }
    ULONG Release() override {
        events.push_back(std::string("direct3D.Release") + (g_application.device ? " (device still held)" : "") +
                         (WindowClassRegistered() ? "" : " (class already gone)"));
        const ULONG left = real_->Release();
        if (left == 0) delete this;
        return left;
    }
    UINT GetAdapterCount() override { return real_->GetAdapterCount(); }
    UINT GetAdapterModeCount(UINT adapter) override { return real_->GetAdapterModeCount(adapter); }
    HRESULT EnumAdapterModes(UINT adapter, UINT mode, D3DDISPLAYMODE* displayMode) override {
        return real_->EnumAdapterModes(adapter, mode, displayMode);
    }
    HRESULT GetAdapterDisplayMode(UINT adapter, D3DDISPLAYMODE* displayMode) override {
        return real_->GetAdapterDisplayMode(adapter, displayMode);
    }
    HRESULT CheckDeviceType(UINT adapter, D3DDEVTYPE type, D3DFORMAT display, D3DFORMAT backBuffer,
                            BOOL windowed) override {
        return real_->CheckDeviceType(adapter, type, display, backBuffer, windowed);
    }
    HRESULT CheckDeviceFormat(UINT adapter, D3DDEVTYPE type, D3DFORMAT display, DWORD usage, D3DRESOURCETYPE resource,
                              D3DFORMAT format) override {
        return real_->CheckDeviceFormat(adapter, type, display, usage, resource, format);
    }
    HRESULT CheckDepthStencilMatch(UINT adapter, D3DDEVTYPE type, D3DFORMAT display, D3DFORMAT target,
                                   D3DFORMAT depth) override {
        return real_->CheckDepthStencilMatch(adapter, type, display, target, depth);
    }
    HRESULT GetDeviceCaps(UINT adapter, D3DDEVTYPE type, D3DCAPS8* caps) override {
        return real_->GetDeviceCaps(adapter, type, caps);
    }
    HRESULT CreateDevice(UINT adapter, D3DDEVTYPE type, HWND window, DWORD flags, D3DPRESENT_PARAMETERS* parameters,
                         IDirect3DDevice8** device) override {
        return real_->CreateDevice(adapter, type, window, flags, parameters, device);
    }

private:
    IDirect3D8* real_;
};

TEST(ReleaseOrder, InputFirstThenDeviceThenDirect3DThenTheWindowClass) {
    valmere::test::StartProcess();
    DestroyWindow(g_application.window);  // as Escape does during the loop
    events.clear();
    g_input.keyboard = new RecordingInputDevice(g_input.keyboard, "keyboard");
    g_input.mouse = new RecordingInputDevice(g_input.mouse, "mouse");
    g_input.directInput = new RecordingDirectInput(g_input.directInput);
    g_application.direct3D = new RecordingDirect3D(g_application.direct3D);
    valmere::test::EndProcess();
    const std::vector<std::string> expected = {"keyboard.Unacquire", "keyboard.Release", "mouse.Unacquire",
                                               "mouse.Release",      "directInput.Release", "direct3D.Release"};
    EXPECT_EQ(events, expected);
    EXPECT_FALSE(WindowClassRegistered());
}

}  // namespace
