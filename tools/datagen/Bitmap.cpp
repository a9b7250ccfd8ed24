#include "tools/datagen/Bitmap.h"

#include <cstdio>

namespace valmere::datagen {

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::int32_t PixelsPerMetre = 2835; // 72 dots per inch

void Put16(std::vector<std::uint8_t>& out, std::uint32_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Put32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFFu);
    Put16(out, value >> 16);
}

std::uint8_t ToByte(float channel) {
    const float clamped = channel < 0.0f ? 0.0f : (channel > 1.0f ? 1.0f : channel);
    return static_cast<std::uint8_t>(clamped * 255.0f + 0.5f);
}

} // namespace

Color MixColor(const Color& a, const Color& b, float t) {
    return Color{a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Color Scale(const Color& color, float factor) { return Color{color.r * factor, color.g * factor, color.b * factor}; }

Image::Image(int width, int height)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

void Image::Set(int x, int y, const Color& color) { pixels_[static_cast<std::size_t>(y * width_ + x)] = color; }

const Color& Image::Get(int x, int y) const { return pixels_[static_cast<std::size_t>(y * width_ + x)]; }

bool WriteBmp(const std::string& path, const Image& image) {
    const std::uint32_t rowBytes = (static_cast<std::uint32_t>(image.Width()) * 3 + 3) & ~3u;
    const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.Height());
    std::vector<std::uint8_t> file;
    file.reserve(FileHeaderSize + InfoHeaderSize + pixelBytes);

    // BITMAPFILEHEADER
    file.push_back('B');
    file.push_back('M');
    Put32(file, FileHeaderSize + InfoHeaderSize + pixelBytes);
    Put32(file, 0); // two reserved words
    Put32(file, FileHeaderSize + InfoHeaderSize);
    // BITMAPINFOHEADER; a positive height means the rows run bottom-up.
    Put32(file, InfoHeaderSize);
    Put32(file, static_cast<std::uint32_t>(image.Width()));
    Put32(file, static_cast<std::uint32_t>(image.Height()));
    Put16(file, 1);  // planes
    Put16(file, 24); // bits per pixel
    Put32(file, 0);  // BI_RGB
    Put32(file, pixelBytes);
    Put32(file, PixelsPerMetre);
    Put32(file, PixelsPerMetre);
    Put32(file, 0); // colours used
    Put32(file, 0); // colours important

    for (int y = image.Height() - 1; y >= 0; --y) {
        for (int x = 0; x < image.Width(); ++x) {
            const Color& color = image.Get(x, y);
            file.push_back(ToByte(color.b));
            file.push_back(ToByte(color.g));
            file.push_back(ToByte(color.r));
        }
        file.resize(file.size() + (rowBytes - static_cast<std::uint32_t>(image.Width()) * 3), 0);
    }

    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) {
        return false;
    }
    const bool written = std::fwrite(file.data(), 1, file.size(), out) == file.size();
    return std::fclose(out) == 0 && written;
}

} // namespace valmere::datagen
