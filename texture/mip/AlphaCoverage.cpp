#include "texture/mip/AlphaCoverage.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <vector>

namespace valmere {

float AlphaCoverage(const ColorImage& image, float reference) {
    if (image.pixels.empty()) return 0.0f;
    const auto passing = std::count_if(image.pixels.begin(), image.pixels.end(),
                                       [reference](const D3DXCOLOR& p) { return p.a >= reference; });
    return static_cast<float>(static_cast<double>(passing) / static_cast<double>(image.pixels.size()));
}

void ScaleAlphaToCoverage(ColorImage& image, float reference, float coverage) {
    const std::size_t n = image.pixels.size();
    if (n == 0 || reference <= 0.0f) return;
    std::vector<float> alpha(n);
    for (std::size_t i = 0; i < n; ++i) alpha[i] = std::max(image.pixels[i].a, 0.0f);
    const auto wanted = static_cast<std::size_t>(std::lround(std::clamp(coverage, 0.0f, 1.0f) * static_cast<double>(n)));
    float scale = 1.0f;
    if (wanted == 0) {
        // Nothing may pass: the largest alpha goes just below the reference.
        const float largest = *std::max_element(alpha.begin(), alpha.end());
        if (largest >= reference) scale = std::nextafter(reference / largest, 0.0f);
        while (largest * scale >= reference) scale = std::nextafter(scale, 0.0f);
    } else {
        std::nth_element(alpha.begin(), alpha.begin() + static_cast<std::ptrdiff_t>(wanted - 1), alpha.end(),
                         std::greater<float>());
        const float threshold = alpha[wanted - 1];
        if (threshold <= 0.0f) return;  // fewer pixels than wanted have any alpha
        scale = reference / threshold;
        while (threshold * scale < reference) scale = std::nextafter(scale, 3.0e38f);
    }
    for (D3DXCOLOR& p : image.pixels) p.a = std::min(p.a * scale, 1.0f);
}

}  // namespace valmere
