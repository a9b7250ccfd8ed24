// A Direct3D device without a display: the headless host, a hidden window
// and a small windowed device in the desktop format, as the texture tool and
// its tests need to create and read textures.
#pragma once

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/win32/Win32.h"

namespace valmere::tools {

class HeadlessDevice {
public:
    HeadlessDevice() = default;
    HeadlessDevice(const HeadlessDevice&) = delete;
    HeadlessDevice& operator=(const HeadlessDevice&) = delete;
    // Releases the device and the Direct3D object, then the window and its class.
    ~HeadlessDevice();

    // Installs a fresh headless host and creates everything; on failure the
    // failing call's name is in FailedCall(). S_OK, E_FAIL for the window
    // calls, the Direct3D calls' results unchanged.
    HRESULT Create();
    IDirect3DDevice8* Get() const { return device_.Get(); }
    const char* FailedCall() const { return failedCall_; }

private:
    HRESULT Fail(const char* call, HRESULT hr) {
        failedCall_ = call;
        return hr;
    }

    HWND window_ = nullptr;
    bool registered_ = false;
    ComPtr<IDirect3D8> direct3D_;
    ComPtr<IDirect3DDevice8> device_;
    const char* failedCall_ = "";
};

}  // namespace valmere::tools
