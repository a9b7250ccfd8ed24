// Drawing through the device: known geometry, presented by the headless
// host, compared with the pixels Direct3D's rules give.
#include <cstring>

#include "tests/platform/d3d8/DeviceFixture.h"

namespace valmere::d3d8::test {
namespace {

struct ColoredVertex {
    float x, y, z, rhw;
    D3DCOLOR color;
};

struct TexturedVertex {
    float x, y, z, rhw;
    float u, v;
};

constexpr DWORD kColoredFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE;
constexpr DWORD kTexturedFvf = D3DFVF_XYZRHW | D3DFVF_TEX1;
constexpr std::uint32_t kBlue = 0x0000FF;
constexpr std::uint32_t kRed = 0xFF0000;
constexpr std::uint32_t kGreen = 0x00FF00;

class DrawTest : public DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        D3DPRESENT_PARAMETERS parameters = GameParameters();
        parameters.Windowed = TRUE;
        parameters.BackBufferWidth = 64;
        parameters.BackBufferHeight = 64;
        parameters.BackBufferFormat = D3DFMT_X8R8G8B8;
        parameters.AutoDepthStencilFormat = D3DFMT_D24S8;
        ASSERT_EQ(CreateDevice(parameters), D3D_OK);
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    }

    void DrawRectangle(float left, float top, float right, float bottom, float z, D3DCOLOR color) {
        const ColoredVertex fan[4] = {{left, top, z, 1, color},
                                      {right, top, z, 1, color},
                                      {right, bottom, z, 1, color},
                                      {left, bottom, z, 1, color}};
        ASSERT_EQ(device_->SetVertexShader(kColoredFvf), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(ColoredVertex)), D3D_OK);
    }

    std::uint32_t Pixel(int x, int y) const { return host_->LastFramePixel(x, y); }
    void PresentFrame() { ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK); }

    // A 4x4 managed texture of one colour.
    ComPtr<IDirect3DTexture8> SolidTexture(D3DCOLOR color) {
        auto texture = MakeTexture(4, 4, 1, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED);
        Fill(texture.Get(), color);
        return texture;
    }
    static void Fill(IDirect3DTexture8* texture, D3DCOLOR color) {
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] = color;
        texture->UnlockRect(0);
    }
    // A textured rectangle sampling the texture bound to stage 0.
    void DrawTexturedRectangle(float left, float top, float right, float bottom) {
        const TexturedVertex fan[4] = {
            {left, top, 0, 1, 0, 0}, {right, top, 0, 1, 1, 0}, {right, bottom, 0, 1, 1, 1}, {left, bottom, 0, 1, 0, 1}};
        ASSERT_EQ(device_->SetVertexShader(kTexturedFvf), D3D_OK);
        ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(TexturedVertex)), D3D_OK);
    }
};

TEST_F(DrawTest, RectangleCoversThePixelsWhoseCentresAreInside) {
    DrawRectangle(8, 8, 24, 16, 0.5f, 0xFFFF0000);
    PresentFrame();
    ASSERT_EQ(host_->LastFrameWidth(), 64);
    for (int y = 6; y < 18; ++y)
        for (int x = 6; x < 26; ++x) {
            const bool inside = x >= 8 && x < 24 && y >= 8 && y < 16;  // top-left rule
            EXPECT_EQ(Pixel(x, y), inside ? kRed : kBlue) << x << "," << y;
        }
}

TEST_F(DrawTest, TexturedQuadMapsOneTexelPerPixel) {
    ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(device_->CreateTexture(4, 4, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, texture.Receive()), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] =
                0xFF000000u | static_cast<std::uint32_t>(x * 0x40) << 16 | static_cast<std::uint32_t>(y * 0x40) << 8;
    texture->UnlockRect(0);

    // Texel centres sit at half-integer coordinates: shift the quad by half a
    // pixel so texel (i, j) lands on pixel (32 + i, 40 + j).
    const TexturedVertex fan[4] = {{31.5f, 39.5f, 0, 1, 0, 0},
                                   {35.5f, 39.5f, 0, 1, 1, 0},
                                   {35.5f, 43.5f, 0, 1, 1, 1},
                                   {31.5f, 43.5f, 0, 1, 0, 1}};
    ASSERT_EQ(device_->SetTexture(0, texture.Get()), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(kTexturedFvf), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(TexturedVertex)), D3D_OK);
    PresentFrame();
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_EQ(Pixel(32 + x, 40 + y), static_cast<std::uint32_t>(x * 0x40) << 16 |
                                                 static_cast<std::uint32_t>(y * 0x40) << 8)
                << x << "," << y;
    EXPECT_EQ(Pixel(31, 40), kBlue);
    EXPECT_EQ(Pixel(36, 43), kBlue);

    // A texture changed after a draw is sampled anew by the next one.
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, 0), D3D_OK);
    static_cast<std::uint32_t*>(locked.pBits)[0] = 0xFF00FF00u;
    texture->UnlockRect(0);
    ASSERT_EQ(device_->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, fan, sizeof(TexturedVertex)), D3D_OK);
    PresentFrame();
    EXPECT_EQ(Pixel(32, 40), kGreen);
}

TEST_F(DrawTest, NearerSurfacesHideFartherOnesAndClearResetsDepth) {
    DrawRectangle(0, 0, 32, 32, 0.25f, 0xFF00FF00);
    DrawRectangle(16, 16, 48, 48, 0.75f, 0xFFFF0000);
    PresentFrame();
    EXPECT_EQ(Pixel(20, 20), kGreen);  // the far red rectangle fails the depth test
    EXPECT_EQ(Pixel(40, 40), kRed);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_ZBUFFER, 0, 1.0f, 0), D3D_OK);
    DrawRectangle(16, 16, 48, 48, 0.75f, 0xFFFF0000);
    PresentFrame();
    EXPECT_EQ(Pixel(20, 20), kRed);
}

TEST_F(DrawTest, VertexBufferDrawsUseTheTransforms) {
    struct Vertex {
        float x, y, z;
        D3DCOLOR color;
    };
    // With identity transforms positions are clip coordinates: this triangle
    // pair covers the right half of the viewport.
    const Vertex strip[4] = {{0, 1, 0.5f, 0xFFFF0000}, {1, 1, 0.5f, 0xFFFF0000}, {0, -1, 0.5f, 0xFFFF0000},
                             {1, -1, 0.5f, 0xFFFF0000}};
    ComPtr<IDirect3DVertexBuffer8> buffer;
    ASSERT_EQ(device_->CreateVertexBuffer(sizeof strip, D3DUSAGE_WRITEONLY, D3DFVF_XYZ | D3DFVF_DIFFUSE,
                                          D3DPOOL_MANAGED, buffer.Receive()),
              D3D_OK);
    BYTE* data = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
    std::memcpy(data, strip, sizeof strip);
    buffer->Unlock();
    ASSERT_EQ(device_->SetRenderState(D3DRS_LIGHTING, FALSE), D3D_OK);
    ASSERT_EQ(device_->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE), D3D_OK);
    ASSERT_EQ(device_->SetVertexShader(D3DFVF_XYZ | D3DFVF_DIFFUSE), D3D_OK);
    ASSERT_EQ(device_->SetStreamSource(0, buffer.Get(), sizeof(Vertex)), D3D_OK);
    ASSERT_EQ(device_->DrawPrimitive(D3DPT_TRIANGLESTRIP, 0, 2), D3D_OK);
    PresentFrame();
    EXPECT_EQ(Pixel(40, 10), kRed);
    EXPECT_EQ(Pixel(63, 63), kRed);
    EXPECT_EQ(Pixel(20, 10), kBlue);
}

// Draws may be queued until the frame is seen (with more than one render
// thread): what each draw read, and what the caller sees, stay as drawing at
// once gives them.
TEST_F(DrawTest, QueuedDrawsSeeTheirTexturesAsTheyWereAndTheCallerSeesEveryDraw) {
    auto texture = SolidTexture(0xFFFF0000);
    ASSERT_EQ(device_->SetTexture(0, texture.Get()), D3D_OK);
    DrawTexturedRectangle(0, 0, 32, 32);
    // Changed between two draws that read it.
    Fill(texture.Get(), 0xFF00FF00);
    DrawTexturedRectangle(32, 0, 64, 32);
    // Released while a queued draw still reads it.
    auto doomed = SolidTexture(0xFFFFFF00);
    ASSERT_EQ(device_->SetTexture(0, doomed.Get()), D3D_OK);
    DrawTexturedRectangle(0, 32, 32, 64);
    ASSERT_EQ(device_->SetTexture(0, nullptr), D3D_OK);
    doomed.Reset();
    // A copy of the back buffer shows every draw so far.
    ComPtr<IDirect3DSurface8> back, copy;
    ASSERT_EQ(device_->GetBackBuffer(0, D3DBACKBUFFER_TYPE_MONO, back.Receive()), D3D_OK);
    ASSERT_EQ(device_->CreateImageSurface(64, 64, D3DFMT_X8R8G8B8, copy.Receive()), D3D_OK);
    ASSERT_EQ(device_->CopyRects(back.Get(), nullptr, 0, copy.Get(), nullptr), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(copy->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto at = [&](int x, int y) {
        return reinterpret_cast<const std::uint32_t*>(static_cast<const std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] &
               0xFFFFFFu;
    };
    EXPECT_EQ(at(10, 10), kRed);
    EXPECT_EQ(at(50, 10), kGreen);
    EXPECT_EQ(at(10, 50), 0xFFFF00u);
    EXPECT_EQ(at(50, 50), kBlue);
    copy->UnlockRect();
    PresentFrame();
    EXPECT_EQ(Pixel(10, 10), kRed);
    EXPECT_EQ(Pixel(50, 10), kGreen);
    EXPECT_EQ(Pixel(10, 50), 0xFFFF00u);
}

// A reset with draws queued: the queued work is finished or dropped with the
// old buffers, and the next frame draws as on a new device.
TEST_F(DrawTest, ResetWithDrawsQueuedStartsAFreshFrame) {
    DrawRectangle(0, 0, 64, 64, 0.5f, 0xFFFF0000);
    D3DPRESENT_PARAMETERS parameters = parameters_;
    ASSERT_EQ(device_->Reset(&parameters), D3D_OK);
    ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, 0xFF0000FF, 1.0f, 0), D3D_OK);
    DrawRectangle(8, 8, 24, 16, 0.5f, 0xFF00FF00);
    PresentFrame();
    EXPECT_EQ(Pixel(10, 10), kGreen);
    EXPECT_EQ(Pixel(40, 40), kBlue);
}

}  // namespace
}  // namespace valmere::d3d8::test
