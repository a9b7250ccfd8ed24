#include "tools/valmere-texture/Progress.h"

#include <cmath>

namespace valmere::tools {

Progress::Progress(std::size_t total, double megapixels, bool shown)
    : total_(total), megapixels_(megapixels), shown_(shown), start_(std::chrono::steady_clock::now()) {}

double Progress::Seconds() const {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
}

void Progress::Finished(double megapixels) {
    ++done_;
    doneMegapixels_ += megapixels;
    Redraw();
}

void Progress::Erase() {
    if (!shown_ || drawn_ == 0) return;
    std::fprintf(stderr, "\r%*s\r", static_cast<int>(drawn_), "");
    drawn_ = 0;
}

void Progress::Redraw() {
    if (!shown_) return;
    const double seconds = Seconds();
    const double rate = seconds > 0 ? doneMegapixels_ / seconds : 0;
    char line[128];
    int n = std::snprintf(line, sizeof line, "%zu/%zu files, %.1f Mpix/s", done_, total_, rate);
    if (rate > 0 && done_ < total_) {
        const long left = std::lround(std::fmax(megapixels_ - doneMegapixels_, 0.0) / rate);
        n += std::snprintf(line + n, sizeof line - static_cast<std::size_t>(n), ", %ld:%02ld left", left / 60, left % 60);
    }
    Erase();
    std::fputs(line, stderr);
    std::fflush(stderr);
    drawn_ = static_cast<std::size_t>(n);
}

std::string Progress::Summary(std::size_t written, std::size_t failed) const {
    const double seconds = Seconds();
    char line[160];
    std::snprintf(line, sizeof line, "%zu files: %zu written, %zu failed, %.1f Mpix in %.1f s (%.1f Mpix/s)", total_,
                  written, failed, doneMegapixels_, seconds, seconds > 0 ? doneMegapixels_ / seconds : 0.0);
    return line;
}

}  // namespace valmere::tools
