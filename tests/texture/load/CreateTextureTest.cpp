// Textures from image files: formats, palettes and colour keys, device
// profiles, pools, the file and memory entry points, and their refusals.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/platform/d3d8/DeviceFixture.h"
#include "tests/texture/load/LoadTestSupport.h"
#include "texture/D3DXTexture.h"

namespace valmere::test {
namespace {

constexpr std::uint32_t kKey = 0xFF00FF00;

// A 24-bit image with a green key pixel on every fourth pixel of the diagonal.
std::uint32_t Pattern(UINT x, UINT y) {
    if (x == y && x % 4 == 0) return kKey & 0xFFFFFF;
    return ((x * 16) & 0xFF) << 16 | ((y * 16) & 0xFF) << 8 | 0x40;
}

class CreateTextureTest : public d3d8::test::DeviceTest {
protected:
    void On(const d3d8::DeviceProfile& profile) {
        device_.Reset();
        direct3D_.Reset();
        d3d8::SelectDeviceProfile(profile);
        CreateGameDevice();
    }
    void SetUp() override {
        DeviceTest::SetUp();
        CreateGameDevice();
    }
    HRESULT FromMemory(const Bytes& file, ComPtr<IDirect3DTexture8>& texture, UINT width = D3DX_DEFAULT,
                       UINT height = D3DX_DEFAULT, D3DFORMAT format = D3DFMT_UNKNOWN, D3DPOOL pool = D3DPOOL_MANAGED,
                       DWORD usage = 0, D3DCOLOR key = 0, PALETTEENTRY* palette = nullptr,
                       DWORD filter = D3DX_DEFAULT, DWORD mipFilter = D3DX_DEFAULT) {
        return D3DXCreateTextureFromFileInMemoryEx(device_.Get(), file.data(), static_cast<UINT>(file.size()), width,
                                                   height, D3DX_DEFAULT, usage, format, pool, filter, mipFilter, key,
                                                   nullptr, palette, texture.Receive());
    }
    static D3DSURFACE_DESC Desc(IDirect3DTexture8* texture, UINT level = 0) {
        D3DSURFACE_DESC desc{};
        texture->GetLevelDesc(level, &desc);
        return desc;
    }
};

// Files of today's tools (one of each kind from the fuzz corpus) become
// textures of the format D3DXGetImageInfo reports (or the device's stand-in
// for it), at least their own size.
TEST_F(CreateTextureTest, TodaysFileKindsBecomeTexturesOfTheirReportedFormat) {
    for (const char* name : {"dds/dx10bc7odd.dds", "dds/dx10bc6hu.dds", "dds/ati1.dds", "dds/ati2.dds",
                             "dds/dx10bc5s.dds", "dds/dx10rgba.dds", "dds/dx10cube.dds", "bmp/rgba4444.bmp",
                             "bmp/rgb111110.bmp", "bmp/gapoffset.bmp", "tga/greyalpha.tga", "tga/rgb16noalpha.tga",
                             "ppm/p5wide.pgm", "ppm/p2.pgm", "jpg/cmyk.jpg", "jpg/ycck.jpg"}) {
        std::ifstream in(std::string(VALMERE_IMAGE_CORPUS_DIR) + "/" + name, std::ios::binary);
        const Bytes file((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        ASSERT_FALSE(file.empty()) << name;
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<UINT>(file.size()), &info), S_OK) << name;
        if (info.ResourceType == D3DRTYPE_CUBETEXTURE) {
            ComPtr<IDirect3DCubeTexture8> cube;
            EXPECT_EQ(D3DXCreateCubeTextureFromFileInMemory(device_.Get(), file.data(), static_cast<UINT>(file.size()),
                                                            cube.Receive()),
                      S_OK)
                << name;
            continue;
        }
        ComPtr<IDirect3DTexture8> texture;
        ASSERT_EQ(FromMemory(file, texture, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, 0, nullptr,
                             D3DX_FILTER_NONE),
                  S_OK)
            << name;
        // The reported format, or the device's stand-in for it (24-bit
        // formats become X8R8G8B8), as for a file of that format.
        D3DFORMAT expected = info.Format;
        ASSERT_EQ(D3DXCheckTextureRequirements(device_.Get(), nullptr, nullptr, nullptr, 0, &expected, D3DPOOL_MANAGED),
                  S_OK);
        const D3DSURFACE_DESC desc = Desc(texture.Get());
        EXPECT_EQ(desc.Format, expected) << name;
        EXPECT_GE(desc.Width, info.Width) << name;
        EXPECT_GE(desc.Height, info.Height) << name;
    }
}

TEST_F(CreateTextureTest, A24BitBitmapBecomesAFullChainOfX8R8G8B8) {
    const Bytes file = Bmp24(64, 32, Pattern);
    ComPtr<IDirect3DTexture8> texture;
    ASSERT_EQ(D3DXCreateTextureFromFileInMemory(device_.Get(), file.data(), static_cast<UINT>(file.size()),
                                                texture.Receive()),
              S_OK);
    EXPECT_EQ(Desc(texture.Get()).Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(texture->GetLevelCount(), 7u);
    const auto top = ReadLevel(texture.Get(), 0);
    for (UINT y = 0; y < 32; ++y)
        for (UINT x = 0; x < 64; ++x) ASSERT_EQ(top[y * 64 + x], 0xFF000000u | Pattern(x, y)) << x << "," << y;
    // The last level is the box mean of everything: one colour, 1 by 1.
    EXPECT_EQ(ReadLevel(texture.Get(), 6).size(), 1u);
}

TEST_F(CreateTextureTest, ColourKeysOnTwentyFourBitAndPalettizedFiles) {
    // 24-bit: the key asks for alpha, and keyed pixels become transparent black.
    ComPtr<IDirect3DTexture8> keyed;
    ASSERT_EQ(FromMemory(Bmp24(16, 16, Pattern), keyed, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0,
                         kKey),
              S_OK);
    EXPECT_EQ(Desc(keyed.Get()).Format, D3DFMT_A8R8G8B8);
    const auto pixels = ReadLevel(keyed.Get(), 0);
    EXPECT_EQ(pixels[0], 0u);
    EXPECT_EQ(pixels[4 * 16 + 4], 0u);
    EXPECT_EQ(pixels[1], 0xFF000000u | Pattern(1, 0));

    // 8-bit: opaque entries widen to X8R8G8B8; keying one entry makes it
    // transparent black and the texture A8R8G8B8.
    std::vector<std::uint32_t> palette(256);
    for (UINT i = 0; i < 256; ++i) palette[i] = i * 0x010101u;
    palette[7] = 0x00FF00;
    const Bytes file = Bmp8(8, 8, palette, [](UINT x, UINT y) { return (x + y) % 8; });
    ComPtr<IDirect3DTexture8> opaque, keyedPalette;
    ASSERT_EQ(FromMemory(file, opaque), S_OK);
    EXPECT_EQ(Desc(opaque.Get()).Format, D3DFMT_X8R8G8B8);
    ASSERT_EQ(FromMemory(file, keyedPalette, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, kKey),
              S_OK);
    EXPECT_EQ(Desc(keyedPalette.Get()).Format, D3DFMT_A8R8G8B8);
    const auto indexed = ReadLevel(keyedPalette.Get(), 0);
    EXPECT_EQ(indexed[7], 0u);                 // (7 + 0) % 8 is the keyed entry
    EXPECT_EQ(indexed[1], 0xFF010101u);
    // A key of 0 keys nothing.
    ComPtr<IDirect3DTexture8> unkeyed;
    ASSERT_EQ(FromMemory(file, unkeyed, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0, 0), S_OK);
    EXPECT_EQ(ReadLevel(unkeyed.Get(), 0)[0], 0xFF000000u);

    // With a palette out, the palettized format stays and the entries come back.
    PALETTEENTRY out[256] = {};
    ComPtr<IDirect3DTexture8> p8;
    ASSERT_EQ(FromMemory(file, p8, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_P8, D3DPOOL_SCRATCH, 0, kKey, out), S_OK);
    EXPECT_EQ(Desc(p8.Get()).Format, D3DFMT_P8);
    EXPECT_EQ(out[7].peGreen, 0);
    EXPECT_EQ(out[3].peRed, 3);
}

TEST_F(CreateTextureTest, EveryDeviceProfileGetsATextureItCanUse) {
    struct Case {
        const char* name;
        d3d8::DeviceProfile profile;
        UINT width, height, levels;
        D3DFORMAT format;
    };
    const auto base = d3d8::DefaultDeviceProfile();
    const Case cases[] = {
        {"capable", base, 48, 20, 6, D3DFMT_X8R8G8B8},
        {"power of two", d3d8::PowerOfTwoOnly(base), 64, 32, 7, D3DFMT_X8R8G8B8},
        {"conditional", d3d8::ConditionalNonPowerOfTwo(base), 64, 32, 7, D3DFMT_X8R8G8B8},
        {"square", d3d8::SquareOnly(base), 20, 20, 5, D3DFMT_X8R8G8B8},
        {"no mipmaps", d3d8::WithoutMipmaps(base), 48, 20, 1, D3DFMT_X8R8G8B8},
        {"no X8R8G8B8", d3d8::WithoutFormat(base, D3DFMT_X8R8G8B8), 48, 20, 6, D3DFMT_A8R8G8B8},
        {"dynamic", d3d8::WithDynamicTextures(base), 48, 20, 6, D3DFMT_X8R8G8B8},
    };
    const Bytes file = Bmp24(48, 20, Pattern);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        On(c.profile);
        ComPtr<IDirect3DTexture8> texture;
        ASSERT_EQ(FromMemory(file, texture), S_OK);
        const D3DSURFACE_DESC desc = Desc(texture.Get());
        EXPECT_EQ(desc.Width, c.width);
        EXPECT_EQ(desc.Height, c.height);
        EXPECT_EQ(desc.Format, c.format);
        EXPECT_EQ(texture->GetLevelCount(), c.levels);
        // Scaled, not cropped: the mean colour is the image's.
        const auto pixels = ReadLevel(texture.Get(), 0);
        for (int shift : {0, 8, 16}) {
            double texels = 0.0, image = 0.0;
            for (std::uint32_t p : pixels) texels += (p >> shift) & 0xFF;
            for (UINT y = 0; y < 20; ++y)
                for (UINT x = 0; x < 48; ++x) image += (Pattern(x, y) >> shift) & 0xFF;
            EXPECT_NEAR(texels / pixels.size(), image / (48 * 20), 4.0) << shift;
        }
    }
}

TEST_F(CreateTextureTest, DefaultPoolIsLoadedThroughSystemMemoryUnlessDynamic) {
    const Bytes file = Bmp24(16, 16, Pattern);
    ComPtr<IDirect3DTexture8> managed, target;
    ASSERT_EQ(FromMemory(file, managed), S_OK);
    ASSERT_EQ(FromMemory(file, target, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT), S_OK);
    EXPECT_EQ(Desc(target.Get()).Pool, D3DPOOL_DEFAULT);
    for (UINT level = 0; level < managed->GetLevelCount(); ++level)
        EXPECT_EQ(ReadLevel(target.Get(), level), ReadLevel(managed.Get(), level)) << level;
    const auto top = ReadLevel(target.Get(), 0);
    target.Reset();
    managed.Reset();

    On(d3d8::WithDynamicTextures(d3d8::DefaultDeviceProfile()));
    ComPtr<IDirect3DTexture8> dynamic;
    ASSERT_EQ(FromMemory(file, dynamic, D3DX_DEFAULT, D3DX_DEFAULT, D3DFMT_UNKNOWN, D3DPOOL_DEFAULT, D3DUSAGE_DYNAMIC),
              S_OK);
    EXPECT_EQ(Desc(dynamic.Get()).Usage, D3DUSAGE_DYNAMIC);
    EXPECT_EQ(ReadLevel(dynamic.Get(), 0), top);
}

TEST_F(CreateTextureTest, FiltersDecideWhereTheSmallerLevelsComeFrom) {
    const Bytes file = Bmp24(16, 16, Pattern);
    // Filter NONE always takes the mip filter pass; a LINEAR mip filter with a
    // scaling filter scales every level from the file's own level instead.
    ComPtr<IDirect3DTexture8> filtered, scaled;
    ASSERT_EQ(FromMemory(file, filtered, 16, 16, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, 0, 0, nullptr, D3DX_FILTER_NONE,
                         D3DX_FILTER_POINT),
              S_OK);
    ASSERT_EQ(FromMemory(file, scaled, 16, 16, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, 0, 0, nullptr, D3DX_FILTER_POINT,
                         D3DX_FILTER_LINEAR),
              S_OK);
    // Point-chained from level 0 and pointed directly from the file pick the same texels.
    for (UINT level = 1; level < 5; ++level) EXPECT_EQ(ReadLevel(filtered.Get(), level), ReadLevel(scaled.Get(), level));
}

TEST_F(CreateTextureTest, FilesAndRefusals) {
    const auto folder = std::filesystem::temp_directory_path() / "valmere-create-texture-test";
    std::filesystem::create_directories(folder);
    const std::string path = (folder / "image.bmp").string();
    const Bytes file = Bmp24(8, 8, Pattern);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(file.data()),
                                                static_cast<std::streamsize>(file.size()));
    ComPtr<IDirect3DTexture8> texture;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device_.Get(), path.c_str(), texture.Receive()), S_OK);
    const std::wstring wide(path.begin(), path.end());
    EXPECT_EQ(D3DXCreateTextureFromFileW(device_.Get(), wide.c_str(), texture.Receive()), S_OK);
    D3DXIMAGE_INFO info{};
    EXPECT_EQ(D3DXCreateTextureFromFileExA(device_.Get(), path.c_str(), 0, 0, 1, 0, D3DFMT_UNKNOWN, D3DPOOL_MANAGED,
                                           D3DX_DEFAULT, D3DX_DEFAULT, 0, &info, nullptr, texture.Receive()),
              S_OK);
    EXPECT_EQ(info.Width, 8u);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);

    IDirect3DTexture8* untouched = reinterpret_cast<IDirect3DTexture8*>(0x10);
    const Bytes garbage(100, 0x42);
    struct Case {
        const char* name;
        HRESULT result;
        HRESULT expected;
    };
    const Case cases[] = {
        {"null name", D3DXCreateTextureFromFileA(device_.Get(), nullptr, &untouched), D3DERR_INVALIDCALL},
        {"missing file", D3DXCreateTextureFromFileA(device_.Get(), (folder / "none.bmp").c_str(), &untouched),
         D3DXERR_INVALIDDATA},
        {"not an image", D3DXCreateTextureFromFileInMemory(device_.Get(), garbage.data(), 100, &untouched),
         D3DXERR_INVALIDDATA},
        {"null device", D3DXCreateTextureFromFileInMemory(nullptr, file.data(), 100, &untouched), D3DERR_INVALIDCALL},
        {"zero size", D3DXCreateTextureFromFileInMemory(device_.Get(), file.data(), 0, &untouched), D3DERR_INVALIDCALL},
        {"null out", D3DXCreateTextureFromFileInMemory(device_.Get(), file.data(), 100, nullptr), D3DERR_INVALIDCALL},
        {"no resource", D3DXCreateTextureFromResourceA(device_.Get(), nullptr, "image", &untouched),
         D3DXERR_INVALIDDATA},
        {"bad pool",
         D3DXCreateTextureFromFileInMemoryEx(device_.Get(), file.data(), static_cast<UINT>(file.size()), 0, 0, 0, 0,
                                             D3DFMT_UNKNOWN, static_cast<D3DPOOL>(9), D3DX_DEFAULT, D3DX_DEFAULT, 0,
                                             nullptr, nullptr, &untouched),
         D3DERR_INVALIDCALL},
        {"bad filter",
         D3DXCreateTextureFromFileInMemoryEx(device_.Get(), file.data(), static_cast<UINT>(file.size()), 0, 0, 0, 0,
                                             D3DFMT_UNKNOWN, D3DPOOL_MANAGED, 0x80006, D3DX_DEFAULT, 0, nullptr,
                                             nullptr, &untouched),
         D3DERR_INVALIDCALL},
        {"not a cube", [&] {
             IDirect3DCubeTexture8* cube = nullptr;
             const HRESULT hr = D3DXCreateCubeTextureFromFileInMemory(device_.Get(), file.data(),
                                                                      static_cast<UINT>(file.size()), &cube);
             return cube == nullptr ? hr : S_OK;
         }(), E_FAIL},
    };
    for (const Case& c : cases) EXPECT_EQ(c.result, c.expected) << c.name;
    EXPECT_EQ(untouched, reinterpret_cast<IDirect3DTexture8*>(0x10));
    std::filesystem::remove_all(folder);
}

TEST_F(CreateTextureTest, VolumeTexturesFromFlatFiles) {
    const Bytes file = Bmp24(8, 4, Pattern);
    ComPtr<IDirect3DVolumeTexture8> volume;
    ASSERT_EQ(D3DXCreateVolumeTextureFromFileInMemory(device_.Get(), file.data(), static_cast<UINT>(file.size()),
                                                      volume.Receive()),
              S_OK);
    D3DVOLUME_DESC desc{};
    ASSERT_EQ(volume->GetLevelDesc(0, &desc), S_OK);
    EXPECT_EQ(desc.Width, 8u);
    EXPECT_EQ(desc.Depth, 1u);
    EXPECT_EQ(volume->GetLevelCount(), 4u);
}

}  // namespace
}  // namespace valmere::test
