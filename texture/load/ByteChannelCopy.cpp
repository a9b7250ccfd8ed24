#include "texture/load/ByteChannelCopy.h"

#include <cstdint>
#include <cstring>

namespace valmere {
namespace {

enum class Layout { Rgb24, Xrgb32, Argb32 };

bool LayoutOf(D3DFORMAT format, Layout& layout) {
    switch (format) {
        case D3DFMT_R8G8B8: layout = Layout::Rgb24; return true;
        case D3DFMT_X8R8G8B8: layout = Layout::Xrgb32; return true;
        case D3DFMT_A8R8G8B8: layout = Layout::Argb32; return true;
        default: return false;
    }
}

constexpr std::size_t BytesOf(Layout layout) { return layout == Layout::Rgb24 ? 3 : 4; }

template <Layout To>
void StorePixel(std::byte* to, std::uint32_t pixel) {
    if constexpr (To == Layout::Xrgb32) pixel &= 0x00FFFFFFu;
    std::memcpy(to, &pixel, BytesOf(To));
}

template <Layout From, Layout To>
void CopyRow(std::byte* to, const std::byte* from, UINT count) {
    UINT i = 0;
    if constexpr (From == Layout::Rgb24) {
        // Four packed pixels are three words: unpacked by shifts, not byte by byte.
        for (; i + 4 <= count; i += 4, to += 4 * BytesOf(To), from += 12) {
            std::uint32_t w[3];
            std::memcpy(w, from, 12);
            StorePixel<To>(to, 0xFF000000u | w[0]);
            StorePixel<To>(to + BytesOf(To), 0xFF000000u | (w[0] >> 24) | (w[1] << 8));
            StorePixel<To>(to + 2 * BytesOf(To), 0xFF000000u | (w[1] >> 16) | (w[2] << 16));
            StorePixel<To>(to + 3 * BytesOf(To), 0xFF000000u | (w[2] >> 8));
        }
    }
    for (; i < count; ++i, to += BytesOf(To), from += BytesOf(From)) {
        std::uint32_t pixel = 0;
        std::memcpy(&pixel, from, 3);
        if constexpr (From == Layout::Argb32) {
            pixel |= std::uint32_t{std::to_integer<std::uint8_t>(from[3])} << 24;
        } else {
            pixel |= 0xFF000000u;
        }
        StorePixel<To>(to, pixel);
    }
}

using RowCopy = void (*)(std::byte*, const std::byte*, UINT);

template <Layout From>
RowCopy SelectTo(Layout to) {
    switch (to) {
        case Layout::Rgb24: return CopyRow<From, Layout::Rgb24>;
        case Layout::Xrgb32: return CopyRow<From, Layout::Xrgb32>;
        default: return CopyRow<From, Layout::Argb32>;
    }
}

RowCopy Select(Layout from, Layout to) {
    switch (from) {
        case Layout::Rgb24: return SelectTo<Layout::Rgb24>(to);
        case Layout::Xrgb32: return SelectTo<Layout::Xrgb32>(to);
        default: return SelectTo<Layout::Argb32>(to);
    }
}

}  // namespace

bool CopyByteChannels(const BlitJob& job) {
    Layout from{}, to{};
    if (job.source.colorKey != 0 || !LayoutOf(job.source.format, from) || !LayoutOf(job.destination.format, to))
        return false;
    const RowCopy copy = Select(from, to);
    std::byte* const toStart = RegionStart(job.destination, PixelGroupOf(job.destination.format));
    const std::byte* const fromStart = RegionStart(job.source, PixelGroupOf(job.source.format));
    for (UINT z = 0; z < job.decoder.Depth(); ++z)
        for (UINT y = 0; y < job.decoder.Height(); ++y)
            copy(toStart + std::ptrdiff_t{job.destination.slicePitch} * z + std::ptrdiff_t{job.destination.rowPitch} * y,
                 fromStart + std::ptrdiff_t{job.source.slicePitch} * z + std::ptrdiff_t{job.source.rowPitch} * y,
                 job.decoder.Width());
    return true;
}

}  // namespace valmere
