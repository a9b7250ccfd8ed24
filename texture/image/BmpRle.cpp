#include "texture/image/BmpRle.h"

#include <cstdint>

namespace valmere {
namespace {

// Write position in stream coordinates: line 0 is the bottom buffer row.
// x and line may run past the image; writes outside it are dropped.
class RlePosition {
public:
    RlePosition(BYTE* pixels, UINT width, UINT height, UINT rowPitch)
        : pixels_(pixels), width_(width), height_(height), rowPitch_(rowPitch) {}

    bool InsideImage() const { return line_ < height_; }
    void Put(BYTE value) {
        if (x_ < width_ && line_ < height_) {
            pixels_[(height_ - 1 - line_) * static_cast<std::size_t>(rowPitch_) + x_] = value;
        }
        ++x_;
    }
    void NextLine() {
        x_ = 0;
        ++line_;
    }
    void Move(UINT dx, UINT dy) {
        x_ += dx;
        line_ += dy;
    }

private:
    BYTE* pixels_;
    std::uint64_t width_;
    std::uint64_t height_;
    std::size_t rowPitch_;
    std::uint64_t x_ = 0;
    std::uint64_t line_ = 0;
};

// Pixel k of a run or literal: RLE8 takes whole bytes; RLE4 alternates the
// high and low nibble, high first.
BYTE RlePixel(const BYTE* bytes, UINT k, bool fourBit) {
    if (!fourBit) {
        return bytes[k];
    }
    BYTE b = bytes[k / 2];
    return (k & 1) ? static_cast<BYTE>(b & 0x0F) : static_cast<BYTE>(b >> 4);
}

}  // namespace

void DecodeBmpRle(const BYTE* data, std::size_t size, bool fourBit, BYTE* pixels, UINT width, UINT height,
                  UINT rowPitch) {
    RlePosition pos(pixels, width, height, rowPitch);
    std::size_t p = 0;
    while (pos.InsideImage() && size - p >= 2) {
        const UINT count = data[p];
        const UINT code = data[p + 1];
        p += 2;
        if (count != 0) {
            // Encoded run: the value byte is repeated (RLE4: its two nibbles alternate).
            const BYTE value = data[p - 1];
            for (UINT k = 0; k < count; ++k) {
                pos.Put(fourBit ? RlePixel(&value, k & 1, true) : value);
            }
        } else if (code == 0) {
            pos.NextLine();
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            if (size - p < 2) {
                return;
            }
            pos.Move(data[p], data[p + 1]);
            p += 2;
        } else {
            // Literal run of `code` pixels, its bytes padded to an even count.
            const std::size_t bytes = fourBit ? (code + 1) / 2 : code;
            if (size - p < bytes) {
                return;
            }
            for (UINT k = 0; k < code; ++k) {
                pos.Put(RlePixel(data + p, k, fourBit));
            }
            p += bytes + (bytes & 1);
            if (p > size) {
                return;
            }
        }
    }
}

}  // namespace valmere
