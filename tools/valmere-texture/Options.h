// The command line of valmere-texture.
#pragma once

#include "texture/D3DXTexture.h"

#include <string>
#include <vector>

namespace valmere::tools {

extern const char kUsage[];

enum class OutputKind { None, Dds, Png };

enum class Quality { Standard, High };

// Every value starts as the texture functions' default or "not asked".
struct ToolOptions {
    // Input files: one per texture, or the six faces of one cube (--cube);
    // @list files already expanded.
    std::vector<std::string> inputs;
    std::string output;           // one texture: OUTPUT.dds or OUTPUT.png
    std::string outputDirectory;  // a batch: -o OUTDIR
    OutputKind outputKind = OutputKind::None;
    bool batch = false;
    UINT width = D3DX_DEFAULT;
    UINT height = D3DX_DEFAULT;
    UINT depth = D3DX_DEFAULT;
    UINT levels = D3DX_DEFAULT;
    UINT maxSize = 0;  // 0: no limit
    D3DFORMAT format = D3DFMT_UNKNOWN;
    DWORD filter = D3DX_DEFAULT;
    DWORD mipFilter = D3DX_DEFAULT;
    D3DCOLOR colorKey = 0;
    Quality quality = Quality::Standard;
    bool linearMips = false;
    float alphaCoverage = -1.0f;  // negative: not asked
    bool normalMap = false;
    bool cube = false;   // inputs are the six faces +X, -X, +Y, -Y, +Z, -Z
    bool cross = false;  // each input is a cube laid out as a cross
    bool legacyDds = false;
    UINT jobs = 0;  // 0: one per processor
    bool info = false;
    bool help = false;

    // Whether the levels are made by the tool's own filters (from level 0 in
    // floating point) rather than as D3DXCreateTextureFromFileEx makes them.
    bool FilteredMips() const;
};

// Reads argv[1] to argv[argc - 1]: options as "--name value" or
// "--name=value" (and "-o DIR"), then the files. False with one line naming
// the problem in `error` ("unknown option --size", "--format: no format
// named \"DXT9\"", "missing INPUT"); `options` is then partly filled.
bool ParseOptions(int argc, const char* const* argv, ToolOptions& options, std::string& error);

}  // namespace valmere::tools
