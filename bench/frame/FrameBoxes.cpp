#include "bench/frame/FrameBoxes.h"

#include <algorithm>

#include "bench/frame/OverlayText.h"

namespace valmere::bench {

std::vector<FrameBox> ComparedBoxes(int width, int height) {
    const auto scaled = [&](LONG left, LONG top, LONG right, LONG bottom) {
        return RECT{left * width / 800, top * height / 600, right * width / 800, bottom * height / 600};
    };
    std::vector<FrameBox> boxes = {
        {"sky", scaled(100, 100, 700, 250), false},
        {"terrain", scaled(400, 290, 600, 320), false},
        {"frame", scaled(0, 0, 800, 600), false},
    };
    for (const OverlayLine& line : kOverlayLines) {
        const OverlayCoverage coverage = RenderOverlayLine(line);
        if (coverage.width > 0) boxes.push_back({std::string("text:") + line.text, coverage.placed, true});
    }
    return boxes;
}

Rgb MeanColour(const std::uint32_t* pixels, int width, int height, const RECT& box) {
    const int x0 = std::max(0, static_cast<int>(box.left)), x1 = std::min(width, static_cast<int>(box.right));
    const int y0 = std::max(0, static_cast<int>(box.top)), y1 = std::min(height, static_cast<int>(box.bottom));
    Rgb sum{};
    if (x0 >= x1 || y0 >= y1) return sum;
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                                           static_cast<std::size_t>(x)];
            sum[0] += (p >> 16) & 0xFF;
            sum[1] += (p >> 8) & 0xFF;
            sum[2] += p & 0xFF;
        }
    const double n = static_cast<double>(x1 - x0) * static_cast<double>(y1 - y0);
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

// Names may hold spaces ("text:Test Build 1"): the three numbers come last.
void PrintBoxMean(std::FILE* out, const BoxMean& mean) {
    std::fprintf(out, "box %.3f %.3f %.3f %s\n", mean.rgb[0], mean.rgb[1], mean.rgb[2], mean.name.c_str());
}

bool ParseBoxMean(const char* line, BoxMean& mean) {
    int consumed = 0;
    if (std::sscanf(line, "box %lf %lf %lf %n", &mean.rgb[0], &mean.rgb[1], &mean.rgb[2], &consumed) != 3 ||
        consumed == 0)
        return false;
    mean.name = line + consumed;
    while (!mean.name.empty() && (mean.name.back() == '\n' || mean.name.back() == '\r')) mean.name.pop_back();
    return !mean.name.empty();
}

}  // namespace valmere::bench
