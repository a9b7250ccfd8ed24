#include "tests/texture/image/ImageTestSupport.h"
#include "texture/D3DXTexture.h"
#include "texture/image/LoadImage.h"

#include <gtest/gtest.h>

#include <cstring>

namespace valmere::test {
namespace {

Bytes SmallBitmap() {
    ByteWriter w;
    w.Raw(DibHeader(2, 1, 24, 0)).Raw({1, 2, 3, 4, 5, 6, 0, 0});
    return BmpFile(w.data());
}

TEST(LoadImage, FillsTheInfoAndTheBoxFromTheAcceptingReader) {
    const Bytes file = SmallBitmap();
    DecodedImage image;
    D3DXIMAGE_INFO info;
    std::memset(&info, 0xCD, sizeof(info));
    ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
    EXPECT_EQ(info.Width, 2u);
    EXPECT_EQ(info.Height, 1u);
    EXPECT_EQ(info.Depth, 1u);
    EXPECT_EQ(info.MipLevels, 1u);
    EXPECT_EQ(info.Format, D3DFMT_R8G8B8);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_TEXTURE);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    EXPECT_EQ(image.box.right, 2u);
    EXPECT_EQ(image.box.bottom, 1u);
    EXPECT_EQ(image.box.back, 1u);
}

TEST(LoadImage, BareDibIsTriedLast) {
    ByteWriter w;
    w.Raw(DibHeader(1, 1, 32, 0)).Raw({9, 8, 7, 6});
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, w.data().data(), w.data().size(), &info, true), S_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DIB);
    EXPECT_EQ(info.Format, D3DFMT_X8R8G8B8);
}

TEST(LoadImage, SixteenBitFormatsAreReportedByTheirPublicEquivalent) {
    // A 16-bit grey PNG made by hand: IHDR, one IDAT row, IEND (CRCs are
    // checked, so they come from the file written by the external encoder).
    if (!HaveProgram("convert")) {
        GTEST_SKIP() << "ImageMagick convert is not installed";
    }
    const std::string dir = TempDir("public");
    ASSERT_TRUE(RunCommand("convert -size 3x200 gradient: -colorspace gray -depth 16 -define png:bit-depth=16 png:" + dir + "/g16.png"));
    const std::optional<Bytes> file = ReadFile(dir + "/g16.png");
    ASSERT_TRUE(file);
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, file->data(), file->size(), &info, true), S_OK);
    EXPECT_EQ(info.Format, D3DFMT_L8);
    EXPECT_NE(image.format, D3DFMT_L8);
}

TEST(LoadImage, NothingAcceptedLeavesTheRecordEmptyAndTheInfoUntouched) {
    const Bytes junk = {'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'};
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    info.Width = 77;
    EXPECT_EQ(LoadImage(image, junk.data(), junk.size(), &info, true), D3DXERR_INVALIDDATA);
    EXPECT_EQ(info.Width, 77u);
    EXPECT_EQ(image.pixels, nullptr);
    EXPECT_EQ(image.format, D3DFMT_UNKNOWN);
    EXPECT_EQ(LoadImage(image, nullptr, 10, &info, true), D3DXERR_INVALIDDATA);
}

TEST(ImageInfo, FromMemoryChecksItsArguments) {
    const Bytes file = SmallBitmap();
    D3DXIMAGE_INFO info{};
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(nullptr, 4, &info), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), 0, &info), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<UINT>(file.size()), nullptr), S_OK);
    ASSERT_EQ(D3DXGetImageInfoFromFileInMemory(file.data(), static_cast<UINT>(file.size()), &info), S_OK);
    EXPECT_EQ(info.Width, 2u);
}

TEST(ImageInfo, FromFilesByNarrowAndWideNames) {
    const std::string dir = TempDir("info");
    const std::string path = dir + "/small.bmp";
    WriteFile(path, SmallBitmap());
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(D3DXGetImageInfoFromFileA(path.c_str(), &info), S_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_BMP);
    const std::wstring wide(path.begin(), path.end());
    D3DXIMAGE_INFO wideInfo{};
    ASSERT_EQ(D3DXGetImageInfoFromFileW(wide.c_str(), &wideInfo), S_OK);
    EXPECT_EQ(wideInfo.Width, 2u);

    EXPECT_EQ(D3DXGetImageInfoFromFileA(nullptr, &info), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileW(nullptr, &info), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXGetImageInfoFromFileA((dir + "/missing.bmp").c_str(), &info), D3DXERR_INVALIDDATA);
    WriteFile(dir + "/junk.bin", Bytes(64, 0x5A));
    EXPECT_EQ(D3DXGetImageInfoFromFileA((dir + "/junk.bin").c_str(), &info), D3DXERR_INVALIDDATA);
}

TEST(ImageInfo, ResourcesAreNotFoundOnThisPlatform) {
    D3DXIMAGE_INFO info{};
    EXPECT_EQ(D3DXGetImageInfoFromResourceA(nullptr, "image", &info), D3DXERR_INVALIDDATA);
    EXPECT_EQ(D3DXGetImageInfoFromResourceW(nullptr, L"image", &info), D3DXERR_INVALIDDATA);
}

}  // namespace
}  // namespace valmere::test
