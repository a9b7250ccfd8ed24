// A fresh headless host and a device made the way the viewer makes it
// (800x600 R5G6B5 full-screen, D16), for the device tests.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/DeviceProfile.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/host/HeadlessHost.h"
#include "platform/host/InputDispatch.h"

namespace valmere::d3d8::test {

inline HWND TestWindow() { return reinterpret_cast<HWND>(std::uintptr_t{0x1000}); }

inline D3DPRESENT_PARAMETERS GameParameters() {
    D3DPRESENT_PARAMETERS parameters{};
    parameters.BackBufferWidth = 800;
    parameters.BackBufferHeight = 600;
    parameters.BackBufferFormat = D3DFMT_R5G6B5;
    parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
    parameters.hDeviceWindow = TestWindow();
    parameters.EnableAutoDepthStencil = TRUE;
    parameters.AutoDepthStencilFormat = D3DFMT_D16;
    return parameters;
}

class DeviceTest : public ::testing::Test {
protected:
    void SetUp() override {
        host_ = &host::InstallHeadlessHost();
        host::ResetFocusState();
        ResetDeviceProfile();
    }
    void TearDown() override {
        device_.Reset();
        direct3D_.Reset();
        ResetDeviceProfile();
    }

    // Creates the Direct3D object and a device on the selected profile.
    HRESULT CreateDevice(D3DPRESENT_PARAMETERS parameters = GameParameters()) {
        direct3D_ = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
        if (!direct3D_) return E_FAIL;
        parameters_ = parameters;
        return direct3D_->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, TestWindow(),
                                       D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters_, device_.Receive());
    }
    void CreateGameDevice() { ASSERT_EQ(CreateDevice(), D3D_OK); }

    ComPtr<IDirect3DTexture8> MakeTexture(UINT width, UINT height, UINT levels, D3DFORMAT format, D3DPOOL pool,
                                          DWORD usage = 0) {
        ComPtr<IDirect3DTexture8> texture;
        EXPECT_EQ(device_->CreateTexture(width, height, levels, usage, format, pool, texture.Receive()), D3D_OK);
        return texture;
    }

    host::HeadlessHost* host_ = nullptr;
    ComPtr<IDirect3D8> direct3D_;
    ComPtr<IDirect3DDevice8> device_;
    D3DPRESENT_PARAMETERS parameters_{};
};

}  // namespace valmere::d3d8::test
