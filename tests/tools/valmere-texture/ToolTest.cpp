// valmere-texture run as a program: files in, DDS and PNG files out, read
// back with the project's readers and with ImageMagick.
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/image/LoadImage.h"
#include "tools/common/RgbaPixels.h"
#include "tools/valmere-texture/DdsWriter.h"
#include "tools/valmere-texture/HeadlessDevice.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>

namespace valmere::test {
namespace {

struct Result {
    int exitCode = -1;
    std::string out;
    std::string err;
};

Result RunTool(const std::string& dir, const std::string& arguments) {
    const std::string command = std::string(VALMERE_TEXTURE_TOOL_PATH) + " " + arguments + " >" + dir +
                                "/stdout.txt 2>" + dir + "/stderr.txt";
    const int status = std::system(command.c_str());
    Result r;
    r.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    const std::optional<Bytes> out = ReadFile(dir + "/stdout.txt");
    const std::optional<Bytes> err = ReadFile(dir + "/stderr.txt");
    r.out.assign(out ? out->begin() : Bytes::const_iterator{}, out ? out->end() : Bytes::const_iterator{});
    r.err.assign(err ? err->begin() : Bytes::const_iterator{}, err ? err->end() : Bytes::const_iterator{});
    return r;
}

// A bottom-up 24-bit BMP; `rgb` gives pixel (x, y) of the top-down picture.
Bytes Bmp24(UINT width, UINT height, const std::function<Rgba(UINT, UINT)>& rgb) {
    ByteWriter w;
    w.Raw(DibHeader(static_cast<int>(width), static_cast<int>(height), 24, 0));
    for (UINT row = height; row-- > 0;) {
        for (UINT x = 0; x < width; ++x) {
            const Rgba p = rgb(x, row);
            w.U8(p.b).U8(p.g).U8(p.r);
        }
        w.Fill((4 - width * 3 % 4) % 4, 0);
    }
    return BmpFile(w.data());
}

// A file read back with the project's readers; the records point into `bytes`.
struct Loaded {
    Bytes bytes;
    DecodedImage image;
    D3DXIMAGE_INFO info{};
};

std::unique_ptr<Loaded> Load(const std::string& path) {
    auto loaded = std::make_unique<Loaded>();
    loaded->bytes = ReadFile(path).value_or(Bytes{});
    EXPECT_EQ(LoadImage(loaded->image, loaded->bytes.data(), loaded->bytes.size(), &loaded->info, true), S_OK)
        << path;
    return loaded;
}

// A level of any format (DXT included) as RGBA through the codecs.
Rgba Decoded(const DecodedImage& image, UINT x, UINT y) {
    LockedPixels locked;
    locked.pixels = const_cast<BYTE*>(image.pixels);
    locked.format = image.format;
    locked.rowPitch = static_cast<INT>(image.rowPitch);
    locked.extent = D3DBOX{0, 0, image.width, image.height, 0, 1};
    locked.region = locked.extent;
    std::vector<BYTE> rgba;
    EXPECT_EQ(tools::DecodeToRgba(locked, 0, rgba), S_OK);
    const BYTE* p = rgba.data() + (std::size_t{y} * image.width + x) * 4;
    return {p[0], p[1], p[2], p[3]};
}

bool Near(const Rgba& a, const Rgba& b, int tolerance) {
    auto close = [tolerance](int u, int v) { return std::abs(u - v) <= tolerance; };
    return close(a.r, b.r) && close(a.g, b.g) && close(a.b, b.b) && close(a.a, b.a);
}

Rgba Gradient(UINT x, UINT y) {
    return {static_cast<BYTE>(x * 32), static_cast<BYTE>(y * 32), static_cast<BYTE>((x + y) * 16), 255};
}

// Each 4x4 block one colour that 5:6:5 holds exactly.
Rgba Blocks(UINT x, UINT y) {
    static const Rgba colours[] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255}, {255, 255, 255, 255}};
    return colours[(y / 4) * 2 + x / 4];
}

const Rgba kFaceColours[6] = {{255, 0, 0, 255}, {0, 255, 0, 255}, {0, 0, 255, 255},
                              {255, 255, 0, 255}, {0, 255, 255, 255}, {255, 0, 255, 255}};

TEST(TextureTool, TwoDimensionalRoundTripWithMipsAndDxt) {
    const std::string dir = TempDir("texture-tool-2d");
    WriteFile(dir + "/gradient.bmp", Bmp24(8, 8, Gradient));
    WriteFile(dir + "/blocks.bmp", Bmp24(8, 8, Blocks));

    // Level 0 unfiltered, the rest box-filtered from it.
    Result r = RunTool(dir, "--info --filter none --levels 0 " + dir + "/gradient.bmp " + dir + "/gradient.dds");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Type 2D\nWidth 8\nHeight 8\nDepth 1\nLevels 4\nFormat X8R8G8B8 (22)\n");
    std::unique_ptr<Loaded> file = Load(dir + "/gradient.dds");
    EXPECT_EQ(file->info.Format, D3DFMT_X8R8G8B8);
    EXPECT_EQ(file->info.MipLevels, 4u);
    const DecodedImage& image = file->image;
    for (UINT y = 0; y < 8; ++y) {
        for (UINT x = 0; x < 8; ++x) {
            ASSERT_EQ(PixelAt(image, x, y), Gradient(x, y)) << x << "," << y;
        }
    }
    const DecodedImage* half = image.nextLevel.get();
    ASSERT_TRUE(half);
    for (UINT y = 0; y < 4; ++y) {
        for (UINT x = 0; x < 4; ++x) {
            int sum[3] = {};
            for (UINT i = 0; i < 4; ++i) {
                const Rgba p = Gradient(2 * x + i % 2, 2 * y + i / 2);
                sum[0] += p.r, sum[1] += p.g, sum[2] += p.b;
            }
            const Rgba box{static_cast<BYTE>(sum[0] / 4), static_cast<BYTE>(sum[1] / 4),
                           static_cast<BYTE>(sum[2] / 4), 255};
            EXPECT_TRUE(Near(PixelAt(*half, x, y), box, 1)) << x << "," << y;
        }
    }

    // The same levels as pictures.
    r = RunTool(dir, "--filter none " + dir + "/gradient.bmp " + dir + "/gradient.png");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (UINT level = 0; level < 4; ++level) {
        EXPECT_TRUE(std::filesystem::exists(dir + "/gradient_l" + std::to_string(level) + ".png")) << level;
    }
    file = Load(dir + "/gradient_l0.png");
    EXPECT_EQ(file->info.Width, 8u);
    EXPECT_EQ(PixelAt(file->image, 5, 3), Gradient(5, 3));

    r = RunTool(dir, "--format DXT1 --levels 3 --mip-filter point " + dir + "/blocks.bmp " + dir + "/blocks.dds");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    file = Load(dir + "/blocks.dds");
    EXPECT_EQ(file->info.Format, D3DFMT_DXT1);
    EXPECT_EQ(file->info.MipLevels, 3u);
    for (UINT y = 0; y < 8; ++y) {
        for (UINT x = 0; x < 8; ++x) {
            ASSERT_EQ(Decoded(file->image, x, y), Blocks(x, y)) << x << "," << y;
        }
    }
}

TEST(TextureTool, CubeRoundTrip) {
    const std::string dir = TempDir("texture-tool-cube");
    {
        tools::HeadlessDevice device;
        ASSERT_EQ(device.Create(), S_OK) << device.FailedCall();
        ComPtr<IDirect3DCubeTexture8> cube;
        ASSERT_EQ(device.Get()->CreateCubeTexture(8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, cube.Receive()), D3D_OK);
        for (UINT face = 0; face < 6; ++face) {
            D3DLOCKED_RECT rect{};
            ASSERT_EQ(cube->LockRect(static_cast<D3DCUBEMAP_FACES>(face), 0, &rect, nullptr, 0), D3D_OK);
            const Rgba c = kFaceColours[face];
            for (UINT y = 0; y < 8; ++y) {
                auto* row = static_cast<DWORD*>(rect.pBits) + y * static_cast<UINT>(rect.Pitch) / 4;
                std::fill(row, row + 8, D3DCOLOR_ARGB(c.a, c.r, c.g, c.b));
            }
            cube->UnlockRect(static_cast<D3DCUBEMAP_FACES>(face), 0);
        }
        ASSERT_EQ(tools::WriteDdsFile(cube.Get(), nullptr, dir + "/in.dds"), S_OK);
    }
    Result r = RunTool(dir, "--info --format DXT5 " + dir + "/in.dds " + dir + "/out.dds");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_EQ(r.out, "Type cube\nWidth 8\nHeight 8\nDepth 1\nLevels 4\nFormat DXT5 (894720068)\n");
    std::unique_ptr<Loaded> file = Load(dir + "/out.dds");
    EXPECT_EQ(file->info.ResourceType, D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(file->info.MipLevels, 4u);
    UINT face = 0;
    for (const DecodedImage* head = &file->image; head; head = head->nextFace.get(), ++face) {
        ASSERT_LT(face, 6u);
        UINT levels = 0;
        for (const DecodedImage* l = head; l; l = l->nextLevel.get(), ++levels) {
            EXPECT_EQ(Decoded(*l, 0, 0), kFaceColours[face]) << "face " << face << " level " << levels;
        }
        EXPECT_EQ(levels, 4u);
    }
    EXPECT_EQ(face, 6u);

    r = RunTool(dir, "--levels 2 " + dir + "/in.dds " + dir + "/out.png");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    file = Load(dir + "/out_l1_f4.png");
    EXPECT_EQ(file->info.Width, 4u);
    EXPECT_EQ(PixelAt(file->image, 1, 2), kFaceColours[4]);
}

TEST(TextureTool, ImageMagickReadsTheDdsFiles) {
    if (!HaveProgram("identify")) {
        GTEST_SKIP() << "ImageMagick identify is not installed";
    }
    const std::string dir = TempDir("texture-tool-imagemagick");
    WriteFile(dir + "/in.bmp", Bmp24(12, 6, Gradient));
    for (const char* format : {"X8R8G8B8", "R5G6B5", "DXT1", "DXT3", "DXT5"}) {
        const Result r = RunTool(dir, std::string("--format ") + format + " " + dir + "/in.bmp " + dir + "/out.dds");
        ASSERT_EQ(r.exitCode, 0) << format << ": " << r.err;
        // DXT sizes round up to whole blocks.
        const std::string size = format[0] == 'D' ? "12x8" : "12x6";
        EXPECT_TRUE(RunCommand("identify -format '%wx%h' " + dir + "/out.dds | grep -qx " + size)) << format;
    }
}

TEST(TextureTool, BadOptionsAndFilesGiveOneLineAndAFailure) {
    const std::string dir = TempDir("texture-tool-bad");
    WriteFile(dir + "/in.bmp", Bmp24(4, 4, Gradient));
    WriteFile(dir + "/junk.bmp", Bytes{'h', 'e', 'l', 'l', 'o'});
    const std::string in = dir + "/in.bmp ";
    const std::string out = dir + "/out.dds";
    struct Case {
        std::string arguments;
        int exitCode;
        const char* problem;  // a piece of the line
    };
    const Case cases[] = {
        {"", 2, "missing INPUT"},
        {in, 2, "missing OUTPUT"},
        {"--frobnicate " + in + out, 2, "unknown option --frobnicate"},
        {"-w 4 " + in + out, 2, "unknown option -w"},
        {"--width " + in + out, 2, "is not a number"},
        {"--width=-3 " + in + out, 2, "--width: \"-3\" is not a number"},
        {"--levels", 2, "--levels needs a value"},
        {"--format DXT9 " + in + out, 2, "no format named \"DXT9\""},
        {"--filter cubic " + in + out, 2, "--filter: \"cubic\" is not a filter"},
        {"--mip-filter 'box|shiny' " + in + out, 2, "--mip-filter: \"box|shiny\""},
        {"--color-key FF00FF00FF " + in + out, 2, "not a hexadecimal ARGB colour"},
        {"--pool video " + in + out, 2, "no pool named \"video\""},
        {"--info=yes " + in + out, 2, "--info takes no value"},
        {in + dir + "/out.jpg", 2, "must end in .dds or .png"},
        {in + out + " extra", 2, "too many files"},
        {dir + "/missing.bmp " + out, 1, "cannot open"},
        {dir + "/junk.bmp " + out, 1, "is not an image file that the readers accept: D3DXERR_INVALIDDATA"},
        {"--format D24S8 " + in + out, 1, "cannot make a 2D texture"},
        {in + dir + "/no/such/dir/out.dds", 1, "cannot write"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const Result r = RunTool(dir, c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, "");
        ASSERT_FALSE(r.err.empty());
        EXPECT_EQ(r.err.find('\n'), r.err.size() - 1) << r.err;  // exactly one line
        EXPECT_EQ(r.err.rfind("valmere-texture: ", 0), 0u) << r.err;
        EXPECT_NE(r.err.find(c.problem), std::string::npos) << r.err;
    }
}

}  // namespace
}  // namespace valmere::test
