// Cube textures from six face images and from crosses: each face where
// Direct3D's face order puts it, the right way up.
#include "tests/tools/valmere-texture/ToolTestSupport.h"

#include <gtest/gtest.h>

namespace valmere::test {
namespace {

const Rgba kFaceColours[6] = {{255, 0, 0, 255},   {0, 255, 0, 255},   {0, 0, 255, 255},
                              {255, 255, 0, 255}, {0, 255, 255, 255}, {255, 0, 255, 255}};
const Rgba kMark = {255, 255, 255, 255};

// Face `face` of size `size`: its colour, with its top-left pixel white (to
// show which way up it is).
Rgba FacePixel(UINT face, UINT x, UINT y) { return x == 0 && y == 0 ? kMark : kFaceColours[face]; }

// Every face of the cube file: its colour, the mark in its top-left pixel.
void ExpectFaces(const std::string& path, UINT size) {
    const std::unique_ptr<Loaded> file = Load(path);
    EXPECT_EQ(file->info.ResourceType, D3DRTYPE_CUBETEXTURE);
    EXPECT_EQ(file->info.Width, size);
    UINT face = 0;
    for (const DecodedImage* head = &file->image; head; head = head->nextFace.get(), ++face) {
        ASSERT_LT(face, 6u);
        EXPECT_EQ(PixelAt(*head, 0, 0), kMark) << "face " << face;
        EXPECT_EQ(PixelAt(*head, size - 1, size - 1), kFaceColours[face]) << "face " << face;
        EXPECT_EQ(PixelAt(*head, 1, 0), kFaceColours[face]) << "face " << face;
    }
    EXPECT_EQ(face, 6u);
}

TEST(TextureToolCube, FromSixFacesAndFromCrosses) {
    const std::string dir = TempDir("texture-tool-cube");
    constexpr UINT kSize = 8;
    std::string faces;
    for (UINT face = 0; face < 6; ++face) {
        const std::string name = dir + "/face" + std::to_string(face) + ".bmp";
        WriteFile(name, Bmp24(kSize, kSize, [face](UINT x, UINT y) { return FacePixel(face, x, y); }));
        faces += name + " ";
    }
    ToolRun r = RunTool(dir, "--levels 1 --filter none --cube " + faces + dir + "/faces.dds");
    ASSERT_EQ(r.exitCode, 0) << r.err;
    ExpectFaces(dir + "/faces.dds", kSize);

    // Crosses: cells (column, row) of +X, -X, +Y, -Y, +Z, -Z; the vertical
    // cross holds -Z upside down.
    const UINT horizontal[6][2] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {3, 1}};
    const UINT vertical[6][2] = {{2, 1}, {0, 1}, {1, 0}, {1, 2}, {1, 1}, {1, 3}};
    for (bool upright : {true, false}) {
        SCOPED_TRACE(upright ? "horizontal" : "vertical");
        const UINT(*cells)[2] = upright ? horizontal : vertical;
        const UINT width = (upright ? 4 : 3) * kSize, height = (upright ? 3 : 4) * kSize;
        WriteFile(dir + "/cross.bmp", Bmp24(width, height, [&](UINT x, UINT y) {
            for (UINT face = 0; face < 6; ++face) {
                if (x / kSize == cells[face][0] && y / kSize == cells[face][1]) {
                    UINT fx = x % kSize, fy = y % kSize;
                    if (!upright && face == 5) fx = kSize - 1 - fx, fy = kSize - 1 - fy;
                    return FacePixel(face, fx, fy);
                }
            }
            return Rgba{0, 0, 0, 255};
        }));
        r = RunTool(dir, "--levels 1 --filter none --cross " + dir + "/cross.bmp " + dir + "/cross.dds");
        ASSERT_EQ(r.exitCode, 0) << r.err;
        ExpectFaces(dir + "/cross.dds", kSize);
    }

    // Faces of different sizes: the face at fault is named.
    WriteFile(dir + "/small.bmp", Bmp24(4, 4, [](UINT x, UINT y) { return FacePixel(0, x, y); }));
    r = RunTool(dir, "--cube " + faces.substr(0, faces.rfind(' ', faces.size() - 2) + 1) + dir + "/small.bmp " + dir +
                         "/bad.dds");
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("small.bmp: face -Z is 4x4, face +X 8x8"), std::string::npos) << r.err;
}

}  // namespace
}  // namespace valmere::test
