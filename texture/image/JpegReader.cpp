// JPEG reader over libjpeg(-turbo). libjpeg reports errors through its error
// manager, whose exit longjmps back to DecodeInFrame: that frame holds no
// object with a destructor, and the decompressor is owned by a JpegSession in
// the caller's frame, which destroys it on every path.
//
// Grey files decode to L8, colour files to X8R8G8B8. Four-component files
// (CMYK, and YCCK, which libjpeg turns into CMYK itself) decode to
// X8R8G8B8 as well, each colour (1 - ink) x (1 - black). Their inks are
// stored inverted (255 is no ink), as Adobe's programs write them and mark
// with their APP14 marker; the few files without the marker are read the
// same way, as Pillow and ImageMagick read them.
#include "math/CpuFeatures.h"
#include "texture/image/ImageReaders.h"
#include "texture/image/ReaderSupport.h"

#include <cstdio>  // jpeglib.h needs FILE

#include <jpeglib.h>

#include <csetjmp>
#include <cstring>

namespace valmere {
namespace {

// Entropy-coded data needs at least about 2 bits per 8x8 block; progressive
// and arithmetic coding can go lower, so the limit is generous. A header
// claiming far more pixels than its file could carry is refused before
// libjpeg or the reader allocate for it.
constexpr std::uint64_t kMaxPixelsPerByte = 4096;

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
};

// Plain data read after a longjmp.
struct JpegState {
    jpeg_decompress_struct cinfo;
    JpegErrorManager error;
    bool created = false;
};

class JpegSession {
public:
    JpegSession() = default;
    JpegSession(const JpegSession&) = delete;
    JpegSession& operator=(const JpegSession&) = delete;
    ~JpegSession() {
        if (state.created) {
            jpeg_destroy_decompress(&state.cinfo);
        }
    }
    JpegState state{};
};

[[noreturn]] void OnJpegError(j_common_ptr cinfo) {
    std::longjmp(reinterpret_cast<JpegErrorManager*>(cinfo->err)->jump, 1);
}
void OnJpegMessage(j_common_ptr) {}

// X8R8G8B8 leaves its top byte 0; libjpeg's BGRX output fills it with 0xFF.
void ClearUnusedBytes(BYTE* row, UINT width) {
    for (UINT x = 0; x < width; ++x) {
        row[4 * x + 3] = 0;
    }
}

// A row of inverted C, M, Y, K bytes (255 - ink) into X8R8G8B8 in place:
// each colour is (255 - ink) x (255 - black) / 255, rounded. Kept out of
// DecodeInFrame, whose locals a longjmp may clobber.
[[gnu::noinline]] void InvertedCmykToXrgb(BYTE* row, UINT width) {
    for (UINT x = 0; x < width; ++x) {
        BYTE* p = row + 4 * x;
        const auto mix = [&](UINT clear) { return static_cast<BYTE>((clear * p[3] + 127) / 255); };
        const BYTE bgrx[4] = {mix(p[2]), mix(p[1]), mix(p[0]), 0};
        std::memcpy(p, bgrx, 4);
    }
}

HRESULT DecodeInFrame(JpegState& s, DecodedImage& image, const BYTE* bytes, std::size_t size) {
    jpeg_decompress_struct& cinfo = s.cinfo;
    cinfo.err = jpeg_std_error(&s.error.base);
    s.error.base.error_exit = OnJpegError;
    s.error.base.output_message = OnJpegMessage;
    if (setjmp(s.error.jump)) {
        return Reject("JPEG: libjpeg reported an error");
    }
    jpeg_create_decompress(&cinfo);
    s.created = true;
    // libjpeg's memory source: the block is served once, and a read past its
    // end gets an end-of-image marker, so a truncated file ends as a warning.
    jpeg_mem_src(&cinfo, bytes, static_cast<unsigned long>(size));
    // No marker is saved (jpeg_save_markers is never called): libjpeg skips
    // APPn and COM segments, ICC profiles among them, without allocating
    // them, whatever their lengths claim.
    jpeg_read_header(&cinfo, TRUE);
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT pixelBytes = 0;
    if (cinfo.out_color_space == JCS_GRAYSCALE) {
        format = D3DFMT_L8;
        pixelBytes = 1;
    } else if (cinfo.out_color_space == JCS_RGB) {
        format = D3DFMT_X8R8G8B8;
        pixelBytes = 4;
        cinfo.out_color_space = JCS_EXT_BGRX;
    } else if (cinfo.out_color_space == JCS_CMYK) {
        format = D3DFMT_X8R8G8B8;
        pixelBytes = 4;
    } else {
        return Reject("JPEG: neither grey, colour nor CMYK");
    }
    const bool cmyk = cinfo.out_color_space == JCS_CMYK;
    if (!math::HasMmx()) {
        cinfo.dct_method = JDCT_IFAST;
    }
    jpeg_calc_output_dimensions(&cinfo);
    const std::uint64_t pixelCount = std::uint64_t{cinfo.output_width} * cinfo.output_height;
    if (pixelCount > kMaxPixelsPerByte * size) {
        return Reject("JPEG: image too large for its data");
    }
    image.format = format;
    image.width = cinfo.output_width;
    image.height = cinfo.output_height;
    image.depth = 1;
    image.rowPitch = cinfo.output_width * pixelBytes;
    image.slicePitch = 0;
    if (!image.wantPixels) {
        return S_OK;
    }
    BYTE* pixels = image.AllocatePixels(std::size_t{image.rowPitch} * image.height);
    if (!pixels) {
        return E_OUTOFMEMORY;
    }
    jpeg_start_decompress(&cinfo);
    while (cinfo.output_scanline < cinfo.output_height) {
        BYTE* row = pixels + std::size_t{image.rowPitch} * cinfo.output_scanline;
        JSAMPROW rows[1] = {row};
        if (jpeg_read_scanlines(&cinfo, rows, 1) != 1) {
            return Reject("JPEG: no scanline");
        }
        if (cmyk) {
            InvertedCmykToXrgb(row, image.width);
        } else if (pixelBytes == 4) {
            ClearUnusedBytes(row, image.width);
        }
    }
    jpeg_finish_decompress(&cinfo);
    return S_OK;
}

}  // namespace

HRESULT ReadJpeg(DecodedImage& image, const BYTE* bytes, std::size_t size) {
    constexpr BYTE kStartOfImage[] = {0xFF, 0xD8};
    if (size < 2 || bytes[0] != kStartOfImage[0] || bytes[1] != kStartOfImage[1]) {
        return Reject("JPEG: no start-of-image marker");
    }
    JpegSession session;
    return DecodeInFrame(session.state, image, bytes, size);
}

}  // namespace valmere
