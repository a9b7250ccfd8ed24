// BC4 and BC5 against NVIDIA's nvcompress (Debian's libnvtt-bin) on the same
// pixels: the tool's blocks, decoded by the project's reader, must come at
// least as near the image as nvcompress's.
#include "tests/tools/valmere-texture/ToolTestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace valmere::test {
namespace {

// Smooth ramps with noise in red and green; red, green and blue the same
// in the grey picture (BC4), alpha too (nvcompress takes BC4 from alpha).
Rgba Smooth(UINT x, UINT y, bool grey) {
    const UINT h = (x * 2654435761u) ^ (y * 40503u);
    const BYTE r = static_cast<BYTE>(std::clamp(100.0 + 60 * std::sin(x * 0.2) + 20 * std::cos(y * 0.3) + (h % 9), 0.0, 255.0));
    const BYTE g = static_cast<BYTE>(std::clamp(128.0 + 90 * std::sin((x + y) * 0.11) + (h >> 8) % 7, 0.0, 255.0));
    return grey ? Rgba{r, r, r, r} : Rgba{r, g, 0, 255};
}

double SquaredError(const DecodedImage& image, bool grey, UINT size) {
    double sum = 0;
    for (UINT y = 0; y < size; ++y) {
        for (UINT x = 0; x < size; ++x) {
            const Rgba got = PixelAt(image, x, y), want = Smooth(x, y, grey);
            sum += (got.r - want.r) * (got.r - want.r);
            if (!grey) sum += (got.g - want.g) * (got.g - want.g);
        }
    }
    return sum;
}

TEST(TextureToolFormats, Bc4AndBc5AtLeastAsNearAsNvcompress) {
    if (!HaveProgram("nvcompress")) GTEST_SKIP() << "nvcompress (libnvtt-bin) is not installed";
    const std::string dir = TempDir("texture-tool-nvcompress");
    constexpr UINT kSize = 64;
    for (bool grey : {true, false}) {
        SCOPED_TRACE(grey ? "BC4" : "BC5");
        WriteFile(dir + "/in.tga", Tga(kSize, kSize, 32, [grey](UINT x, UINT y) { return Smooth(x, y, grey); }));
        const ToolRun r = RunTool(dir, std::string("--levels 1 --format ") + (grey ? "BC4" : "BC5") + " " + dir +
                                           "/in.tga " + dir + "/ours.dds");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_TRUE(RunCommand(std::string("nvcompress -nomips ") + (grey ? "-bc4 " : "-bc5 ") + dir + "/in.tga " + dir +
                               "/theirs.dds > /dev/null 2>&1"));
        const double ours = SquaredError(Load(dir + "/ours.dds")->image, grey, kSize);
        const double theirs = SquaredError(Load(dir + "/theirs.dds")->image, grey, kSize);
        EXPECT_LE(ours, theirs);
        EXPECT_GT(theirs, 0);
    }
}

// The header each way: "DX10" with the DXGI format (BC4_UNORM 80,
// BC4_SNORM 81, BC5_UNORM 83, BC5_SNORM 84) after the 128 bytes, or the
// FourCC codes readers took before it.
TEST(TextureToolFormats, Bc4AndBc5WithADx10HeaderOrTheLegacyCodes) {
    const std::string dir = TempDir("texture-tool-bc-headers");
    WriteFile(dir + "/in.tga", Tga(8, 8, 32, [](UINT x, UINT y) { return Smooth(x, y, false); }));
    struct Case {
        const char* format;
        UINT dxgi;
        const char* legacyCode;
        UINT blockBytes;
    };
    const Case cases[] = {{"BC4", 80, "ATI1", 8}, {"BC4S", 81, "BC4S", 8}, {"BC5", 83, "ATI2", 16}, {"BC5S", 84, "BC5S", 16}};
    auto le32 = [](const Bytes& b, std::size_t at) {
        return UINT{b[at]} | UINT{b[at + 1]} << 8 | UINT{b[at + 2]} << 16 | UINT{b[at + 3]} << 24;
    };
    for (const Case& c : cases) {
        for (bool legacy : {false, true}) {
            SCOPED_TRACE(std::string(c.format) + (legacy ? " legacy" : ""));
            const ToolRun r = RunTool(dir, std::string(legacy ? "--legacy-dds " : "") + "--levels 1 --format " +
                                               c.format + " " + dir + "/in.tga " + dir + "/out.dds");
            ASSERT_EQ(r.exitCode, 0) << r.err;
            const Bytes file = ReadFile(dir + "/out.dds").value_or(Bytes{});
            const std::size_t header = legacy ? 128 : 148;
            ASSERT_EQ(file.size(), header + 4 * c.blockBytes);
            EXPECT_EQ(std::string(file.begin() + 84, file.begin() + 88), legacy ? c.legacyCode : "DX10");
            if (!legacy) {
                EXPECT_EQ(le32(file, 128), c.dxgi);
            }
        }
    }
}

}  // namespace
}  // namespace valmere::test
