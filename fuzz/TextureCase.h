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

// The first five layout bytes of the load targets:
//   0      call: bit 0 from a surface or volume (else from memory); bit 1
//          (with bit 0) the source is the destination itself; bit 2 no
//          destination rectangle or box; bit 3 no source one
//   1      palettes (Palettes below)
//   2, 3   destination and source format (FormatAt)
//   4      bits 0-1 destination pool, bits 2-3 source pool (PoolAt), bit 4
//          D3DUSAGE_DYNAMIC on both (not in D3DPOOL_MANAGED), bits 5-7 the
//          device profile
struct LoadHeader {
    bool fromResource = false;
    bool selfCopy = false;
    bool noDestRegion = false;
    bool noSourceRegion = false;
    std::uint8_t paletteBits = 0;
    D3DFORMAT destFormat = D3DFMT_UNKNOWN;
    D3DFORMAT srcFormat = D3DFMT_UNKNOWN;
    D3DPOOL destPool = D3DPOOL_DEFAULT;
    D3DPOOL srcPool = D3DPOOL_DEFAULT;
    bool dynamic = false;
    unsigned profile = 0;
    // The usage of a resource in `pool`.
    DWORD UsageIn(D3DPOOL pool) const { return dynamic && pool != D3DPOOL_MANAGED ? D3DUSAGE_DYNAMIC : 0; }
};
LoadHeader ReadLoadHeader(FuzzInput& in);

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

// A texture an input asks for, read from seven layout bytes:
//   0      bits 0-1 kind (0 2D, 1 cube, 2 volume, 3 2D); the bits above are
//          the target's own (`kindBits`)
//   1      bits 0-2 device profile, bits 3-4 pool (PoolAt), bit 5
//          D3DUSAGE_DYNAMIC (not with D3DPOOL_MANAGED)
//   2      format (FormatAt)
//   3-5    width (cube: edge), height, depth: byte % 32 + 1 (volumes: % 8 +
//          1), width and height rounded up to whole blocks for block formats
//   6      levels: byte % 8 (0: the whole chain)
struct TextureRequest {
    std::uint8_t kindBits = 0;
    D3DRESOURCETYPE kind = D3DRTYPE_TEXTURE;
    unsigned profile = 0;
    D3DPOOL pool = D3DPOOL_DEFAULT;
    DWORD usage = 0;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0, height = 0, depth = 0, levels = 0;
};
TextureRequest ReadTextureRequest(FuzzInput& in);
// The device's CreateTexture, CreateCubeTexture or CreateVolumeTexture for
// the request; its result.
HRESULT CreateTexture(IDirect3DDevice8* device, const TextureRequest& request, ComPtr<IDirect3DBaseTexture8>& texture);
// Every level of every face (faces outer, levels inner), first filled from
// `data` when `fill` is set, then snapshot.
std::vector<ImageBytes> LevelImages(IDirect3DBaseTexture8* texture, std::span<const std::uint8_t> data, bool fill);

// One side of a load as the checks see it: its format, the whole image, the
// box the call named (the whole image when it named none) and its bytes
// before the call.
struct LoadSide {
    D3DFORMAT format;
    D3DBOX whole;
    D3DBOX box;
    const ImageBytes& bytes;
};

// The checks after a load: D3DERR_INVALIDCALL for `invalid` arguments, else
// one a load may give for arguments it must accept (or D3DERR_INVALIDCALL
// when `lockMayFail`); no byte of `after` outside the destination box
// widened to whole groups (anywhere, for invalid arguments) differs from the
// destination's bytes before; a successful load between equal formats and
// sizes without colour key or palette copies the bytes exactly.
void RequireLoadOutcome(HRESULT hr, bool invalid, bool lockMayFail, D3DCOLOR colorKey, const LoadSide& source,
                        const LoadSide& dest, const ImageBytes& after);

// The results a load may give for arguments it must accept: success, no
// codec or strategy (E_FAIL) and out of memory.
bool IsLoadResult(HRESULT hr);

}  // namespace valmere::fuzz
