// Device state: the defaults of a new and a reset device, lights, and state
// blocks recorded, created, captured and applied the way the font and the
// sprite use them.
#include "platform/d3d8/DeviceState.h"
#include "tests/platform/d3d8/DeviceFixture.h"

namespace valmere::d3d8::test {
namespace {

using StateTest = DeviceTest;

DWORD RenderState(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetRenderState(state, &value), D3D_OK);
    return value;
}

DWORD StageState(IDirect3DDevice8* device, DWORD stage, D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 0xDEADBEEF;
    EXPECT_EQ(device->GetTextureStageState(stage, type, &value), D3D_OK);
    return value;
}

void ExpectDefaults(IDirect3DDevice8* device) {
    EXPECT_EQ(RenderState(device, D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));  // auto depth buffer
    EXPECT_EQ(RenderState(device, D3DRS_LIGHTING), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RenderState(device, D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    EXPECT_EQ(RenderState(device, D3DRS_ZFUNC), static_cast<DWORD>(D3DCMP_LESSEQUAL));
    EXPECT_EQ(RenderState(device, D3DRS_SRCBLEND), static_cast<DWORD>(D3DBLEND_ONE));
    EXPECT_EQ(RenderState(device, D3DRS_DESTBLEND), static_cast<DWORD>(D3DBLEND_ZERO));
    EXPECT_EQ(RenderState(device, D3DRS_AMBIENT), 0u);
    EXPECT_EQ(RenderState(device, D3DRS_TEXTUREFACTOR), 0xFFFFFFFFu);
    EXPECT_EQ(StageState(device, 0, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_MODULATE));
    EXPECT_EQ(StageState(device, 0, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_SELECTARG1));
    for (DWORD stage = 1; stage < 8; ++stage) {
        EXPECT_EQ(StageState(device, stage, D3DTSS_COLOROP), static_cast<DWORD>(D3DTOP_DISABLE));
        EXPECT_EQ(StageState(device, stage, D3DTSS_ALPHAOP), static_cast<DWORD>(D3DTOP_DISABLE));
        EXPECT_EQ(StageState(device, stage, D3DTSS_TEXCOORDINDEX), stage);
    }
    EXPECT_EQ(StageState(device, 3, D3DTSS_MINFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(StageState(device, 3, D3DTSS_MAGFILTER), static_cast<DWORD>(D3DTEXF_POINT));
    EXPECT_EQ(StageState(device, 3, D3DTSS_ADDRESSV), static_cast<DWORD>(D3DTADDRESS_WRAP));
    D3DMATRIX world{};
    ASSERT_EQ(device->GetTransform(D3DTS_WORLD, &world), D3D_OK);
    EXPECT_EQ(world._11, 1.0f);
    EXPECT_EQ(world._41, 0.0f);
    D3DVIEWPORT8 viewport{};
    ASSERT_EQ(device->GetViewport(&viewport), D3D_OK);
    EXPECT_EQ(viewport.Width, 800u);
    EXPECT_EQ(viewport.Height, 600u);
    EXPECT_EQ(viewport.MaxZ, 1.0f);
    DWORD shader = 1;
    ASSERT_EQ(device->GetVertexShader(&shader), D3D_OK);
    EXPECT_EQ(shader, 0u);
    IDirect3DBaseTexture8* texture = reinterpret_cast<IDirect3DBaseTexture8*>(1);
    ASSERT_EQ(device->GetTexture(0, &texture), D3D_OK);
    EXPECT_EQ(texture, nullptr);
}

TEST_F(StateTest, NewAndResetDevicesStartFromTheDefaults) {
    CreateGameDevice();
    ExpectDefaults(device_.Get());
    ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(device_->SetTextureStageState(0, D3DTSS_MINFILTER, D3DTEXF_LINEAR), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(0x112), D3D_OK);
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    ExpectDefaults(device_.Get());
}

TEST_F(StateTest, DepthIsOffByDefaultWithoutADepthBuffer) {
    D3DPRESENT_PARAMETERS parameters = GameParameters();
    parameters.EnableAutoDepthStencil = FALSE;
    ASSERT_EQ(CreateDevice(parameters), D3D_OK);
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
}

TEST_F(StateTest, RecordingLeavesTheDeviceAloneAndTheFontPatternRestoresDepth) {
    CreateGameDevice();
    DWORD blocks[2] = {};
    for (DWORD& block : blocks) {
        ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
        ASSERT_EQ(device_->SetRenderState(D3DRS_ZENABLE, FALSE), D3D_OK);
        ASSERT_EQ(device_->EndStateBlock(&block), D3D_OK);
    }
    EXPECT_NE(blocks[0], blocks[1]);
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));

    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device_->CaptureStateBlock(blocks[0]), D3D_OK);
    ASSERT_EQ(device_->ApplyStateBlock(blocks[1]), D3D_OK);
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_FALSE));
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));  // not in the block
    ASSERT_EQ(device_->ApplyStateBlock(blocks[0]), D3D_OK);
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_ZENABLE), static_cast<DWORD>(D3DZB_TRUE));
    EXPECT_EQ(device_->DeleteStateBlock(blocks[0]), D3D_OK);
    EXPECT_EQ(device_->ApplyStateBlock(blocks[0]), D3DERR_INVALIDCALL);
}

TEST_F(StateTest, BlocksHoldTexturesStreamsTransformsAndLights) {
    CreateGameDevice();
    auto texture = MakeTexture(4, 4, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    ComPtr<IDirect3DVertexBuffer8> buffer;
    ASSERT_EQ(device_->CreateVertexBuffer(96, 0, 0x112, D3DPOOL_MANAGED, buffer.Receive()), D3D_OK);
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_POINT;
    light.Range = 10.0f;
    D3DMATRIX scale = IdentityMatrix();
    scale._11 = 2.0f;

    DWORD saved = 0;
    ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, nullptr, 0), D3D_OK);
    ASSERT_EQ(device_->SetTransform(D3DTS_WORLD, &scale), D3D_OK);
    ASSERT_EQ(device_->SetLight(3, &light), D3D_OK);
    ASSERT_EQ(device_->LightEnable(3, TRUE), D3D_OK);
    ASSERT_EQ(device_->EndStateBlock(&saved), D3D_OK);
    D3DLIGHT8 read{};
    EXPECT_EQ(device_->GetLight(3, &read), D3DERR_INVALIDCALL);  // recorded, not set

    ASSERT_EQ(device_->SetTexture(0, texture.Get()), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, buffer.Get(), 32), D3D_OK);
    ASSERT_EQ(device_->CaptureStateBlock(saved), D3D_OK);
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, nullptr, 0), D3D_OK);
    ASSERT_EQ(device_->ApplyStateBlock(saved), D3D_OK);

    ComPtr<IDirect3DBaseTexture8> bound;
    ASSERT_EQ(device_->GetTexture(0, bound.Receive()), D3D_OK);
    EXPECT_EQ(bound.Get(), static_cast<IDirect3DBaseTexture8*>(texture.Get()));
    ComPtr<IDirect3DVertexBuffer8> stream;
    UINT stride = 0;
    ASSERT_EQ(device_->GetStreamSource(0, stream.Receive(), &stride), D3D_OK);
    EXPECT_EQ(stream.Get(), buffer.Get());
    EXPECT_EQ(stride, 32u);
    D3DMATRIX world{};
    ASSERT_EQ(device_->GetTransform(D3DTS_WORLD, &world), D3D_OK);
    EXPECT_EQ(world._11, 1.0f);  // captured the identity
    BOOL enabled = TRUE;
    EXPECT_EQ(device_->GetLightEnable(3, &enabled), D3D_OK);  // captured "no light": disabled
    EXPECT_EQ(enabled, FALSE);
}

TEST_F(StateTest, CreatedBlocksCaptureTheirKindOfState) {
    CreateGameDevice();
    DWORD all = 0, pixel = 0, vertex = 0;
    ASSERT_EQ(device_->CreateStateBlock(D3DSBT_ALL, &all), D3D_OK);
    ASSERT_EQ(device_->CreateStateBlock(D3DSBT_PIXELSTATE, &pixel), D3D_OK);
    ASSERT_EQ(device_->CreateStateBlock(D3DSBT_VERTEXSTATE, &vertex), D3D_OK);
    const auto change = [&] {
        device_->SetRenderState(D3DRS_ALPHABLENDENABLE, TRUE);
        device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);
        device_->SetVertexShader(D3DFVF_XYZRHW | D3DFVF_DIFFUSE);
    };
    change();
    ASSERT_EQ(device_->ApplyStateBlock(pixel), D3D_OK);
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(FALSE));
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_NONE));
    change();
    ASSERT_EQ(device_->ApplyStateBlock(vertex), D3D_OK);
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_ALPHABLENDENABLE), static_cast<DWORD>(TRUE));
    EXPECT_EQ(RenderState(device_.Get(), D3DRS_CULLMODE), static_cast<DWORD>(D3DCULL_CCW));
    change();
    ASSERT_EQ(device_->ApplyStateBlock(all), D3D_OK);
    ExpectDefaults(device_.Get());
}

TEST_F(StateTest, ResetDeletesStateBlocks) {
    CreateGameDevice();
    DWORD block = 0;
    ASSERT_EQ(device_->CreateStateBlock(D3DSBT_ALL, &block), D3D_OK);
    ASSERT_EQ(device_->BeginStateBlock(), D3D_OK);
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
    EXPECT_EQ(device_->ApplyStateBlock(block), D3DERR_INVALIDCALL);
    DWORD token = 0;
    EXPECT_EQ(device_->EndStateBlock(&token), D3DERR_INVALIDCALL);  // recording ended too
}

TEST_F(StateTest, LightsDefaultWhenEnabledUnsetAndAreLimitedToEight) {
    CreateGameDevice();
    ASSERT_EQ(device_->LightEnable(20, TRUE), D3D_OK);
    D3DLIGHT8 light{};
    ASSERT_EQ(device_->GetLight(20, &light), D3D_OK);
    EXPECT_EQ(light.Type, D3DLIGHT_DIRECTIONAL);
    EXPECT_EQ(light.Diffuse.r, 1.0f);
    EXPECT_EQ(light.Direction.z, 1.0f);
    for (DWORD index = 0; index < 7; ++index) ASSERT_EQ(device_->LightEnable(index, TRUE), D3D_OK);
    EXPECT_EQ(device_->LightEnable(7, TRUE), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->LightEnable(20, TRUE), D3D_OK);  // already counted
    ASSERT_EQ(device_->LightEnable(0, FALSE), D3D_OK);
    EXPECT_EQ(device_->LightEnable(7, TRUE), D3D_OK);
}

TEST_F(StateTest, MultiplyTransformPutsTheNewMatrixFirst) {
    CreateGameDevice();
    D3DMATRIX translate = IdentityMatrix();
    translate._41 = 5.0f;
    D3DMATRIX scale = IdentityMatrix();
    scale._11 = 2.0f;
    ASSERT_EQ(device_->SetTransform(D3DTS_VIEW, &scale), D3D_OK);
    ASSERT_EQ(device_->MultiplyTransform(D3DTS_VIEW, &translate), D3D_OK);
    D3DMATRIX view{};
    ASSERT_EQ(device_->GetTransform(D3DTS_VIEW, &view), D3D_OK);
    EXPECT_EQ(view._41, 10.0f);  // translate, then scale
    EXPECT_EQ(view._11, 2.0f);
}

}  // namespace
}  // namespace valmere::d3d8::test
