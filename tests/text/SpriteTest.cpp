// The sprite: creation and queries, Begin/End pairing, the caller's state
// around Begin and End, and the pixels of its quads in both vertex modes.
#include <cmath>

#include "tests/text/TextFixture.h"

namespace valmere::text::test {
namespace {

bool Near(std::uint32_t pixel, std::uint32_t expected, int tolerance = 8) {
    for (int shift = 0; shift < 24; shift += 8) {
        const int a = static_cast<int>((pixel >> shift) & 0xFF), b = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

class SpriteTest : public TextDeviceTest {
protected:
    // Selects the vertex mode through the device profile, then creates the
    // device and a sprite on it.
    void Start(bool pretransformed) {
        d3d8::DeviceProfile profile = d3d8::DefaultDeviceProfile();
        if (pretransformed) profile = d3d8::WithClippedTransformedVertices(profile);
        d3d8::SelectDeviceProfile(profile);
        CreateGameDevice();
        ASSERT_EQ(D3DXCreateSprite(device_.Get(), sprite_.Receive()), S_OK);
    }
    void TearDown() override {
        sprite_.Reset();
        TextDeviceTest::TearDown();
    }
    DWORD RenderState(D3DRENDERSTATETYPE state) {
        DWORD value = 0xDEAD;
        EXPECT_EQ(device_->GetRenderState(state, &value), D3D_OK);
        return value;
    }

    ComPtr<ID3DXSprite> sprite_;
};

class SpriteModeTest : public SpriteTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        SpriteTest::SetUp();
        Start(GetParam());
    }
};

TEST_F(SpriteTest, CreationQueriesAndReferences) {
    CreateGameDevice();
    ID3DXSprite* untouched = reinterpret_cast<ID3DXSprite*>(std::uintptr_t{0x1234});
    EXPECT_EQ(D3DXCreateSprite(nullptr, &untouched), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateSprite(device_.Get(), nullptr), D3DERR_INVALIDCALL);
    for (const char* call : {"GetDeviceCaps", "GetCreationParameters"}) {
        host_->SetCallFails(call, true);
        EXPECT_EQ(D3DXCreateSprite(device_.Get(), &untouched), D3DERR_INVALIDCALL) << call;
        host_->SetCallFails(call, false);
    }
    EXPECT_EQ(untouched, reinterpret_cast<ID3DXSprite*>(std::uintptr_t{0x1234}));

    ASSERT_EQ(D3DXCreateSprite(device_.Get(), sprite_.Receive()), S_OK);
    void* object = nullptr;
    EXPECT_EQ(sprite_->QueryInterface(IID_ID3DXFont, &object), E_NOINTERFACE);
    for (const IID& iid : {IID_IUnknown, IID_ID3DXSprite}) {
        ASSERT_EQ(sprite_->QueryInterface(iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<void*>(sprite_.Get()));
        EXPECT_EQ(sprite_->Release(), 1u);
    }
    EXPECT_EQ(sprite_->QueryInterface(IID_IUnknown, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(sprite_->GetDevice(nullptr), D3DERR_INVALIDCALL);
    ComPtr<IDirect3DDevice8> device;
    ASSERT_EQ(sprite_->GetDevice(device.Receive()), S_OK);
    EXPECT_EQ(device, device_);
    EXPECT_EQ(sprite_->OnResetDevice(), S_OK);
    // The sprite holds the device: releasing the test's references leaves it alive.
    device.Reset();
    device_.Reset();
    ASSERT_EQ(sprite_->GetDevice(device.Receive()), S_OK);
    EXPECT_EQ(device->TestCooperativeLevel(), D3D_OK);
    device_ = device;
}

TEST_P(SpriteModeTest, BeginTwiceAndEndWithoutBeginFailWithoutUndoingTheFirstBegin) {
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    EXPECT_EQ(sprite_->End(), E_FAIL);
    ASSERT_EQ(sprite_->Begin(), S_OK);
    EXPECT_EQ(sprite_->Begin(), E_FAIL);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), DWORD{D3DZB_FALSE});
    EXPECT_EQ(sprite_->End(), S_OK);
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), DWORD{D3DZB_TRUE});
    EXPECT_EQ(sprite_->End(), E_FAIL);
}

// The caller's scene state, set before Begin, is the sprite's inside and the
// caller's again after End: render and stage states, the vertex format, the
// world matrix, texture stage 0 and stream 0.
TEST_P(SpriteModeTest, EndRestoresTheCallersState) {
    const bool pretransformed = GetParam();
    struct StateCase {
        D3DRENDERSTATETYPE state;
        DWORD caller, sprite;
    };
    const StateCase states[] = {
        {D3DRS_ZENABLE, D3DZB_TRUE, D3DZB_FALSE},
        {D3DRS_CULLMODE, D3DCULL_CCW, D3DCULL_NONE},
        {D3DRS_FILLMODE, D3DFILL_WIREFRAME, D3DFILL_SOLID},
        {D3DRS_ALPHABLENDENABLE, FALSE, TRUE},
        {D3DRS_SRCBLEND, D3DBLEND_ONE, D3DBLEND_SRCALPHA},
        {D3DRS_DESTBLEND, D3DBLEND_ZERO, D3DBLEND_INVSRCALPHA},
        // Pretransformed vertices skip lighting, so that mode leaves it alone.
        {D3DRS_LIGHTING, TRUE, pretransformed ? DWORD{TRUE} : DWORD{FALSE}},
    };
    for (const StateCase& c : states) device_->SetRenderState(c.state, c.caller);
    device_->SetTextureStageState(0, D3DTSS_COLOROP, D3DTOP_SELECTARG1);
    device_->SetTextureStageState(1, D3DTSS_COLOROP, D3DTOP_MODULATE);
    device_->SetVertexShader(D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
    D3DXMATRIX world;
    D3DXMatrixTranslation(&world, 1.0f, 2.0f, 3.0f);
    device_->SetTransform(D3DTS_WORLD, &world);
    ComPtr<IDirect3DTexture8> scene = MakeTexture(4, 4, 1, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED);
    device_->SetTexture(0, scene.Get());
    ComPtr<IDirect3DVertexBuffer8> buffer;
    ASSERT_EQ(device_->CreateVertexBuffer(96, 0, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1, D3DPOOL_MANAGED,
                                          buffer.Receive()),
              D3D_OK);
    device_->SetStreamSource(0, buffer.Get(), 32);

    ComPtr<IDirect3DTexture8> tile = FilledTexture(8, 8, D3DFMT_A8R8G8B8, [](UINT, UINT) { return 0xFFFFFFFFu; });
    for (int round = 0; round < 2; ++round) {  // the second Begin reuses the recorded blocks
        ASSERT_EQ(sprite_->Begin(), S_OK);
        for (const StateCase& c : states) EXPECT_EQ(RenderState(c.state), c.sprite) << c.state;
        DWORD fvf = 0, op = 0;
        device_->GetVertexShader(&fvf);
        EXPECT_EQ(fvf, pretransformed ? 0x144u : 0x142u);
        device_->GetTextureStageState(1, D3DTSS_COLOROP, &op);
        EXPECT_EQ(op, DWORD{D3DTOP_DISABLE});
        const D3DXVECTOR2 at(10.0f, 10.0f);
        EXPECT_EQ(sprite_->Draw(tile.Get(), nullptr, nullptr, nullptr, 0.0f, &at, 0xFFFFFFFF), S_OK);
        ASSERT_EQ(sprite_->End(), S_OK);

        for (const StateCase& c : states) EXPECT_EQ(RenderState(c.state), c.caller) << c.state;
        device_->GetVertexShader(&fvf);
        EXPECT_EQ(fvf, D3DFVF_XYZ | D3DFVF_NORMAL | D3DFVF_TEX1);
        device_->GetTextureStageState(0, D3DTSS_COLOROP, &op);
        EXPECT_EQ(op, DWORD{D3DTOP_SELECTARG1});
        device_->GetTextureStageState(1, D3DTSS_COLOROP, &op);
        EXPECT_EQ(op, DWORD{D3DTOP_MODULATE});
        D3DMATRIX restored{};
        device_->GetTransform(D3DTS_WORLD, &restored);
        EXPECT_EQ(D3DXMATRIX(restored), world);
        ComPtr<IDirect3DBaseTexture8> bound;
        device_->GetTexture(0, bound.Receive());
        EXPECT_EQ(bound.Get(), static_cast<IDirect3DBaseTexture8*>(scene.Get()));
        ComPtr<IDirect3DVertexBuffer8> stream;
        UINT stride = 0;
        device_->GetStreamSource(0, stream.Receive(), &stride);
        EXPECT_EQ(stream, buffer);
        EXPECT_EQ(stride, 32u);
    }
}

// Rows 0-11 of the texture are red, rows 12-15 blue: the source rectangle
// (0, 0, 64, 12) gives vMax = 0.75 and shows the red rows only, one texel
// per pixel, wherever the quad is placed.
TEST_P(SpriteModeTest, SourceRectangleShowsOnlyItsRows) {
    ComPtr<IDirect3DTexture8> texture =
        FilledTexture(64, 16, D3DFMT_X8R8G8B8, [](UINT, UINT y) { return y < 12 ? 0xFFFF0000u : 0xFF0000FFu; });
    const RECT source{0, 0, 64, 12};
    const D3DXVECTOR2 at(100.0f, 50.0f);
    RenderFrame([&] {
        EXPECT_EQ(sprite_->Draw(texture.Get(), &source, nullptr, nullptr, 0.0f, &at, 0xFFFFFFFF), S_OK);
    });
    EXPECT_EQ(ChangedBox(), (PixelBox{100, 50, 164, 62}));
    for (int y = 50; y < 62; ++y)
        for (int x = 100; x < 164; ++x) ASSERT_TRUE(Near(Pixel(x, y), 0xFF0000)) << x << "," << y;
}

TEST_P(SpriteModeTest, TransformsPlaceTheQuad) {
    ComPtr<IDirect3DTexture8> texture = FilledTexture(8, 4, D3DFMT_X8R8G8B8, [](UINT, UINT) { return 0xFFFFFFFFu; });
    struct Case {
        const char* name;
        D3DXVECTOR2 scaling, center;
        float rotation;
        D3DXVECTOR2 translation;
        bool scaled, centred;
        PixelBox box;
    };
    const Case cases[] = {
        {"translation", {}, {}, 0.0f, {10, 20}, false, false, {10, 20, 18, 24}},
        {"scaling", {2, 3}, {}, 0.0f, {10, 20}, true, false, {10, 20, 26, 32}},
        // A quarter turn about (0, 0): +x turns to screen-up (counter-clockwise).
        {"rotation", {}, {}, D3DX_PI / 2, {40, 40}, false, false, {40, 32, 44, 40}},
        {"rotation about the centre", {}, {4, 2}, D3DX_PI, {0, 0}, false, true, {0, 0, 8, 4}},
        {"negative position", {}, {}, 0.0f, {-3, -2}, false, false, {0, 0, 5, 2}},
    };
    for (const Case& c : cases) {
        RenderFrame([&] {
            EXPECT_EQ(sprite_->Draw(texture.Get(), nullptr, c.scaled ? &c.scaling : nullptr,
                                    c.centred ? &c.center : nullptr, c.rotation, &c.translation, 0xFFFFFFFF),
                      S_OK);
        });
        EXPECT_EQ(ChangedBox(), c.box) << c.name;
    }
}

INSTANTIATE_TEST_SUITE_P(BothModes, SpriteModeTest, ::testing::Bool(),
                         [](const auto& mode) { return mode.param ? "Pretransformed" : "Untransformed"; });

// Translucency decides blending: the colour's alpha or a texture format
// with alpha switches it on for the quad; an opaque colour over an opaque
// format switches it off. Devices without source-alpha blending use the
// alpha test instead.
TEST_F(SpriteTest, BlendingFollowsTheColourAndTheFormat) {
    struct Case {
        bool canBlend;
        D3DFORMAT format;
        D3DCOLOR color;
        bool translucent;
    };
    const Case cases[] = {
        {true, D3DFMT_R5G6B5, 0xFFFFFFFF, false},   {true, D3DFMT_X8R8G8B8, 0xFF808080, false},
        {true, D3DFMT_R5G6B5, 0x80FFFFFF, true},    {true, D3DFMT_A8R8G8B8, 0xFFFFFFFF, true},
        {true, D3DFMT_A4R4G4B4, 0xFFFFFFFF, true},  {false, D3DFMT_R5G6B5, 0xFFFFFFFF, false},
        {false, D3DFMT_A8R8G8B8, 0xFFFFFFFF, true},
    };
    for (const Case& c : cases) {
        d3d8::DeviceProfile profile = d3d8::DefaultDeviceProfile();
        if (!c.canBlend) profile.caps.SrcBlendCaps &= ~D3DPBLENDCAPS_SRCALPHA;
        d3d8::SelectDeviceProfile(profile);
        sprite_.Reset();
        CreateGameDevice();
        ASSERT_EQ(D3DXCreateSprite(device_.Get(), sprite_.Receive()), S_OK);
        ComPtr<IDirect3DTexture8> texture = MakeTexture(4, 4, 1, c.format, D3DPOOL_MANAGED);
        const D3DRENDERSTATETYPE decided = c.canBlend ? D3DRS_ALPHABLENDENABLE : D3DRS_ALPHATESTENABLE;
        ASSERT_EQ(sprite_->Begin(), S_OK);
        EXPECT_EQ(sprite_->Draw(texture.Get(), nullptr, nullptr, nullptr, 0.0f, nullptr, c.color), S_OK);
        EXPECT_EQ(RenderState(decided), c.translucent ? DWORD{TRUE} : DWORD{FALSE}) << c.format << " " << c.color;
        if (!c.canBlend) {
            EXPECT_EQ(RenderState(D3DRS_ALPHAFUNC), DWORD{D3DCMP_GREATEREQUAL});
            EXPECT_EQ(RenderState(D3DRS_ALPHAREF), 0x7Fu);
        }
        EXPECT_EQ(sprite_->End(), S_OK);
    }
}

TEST_F(SpriteTest, BadSourceRectanglesAndNullTexturesAreRejected) {
    Start(false);
    ComPtr<IDirect3DTexture8> texture = MakeTexture(64, 16, 1, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED);
    const RECT bad[] = {{-1, 0, 8, 8}, {0, -1, 8, 8}, {9, 0, 8, 8}, {0, 9, 8, 8}, {65, 0, 70, 8}, {0, 17, 8, 20}};
    RenderFrame([&] {
        EXPECT_EQ(sprite_->Draw(nullptr, nullptr, nullptr, nullptr, 0.0f, nullptr, 0xFFFFFFFF), D3DERR_INVALIDCALL);
        EXPECT_EQ(sprite_->DrawTransform(nullptr, nullptr, nullptr, 0xFFFFFFFF), D3DERR_INVALIDCALL);
        for (const RECT& r : bad)
            EXPECT_EQ(sprite_->DrawTransform(texture.Get(), &r, nullptr, 0xFFFFFFFF), D3DERR_INVALIDCALL)
                << r.left << "," << r.top << "," << r.right << "," << r.bottom;
        // Empty and edge rectangles are valid and draw nothing.
        const RECT empty{64, 16, 64, 16};
        EXPECT_EQ(sprite_->DrawTransform(texture.Get(), &empty, nullptr, 0xFFFFFFFF), S_OK);
    });
    EXPECT_TRUE(ChangedBox().empty());
}

TEST_F(SpriteTest, DrawOutsideBeginBracketsItself) {
    Start(false);
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    ComPtr<IDirect3DTexture8> texture = FilledTexture(8, 8, D3DFMT_X8R8G8B8, [](UINT, UINT) { return 0xFF00FF00u; });
    const D3DXVECTOR2 at(5.0f, 6.0f);
    RenderFrame([&] {
        EXPECT_EQ(sprite_->Draw(texture.Get(), nullptr, nullptr, nullptr, 0.0f, &at, 0xFFFFFFFF), S_OK);
    });
    EXPECT_EQ(ChangedBox(), (PixelBox{5, 6, 13, 14}));
    EXPECT_EQ(RenderState(D3DRS_ZENABLE), DWORD{D3DZB_TRUE});
    EXPECT_EQ(sprite_->End(), E_FAIL);
}

// Reset deletes every state block: after OnLostDevice the next Begin records
// them again and the quad looks as before; the caller's state is restored.
TEST_F(SpriteTest, DeviceLossAndResetDrawTheSameQuad) {
    Start(false);
    ComPtr<IDirect3DTexture8> texture =
        FilledTexture(16, 16, D3DFMT_A8R8G8B8, [](UINT x, UINT) { return x < 8 ? 0x80FF8000u : 0xFF00FF80u; });
    const D3DXVECTOR2 at(30.0f, 40.0f);
    auto draw = [&] {
        device_->SetRenderState(D3DRS_LIGHTING, TRUE);
        ASSERT_EQ(sprite_->Begin(), S_OK);
        EXPECT_EQ(sprite_->Draw(texture.Get(), nullptr, nullptr, nullptr, 0.0f, &at, 0xC0FFFFFF), S_OK);
        ASSERT_EQ(sprite_->End(), S_OK);
    };
    RenderFrame(draw, 0x00406080);
    const std::vector<std::uint32_t> before = host_->LastFrame();
    ASSERT_NE(ChangedBox(0x406080), PixelBox{});

    LoseAndReset(*sprite_.Get());
    RenderFrame(draw, 0x00406080);
    EXPECT_EQ(host_->LastFrame(), before);
    EXPECT_EQ(RenderState(D3DRS_LIGHTING), DWORD{TRUE});
}

// The same quads, placed, scaled and turned, give the same pixels whether the
// device is fed untransformed or pretransformed vertices.
TEST_F(SpriteTest, BothModesRenderTheSameQuads) {
    std::vector<std::uint32_t> frames[2];
    for (bool pretransformed : {false, true}) {
        sprite_.Reset();
        Start(pretransformed);
        ComPtr<IDirect3DTexture8> texture = FilledTexture(
            32, 16, D3DFMT_A8R8G8B8, [](UINT x, UINT y) { return 0xFF000000u | (x * 8) << 16 | (y * 16) << 8 | 0x40; });
        const D3DXVECTOR2 at(123.0f, 77.0f), scale(1.5f, 2.0f), centre(16.0f, 8.0f);
        const RECT part{4, 2, 28, 14};
        RenderFrame([&] {
            ASSERT_EQ(sprite_->Begin(), S_OK);
            sprite_->Draw(texture.Get(), nullptr, nullptr, nullptr, 0.0f, &at, 0xFFFFFFFF);
            sprite_->Draw(texture.Get(), &part, &scale, &centre, 0.3f, &scale, 0x80FFFF00);
            ASSERT_EQ(sprite_->End(), S_OK);
        });
        frames[pretransformed ? 1 : 0] = host_->LastFrame();
    }
    ASSERT_FALSE(frames[0].empty());
    EXPECT_EQ(frames[0], frames[1]);
}

}  // namespace
}  // namespace valmere::text::test
