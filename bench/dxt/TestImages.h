// Procedural test images for the DXT benchmark: RGBA, 8 bits per channel,
// row-major, width x height x 4 bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace valmere::bench {

struct Image {
    std::string name;
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgba;
};

// Eight 512x512 images: gradients, noise, plasma, fractal terrain and
// photograph-like textures; each has a varying alpha channel.
std::vector<Image> MakeTestImages();

}  // namespace valmere::bench
