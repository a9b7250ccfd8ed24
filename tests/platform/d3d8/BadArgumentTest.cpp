// Bad arguments answer D3DERR_INVALIDCALL and change nothing.
#include "tests/platform/d3d8/DeviceFixture.h"

namespace valmere::d3d8::test {
namespace {

using BadArgumentTest = DeviceTest;

TEST_F(BadArgumentTest, CreationRejectsBadRequests) {
    EXPECT_EQ(Direct3DCreate8(D3D_SDK_VERSION + 1), nullptr);
    CreateGameDevice();
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(0, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, static_cast<D3DFORMAT>(999), D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, static_cast<D3DPOOL>(7), &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(8, 8, 5, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, 0, D3DFMT_D16, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(6, 8, 1, 0, D3DFMT_DXT1, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(8, 8, 1, D3DUSAGE_RENDERTARGET, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateTexture(8192, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3DERR_INVALIDCALL);
    EXPECT_EQ(texture, nullptr);  // never written on failure
    IDirect3DVertexBuffer8* buffer = nullptr;
    EXPECT_EQ(device_->CreateVertexBuffer(0, 0, 0, D3DPOOL_MANAGED, &buffer), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateVertexBuffer(16, 0, 0x112, D3DPOOL_MANAGED, &buffer), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateVertexBuffer(64, 0, 0, D3DPOOL_SCRATCH, &buffer), D3DERR_INVALIDCALL);
    IDirect3DSurface8* surface = nullptr;
    EXPECT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_UNKNOWN, &surface), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateImageSurface(8, 0, D3DFMT_L8, &surface), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_L8, nullptr), D3DERR_INVALIDCALL);
}

TEST_F(BadArgumentTest, StateCallsRejectBadIndicesAndNullPointers) {
    CreateGameDevice();
    EXPECT_EQ(device_->SetTextureStageState(8, D3DTSS_COLOROP, D3DTOP_ADD), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetTextureStageState(0, static_cast<D3DTEXTURESTAGESTATETYPE>(12), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetTexture(8, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(3), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetRenderState(static_cast<D3DRENDERSTATETYPE>(4000), 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetTransform(D3DTS_VIEW, nullptr), D3DERR_INVALIDCALL);
    D3DMATRIX matrix{};
    EXPECT_EQ(device_->SetTransform(static_cast<D3DTRANSFORMSTATETYPE>(5), &matrix), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->GetViewport(nullptr), D3DERR_INVALIDCALL);
    const D3DVIEWPORT8 tooWide{100, 0, 720, 600, 0.0f, 1.0f};
    EXPECT_EQ(device_->SetViewport(&tooWide), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetMaterial(nullptr), D3DERR_INVALIDCALL);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;  // with no direction
    EXPECT_EQ(device_->SetLight(0, &light), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetLight(0, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->SetVertexShader(D3DFVF_NORMAL), D3DERR_INVALIDCALL);  // no position
    EXPECT_EQ(device_->SetVertexShader(0x113), D3DERR_INVALIDCALL);          // a shader handle
    EXPECT_EQ(device_->SetStreamSource(1, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->ApplyStateBlock(12345), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->EndStateBlock(nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CreateStateBlock(static_cast<D3DSTATEBLOCKTYPE>(9), nullptr), D3DERR_INVALIDCALL);
    auto systemTexture = MakeTexture(4, 4, 1, D3DFMT_L8, D3DPOOL_SYSTEMMEM);
    EXPECT_EQ(device_->SetTexture(0, systemTexture.Get()), D3DERR_INVALIDCALL);
}

TEST_F(BadArgumentTest, DrawsCheckShaderStreamAndCounts) {
    CreateGameDevice();
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // nothing set
    ComPtr<IDirect3DVertexBuffer8> buffer;
    ASSERT_EQ(device_->CreateVertexBuffer(32 * 6, 0, 0x112, D3DPOOL_MANAGED, buffer.Receive()), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, buffer.Get(), 32), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 1), D3DERR_INVALIDCALL);  // no vertex shader
    ASSERT_EQ(device_->SetVertexShader(0x112), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 3), D3DERR_INVALIDCALL);  // 9 of 6 vertices
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 3, 2), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0xFFFFFFFFu, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitive(static_cast<D3DPRIMITIVETYPE>(9), 0, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLELIST, 0, 2), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, nullptr, 32), D3DERR_INVALIDCALL);
    const float vertices[24] = {};
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 16), D3DERR_INVALIDCALL);  // stride too small
    EXPECT_EQ(device_->SetStreamSource(0, buffer.Get(), 32), D3D_OK);
    EXPECT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLELIST, 1, vertices, 32), D3D_OK);
    ComPtr<IDirect3DVertexBuffer8> stream;
    UINT stride = 1;
    ASSERT_EQ(device_->GetStreamSource(0, stream.Receive(), &stride), D3D_OK);
    EXPECT_FALSE(stream);  // DrawPrimitiveUP unsets stream 0
}

TEST_F(BadArgumentTest, ClearAndCopyRejectBadRectanglesAndSurfaces) {
    CreateGameDevice();
    EXPECT_EQ(device_->Clear(1, nullptr, D3DCLEAR_TARGET, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->Clear(0, nullptr, 0, 0, 1.0f, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_STENCIL, 0, 1.0f, 0), D3DERR_INVALIDCALL);  // D16 has no stencil
    EXPECT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 2.0f, 0), D3DERR_INVALIDCALL);
    ComPtr<IDirect3DSurface8> a, b, c;
    ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, a.Receive()), D3D_OK);
    ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_X8R8G8B8, b.Receive()), D3D_OK);
    ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, c.Receive()), D3D_OK);
    EXPECT_EQ(device_->CopyRects(a.Get(), nullptr, 0, b.Get(), nullptr), D3DERR_INVALIDCALL);  // formats differ
    EXPECT_EQ(device_->CopyRects(a.Get(), nullptr, 0, a.Get(), nullptr), D3DERR_INVALIDCALL);  // same surface
    EXPECT_EQ(device_->CopyRects(nullptr, nullptr, 0, c.Get(), nullptr), D3DERR_INVALIDCALL);
    const RECT inverted{4, 4, 2, 6};
    EXPECT_EQ(device_->CopyRects(a.Get(), &inverted, 1, c.Get(), nullptr), D3DERR_INVALIDCALL);
    const RECT negative{-1, 0, 2, 2};
    EXPECT_EQ(device_->CopyRects(a.Get(), &negative, 1, c.Get(), nullptr), D3DERR_INVALIDCALL);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(a->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(device_->CopyRects(a.Get(), nullptr, 0, c.Get(), nullptr), D3DERR_INVALIDCALL);  // locked
    a->UnlockRect();
    EXPECT_EQ(a->LockRect(nullptr, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(a->LockRect(&locked, &inverted, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(a->LockRect(&locked, nullptr, 0x4), D3DERR_INVALIDCALL);  // unknown flag
    EXPECT_EQ(device_->UpdateTexture(nullptr, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->GetBackBuffer(1, D3DBACKBUFFER_TYPE_MONO, a.Receive()), D3DERR_INVALIDCALL);
}

TEST_F(BadArgumentTest, DeviceCreationChecksItsParameters) {
    direct3D_ = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    D3DPRESENT_PARAMETERS parameters = GameParameters();
    IDirect3DDevice8* device = nullptr;
    EXPECT_EQ(direct3D_->CreateDevice(0, D3DDEVTYPE_HAL, TestWindow(), D3DCREATE_SOFTWARE_VERTEXPROCESSING, nullptr,
                                      &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3D_->CreateDevice(1, D3DDEVTYPE_HAL, TestWindow(), D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(direct3D_->CreateDevice(0, D3DDEVTYPE_HAL, TestWindow(), 0, &parameters, &device), D3DERR_INVALIDCALL);
    parameters.AutoDepthStencilFormat = D3DFMT_A8R8G8B8;
    EXPECT_EQ(direct3D_->CreateDevice(0, D3DDEVTYPE_HAL, TestWindow(), D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device),
              D3DERR_INVALIDCALL);
    parameters = GameParameters();
    parameters.BackBufferCount = 2;
    EXPECT_EQ(direct3D_->CreateDevice(0, D3DDEVTYPE_HAL, TestWindow(), D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(device, nullptr);
    host_->SetCallFails("CreateDevice", true);
    parameters = GameParameters();
    EXPECT_LT(direct3D_->CreateDevice(0, D3DDEVTYPE_HAL, TestWindow(), D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                                      &parameters, &device),
              0);
}

}  // namespace
}  // namespace valmere::d3d8::test
