// An RGB image and its file form: a 24-bit bottom-up BMP (14-byte file
// header, 40-byte info header, BI_RGB, rows of B, G, R padded to 4 bytes).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace valmere::datagen {

struct Color {
    float r, g, b; // 0 to 1
};

Color MixColor(const Color& a, const Color& b, float t);
Color Scale(const Color& color, float factor);

class Image {
public:
    Image(int width, int height);

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Row 0 is the top of the picture (v = 0 on a texture).
    void Set(int x, int y, const Color& color);
    const Color& Get(int x, int y) const;

private:
    int width_;
    int height_;
    std::vector<Color> pixels_;
};

// A size x size image whose pixel (x, y) is colourAt(u, v) with u = x / size
// and v = y / size: the pixels' top-left corners, so a pattern that tiles
// over [0, 1) repeats without a doubled edge.
template <typename ColourAt>
Image PaintImage(int size, ColourAt colourAt) {
    Image image(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            image.Set(x, y, colourAt(static_cast<float>(x) / static_cast<float>(size),
                                     static_cast<float>(y) / static_cast<float>(size)));
        }
    }
    return image;
}

// Writes the image; false (with errno set by the C library) when the file
// cannot be written.
bool WriteBmp(const std::string& path, const Image& image);

} // namespace valmere::datagen
