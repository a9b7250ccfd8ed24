// DecodedImage: one image as a reader found it in a file (format, pixels,
// palette, size, pitches), linked to its next smaller mip level and to the
// first level of the next cube face. Readers never convert pixels; the
// surface loader does that.
#pragma once

#include "texture/D3DXTexture.h"

#include <cstddef>
#include <memory>

namespace valmere {

// Left, top, right, bottom, front, back; right, bottom and back exclusive.
struct ImageBox {
    UINT left;
    UINT top;
    UINT right;
    UINT bottom;
    UINT front;
    UINT back;
};

// Largest pixel buffer a reader allocates; bigger images are refused as if
// memory had run out.
constexpr std::size_t kMaxDecodedBytes = std::size_t{1} << 30;

struct DecodedImage {
    DecodedImage() = default;
    DecodedImage(const DecodedImage&) = delete;
    DecodedImage& operator=(const DecodedImage&) = delete;
    // Frees owned pixels and palette and the whole level and face chains
    // (iteratively along the levels, so a long DDS chain cannot exhaust the stack).
    ~DecodedImage();

    D3DFORMAT format = D3DFMT_UNKNOWN;
    // First byte of the top row of the front slice; owned (pixelStorage) or
    // pointing into the caller's bytes, which must then outlive this record.
    const BYTE* pixels = nullptr;
    // 256 entries (red, green, blue, flags) or null; owned or in the caller's bytes.
    const PALETTEENTRY* palette = nullptr;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 0;
    ImageBox box{};
    // Bytes from one row to the next (for block formats: one row of 4x4 blocks).
    UINT rowPitch = 0;
    // Bytes from one slice to the next; 0 for 2D images except from DDS.
    UINT slicePitch = 0;
    // Set by LoadImage: false asks a reader for the description only.
    bool wantPixels = false;
    D3DRESOURCETYPE resourceType = D3DRTYPE_TEXTURE;
    D3DXIMAGE_FILEFORMAT fileFormat = D3DXIFF_BMP;
    std::unique_ptr<DecodedImage> nextLevel;
    std::unique_ptr<DecodedImage> nextFace;

    bool OwnsPixels() const { return pixelStorage != nullptr; }
    bool OwnsPalette() const { return paletteStorage != nullptr; }

    // An owned, uninitialised buffer of `bytes` that `pixels` then points at;
    // null (nothing changed) when memory runs out or bytes exceeds kMaxDecodedBytes.
    BYTE* AllocatePixels(std::size_t bytes);
    // An owned 256-entry palette that `palette` then points at, or null.
    PALETTEENTRY* AllocatePalette();

    // Frees everything owned, both chains included, and clears pixels,
    // palette, links and the description (format, size, box, pitches).
    void Clear();

    // Number of records along the level links, this one included.
    UINT LevelCount() const;

    // Bytes from `pixels` to the end of the last row of the last slice (rows
    // of 4x4 blocks for block formats): what a reader vouches is readable.
    std::size_t DataBytes() const;

private:
    std::unique_ptr<BYTE[]> pixelStorage;
    std::unique_ptr<PALETTEENTRY[]> paletteStorage;
};

}  // namespace valmere
