// load_volume: D3DXLoadVolumeFromMemory and D3DXLoadVolumeFromVolume between
// any two formats of the pixel format table, with any boxes, filter words,
// colour keys and palettes.
//
// Byte layout (fields past the end of the input read as 0):
//   0-4    call, palettes, formats, pools and profile (LoadHeader in
//          fuzz/TextureCase.h; "from a resource" is FromVolume)
//   5-7    destination width, height, depth: byte % 16 + 1 (width and height
//          rounded up to whole blocks for block formats)
//   8-10   source width, height, depth, the same way: the source volume, or
//          the memory image (grown to hold the source box)
//   11-16  destination box left, top, right, bottom, front, back (bytes,
//          % 24 so that some lie outside)
//   17-22  source box, the same
//   23, 24 filter type and flags (FilterWord)
//   25-28  colour key, little-endian ARGB
//   29     bytes added to the memory image's row pitch (low 4 bits) and to
//          its slice pitch (high 4 bits, in rows)
//   rest   source voxels, then palette entries, repeated as needed
//
// Checked after every call: the result is D3DERR_INVALIDCALL for the
// arguments documented as invalid and otherwise one a load may give (or
// D3DERR_INVALIDCALL from a volume that cannot be locked); bytes
// of the destination outside its box (widened to whole blocks or pixel
// pairs) and the source memory are unchanged; a successful load between
// equal formats and sizes without colour key copies the bytes exactly;
// reference counts are back where they were.
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

struct Volume {
    ComPtr<IDirect3DVolumeTexture8> texture;
    ComPtr<IDirect3DVolume8> level;
    D3DBOX whole{};
};

UINT Extent(std::uint8_t byte, const PixelLayout& layout, bool planar) {
    const UINT extent = byte % 16u + 1;
    return layout.blockBytes && planar ? (extent + 3) / 4 * 4 : extent;
}

bool MakeVolume(IDirect3DDevice8* device, const D3DBOX& whole, D3DFORMAT format, D3DPOOL pool, DWORD usage,
                Volume& out) {
    if (FAILED(device->CreateVolumeTexture(whole.Right, whole.Bottom, whole.Back, 1, usage, format, pool,
                                           out.texture.Receive())))
        return false;
    out.whole = whole;
    return SUCCEEDED(out.texture->GetVolumeLevel(0, out.level.Receive()));
}

D3DBOX ReadSize(FuzzInput& in, const PixelLayout& layout) {
    D3DBOX whole{};
    whole.Right = Extent(in.U8(), layout, true);
    whole.Bottom = Extent(in.U8(), layout, true);
    whole.Back = Extent(in.U8(), layout, false);
    return whole;
}

D3DBOX ReadBox(FuzzInput& in) {
    D3DBOX box;
    box.Left = in.U8() % 24u;
    box.Top = in.U8() % 24u;
    box.Right = in.U8() % 24u;
    box.Bottom = in.U8() % 24u;
    box.Front = in.U8() % 24u;
    box.Back = in.U8() % 24u;
    return box;
}

bool Inside(const D3DBOX& box, const D3DBOX& whole) {
    return box.Left <= box.Right && box.Top <= box.Bottom && box.Front <= box.Back && box.Right <= whole.Right &&
           box.Bottom <= whole.Bottom && box.Back <= whole.Back;
}

bool Ordered(const D3DBOX& box) { return box.Left <= box.Right && box.Top <= box.Bottom && box.Front <= box.Back; }

}  // namespace

void Run(FuzzInput& in) {
    const LoadHeader h = ReadLoadHeader(in);
    const D3DFORMAT destFormat = h.destFormat;
    const D3DFORMAT srcFormat = h.srcFormat;
    const PixelLayout destLayout = LayoutOf(destFormat);
    const PixelLayout srcLayout = LayoutOf(srcFormat);
    const D3DBOX destWhole = ReadSize(in, destLayout);
    D3DBOX srcWhole = ReadSize(in, srcLayout);
    const D3DBOX destBox = ReadBox(in);
    const D3DBOX srcBox = ReadBox(in);
    const std::uint8_t filterType = in.U8();
    const DWORD filter = FilterWord(filterType, in.U8());
    const D3DCOLOR colorKey = in.U32();
    const std::uint8_t padding = in.U8();
    const auto data = in.Rest();

    const bool fromVolume = h.fromResource;
    const bool selfCopy = h.selfCopy;
    const D3DBOX* destBoxArg = h.noDestRegion ? nullptr : &destBox;
    const D3DBOX* srcBoxArg = h.noSourceRegion ? nullptr : &srcBox;
    IDirect3DDevice8* device = DeviceOfProfile(h.profile).device;
    const ULONG deviceRefs = References(device);

    Volume dest;
    if (!MakeVolume(device, destWhole, destFormat, h.destPool, h.UsageIn(h.destPool), dest)) return;
    Volume source;
    if (fromVolume && !selfCopy) {
        if (!MakeVolume(device, srcWhole, srcFormat, h.srcPool, h.UsageIn(h.srcPool), source)) return;
        FillVolume(source.level.Get(), data, 0);
    }
    if (selfCopy) srcWhole = destWhole;
    const Palettes palettes(h.paletteBits, data);
    FillVolume(dest.level.Get(), data, 7);
    const ImageBytes before = SnapshotVolume(dest.level.Get());
    const ULONG destRefs = References(dest.texture.Get());

    // The memory image of FromMemory holds its source box.
    const bool srcBoxValid = srcBoxArg && Ordered(srcBox);
    if (!fromVolume && srcBoxValid) {
        srcWhole.Right = std::max(srcWhole.Right, srcBox.Right);
        srcWhole.Bottom = std::max(srcWhole.Bottom, srcBox.Bottom);
        srcWhole.Back = std::max(srcWhole.Back, srcBox.Back);
    }
    const UINT rowPitch = static_cast<UINT>(BytesThrough(srcLayout, srcWhole.Right)) + (padding & 0xF);
    const unsigned rows = RowsThrough(srcLayout, srcWhole.Bottom) + (padding >> 4);
    const UINT slicePitch = rowPitch * rows;
    const std::vector<std::uint8_t> memory = CycledBytes(std::size_t{slicePitch} * srcWhole.Back, data, 0);
    const ImageBytes srcBytes = selfCopy ? before
                                         : (fromVolume ? SnapshotVolume(source.level.Get())
                                                       : CopyImage(memory.data(), rowPitch, slicePitch, rows, srcWhole.Back));

    HRESULT hr = E_FAIL;
    bool invalid = !IsValidFilterWord(filter) || (destBoxArg && !Inside(destBox, destWhole));
    if (fromVolume) {
        IDirect3DVolume8* from = selfCopy ? dest.level.Get() : source.level.Get();
        invalid = invalid || (srcBoxArg && !Inside(srcBox, srcWhole));
        hr = D3DXLoadVolumeFromVolume(dest.level.Get(), palettes.dest, destBoxArg, from, palettes.source, srcBoxArg,
                                      filter, colorKey);
    } else {
        invalid = invalid || !srcBoxValid;
        hr = D3DXLoadVolumeFromMemory(dest.level.Get(), palettes.dest, destBoxArg, memory.data(), srcFormat, rowPitch,
                                      slicePitch, palettes.source, srcBoxArg, filter, colorKey);
        Require(std::equal(memory.begin(), memory.end(), srcBytes.bytes.begin()), "the source memory was written");
    }
    // A default-pool volume without D3DUSAGE_DYNAMIC cannot be locked
    // (LockBox's D3DERR_INVALIDCALL).
    const auto unlockable = [&](D3DPOOL pool) { return pool == D3DPOOL_DEFAULT && h.UsageIn(pool) == 0; };
    const bool lockMayFail = unlockable(h.destPool) || (fromVolume && !selfCopy && unlockable(h.srcPool));
    const LoadSide to{destFormat, destWhole, destBoxArg && !invalid ? destBox : destWhole, before};
    const LoadSide from{srcFormat, srcWhole, srcBoxArg ? srcBox : srcWhole, srcBytes};
    RequireLoadOutcome(hr, invalid, lockMayFail, colorKey, from, to, SnapshotVolume(dest.level.Get()));
    Require(References(dest.texture.Get()) == destRefs, "the destination's references changed");
    dest = Volume{};
    source = Volume{};
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace valmere::fuzz
