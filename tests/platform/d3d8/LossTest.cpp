// Device loss driven by the host's focus events, and Reset.
#include "tests/platform/d3d8/DeviceFixture.h"

namespace valmere::d3d8::test {
namespace {

using LossTest = DeviceTest;

struct ScreenVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

TEST_F(LossTest, FocusLossLosesTheDeviceUntilReset) {
    CreateGameDevice();
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    host_->LoseFocus(0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    EXPECT_EQ(device_->BeginScene(), D3D_OK);
    const ScreenVertex triangle[3] = {{0, 0, 0, 1, 0}, {10, 0, 0, 1, 0}, {0, 10, 0, 1, 0}};
    ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, triangle, sizeof(ScreenVertex)), D3D_OK);
    EXPECT_EQ(device_->EndScene(), D3D_OK);
    EXPECT_EQ(device_->Reset(&parameters_), D3DERR_DEVICELOST);
    EXPECT_EQ(host_->PresentedFrames(), 0);

    host_->GainFocus(0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(host_->PresentedFrames(), 1);
}

// Minimised, the application has no display, even where the picture shows
// in a window that keeps it through a focus loss.
TEST_F(LossTest, MinimisingLosesTheDeviceUntilRestoredAndReset) {
    host_->ShowFullScreenInWindow(true);
    CreateGameDevice();
    host_->LoseFocus(0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    host_->Minimize(0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
    host_->Restore(0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
}

// Input pumped in the middle of a frame (a DirectInput read) may bring the
// focus loss: the frame under way still presents, the next test finds the
// device lost, and a display lost and back before it still needs a Reset.
TEST_F(LossTest, ALossSeenInTheMiddleOfAFrameTakesEffectAtTheNextTest) {
    CreateGameDevice();
    ASSERT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    host_->LoseFocus(0);
    host::PumpInput();
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3DERR_DEVICELOST);
    host_->GainFocus(0);
    ASSERT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    host_->LoseFocus(0);
    host_->GainFocus(0);
    host::PumpInput();
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
}

TEST_F(LossTest, FailedResetLeavesTheDeviceWaitingForReset) {
    CreateGameDevice();
    host_->SetCallFails("Reset", true);
    EXPECT_LT(device_->Reset(&parameters_), 0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    host_->SetCallFails("Reset", false);
    D3DPRESENT_PARAMETERS bad = parameters_;
    bad.BackBufferWidth = 801;
    EXPECT_EQ(device_->Reset(&bad), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
}

TEST_F(LossTest, WindowedDevicesAreNotLostWithFocus) {
    D3DPRESENT_PARAMETERS parameters = GameParameters();
    parameters.Windowed = TRUE;
    parameters.BackBufferWidth = 320;
    parameters.BackBufferHeight = 200;
    ASSERT_EQ(CreateDevice(parameters), D3D_OK);
    host_->LoseFocus(0);
    EXPECT_EQ(device_->TestCooperativeLevel(), D3D_OK);
    EXPECT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    EXPECT_EQ(host_->LastFrameWidth(), 320);
}

TEST_F(LossTest, FullScreenDevicesSetAndRestoreTheDisplayMode) {
    CreateGameDevice();
    EXPECT_TRUE(host_->Fullscreen());
    EXPECT_EQ(host_->DisplayWidth(), 800);
    EXPECT_EQ(host_->DisplayHeight(), 600);
    device_.Reset();
    EXPECT_FALSE(host_->Fullscreen());
}

TEST_F(LossTest, ResetRecreatesTheBackBuffer) {
    CreateGameDevice();
    ComPtr<IDirect3DSurface8> before, after;
    ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, before.Receive()), D3D_OK);
    D3DPRESENT_PARAMETERS smaller = parameters_;
    smaller.BackBufferWidth = 640;
    smaller.BackBufferHeight = 480;
    ASSERT_EQ(device_->Reset(&smaller), D3D_OK);
    ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, after.Receive()), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(after->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 640u);
    EXPECT_NE(before.Get(), after.Get());
    D3DVIEWPORT8 viewport{};
    ASSERT_EQ(device_->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 640u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(device_->GetDisplayMode(&mode), D3D_OK);
    EXPECT_EQ(mode.Height, 480u);
}

}  // namespace
}  // namespace valmere::d3d8::test
