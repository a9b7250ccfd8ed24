// Without the tool's own options, a texture is what D3DXCreateTextureFromFileEx
// makes of the file, byte for byte, wherever a device would give it the same
// size: the tool runs the D3DX blitter and mip rules without a device.
#include "tests/tools/valmere-texture/ToolTestSupport.h"
#include "texture/D3DXTexture.h"
#include "tools/valmere-texture/DdsWriter.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

Rgba Gradient(UINT x, UINT y) {
    return {static_cast<BYTE>(x * 7 + y), static_cast<BYTE>(y * 9), static_cast<BYTE>((x ^ y) * 13), 255};
}

Rgba Noise(UINT x, UINT y) {
    const UINT h = (x * 73856093u) ^ (y * 19349663u);
    return {static_cast<BYTE>(h), static_cast<BYTE>(h >> 8), static_cast<BYTE>(h >> 16), static_cast<BYTE>(h >> 24)};
}

TEST(ToolAgainstD3dx, DefaultLevelsAreTheD3dxTextureByteForByte) {
    const std::string dir = TempDir("texture-tool-d3dx");
    WriteFile(dir + "/gradient.bmp", Bmp24(32, 16, Gradient));
    WriteFile(dir + "/noise.tga", Tga(16, 16, 32, Noise));
    WriteFile(dir + "/grey.tga", Tga(8, 24, 8, Noise));
    struct Case {
        const char* file;
        std::string options;  // the tool's; D3DX gets the same values
        D3DFORMAT format;
        DWORD filter, mipFilter;
        UINT levels, width, height;
        D3DCOLOR colorKey;
    };
    const Case cases[] = {
        {"gradient.bmp", "", D3DFMT_UNKNOWN, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, 0},
        {"gradient.bmp", "--format R5G6B5", D3DFMT_R5G6B5, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, 0},
        {"gradient.bmp", "--format DXT1", D3DFMT_DXT1, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0, 0},
        {"noise.tga", "--format DXT5 --color-key 045D4E6F", D3DFMT_DXT5, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, 0,
         0x045D4E6F},  // pixel (1, 0)
        {"noise.tga", "--format A4R4G4B4 --mip-filter triangle", D3DFMT_A4R4G4B4, D3DX_DEFAULT, D3DX_FILTER_TRIANGLE,
         D3DX_DEFAULT, 0, 0, 0},
        {"noise.tga", "--format DXT3 --filter linear --mip-filter linear --levels 3", D3DFMT_DXT3, D3DX_FILTER_LINEAR,
         D3DX_FILTER_LINEAR, 3, 0, 0, 0},
        {"gradient.bmp", "--width 16 --height 8 --filter box", D3DFMT_UNKNOWN, D3DX_FILTER_BOX, D3DX_DEFAULT,
         D3DX_DEFAULT, 16, 8, 0},
        {"grey.tga", "--format DXT1 --mip-filter point", D3DFMT_DXT1, D3DX_DEFAULT, D3DX_FILTER_POINT, D3DX_DEFAULT, 0,
         0, 0},
    };
    HeadlessDevice device;
    ASSERT_EQ(device.Create(), S_OK);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " " + c.options);
        const std::string in = dir + "/" + c.file, out = dir + "/tool.dds";
        const ToolRun run = RunTool(dir, c.options + " " + in + " " + out);
        ASSERT_EQ(run.exitCode, 0) << run.err;
        EXPECT_EQ(run.err, "");
        IDirect3DTexture8* raw = nullptr;
        ASSERT_EQ(D3DXCreateTextureFromFileExA(device.Get(), in.c_str(), c.width ? c.width : D3DX_DEFAULT,
                                               c.height ? c.height : D3DX_DEFAULT, c.levels, 0, c.format,
                                               D3DPOOL_MANAGED, c.filter, c.mipFilter, c.colorKey, nullptr, nullptr,
                                               &raw),
                  S_OK);
        const auto texture = ComPtr<IDirect3DTexture8>::Adopt(raw);
        tools::TextureData d3dx;
        ASSERT_EQ(ReadTexture(texture.Get(), d3dx), S_OK);
        Bytes expected;
        ASSERT_TRUE(tools::BuildDdsFile(d3dx, false, expected));
        EXPECT_EQ(ReadFile(out).value_or(Bytes{}), expected);
    }
}

}  // namespace
}  // namespace valmere::test
