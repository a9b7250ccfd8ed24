// DDS files with the DX10 header: DXGI formats read onto the format table,
// the shapes the header gives, refusals that name the format, and the block
// formats decoded on load, checked against Pillow's decode of random blocks
// (Pillow reads BC5 unsigned, BC6H and BC7 through the DX10 header).
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/format/BlockFormat.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/LoadImage.h"
#include "texture/image/ReaderSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>

namespace valmere::test {
namespace {

struct Dx10Shape {
    UINT width = 2;
    UINT height = 1;
    UINT mipCount = 1;
    UINT dimension = 3;  // 2D
    UINT miscFlag = 0;
    UINT arraySize = 1;
    UINT depth = 0;
    UINT alphaMode = 0;
};

Bytes Dx10File(UINT dxgi, const Dx10Shape& s, const Bytes& data) {
    ByteWriter w;
    w.Text("DDS ").U32(124).U32(0x1007).U32(s.height).U32(s.width).U32(0).U32(s.depth).U32(s.mipCount);
    w.Fill(44, 0);
    w.U32(32).U32(0x4).Text("DX10").Fill(20, 0);
    w.U32(0x1000).U32(0).U32(0).U32(0).U32(0);
    w.U32(dxgi).U32(s.dimension).U32(s.miscFlag).U32(s.arraySize).U32(s.alphaMode);
    w.Raw(data);
    return w.data();
}

TEST(DdsDx10, DxgiFormatsReadOntoTheFormatTable) {
    struct Case {
        UINT dxgi;
        Bytes pixels;  // two pixels
        D3DFORMAT format;
        Rgba first;    // pixel 0 as PixelAt reads it (unchecked for formats it does not read)
        bool inPlace;  // the record points into the file
    };
    const Case cases[] = {
        {87, {10, 20, 30, 40, 0, 0, 0, 0}, D3DFMT_A8R8G8B8, {30, 20, 10, 40}, true},   // B8G8R8A8
        {91, {10, 20, 30, 40, 0, 0, 0, 0}, D3DFMT_A8R8G8B8, {30, 20, 10, 40}, true},   // its _SRGB form
        {88, {10, 20, 30, 99, 0, 0, 0, 0}, D3DFMT_X8R8G8B8, {30, 20, 10, 255}, true},  // B8G8R8X8
        {28, {10, 20, 30, 40, 0, 0, 0, 0}, D3DFMT_A8R8G8B8, {10, 20, 30, 40}, false},  // R8G8B8A8, swapped
        {27, {10, 20, 30, 40, 0, 0, 0, 0}, D3DFMT_A8R8G8B8, {10, 20, 30, 40}, false},  // its _TYPELESS form
        {85, {0x00, 0xF8, 0, 0}, D3DFMT_R5G6B5, {255, 0, 0, 255}, true},               // B5G6R5
        {86, {0x1F, 0x80, 0, 0}, D3DFMT_A1R5G5B5, {0, 0, 255, 255}, true},             // B5G5R5A1
        {115, {0x21, 0x83, 0, 0}, D3DFMT_A4R4G4B4, {0x33, 0x22, 0x11, 0x88}, true},    // B4G4R4A4
        {61, {77, 0}, D3DFMT_L8, {77, 77, 77, 255}, true},                             // R8
        {49, {70, 80, 0, 0}, D3DFMT_X8R8G8B8, {70, 80, 0, 255}, false},                // R8G8, widened
        {65, {77, 0}, D3DFMT_A8, {}, true},
        {51, {0x80, 0x7F, 0, 0}, D3DFMT_V8U8, {}, true},
        {24, {0, 0, 0, 0, 0, 0, 0, 0}, D3DFMT_A2B10G10R10, {}, true},
        {35, {0, 0, 0, 0, 0, 0, 0, 0}, D3DFMT_G16R16, {}, true},
        {71, Bytes(8, 0), D3DFMT_DXT1, {}, true},                                      // BC1_UNORM
        {78, Bytes(16, 0), D3DFMT_DXT5, {}, true},                                     // BC3_UNORM_SRGB
    };
    for (const Case& c : cases) {
        const Bytes file = Dx10File(c.dxgi, Dx10Shape{}, c.pixels);
        DecodedImage image;
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK) << c.dxgi;
        EXPECT_EQ(info.Format, c.format) << c.dxgi;
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
        EXPECT_EQ(image.pixels == file.data() + 148, c.inPlace) << c.dxgi;
        if (c.first.a != 0) {
            EXPECT_EQ(PixelAt(image, 0, 0), c.first) << c.dxgi;
        }
    }
    // BC2 and BC3 of premultiplied alpha are DXT2 and DXT4.
    Dx10Shape premultiplied;
    premultiplied.alphaMode = 2;
    for (const auto& [dxgi, format] : {std::pair{74u, D3DFMT_DXT2}, std::pair{77u, D3DFMT_DXT4}}) {
        const Bytes file = Dx10File(dxgi, premultiplied, Bytes(16, 0));
        D3DXIMAGE_INFO info{};
        DecodedImage image;
        ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, false), S_OK);
        EXPECT_EQ(info.Format, format);
    }
}

TEST(DdsDx10, ShapesFromTheHeaderAndRefusalsThatNameTheFormat) {
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    Dx10Shape cube;
    cube.miscFlag = 0x4;
    Bytes file = Dx10File(28, cube, Bytes(6 * 8, 1));
    ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    int faces = 0;
    for (const DecodedImage* face = &image; face; face = face->nextFace.get()) ++faces;
    EXPECT_EQ(faces, 6);

    Dx10Shape volume;
    volume.dimension = 4;
    volume.depth = 3;
    file = Dx10File(61, volume, Bytes(6, 1));
    ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_VOLUMETEXTURE);
    EXPECT_EQ(info.Depth, 3u);

    struct Refusal {
        UINT dxgi;
        Dx10Shape shape;
        std::size_t dataBytes;
        const char* reason;
    };
    Dx10Shape array;
    array.arraySize = 2;
    Dx10Shape mips;
    mips.width = 8;
    mips.height = 8;
    mips.mipCount = 3;
    Dx10Shape oddDimension;
    oddDimension.dimension = 5;
    const Refusal refusals[] = {
        {2, Dx10Shape{}, 32, "DDS: DXGI format 2 (R32G32B32A32_FLOAT) is not read"},
        {500, Dx10Shape{}, 32, "DDS: DXGI format 500 (unknown) is not read"},
        {28, array, 16, "DDS: DXGI format 28 (R8G8B8A8_UNORM) array of 2 textures is not read"},
        {28, oddDimension, 16, "DDS: DXGI format 28 (R8G8B8A8_UNORM) with resource dimension 5"},
        // 8x8 (4 blocks) and 4x4 (1 block) are there, 2x2 is not.
        {98, mips, 5 * 16, "DDS: DXGI format 98 (BC7_UNORM) level 2 ends early"},
    };
    for (const Refusal& r : refusals) {
        file = Dx10File(r.dxgi, r.shape, Bytes(r.dataBytes, 0));
        image.Clear();
        image.wantPixels = true;
        EXPECT_EQ(ReadDds(image, file.data(), file.size()), E_FAIL) << r.reason;
        EXPECT_STREQ(LastRejection(), r.reason);
    }
    file = Dx10File(28, Dx10Shape{}, {});
    file.resize(140);
    EXPECT_EQ(ReadDds(image, file.data(), file.size()), E_FAIL);
    EXPECT_STREQ(LastRejection(), "DDS: DX10 header missing");
}

// One mode 6 BC7 block of a flat opaque colour (7-bit codes, p-bits 0, so
// each channel is code x 2).
Bytes FlatBc7(int r, int g, int b) {
    std::uint64_t low = 1u << 6;
    int at = 7;
    for (int v : {r, r, g, g, b, b, 127, 127}) {
        low |= static_cast<std::uint64_t>(v) << at;
        at += 7;
    }
    Bytes block(16, 0);
    for (int i = 0; i < 8; ++i) block[i] = static_cast<BYTE>(low >> (8 * i));
    return block;
}

TEST(DdsDx10, BlockFormatsDecodeOnLoadAndTheEdgesAreCut) {
    // A 5x6 BC7 image: 2x2 blocks, each a flat colour of its own; then a
    // 2x3 level (1 block).
    Dx10Shape shape;
    shape.width = 5;
    shape.height = 6;
    shape.mipCount = 2;
    Bytes data;
    for (int block = 0; block < 5; ++block) {
        const Bytes b = FlatBc7(10 * block, 100, 20 * block);
        data.insert(data.end(), b.begin(), b.end());
    }
    const Bytes file = Dx10File(98, shape, data);
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
    EXPECT_EQ(info.Format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(info.MipLevels, 2u);
    ASSERT_TRUE(image.OwnsPixels());
    EXPECT_EQ(image.rowPitch, 20u);
    EXPECT_EQ(image.DataBytes(), 20u * 6);
    for (UINT y = 0; y < 6; ++y) {
        for (UINT x = 0; x < 5; ++x) {
            const int block = static_cast<int>((y / 4) * 2 + x / 4);
            EXPECT_EQ(PixelAt(image, x, y), (Rgba{BYTE(20 * block), 200, BYTE(40 * block), 254})) << x << "," << y;
        }
    }
    ASSERT_NE(image.nextLevel, nullptr);
    EXPECT_EQ(PixelAt(*image.nextLevel, 1, 2), (Rgba{80, 200, 160, 254}));

    // Without pixels the record still says what the blocks decode to.
    DecodedImage described;
    ASSERT_EQ(LoadImage(described, file.data(), file.size(), &info, false), S_OK);
    EXPECT_EQ(described.format, D3DFMT_A8R8G8B8);
    EXPECT_EQ(described.pixels, nullptr);
}

TEST(DdsDx10, LegacyFourCcsOfBc4AndBc5) {
    struct Case {
        const char* fourCc;
        D3DFORMAT format;
    };
    for (const Case& c : {Case{"ATI1", D3DFMT_L8}, Case{"BC4U", D3DFMT_L8}, Case{"BC4S", D3DFMT_L8},
                          Case{"ATI2", D3DFMT_X8R8G8B8}, Case{"BC5U", D3DFMT_X8R8G8B8}, Case{"BC5S", D3DFMT_X8R8G8B8}}) {
        ByteWriter w;
        w.Text("DDS ").U32(124).U32(0x1007).U32(4).U32(4).U32(0).U32(0).U32(1).Fill(44, 0);
        w.U32(32).U32(0x4).Text(c.fourCc).Fill(20, 0).U32(0x1000).Fill(16, 0);
        w.Fill(16, 0x40);
        D3DXIMAGE_INFO info{};
        DecodedImage image;
        ASSERT_EQ(LoadImage(image, w.data().data(), w.data().size(), &info, true), S_OK) << c.fourCc;
        EXPECT_EQ(info.Format, c.format) << c.fourCc;
    }
    ByteWriter unknown;
    unknown.Text("DDS ").U32(124).U32(0x1007).U32(4).U32(4).U32(0).U32(0).U32(1).Fill(44, 0);
    unknown.U32(32).U32(0x4).Text("ATI3").Fill(20, 0).U32(0x1000).Fill(16, 0).Fill(16, 0);
    DecodedImage image;
    EXPECT_EQ(ReadDds(image, unknown.data().data(), unknown.data().size()), E_FAIL);
    EXPECT_STREQ(LastRejection(), "DDS: four-character code \"ATI3\" (0x33495441) is not read");
}

// Random blocks of one format, decoded here and by Pillow.
struct PillowCase {
    const char* name;
    UINT dxgi;
    int tolerance;
    // Sets the mode bits of block n (null: the blocks stay as drawn).
    void (*shape)(BYTE* block, int n);
};

void PrintTo(const PillowCase& c, std::ostream* out) { *out << c.name; }

class DdsPillowPeer : public ::testing::TestWithParam<PillowCase> {};

TEST_P(DdsPillowPeer, RandomBlocksDecodeAsPillowDecodesThem) {
    const PillowCase& c = GetParam();
    const std::string python = PillowPython();
    if (python.empty()) {
        GTEST_SKIP() << "Pillow is not installed";
    }
    constexpr UINT kSide = 64;  // 256 blocks
    const UINT bytesPerBlock = FindBlockFormatRow(kFormatBc7)->bytesPerBlock;
    std::mt19937 random(c.dxgi);
    Bytes data(kSide / 4 * kSide / 4 * bytesPerBlock);
    for (BYTE& b : data) b = static_cast<BYTE>(random());
    for (int n = 0; n < 256; ++n) {
        if (c.shape) c.shape(&data[n * bytesPerBlock], n);
    }
    Dx10Shape shape;
    shape.width = shape.height = kSide;
    const Bytes file = Dx10File(c.dxgi, shape, data);
    const std::string dir = TempDir(std::string("pillow-") + c.name);
    WriteFile(dir + "/blocks.dds", file);
    ASSERT_TRUE(RunCommand(python + " -c \"import sys; from PIL import Image; "
                                    "open(sys.argv[2], 'wb').write(Image.open(sys.argv[1]).convert('RGBA').tobytes())\" " +
                           dir + "/blocks.dds " + dir + "/pillow.rgba"));
    const std::optional<Bytes> theirs = ReadFile(dir + "/pillow.rgba");
    ASSERT_TRUE(theirs && theirs->size() == kSide * kSide * 4);
    DecodedImage image;
    ASSERT_EQ(LoadImage(image, file.data(), file.size(), nullptr, true), S_OK);
    int worst = 0;
    for (UINT y = 0; y < kSide; ++y) {
        for (UINT x = 0; x < kSide; ++x) {
            const Rgba ours = PixelAt(image, x, y);
            const BYTE* t = theirs->data() + 4 * (y * kSide + x);
            for (const auto& [a, b] : {std::pair{ours.r, t[0]}, {ours.g, t[1]}, {ours.b, t[2]}, {ours.a, t[3]}}) {
                worst = std::max(worst, std::abs(a - b));
            }
        }
    }
    EXPECT_LE(worst, c.tolerance);
}

// BC7: the mode of block n is n mod 8. (Pillow gives the reserved mode
// opaque black where the block description says all channels 0; the
// reserved mode is checked by hand.)
void Bc7Mode(BYTE* block, int n) {
    const int mode = n % 8;
    block[0] = static_cast<BYTE>((block[0] & ~((2u << mode) - 1)) | (1u << mode));
}
// BC6H signed: Pillow adds the deltas of the transformed modes without
// wrapping them, so only the modes of endpoints stored as they are (10 and
// 11, mode bits 0x1E and 0x03) are compared; the others are checked by hand.
void Bc6hUntransformed(BYTE* block, int n) { block[0] = static_cast<BYTE>((block[0] & 0xE0) | (n & 1 ? 0x1E : 0x03)); }

INSTANTIATE_TEST_SUITE_P(Formats, DdsPillowPeer,
                         ::testing::Values(PillowCase{"Bc7EveryMode", 98, 0, Bc7Mode},
                                           PillowCase{"Bc6hUf16", 95, 1, nullptr},
                                           PillowCase{"Bc6hSf16Untransformed", 96, 1, Bc6hUntransformed},
                                           PillowCase{"Bc5Unorm", 83, 1, nullptr}),
                         [](const ::testing::TestParamInfo<PillowCase>& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace valmere::test
