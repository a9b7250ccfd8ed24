#include "tests/texture/image/ImageTestSupport.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/LoadImage.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

constexpr UINT kDdsdDepth = 0x800000;

struct DdsPixelFormat {
    UINT flags;
    UINT fourCc;
    UINT bits;
    UINT masks[4];
};

ByteWriter DdsHeader(UINT width, UINT height, UINT mipCount, const DdsPixelFormat& pf, UINT caps2 = 0,
                     UINT depth = 0, UINT extraFlags = 0) {
    ByteWriter w;
    w.Text("DDS ").U32(124).U32(0x1007 | extraFlags).U32(height).U32(width).U32(0).U32(depth).U32(mipCount);
    w.Fill(44, 0);
    w.U32(32).U32(pf.flags).U32(pf.fourCc).U32(pf.bits);
    for (UINT m : pf.masks) {
        w.U32(m);
    }
    w.U32(0x1000).U32(caps2).U32(0).U32(0).U32(0);
    return w;
}

const DdsPixelFormat kDxt1{0x4, MAKEFOURCC('D', 'X', 'T', '1'), 0, {0, 0, 0, 0}};
const DdsPixelFormat kA8R8G8B8{0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0xFF000000u}};
const DdsPixelFormat kP8{0x20, 0, 8, {0, 0, 0, 0}};

TEST(DdsReader, MipChainOfBlocksPointsIntoTheFile) {
    // 8x4 DXT1: levels 8x4 (16 bytes), 4x2 (8), 2x1 (8).
    ByteWriter w = DdsHeader(8, 4, 3, kDxt1);
    w.Fill(32, 0xAB);
    const Bytes& file = w.data();
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
    EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
    EXPECT_EQ(info.MipLevels, 3u);
    EXPECT_EQ(info.Format, D3DFMT_DXT1);
    EXPECT_EQ(image.rowPitch, 16u);
    EXPECT_EQ(image.slicePitch, 16u);
    EXPECT_EQ(image.pixels, file.data() + 128);
    const DecodedImage* second = image.nextLevel.get();
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->width, 4u);
    EXPECT_EQ(second->height, 2u);
    EXPECT_EQ(second->pixels, file.data() + 144);
    ASSERT_NE(second->nextLevel, nullptr);
    EXPECT_EQ(second->nextLevel->box.right, 2u);  // boxes cover every level
    EXPECT_EQ(second->nextLevel->nextLevel, nullptr);

    w.data().pop_back();  // the last level is cut short
    EXPECT_EQ(ReadDds(image, w.data().data(), w.data().size()), E_FAIL);
}

TEST(DdsReader, CubeFacesAreLinkedByTheirFirstLevels) {
    ByteWriter w = DdsHeader(2, 2, 2, kA8R8G8B8, 0xFE00);
    for (UINT face = 0; face < 6; ++face) {
        w.Fill(16, static_cast<BYTE>(face)).Fill(4, static_cast<BYTE>(face));
    }
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, w.data().data(), w.data().size(), &info, true), S_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_CUBETEXTURE);
    UINT faces = 0;
    for (const DecodedImage* face = &image; face; face = face->nextFace.get()) {
        EXPECT_EQ(face->pixels[0], faces);
        ASSERT_NE(face->nextLevel, nullptr);
        EXPECT_EQ(face->nextLevel->pixels[0], faces);
        ++faces;
    }
    EXPECT_EQ(faces, 6u);

    ByteWriter fourFaces = DdsHeader(2, 2, 1, kA8R8G8B8, 0x3C00);
    fourFaces.Fill(16 * 6, 0);
    EXPECT_EQ(ReadDds(image, fourFaces.data().data(), fourFaces.data().size()), E_FAIL);
}

TEST(DdsReader, CubeFacesStartAfterTheLevelsTheHeaderClaims) {
    // A 4x4 DXT3 cube claiming 4 levels holds 4x4, 2x2, 1x1 and 1x1 per face,
    // one 16-byte block each; the surplus 1x1 level gets no record but its
    // bytes still lie between the faces.
    const DdsPixelFormat dxt3{0x4, MAKEFOURCC('D', 'X', 'T', '3'), 0, {0, 0, 0, 0}};
    ByteWriter w = DdsHeader(4, 4, 4, dxt3, 0xFE00);
    for (UINT face = 0; face < 6; ++face) {
        for (UINT level = 0; level < 4; ++level) {
            w.Fill(16, static_cast<BYTE>(face << 4 | level));
        }
    }
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, w.data().data(), w.data().size(), &info, true), S_OK);
    EXPECT_EQ(info.MipLevels, 3u);
    UINT face = 0;
    for (const DecodedImage* head = &image; head; head = head->nextFace.get(), ++face) {
        UINT level = 0;
        for (const DecodedImage* l = head; l; l = l->nextLevel.get(), ++level) {
            EXPECT_EQ(l->pixels[0], face << 4 | level) << "face " << face << " level " << level;
            EXPECT_EQ(l->pixels[15], face << 4 | level);
        }
        EXPECT_EQ(level, 3u);
    }
    EXPECT_EQ(face, 6u);

    // The last face may lack its surplus level; the others may not, so six
    // bare 3-level chains are too short.
    w.data().resize(w.data().size() - 16);
    EXPECT_EQ(ReadDds(image, w.data().data(), w.data().size()), S_OK);
    ByteWriter cut = DdsHeader(4, 4, 4, dxt3, 0xFE00);
    cut.Fill(6 * 48, 0);
    EXPECT_EQ(ReadDds(image, cut.data().data(), cut.data().size()), E_FAIL);
}

TEST(DdsReader, VolumeLevelsHalveTheDepth) {
    ByteWriter w = DdsHeader(4, 2, 2, kP8, 0x200000, 4, kDdsdDepth);
    for (UINT i = 0; i < 256; ++i) {
        w.U8(i).U8(0).U8(0).U8(255);
    }
    w.Fill(4 * 2 * 4 + 2 * 1 * 2, 7);
    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, w.data().data(), w.data().size(), &info, true), S_OK);
    EXPECT_EQ(info.ResourceType, D3DRTYPE_VOLUMETEXTURE);
    EXPECT_EQ(info.Depth, 4u);
    EXPECT_EQ(image.slicePitch, 8u);
    ASSERT_NE(image.palette, nullptr);
    EXPECT_EQ(image.palette[9].peRed, 9);
    ASSERT_NE(image.nextLevel, nullptr);
    EXPECT_EQ(image.nextLevel->depth, 2u);
    EXPECT_EQ(image.nextLevel->palette, image.palette);

    ByteWriter noPalette = DdsHeader(1, 1, 1, kP8);
    noPalette.Fill(100, 0);
    EXPECT_EQ(ReadDds(image, noPalette.data().data(), noPalette.data().size()), E_FAIL);
}

TEST(DdsReader, TemplatesMatchOnlyTheFieldsTheirFlagsName) {
    struct Case {
        DdsPixelFormat pf;
        D3DFORMAT expected;
    };
    const Case cases[] = {
        {{0x40, 0, 24, {0xFF0000, 0xFF00, 0xFF, 0x12345678}}, D3DFMT_R8G8B8},  // alpha mask ignored
        {{0x20000, 0, 8, {0xFF, 7, 7, 7}}, D3DFMT_L8},
        {{0x80001, 0, 32, {0x3FF00000, 0xFFC00, 0x3FF, 0xC0000000u}}, D3DFMT_A2W10V10U10},
        {{0x400, 0, 16, {0, 0xFFFF, 0, 0}}, D3DFMT_D16_LOCKABLE},
        {{0x4, MAKEFOURCC('Y', 'U', 'Y', '2'), 99, {1, 2, 3, 4}}, D3DFMT_YUY2},
        {{0x41, 0, 32, {0xFF0000, 0xFF00, 0xFF, 0}}, D3DFMT_UNKNOWN},
        {{0x4, MAKEFOURCC('D', 'X', 'T', '9'), 0, {0, 0, 0, 0}}, D3DFMT_UNKNOWN},
    };
    for (const Case& c : cases) {
        ByteWriter w = DdsHeader(3, 3, 1, c.pf);
        w.Fill(64, 0);
        DecodedImage image;
        image.wantPixels = true;
        const HRESULT hr = ReadDds(image, w.data().data(), w.data().size());
        if (c.expected == D3DFMT_UNKNOWN) {
            EXPECT_EQ(hr, E_FAIL);
        } else {
            ASSERT_EQ(hr, S_OK) << c.expected;
            EXPECT_EQ(image.format, c.expected);
        }
    }
}

TEST(DdsReader, LyingCountsAndSizesStayBounded) {
    DecodedImage image;
    // A 1x1 image claiming 2^32 - 1 levels keeps one level.
    ByteWriter many = DdsHeader(1, 1, 0xFFFFFFFFu, kA8R8G8B8);
    many.Fill(4000, 0);
    ASSERT_EQ(ReadDds(image, many.data().data(), many.data().size()), S_OK);
    EXPECT_EQ(image.LevelCount(), 1u);
    // Zero and huge sizes.
    ByteWriter zero = DdsHeader(0, 4, 1, kA8R8G8B8);
    zero.Fill(64, 0);
    EXPECT_EQ(ReadDds(image, zero.data().data(), zero.data().size()), E_FAIL);
    ByteWriter huge = DdsHeader(0xFFFFFFFFu, 0xFFFFFFFFu, 1, kA8R8G8B8, 0, 0xFFFFFFFFu, kDdsdDepth);
    huge.Fill(64, 0);
    EXPECT_EQ(ReadDds(image, huge.data().data(), huge.data().size()), E_FAIL);
}

}  // namespace
}  // namespace valmere::test
