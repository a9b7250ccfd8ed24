// Portable pixmap reader: "P3" (decimal text samples) and "P6" (one byte per
// sample), decoded to X8R8G8B8.
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

namespace valmere {
namespace {

bool IsSpace(BYTE c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

// Reads unsigned decimal tokens separated by white space and "#" comments
// that run to the end of the line.
class PpmScanner {
public:
    PpmScanner(const BYTE* bytes, std::size_t size, std::size_t start) : bytes_(bytes), size_(size), pos_(start) {}

    // False when the bytes end, a character other than white space, a comment
    // or a digit comes first, or the number exceeds 32 bits.
    bool NextNumber(UINT& value) {
        while (pos_ < size_ && (IsSpace(bytes_[pos_]) || bytes_[pos_] == '#')) {
            if (bytes_[pos_] == '#') {
                while (pos_ < size_ && bytes_[pos_] != '\n') {
                    ++pos_;
                }
            } else {
                ++pos_;
            }
        }
        if (pos_ == size_ || bytes_[pos_] < '0' || bytes_[pos_] > '9') {
            return false;
        }
        std::uint64_t v = 0;
        while (pos_ < size_ && bytes_[pos_] >= '0' && bytes_[pos_] <= '9') {
            v = v * 10 + (bytes_[pos_++] - '0');
            if (v > 0xFFFFFFFFu) {
                return false;
            }
        }
        value = static_cast<UINT>(v);
        return true;
    }

    // The single white-space character that ends a binary header (a carriage
    // return takes the character after it along).
    bool SkipHeaderEnd() {
        if (pos_ == size_ || !IsSpace(bytes_[pos_])) {
            return false;
        }
        pos_ += bytes_[pos_] == '\r' ? 2 : 1;
        return pos_ <= size_;
    }

    std::size_t Position() const { return pos_; }
    std::size_t Remaining() const { return size_ - pos_; }

private:
    const BYTE* bytes_;
    std::size_t size_;
    std::size_t pos_;
};

// Pixels are stored as bytes blue, green, red, 0xFF (X8R8G8B8 little-endian).
void StorePixel(BYTE* out, UINT red, UINT green, UINT blue) {
    out[0] = static_cast<BYTE>(blue);
    out[1] = static_cast<BYTE>(green);
    out[2] = static_cast<BYTE>(red);
    out[3] = 0xFF;
}

// s x 255 / maximum in integer arithmetic; s never exceeds the maximum.
UINT Scale(UINT sample, UINT maximum) {
    return static_cast<UINT>(std::uint64_t{sample} * 255 / maximum);
}

HRESULT DecodeText(PpmScanner& scanner, BYTE* pixels, std::size_t pixelCount, UINT maximum) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        UINT rgb[3];
        for (UINT& sample : rgb) {
            if (!scanner.NextNumber(sample)) {
                return Reject("PPM: samples end early or are not numbers");
            }
            if (sample > maximum) {
                return Reject("PPM: sample above the maximum");
            }
        }
        StorePixel(pixels + 4 * i, Scale(rgb[0], maximum), Scale(rgb[1], maximum), Scale(rgb[2], maximum));
    }
    return S_OK;
}

HRESULT DecodeBinary(const BYTE* samples, BYTE* pixels, std::size_t pixelCount, UINT maximum) {
    BYTE table[256];
    for (UINT s = 0; s < 256; ++s) {
        table[s] = static_cast<BYTE>(s <= maximum ? Scale(s, maximum) : 0);
    }
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const BYTE* s = samples + 3 * i;
        if (s[0] > maximum || s[1] > maximum || s[2] > maximum) {
            return Reject("PPM: sample above the maximum");
        }
        StorePixel(pixels + 4 * i, table[s[0]], table[s[1]], table[s[2]]);
    }
    return S_OK;
}

}  // namespace

HRESULT ReadPpm(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    if (size < 2 || bytes[0] != 'P' || (bytes[1] != '3' && bytes[1] != '6')) {
        return Reject("PPM: no \"P3\" or \"P6\" signature");
    }
    const bool text = bytes[1] == '3';
    PpmScanner scanner(bytes, size, 2);
    UINT width = 0;
    UINT height = 0;
    UINT maximum = 0;
    if (!scanner.NextNumber(width) || !scanner.NextNumber(height) || width == 0 || height == 0) {
        return Reject("PPM: bad width or height");
    }
    // Every pixel needs at least 3 more bytes (3 samples, or 3 digits), which
    // bounds the buffer by the data before it is allocated.
    const std::uint64_t pixelCount = std::uint64_t{width} * height;
    std::uint64_t imageBytes = 0;
    if (pixelCount > scanner.Remaining() / 3 || !CheckedMul(pixelCount, 4, imageBytes) ||
        !FitsUint32(std::uint64_t{width} * 4)) {
        return Reject("PPM: pixel data is shorter than the image");
    }
    if (!scanner.NextNumber(maximum) || maximum == 0 || (!text && maximum > 255)) {
        return Reject("PPM: bad maximum sample value");
    }
    image.format = D3DFMT_X8R8G8B8;
    image.width = width;
    image.height = height;
    image.depth = 1;
    image.rowPitch = width * 4;
    image.slicePitch = 0;
    if (!image.wantPixels) {
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(imageBytes);
    if (!pixels) {
        return E_OUTOFMEMORY;
    }
    if (text) {
        return DecodeText(scanner, pixels, pixelCount, maximum);
    }
    if (!scanner.SkipHeaderEnd() || scanner.Remaining() / 3 < pixelCount) {
        return Reject("PPM: binary samples end early");
    }
    return DecodeBinary(bytes + scanner.Position(), pixels, pixelCount, maximum);
}

}  // namespace valmere
