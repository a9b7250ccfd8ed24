// The batch's progress line (on a terminal only: files done, Mpix/s and the
// time left, rewritten in place on standard error) and its summary line.
#pragma once

#include <chrono>
#include <cstdio>
#include <string>

namespace valmere::tools {

class Progress {
public:
    // `total` files of `megapixels` in all; `shown` when the line is to be
    // drawn (standard error a terminal).
    Progress(std::size_t total, double megapixels, bool shown);

    // A file ended, of `megapixels`.
    void Finished(double megapixels);
    // Erases the line so that a message can be printed, then draws it again
    // with Redraw.
    void Erase();
    void Redraw();

    // "12 files: 11 written, 1 failed, 98.4 Mpix in 6.3 s (15.6 Mpix/s)".
    std::string Summary(std::size_t written, std::size_t failed) const;

private:
    double Seconds() const;

    std::size_t total_;
    double megapixels_;
    bool shown_;
    std::size_t done_ = 0;
    double doneMegapixels_ = 0;
    std::size_t drawn_ = 0;  // characters on the line
    std::chrono::steady_clock::time_point start_;
};

}  // namespace valmere::tools
