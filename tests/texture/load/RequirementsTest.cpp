// Size, level and format fitting against the device profiles.
#include <gtest/gtest.h>

#include <functional>

#include "tests/platform/d3d8/DeviceFixture.h"
#include "texture/D3DXTexture.h"
#include "texture/format/PixelFormat.h"
#include "texture/load/FormatChoice.h"

namespace valmere::test {
namespace {

using d3d8::DeviceProfile;

class RequirementsTest : public d3d8::test::DeviceTest {
protected:
    void On(const DeviceProfile& profile) {
        d3d8::SelectDeviceProfile(profile);
        CreateGameDevice();
    }
};

struct SizeCase {
    const char* name;
    std::function<DeviceProfile(DeviceProfile)> profile;
    UINT width, height, levels;
    UINT wantWidth, wantHeight, wantLevels;
};

TEST_F(RequirementsTest, SizesAndLevelsFollowTheDeviceCaps) {
    const auto same = [](DeviceProfile p) { return p; };
    const SizeCase cases[] = {
        {"defaults", same, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 256, 256, 9},
        {"one default takes the other", same, 64, D3DX_DEFAULT, 0, 64, 64, 7},
        {"zero becomes one", same, 0, 8, 0, 1, 8, 4},
        {"non-power-of-two allowed", same, 300, 200, 0, 300, 200, 9},
        {"power of two only", d3d8::PowerOfTwoOnly, 300, 200, 0, 512, 256, 10},
        {"conditional non-power-of-two", [](DeviceProfile p) {
             p.caps.TextureCaps |= D3DPTEXTURECAPS_NONPOW2CONDITIONAL;
             return p;
         }, 300, 200, 0, 300, 200, 1},
        {"square only", d3d8::SquareOnly, 256, 64, 0, 64, 64, 7},
        {"no mipmaps", d3d8::WithoutMipmaps, 256, 256, 0, 256, 256, 1},
        {"clamped to the maximum", same, 8192, 16, 0, 4096, 16, 13},
        {"three levels stay", same, 256, 256, 3, 256, 256, 3},
        {"too many levels", same, 256, 256, 20, 256, 256, 9},
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.name);
        device_.Reset();
        direct3D_.Reset();
        On(c.profile(d3d8::DefaultDeviceProfile()));
        UINT width = c.width, height = c.height, levels = c.levels;
        D3DFORMAT format = D3DFMT_X8R8G8B8;
        ASSERT_EQ(D3DXCheckTextureRequirements(device_.Get(), &width, &height, &levels, 0, &format, D3DPOOL_MANAGED),
                  S_OK);
        EXPECT_EQ(width, c.wantWidth);
        EXPECT_EQ(height, c.wantHeight);
        EXPECT_EQ(levels, c.wantLevels);
        EXPECT_EQ(format, D3DFMT_X8R8G8B8);
    }
}

TEST_F(RequirementsTest, FormatIsTheClosestTheDeviceAccepts) {
    struct Case {
        D3DFORMAT wanted;
        std::vector<D3DFORMAT> removed;
        D3DFORMAT chosen;
    };
    const Case cases[] = {
        {D3DFMT_X8R8G8B8, {}, D3DFMT_X8R8G8B8},
        {D3DFMT_UNKNOWN, {}, D3DFMT_A8R8G8B8},
        {D3DFMT_R8G8B8, {}, D3DFMT_X8R8G8B8},  // not offered by the profile; never a substitute
        {D3DFMT_X8R8G8B8, {D3DFMT_X8R8G8B8}, D3DFMT_A8R8G8B8},
        // R5G6B5 loses 3 + 2 + 3 bits, X1R5G5B5 nine.
        {D3DFMT_X8R8G8B8, {D3DFMT_X8R8G8B8, D3DFMT_A8R8G8B8}, D3DFMT_R5G6B5},
        {D3DFMT_DXT1, {D3DFMT_DXT1}, D3DFMT_A8R8G8B8},
        {D3DFMT_L8, {D3DFMT_L8}, D3DFMT_X8R8G8B8},  // same channel widths, no extra channel
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.wanted));
        device_.Reset();
        direct3D_.Reset();
        DeviceProfile profile = d3d8::DefaultDeviceProfile();
        for (D3DFORMAT f : c.removed) profile = d3d8::WithoutFormat(profile, f);
        On(profile);
        D3DFORMAT format = c.wanted;
        ASSERT_EQ(D3DXCheckTextureRequirements(device_.Get(), nullptr, nullptr, nullptr, 0, &format, D3DPOOL_MANAGED),
                  S_OK);
        EXPECT_EQ(format, c.chosen);
    }
    // With every row counting, an exact request is answered at once and the
    // unknown row is never an answer.
    PixelFormatInfo keyed = GetFormatInfo(D3DFMT_R8G8B8);
    keyed.format = D3DFMT_UNKNOWN;
    keyed.channels[1] = 1;
    EXPECT_EQ(ChooseDeviceFormat(nullptr, 0, D3DRTYPE_TEXTURE, keyed), D3DFMT_A8R8G8B8);
    EXPECT_EQ(ChooseDeviceFormat(nullptr, 0, D3DRTYPE_TEXTURE, GetFormatInfo(D3DFMT_R8G8B8)), D3DFMT_R8G8B8);
}

TEST_F(RequirementsTest, CubeVolumeDxtAndScratch) {
    CreateGameDevice();
    UINT size = 100, levels = 0;
    ASSERT_EQ(D3DXCheckCubeTextureRequirements(device_.Get(), &size, &levels, 0, nullptr, D3DPOOL_MANAGED), S_OK);
    EXPECT_EQ(size, 100u);
    EXPECT_EQ(levels, 7u);

    UINT width = 1024, height = 16, depth = 0;
    levels = D3DX_DEFAULT;
    ASSERT_EQ(D3DXCheckVolumeTextureRequirements(device_.Get(), &width, &height, &depth, &levels, 0, nullptr,
                                                 D3DPOOL_MANAGED),
              S_OK);
    EXPECT_EQ(width, 512u);  // MaxVolumeExtent
    EXPECT_EQ(depth, 1u);
    EXPECT_EQ(levels, 10u);

    width = 7;
    height = 2;
    D3DFORMAT format = D3DFMT_DXT1;
    ASSERT_EQ(D3DXCheckTextureRequirements(device_.Get(), &width, &height, nullptr, 0, &format, D3DPOOL_MANAGED), S_OK);
    EXPECT_EQ(width, 8u);
    EXPECT_EQ(height, 4u);

    // Scratch checks nothing against the device.
    width = 9000;
    format = D3DFMT_UNKNOWN;
    ASSERT_EQ(D3DXCheckTextureRequirements(device_.Get(), &width, nullptr, nullptr, 0, &format, D3DPOOL_SCRATCH), S_OK);
    EXPECT_EQ(width, 9000u);
    EXPECT_EQ(format, D3DFMT_A8R8G8B8);
}

TEST_F(RequirementsTest, BadArgumentsWriteNothing) {
    d3d8::SelectDeviceProfile(d3d8::DefaultDeviceProfile());
    CreateGameDevice();
    UINT width = 33;
    D3DFORMAT format = D3DFMT_X8R8G8B8;
    struct Case {
        IDirect3DDevice8* device;
        DWORD usage;
        D3DPOOL pool;
        HRESULT expected;
    };
    const Case cases[] = {
        {nullptr, 0, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
        {device_.Get(), 0x10, D3DPOOL_MANAGED, D3DERR_INVALIDCALL},
        {device_.Get(), 0, static_cast<D3DPOOL>(4), D3DERR_INVALIDCALL},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(D3DXCheckTextureRequirements(c.device, &width, nullptr, nullptr, c.usage, &format, c.pool),
                  c.expected);
        EXPECT_EQ(width, 33u);
        EXPECT_EQ(format, D3DFMT_X8R8G8B8);
    }
    // A device without any texture format has nothing to offer.
    device_.Reset();
    direct3D_.Reset();
    DeviceProfile bare = d3d8::DefaultDeviceProfile();
    for (d3d8::FormatSupport& row : bare.formats) row.resourceTypes &= ~d3d8::ResourceBit(D3DRTYPE_TEXTURE);
    On(bare);
    EXPECT_EQ(D3DXCheckTextureRequirements(device_.Get(), &width, nullptr, nullptr, 0, &format, D3DPOOL_MANAGED),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(width, 33u);

    IDirect3DTexture8* untouched = reinterpret_cast<IDirect3DTexture8*>(0x1);
    EXPECT_EQ(D3DXCreateTexture(device_.Get(), 16, 16, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &untouched),
              D3DERR_NOTAVAILABLE);
    EXPECT_EQ(untouched, reinterpret_cast<IDirect3DTexture8*>(0x1));
    EXPECT_EQ(D3DXCreateTexture(nullptr, 16, 16, 1, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &untouched),
              D3DERR_INVALIDCALL);
}

TEST_F(RequirementsTest, CreateTextureUsesTheFittedValues) {
    d3d8::SelectDeviceProfile(d3d8::PowerOfTwoOnly(d3d8::DefaultDeviceProfile()));
    CreateGameDevice();
    ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(D3DXCreateTexture(device_.Get(), 300, 200, 0, D3DX_DEFAULT, D3DFMT_R8G8B8, D3DPOOL_MANAGED,
                                texture.Receive()),
              S_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 512u);
    EXPECT_EQ(desc.Height, 256u);
    EXPECT_EQ(desc.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 10u);
}

}  // namespace
}  // namespace valmere::test
