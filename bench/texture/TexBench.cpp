// texbench: the costs of the texture load path on 1024 by 1024 images.
//
//   FilterTexture        a full X8R8G8B8 box chain through D3DXFilterTexture
//   ScalarBoxChain       the same chain by a plain 2x2 loop written here
//   StbResizeChain       the same chain by stb_image_resize (each level from the one above)
//   CopyChainBytes       one memcpy of every byte the chain reads and writes
//   CreateFromBitmap     D3DXCreateTextureFromFileInMemoryEx of a 24-bit BMP with the defaults
//   CopyBitmapAndLevels  one memcpy of the file's bytes plus every level's
//   CreateDxt1/5         the same bitmap into DXT1 / DXT5 textures (Mpix/s of level 0)
//   StbDxt1/5            stb_dxt compressing the same pixels
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include <stb/stb_dxt.h>
#include <stb/stb_image_resize.h>

#include "platform/d3d8/Direct3D8.h"
#include "platform/host/HeadlessHost.h"
#include "texture/D3DXTexture.h"

namespace {

constexpr UINT kSize = 1024;

// Smooth colour with some noise, like a photograph's texture.
std::uint32_t Pixel(UINT x, UINT y, std::mt19937& random) {
    const UINT noise = random() & 0x0F;
    return (((x / 4 + noise) & 0xFF) << 16) | (((y / 4 + noise) & 0xFF) << 8) | (((x + y) / 8 + noise) & 0xFF);
}

std::vector<std::uint32_t> TestPixels() {
    std::mt19937 random(7);
    std::vector<std::uint32_t> pixels(kSize * kSize);
    for (UINT y = 0; y < kSize; ++y)
        for (UINT x = 0; x < kSize; ++x) pixels[y * kSize + x] = Pixel(x, y, random);
    return pixels;
}

// A bottom-up 24-bit BMP of the test pixels.
std::vector<BYTE> TestBitmap() {
    const auto pixels = TestPixels();
    std::vector<BYTE> file(54 + kSize * kSize * 3);
    const auto put = [&](std::size_t at, std::uint32_t v, int bytes) {
        for (int i = 0; i < bytes; ++i) file[at + i] = static_cast<BYTE>(v >> (8 * i));
    };
    file[0] = 'B';
    file[1] = 'M';
    put(2, static_cast<std::uint32_t>(file.size()), 4);
    put(10, 54, 4);
    put(14, 40, 4);
    put(18, kSize, 4);
    put(22, kSize, 4);
    put(26, 1, 2);
    put(28, 24, 2);
    for (UINT row = 0; row < kSize; ++row)
        for (UINT x = 0; x < kSize; ++x) put(54 + (row * kSize + x) * 3, pixels[(kSize - 1 - row) * kSize + x], 3);
    return file;
}

// A headless device as the viewer makes it.
struct Device {
    IDirect3D8* direct3D = nullptr;
    IDirect3DDevice8* device = nullptr;
    Device() {
        valmere::host::InstallHeadlessHost();
        direct3D = Direct3DCreate8(D3D_SDK_VERSION);
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.BackBufferFormat = D3DFMT_R5G6B5;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = reinterpret_cast<HWND>(std::uintptr_t{0x1000});
        direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, parameters.hDeviceWindow,
                               D3DCREATE_SOFTWARE_VERTEXPROCESSING, &parameters, &device);
    }
    ~Device() {
        if (device) device->Release();
        if (direct3D) direct3D->Release();
    }
};

Device& TheDevice() {
    static Device device;
    return device;
}

// Bytes the box chain reads (every level but the last) and writes (every level but the first).
std::size_t ChainBytes() {
    std::size_t bytes = 0;
    for (UINT size = kSize; size > 1; size /= 2) bytes += std::size_t{size} * size * 4 + (size / 2) * (size / 2) * 4;
    return bytes;
}

void FilterTexture(benchmark::State& state) {
    IDirect3DTexture8* texture = nullptr;
    TheDevice().device->CreateTexture(kSize, kSize, 0, 0, D3DFMT_X8R8G8B8, D3DPOOL_MANAGED, &texture);
    const auto pixels = TestPixels();
    D3DLOCKED_RECT rect{};
    texture->LockRect(0, &rect, nullptr, 0);
    for (UINT y = 0; y < kSize; ++y)
        std::memcpy(static_cast<BYTE*>(rect.pBits) + y * rect.Pitch, &pixels[y * kSize], kSize * 4);
    texture->UnlockRect(0);
    for (auto _ : state) {
        if (FAILED(D3DXFilterTexture(texture, nullptr, 0, D3DX_FILTER_BOX))) state.SkipWithError("filter failed");
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ChainBytes()));
    texture->Release();
}

void ScalarBoxChain(benchmark::State& state) {
    std::vector<std::vector<std::uint32_t>> levels;
    levels.push_back(TestPixels());
    for (UINT size = kSize / 2; size >= 1; size /= 2) levels.emplace_back(std::size_t{size} * size);
    for (auto _ : state) {
        for (std::size_t l = 1; l < levels.size(); ++l) {
            const UINT size = kSize >> l, above = size * 2;
            const std::uint32_t* from = levels[l - 1].data();
            std::uint32_t* to = levels[l].data();
            for (UINT y = 0; y < size; ++y)
                for (UINT x = 0; x < size; ++x) {
                    const std::uint32_t* p = from + 2 * y * above + 2 * x;
                    std::uint32_t out = 0;
                    for (int c = 0; c < 32; c += 8) {
                        const UINT sum = ((p[0] >> c) & 0xFF) + ((p[1] >> c) & 0xFF) + ((p[above] >> c) & 0xFF) +
                                         ((p[above + 1] >> c) & 0xFF);
                        out |= ((sum + 2) / 4) << c;
                    }
                    to[y * size + x] = out;
                }
        }
        benchmark::DoNotOptimize(levels.back().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ChainBytes()));
}

void StbResizeChain(benchmark::State& state) {
    std::vector<std::vector<std::uint32_t>> levels;
    levels.push_back(TestPixels());
    for (UINT size = kSize / 2; size >= 1; size /= 2) levels.emplace_back(std::size_t{size} * size);
    for (auto _ : state) {
        for (std::size_t l = 1; l < levels.size(); ++l) {
            const int size = static_cast<int>(kSize >> l);
            stbir_resize_uint8(reinterpret_cast<const unsigned char*>(levels[l - 1].data()), size * 2, size * 2, 0,
                               reinterpret_cast<unsigned char*>(levels[l].data()), size, size, 0, 4);
        }
        benchmark::DoNotOptimize(levels.back().data());
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * ChainBytes()));
}

void Copy(benchmark::State& state, std::size_t bytes) {
    std::vector<BYTE> from(bytes, 1), to(bytes);
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), bytes);
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void CopyChainBytes(benchmark::State& state) { Copy(state, ChainBytes()); }

void CopyBitmapAndLevels(benchmark::State& state) {
    std::size_t levels = 0;
    for (UINT size = kSize; size >= 1; size /= 2) levels += std::size_t{size} * size * 4;
    Copy(state, TestBitmap().size() + levels);
}

void CreateFromBitmap(benchmark::State& state, D3DFORMAT format) {
    const auto file = TestBitmap();
    for (auto _ : state) {
        IDirect3DTexture8* texture = nullptr;
        if (FAILED(D3DXCreateTextureFromFileInMemoryEx(TheDevice().device, file.data(), static_cast<UINT>(file.size()),
                                                       D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0, format,
                                                       D3DPOOL_MANAGED, D3DX_DEFAULT, D3DX_DEFAULT, 0, nullptr,
                                                       nullptr, &texture)))
            state.SkipWithError("creation failed");
        else
            texture->Release();
    }
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSize * kSize / 1e6,
                                                  benchmark::Counter::kIsRate);
}

void StbDxt(benchmark::State& state, bool alpha) {
    const auto pixels = TestPixels();
    std::vector<unsigned char> blocks(kSize * kSize);
    for (auto _ : state) {
        unsigned char block[64];
        unsigned char* out = blocks.data();
        for (UINT by = 0; by < kSize; by += 4)
            for (UINT bx = 0; bx < kSize; bx += 4) {
                for (UINT y = 0; y < 4; ++y)
                    for (UINT x = 0; x < 4; ++x) {
                        const std::uint32_t p = pixels[(by + y) * kSize + bx + x];
                        unsigned char* rgba = block + 4 * (4 * y + x);
                        rgba[0] = static_cast<unsigned char>(p >> 16);
                        rgba[1] = static_cast<unsigned char>(p >> 8);
                        rgba[2] = static_cast<unsigned char>(p);
                        rgba[3] = 255;
                    }
                stb_compress_dxt_block(out, block, alpha ? 1 : 0, STB_DXT_HIGHQUAL);
                out += alpha ? 16 : 8;
            }
        benchmark::DoNotOptimize(blocks.data());
    }
    state.counters["Mpix/s"] = benchmark::Counter(static_cast<double>(state.iterations()) * kSize * kSize / 1e6,
                                                  benchmark::Counter::kIsRate);
}

}  // namespace

BENCHMARK(FilterTexture)->Unit(benchmark::kMillisecond);
BENCHMARK(ScalarBoxChain)->Unit(benchmark::kMillisecond);
BENCHMARK(StbResizeChain)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyChainBytes)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateFromBitmap, X8R8G8B8, D3DFMT_UNKNOWN)->Unit(benchmark::kMillisecond);
BENCHMARK(CopyBitmapAndLevels)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateFromBitmap, Dxt1, D3DFMT_DXT1)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(CreateFromBitmap, Dxt5, D3DFMT_DXT5)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbDxt, Dxt1, false)->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(StbDxt, Dxt5, true)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
