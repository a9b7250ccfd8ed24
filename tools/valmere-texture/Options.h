// The command line of valmere-texture.
#pragma once

#include "texture/D3DXTexture.h"

#include <string>

namespace valmere::tools {

extern const char kUsage[];

enum class OutputKind { None, Dds, Png };

// Every value starts as the texture functions' default.
struct ToolOptions {
    std::string input;
    std::string output;  // ends in ".dds" or ".png"; empty with --info alone
    OutputKind outputKind = OutputKind::None;
    UINT width = D3DX_DEFAULT;
    UINT height = D3DX_DEFAULT;
    UINT depth = D3DX_DEFAULT;
    UINT levels = D3DX_DEFAULT;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    DWORD filter = D3DX_DEFAULT;
    DWORD mipFilter = D3DX_DEFAULT;
    D3DCOLOR colorKey = 0;
    D3DPOOL pool = D3DPOOL_MANAGED;
    bool info = false;
    bool help = false;
};

// Reads argv[1] to argv[argc - 1]: options as "--name value" or
// "--name=value", then INPUT and OUTPUT. False with one line naming the
// problem in `error` ("unknown option --size", "--format: no format named
// DXT9", "missing INPUT"); `options` is then partly filled.
bool ParseOptions(int argc, const char* const* argv, ToolOptions& options, std::string& error);

}  // namespace valmere::tools
