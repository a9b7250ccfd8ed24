// decodebench: decodes large generated files through LoadImage and through
// stb_image, and prints Mpixels/s for each. The files are made in memory:
// 2048x2048 24-bit bitmaps (bottom-up and top-down), PNG RGB and RGBA and a
// baseline JPEG (written by stb_image_write).
#include "texture/image/LoadImage.h"

#include <stb/stb_image.h>
#include <stb/stb_image_write.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace {

constexpr int kSize = 2048;
using Bytes = std::vector<unsigned char>;

// Smooth gradients with a little noise: compresses like a photograph-ish texture.
Bytes Pattern(int channels) {
    Bytes pixels(static_cast<std::size_t>(kSize) * kSize * channels);
    unsigned noise = 12345;
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            noise = noise * 1103515245u + 12345u;
            unsigned char* p = &pixels[(static_cast<std::size_t>(y) * kSize + x) * channels];
            const int n = static_cast<int>((noise >> 16) & 7);
            p[0] = static_cast<unsigned char>((x / 8 + n) & 0xFF);
            p[1] = static_cast<unsigned char>((y / 8 + n) & 0xFF);
            p[2] = static_cast<unsigned char>(((x + y) / 16) & 0xFF);
            if (channels == 4) {
                p[3] = static_cast<unsigned char>((x ^ y) & 0xFF);
            }
        }
    }
    return pixels;
}

void Put32(Bytes& out, unsigned v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<unsigned char>(v >> (8 * i)));
    }
}

Bytes Bitmap24(bool topDown) {
    const Bytes rgb = Pattern(3);
    const unsigned rowBytes = kSize * 3;  // already a multiple of 4
    Bytes out = {'B', 'M'};
    Put32(out, 54 + rowBytes * kSize);
    Put32(out, 0);
    Put32(out, 54);
    for (unsigned v : {40u, static_cast<unsigned>(kSize), static_cast<unsigned>(topDown ? -kSize : kSize)}) {
        Put32(out, v);
    }
    out.insert(out.end(), {1, 0, 24, 0});
    for (int i = 0; i < 6; ++i) {
        Put32(out, 0);
    }
    for (int row = 0; row < kSize; ++row) {
        const int y = topDown ? row : kSize - 1 - row;
        for (int x = 0; x < kSize; ++x) {
            const unsigned char* p = &rgb[(static_cast<std::size_t>(y) * kSize + x) * 3];
            out.insert(out.end(), {p[2], p[1], p[0]});
        }
    }
    return out;
}

void Append(void* context, void* data, int size) {
    auto* out = static_cast<Bytes*>(context);
    const auto* bytes = static_cast<const unsigned char*>(data);
    out->insert(out->end(), bytes, bytes + size);
}

Bytes Png(int channels) {
    Bytes out;
    const Bytes pixels = Pattern(channels);
    stbi_write_png_to_func(Append, &out, kSize, kSize, channels, pixels.data(), kSize * channels);
    return out;
}

Bytes Jpeg() {
    Bytes out;
    const Bytes pixels = Pattern(3);
    stbi_write_jpg_to_func(Append, &out, kSize, kSize, 3, pixels.data(), 90);
    return out;
}

// Runs `decode` until a second has passed (at least 3 times) and returns Mpixels/s.
double MegapixelsPerSecond(const std::function<bool()>& decode) {
    using Clock = std::chrono::steady_clock;
    int runs = 0;
    const Clock::time_point start = Clock::now();
    double seconds = 0.0;
    while (runs < 3 || seconds < 1.0) {
        if (!decode()) {
            return 0.0;
        }
        ++runs;
        seconds = std::chrono::duration<double>(Clock::now() - start).count();
    }
    return runs * (static_cast<double>(kSize) * kSize / 1e6) / seconds;
}

}  // namespace

int main() {
    struct Input {
        const char* name;
        Bytes file;
    };
    const Input inputs[] = {
        {"BMP 24-bit bottom-up", Bitmap24(false)},
        {"BMP 24-bit top-down", Bitmap24(true)},
        {"PNG RGB", Png(3)},
        {"PNG RGBA", Png(4)},
        {"JPEG baseline", Jpeg()},
    };
    std::printf("%-22s %10s %14s %14s\n", "2048x2048 file", "bytes", "LoadImage", "stb_image");
    for (const Input& input : inputs) {
        const double ours = MegapixelsPerSecond([&] {
            valmere::DecodedImage image;
            return SUCCEEDED(valmere::LoadImage(image, input.file.data(), input.file.size(), nullptr, true));
        });
        const double stb = MegapixelsPerSecond([&] {
            int width = 0;
            int height = 0;
            int channels = 0;
            stbi_uc* pixels = stbi_load_from_memory(input.file.data(), static_cast<int>(input.file.size()), &width,
                                                    &height, &channels, 0);
            stbi_image_free(pixels);
            return pixels != nullptr;
        });
        std::printf("%-22s %10zu %9.1f Mp/s %9.1f Mp/s\n", input.name, input.file.size(), ours, stb);
    }
    return 0;
}
