// valmere-texture run as a program on one file: the command line and its
// errors, sizes kept or scaled with a note, PNG pictures and their channels,
// and the tool's own mips (linear light, alpha coverage, normal maps).
#include "tests/tools/valmere-texture/ToolTestSupport.h"
#include "texture/ValmereTexture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

namespace valmere::test {
namespace {

Rgba Gradient(UINT x, UINT y) {
    return {static_cast<BYTE>(x * 19), static_cast<BYTE>(y * 25), static_cast<BYTE>((x + y) * 5), 255};
}

// Colours on one line through RGB (what four-colour blocks hold well).
Rgba Ramp(UINT x, UINT y) {
    const UINT t = x + y;
    return {static_cast<BYTE>(10 + 8 * t), static_cast<BYTE>(20 + 6 * t), static_cast<BYTE>(30 + 4 * t), 255};
}

// One line on stderr, beginning as all the tool's lines do.
void ExpectOneLine(const ToolRun& r, const std::string& piece) {
    EXPECT_EQ(LineCount(r.err), 1u) << r.err;
    EXPECT_EQ(r.err.rfind("valmere-texture: ", 0), 0u) << r.err;
    EXPECT_NE(r.err.find(piece), std::string::npos) << r.err;
}

TEST(TextureTool, BadCommandLinesAndFilesGiveOneLineAndAStatus) {
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
        {"--max-size 0 " + in + out, 2, "--max-size: must be at least 1"},
        {"--format DXT9 " + in + out, 2, "no format named \"DXT9\""},
        {"--format D24S8 " + in + out, 2, "--format D24S8: a DDS file cannot hold it"},
        {"--format BC7 " + in + out, 2, "the tool encodes DXT1..DXT5, BC4 and BC5 blocks"},
        {"--filter cubic " + in + out, 2, "--filter: \"cubic\" is not a filter"},
        {"--mip-filter 'box|shiny' " + in + out, 2, "--mip-filter: \"box|shiny\""},
        {"--linear-mips --mip-filter point " + in + out, 2, "--mip-filter cannot be used with"},
        {"--format BC4 --normal-map " + in + out, 2, "BC4 holds one channel"},
        {"--quality best " + in + out, 2, "is not standard or high"},
        {"--alpha-coverage 1.5 " + in + out, 2, "is not a number from 0 to 1"},
        {"--color-key FF00FF00FF " + in + out, 2, "not a hexadecimal ARGB colour"},
        {"--info=yes " + in + out, 2, "--info takes no value"},
        {"--cube " + in + in + in + out, 2, "--cube needs six face files"},
        {"--cross --cube " + in + in + in + in + in + in + out, 2, "give one of them"},
        {"--file-type png " + in + out, 2, "--file-type is for batches"},
        {in + dir + "/out.jpg", 2, "must end in .dds or .png"},
        {in + out + " extra", 2, "too many files"},
        {dir + "/missing.bmp " + out, 1, "missing.bmp: cannot open: No such file"},
        {dir + "/junk.bmp " + out, 1, "junk.bmp: not an image file that the readers accept: D3DXERR_INVALIDDATA"},
        {"--cross " + in + out, 1, "is not a cross of square faces"},
        {in + dir + "/no/such/dir/out.dds", 1, "out.dds: cannot write: No such file or directory"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments);
        const ToolRun r = RunTool(dir, c.arguments);
        EXPECT_EQ(r.exitCode, c.exitCode);
        EXPECT_EQ(r.out, "");
        ExpectOneLine(r, c.problem);
    }
    EXPECT_FALSE(std::filesystem::exists(out));
    const ToolRun help = RunTool(dir, "--help");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_NE(help.out.find("Exit status: 0 every file written; 1 some file failed; 2 a bad command line"),
              std::string::npos);
}

TEST(TextureTool, SizesAreKeptOrScaledWithANote) {
    const std::string dir = TempDir("texture-tool-sizes");
    WriteFile(dir + "/odd.bmp", Bmp24(13, 7, Ramp));
    WriteFile(dir + "/wide.bmp", Bmp24(40, 10, Gradient));
    struct Case {
        std::string file, options;
        const char* info;  // --info's size lines
        const char* note;  // a piece of the one note, or "" for none
    };
    const Case cases[] = {
        {"odd.bmp", "--format DXT1", "Width 13\nHeight 7\nDepth 1\nLevels 4\n", ""},
        {"odd.bmp", "--format DXT5 --quality high", "Width 13\nHeight 7\nDepth 1\nLevels 4\n", ""},
        {"wide.bmp", "--max-size 16", "Width 16\nHeight 4\nDepth 1\nLevels 5\n", "scaled from 40x10 to 16x4 (--max-size 16)"},
        {"wide.bmp", "--width 20", "Width 20\nHeight 5\nDepth 1\nLevels 5\n", ""},
        {"wide.bmp", "--height 5 --width 8", "Width 8\nHeight 5\nDepth 1\nLevels 4\n", ""},
        {"wide.bmp", "--levels 20", "Width 40\nHeight 10\nDepth 1\nLevels 6\n", "--levels 20: the full chain of 40x10 has 6 levels"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file + " " + c.options);
        const ToolRun r = RunTool(dir, "--info " + c.options + " " + dir + "/" + c.file + " " + dir + "/out.dds");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        EXPECT_NE(r.out.find(c.info), std::string::npos) << r.out;
        if (*c.note) {
            ExpectOneLine(r, std::string(c.file) + ": " + c.note);
        } else {
            EXPECT_EQ(r.err, "");
        }
        const std::unique_ptr<Loaded> file = Load(dir + "/out.dds");
        EXPECT_EQ(r.out.find("Width " + std::to_string(file->info.Width) + "\nHeight " + std::to_string(file->info.Height)),
                  r.out.find("Width"));
    }
    // A size that is not a multiple of 4 keeps its pixels: each near the
    // source (a ramp of 7 values a block on 4 entries), edges too.
    ASSERT_EQ(RunTool(dir, "--format DXT1 --quality high " + dir + "/odd.bmp " + dir + "/odd.dds").exitCode, 0);
    const std::unique_ptr<Loaded> odd = Load(dir + "/odd.dds");
    for (UINT y = 0; y < 7; ++y) {
        for (UINT x = 0; x < 13; ++x) {
            const Rgba got = Decoded(odd->image, x, y), want = Ramp(x, y);
            EXPECT_NEAR(got.r, want.r, 12) << x << "," << y;
            EXPECT_NEAR(got.g, want.g, 12) << x << "," << y;
            EXPECT_NEAR(got.b, want.b, 12) << x << "," << y;
        }
    }
}

TEST(TextureTool, PngPicturesHaveTheFormatsChannels) {
    // Pillow tells the channels (PNG colour type) of each picture.
    const std::string python = PillowPython();
    if (python.empty()) GTEST_SKIP() << "no Python with Pillow";
    const std::string dir = TempDir("texture-tool-png");
    WriteFile(dir + "/in.tga", Tga(8, 4, 32, [](UINT x, UINT y) { return Rgba{BYTE(x * 30), BYTE(y * 60), 99, BYTE(x * 32)}; }));
    struct Case {
        const char* format;
        const char* mode;  // Pillow's
    };
    const Case cases[] = {{"L8", "L"}, {"A8L8", "LA"}, {"X8R8G8B8", "RGB"}, {"R5G6B5", "RGB"}, {"A8R8G8B8", "RGBA"},
                          {"DXT5", "RGBA"}, {"BC4", "L"}, {"BC5", "RGB"}, {"V8U8", "RGB"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.format);
        const ToolRun r = RunTool(dir, std::string("--levels 1 --format ") + c.format + " " + dir + "/in.tga " + dir + "/one.png");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ASSERT_TRUE(std::filesystem::exists(dir + "/one.png"));  // one picture: OUTPUT.png itself
        ASSERT_TRUE(RunCommand(python + " -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                               "sys.exit(0 if im.mode == sys.argv[2] and im.size == (8, 4) else 1)\" " +
                               dir + "/one.png " + c.mode));
    }
    // Several levels: one picture each, the level in the name.
    const ToolRun r = RunTool(dir, dir + "/in.tga " + dir + "/all.png");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    for (const char* name : {"all_l0.png", "all_l1.png", "all_l2.png", "all_l3.png"}) {
        EXPECT_TRUE(std::filesystem::exists(dir + "/" + name)) << name;
    }
    EXPECT_FALSE(std::filesystem::exists(dir + "/all.png"));
    const std::unique_ptr<Loaded> level0 = Load(dir + "/all_l0.png");
    EXPECT_EQ(PixelAt(level0->image, 5, 3), (Rgba{150, 180, 99, 160}));
}

TEST(TextureTool, LinearMipsOfACheckerAreTheLightsMean) {
    // Level 1 of a black and white checker: 128 in stored values, about 187
    // averaged in linear light (sRGB of 0.5 is 0.7354, 187.5 of 255).
    const std::string dir = TempDir("texture-tool-linear");
    WriteFile(dir + "/checker.bmp", Bmp24(16, 16, [](UINT x, UINT y) {
        const BYTE v = (x + y) % 2 ? 255 : 0;
        return Rgba{v, v, v, 255};
    }));
    for (const char* format : {"X8R8G8B8", "DXT1 --quality high"}) {
        SCOPED_TRACE(format);
        for (bool linear : {false, true}) {
            const ToolRun r = RunTool(dir, std::string(linear ? "--linear-mips " : "") + "--format " + format + " " +
                                               dir + "/checker.bmp " + dir + "/out.dds");
            ASSERT_EQ(r.exitCode, 0) << r.err;
            const std::unique_ptr<Loaded> file = Load(dir + "/out.dds");
            const DecodedImage* level1 = file->image.nextLevel.get();
            ASSERT_TRUE(level1);
            for (UINT y = 0; y < 8; ++y) {
                for (UINT x = 0; x < 8; ++x) {
                    const BYTE v = Decoded(*level1, x, y).g;
                    if (linear) {
                        EXPECT_GE(v, 186) << x << "," << y;
                        EXPECT_LE(v, 188) << x << "," << y;
                    } else {
                        EXPECT_NEAR(v, 128, 1) << x << "," << y;
                    }
                }
            }
        }
    }
}

TEST(TextureTool, AlphaCoverageAndNormalMapMips) {
    const std::string dir = TempDir("texture-tool-mips");
    // Stems of alpha 1 one pixel wide every fourth column: an alpha test at
    // 0.5 keeps a quarter of level 0; plain means lose them at level 2.
    WriteFile(dir + "/grass.tga", Tga(32, 32, 32, [](UINT x, UINT y) {
        return Rgba{40, 160, 30, BYTE((x + y / 8) % 4 == 0 ? 250 : (x * 7 + y * 3) % 11)};
    }));
    for (bool keep : {false, true}) {
        const ToolRun r = RunTool(dir, std::string(keep ? "--alpha-coverage 0.5 " : "") + "--format A8R8G8B8 " + dir +
                                           "/grass.tga " + dir + "/grass.dds");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        const std::unique_ptr<Loaded> file = Load(dir + "/grass.dds");
        const DecodedImage* level2 = file->image.nextLevel->nextLevel.get();
        UINT passing = 0;
        for (UINT y = 0; y < 8; ++y) {
            for (UINT x = 0; x < 8; ++x) passing += PixelAt(*level2, x, y).a >= 128;
        }
        if (keep) {  // a quarter of 64, give or take the 8-bit rounding of alpha near 0.5
            EXPECT_GE(passing, 15u);
            EXPECT_LE(passing, 18u);
        } else {
            EXPECT_LT(passing, 8u);
        }
    }
    // A normal map tilted left and right in alternate columns and forward in
    // all, (+-0.6, 0.6, 0.529): BC5 signed by default. The mean of two
    // columns is (0, 0.6, 0.529), which renormalised is (0, 0.75, 0.661);
    // kept as it is, Y would stay 0.6.
    WriteFile(dir + "/normals.bmp", Bmp24(16, 16, [](UINT x, UINT) {
        return x % 2 ? Rgba{204, 204, 195, 255} : Rgba{51, 204, 195, 255};
    }));
    const ToolRun r = RunTool(dir, "--info --normal-map " + dir + "/normals.bmp " + dir + "/normals.dds");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    EXPECT_NE(r.out.find("Format BC5S"), std::string::npos) << r.out;
    const std::unique_ptr<Loaded> file = Load(dir + "/normals.dds");
    UINT level = 0;
    for (const DecodedImage* l = &file->image; l; l = l->nextLevel.get(), ++level) {
        for (UINT x = 0; x < l->width; ++x) {
            const Rgba p = PixelAt(*l, x, 0);
            const double nx = p.r / 127.5 - 1, ny = p.g / 127.5 - 1;
            const double nz = std::sqrt(std::max(0.0, 1 - nx * nx - ny * ny));
            if (level == 0) {
                EXPECT_NEAR(nx, x % 2 ? 0.6 : -0.6, 0.02) << x;
                EXPECT_NEAR(ny, 0.6, 0.02);
            } else {
                EXPECT_NEAR(nx, 0, 0.02) << level;
                EXPECT_NEAR(ny, 0.75, 0.02) << level;
                EXPECT_NEAR(nz, 0.661, 0.02) << level;
            }
        }
    }
}

}  // namespace
}  // namespace valmere::test
