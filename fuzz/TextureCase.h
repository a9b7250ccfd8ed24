// What the texture targets share: the formats, pools and filter words an
// input picks, palettes, the size of memory in any format, filling and
// snapshots of surfaces and volumes, and the checks made on them.
#pragma once

#include "fuzz/FuzzInput.h"
#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace valmere::fuzz {

// A row of the pixel format table (DXT, YUV, palettes, depth and the
// library's 16-bit formats included), by index modulo the table's size.
D3DFORMAT FormatAt(std::uint8_t index);
// D3DPOOL_DEFAULT, MANAGED, SYSTEMMEM or SCRATCH by the low two bits.
D3DPOOL PoolAt(std::uint8_t index);

// The filter word of two layout bytes: `type` (any value 0 to 15, so that bad
// types occur) and `flags`: bits 0-2 MIRROR_U, V, W, bit 3 DITHER, bit 4 an
// undefined flag bit (0x100000), bit 5 the whole word D3DX_DEFAULT.
DWORD FilterWord(std::uint8_t type, std::uint8_t flags);
// The documented rule: D3DX_DEFAULT, or a type of 1 to 5 with no bit at
// 0x100000 or above.
bool IsValidFilterWord(DWORD filter);

// Source and destination palettes of a load, from the layout's palette bits
// (bit 0: a source palette, bit 1: a destination palette, bit 2: the
// destination uses the source's very array) and entries taken from `data`.
struct Palettes {
    Palettes(std::uint8_t bits, std::span<const std::uint8_t> data);
    Palettes(const Palettes&) = delete;
    Palettes& operator=(const Palettes&) = delete;
    PALETTEENTRY sourceEntries[256];
    PALETTEENTRY destEntries[256];
    const PALETTEENTRY* source = nullptr;
    const PALETTEENTRY* dest = nullptr;
};

// `size` bytes of `data` repeated from `start` (zeros when it is empty).
std::vector<std::uint8_t> CycledBytes(std::size_t size, std::span<const std::uint8_t> data, std::size_t start);

// How a format lays out memory: 4x4 blocks, pixel pairs (YUY2, UYVY) or
// whole pixels.
struct PixelLayout {
    unsigned blockBytes = 0;     // 8 or 16 for block formats, else 0
    unsigned bytesPerPixel = 0;  // 0 for block formats
    bool pairs = false;
};
PixelLayout LayoutOf(D3DFORMAT format);
// Bytes from a row's start through pixel `right - 1`, and the rows (of
// blocks) through row `bottom - 1`.
std::size_t BytesThrough(const PixelLayout& layout, unsigned right);
unsigned RowsThrough(const PixelLayout& layout, unsigned bottom);
// The box widened to whole blocks or pixel pairs and clamped to the image,
// as the locks widen it: the least a load into `box` may rewrite.
D3DBOX WidenedBox(const PixelLayout& layout, D3DBOX box, unsigned width, unsigned height);

// The bytes of a whole locked image (pitch padding included).
struct ImageBytes {
    std::vector<std::uint8_t> bytes;
    std::size_t rowPitch = 0;
    std::size_t slicePitch = 0;
    unsigned rows = 0;  // of pixels, or of blocks
    unsigned slices = 0;
};
// Copies rows x slices rows of `rowPitch` bytes (slices `slicePitch` apart).
ImageBytes CopyImage(const void* pixels, std::size_t rowPitch, std::size_t slicePitch, unsigned rows, unsigned slices);
// The whole of a surface through LockRect, or through a system-memory copy
// when it cannot be locked; empty when neither works.
ImageBytes SnapshotSurface(IDirect3DSurface8* surface);
// The whole of a volume through LockBox; empty when it cannot be locked.
ImageBytes SnapshotVolume(IDirect3DVolume8* volume);

// Fills every byte of a surface (pitch padding aside) or volume from `data`
// repeated from `start`; a surface that cannot be locked is filled through a
// system-memory copy. False when neither works.
bool FillSurface(IDirect3DSurface8* surface, std::span<const std::uint8_t> data, std::size_t start);
bool FillVolume(IDirect3DVolume8* volume, std::span<const std::uint8_t> data, std::size_t start);

// Aborts naming `what` when a byte of `after` outside `box` (already widened)
// differs from `before`. Empty snapshots are not compared.
void RequireSameOutside(const ImageBytes& before, const ImageBytes& after, const PixelLayout& layout,
                        const D3DBOX& box, const char* what);

// Aborts naming `what` when the destination box of `after` does not hold
// the bytes of the source box of `source` (boxes of equal size, aligned to
// whole blocks or pairs): what a load between equal formats and sizes
// without colour key or palette change must give.
void RequireBoxCopied(const ImageBytes& source, const D3DBOX& sourceBox, const ImageBytes& after,
                      const D3DBOX& destBox, const PixelLayout& layout, const char* what);

// D3DRTYPE_TEXTURE, CUBETEXTURE or VOLUMETEXTURE by the low two bits (0 and
// 3 are 2D).
D3DRESOURCETYPE TextureKindAt(std::uint8_t bits);
// The device's CreateTexture, CreateCubeTexture (edge `width`) or
// CreateVolumeTexture; its result.
HRESULT CreateAnyTexture(IDirect3DDevice8* device, D3DRESOURCETYPE kind, UINT width, UINT height, UINT depth,
                         UINT levels, DWORD usage, D3DFORMAT format, D3DPOOL pool,
                         ComPtr<IDirect3DBaseTexture8>& texture);
// Every level of every face (faces outer, levels inner), first filled from
// `data` when `fill` is set, then snapshot.
std::vector<ImageBytes> LevelImages(IDirect3DBaseTexture8* texture, std::span<const std::uint8_t> data, bool fill);

// The results a load may give for arguments it must accept: success, no
// codec or strategy (E_FAIL) and out of memory.
bool IsLoadResult(HRESULT hr);

}  // namespace valmere::fuzz
