#include "platform/host/PngWriter.h"

#include "platform/host/ReplaceFile.h"

#include <png.h>

#include <bit>
#include <csetjmp>
#include <cstdio>

namespace valmere::host {
namespace {

// How the caller's rows become PNG samples.
struct RowFormat {
    int colorType = PNG_COLOR_TYPE_RGB;
    // 32-bit 0x00RRGGBB words: libpng drops the unused byte and, where the
    // machine stores the blue byte first, puts the bytes in RGB order.
    bool xrgbWords = false;
};

[[noreturn]] void OnPngError(png_structp png, png_const_charp) { png_longjmp(png, 1); }
void OnPngWarning(png_structp, png_const_charp) {}

void WriteImage(png_structp png, png_infop info, std::FILE* file, const PngRows& rows, RowFormat format) {
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(rows.width), static_cast<png_uint_32>(rows.height), 8,
                 format.colorType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    if (format.xrgbWords) {
        constexpr bool blueFirst = std::endian::native == std::endian::little;
        png_set_filler(png, 0, blueFirst ? PNG_FILLER_AFTER : PNG_FILLER_BEFORE);
        if (blueFirst) png_set_bgr(png);
    }
    for (int y = 0; y < rows.height; ++y) png_write_row(png, rows.data + static_cast<std::size_t>(y) * rows.pitch);
    png_write_end(png, nullptr);
}

// libpng reports errors by a long jump back here, so this frame holds
// nothing that needs destroying and the work is done one call further in.
bool Encode(std::FILE* file, const PngRows& rows, RowFormat format) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, OnPngError, OnPngWarning);
    if (!png) return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    WriteImage(png, info, file, rows, format);
    png_destroy_write_struct(&png, &info);
    return true;
}

bool Write(const std::string& path, const PngRows& rows, RowFormat format) {
    return WriteReplacing(path, [&](std::FILE* file) { return Encode(file, rows, format); });
}

bool HasRows(const PngRows& rows, std::size_t bytesPerPixel) {
    return rows.data && rows.width > 0 && rows.height > 0 &&
           rows.pitch >= static_cast<std::size_t>(rows.width) * bytesPerPixel;
}

}  // namespace

bool WritePng(const std::string& path, const PngRows& rows) {
    if (!HasRows(rows, static_cast<std::size_t>(rows.channels))) return false;
    RowFormat format;
    switch (rows.channels) {
    case PngChannels::Grey: format.colorType = PNG_COLOR_TYPE_GRAY; break;
    case PngChannels::GreyAlpha: format.colorType = PNG_COLOR_TYPE_GRAY_ALPHA; break;
    case PngChannels::Rgb: format.colorType = PNG_COLOR_TYPE_RGB; break;
    case PngChannels::Rgba: format.colorType = PNG_COLOR_TYPE_RGB_ALPHA; break;
    default: return false;
    }
    return Write(path, rows, format);
}

bool WritePng(const std::string& path, const std::uint32_t* pixels, int width, int height, int pitchInPixels) {
    if (pitchInPixels < 0) return false;
    const PngRows rows{reinterpret_cast<const std::uint8_t*>(pixels), width, height,
                       static_cast<std::size_t>(pitchInPixels) * sizeof *pixels, PngChannels::Rgb};
    if (!HasRows(rows, sizeof *pixels)) return false;
    return Write(path, rows, RowFormat{PNG_COLOR_TYPE_RGB, true});
}

}  // namespace valmere::host
