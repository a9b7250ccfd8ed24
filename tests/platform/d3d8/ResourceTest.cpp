// Resources: level chains and pitches, lock rectangles (with guard bytes
// around them), containers and references, contents across Reset, CopyRects
// and UpdateTexture.
#include <cstring>
#include <vector>

#include "tests/platform/d3d8/DeviceFixture.h"

namespace valmere::d3d8::test {
namespace {

// Snapshot of a whole texture level, row padding included.
std::vector<std::uint8_t> ReadLevel(IDirect3DTexture8* texture, UINT level, UINT rows) {
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(texture->LockRect(level, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    const auto* bytes = static_cast<const std::uint8_t*>(locked.pBits);
    std::vector<std::uint8_t> copy(bytes, bytes + static_cast<std::size_t>(locked.Pitch) * rows);
    texture->UnlockRect(level);
    return copy;
}

void FillLevel(IDirect3DTexture8* texture, UINT level, UINT rows, std::uint8_t value) {
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
    std::memset(locked.pBits, value, static_cast<std::size_t>(locked.Pitch) * rows);
    texture->UnlockRect(level);
}

using ResourceTest = DeviceTest;

TEST_F(ResourceTest, LevelChainsHaveHalvedSizesAndPaddedPitches) {
    CreateGameDevice();
    auto texture = MakeTexture(33, 17, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    ASSERT_TRUE(texture);
    ASSERT_EQ(texture->GetLevelCount(), 6u);  // 33 needs six bits
    const UINT widths[] = {33, 16, 8, 4, 2, 1};
    const UINT heights[] = {17, 8, 4, 2, 1, 1};
    for (UINT level = 0; level < 6; ++level) {
        D3DSURFACE_DESC desc{};
        ASSERT_EQ(texture->GetLevelDesc(level, &desc), D3D_OK);
        EXPECT_EQ(desc.Width, widths[level]);
        EXPECT_EQ(desc.Height, heights[level]);
        EXPECT_EQ(desc.Format, D3DFMT_A8R8G8B8);
        EXPECT_EQ(desc.Pool, D3DPOOL_MANAGED);
        EXPECT_EQ(desc.Size, widths[level] * heights[level] * 4);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(texture->LockRect(level, &locked, nullptr, 0), D3D_OK);
        EXPECT_GE(static_cast<UINT>(locked.Pitch), widths[level] * 4);
        EXPECT_EQ(locked.Pitch % 4, 0);
        texture->UnlockRect(level);
    }
}

TEST_F(ResourceTest, BlockFormatsPitchIsOneRowOfBlocks) {
    CreateGameDevice();
    auto dxt1 = MakeTexture(64, 32, 0, D3DFMT_DXT1, D3DPOOL_MANAGED);
    auto dxt5 = MakeTexture(16, 16, 0, D3DFMT_DXT5, D3DPOOL_MANAGED);
    ASSERT_TRUE(dxt1 && dxt5);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(dxt1->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(locked.Pitch, 16 * 8);
    dxt1->UnlockRect(0);
    ASSERT_EQ(dxt5->LockRect(4, &locked, nullptr, 0), D3D_OK);  // 1x1 still takes one block
    EXPECT_EQ(locked.Pitch, 16);
    dxt5->UnlockRect(4);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(dxt5->GetLevelDesc(4, &desc), D3D_OK);
    EXPECT_EQ(desc.Size, 16u);
}

TEST_F(ResourceTest, LockedRectangleAddressesOnlyItsPixels) {
    CreateGameDevice();
    auto texture = MakeTexture(16, 8, 1, D3DFMT_R5G6B5, D3DPOOL_MANAGED);
    ASSERT_TRUE(texture);
    FillLevel(texture.Get(), 0, 8, 0xCD);
    D3DLOCKED_RECT whole{};
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, D3DLOCK_READONLY), D3D_OK);
    auto* base = static_cast<std::uint8_t*>(whole.pBits);
    texture->UnlockRect(0);

    const RECT rect{3, 2, 7, 5};
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, &rect, 0), D3D_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(locked.pBits), base + 2 * whole.Pitch + 3 * 2);
    for (int y = 0; y < 3; ++y) std::memset(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch, 0x11, 4 * 2);
    texture->UnlockRect(0);

    const auto bytes = ReadLevel(texture.Get(), 0, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < whole.Pitch; ++x) {
            const bool inside = y >= 2 && y < 5 && x >= 6 && x < 14;
            EXPECT_EQ(bytes[static_cast<std::size_t>(y * whole.Pitch + x)], inside ? 0x11 : 0xCD) << x << "," << y;
        }
}

TEST_F(ResourceTest, BlockRectanglesMustStartAndEndOnBlocks) {
    CreateGameDevice();
    auto texture = MakeTexture(12, 12, 2, D3DFMT_DXT5, D3DPOOL_MANAGED);
    ASSERT_TRUE(texture);
    D3DLOCKED_RECT whole{};
    ASSERT_EQ(texture->LockRect(0, &whole, nullptr, 0), D3D_OK);
    auto* base = static_cast<std::uint8_t*>(whole.pBits);
    texture->UnlockRect(0);

    D3DLOCKED_RECT locked{};
    const RECT aligned{4, 8, 12, 12};
    ASSERT_EQ(texture->LockRect(0, &locked, &aligned, 0), D3D_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(locked.pBits), base + 2 * whole.Pitch + 16);
    texture->UnlockRect(0);
    for (const RECT& bad : {RECT{1, 0, 4, 4}, RECT{0, 2, 4, 4}, RECT{0, 0, 5, 4}, RECT{0, 0, 4, 16}})
        EXPECT_EQ(texture->LockRect(0, &locked, &bad, 0), D3DERR_INVALIDCALL);
    const RECT edge{4, 4, 6, 6};  // level 1 is 6x6: a rectangle may end at the edge
    EXPECT_EQ(texture->LockRect(1, &locked, &edge, 0), D3D_OK);
    texture->UnlockRect(1);
}

// A compressed level smaller than a block is one whole block: copied into a
// block of a larger surface and back, in both directions.
TEST_F(ResourceTest, CopyRectsCarriesWholeBlocksOfSmallLevels) {
    CreateGameDevice();
    auto texture = MakeTexture(8, 8, 3, D3DFMT_DXT1, D3DPOOL_MANAGED);
    ASSERT_TRUE(texture);
    ComPtr<IDirect3DSurface8> small, scratch;
    ASSERT_EQ(texture->GetSurfaceLevel(2, small.Receive()), D3D_OK);  // 2x2
    ASSERT_EQ(device_->CreateImageSurface(4, 4, D3DFMT_DXT1, scratch.Receive()), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(scratch->LockRect(&locked, nullptr, 0), D3D_OK);
    const std::uint8_t block[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    std::memcpy(locked.pBits, block, 8);
    scratch->UnlockRect();
    const RECT two{0, 0, 2, 2};
    const POINT origin{0, 0};
    ASSERT_EQ(device_->CopyRects(scratch.Get(), &two, 1, small.Get(), &origin), D3D_OK);
    ASSERT_EQ(small->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(std::memcmp(locked.pBits, block, 8), 0);
    small->UnlockRect();
    ComPtr<IDirect3DSurface8> other;
    ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_DXT1, other.Receive()), D3D_OK);
    const POINT inside{4, 4};
    ASSERT_EQ(device_->CopyRects(small.Get(), nullptr, 1, other.Get(), &inside), D3D_OK);
    ASSERT_EQ(other->LockRect(&locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(std::memcmp(static_cast<std::uint8_t*>(locked.pBits) + locked.Pitch + 8, block, 8), 0);
    other->UnlockRect();
    // Rectangles that end inside a block away from every edge stay refused.
    const RECT partial{0, 0, 2, 2}, wide{0, 0, 6, 4};
    EXPECT_EQ(device_->CopyRects(other.Get(), &partial, 1, scratch.Get(), &origin), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->CopyRects(other.Get(), &wide, 1, small.Get(), &origin), D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, LockRulesFollowPoolAndUsage) {
    CreateGameDevice();
    auto managed = MakeTexture(8, 8, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    auto videoMemory = MakeTexture(8, 8, 1, D3DFMT_A8R8G8B8, D3DPOOL_DEFAULT);
    D3DLOCKED_RECT locked{};
    EXPECT_EQ(videoMemory->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(managed->LockRect(0, &locked, nullptr, D3DLOCK_DISCARD), D3DERR_INVALIDCALL);
    ASSERT_EQ(managed->LockRect(0, &locked, nullptr, 0), D3D_OK);
    EXPECT_EQ(managed->LockRect(0, &locked, nullptr, 0), D3DERR_INVALIDCALL);  // already locked
    EXPECT_EQ(managed->UnlockRect(0), D3D_OK);
    EXPECT_EQ(managed->UnlockRect(0), D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, SurfacesShareTheirTexturesReferences) {
    CreateGameDevice();
    IDirect3DTexture8* texture = nullptr;
    ASSERT_EQ(device_->CreateTexture(8, 8, 2, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &texture), D3D_OK);
    IDirect3DSurface8* level = nullptr;
    ASSERT_EQ(texture->GetSurfaceLevel(1, &level), D3D_OK);
    EXPECT_EQ(texture->Release(), 1u);  // the surface keeps the texture
    IDirect3DTexture8* container = nullptr;
    ASSERT_EQ(level->GetContainer(IID_IDirect3DTexture8, reinterpret_cast<void**>(&container)), D3D_OK);
    EXPECT_EQ(container, texture);
    container->Release();
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(level->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 4u);
    EXPECT_EQ(level->Release(), 0u);

    ComPtr<IDirect3DSurface8> image;
    ASSERT_EQ(device_->CreateImageSurface(4, 4, D3DFMT_L8, image.Receive()), D3D_OK);
    void* object = nullptr;
    EXPECT_EQ(image->GetContainer(IID_IDirect3DBaseTexture8, &object), E_NOINTERFACE);
    ASSERT_EQ(image->GetContainer(IID_IDirect3DDevice8, &object), D3D_OK);
    EXPECT_EQ(object, device_.Get());
    static_cast<IDirect3DDevice8*>(object)->Release();
}

TEST_F(ResourceTest, CubeAndVolumeLevels) {
    CreateGameDevice();
    ComPtr<IDirect3DCubeTexture8> cube;
    ASSERT_EQ(device_->CreateCubeTexture(16, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, cube.Receive()), D3D_OK);
    EXPECT_EQ(cube->GetLevelCount(), 5u);
    EXPECT_EQ(cube->GetType(), D3DRTYPE_CUBETEXTURE);
    ComPtr<IDirect3DSurface8> face;
    ASSERT_EQ(cube->GetCubeMapSurface(D3DCUBEMAP_FACE_NEGATIVE_Z, 4, face.Receive()), D3D_OK);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(face->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Width, 1u);

    ComPtr<IDirect3DVolumeTexture8> volume;
    ASSERT_EQ(device_->CreateVolumeTexture(8, 4, 2, 0, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, volume.Receive()), D3D_OK);
    EXPECT_EQ(volume->GetLevelCount(), 4u);
    D3DLOCKED_BOX whole{};
    ASSERT_EQ(volume->LockBox(0, &whole, nullptr, 0), D3D_OK);
    EXPECT_GE(whole.RowPitch, 32);
    EXPECT_EQ(whole.SlicePitch, whole.RowPitch * 4);
    volume->UnlockBox(0);
    const D3DBOX box{2, 1, 4, 3, 1, 2};
    D3DLOCKED_BOX part{};
    ASSERT_EQ(volume->LockBox(0, &part, &box, 0), D3D_OK);
    EXPECT_EQ(static_cast<std::uint8_t*>(part.pBits),
              static_cast<std::uint8_t*>(whole.pBits) + whole.SlicePitch + whole.RowPitch + 2 * 4);
    volume->UnlockBox(0);
    const D3DBOX outside{0, 0, 8, 4, 0, 3};
    EXPECT_EQ(volume->LockBox(0, &part, &outside, 0), D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, ManagedContentsSurviveResetAndDefaultPoolContentsDoNot) {
    CreateGameDevice();
    auto texture = MakeTexture(8, 8, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    FillLevel(texture.Get(), 0, 8, 0x5A);
    ComPtr<IDirect3DVertexBuffer8> managed, video;
    ASSERT_EQ(device_->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0, D3DPOOL_MANAGED, managed.Receive()), D3D_OK);
    ASSERT_EQ(device_->CreateVertexBuffer(64, D3DUSAGE_WRITEONLY, 0, D3DPOOL_DEFAULT, video.Receive()), D3D_OK);
    for (auto* buffer : {managed.Get(), video.Get()}) {
        BYTE* data = nullptr;
        ASSERT_EQ(buffer->Lock(0, 0, &data, 0), D3D_OK);
        std::memset(data, 0x77, 64);
        buffer->Unlock();
    }
    ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);

    for (std::uint8_t byte : ReadLevel(texture.Get(), 0, 8)) ASSERT_EQ(byte, 0x5A);
    BYTE* data = nullptr;
    ASSERT_EQ(managed->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(data[63], 0x77);
    managed->Unlock();
    ASSERT_EQ(video->Lock(0, 0, &data, D3DLOCK_READONLY), D3D_OK);
    EXPECT_EQ(data[63], 0x00);
    video->Unlock();
}

TEST_F(ResourceTest, CopyRectsMovesOnlyTheRectangles) {
    CreateGameDevice();
    ComPtr<IDirect3DSurface8> source;
    ASSERT_EQ(device_->CreateImageSurface(8, 8, D3DFMT_A8R8G8B8, source.Receive()), D3D_OK);
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(source->LockRect(&locked, nullptr, 0), D3D_OK);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) + y * locked.Pitch)[x] =
                static_cast<std::uint32_t>(0xFF000000u | (y << 8) | x);
    source->UnlockRect();

    auto texture = MakeTexture(8, 8, 1, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED);
    FillLevel(texture.Get(), 0, 8, 0xEE);
    ComPtr<IDirect3DSurface8> destination;
    ASSERT_EQ(texture->GetSurfaceLevel(0, destination.Receive()), D3D_OK);
    const RECT rects[] = {{1, 1, 3, 2}, {6, 6, 8, 8}};
    const POINT points[] = {{5, 0}, {0, 6}};
    ASSERT_EQ(device_->CopyRects(source.Get(), rects, 2, destination.Get(), points), D3D_OK);

    const auto bytes = ReadLevel(texture.Get(), 0, 8);
    const int pitch = static_cast<int>(bytes.size() / 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < pitch / 4; ++x) {
            std::uint32_t value;
            std::memcpy(&value, &bytes[static_cast<std::size_t>(y * pitch + x * 4)], 4);
            std::uint32_t expected = 0xEEEEEEEEu;
            if (y == 0 && x >= 5 && x < 7) expected = 0xFF000000u | (1 << 8) | (x - 4);
            if (y >= 6 && x < 2) expected = 0xFF000000u | (y << 8) | (x + 6);
            EXPECT_EQ(value, expected) << x << "," << y;
        }

    const RECT outside[] = {{0, 0, 1, 1}, {7, 7, 9, 8}};
    FillLevel(texture.Get(), 0, 8, 0xEE);
    EXPECT_EQ(device_->CopyRects(source.Get(), outside, 2, destination.Get(), nullptr), D3DERR_INVALIDCALL);
    for (std::uint8_t byte : ReadLevel(texture.Get(), 0, 8)) ASSERT_EQ(byte, 0xEE);  // nothing copied
    const POINT offEdge{7, 0};
    EXPECT_EQ(device_->CopyRects(source.Get(), rects, 1, destination.Get(), &offEdge), D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, UpdateTextureCopiesMatchingLevelsIntoVideoMemory) {
    CreateGameDevice();
    auto staging = MakeTexture(8, 8, 4, D3DFMT_L8, D3DPOOL_SYSTEMMEM);
    auto target = MakeTexture(4, 4, 2, D3DFMT_L8, D3DPOOL_DEFAULT);
    ASSERT_TRUE(staging && target);
    for (UINT level = 0; level < 4; ++level) FillLevel(staging.Get(), level, 8 >> level, std::uint8_t(0x10 + level));
    ASSERT_EQ(device_->UpdateTexture(staging.Get(), target.Get()), D3D_OK);

    for (UINT level = 0; level < 2; ++level) {
        ComPtr<IDirect3DSurface8> video, readBack;
        ASSERT_EQ(target->GetSurfaceLevel(level, video.Receive()), D3D_OK);
        const UINT side = 4 >> level;
        ASSERT_EQ(device_->CreateImageSurface(side, side, D3DFMT_L8, readBack.Receive()), D3D_OK);
        ASSERT_EQ(device_->CopyRects(video.Get(), nullptr, 0, readBack.Get(), nullptr), D3D_OK);
        D3DLOCKED_RECT locked{};
        ASSERT_EQ(readBack->LockRect(&locked, nullptr, D3DLOCK_READONLY), D3D_OK);
        EXPECT_EQ(static_cast<std::uint8_t*>(locked.pBits)[side - 1], 0x11 + level);  // source level + 1
        readBack->UnlockRect();
    }
    auto otherFormat = MakeTexture(4, 4, 1, D3DFMT_A8, D3DPOOL_DEFAULT);
    EXPECT_EQ(device_->UpdateTexture(staging.Get(), otherFormat.Get()), D3DERR_INVALIDCALL);
    EXPECT_EQ(device_->UpdateTexture(target.Get(), staging.Get()), D3DERR_INVALIDCALL);  // wrong direction
    auto tooLarge = MakeTexture(16, 16, 1, D3DFMT_L8, D3DPOOL_DEFAULT);
    EXPECT_EQ(device_->UpdateTexture(staging.Get(), tooLarge.Get()), D3DERR_INVALIDCALL);
}

TEST_F(ResourceTest, VertexBufferLocksStayInsideTheBuffer) {
    CreateGameDevice();
    ComPtr<IDirect3DVertexBuffer8> buffer;
    ASSERT_EQ(device_->CreateVertexBuffer(96, D3DUSAGE_WRITEONLY, 0x112, D3DPOOL_MANAGED, buffer.Receive()), D3D_OK);
    D3DVERTEXBUFFER_DESC desc{};
    ASSERT_EQ(buffer->GetDesc(&desc), D3D_OK);
    EXPECT_EQ(desc.Size, 96u);
    EXPECT_EQ(desc.FVF, 0x112u);
    BYTE* whole = nullptr;
    BYTE* part = nullptr;
    ASSERT_EQ(buffer->Lock(0, 0, &whole, 0), D3D_OK);
    ASSERT_EQ(buffer->Lock(32, 64, &part, 0), D3D_OK);
    EXPECT_EQ(part, whole + 32);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3D_OK);
    EXPECT_EQ(buffer->Unlock(), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(32, 65, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(97, 0, &part, 0), D3DERR_INVALIDCALL);
    EXPECT_EQ(buffer->Lock(0, 0, &part, D3DLOCK_DISCARD), D3DERR_INVALIDCALL);  // not dynamic
}

}  // namespace
}  // namespace valmere::d3d8::test
