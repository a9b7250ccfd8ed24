#include "tools/valmere-texture/LevelEncoding.h"

#include "texture/codec/PixelCodec.h"
#include "texture/dxt/DxtBlock.h"
#include "texture/format/BlockFormat.h"

#include <algorithm>
#include <new>
#include <vector>

namespace valmere::tools {
namespace {

struct BlockPacker {
    D3DFORMAT format;
    PackBlocksFn standard;
    PackBlocksFn highQuality;
};

constexpr BlockPacker kDxt[] = {
    {D3DFMT_DXT1, PackBlocksDxt1, PackBlocksDxt1HighQuality}, {D3DFMT_DXT2, PackBlocksDxt2, PackBlocksDxt2HighQuality},
    {D3DFMT_DXT3, PackBlocksDxt3, PackBlocksDxt3HighQuality}, {D3DFMT_DXT4, PackBlocksDxt4, PackBlocksDxt4HighQuality},
    {D3DFMT_DXT5, PackBlocksDxt5, PackBlocksDxt5HighQuality},
};

// Packs `count` gathered blocks of `format`; false for a format that is not
// a block format the tool encodes.
bool PackRow(D3DFORMAT format, const LevelEncoding& encoding, BYTE* out, const D3DXCOLOR* pixels, UINT count) {
    for (const BlockPacker& p : kDxt) {
        if (p.format == format) {
            (encoding.quality == Quality::High ? p.highQuality : p.standard)(out, pixels, count);
            return true;
        }
    }
    const ChannelRange range = format == kFormatBc4S || format == kFormatBc5S ? ChannelRange::Signed : ChannelRange::Unsigned;
    if (format == kFormatBc4U || format == kFormatBc4S) return SUCCEEDED(PackBlocksBc4(out, pixels, count, range));
    if (format == kFormatBc5U || format == kFormatBc5S) return SUCCEEDED(PackBlocksBc5(out, pixels, count, range));
    return false;
}

// A pixel as the block encoder of `format` takes it.
D3DXCOLOR ForBlocks(D3DXCOLOR p, D3DFORMAT format, bool normalMap) {
    if (format == kFormatBc4S || format == kFormatBc5S) return D3DXCOLOR(2 * p.r - 1, 2 * p.g - 1, 0, 1);
    if (normalMap && (format == D3DFMT_DXT4 || format == D3DFMT_DXT5)) return D3DXCOLOR(1, p.g, 0, p.r);
    return p;
}

HRESULT EncodeBlocks(const ColorImage& image, const LockedPixels& destination, const LevelEncoding& encoding) {
    const UINT w = image.width, h = image.height;
    const UINT across = (w + 3) / 4;
    std::vector<D3DXCOLOR> row(std::size_t{across} * 16);
    for (UINT z = 0; z < image.depth; ++z) {
        const D3DXCOLOR* slice = image.pixels.data() + std::size_t{z} * w * h;
        for (UINT by = 0; by < (h + 3) / 4; ++by) {
            for (UINT i = 0; i < across * 16; ++i) {
                const UINT x = std::min(i / 16 * 4 + i % 4, w - 1), y = std::min(by * 4 + i % 16 / 4, h - 1);
                row[i] = ForBlocks(slice[std::size_t{y} * w + x], destination.format, encoding.normalMap);
            }
            BYTE* out = static_cast<BYTE*>(destination.pixels) + std::ptrdiff_t{destination.slicePitch} * z +
                        std::ptrdiff_t{destination.rowPitch} * by;
            if (!PackRow(destination.format, encoding, out, row.data(), across)) return E_FAIL;
        }
    }
    return S_OK;
}

HRESULT EncodeRows(const ColorImage& image, LockedPixels destination, const LevelEncoding& encoding) {
    destination.dither = encoding.dither ? TRUE : FALSE;
    const std::unique_ptr<PixelCodec> codec = CreatePixelCodec(destination);
    if (!codec) return E_FAIL;
    HRESULT hr = codec->AcceptSourceKind(NumericKind::Unsigned);
    for (UINT z = 0; SUCCEEDED(hr) && z < image.depth; ++z) {
        for (UINT y = 0; SUCCEEDED(hr) && y < image.height; ++y) {
            hr = codec->EncodeRow(y, z, image.pixels.data() + (std::size_t{z} * image.height + y) * image.width);
        }
    }
    return hr;
}

}  // namespace

HRESULT EncodeLevel(const ColorImage& image, const LockedPixels& destination, const LevelEncoding& encoding) {
    try {
        return FindBlockFormatRow(destination.format) ? EncodeBlocks(image, destination, encoding)
                                                      : EncodeRows(image, destination, encoding);
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

}  // namespace valmere::tools
