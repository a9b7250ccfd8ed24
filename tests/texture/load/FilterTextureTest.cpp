// D3DXFilterTexture: chaining, default filters, faces, and its refusals.
#include <gtest/gtest.h>

#include <random>

#include "math/CpuFeatures.h"
#include "tests/platform/d3d8/DeviceFixture.h"
#include "tests/texture/load/LoadTestSupport.h"
#include "texture/D3DXTexture.h"

namespace valmere::test {
namespace {

class FilterTextureTest : public d3d8::test::DeviceTest {
protected:
    void SetUp() override {
        DeviceTest::SetUp();
        CreateGameDevice();
    }
    // Level 0 filled with noise.
    void FillTop(IDirect3DTexture8* texture, std::uint32_t seed) {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(0, &desc);
        D3DLOCKED_RECT rect{};
        ASSERT_EQ(texture->LockRect(0, &rect, nullptr, 0), S_OK);
        std::mt19937 random(seed);
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x)
                reinterpret_cast<std::uint32_t*>(static_cast<BYTE*>(rect.pBits) + y * rect.Pitch)[x] =
                    static_cast<std::uint32_t>(random());
        texture->UnlockRect(0);
    }
};

UINT ByteOf(std::uint32_t v, int i) { return (v >> (8 * i)) & 0xFF; }

TEST_F(FilterTextureTest, BoxChainMakesEachLevelFromTheOneAbove) {
    auto texture = MakeTexture(256, 64, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED);
    ASSERT_EQ(texture->GetLevelCount(), 9u);
    FillTop(texture.Get(), 1);
    ASSERT_EQ(D3DXFilterTexture(texture.Get(), nullptr, 0, D3DX_FILTER_BOX), S_OK);
    const bool simd = math::HasMmx() != 0;
    for (UINT level = 1; level < 9; ++level) {
        D3DSURFACE_DESC above{}, desc{};
        texture->GetLevelDesc(level - 1, &above);
        texture->GetLevelDesc(level, &desc);
        D3DLOCKED_RECT a{}, b{};
        ASSERT_EQ(texture->LockRect(level - 1, &a, nullptr, D3DLOCK_READONLY), S_OK);
        ASSERT_EQ(texture->LockRect(level, &b, nullptr, D3DLOCK_READONLY), S_OK);
        const auto px = [](const D3DLOCKED_RECT& r, UINT x, UINT y) {
            return reinterpret_cast<const std::uint32_t*>(static_cast<const BYTE*>(r.pBits) + y * r.Pitch)[x];
        };
        for (UINT y = 0; y < desc.Height; ++y)
            for (UINT x = 0; x < desc.Width; ++x) {
                const UINT y1 = above.Height > 1 ? 2 * y + 1 : 2 * y;
                const std::uint32_t s[4] = {px(a, 2 * x, 2 * y), px(a, 2 * x + 1, 2 * y), px(a, 2 * x, y1),
                                            px(a, 2 * x + 1, y1)};
                for (int c = 0; c < 3; ++c) {
                    const UINT sum = ByteOf(s[0], c) + ByteOf(s[1], c) + ByteOf(s[2], c) + ByteOf(s[3], c);
                    // From a source of height 1 the codecs average (within one step).
                    EXPECT_NEAR(static_cast<double>(ByteOf(px(b, x, y), c)), (sum + 2) / 4, above.Height > 1 ? 0 : 1)
                        << "level " << level;
                }
                const UINT top = ByteOf(px(b, x, y), 3);
                if (above.Height > 1 && !(simd && above.Width % 4 == 0)) {
                    EXPECT_EQ(top, 0u);
                }
            }
        texture->UnlockRect(level);
        texture->UnlockRect(level - 1);
    }
}

TEST_F(FilterTextureTest, DefaultFilterOfANonPowerOfTwoTextureIsTheTriangleFromTheSource) {
    auto a = MakeTexture(300, 200, 4, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    auto b = MakeTexture(300, 200, 4, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    FillTop(a.Get(), 2);
    FillTop(b.Get(), 2);
    ASSERT_EQ(D3DXFilterTexture(a.Get(), nullptr, D3DX_DEFAULT, D3DX_DEFAULT), S_OK);
    ASSERT_EQ(D3DXFilterTexture(b.Get(), nullptr, 0, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER), S_OK);
    for (UINT level = 1; level < 4; ++level) EXPECT_EQ(ReadLevel(a.Get(), level), ReadLevel(b.Get(), level));
    // Without chaining, level 2 comes from level 0, not from level 1.
    auto c = MakeTexture(300, 200, 4, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    FillTop(c.Get(), 2);
    ASSERT_EQ(D3DXFilterTexture(c.Get(), nullptr, 0, D3DX_FILTER_TRIANGLE | D3DX_FILTER_DITHER), S_OK);
    EXPECT_EQ(ReadLevel(c.Get(), 2), ReadLevel(b.Get(), 2));
}

TEST_F(FilterTextureTest, CubeFacesFilterWithMirroring) {
    ComPtr<IDirect3DCubeTexture8> cube;
    ASSERT_EQ(device_->CreateCubeTexture(8, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, cube.Receive()), S_OK);
    auto plain = MakeTexture(8, 8, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    FillTop(plain.Get(), 3);
    ComPtr<IDirect3DSurface8> top;
    ASSERT_EQ(plain->GetSurfaceLevel(0, top.Receive()), S_OK);
    for (int face = 0; face < 6; ++face) {
        ComPtr<IDirect3DSurface8> surface;
        ASSERT_EQ(cube->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face), 0, surface.Receive()), S_OK);
        ASSERT_EQ(D3DXLoadSurfaceFromSurface(surface.Get(), nullptr, nullptr, top.Get(), nullptr, nullptr,
                                             D3DX_FILTER_NONE, 0),
                  S_OK);
    }
    ASSERT_EQ(D3DXFilterTexture(cube.Get(), nullptr, 0, D3DX_FILTER_TRIANGLE), S_OK);
    ASSERT_EQ(D3DXFilterTexture(plain.Get(), nullptr, 0, D3DX_FILTER_TRIANGLE | D3DX_FILTER_MIRROR), S_OK);
    ComPtr<IDirect3DSurface8> face5;
    ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Z, 1, face5.Receive()), S_OK);
    EXPECT_EQ(ReadSurface(face5.Get()), ReadLevel(plain.Get(), 1));
}

// Default-pool levels are reached through a lockable copy; a compressed
// level smaller than a block (here 2x2 and 1x1) is one whole block, which
// the copy takes in both directions, so the chain filters and loads as in
// the managed pool.
TEST_F(FilterTextureTest, DefaultPoolLevelsSmallerThanABlockFilterLikeManagedOnes) {
    std::vector<std::uint32_t> managedLevels[4];
    for (D3DPOOL pool : {D3DPOOL_MANAGED, D3DPOOL_DEFAULT}) {
        auto texture = MakeTexture(8, 8, 4, D3DFMT_DXT1, pool);
        ASSERT_TRUE(texture);
        ComPtr<IDirect3DSurface8> top;
        ASSERT_EQ(texture->GetSurfaceLevel(0, top.Receive()), S_OK);
        std::vector<std::uint32_t> noise(64);
        std::mt19937 random(3);
        for (std::uint32_t& p : noise) p = static_cast<std::uint32_t>(random()) | 0xFF000000u;
        const RECT whole{0, 0, 8, 8};
        ASSERT_EQ(D3DXLoadSurfaceFromMemory(top.Get(), nullptr, nullptr, noise.data(), D3DFMT_A8R8G8B8, 32, nullptr,
                                            &whole, D3DX_FILTER_NONE, 0),
                  S_OK);
        ASSERT_EQ(D3DXFilterTexture(texture.Get(), nullptr, 0, D3DX_FILTER_BOX), S_OK) << "pool " << pool;
        for (UINT level = 0; level < 4; ++level) {
            const auto pixels = ReadLevel(texture.Get(), level);
            if (pool == D3DPOOL_MANAGED) {
                managedLevels[level] = pixels;
            } else {
                EXPECT_EQ(pixels, managedLevels[level]) << "level " << level;
            }
        }
        // Loads into the small levels themselves.
        const std::uint32_t red[4] = {0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u, 0xFFFF0000u};
        const RECT two{0, 0, 2, 2};
        for (UINT level : {2u, 3u}) {
            ComPtr<IDirect3DSurface8> surface;
            ASSERT_EQ(texture->GetSurfaceLevel(level, surface.Receive()), S_OK);
            ASSERT_EQ(D3DXLoadSurfaceFromMemory(surface.Get(), nullptr, nullptr, red, D3DFMT_A8R8G8B8, 8, nullptr, &two,
                                                D3DX_FILTER_POINT, 0),
                      S_OK)
                << "pool " << pool << " level " << level;
            for (std::uint32_t p : ReadLevel(texture.Get(), level)) EXPECT_EQ(p, 0xFFFF0000u) << "level " << level;
        }
    }
}

TEST_F(FilterTextureTest, RefusalsAndTheLastLevel) {
    auto texture = MakeTexture(4, 4, 3, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    EXPECT_EQ(D3DXFilterTexture(nullptr, nullptr, 0, D3DX_DEFAULT), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(texture.Get(), nullptr, 3, D3DX_DEFAULT), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXFilterTexture(texture.Get(), nullptr, 2, D3DX_DEFAULT), S_OK);
    EXPECT_EQ(D3DXFilterTexture(texture.Get(), nullptr, 0, 0x100005), D3DERR_INVALIDCALL);
}

}  // namespace
}  // namespace valmere::test
