// imgdump writes every level and face of a file as RGBA PAM files through
// the pixel codecs, with palettes applied.
#include "tests/texture/image/ImageTestSupport.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdlib>

namespace valmere::test {
namespace {

// The RGBA bytes of a PAM file that imgdump wrote, after checking its header.
std::optional<Bytes> PamPixels(const std::string& path, UINT width, UINT height) {
    const std::optional<Bytes> file = ReadFile(path);
    const std::string header = "P7\nWIDTH " + std::to_string(width) + "\nHEIGHT " + std::to_string(height) +
                               "\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n";
    if (!file || file->size() != header.size() + std::size_t{width} * height * 4 ||
        !std::equal(header.begin(), header.end(), file->begin())) {
        return std::nullopt;
    }
    return Bytes(file->begin() + static_cast<std::ptrdiff_t>(header.size()), file->end());
}

int RunImgDump(const std::string& file, const std::string& prefix) {
    const std::string command = std::string(VALMERE_IMGDUMP_PATH) + " " + file + " " + prefix + " >/dev/null 2>&1";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(ImgDump, PaletteBitmapBecomesRgba) {
    ByteWriter w;
    w.Raw(DibHeader(2, 1, 8, 0, 2)).Raw({30, 20, 10, 0, 0, 0, 255, 0}).Raw({1, 0, 0, 0});
    const std::string dir = TempDir("imgdump-bmp");
    WriteFile(dir + "/in.bmp", BmpFile(w.data()));
    ASSERT_EQ(RunImgDump(dir + "/in.bmp", dir + "/out"), 0);
    const std::optional<Bytes> pixels = PamPixels(dir + "/out_l0_f0.pam", 2, 1);
    ASSERT_TRUE(pixels);
    const Bytes expected = {255, 0, 0, 255, 10, 20, 30, 255};
    EXPECT_EQ(*pixels, expected);
}

TEST(ImgDump, EveryLevelOfEveryCubeFace) {
    ByteWriter w;
    w.Text("DDS ").U32(124).U32(0x21007).U32(2).U32(2).U32(0).U32(0).U32(2).Fill(44, 0);
    w.U32(32).U32(0x41).U32(0).U32(32).U32(0xFF0000).U32(0xFF00).U32(0xFF).U32(0xFF000000u);
    w.U32(0x401008).U32(0xFE00).U32(0).U32(0).U32(0);
    for (UINT face = 0; face < 6; ++face) {
        for (UINT pixel = 0; pixel < 5; ++pixel) {
            w.U8(face).U8(pixel).U8(200).U8(255);  // blue = face, green = pixel index
        }
    }
    const std::string dir = TempDir("imgdump-dds");
    WriteFile(dir + "/cube.dds", w.data());
    ASSERT_EQ(RunImgDump(dir + "/cube.dds", dir + "/cube"), 0);
    for (UINT face = 0; face < 6; ++face) {
        const std::optional<Bytes> top = PamPixels(dir + "/cube_l0_f" + std::to_string(face) + ".pam", 2, 2);
        const std::optional<Bytes> small = PamPixels(dir + "/cube_l1_f" + std::to_string(face) + ".pam", 1, 1);
        ASSERT_TRUE(top && small) << face;
        EXPECT_EQ((*top)[4 * 3 + 1], 3);  // last pixel of the 2x2 level
        EXPECT_EQ((*top)[2], face);
        EXPECT_EQ((*small)[1], 4);        // the 1x1 level follows the 2x2 one
    }
}

TEST(ImgDump, UnreadableFileExitsWithTheResultCode) {
    const std::string dir = TempDir("imgdump-junk");
    WriteFile(dir + "/junk", Bytes(40, 0x33));
    EXPECT_EQ(RunImgDump(dir + "/junk", dir + "/out"), 0x59);  // low byte of D3DXERR_INVALIDDATA
    EXPECT_NE(RunImgDump(dir + "/missing", dir + "/out"), 0);
}

}  // namespace
}  // namespace valmere::test
