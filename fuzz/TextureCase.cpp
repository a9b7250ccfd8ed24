#include "fuzz/TextureCase.h"

#include "fuzz/FuzzCheck.h"
#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/FormatLayout.h"
#include "texture/D3DXTexture.h"
#include "texture/format/PixelFormat.h"

#include <algorithm>
#include <cstring>

namespace valmere::fuzz {
namespace {

unsigned RoundUp(unsigned value, unsigned step) { return (value + step - 1) / step * step; }

}  // namespace

D3DFORMAT FormatAt(std::uint8_t index) {
    const auto table = FormatTable();
    return table[index % table.size()].format;
}

D3DPOOL PoolAt(std::uint8_t index) {
    constexpr D3DPOOL kPools[] = {D3DPOOL_DEFAULT, D3DPOOL_MANAGED, D3DPOOL_SYSTEMMEM, D3DPOOL_SCRATCH};
    return kPools[index & 3];
}

DWORD FilterWord(std::uint8_t type, std::uint8_t flags) {
    if (Bit(flags, 5)) return D3DX_DEFAULT;
    DWORD word = type & 0xF;
    if (Bit(flags, 0)) word |= D3DX_FILTER_MIRROR_U;
    if (Bit(flags, 1)) word |= D3DX_FILTER_MIRROR_V;
    if (Bit(flags, 2)) word |= D3DX_FILTER_MIRROR_W;
    if (Bit(flags, 3)) word |= D3DX_FILTER_DITHER;
    if (Bit(flags, 4)) word |= 0x100000;
    return word;
}

bool IsValidFilterWord(DWORD filter) {
    if (filter == D3DX_DEFAULT) return true;
    const DWORD type = filter & 0xFFFF;
    return type >= D3DX_FILTER_NONE && type <= D3DX_FILTER_BOX && filter < 0x100000;
}

LoadHeader ReadLoadHeader(FuzzInput& in) {
    LoadHeader h;
    const std::uint8_t call = in.U8();
    h.fromResource = Bit(call, 0);
    h.selfCopy = h.fromResource && Bit(call, 1);
    h.noDestRegion = Bit(call, 2);
    h.noSourceRegion = Bit(call, 3);
    h.paletteBits = in.U8();
    h.destFormat = FormatAt(in.U8());
    h.srcFormat = FormatAt(in.U8());
    const std::uint8_t pools = in.U8();
    h.destPool = PoolAt(pools);
    h.srcPool = PoolAt(pools >> 2);
    h.dynamic = Bit(pools, 4);
    h.profile = pools >> 5;
    return h;
}

Palettes::Palettes(std::uint8_t bits, std::span<const std::uint8_t> data) {
    const std::vector<std::uint8_t> entries = CycledBytes(2 * sizeof(sourceEntries), data, 0);
    std::memcpy(sourceEntries, entries.data(), sizeof(sourceEntries));
    std::memcpy(destEntries, entries.data() + sizeof(sourceEntries), sizeof(destEntries));
    source = Bit(bits, 0) ? sourceEntries : nullptr;
    dest = Bit(bits, 1) ? (Bit(bits, 2) ? sourceEntries : destEntries) : nullptr;
}

std::vector<std::uint8_t> CycledBytes(std::size_t size, std::span<const std::uint8_t> data, std::size_t start) {
    std::vector<std::uint8_t> bytes(size);
    if (!data.empty()) {
        for (std::size_t i = 0; i < size; ++i) bytes[i] = data[(start + i) % data.size()];
    }
    return bytes;
}

PixelLayout LayoutOf(D3DFORMAT format) {
    if (const d3d8::FormatLayout* layout = d3d8::FindFormatLayout(format)) {
        return {layout->blockBytes, layout->bitsPerPixel / 8, layout->kind == d3d8::FormatClass::Yuv};
    }
    // The library's own formats have whole bytes per pixel.
    return {0, std::max(1u, GetFormatInfo(format).bitsPerPixel / 8), false};
}

std::size_t BytesThrough(const PixelLayout& layout, unsigned right) {
    if (layout.blockBytes) return std::size_t{RoundUp(right, 4) / 4} * layout.blockBytes;
    if (layout.pairs) return std::size_t{RoundUp(right, 2)} * layout.bytesPerPixel;
    return std::size_t{right} * layout.bytesPerPixel;
}

unsigned RowsThrough(const PixelLayout& layout, unsigned bottom) {
    return layout.blockBytes ? RoundUp(bottom, 4) / 4 : bottom;
}

D3DBOX WidenedBox(const PixelLayout& layout, D3DBOX box, unsigned width, unsigned height) {
    const unsigned across = layout.blockBytes ? 4 : (layout.pairs ? 2 : 1);
    const unsigned down = layout.blockBytes ? 4 : 1;
    box.Left -= box.Left % across;
    box.Right = std::min(RoundUp(box.Right, across), std::max(width, box.Right));
    box.Top -= box.Top % down;
    box.Bottom = std::min(RoundUp(box.Bottom, down), std::max(height, box.Bottom));
    return box;
}

ImageBytes CopyImage(const void* pixels, std::size_t rowPitch, std::size_t slicePitch, unsigned rows, unsigned slices) {
    ImageBytes image;
    image.rowPitch = rowPitch;
    image.slicePitch = rowPitch * rows;
    image.rows = rows;
    image.slices = slices;
    image.bytes.resize(image.slicePitch * slices);
    for (unsigned z = 0; z < slices; ++z) {
        for (unsigned y = 0; y < rows; ++y) {
            std::memcpy(image.bytes.data() + z * image.slicePitch + y * rowPitch,
                        static_cast<const std::uint8_t*>(pixels) + z * slicePitch + y * rowPitch, rowPitch);
        }
    }
    return image;
}

namespace {

// A system-memory image surface that holds all of `surface` (whole blocks:
// a block-format level smaller than a block has a one-block copy), or null.
ComPtr<IDirect3DSurface8> ImageSurfaceLike(IDirect3DSurface8* surface, const D3DSURFACE_DESC& desc) {
    const bool blocks = LayoutOf(desc.Format).blockBytes != 0;
    ComPtr<IDirect3DDevice8> device;
    ComPtr<IDirect3DSurface8> copy;
    if (FAILED(surface->GetDevice(device.Receive())) ||
        FAILED(device->CreateImageSurface(blocks ? RoundUp(desc.Width, 4) : desc.Width,
                                          blocks ? RoundUp(desc.Height, 4) : desc.Height, desc.Format,
                                          copy.Receive()))) {
        return {};
    }
    return copy;
}

// The device's CopyRects of the `desc`-sized surface `from` onto `to`.
bool CopyWhole(IDirect3DSurface8* from, IDirect3DSurface8* to, const D3DSURFACE_DESC& desc) {
    const RECT whole{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    const POINT corner{0, 0};
    ComPtr<IDirect3DDevice8> device;
    return SUCCEEDED(from->GetDevice(device.Receive())) && SUCCEEDED(device->CopyRects(from, &whole, 1, to, &corner));
}

}  // namespace

ImageBytes SnapshotSurface(IDirect3DSurface8* surface) {
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc))) return {};
    const unsigned rows = RowsThrough(LayoutOf(desc.Format), desc.Height);
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
        ImageBytes image = CopyImage(locked.pBits, static_cast<std::size_t>(locked.Pitch), 0, rows, 1);
        surface->UnlockRect();
        return image;
    }
    // The copy's rows of blocks are those of the surface.
    const ComPtr<IDirect3DSurface8> copy = ImageSurfaceLike(surface, desc);
    return copy && CopyWhole(surface, copy.Get(), desc) ? SnapshotSurface(copy.Get()) : ImageBytes{};
}

ImageBytes SnapshotVolume(IDirect3DVolume8* volume) {
    D3DVOLUME_DESC desc{};
    D3DLOCKED_BOX locked{};
    if (FAILED(volume->GetDesc(&desc)) || FAILED(volume->LockBox(&locked, nullptr, D3DLOCK_READONLY))) return {};
    ImageBytes image = CopyImage(locked.pBits, static_cast<std::size_t>(locked.RowPitch),
                                 static_cast<std::size_t>(locked.SlicePitch), RowsThrough(LayoutOf(desc.Format), desc.Height),
                                 desc.Depth);
    volume->UnlockBox();
    return image;
}

bool FillSurface(IDirect3DSurface8* surface, std::span<const std::uint8_t> data, std::size_t start) {
    D3DSURFACE_DESC desc{};
    if (FAILED(surface->GetDesc(&desc))) return false;
    const PixelLayout layout = LayoutOf(desc.Format);
    const std::size_t rowBytes = BytesThrough(layout, desc.Width);
    const unsigned rows = RowsThrough(layout, desc.Height);
    D3DLOCKED_RECT locked{};
    if (SUCCEEDED(surface->LockRect(&locked, nullptr, 0))) {
        for (unsigned y = 0; y < rows; ++y) {
            const std::vector<std::uint8_t> row = CycledBytes(rowBytes, data, start + y * rowBytes);
            std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + y * static_cast<std::size_t>(locked.Pitch),
                        row.data(), rowBytes);
        }
        surface->UnlockRect();
        return true;
    }
    const ComPtr<IDirect3DSurface8> copy = ImageSurfaceLike(surface, desc);
    return copy && FillSurface(copy.Get(), data, start) && CopyWhole(copy.Get(), surface, desc);
}

bool FillVolume(IDirect3DVolume8* volume, std::span<const std::uint8_t> data, std::size_t start) {
    D3DVOLUME_DESC desc{};
    D3DLOCKED_BOX locked{};
    if (FAILED(volume->GetDesc(&desc)) || FAILED(volume->LockBox(&locked, nullptr, 0))) return false;
    const PixelLayout layout = LayoutOf(desc.Format);
    const std::size_t rowBytes = BytesThrough(layout, desc.Width);
    const unsigned rows = RowsThrough(layout, desc.Height);
    for (unsigned z = 0; z < desc.Depth; ++z) {
        for (unsigned y = 0; y < rows; ++y) {
            const std::vector<std::uint8_t> row = CycledBytes(rowBytes, data, start + (z * rows + y) * rowBytes);
            std::memcpy(static_cast<std::uint8_t*>(locked.pBits) + z * static_cast<std::size_t>(locked.SlicePitch) +
                            y * static_cast<std::size_t>(locked.RowPitch),
                        row.data(), rowBytes);
        }
    }
    volume->UnlockBox();
    return true;
}

void RequireSameOutside(const ImageBytes& before, const ImageBytes& after, const PixelLayout& layout,
                        const D3DBOX& box, const char* what) {
    if (before.bytes.empty() || after.bytes.empty()) return;
    Require(before.bytes.size() == after.bytes.size() && before.rowPitch == after.rowPitch,
            "%s: the image changed shape", what);
    const std::size_t first = BytesThrough(layout, box.Left);
    const std::size_t last = std::max(first, BytesThrough(layout, box.Right));
    const unsigned top = layout.blockBytes ? box.Top / 4 : box.Top;
    const unsigned bottom = RowsThrough(layout, box.Bottom);
    for (unsigned z = 0; z < before.slices; ++z) {
        for (unsigned y = 0; y < before.rows; ++y) {
            const std::size_t row = z * before.slicePitch + y * before.rowPitch;
            const std::uint8_t* old = before.bytes.data() + row;
            const std::uint8_t* now = after.bytes.data() + row;
            const bool inside = z >= box.Front && z < box.Back && y >= top && y < bottom;
            const std::size_t end = std::min(before.rowPitch, inside ? first : before.rowPitch);
            Require(std::memcmp(old, now, end) == 0 &&
                        (!inside || last >= before.rowPitch ||
                         std::memcmp(old + last, now + last, before.rowPitch - last) == 0),
                    "%s: bytes outside the destination changed (slice %u, row %u)", what, z, y);
        }
    }
}

void RequireBoxCopied(const ImageBytes& source, const D3DBOX& sourceBox, const ImageBytes& after,
                      const D3DBOX& destBox, const PixelLayout& layout, const char* what) {
    if (source.bytes.empty() || after.bytes.empty()) return;
    const std::size_t bytes = BytesThrough(layout, sourceBox.Right) - BytesThrough(layout, sourceBox.Left);
    const unsigned rows = RowsThrough(layout, sourceBox.Bottom) - RowsThrough(layout, sourceBox.Top);
    for (unsigned z = 0; z < sourceBox.Back - sourceBox.Front; ++z) {
        for (unsigned y = 0; y < rows; ++y) {
            const std::uint8_t* from = source.bytes.data() + (sourceBox.Front + z) * source.slicePitch +
                                       (RowsThrough(layout, sourceBox.Top) + y) * source.rowPitch +
                                       BytesThrough(layout, sourceBox.Left);
            const std::uint8_t* to = after.bytes.data() + (destBox.Front + z) * after.slicePitch +
                                     (RowsThrough(layout, destBox.Top) + y) * after.rowPitch +
                                     BytesThrough(layout, destBox.Left);
            std::size_t at = 0;
            while (at < bytes && from[at] == to[at]) ++at;
            Require(at == bytes, "%s: a copy between equal formats changed byte %zu of %zu (slice %u, row %u)", what, at,
                    bytes, z, y);
        }
    }
}

TextureRequest ReadTextureRequest(FuzzInput& in) {
    TextureRequest r;
    r.kindBits = in.U8();
    r.kind = (r.kindBits & 3) == 1 ? D3DRTYPE_CUBETEXTURE
                                   : ((r.kindBits & 3) == 2 ? D3DRTYPE_VOLUMETEXTURE : D3DRTYPE_TEXTURE);
    const std::uint8_t setup = in.U8();
    r.profile = setup & 7;
    r.pool = PoolAt(setup >> 3);
    r.usage = Bit(setup, 5) && r.pool != D3DPOOL_MANAGED ? D3DUSAGE_DYNAMIC : 0;
    r.format = FormatAt(in.U8());
    const bool blocks = LayoutOf(r.format).blockBytes != 0;
    const UINT planar = r.kind == D3DRTYPE_VOLUMETEXTURE ? 8 : 32;
    r.width = in.U8() % planar + 1;
    r.height = in.U8() % planar + 1;
    r.depth = in.U8() % planar + 1;
    if (blocks) {
        r.width = RoundUp(r.width, 4);
        r.height = RoundUp(r.height, 4);
    }
    r.levels = in.U8() % 8u;
    return r;
}

HRESULT CreateTexture(IDirect3DDevice8* device, const TextureRequest& r, ComPtr<IDirect3DBaseTexture8>& texture) {
    HRESULT hr = E_FAIL;
    if (r.kind == D3DRTYPE_CUBETEXTURE) {
        IDirect3DCubeTexture8* cube = nullptr;
        hr = device->CreateCubeTexture(r.width, r.levels, r.usage, r.format, r.pool, &cube);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(cube);
    } else if (r.kind == D3DRTYPE_VOLUMETEXTURE) {
        IDirect3DVolumeTexture8* volume = nullptr;
        hr = device->CreateVolumeTexture(r.width, r.height, r.depth, r.levels, r.usage, r.format, r.pool, &volume);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(volume);
    } else {
        IDirect3DTexture8* plain = nullptr;
        hr = device->CreateTexture(r.width, r.height, r.levels, r.usage, r.format, r.pool, &plain);
        texture = ComPtr<IDirect3DBaseTexture8>::Adopt(plain);
    }
    return hr;
}

std::vector<ImageBytes> LevelImages(IDirect3DBaseTexture8* texture, std::span<const std::uint8_t> data, bool fill) {
    std::vector<ImageBytes> levels;
    const UINT count = texture->GetLevelCount();
    const D3DRESOURCETYPE type = texture->GetType();
    const UINT faces = type == D3DRTYPE_CUBETEXTURE ? 6 : 1;
    for (UINT face = 0; face < faces; ++face) {
        for (UINT level = 0; level < count; ++level) {
            const std::size_t start = (face * count + level) * 131;
            if (type == D3DRTYPE_VOLUMETEXTURE) {
                ComPtr<IDirect3DVolume8> volume;
                Require(SUCCEEDED(static_cast<IDirect3DVolumeTexture8*>(texture)->GetVolumeLevel(level, volume.Receive())),
                        "GetVolumeLevel");
                if (fill) FillVolume(volume.Get(), data, start);
                levels.push_back(SnapshotVolume(volume.Get()));
                continue;
            }
            ComPtr<IDirect3DSurface8> surface;
            const HRESULT hr =
                type == D3DRTYPE_CUBETEXTURE
                    ? static_cast<IDirect3DCubeTexture8*>(texture)->GetCubeMapSurface(static_cast<D3DCUBEMAP_FACES>(face),
                                                                                     level, surface.Receive())
                    : static_cast<IDirect3DTexture8*>(texture)->GetSurfaceLevel(level, surface.Receive());
            Require(SUCCEEDED(hr), "GetSurfaceLevel");
            if (fill) FillSurface(surface.Get(), data, start);
            levels.push_back(SnapshotSurface(surface.Get()));
        }
    }
    return levels;
}

namespace {

// Whether `box` starts and ends on whole blocks or pairs, so that a raw copy
// between equal formats applies to it.
bool Aligned(const PixelLayout& layout, const D3DBOX& box, const D3DBOX& whole) {
    const D3DBOX widened = WidenedBox(layout, box, whole.Right, whole.Bottom);
    return widened.Left == box.Left && widened.Right == box.Right && widened.Top == box.Top &&
           widened.Bottom == box.Bottom;
}

bool SameSize(const D3DBOX& a, const D3DBOX& b) {
    return a.Right - a.Left == b.Right - b.Left && a.Bottom - a.Top == b.Bottom - b.Top &&
           a.Back - a.Front == b.Back - b.Front;
}

}  // namespace

void RequireLoadOutcome(HRESULT hr, bool invalid, bool lockMayFail, D3DCOLOR colorKey, const LoadSide& source,
                        const LoadSide& dest, const ImageBytes& after) {
    if (invalid) {
        Require(hr == D3DERR_INVALIDCALL, "invalid arguments answered 0x%08X", static_cast<unsigned>(hr));
    } else {
        Require(IsLoadResult(hr) || (lockMayFail && hr == D3DERR_INVALIDCALL), "the load answered 0x%08X",
                static_cast<unsigned>(hr));
    }
    const PixelLayout destLayout = LayoutOf(dest.format);
    const D3DBOX written = invalid ? D3DBOX{} : WidenedBox(destLayout, dest.box, dest.whole.Right, dest.whole.Bottom);
    RequireSameOutside(dest.bytes, after, destLayout, written, "destination");
    const bool palettized = GetFormatInfo(dest.format).kind == FormatKind::Palette;
    if (hr == S_OK && source.format == dest.format && colorKey == 0 && !palettized && SameSize(source.box, dest.box) &&
        Aligned(destLayout, dest.box, dest.whole) && Aligned(LayoutOf(source.format), source.box, source.whole)) {
        RequireBoxCopied(source.bytes, source.box, after, dest.box, destLayout, "equal formats and sizes");
    }
}

bool IsLoadResult(HRESULT hr) { return hr == S_OK || hr == E_FAIL || hr == E_OUTOFMEMORY; }

}  // namespace valmere::fuzz
