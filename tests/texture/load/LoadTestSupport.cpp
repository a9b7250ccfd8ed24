#include "tests/texture/load/LoadTestSupport.h"

#include <cstdio>
#include <cstring>

#include "platform/d3d8/ComPtr.h"
#include "texture/codec/PixelCodec.h"

namespace valmere::test {
namespace {

void Put32(Bytes& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<BYTE>(v >> (8 * i)));
}
void Put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<BYTE>(v));
    out.push_back(static_cast<BYTE>(v >> 8));
}

Bytes BmpFile(UINT width, UINT height, UINT bits, const std::vector<std::uint32_t>& palette, const PixelFunction& f) {
    const UINT rowBytes = (width * bits / 8 + 3) & ~3u;
    const UINT offset = 14 + 40 + static_cast<UINT>(palette.size()) * 4;
    Bytes out;
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + rowBytes * height);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, width);
    Put32(out, height);
    Put16(out, 1);
    Put16(out, bits);
    for (std::uint32_t v : {0u, rowBytes * height, 2835u, 2835u, static_cast<std::uint32_t>(palette.size()), 0u})
        Put32(out, v);
    for (std::uint32_t entry : palette) Put32(out, entry);  // blue, green, red, reserved
    for (UINT row = 0; row < height; ++row) {
        const UINT y = height - 1 - row;
        const std::size_t start = out.size();
        for (UINT x = 0; x < width; ++x) {
            const std::uint32_t v = f(x, y);
            for (UINT b = 0; b < bits / 8; ++b) out.push_back(static_cast<BYTE>(v >> (8 * b)));
        }
        out.resize(start + rowBytes, 0);
    }
    return out;
}

}  // namespace

Bytes Bmp24(UINT width, UINT height, const PixelFunction& rgb) { return BmpFile(width, height, 24, {}, rgb); }

Bytes Bmp8(UINT width, UINT height, const std::vector<std::uint32_t>& palette, const PixelFunction& index) {
    return BmpFile(width, height, 8, palette, index);
}

std::vector<std::uint32_t> ReadSurface(IDirect3DSurface8* surface) {
    D3DSURFACE_DESC desc{};
    surface->GetDesc(&desc);
    ComPtr<IDirect3DSurface8> readable = ComPtr<IDirect3DSurface8>::Share(surface);
    if (desc.Pool == D3DPOOL_DEFAULT && (desc.Usage & D3DUSAGE_DYNAMIC) == 0) {
        ComPtr<IDirect3DDevice8> device;
        if (FAILED(surface->GetDevice(device.Receive())) ||
            FAILED(device->CreateImageSurface((desc.Width + 3) & ~3u, (desc.Height + 3) & ~3u, desc.Format,
                                              readable.Receive())) ||
            FAILED(device->CopyRects(surface, nullptr, 0, readable.Get(), nullptr))) {
            std::fprintf(stderr, "ReadSurface: no copy of the default-pool surface\n");
            return {};
        }
    }
    D3DLOCKED_RECT rect{};
    std::vector<std::uint32_t> pixels;
    if (FAILED(readable->LockRect(&rect, nullptr, D3DLOCK_READONLY))) return pixels;
    LockedPixels locked;
    locked.pixels = rect.pBits;
    locked.format = desc.Format;
    locked.rowPitch = rect.Pitch;
    locked.extent = D3DBOX{0, 0, desc.Width, desc.Height, 0, 1};
    locked.region = locked.extent;
    std::vector<D3DXCOLOR> row(desc.Width);
    {
        auto codec = CreatePixelCodec(locked);
        for (UINT y = 0; codec && y < desc.Height; ++y) {
            codec->DecodeRow(y, 0, row.data());
            for (const D3DXCOLOR& c : row) pixels.push_back(static_cast<DWORD>(c));
        }
    }
    readable->UnlockRect();
    return pixels;
}

std::vector<std::uint32_t> ReadLevel(IDirect3DTexture8* texture, UINT level) {
    IDirect3DSurface8* surface = nullptr;
    if (FAILED(texture->GetSurfaceLevel(level, &surface))) return {};
    auto pixels = ReadSurface(surface);
    surface->Release();
    return pixels;
}

}  // namespace valmere::test
