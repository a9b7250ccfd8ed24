// The DDS writer on textures filled with a byte pattern: the project's
// reader, ImageMagick and Pillow must find every level, face and slice where
// the bytes were written, and the header fields other readers rely on.
#include "tests/tools/valmere-texture/ToolTestSupport.h"
#include "texture/ValmereTexture.h"
#include "texture/format/BlockFormat.h"
#include "texture/image/LoadImage.h"
#include "tools/valmere-texture/DdsWriter.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>

namespace valmere::test {
namespace {

using tools::BuildDdsFile;
using tools::TextureData;

BYTE Pattern(UINT face, UINT level, std::size_t i) { return static_cast<BYTE>(face * 53 + level * 31 + i * 7 + 1); }

struct Case {
    const char* name;
    D3DRESOURCETYPE type;
    D3DFORMAT format;
    UINT width, height, depth, levels;
};

TextureData Filled(const Case& c) {
    TextureData t;
    t.type = c.type;
    t.format = c.format;
    t.width = c.width;
    t.height = c.height;
    t.depth = c.depth;
    t.levels = c.levels;
    t.hasPalette = c.format == D3DFMT_P8;
    for (UINT i = 0; i < 256; ++i) {
        t.palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, static_cast<BYTE>(i ^ 0x5A)};
    }
    EXPECT_TRUE(t.Allocate());
    for (UINT face = 0; face < t.Faces(); ++face) {
        for (UINT level = 0; level < t.levels; ++level) {
            std::vector<BYTE>& image = t.Image(face, level);
            for (std::size_t i = 0; i < image.size(); ++i) image[i] = Pattern(face, level, i);
        }
    }
    return t;
}

const Case kCases[] = {
    {"A8R8G8B8 mips", D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, 8, 4, 1, 4},
    {"DXT1 mips", D3DRTYPE_TEXTURE, D3DFMT_DXT1, 8, 8, 1, 4},
    {"R5G6B5 odd size", D3DRTYPE_TEXTURE, D3DFMT_R5G6B5, 5, 3, 1, 2},
    {"DXT5 cube", D3DRTYPE_CUBETEXTURE, D3DFMT_DXT5, 4, 4, 1, 3},
    {"L8 volume", D3DRTYPE_VOLUMETEXTURE, D3DFMT_L8, 4, 2, 4, 3},
    {"P8", D3DRTYPE_TEXTURE, D3DFMT_P8, 3, 3, 1, 1},
    {"DXT1 of 13 x 7", D3DRTYPE_TEXTURE, D3DFMT_DXT1, 13, 7, 1, 4},
    {"BC4 unsigned", D3DRTYPE_TEXTURE, kFormatBc4U, 8, 8, 1, 2},
    {"BC5 signed cube", D3DRTYPE_CUBETEXTURE, kFormatBc5S, 8, 8, 1, 1},
};

TEST(DdsWriter, LevelsFacesAndSlicesReadBackByteForByte) {
    // Block formats a device cannot hold are decoded by the reader; for
    // those only the layout (sizes, levels, faces) is compared here.
    for (bool legacy : {false, true}) {
        for (const Case& c : kCases) {
            SCOPED_TRACE(std::string(c.name) + (legacy ? " legacy" : ""));
            const TextureData t = Filled(c);
            Bytes file;
            ASSERT_TRUE(BuildDdsFile(t, legacy, file));
            DecodedImage image;
            D3DXIMAGE_INFO info{};
            ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
            const bool decodes = DecodesOnLoad(FindBlockFormatRow(c.format));
            EXPECT_EQ(info.ResourceType, c.type);
            EXPECT_EQ(info.Format, decodes ? FindBlockFormatRow(c.format)->decodedFormat : c.format);
            EXPECT_EQ(info.Width, c.width);
            EXPECT_EQ(info.Height, c.height);
            EXPECT_EQ(info.Depth, c.depth);
            EXPECT_EQ(info.MipLevels, c.levels);
            if (c.format == D3DFMT_P8) {
                ASSERT_NE(image.palette, nullptr);
                EXPECT_EQ(std::memcmp(image.palette, t.palette.data(), 1024), 0);
            }
            UINT face = 0;
            for (const DecodedImage* head = &image; head; head = head->nextFace.get(), ++face) {
                UINT level = 0;
                for (const DecodedImage* l = head; l; l = l->nextLevel.get(), ++level) {
                    ASSERT_EQ(l->width, t.LevelWidth(level));
                    ASSERT_EQ(l->depth, t.LevelDepth(level));
                    if (decodes) continue;
                    const std::vector<BYTE>& expected = t.Image(face, level);
                    ASSERT_EQ(l->DataBytes(), expected.size()) << "face " << face << " level " << level;
                    EXPECT_EQ(std::memcmp(l->pixels, expected.data(), expected.size()), 0)
                        << "face " << face << " level " << level;
                }
                EXPECT_EQ(level, c.levels);
            }
            EXPECT_EQ(face, t.Faces());
        }
    }
}

UINT Word(const Bytes& file, std::size_t offset) {
    return static_cast<UINT>(file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 | file[offset + 3] << 24);
}

TEST(DdsWriter, HeaderCarriesTheFieldsOtherReadersUse) {
    struct Expected {
        const Case& c;
        bool legacy;
        UINT flags, pitch, caps, caps2, fourCc;
        UINT dxgi, dimension, misc;  // the DX10 header, when fourCc is "DX10"
    };
    // CAPS|HEIGHT|WIDTH|PIXELFORMAT is 0x1007; PITCH 0x8, LINEARSIZE 0x80000,
    // MIPMAPCOUNT 0x20000, DEPTH 0x800000. TEXTURE 0x1000, COMPLEX 0x8,
    // MIPMAP 0x400000. DXGI: 80 BC4_UNORM, 84 BC5_SNORM; dimension 3 is 2D;
    // misc 4 a cube.
    const UINT dx10 = MAKEFOURCC('D', 'X', '1', '0');
    const Expected expected[] = {
        {kCases[0], false, 0x1007 | 0x8 | 0x20000, 8 * 4, 0x1000 | 0x8 | 0x400000, 0, 0, 0, 0, 0},
        {kCases[1], false, 0x1007 | 0x80000 | 0x20000, 2 * 2 * 8, 0x1000 | 0x8 | 0x400000, 0, MAKEFOURCC('D', 'X', 'T', '1'), 0, 0, 0},
        {kCases[3], false, 0x1007 | 0x80000 | 0x20000, 16, 0x1000 | 0x8 | 0x400000, 0x200 | 0xFC00, MAKEFOURCC('D', 'X', 'T', '5'), 0, 0, 0},
        {kCases[4], false, 0x1007 | 0x8 | 0x20000 | 0x800000, 4, 0x1000 | 0x8 | 0x400000, 0x200000, 0, 0, 0, 0},
        {kCases[5], false, 0x1007 | 0x8, 3, 0x1000, 0, 0, 0, 0, 0},
        {kCases[6], false, 0x1007 | 0x80000 | 0x20000, 4 * 2 * 8, 0x1000 | 0x8 | 0x400000, 0, MAKEFOURCC('D', 'X', 'T', '1'), 0, 0, 0},
        {kCases[7], false, 0x1007 | 0x80000 | 0x20000, 2 * 2 * 8, 0x1000 | 0x8 | 0x400000, 0, dx10, 80, 3, 0},
        {kCases[7], true, 0x1007 | 0x80000 | 0x20000, 2 * 2 * 8, 0x1000 | 0x8 | 0x400000, 0, MAKEFOURCC('A', 'T', 'I', '1'), 0, 0, 0},
        {kCases[8], false, 0x1007 | 0x80000, 2 * 2 * 16, 0x1000 | 0x8, 0x200 | 0xFC00, dx10, 84, 3, 4},
        {kCases[8], true, 0x1007 | 0x80000, 2 * 2 * 16, 0x1000 | 0x8, 0x200 | 0xFC00, MAKEFOURCC('B', 'C', '5', 'S'), 0, 0, 0},
    };
    for (const Expected& e : expected) {
        SCOPED_TRACE(std::string(e.c.name) + (e.legacy ? " legacy" : ""));
        Bytes file;
        ASSERT_TRUE(BuildDdsFile(Filled(e.c), e.legacy, file));
        EXPECT_EQ(Word(file, 0), MAKEFOURCC('D', 'D', 'S', ' '));
        EXPECT_EQ(Word(file, 4), 124u);
        EXPECT_EQ(Word(file, 8), e.flags);
        EXPECT_EQ(Word(file, 20), e.pitch);
        EXPECT_EQ(Word(file, 28), e.c.levels);
        EXPECT_EQ(Word(file, 76), 32u);
        EXPECT_EQ(Word(file, 84), e.fourCc);
        EXPECT_EQ(Word(file, 108), e.caps);
        EXPECT_EQ(Word(file, 112), e.caps2);
        if (e.fourCc == dx10) {
            EXPECT_EQ(Word(file, 128), e.dxgi);
            EXPECT_EQ(Word(file, 132), e.dimension);
            EXPECT_EQ(Word(file, 136), e.misc);
            EXPECT_EQ(Word(file, 140), 1u);  // array size
        }
    }
}

TEST(DdsWriter, RefusesWhatTheFileCannotHold) {
    TextureData paletted = Filled(kCases[5]);
    paletted.hasPalette = false;
    Bytes file{1, 2, 3};
    EXPECT_FALSE(BuildDdsFile(paletted, false, file));
    Case depth = kCases[0];
    depth.format = D3DFMT_D24S8;
    EXPECT_FALSE(BuildDdsFile(Filled(depth), false, file));
    EXPECT_EQ(file, (Bytes{1, 2, 3}));  // untouched on failure
    std::string error;
    const std::string dir = TempDir("dds_writer_refuses");
    EXPECT_FALSE(tools::WriteDdsFile(Filled(kCases[0]), false, dir + "/no/such/folder/x.dds", error));
    EXPECT_NE(error.find("No such file"), std::string::npos) << error;
    EXPECT_TRUE(tools::WriteDdsFile(Filled(kCases[0]), false, dir + "/x.dds", error)) << error;
    // The temporary file was renamed: the folder holds the file alone.
    std::size_t entries = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(dir)) ++entries;
    EXPECT_EQ(entries, 1u);
}

TEST(DdsWriter, ImageMagickAndPillowReadTheFiles) {
    const std::string dir = TempDir("dds_writer_peers");
    if (HaveProgram("identify")) {
        // ImageMagick reads the first level of every face, one frame each.
        for (const Case* c : {&kCases[0], &kCases[1], &kCases[3], &kCases[6]}) {
            SCOPED_TRACE(c->name);
            std::string error;
            ASSERT_TRUE(tools::WriteDdsFile(Filled(*c), false, dir + "/t.dds", error)) << error;
            ASSERT_TRUE(RunCommand("identify -format '%wx%h\\n' " + dir + "/t.dds > " + dir + "/size.txt"));
            const Bytes text = ReadFile(dir + "/size.txt").value_or(Bytes{});
            std::string expected;
            for (UINT face = 0; face < (c->type == D3DRTYPE_CUBETEXTURE ? 6 : 1); ++face) {
                expected += std::to_string(c->width) + "x" + std::to_string(c->height) + "\n";
            }
            EXPECT_EQ(std::string(text.begin(), text.end()), expected);
        }
    }
    // Pillow reads BC4 as "ATI1" and BC5 with a DX10 header or "BC5S"; its
    // first level must hold the pixels the project's reader decodes. The
    // blocks are encoded from a smooth picture that stays clear of the
    // range's ends (Pillow gives the fixed entries of six-step signed blocks
    // as 0, not -1 and 1).
    const std::string python = PillowPython();
    if (python.empty()) GTEST_SKIP() << "no Python with Pillow";
    struct PillowCase {
        Case c;
        bool legacy;
    };
    for (const PillowCase& p : {PillowCase{kCases[7], true}, PillowCase{{"BC5U", D3DRTYPE_TEXTURE, kFormatBc5U, 8, 4, 1, 1}, false},
                                PillowCase{{"BC5S", D3DRTYPE_TEXTURE, kFormatBc5S, 8, 4, 1, 1}, true}}) {
        SCOPED_TRACE(p.c.name);
        std::string error;
        TextureData t = Filled(p.c);
        D3DXCOLOR pixels[2][16];
        for (UINT i = 0; i < 32; ++i) {
            const float x = static_cast<float>(i % 16 % 4 + 4 * (i / 16)), y = static_cast<float>(i % 16 / 4);
            pixels[i / 16][i % 16] = D3DXCOLOR(0.1f + 0.09f * x, 0.8f - 0.15f * y, 0, 1);
        }
        const ChannelRange range = p.c.format == kFormatBc5S ? ChannelRange::Signed : ChannelRange::Unsigned;
        (p.c.format == kFormatBc4U ? PackBlocksBc4 : PackBlocksBc5)(t.Image(0, 0).data(), pixels[0], 2, range);
        ASSERT_TRUE(tools::WriteDdsFile(t, p.legacy, dir + "/bc.dds", error)) << error;
        ASSERT_TRUE(RunCommand(python + " -c \"import sys; from PIL import Image; im = Image.open(sys.argv[1]); "
                               "open(sys.argv[2], 'wb').write(im.convert('RGB').tobytes())\" " +
                               dir + "/bc.dds " + dir + "/bc.rgb"));
        const Bytes rgb = ReadFile(dir + "/bc.rgb").value_or(Bytes{});
        ASSERT_EQ(rgb.size(), std::size_t{p.c.width} * p.c.height * 3);
        const std::unique_ptr<Loaded> ours = Load(dir + "/bc.dds");
        // Pillow shows signed values as 127.5 + 63.5 v, the reader as
        // 127.5 + 127.5 v: compared as values of -1..1, within Pillow's
        // step; unsigned ones a byte apart at most.
        const bool isSigned = p.c.format == kFormatBc5S;
        auto value = [isSigned](int byte, bool pillow) { return isSigned ? (byte - 127.5) / (pillow ? 63.5 : 127.5) : byte / 255.0; };
        const double tolerance = isSigned ? 1.5 / 63.5 : 1.5 / 255;
        for (UINT y = 0; y < p.c.height; ++y) {
            for (UINT x = 0; x < p.c.width; ++x) {
                const Rgba mine = PixelAt(ours->image, x, y);
                const BYTE* theirs = &rgb[(std::size_t{y} * p.c.width + x) * 3];
                EXPECT_NEAR(value(theirs[0], true), value(mine.r, false), tolerance) << x << "," << y;
                if (p.c.format != kFormatBc4U) {
                    EXPECT_NEAR(value(theirs[1], true), value(mine.g, false), tolerance) << x << "," << y;
                }
            }
        }
    }
}

}  // namespace
}  // namespace valmere::test
