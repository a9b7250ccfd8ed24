// load_surface: D3DXLoadSurfaceFromMemory and D3DXLoadSurfaceFromSurface
// between any two formats of the pixel format table, with any rectangles,
// filter words, colour keys and palettes.
//
// Byte layout (fields past the end of the input read as 0):
//   0-4    call, palettes, formats, pools and profile (LoadHeader in
//          fuzz/TextureCase.h; "from a resource" is FromSurface)
//   5, 6   destination width and height: byte % 64 + 1, rounded up to
//          whole blocks for block formats
//   7, 8   source width and height, the same way: the source surface, or
//          the memory image (grown to hold the source rectangle)
//   9-12   destination rectangle left, top, right, bottom (signed bytes)
//   13-16  source rectangle, the same
//   17, 18 filter type and flags (FilterWord)
//   19-22  colour key, little-endian ARGB
//   23     bytes added to the memory image's row pitch (low 4 bits)
//   rest   source pixels, then palette entries, repeated as needed
//
// Checked after every call: the result is D3DERR_INVALIDCALL for the
// arguments documented as invalid and otherwise one a load may give; bytes
// of the destination outside its rectangle (widened to whole blocks or
// pixel pairs) and the source memory are unchanged; a successful load
// between equal formats and sizes without colour key copies the bytes
// exactly; reference counts are back where they were.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDevice.h"
#include "fuzz/FuzzInput.h"
#include "fuzz/TextureCase.h"
#include "platform/d3d8/ComPtr.h"
#include "texture/D3DXTexture.h"
#include "texture/format/PixelFormat.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace valmere::fuzz {
namespace {

struct Surface {
    ComPtr<IDirect3DTexture8> texture;
    ComPtr<IDirect3DSurface8> level;
    UINT width = 0;
    UINT height = 0;
};

UINT Extent(std::uint8_t byte, const PixelLayout& layout) {
    const UINT extent = byte % 64u + 1;
    return layout.blockBytes ? (extent + 3) / 4 * 4 : extent;
}

bool MakeSurface(IDirect3DDevice8* device, UINT width, UINT height, D3DFORMAT format, D3DPOOL pool, DWORD usage,
                 Surface& out) {
    if (FAILED(device->CreateTexture(width, height, 1, usage, format, pool, out.texture.Receive()))) return false;
    out.width = width;
    out.height = height;
    return SUCCEEDED(out.texture->GetSurfaceLevel(0, out.level.Receive()));
}

RECT ReadRect(FuzzInput& in) {
    RECT rect;
    rect.left = in.S8();
    rect.top = in.S8();
    rect.right = in.S8();
    rect.bottom = in.S8();
    return rect;
}

bool Inside(const RECT& r, UINT width, UINT height) {
    return r.left >= 0 && r.top >= 0 && r.left <= r.right && r.top <= r.bottom && r.right <= static_cast<LONG>(width) &&
           r.bottom <= static_cast<LONG>(height);
}

D3DBOX BoxOf(const RECT& r) {
    return {static_cast<UINT>(r.left), static_cast<UINT>(r.top), static_cast<UINT>(r.right), static_cast<UINT>(r.bottom),
            0, 1};
}

D3DBOX WholeBox(UINT width, UINT height) { return {0, 0, width, height, 0, 1}; }

}  // namespace

void Run(FuzzInput& in) {
    const LoadHeader h = ReadLoadHeader(in);
    const D3DFORMAT destFormat = h.destFormat;
    const D3DFORMAT srcFormat = h.srcFormat;
    const PixelLayout destLayout = LayoutOf(destFormat);
    const PixelLayout srcLayout = LayoutOf(srcFormat);
    const UINT destWidth = Extent(in.U8(), destLayout);
    const UINT destHeight = Extent(in.U8(), destLayout);
    UINT srcWidth = Extent(in.U8(), srcLayout);
    UINT srcHeight = Extent(in.U8(), srcLayout);
    const RECT destRect = ReadRect(in);
    const RECT srcRect = ReadRect(in);
    const std::uint8_t filterType = in.U8();
    const DWORD filter = FilterWord(filterType, in.U8());
    const D3DCOLOR colorKey = in.U32();
    const UINT padding = in.U8() & 0xF;
    const auto data = in.Rest();

    const bool fromSurface = h.fromResource;
    const bool selfCopy = h.selfCopy;
    const RECT* destRectArg = h.noDestRegion ? nullptr : &destRect;
    const RECT* srcRectArg = h.noSourceRegion ? nullptr : &srcRect;
    IDirect3DDevice8* device = DeviceOfProfile(h.profile).device;
    const ULONG deviceRefs = References(device);

    Surface dest;
    if (!MakeSurface(device, destWidth, destHeight, destFormat, h.destPool, h.UsageIn(h.destPool), dest)) return;
    Surface source;
    if (fromSurface && !selfCopy) {
        if (!MakeSurface(device, srcWidth, srcHeight, srcFormat, h.srcPool, h.UsageIn(h.srcPool), source)) return;
        FillSurface(source.level.Get(), data, 0);
    }
    if (selfCopy) {
        srcWidth = destWidth;
        srcHeight = destHeight;
    }
    const Palettes palettes(h.paletteBits, data);
    FillSurface(dest.level.Get(), data, 7);
    const ImageBytes before = SnapshotSurface(dest.level.Get());
    const ULONG destRefs = References(dest.texture.Get());

    // The memory image of FromMemory holds its source rectangle.
    const bool srcRectValid = srcRectArg && srcRect.left >= 0 && srcRect.top >= 0 && srcRect.left <= srcRect.right &&
                              srcRect.top <= srcRect.bottom;
    if (!fromSurface && srcRectValid) {
        srcWidth = std::max<UINT>(srcWidth, static_cast<UINT>(srcRect.right));
        srcHeight = std::max<UINT>(srcHeight, static_cast<UINT>(srcRect.bottom));
    }
    const UINT srcPitch = static_cast<UINT>(BytesThrough(srcLayout, srcWidth)) + padding;
    const unsigned srcRows = RowsThrough(srcLayout, srcHeight);
    const std::vector<std::uint8_t> memory = CycledBytes(std::size_t{srcPitch} * srcRows, data, 0);
    const ImageBytes srcBytes =
        selfCopy ? before
                 : (fromSurface ? SnapshotSurface(source.level.Get()) : CopyImage(memory.data(), srcPitch, 0, srcRows, 1));

    HRESULT hr = E_FAIL;
    bool invalid = !IsValidFilterWord(filter) || (destRectArg && !Inside(destRect, destWidth, destHeight));
    if (fromSurface) {
        IDirect3DSurface8* from = selfCopy ? dest.level.Get() : source.level.Get();
        invalid = invalid || (srcRectArg && !Inside(srcRect, srcWidth, srcHeight));
        hr = D3DXLoadSurfaceFromSurface(dest.level.Get(), palettes.dest, destRectArg, from, palettes.source, srcRectArg,
                                        filter, colorKey);
    } else {
        invalid = invalid || !srcRectValid;
        hr = D3DXLoadSurfaceFromMemory(dest.level.Get(), palettes.dest, destRectArg, memory.data(), srcFormat, srcPitch,
                                       palettes.source, srcRectArg, filter, colorKey);
        Require(std::equal(memory.begin(), memory.end(), srcBytes.bytes.begin()), "the source memory was written");
    }
    const D3DBOX destWhole = WholeBox(destWidth, destHeight);
    const D3DBOX srcWhole = WholeBox(srcWidth, srcHeight);
    const LoadSide to{destFormat, destWhole, destRectArg && !invalid ? BoxOf(destRect) : destWhole, before};
    const LoadSide from{srcFormat, srcWhole, srcRectArg ? BoxOf(srcRect) : srcWhole, srcBytes};
    RequireLoadOutcome(hr, invalid, false, colorKey, from, to, SnapshotSurface(dest.level.Get()));
    Require(References(dest.texture.Get()) == destRefs, "the destination's references changed");
    dest = Surface{};
    source = Surface{};
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace valmere::fuzz
