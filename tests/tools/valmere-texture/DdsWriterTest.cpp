// The DDS writer on textures filled through LockRect / LockBox: the project's
// reader and ImageMagick must find every level, face and slice where the
// bytes were written.
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/image/LoadImage.h"
#include "tools/valmere-texture/DdsWriter.h"
#include "tools/valmere-texture/HeadlessDevice.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

namespace valmere::test {
namespace {

using tools::BuildDdsFile;

UINT Half(UINT v) { return std::max(v / 2, 1u); }

// Bytes of one row and number of rows of a level: 4x4 blocks of `unitBytes`
// for DXT, pixels of `unitBytes` otherwise.
struct Packing {
    UINT unitBytes;
    bool blocks;
    UINT RowBytes(UINT width) const { return (blocks ? (width + 3) / 4 : width) * unitBytes; }
    UINT Rows(UINT height) const { return blocks ? (height + 3) / 4 : height; }
};

BYTE Pattern(UINT face, UINT level, UINT z, UINT y, UINT i) {
    return static_cast<BYTE>(face * 53 + level * 31 + z * 17 + y * 7 + i * 3 + 1);
}

void Fill(BYTE* bits, INT rowPitch, INT slicePitch, const Packing& p, UINT width, UINT height, UINT depth, UINT face,
          UINT level) {
    for (UINT z = 0; z < depth; ++z) {
        for (UINT y = 0; y < p.Rows(height); ++y) {
            BYTE* row = bits + static_cast<std::ptrdiff_t>(z) * slicePitch + static_cast<std::ptrdiff_t>(y) * rowPitch;
            for (UINT i = 0; i < p.RowBytes(width); ++i) {
                row[i] = Pattern(face, level, z, y, i);
            }
        }
    }
}

struct Case {
    const char* name;
    D3DRESOURCETYPE type;
    D3DFORMAT format;
    Packing packing;
    UINT width, height, depth, levels;
    D3DPOOL pool;
};

// Creates the texture of `c` with every level of every face filled with Pattern.
ComPtr<IDirect3DBaseTexture8> MakeFilled(IDirect3DDevice8* device, const Case& c) {
    ComPtr<IDirect3DBaseTexture8> result;
    // Default-pool textures cannot be locked: they are filled through a copy.
    const D3DPOOL fillPool = c.pool == D3DPOOL_DEFAULT ? D3DPOOL_SYSTEMMEM : c.pool;
    if (c.type == D3DRTYPE_VOLUMETEXTURE) {
        ComPtr<IDirect3DVolumeTexture8> volume;
        EXPECT_EQ(device->CreateVolumeTexture(c.width, c.height, c.depth, c.levels, 0, c.format, c.pool,
                                              volume.Receive()),
                  D3D_OK);
        for (UINT level = 0, w = c.width, h = c.height, d = c.depth; volume && level < c.levels; ++level) {
            D3DLOCKED_BOX box{};
            EXPECT_EQ(volume->LockBox(level, &box, nullptr, 0), D3D_OK);
            Fill(static_cast<BYTE*>(box.pBits), box.RowPitch, box.SlicePitch, c.packing, w, h, d, 0, level);
            volume->UnlockBox(level);
            w = Half(w), h = Half(h), d = Half(d);
        }
        return ComPtr<IDirect3DBaseTexture8>::Share(volume.Get());
    }
    const bool cube = c.type == D3DRTYPE_CUBETEXTURE;
    ComPtr<IDirect3DTexture8> flat;
    ComPtr<IDirect3DCubeTexture8> cubeTexture;
    EXPECT_EQ(cube ? device->CreateCubeTexture(c.width, c.levels, 0, c.format, fillPool, cubeTexture.Receive())
                   : device->CreateTexture(c.width, c.height, c.levels, 0, c.format, fillPool, flat.Receive()),
              D3D_OK);
    for (UINT face = 0; face < (cube ? 6u : 1u); ++face) {
        for (UINT level = 0, w = c.width, h = c.height; level < c.levels; ++level, w = Half(w), h = Half(h)) {
            D3DLOCKED_RECT rect{};
            const auto f = static_cast<D3DCUBEMAP_FACES>(face);
            EXPECT_EQ(cube ? cubeTexture->LockRect(f, level, &rect, nullptr, 0)
                           : flat->LockRect(level, &rect, nullptr, 0),
                      D3D_OK);
            Fill(static_cast<BYTE*>(rect.pBits), rect.Pitch, 0, c.packing, w, h, 1, face, level);
            cube ? cubeTexture->UnlockRect(f, level) : flat->UnlockRect(level);
        }
    }
    result = cube ? ComPtr<IDirect3DBaseTexture8>::Share(cubeTexture.Get())
                  : ComPtr<IDirect3DBaseTexture8>::Share(flat.Get());
    if (c.pool == D3DPOOL_DEFAULT) {
        ComPtr<IDirect3DTexture8> target;
        EXPECT_EQ(device->CreateTexture(c.width, c.height, c.levels, 0, c.format, D3DPOOL_DEFAULT, target.Receive()),
                  D3D_OK);
        EXPECT_EQ(device->UpdateTexture(result.Get(), target.Get()), D3D_OK);
        result = ComPtr<IDirect3DBaseTexture8>::Share(target.Get());
    }
    return result;
}

const Case kCases[] = {
    {"A8R8G8B8 mips", D3DRTYPE_TEXTURE, D3DFMT_A8R8G8B8, {4, false}, 8, 4, 1, 4, D3DPOOL_MANAGED},
    {"DXT1 mips", D3DRTYPE_TEXTURE, D3DFMT_DXT1, {8, true}, 8, 8, 1, 4, D3DPOOL_MANAGED},
    {"R5G6B5 odd size, default pool", D3DRTYPE_TEXTURE, D3DFMT_R5G6B5, {2, false}, 5, 3, 1, 2, D3DPOOL_DEFAULT},
    {"DXT5 cube", D3DRTYPE_CUBETEXTURE, D3DFMT_DXT5, {16, true}, 4, 4, 1, 3, D3DPOOL_MANAGED},
    {"L8 volume", D3DRTYPE_VOLUMETEXTURE, D3DFMT_L8, {1, false}, 4, 2, 4, 3, D3DPOOL_MANAGED},
    {"P8 scratch", D3DRTYPE_TEXTURE, D3DFMT_P8, {1, false}, 3, 3, 1, 1, D3DPOOL_SCRATCH},
};

class DdsWriter : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_EQ(device_.Create(), S_OK) << device_.FailedCall(); }
    tools::HeadlessDevice device_;
};

TEST_F(DdsWriter, LevelsFacesAndSlicesReadBackByteForByte) {
    PALETTEENTRY palette[256];
    for (UINT i = 0; i < 256; ++i) {
        palette[i] = {static_cast<BYTE>(i), static_cast<BYTE>(255 - i), 7, static_cast<BYTE>(i ^ 0x5A)};
    }
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        ComPtr<IDirect3DBaseTexture8> texture = MakeFilled(device_.Get(), c);
        ASSERT_TRUE(texture);
        Bytes file;
        ASSERT_EQ(BuildDdsFile(texture.Get(), palette, file), S_OK);

        DecodedImage image;
        D3DXIMAGE_INFO info{};
        ASSERT_EQ(LoadImage(image, file.data(), file.size(), &info, true), S_OK);
        EXPECT_EQ(info.ImageFileFormat, D3DXIFF_DDS);
        EXPECT_EQ(info.ResourceType, c.type);
        EXPECT_EQ(info.Format, c.format);
        EXPECT_EQ(info.Width, c.width);
        EXPECT_EQ(info.Height, c.height);
        EXPECT_EQ(info.Depth, c.depth);
        EXPECT_EQ(info.MipLevels, c.levels);
        if (c.format == D3DFMT_P8) {
            ASSERT_NE(image.palette, nullptr);
            EXPECT_EQ(std::memcmp(image.palette, palette, sizeof(palette)), 0);
        }
        UINT face = 0;
        for (const DecodedImage* head = &image; head; head = head->nextFace.get(), ++face) {
            UINT level = 0;
            UINT w = c.width, h = c.height, d = c.depth;
            for (const DecodedImage* l = head; l; l = l->nextLevel.get(), ++level) {
                ASSERT_EQ(l->width, w);
                ASSERT_EQ(l->depth, d);
                std::vector<BYTE> expected(c.packing.RowBytes(w) * c.packing.Rows(h) * d);
                Fill(expected.data(), static_cast<INT>(c.packing.RowBytes(w)),
                     static_cast<INT>(c.packing.RowBytes(w) * c.packing.Rows(h)), c.packing, w, h, d, face, level);
                ASSERT_EQ(l->DataBytes(), expected.size()) << "face " << face << " level " << level;
                EXPECT_EQ(std::memcmp(l->pixels, expected.data(), expected.size()), 0)
                    << "face " << face << " level " << level;
                w = Half(w), h = Half(h), d = Half(d);
            }
            EXPECT_EQ(level, c.levels);
        }
        EXPECT_EQ(face, c.type == D3DRTYPE_CUBETEXTURE ? 6u : 1u);
    }
}

TEST_F(DdsWriter, HeaderCarriesTheFieldsOtherReadersUse) {
    struct Expected {
        const Case& c;
        UINT flags, pitch, caps, caps2;
    };
    // CAPS|HEIGHT|WIDTH|PIXELFORMAT is 0x1007; PITCH 0x8, LINEARSIZE 0x80000,
    // MIPMAPCOUNT 0x20000, DEPTH 0x800000. TEXTURE 0x1000, COMPLEX 0x8, MIPMAP 0x400000.
    const Expected expected[] = {
        {kCases[0], 0x1007 | 0x8 | 0x20000, 8 * 4, 0x1000 | 0x8 | 0x400000, 0},
        {kCases[1], 0x1007 | 0x80000 | 0x20000, 2 * 2 * 8, 0x1000 | 0x8 | 0x400000, 0},
        {kCases[3], 0x1007 | 0x80000 | 0x20000, 16, 0x1000 | 0x8 | 0x400000, 0x200 | 0xFC00},
        {kCases[4], 0x1007 | 0x8 | 0x20000 | 0x800000, 4, 0x1000 | 0x8 | 0x400000, 0x200000},
        {kCases[5], 0x1007 | 0x8, 3, 0x1000, 0},
    };
    PALETTEENTRY palette[256]{};
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.c.name);
        ComPtr<IDirect3DBaseTexture8> texture = MakeFilled(device_.Get(), e.c);
        Bytes file;
        ASSERT_EQ(BuildDdsFile(texture.Get(), palette, file), S_OK);
        auto word = [&file](std::size_t offset) {
            return static_cast<UINT>(file[offset] | file[offset + 1] << 8 | file[offset + 2] << 16 |
                                     file[offset + 3] << 24);
        };
        EXPECT_EQ(word(0), MAKEFOURCC('D', 'D', 'S', ' '));
        EXPECT_EQ(word(4), 124u);
        EXPECT_EQ(word(8), e.flags);
        EXPECT_EQ(word(20), e.pitch);
        EXPECT_EQ(word(28), e.c.levels);
        EXPECT_EQ(word(76), 32u);
        EXPECT_EQ(word(108), e.caps);
        EXPECT_EQ(word(112), e.caps2);
    }
}

TEST_F(DdsWriter, RefusesWhatTheFileCannotHold) {
    Bytes file{1, 2, 3};
    EXPECT_EQ(BuildDdsFile(nullptr, nullptr, file), D3DERR_INVALIDCALL);
    ComPtr<IDirect3DBaseTexture8> paletted = MakeFilled(device_.Get(), kCases[5]);
    EXPECT_EQ(BuildDdsFile(paletted.Get(), nullptr, file), D3DERR_INVALIDCALL);
    EXPECT_EQ(file, (Bytes{1, 2, 3}));  // untouched on failure
    EXPECT_EQ(tools::WriteDdsFile(paletted.Get(), nullptr, "/nonexistent/dir/x.dds"), D3DERR_INVALIDCALL);
    PALETTEENTRY palette[256]{};
    EXPECT_EQ(tools::WriteDdsFile(paletted.Get(), palette, "/nonexistent/dir/x.dds"), E_FAIL);
}

TEST_F(DdsWriter, ImageMagickReadsTheFiles) {
    if (!HaveProgram("identify") || !HaveProgram("convert")) {
        GTEST_SKIP() << "ImageMagick identify or convert is not installed";
    }
    const std::string dir = TempDir("dds_writer_imagemagick");
    for (const Case* c : {&kCases[0], &kCases[1], &kCases[3]}) {
        SCOPED_TRACE(c->name);
        ComPtr<IDirect3DBaseTexture8> texture = MakeFilled(device_.Get(), *c);
        const std::string dds = dir + "/t.dds";
        ASSERT_EQ(tools::WriteDdsFile(texture.Get(), nullptr, dds), S_OK);
        const std::string size = dir + "/size.txt";
        ASSERT_TRUE(RunCommand("identify -format '%wx%h\\n' " + dds + " > " + size));
        const std::optional<Bytes> text = ReadFile(size);
        ASSERT_TRUE(text);
        // ImageMagick reads the first level of every face, one frame each.
        std::string expected;
        for (UINT face = 0; face < (c->type == D3DRTYPE_CUBETEXTURE ? 6 : 1); ++face) {
            expected += std::to_string(c->width) + "x" + std::to_string(c->height) + "\n";
        }
        EXPECT_EQ(std::string(text->begin(), text->end()), expected);
    }
    // The 32-bit level 0 decodes to the bytes written (blue, green, red,
    // alpha in memory; red, green, blue, alpha out of convert).
    ComPtr<IDirect3DBaseTexture8> texture = MakeFilled(device_.Get(), kCases[0]);
    ASSERT_EQ(tools::WriteDdsFile(texture.Get(), nullptr, dir + "/argb.dds"), S_OK);
    ASSERT_TRUE(RunCommand("convert " + dir + "/argb.dds[0] -depth 8 rgba:" + dir + "/argb.rgba"));
    const std::optional<Bytes> rgba = ReadFile(dir + "/argb.rgba");
    ASSERT_TRUE(rgba);
    ASSERT_EQ(rgba->size(), 8u * 4 * 4);
    for (UINT y = 0; y < 4; ++y) {
        for (UINT x = 0; x < 8; ++x) {
            const BYTE* p = rgba->data() + (y * 8 + x) * 4;
            const Rgba got{p[0], p[1], p[2], p[3]};
            const Rgba want{Pattern(0, 0, 0, y, x * 4 + 2), Pattern(0, 0, 0, y, x * 4 + 1), Pattern(0, 0, 0, y, x * 4),
                            Pattern(0, 0, 0, y, x * 4 + 3)};
            ASSERT_EQ(got, want) << x << "," << y;
        }
    }
}

}  // namespace
}  // namespace valmere::test
