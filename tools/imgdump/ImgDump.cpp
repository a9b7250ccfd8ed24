// imgdump FILE OUTPREFIX
//
// Prints the D3DXIMAGE_INFO of an image file and writes every decoded level
// of every face (and every slice of a volume) as an 8-bit RGBA PAM file
// (P7, TUPLTYPE RGB_ALPHA), converted through the pixel codecs with the
// file's palette applied and no resampling. Signed formats are shown biased
// to 0..1 ((x + 1) / 2). Files are named OUTPREFIX_l<level>_f<face>.pam, with
// _s<slice> added for volumes. Exits with the result code (non-zero) when the
// file cannot be read.
#include "texture/image/LoadImage.h"
#include "texture/image/MappedFile.h"
#include "tools/common/RgbaPixels.h"

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Name(const std::string& prefix, UINT level, UINT face, UINT slice, bool volume) {
    std::string name = prefix + "_l" + std::to_string(level) + "_f" + std::to_string(face);
    if (volume) {
        name += "_s" + std::to_string(slice);
    }
    return name + ".pam";
}

bool WritePam(const std::string& path, UINT width, UINT height, const std::vector<BYTE>& rgba) {
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (!out) {
        return false;
    }
    std::fprintf(out, "P7\nWIDTH %u\nHEIGHT %u\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n", width, height);
    const bool written = std::fwrite(rgba.data(), 1, rgba.size(), out) == rgba.size();
    return std::fclose(out) == 0 && written;
}

const char* FileFormatName(D3DXIMAGE_FILEFORMAT format) {
    static const char* const kNames[] = {"BMP", "JPG", "TGA", "PNG", "DDS", "PPM", "DIB"};
    return format < std::size(kNames) ? kNames[format] : "?";
}

void PrintInfo(const D3DXIMAGE_INFO& info) {
    std::printf("Width %u\nHeight %u\nDepth %u\nMipLevels %u\nFormat %u (0x%08X)\nResourceType %u\n"
                "ImageFileFormat %u (%s)\n",
                info.Width, info.Height, info.Depth, info.MipLevels, static_cast<UINT>(info.Format),
                static_cast<UINT>(info.Format), static_cast<UINT>(info.ResourceType),
                static_cast<UINT>(info.ImageFileFormat), FileFormatName(info.ImageFileFormat));
}

int Fail(const char* what, const char* file, HRESULT hr) {
    std::fprintf(stderr, "imgdump: %s %s: 0x%08X\n", what, file, static_cast<UINT>(hr));
    return static_cast<int>(hr);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: imgdump FILE OUTPREFIX\n");
        return 2;
    }
    valmere::MappedFile file;
    HRESULT hr = file.Open(static_cast<LPCSTR>(argv[1]));
    if (FAILED(hr)) {
        return Fail("cannot open", argv[1], hr);
    }
    valmere::DecodedImage image;
    D3DXIMAGE_INFO info{};
    hr = valmere::LoadImage(image, file.Data(), file.Size(), &info, true);
    if (FAILED(hr)) {
        return Fail("cannot read", argv[1], hr);
    }
    PrintInfo(info);
    UINT face = 0;
    std::vector<BYTE> rgba;
    for (const valmere::DecodedImage* faceImage = &image; faceImage; faceImage = faceImage->nextFace.get(), ++face) {
        UINT level = 0;
        for (const valmere::DecodedImage* l = faceImage; l; l = l->nextLevel.get(), ++level) {
            for (UINT slice = 0; slice < l->depth; ++slice) {
                hr = valmere::tools::DecodeToRgba(*l, slice, rgba);
                if (FAILED(hr)) {
                    return Fail("cannot convert", argv[1], hr);
                }
                const std::string path = Name(argv[2], level, face, slice, l->depth > 1);
                if (!WritePam(path, l->width, l->height, rgba)) {
                    return Fail("cannot write", path.c_str(), E_FAIL);
                }
                std::printf("wrote %s (%ux%u)\n", path.c_str(), l->width, l->height);
            }
        }
    }
    return 0;
}
