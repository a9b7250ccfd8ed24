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

}  // namespace
}  // namespace valmere::test
