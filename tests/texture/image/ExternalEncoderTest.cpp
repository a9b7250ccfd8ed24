// Files written by other encoders (ImageMagick, netpbm, Pillow, nvcompress)
// are read and compared pixel by pixel with a tool's own decode of the file.
#include "tests/texture/image/ImageTestSupport.h"
#include "texture/image/LoadImage.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <utility>

namespace valmere::test {
namespace {

constexpr UINT kWidth = 23;  // odd sizes exercise row padding
constexpr UINT kHeight = 17;

// A source with smooth and sharp changes and varying alpha, as a PAM file
// with alpha and as a PPM file without.
void WriteSources(const std::string& pam, const std::string& ppm) {
    ByteWriter rgba;
    ByteWriter rgb;
    rgba.Text("P7\nWIDTH 23\nHEIGHT 17\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n");
    rgb.Text("P6\n23 17\n255\n");
    for (UINT y = 0; y < kHeight; ++y) {
        for (UINT x = 0; x < kWidth; ++x) {
            const UINT r = x * 11;
            const UINT g = y * 15;
            const UINT b = (x * y * 7) & 0xFF;
            rgba.U8(r).U8(g).U8(b).U8(x < 4 ? 255 : 40 + 9 * y);
            rgb.U8(r).U8(g).U8(b);
        }
    }
    WriteFile(pam, rgba.data());
    WriteFile(ppm, rgb.data());
}

struct EncoderCase {
    const char* name;
    const char* tool;     // program that must exist
    // Shell command: $S is the source PAM, $P the source PPM, $T a TGA copy
    // of the source, $O the file written, $PY a Python with Pillow.
    const char* encode;
    D3DXIMAGE_FILEFORMAT fileFormat;
    int tolerance;        // per channel, against the tool's decode
    bool alpha;           // compare alpha too
    // The tool's decode of $O into raw 8-bit RGBA at $R; ImageMagick's by default.
    const char* reference = nullptr;
};

// ImageMagick 6 reads a TGA without the top-down bit as if it had it (as it
// also writes them), so Targa files are checked against netpbm's decoder.
constexpr const char* kNetpbmTga = "tgatoppm $O | convert ppm:- -depth 8 rgba:$R";
// Pillow reads BC4 and BC5 (as grey, and as red and green with blue 0) and
// grey-with-alpha Targa files.
constexpr const char* kPillowRgba =
    "$PY -c \"import sys; from PIL import Image; "
    "open(sys.argv[2], 'wb').write(Image.open(sys.argv[1]).convert('RGBA').tobytes())\" $O $R";

// Named in test listings by the case, not by its bytes.
void PrintTo(const EncoderCase& encoderCase, std::ostream* out) { *out << encoderCase.name; }

class ExternalEncoder : public ::testing::TestWithParam<EncoderCase> {};

// Replaces $S, $P, $O and $R by the files of the test's folder.
std::string Expand(std::string command, const std::string& dir) {
    for (std::size_t at; (at = command.find("$PY")) != std::string::npos;) {
        command.replace(at, 3, PillowPython());
    }
    const std::pair<const char*, const char*> names[] = {{"$S", "/source.pam"},
                                                         {"$P", "/source.ppm"},
                                                         {"$T", "/source.tga"},
                                                         {"$O", "/encoded"},
                                                         {"$R", "/reference.rgba"}};
    for (const auto& [key, file] : names) {
        for (std::size_t at; (at = command.find(key)) != std::string::npos;) {
            command.replace(at, 2, dir + file);
        }
    }
    return command;
}

bool UsesPillow(const EncoderCase& c) {
    return std::string(c.encode).find("$PY") != std::string::npos ||
           (c.reference && std::string(c.reference).find("$PY") != std::string::npos);
}

TEST_P(ExternalEncoder, MatchesTheToolsOwnDecode) {
    const EncoderCase& c = GetParam();
    if (!HaveProgram("convert") || !HaveProgram(c.tool) || (UsesPillow(c) && PillowPython().empty())) {
        GTEST_SKIP() << c.tool << ", ImageMagick convert or Pillow is not installed";
    }
    const std::string dir = TempDir(c.name);
    WriteSources(dir + "/source.pam", dir + "/source.ppm");
    ASSERT_TRUE(RunCommand(Expand("convert $S $T", dir)));
    ASSERT_TRUE(RunCommand(Expand(c.encode, dir))) << Expand(c.encode, dir);
    const char* kCoders[] = {"bmp", "jpg", "tga", "png", "dds", "ppm", "bmp"};
    const std::string decode =
        c.reference ? c.reference : std::string("convert ") + kCoders[c.fileFormat] + ":$O -depth 8 rgba:$R";
    ASSERT_TRUE(RunCommand(Expand(decode, dir))) << Expand(decode, dir);
    const std::optional<Bytes> bytes = ReadFile(dir + "/encoded");
    const std::optional<Bytes> reference = ReadFile(dir + "/reference.rgba");
    ASSERT_TRUE(bytes && reference);
    ASSERT_EQ(reference->size(), std::size_t{kWidth} * kHeight * 4);

    DecodedImage image;
    D3DXIMAGE_INFO info{};
    ASSERT_EQ(LoadImage(image, bytes->data(), bytes->size(), &info, true), S_OK);
    EXPECT_EQ(info.ImageFileFormat, c.fileFormat);
    ASSERT_EQ(image.width, kWidth);
    ASSERT_EQ(image.height, kHeight);
    int worst = 0;
    for (UINT y = 0; y < kHeight; ++y) {
        for (UINT x = 0; x < kWidth; ++x) {
            const Rgba ours = PixelAt(image, x, y);
            const BYTE* theirs = reference->data() + 4 * (std::size_t{y} * kWidth + x);
            const int channels[4][2] = {{ours.r, theirs[0]}, {ours.g, theirs[1]}, {ours.b, theirs[2]}, {ours.a, theirs[3]}};
            for (int k = 0; k < (c.alpha ? 4 : 3); ++k) {
                worst = std::max(worst, std::abs(channels[k][0] - channels[k][1]));
            }
        }
    }
    EXPECT_LE(worst, c.tolerance);
}

const EncoderCase kCases[] = {
    {"bmp24", "convert", "convert $S -alpha off -type truecolor BMP3:$O", D3DXIFF_BMP, 0, false},
    {"bmp8", "convert", "convert $S -alpha off -colors 60 -type palette BMP3:$O", D3DXIFF_BMP, 0, false},
    {"bmp4", "convert", "convert $S -alpha off -colors 12 -type palette BMP3:$O", D3DXIFF_BMP, 0, false},
    {"bmp1", "convert", "convert $S -alpha off -monochrome BMP3:$O", D3DXIFF_BMP, 0, false},
    {"bmp32v5", "convert", "convert $S BMP:$O", D3DXIFF_BMP, 0, true},
    {"bmp565", "convert", "convert $S -alpha off -define bmp:subtype=RGB565 BMP:$O", D3DXIFF_BMP, 4, false},
    // ImageMagick widens 4-bit channels as c << 4, the reader's check as c x 17.
    {"bmp4444", "convert", "convert $S -define bmp:subtype=ARGB4444 BMP:$O", D3DXIFF_BMP, 15, true},
    {"ppmtobmp24", "ppmtobmp", "cat $P | ppmtobmp -bpp 24 > $O", D3DXIFF_BMP, 0, false},
    {"ppmtobmp8", "ppmtobmp", "cat $P | pnmquant 100 | ppmtobmp -bpp 8 > $O", D3DXIFF_BMP, 0, false},
    {"ppmtobmp4", "ppmtobmp", "cat $P | pnmquant 16 | ppmtobmp -bpp 4 > $O", D3DXIFF_BMP, 0, false},
    {"ppm6", "pamdepth", "cat $P > $O", D3DXIFF_PPM, 0, false},
    {"ppm3", "pnmtoplainpnm", "cat $P | pnmtoplainpnm > $O", D3DXIFF_PPM, 0, false},
    {"ppm3deep", "pamdepth", "cat $P | pamdepth 1000 | pnmtoplainpnm > $O", D3DXIFF_PPM, 1, false},
    {"tga24", "convert", "convert $S -alpha off -compress none TGA:$O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"tga32rle", "convert", "convert $S -compress RLE TGA:$O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"tgagrey", "convert", "convert $S -alpha off -colorspace gray -compress RLE TGA:$O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"tgapal", "convert", "convert $S -alpha off -colors 30 -type palette TGA:$O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"pamtotgacmap", "pamtotga", "cat $P | pnmquant 50 | pamtotga -cmap > $O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"pamtotgargb", "pamtotga", "cat $P | pamtotga -rgb -norle > $O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"pamtotgamono", "pamtotga", "cat $P | ppmtopgm | pamtotga -mono > $O", D3DXIFF_TGA, 0, false, kNetpbmTga},
    {"tgagreyalpha", "convert", "$PY -c \"import sys; from PIL import Image; "
        "Image.open(sys.argv[1]).convert('LA').save(sys.argv[2], 'TGA')\" $T $O", D3DXIFF_TGA, 0, true, kPillowRgba},
    {"tgagreyalpharle", "convert", "$PY -c \"import sys; from PIL import Image; "
        "Image.open(sys.argv[1]).convert('LA').save(sys.argv[2], 'TGA', compression='tga_rle')\" $T $O", D3DXIFF_TGA, 0,
        true, kPillowRgba},
    {"pgm8", "ppmtopgm", "cat $P | ppmtopgm > $O", D3DXIFF_PPM, 0, false},
    {"pgm16", "pamdepth", "cat $P | ppmtopgm | pamdepth 65535 > $O", D3DXIFF_PPM, 1, false},
    {"pgmplain", "pnmtoplainpnm", "cat $P | ppmtopgm | pnmtoplainpnm > $O", D3DXIFF_PPM, 0, false},
    {"pgmplaindeep", "pnmtoplainpnm", "cat $P | ppmtopgm | pamdepth 1000 | pnmtoplainpnm > $O", D3DXIFF_PPM, 1, false},
    {"nvcompressbc4", "nvcompress", "nvcompress -bc4 -nomips $T $O", D3DXIFF_DDS, 1, false, kPillowRgba},
    {"nvcompressbc5", "nvcompress", "nvcompress -bc5 -nomips $T $O", D3DXIFF_DDS, 1, false, kPillowRgba},
    {"png24", "convert", "convert $S -alpha off -depth 8 png24:$O", D3DXIFF_PNG, 0, false},
    {"png32", "convert", "convert $S -depth 8 png32:$O", D3DXIFF_PNG, 0, true},
    {"png8", "convert", "convert $S -alpha off -colors 40 png8:$O", D3DXIFF_PNG, 0, false},
    {"png8trns", "convert", "convert $S -channel A -threshold 50% +channel -colors 40 png8:$O", D3DXIFF_PNG, 0, true},
    {"png48", "convert", "convert $S -alpha off -depth 16 png48:$O", D3DXIFF_PNG, 1, false},
    {"png64", "convert", "convert $S -depth 16 png64:$O", D3DXIFF_PNG, 1, true},
    {"pnggrey2", "convert", "convert $S -alpha off -colorspace gray -depth 2 png:$O", D3DXIFF_PNG, 0, false},
    {"pnggrey16alpha", "convert", "convert $S -colorspace gray -depth 16 png:$O", D3DXIFF_PNG, 1, true},
    {"pnginterlaced", "convert", "convert $S -alpha off -depth 8 -interlace PNG png24:$O", D3DXIFF_PNG, 0, false},
    {"pnmtopngtrns", "pnmtopng", "cat $P | pnmtopng -transparent =rgb:00/00/00 > $O", D3DXIFF_PNG, 0, true},
    {"pnmtopnggrey1", "pnmtopng", "cat $P | ppmtopgm | pgmtopbm | pnmtopng > $O", D3DXIFF_PNG, 0, false},
    {"jpegbaseline", "convert", "convert $S -alpha off -quality 90 jpg:$O", D3DXIFF_JPG, 0, false},
    {"jpegprogressive", "convert", "convert $S -alpha off -interlace Plane jpg:$O", D3DXIFF_JPG, 0, false},
    {"jpeggrey", "convert", "convert $S -alpha off -colorspace gray jpg:$O", D3DXIFF_JPG, 0, false},
    // ImageMagick writes CMYK as YCCK with Adobe's marker (inverted inks),
    // Pillow as plain CMYK with the marker; both are read back by
    // ImageMagick's (1 - ink) x (1 - black).
    {"jpegycck", "convert", "convert $S -alpha off -colorspace CMYK -quality 95 jpg:$O", D3DXIFF_JPG, 1, false,
        "convert jpg:$O -colorspace sRGB -depth 8 rgba:$R"},
    {"jpegcmyk", "convert", "$PY -c \"import sys; from PIL import Image; "
        "Image.open(sys.argv[1]).convert('RGB').convert('CMYK').save(sys.argv[2], 'JPEG', quality=95)\" $P $O",
        D3DXIFF_JPG, 1, false, "convert jpg:$O -colorspace sRGB -depth 8 rgba:$R"},
    // The same without the APP14 marker: Pillow and ImageMagick still take
    // the inks as inverted.
    {"jpegcmyknomarker", "convert", "$PY -c \"import sys, io; from PIL import Image; "
        "b = io.BytesIO(); Image.open(sys.argv[1]).convert('RGB').convert('CMYK').save(b, 'JPEG', quality=95); "
        "d = b.getvalue(); assert d[2:4] == bytes([255, 238]); n = 4 + int.from_bytes(d[4:6], 'big'); "
        "open(sys.argv[2], 'wb').write(d[:2] + d[n:])\" $P $O",
        D3DXIFF_JPG, 1, false, "convert jpg:$O -colorspace sRGB -depth 8 rgba:$R"},
    {"jpeg420", "convert", "convert $S -alpha off -sampling-factor 2x2 jpg:$O", D3DXIFF_JPG, 0, false},
};

INSTANTIATE_TEST_SUITE_P(Files, ExternalEncoder, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<EncoderCase>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace valmere::test
