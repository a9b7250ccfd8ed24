#include "app/DataFiles.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#include "texture/D3DXTexture.h"
#include "world/World.h"

namespace {

void Report(const char* file, const std::string& reason, const char* consequence) {
    std::fprintf(stderr, "valmere: %s: %s; %s\n", file, reason.c_str(), consequence);
}

std::string TextureReason(HRESULT result) {
    switch (result) {
    case D3DXERR_INVALIDDATA: return "not an image the readers accept (D3DXERR_INVALIDDATA)";
    case E_OUTOFMEMORY: return "out of memory (E_OUTOFMEMORY)";
    case D3DERR_NOTAVAILABLE: return "no texture format of the device can hold it (D3DERR_NOTAVAILABLE)";
    case D3DERR_INVALIDCALL: return "the device refused the texture (D3DERR_INVALIDCALL)";
    default: {
        char code[48];
        std::snprintf(code, sizeof code, "the texture could not be made (0x%08X)", static_cast<unsigned>(result));
        return code;
    }
    }
}

// What is wrong with an opened height file, with the consequence; empty
// reason for a whole file. The conversions are the reader's own ("%s",
// "%i", "%f"), so what fails here fails there.
struct HeightFlaw {
    std::string reason;
    const char* consequence = "the terrain is flat";
};

std::string InBlock(int block) { return " (block " + std::to_string(block) + " of 18)"; }

HeightFlaw FindHeightFlaw(std::FILE* file) {
    int first = 0;
    int last = 0;
    if (std::fscanf(file, "%*s") == EOF) return {"the file is empty"};
    if (std::fscanf(file, "%i", &first) != 1 || std::fscanf(file, "%i", &last) != 1)
        return {"not a height file (no two integers after its first word)"};
    if (last < 0) return {"the line length " + std::to_string(last) + " is negative"};
    const long long values = last + 1LL;
    for (int block = 1; block <= CWorld::HeightFileBlocks; ++block) {
        for (int line = 0; line < 3; ++line) {
            // Each line: a word, then the numbers (only the first line of a
            // block holds heights).
            long long read = 0;
            float value = 0.0f;
            int converted = std::fscanf(file, "%*s") == EOF ? EOF : 1;
            while (converted == 1 && read < values && (converted = std::fscanf(file, "%f", &value)) == 1) ++read;
            if (converted == EOF) {
                const bool beforeBlock = line == 0 && read == 0;
                const std::string where = std::string(beforeBlock ? "before" : "in") + " block " +
                                          std::to_string(block) + " of 18";
                return {"the file ends " + where,
                        block == 1 && beforeBlock ? "the terrain is flat" : "the terrain is flat from there on"};
            }
            if (converted == 0) {
                char token[24] = "";
                if (std::fscanf(file, "%23s", token) != 1) token[0] = '\0';
                return {"\"" + std::string(token) + "\" stands where a number belongs" + InBlock(block),
                        "the terrain is wrong from there on"};
            }
        }
    }
    return {};
}

}  // namespace

void ReportTextureFile(const char* file, HRESULT result, const char* consequence) {
    if (SUCCEEDED(result)) return;
    // The library answers D3DXERR_INVALIDDATA for a file it cannot open as
    // well as for one it cannot read; the system tells the two apart.
    if (std::FILE* opened = std::fopen(file, "rb"))
        std::fclose(opened);
    else
        return Report(file, std::strerror(errno), consequence);
    Report(file, TextureReason(result), consequence);
}

void ReportHeightFile(const char* file) {
    std::FILE* opened = std::fopen(file, "r");
    if (!opened) return Report(file, std::strerror(errno), "the terrain is flat");
    const HeightFlaw flaw = FindHeightFlaw(opened);
    std::fclose(opened);
    if (!flaw.reason.empty()) Report(file, flaw.reason, flaw.consequence);
}
