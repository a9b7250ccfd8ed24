// PNG reader over libpng. libpng reports errors by longjmp: the only frame
// that calls setjmp (DecodeInFrame) holds no object with a destructor, and
// everything libpng or the reader allocates is owned by a PngSession that
// lives in the caller's frame and frees it on every path.
#include "texture/format/PixelFormat.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdlib>
#include <cstring>

namespace valmere {
namespace {

constexpr double kScreenGamma = 2.2;
// Deflate never expands its input more than 1032 times.
constexpr std::uint64_t kMaxInflateRatio = 1032;

// Plain data shared with libpng's callbacks and read after a longjmp.
struct PngState {
    png_structp png = nullptr;
    png_infop info = nullptr;
    const BYTE* bytes = nullptr;
    std::size_t size = 0;
    std::size_t offset = 0;
    png_bytep* rows = nullptr;  // malloc'd row pointers
    double fileGamma = 0.0;
    double screenGamma = 0.0;
    PALETTEENTRY palette[256];
};

class PngSession {
public:
    PngSession(const BYTE* bytes, std::size_t size) {
        state.bytes = bytes;
        state.size = size;
    }
    PngSession(const PngSession&) = delete;
    PngSession& operator=(const PngSession&) = delete;
    ~PngSession() {
        png_destroy_read_struct(&state.png, state.info ? &state.info : nullptr, nullptr);
        std::free(state.rows);
    }
    PngState state;
};

void ReadFromMemory(png_structp png, png_bytep out, png_size_t count) {
    auto* state = static_cast<PngState*>(png_get_io_ptr(png));
    if (state->size - state->offset < count) {
        png_error(png, "read error");
    }
    std::memcpy(out, state->bytes + state->offset, count);
    state->offset += count;
}

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

D3DFORMAT FormatOfColorType(int colorType) {
    switch (colorType) {
        case PNG_COLOR_TYPE_GRAY: return D3DFMT_L8;
        case PNG_COLOR_TYPE_RGB: return D3DFMT_R8G8B8;
        case PNG_COLOR_TYPE_PALETTE: return D3DFMT_P8;
        case PNG_COLOR_TYPE_GRAY_ALPHA: return D3DFMT_A8L8;
        case PNG_COLOR_TYPE_RGB_ALPHA: return D3DFMT_A8R8G8B8;
        default: return D3DFMT_UNKNOWN;
    }
}

// What becomes of each format under the reader's transformations.
struct PngFormatRule {
    D3DFORMAT format;
    D3DFORMAT sixteenBit;  // with 16-bit samples (UNKNOWN: not allowed)
    D3DFORMAT withAlpha;   // after tRNS is expanded to an alpha channel
    bool bgr;              // channels reordered to blue, green, red
    png_byte channels;     // after png_read_update_info
};

constexpr PngFormatRule kFormatRules[] = {
    {D3DFMT_R8G8B8, kFormatR16, D3DFMT_A8R8G8B8, true, 3},
    {D3DFMT_A8R8G8B8, kFormatAR16, D3DFMT_A8R8G8B8, true, 4},
    {D3DFMT_X8R8G8B8, D3DFMT_UNKNOWN, D3DFMT_X8R8G8B8, false, 4},
    {D3DFMT_L8, kFormatL16, D3DFMT_A8L8, false, 1},
    {D3DFMT_A8L8, kFormatAL16, D3DFMT_A8L8, false, 2},
    {D3DFMT_P8, D3DFMT_UNKNOWN, D3DFMT_P8, false, 1},
    {kFormatR16, D3DFMT_UNKNOWN, kFormatAR16, true, 3},
    {kFormatAR16, D3DFMT_UNKNOWN, kFormatAR16, true, 4},
    {kFormatL16, D3DFMT_UNKNOWN, kFormatAL16, false, 1},
    {kFormatAL16, D3DFMT_UNKNOWN, kFormatAL16, false, 2},
};

// Every format the reader produces has a row.
const PngFormatRule& RuleOf(D3DFORMAT format) {
    for (const PngFormatRule& rule : kFormatRules) {
        if (rule.format == format) {
            return rule;
        }
    }
    return kFormatRules[0];
}

// Palette from PLTE and tRNS as the file holds them (libpng corrects its own
// copy for gamma later), through the reader's gamma table.
void CopyPalette(PngState& s) {
    std::memset(s.palette, 0xFF, sizeof(s.palette));
    png_colorp entries = nullptr;
    int count = 0;
    if (!png_get_PLTE(s.png, s.info, &entries, &count)) {
        return;
    }
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (!png_get_tRNS(s.png, s.info, &alphas, &alphaCount, nullptr)) {
        alphaCount = 0;
    }
    BYTE table[256];
    const double exponent = s.fileGamma > 1e-6 && s.screenGamma > 1e-6 ? 1.0 / (s.fileGamma * s.screenGamma) : 1.0;
    for (int v = 0; v < 256; ++v) {
        table[v] = static_cast<BYTE>(std::lround(255.0 * std::pow(v / 255.0, exponent)));
    }
    for (int i = 0; i < count && i < 256; ++i) {
        const BYTE alpha = i < alphaCount ? alphas[i] : 0xFF;
        s.palette[i] = PALETTEENTRY{table[entries[i].red], table[entries[i].green], table[entries[i].blue], alpha};
    }
}

// The reader uses IHDR, PLTE, tRNS, IDAT and IEND, and gAMA and sRGB for
// gamma; every other chunk (text, ICC profiles, suggested palettes, EXIF,
// unknown ones) is skipped unread. libpng would otherwise allocate the length
// field of a text or profile chunk before finding that the file does not
// hold that much, and its per-chunk limit is only a warning on read: a
// 200-byte file claiming a 1.8 GB iTXt chunk took 1.8 GB. With these chunks
// skipped (a length past the end of the data fails the read), what libpng
// allocates follows the image's size, which DecodeInFrame holds to the data.
void IgnoreUnusedChunks(png_structp png) {
    static constexpr png_byte kGammaChunks[] = "gAMA\0sRGB";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_AS_DEFAULT, kGammaChunks, 2);
}

// Everything that may longjmp runs here; after a jump only `s` is read.
HRESULT DecodeInFrame(PngState& s, DecodedImage& image) {
    if (setjmp(png_jmpbuf(s.png))) {
        return Reject("PNG: libpng reported an error");
    }
    png_set_read_fn(s.png, &s, ReadFromMemory);
    IgnoreUnusedChunks(s.png);
    png_read_info(s.png, s.info);
    png_uint_32 width = 0;
    png_uint_32 height = 0;
    int bitDepth = 0;
    int colorType = 0;
    png_get_IHDR(s.png, s.info, &width, &height, &bitDepth, &colorType, nullptr, nullptr, nullptr);
    D3DFORMAT format = FormatOfColorType(colorType);
    if (format == D3DFMT_UNKNOWN) {
        return Reject("PNG: unknown colour type");
    }
    // Compressed data of `size` bytes inflates to at most 1032 times as much;
    // a header claiming more raw pixel bytes is refused before any buffer.
    const std::uint64_t rawRow = (std::uint64_t{width} * png_get_channels(s.png, s.info) * bitDepth + 7) / 8;
    if (rawRow * height > kMaxInflateRatio * s.size) {
        return Reject("PNG: image too large for its data");
    }
    if (bitDepth == 16) {
        png_set_swap(s.png);
        format = RuleOf(format).sixteenBit;
        if (format == D3DFMT_UNKNOWN) {
            return Reject("PNG: 16-bit palette");
        }
    } else if (bitDepth < 8) {
        png_set_packing(s.png);
        if (colorType == PNG_COLOR_TYPE_GRAY) {
            png_set_expand(s.png);
        }
    }
    if (png_get_valid(s.png, s.info, PNG_INFO_sRGB)) {
        int intent = 0;
        png_get_sRGB(s.png, s.info, &intent);
        png_set_sRGB(s.png, s.info, intent);
    } else if (png_get_valid(s.png, s.info, PNG_INFO_gAMA)) {
        png_get_gAMA(s.png, s.info, &s.fileGamma);
        s.screenGamma = kScreenGamma;
        png_set_gamma(s.png, s.screenGamma, s.fileGamma);
    }
    if (format != D3DFMT_P8 && png_get_valid(s.png, s.info, PNG_INFO_tRNS)) {
        png_set_expand(s.png);
        format = RuleOf(format).withAlpha;
    }
    if (RuleOf(format).bgr) {
        png_set_bgr(s.png);
        if (format == D3DFMT_R8G8B8) {
            png_set_filler(s.png, 0xFF, PNG_FILLER_AFTER);
            format = D3DFMT_X8R8G8B8;
        }
    }
    if (format == D3DFMT_P8 && image.wantPixels) {
        CopyPalette(s);
    }
    png_read_update_info(s.png, s.info);
    if (png_get_channels(s.png, s.info) != RuleOf(format).channels) {
        return Reject("PNG: unexpected channel count");
    }
    const std::uint64_t rowBytes = png_get_rowbytes(s.png, s.info);
    if (!FitsUint32(rowBytes)) {
        return Reject("PNG: rows too long");
    }
    image.format = format;
    image.width = width;
    image.height = height;
    image.depth = 1;
    image.rowPitch = static_cast<UINT>(rowBytes);
    image.slicePitch = 0;
    if (!image.wantPixels) {
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(rowBytes * height);
    s.rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!pixels || !s.rows) {
        return E_OUTOFMEMORY;
    }
    for (png_uint_32 y = 0; y < height; ++y) {
        s.rows[y] = pixels + rowBytes * y;
    }
    png_read_image(s.png, s.rows);
    if (format == D3DFMT_P8) {
        PALETTEENTRY* palette = image.AllocatePalette();
        if (!palette) {
            return E_OUTOFMEMORY;
        }
        std::memcpy(palette, s.palette, sizeof(s.palette));
    }
    return S_OK;
}

}  // namespace

HRESULT ReadPng(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    constexpr std::size_t kSignatureBytes = 8;
    if (size < kSignatureBytes || png_sig_cmp(bytes, 0, kSignatureBytes) != 0) {
        return Reject("PNG: no PNG signature");
    }
    PngSession session(bytes, size);
    PngState& s = session.state;
    // The running library's version: libpng refuses a read structure asked
    // for with an older major.minor version string.
    s.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!s.png) {
        return E_OUTOFMEMORY;
    }
    s.info = png_create_info_struct(s.png);
    if (!s.info) {
        return E_OUTOFMEMORY;
    }
    return DecodeInFrame(s, image);
}

}  // namespace valmere
