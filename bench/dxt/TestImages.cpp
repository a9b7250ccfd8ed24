#include "TestImages.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <random>

namespace valmere::bench {
namespace {

constexpr int kSize = 512;
constexpr float kPi = 3.14159265f;

struct Rgba {
    float r, g, b, a;
};

std::uint8_t ToByte(float v) { return static_cast<std::uint8_t>(std::clamp(v, 0.0f, 1.0f) * 255.0f + 0.5f); }

Image Render(const std::string& name, const std::function<Rgba(float, float)>& pixel) {
    Image image{name, kSize, kSize, std::vector<std::uint8_t>(static_cast<size_t>(kSize) * kSize * 4)};
    for (int y = 0; y < kSize; ++y) {
        for (int x = 0; x < kSize; ++x) {
            const Rgba c = pixel(static_cast<float>(x) / kSize, static_cast<float>(y) / kSize);
            std::uint8_t* p = &image.rgba[(static_cast<size_t>(y) * kSize + x) * 4];
            p[0] = ToByte(c.r);
            p[1] = ToByte(c.g);
            p[2] = ToByte(c.b);
            p[3] = ToByte(c.a);
        }
    }
    return image;
}

// Smooth value noise on a lattice of `cells` per side, 0..1.
class ValueNoise {
public:
    explicit ValueNoise(unsigned seed) : values_(256 * 256) {
        std::mt19937 random(seed);
        for (float& v : values_) v = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);
    }

    float At(float x, float y) const {
        const float fx = std::floor(x), fy = std::floor(y);
        const int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
        const float tx = Smooth(x - fx), ty = Smooth(y - fy);
        const float top = Lerp(Value(ix, iy), Value(ix + 1, iy), tx);
        const float bottom = Lerp(Value(ix, iy + 1), Value(ix + 1, iy + 1), tx);
        return Lerp(top, bottom, ty);
    }

    // Sum of octaves, 0..1.
    float Fractal(float x, float y, int octaves, float persistence) const {
        float sum = 0.0f, amplitude = 1.0f, total = 0.0f, frequency = 1.0f;
        for (int o = 0; o < octaves; ++o) {
            sum += At(x * frequency + 17.0f * o, y * frequency + 31.0f * o) * amplitude;
            total += amplitude;
            amplitude *= persistence;
            frequency *= 2.0f;
        }
        return sum / total;
    }

private:
    static float Smooth(float t) { return t * t * (3.0f - 2.0f * t); }
    static float Lerp(float a, float b, float t) { return a + (b - a) * t; }
    float Value(int x, int y) const { return values_[static_cast<size_t>((y & 255) * 256 + (x & 255))]; }
    std::vector<float> values_;
};

Rgba Hue(float h) {
    const float r = 0.5f + 0.5f * std::cos(2 * kPi * h);
    const float g = 0.5f + 0.5f * std::cos(2 * kPi * (h - 1.0f / 3));
    const float b = 0.5f + 0.5f * std::cos(2 * kPi * (h - 2.0f / 3));
    return {r, g, b, 1.0f};
}

}  // namespace

std::vector<Image> MakeTestImages() {
    const ValueNoise noise(1), other(2), third(3);
    std::mt19937 random(7);
    std::vector<float> white(static_cast<size_t>(kSize) * kSize * 4);
    for (float& v : white) v = std::uniform_real_distribution<float>(0.0f, 1.0f)(random);

    std::vector<Image> images;
    images.push_back(Render("gradient", [](float x, float y) { return Rgba{x, y, 1.0f - x, 0.25f + 0.75f * y}; }));
    images.push_back(Render("radial", [](float x, float y) {
        const float d = std::sqrt((x - 0.5f) * (x - 0.5f) + (y - 0.5f) * (y - 0.5f)) * 1.4f;
        Rgba c = Hue(d);
        c.a = 1.0f - d;
        return c;
    }));
    images.push_back(Render("white_noise", [&](float x, float y) {
        const size_t i = (static_cast<size_t>(y * kSize) * kSize + static_cast<size_t>(x * kSize)) * 4;
        return Rgba{white[i], white[i + 1], white[i + 2], white[i + 3]};
    }));
    images.push_back(Render("plasma", [](float x, float y) {
        const float v = std::sin(x * 10) + std::sin(y * 7 + x * 3) + std::sin(std::sqrt(x * x * 90 + y * y * 60) + 1);
        Rgba c = Hue(v * 0.25f);
        c.a = 0.5f + 0.5f * std::sin(v * 2);
        return c;
    }));
    images.push_back(Render("terrain", [&](float x, float y) {
        const float h = noise.Fractal(x * 8, y * 8, 6, 0.5f);
        const float rock = other.Fractal(x * 32, y * 32, 3, 0.5f);
        Rgba c = h < 0.45f ? Rgba{0.1f, 0.25f + h * 0.5f, 0.6f, 1} : Rgba{0.3f + 0.4f * rock, 0.45f + 0.2f * h, 0.2f, 1};
        c.a = h;
        return c;
    }));
    images.push_back(Render("clouds", [&](float x, float y) {
        const float v = std::clamp(noise.Fractal(x * 6, y * 6, 7, 0.6f) * 1.6f - 0.4f, 0.0f, 1.0f);
        return Rgba{0.35f + 0.65f * v, 0.55f + 0.45f * v, 0.95f, v};
    }));
    images.push_back(Render("wood", [&](float x, float y) {
        const float ring = std::fmod((std::sqrt((x - 0.3f) * (x - 0.3f) + (y - 1.2f) * (y - 1.2f)) +
                                      0.05f * third.Fractal(x * 10, y * 40, 4, 0.5f)) * 30.0f, 1.0f);
        const float grain = 0.8f + 0.2f * other.Fractal(x * 80, y * 8, 3, 0.5f);
        return Rgba{(0.55f + 0.25f * ring) * grain, (0.35f + 0.15f * ring) * grain, 0.15f * grain, 1.0f};
    }));
    images.push_back(Render("photo", [&](float x, float y) {
        // A soft-lit scene: sky, hills, a sunlit patch and fine texture.
        const float hill = 0.55f + 0.12f * noise.Fractal(x * 3, 0.5f, 5, 0.5f);
        const float detail = third.Fractal(x * 64, y * 64, 4, 0.55f);
        Rgba c;
        if (y < hill) {
            c = {0.5f + 0.3f * y, 0.65f + 0.25f * y, 0.95f, 1.0f};
        } else {
            const float shade = 0.6f + 0.4f * other.Fractal(x * 12, y * 12, 5, 0.5f);
            c = {0.25f * shade + 0.1f * detail, 0.5f * shade + 0.1f * detail, 0.15f * shade, 1.0f};
        }
        const float sun = std::exp(-((x - 0.7f) * (x - 0.7f) + (y - 0.2f) * (y - 0.2f)) * 60.0f);
        c.r += sun;
        c.g += sun * 0.9f;
        c.b += sun * 0.6f;
        c.a = 0.3f + 0.7f * detail;
        return c;
    }));
    return images;
}

}  // namespace valmere::bench
