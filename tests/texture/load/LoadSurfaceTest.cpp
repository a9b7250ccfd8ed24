// D3DXLoadSurfaceFromMemory / FromSurface and the volume loads on the
// software device: arguments, rectangles, pools, and stray writes.
#include <gtest/gtest.h>

#include "tests/platform/d3d8/DeviceFixture.h"
#include "tests/texture/load/LoadTestSupport.h"
#include "texture/D3DXTexture.h"

namespace valmere::test {
namespace {

class LoadSurfaceTest : public d3d8::test::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateGameDevice();
    }
    ComPtr<IDirect3DSurface8> Level(IDirect3DTexture8* texture, UINT level = 0) {
        ComPtr<IDirect3DSurface8> surface;
        EXPECT_EQ(texture->GetSurfaceLevel(level, surface.Receive()), S_OK);
        return surface;
    }
    static std::vector<std::uint32_t> Pattern(UINT width, UINT height) {
        std::vector<std::uint32_t> pixels(width * height);
        for (UINT i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | (i * 0x010305u);
        return pixels;
    }
};

TEST_F(LoadSurfaceTest, BadArgumentsAreRefused) {
    auto texture = MakeTexture(8, 8, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    auto surface = Level(texture.Get());
    const auto pixels = Pattern(8, 8);
    const RECT whole{0, 0, 8, 8}, outside{0, 0, 9, 8}, inverted{4, 0, 2, 8}, negative{-1, 0, 4, 4};
    struct Case {
        IDirect3DSurface8* surface;
        const void* memory;
        const RECT* destination;
        const RECT* source;
        DWORD filter;
    };
    const Case cases[] = {
        {nullptr, pixels.data(), nullptr, &whole, D3DX_DEFAULT},
        {surface.Get(), nullptr, nullptr, &whole, D3DX_DEFAULT},
        {surface.Get(), pixels.data(), nullptr, nullptr, D3DX_DEFAULT},
        {surface.Get(), pixels.data(), &outside, &whole, D3DX_DEFAULT},
        {surface.Get(), pixels.data(), &inverted, &whole, D3DX_DEFAULT},
        {surface.Get(), pixels.data(), nullptr, &negative, D3DX_DEFAULT},
        {surface.Get(), pixels.data(), nullptr, &whole, 0x80006},
        {surface.Get(), pixels.data(), nullptr, &whole, 0x100005},
    };
    for (const Case& c : cases)
        EXPECT_EQ(D3DXLoadSurfaceFromMemory(c.surface, nullptr, c.destination, c.memory, D3DFMT_A8R8G8B8, 32, nullptr,
                                            c.source, c.filter, 0),
                  D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromSurface(nullptr, nullptr, nullptr, surface.Get(), nullptr, nullptr, D3DX_DEFAULT, 0),
              D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, pixels.data(), static_cast<D3DFORMAT>(0x4242),
                                        32, nullptr, &whole, D3DX_DEFAULT, 0),
              E_FAIL);
}

TEST_F(LoadSurfaceTest, ARectangleLoadWritesOnlyInsideIt) {
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_R5G6B5, D3DFMT_DXT1, D3DFMT_DXT5}) {
        auto texture = MakeTexture(16, 16, 1, format, D3DPOOL_MANAGED);
        auto surface = Level(texture.Get());
        const auto white = std::vector<std::uint32_t>(16 * 16, 0xFFFFFFFFu);
        const RECT whole{0, 0, 16, 16};
        ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, white.data(), D3DFMT_A8R8G8B8, 64,
                                            nullptr, &whole, D3DX_FILTER_NONE, 0),
                  S_OK);
        const auto black = std::vector<std::uint32_t>(16 * 16, 0xFF000000u);
        const RECT target{5, 3, 11, 9};
        ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, &target, black.data(), D3DFMT_A8R8G8B8, 64,
                                            nullptr, &whole, D3DX_FILTER_TRIANGLE, 0),
                  S_OK);
        const auto pixels = ReadSurface(surface.Get());
        for (UINT y = 0; y < 16; ++y)
            for (UINT x = 0; x < 16; ++x) {
                const bool inside = x >= 5 && x < 11 && y >= 3 && y < 9;
                EXPECT_EQ(pixels[y * 16 + x], inside ? 0xFF000000u : 0xFFFFFFFFu) << format << " " << x << "," << y;
            }
    }
}

// A source rectangle without pixels: the unfiltered crop encodes transparent
// black, the resampling filters have nothing to sample and decline, leaving
// the destination as it was.
TEST_F(LoadSurfaceTest, AnEmptySourceRectangleResamplesNothing) {
    auto texture = MakeTexture(4, 4, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    auto surface = Level(texture.Get());
    const auto pixels = Pattern(4, 4);
    const RECT whole{0, 0, 4, 4}, noWidth{2, 0, 2, 4}, noHeight{0, 3, 4, 3};
    const struct {
        DWORD filter;
        HRESULT expected;
    } cases[] = {{D3DX_FILTER_NONE, S_OK},       {D3DX_FILTER_POINT, E_FAIL}, {D3DX_FILTER_LINEAR, E_FAIL},
                 {D3DX_FILTER_TRIANGLE, E_FAIL}, {D3DX_FILTER_BOX, E_FAIL}};
    for (const RECT* empty : {&noWidth, &noHeight}) {
        for (const auto& c : cases) {
            ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, pixels.data(), D3DFMT_A8R8G8B8, 16,
                                                nullptr, &whole, D3DX_FILTER_NONE, 0),
                      S_OK);
            EXPECT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, pixels.data(), D3DFMT_A8R8G8B8, 16,
                                                nullptr, empty, c.filter, 0),
                      c.expected)
                << "filter " << c.filter;
            const auto read = ReadSurface(surface.Get());
            EXPECT_EQ(read, c.expected == S_OK ? std::vector<std::uint32_t>(16, 0u) : pixels) << "filter " << c.filter;
        }
    }
}

TEST_F(LoadSurfaceTest, DefaultPoolSurfacesAreLoadedThroughACopy) {
    auto texture = MakeTexture(8, 8, 2, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT);
    auto surface = Level(texture.Get());
    const auto pixels = Pattern(8, 8);
    const RECT whole{0, 0, 8, 8}, part{2, 2, 6, 6};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, pixels.data(), D3DFMT_A8R8G8B8, 32, nullptr,
                                        &whole, D3DX_FILTER_NONE, 0),
              S_OK);
    // A partial load keeps what is outside it (the copy is filled first).
    const std::vector<std::uint32_t> red(16, 0xFFFF0000u);
    const RECT four{0, 0, 4, 4};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, &part, red.data(), D3DFMT_A8R8G8B8, 16, nullptr, &four,
                                        D3DX_FILTER_NONE, 0),
              S_OK);
    const auto read = ReadSurface(surface.Get());
    for (UINT y = 0; y < 8; ++y)
        for (UINT x = 0; x < 8; ++x) {
            const bool inside = x >= 2 && x < 6 && y >= 2 && y < 6;
            EXPECT_EQ(read[y * 8 + x], inside ? 0xFFFF0000u : pixels[y * 8 + x]);
        }
}

TEST_F(LoadSurfaceTest, SurfaceToSurfaceCopiesScalesAndOverlaps) {
    auto texture = MakeTexture(8, 8, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    auto surface = Level(texture.Get());
    const auto pixels = Pattern(8, 8);
    const RECT whole{0, 0, 8, 8};
    ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, pixels.data(), D3DFMT_A8R8G8B8, 32, nullptr,
                                        &whole, D3DX_FILTER_NONE, 0),
              S_OK);
    // Onto itself, overlapping: the source is read before anything is written.
    const RECT from{0, 0, 6, 6}, to{2, 2, 8, 8};
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(surface.Get(), nullptr, &to, surface.Get(), nullptr, &from, D3DX_FILTER_BOX, 0),
              S_OK);
    const auto moved = ReadSurface(surface.Get());
    for (UINT y = 2; y < 8; ++y)
        for (UINT x = 2; x < 8; ++x) EXPECT_EQ(moved[y * 8 + x], pixels[(y - 2) * 8 + (x - 2)]);

    auto small = MakeTexture(4, 4, 1, D3DFMT_R5G6B5, D3DPOOL_SYSTEMMEM);
    auto smallSurface = Level(small.Get());
    ASSERT_EQ(D3DXLoadSurfaceFromSurface(smallSurface.Get(), nullptr, nullptr, surface.Get(), nullptr, nullptr,
                                         D3DX_FILTER_POINT, 0),
              S_OK);
    const auto scaled = ReadSurface(smallSurface.Get());
    EXPECT_EQ(scaled[0] & 0xF8FCF8u, moved[0] & 0xF8FCF8u);
    EXPECT_EQ(scaled[5] & 0xF8FCF8u, moved[2 * 8 + 2] & 0xF8FCF8u);
}

TEST_F(LoadSurfaceTest, VolumesLoadFromMemoryAndFromVolumes) {
    ComPtr<IDirect3DVolumeTexture8> texture;
    ASSERT_EQ(device_->CreateVolumeTexture(4, 4, 4, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive()), S_OK);
    ComPtr<IDirect3DVolume8> top, next;
    ASSERT_EQ(texture->GetVolumeLevel(0, top.Receive()), S_OK);
    ASSERT_EQ(texture->GetVolumeLevel(1, next.Receive()), S_OK);
    std::vector<std::uint32_t> voxels(64);
    for (UINT i = 0; i < 64; ++i) voxels[i] = 0xFF000000u | (i / 16) * 0x40;  // blue rises with the slice
    const D3DBOX whole{0, 0, 4, 4, 0, 4};
    ASSERT_EQ(D3DXLoadVolumeFromMemory(top.Get(), nullptr, nullptr, voxels.data(), D3DFMT_A8R8G8B8, 16, 64, nullptr,
                                       &whole, D3DX_FILTER_NONE, 0),
              S_OK);
    ASSERT_EQ(D3DXLoadVolumeFromVolume(next.Get(), nullptr, nullptr, top.Get(), nullptr, nullptr, D3DX_FILTER_BOX, 0),
              S_OK);
    D3DLOCKED_BOX locked{};
    ASSERT_EQ(next->LockBox(&locked, nullptr, D3DLOCK_READONLY), S_OK);
    const auto* slice1 = reinterpret_cast<const std::uint32_t*>(static_cast<BYTE*>(locked.pBits) + locked.SlicePitch);
    EXPECT_EQ(*static_cast<const std::uint32_t*>(locked.pBits), 0xFF000020u);  // slices 0 and 1: (0 + 64) / 2
    EXPECT_EQ(*slice1, 0xFF0000A0u);                                           // slices 2 and 3: (128 + 192) / 2
    next->UnlockBox();
    EXPECT_EQ(D3DXLoadVolumeFromMemory(top.Get(), nullptr, nullptr, voxels.data(), D3DFMT_A8R8G8B8, 16, 64, nullptr,
                                       nullptr, D3DX_FILTER_NONE, 0),
              D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace valmere::test
