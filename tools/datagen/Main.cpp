// valmere_datagen OUTPUT_FOLDER: writes the viewer's four data files into
// the folder (which must exist). The output depends on nothing but this
// program, so every build makes the same files.
#include "tools/datagen/DataFiles.h"

#include <cstdio>
#include <cstring>
#include <cerrno>
#include <string>

namespace {

bool Report(bool written, const std::string& path) {
    if (!written) {
        std::fprintf(stderr, "valmere_datagen: cannot write %s: %s\n", path.c_str(), std::strerror(errno));
    }
    return written;
}

} // namespace

int main(int argc, char** argv) {
    using namespace valmere::datagen;
    if (argc != 2) {
        std::fprintf(stderr, "usage: valmere_datagen OUTPUT_FOLDER\n");
        return 2;
    }
    const std::string folder = std::string(argv[1]) + "/";
    bool ok = Report(WriteHeightFile(folder + "test1024.txt"), folder + "test1024.txt");
    ok = Report(WriteBmp(folder + "image1.bmp", MakeTerrainTexture()), folder + "image1.bmp") && ok;
    ok = Report(WriteBmp(folder + "image2.bmp", MakeGroundTexture()), folder + "image2.bmp") && ok;
    ok = Report(WriteBmp(folder + "sky2.bmp", MakeSkyTexture()), folder + "sky2.bmp") && ok;
    return ok ? 0 : 1;
}
