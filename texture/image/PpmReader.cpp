// Portable pixmap and greymap reader: "P3" and "P2" (decimal text samples),
// "P6" and "P5" (binary samples: one byte each, or two, most significant
// first, when the maximum is above 255). Colour decodes to X8R8G8B8 with
// each sample scaled to s x 255 / maximum; grey to L8 the same way up to a
// maximum of 255, and above it to the 16-bit L16, each sample rounded to
// s x 65535 / maximum (reported as L8, like the PNG reader's 16-bit grey).
#include "texture/format/PixelFormat.h"
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

// s x 65535 / maximum rounded to nearest.
UINT Scale16(UINT sample, UINT maximum) {
    return static_cast<UINT>((std::uint64_t{sample} * 65535 + maximum / 2) / maximum);
}

// The pixel layout of one kind of file.
struct PnmKind {
    bool text;
    UINT channels;  // 3 colour, 1 grey
};

void StoreGrey(BYTE* pixels, std::size_t i, UINT sample, UINT maximum) {
    if (maximum <= 255) {
        pixels[i] = static_cast<BYTE>(Scale(sample, maximum));
    } else {
        const UINT v = Scale16(sample, maximum);
        pixels[2 * i] = static_cast<BYTE>(v);
        pixels[2 * i + 1] = static_cast<BYTE>(v >> 8);
    }
}

HRESULT DecodeText(PpmScanner& scanner, BYTE* pixels, std::size_t pixelCount, UINT maximum, UINT channels) {
    for (std::size_t i = 0; i < pixelCount; ++i) {
        UINT samples[3];
        for (UINT c = 0; c < channels; ++c) {
            if (!scanner.NextNumber(samples[c])) {
                return Reject("PPM: samples end early or are not numbers");
            }
            if (samples[c] > maximum) {
                return Reject("PPM: sample above the maximum");
            }
        }
        if (channels == 1) {
            StoreGrey(pixels, i, samples[0], maximum);
        } else {
            StorePixel(pixels + 4 * i, Scale(samples[0], maximum), Scale(samples[1], maximum), Scale(samples[2], maximum));
        }
    }
    return S_OK;
}

HRESULT DecodeBinary(const BYTE* samples, BYTE* pixels, std::size_t pixelCount, UINT maximum, UINT channels) {
    if (maximum > 255) {  // grey only: 16-bit samples, most significant byte first
        for (std::size_t i = 0; i < pixelCount; ++i) {
            const UINT sample = static_cast<UINT>(samples[2 * i]) << 8 | samples[2 * i + 1];
            if (sample > maximum) {
                return Reject("PPM: sample above the maximum");
            }
            StoreGrey(pixels, i, sample, maximum);
        }
        return S_OK;
    }
    BYTE table[256];
    for (UINT s = 0; s < 256; ++s) {
        table[s] = static_cast<BYTE>(s <= maximum ? Scale(s, maximum) : 0);
    }
    for (std::size_t i = 0; i < pixelCount; ++i) {
        const BYTE* s = samples + channels * i;
        for (UINT c = 0; c < channels; ++c) {
            if (s[c] > maximum) {
                return Reject("PPM: sample above the maximum");
            }
        }
        if (channels == 1) {
            pixels[i] = table[s[0]];
        } else {
            StorePixel(pixels + 4 * i, table[s[0]], table[s[1]], table[s[2]]);
        }
    }
    return S_OK;
}

}  // namespace

HRESULT ReadPpm(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    if (size < 2 || bytes[0] != 'P' || (bytes[1] != '2' && bytes[1] != '3' && bytes[1] != '5' && bytes[1] != '6')) {
        return Reject("PPM: no \"P2\", \"P3\", \"P5\" or \"P6\" signature");
    }
    const PnmKind kind{bytes[1] == '2' || bytes[1] == '3', bytes[1] == '3' || bytes[1] == '6' ? 3u : 1u};
    PpmScanner scanner(bytes, size, 2);
    UINT width = 0;
    UINT height = 0;
    UINT maximum = 0;
    if (!scanner.NextNumber(width) || !scanner.NextNumber(height) || width == 0 || height == 0) {
        return Reject("PPM: bad width or height");
    }
    // Every pixel needs at least one more byte per sample (a sample, or a
    // digit), which bounds the buffer by the data before it is allocated.
    const std::uint64_t pixelCount = std::uint64_t{width} * height;
    if (pixelCount > scanner.Remaining() / kind.channels || !FitsUint32(std::uint64_t{width} * 4)) {
        return Reject("PPM: pixel data is shorter than the image");
    }
    const UINT largest = kind.channels == 1 ? 65535 : (kind.text ? 0xFFFFFFFFu : 255);
    if (!scanner.NextNumber(maximum) || maximum == 0 || maximum > largest) {
        return Reject("PPM: bad maximum sample value");
    }
    const bool wide = kind.channels == 1 && maximum > 255;
    image.format = kind.channels == 3 ? D3DFMT_X8R8G8B8 : (wide ? kFormatL16 : D3DFMT_L8);
    const UINT pixelBytes = kind.channels == 3 ? 4 : (wide ? 2 : 1);
    image.width = width;
    image.height = height;
    image.depth = 1;
    image.rowPitch = width * pixelBytes;
    image.slicePitch = 0;
    if (!image.wantPixels) {
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(pixelCount * pixelBytes);
    if (!pixels) {
        return E_OUTOFMEMORY;
    }
    if (kind.text) {
        return DecodeText(scanner, pixels, pixelCount, maximum, kind.channels);
    }
    const UINT sampleBytes = wide ? 2 : 1;
    if (!scanner.SkipHeaderEnd() || scanner.Remaining() / (std::uint64_t{kind.channels} * sampleBytes) < pixelCount) {
        return Reject("PPM: binary samples end early");
    }
    return DecodeBinary(bytes + scanner.Position(), pixels, pixelCount, maximum, kind.channels);
}

}  // namespace valmere
