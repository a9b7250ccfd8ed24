// Device profiles: caps, accepted formats and display modes that tests pick
// to emulate other adapters.
#include "tests/platform/d3d8/DeviceFixture.h"

namespace valmere::d3d8::test {
namespace {

using ProfileTest = DeviceTest;

HRESULT TryTexture(IDirect3DDevice8* device, UINT width, UINT height, UINT levels, DWORD usage = 0,
                   D3DFORMAT format = D3DFMT_A8R8G8B8, D3DPOOL pool = D3DPOOL_MANAGED) {
    ComPtr<IDirect3DTexture8> texture;
    return device->CreateTexture(width, height, levels, usage, format, pool, texture.Receive());
}

TEST_F(ProfileTest, DefaultAdapterIsCapable) {
    CreateGameDevice();
    D3DCAPS8 caps{};
    ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_EQ(caps.TextureCaps & (D3DPTEXTURECAPS_POW2 | D3DPTEXTURECAPS_SQUAREONLY), 0u);
    EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_MIPMAP, 0u);
    EXPECT_NE(caps.SrcBlendCaps & D3DPBLENDCAPS_SRCALPHA, 0u);
    EXPECT_NE(caps.DestBlendCaps & D3DPBLENDCAPS_INVSRCALPHA, 0u);
    D3DDISPLAYMODE mode{};
    ASSERT_EQ(device_->GetDisplayMode(&mode), D3D_OK);
    EXPECT_EQ(mode.Width, 800u);
    EXPECT_EQ(mode.Format, D3DFMT_R5G6B5);
    for (D3DFORMAT format : {D3DFMT_A8R8G8B8, D3DFMT_X8R8G8B8, D3DFMT_L8, D3DFMT_A8, D3DFMT_DXT1, D3DFMT_DXT5})
        EXPECT_EQ(direct3D_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE, format), D3D_OK)
            << format;
    EXPECT_EQ(direct3D_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE, D3DFMT_R8G8B8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(direct3D_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_VOLUMETEXTURE, D3DFMT_DXT1),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(direct3D_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, D3DUSAGE_DYNAMIC, D3DRTYPE_TEXTURE,
                                           D3DFMT_A8R8G8B8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(TryTexture(device_.Get(), 300, 200, 0), D3D_OK);
}

TEST_F(ProfileTest, PowerOfTwoAdaptersRejectOtherSizes) {
    SelectDeviceProfile(PowerOfTwoOnly(DefaultDeviceProfile()));
    CreateGameDevice();
    EXPECT_EQ(TryTexture(device_.Get(), 300, 200, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(TryTexture(device_.Get(), 512, 256, 0), D3D_OK);
    ComPtr<IDirect3DCubeTexture8> cube;
    EXPECT_EQ(device_->CreateCubeTexture(12, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, cube.Receive()),
              D3DERR_INVALIDCALL);
}

TEST_F(ProfileTest, ConditionalNonPowerOfTwoAllowsSingleLevels) {
    SelectDeviceProfile(ConditionalNonPowerOfTwo(DefaultDeviceProfile()));
    CreateGameDevice();
    EXPECT_EQ(TryTexture(device_.Get(), 300, 200, 1), D3D_OK);
    EXPECT_EQ(TryTexture(device_.Get(), 300, 200, 0), D3DERR_INVALIDCALL);
}

TEST_F(ProfileTest, SquareOnlyAndMipmapLessAdapters) {
    SelectDeviceProfile(WithoutMipmaps(SquareOnly(DefaultDeviceProfile())));
    CreateGameDevice();
    EXPECT_EQ(TryTexture(device_.Get(), 256, 64, 1), D3DERR_INVALIDCALL);
    EXPECT_EQ(TryTexture(device_.Get(), 64, 64, 2), D3DERR_INVALIDCALL);
    ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(device_->CreateTexture(64, 64, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, texture.Receive()), D3D_OK);
    EXPECT_EQ(texture->GetLevelCount(), 1u);
}

TEST_F(ProfileTest, MissingFormatsAndDynamicTextures) {
    SelectDeviceProfile(WithDynamicTextures(WithoutFormat(DefaultDeviceProfile(), D3DFMT_A8R8G8B8)));
    CreateGameDevice();
    EXPECT_EQ(direct3D_->CheckDeviceFormat(0, D3DDEVTYPE_HAL, D3DFMT_R5G6B5, 0, D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(TryTexture(device_.Get(), 64, 64, 1), D3DERR_INVALIDCALL);
    D3DCAPS8 caps{};
    ASSERT_EQ(device_->GetDeviceCaps(&caps), D3D_OK);
    EXPECT_NE(caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES, 0u);
    ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(device_->CreateTexture(64, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, D3DPOOL_DEFAULT, texture.Receive()),
              D3D_OK);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3D_OK);  // dynamic memory locks directly
    texture->UnlockRect(0);
    EXPECT_EQ(TryTexture(device_.Get(), 64, 16, 1, D3DUSAGE_DYNAMIC, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED),
              D3DERR_INVALIDCALL);
}

TEST_F(ProfileTest, AdapterWithoutTheGameModeCannotCreateTheDevice) {
    SelectDeviceProfile(WithoutFullscreenMode(DefaultDeviceProfile(), 800, 600, D3DFMT_R5G6B5));
    EXPECT_LT(CreateDevice(), 0);
    EXPECT_FALSE(device_);
}

TEST_F(ProfileTest, TheProfileIsTakenWhenDirect3DIsCreated) {
    direct3D_ = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    SelectDeviceProfile(PowerOfTwoOnly(DefaultDeviceProfile()));
    D3DCAPS8 caps{};
    ASSERT_EQ(direct3D_->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_EQ(caps.TextureCaps & D3DPTEXTURECAPS_POW2, 0u);
    ComPtr<IDirect3D8> later = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
    ASSERT_EQ(later->GetDeviceCaps(0, D3DDEVTYPE_HAL, &caps), D3D_OK);
    EXPECT_NE(caps.TextureCaps & D3DPTEXTURECAPS_POW2, 0u);
}

}  // namespace
}  // namespace valmere::d3d8::test
