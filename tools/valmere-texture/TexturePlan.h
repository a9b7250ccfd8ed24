// What a texture will be: its kind, size, level count and format, settled
// from the options and the source. The rules keep what the image is unless
// asked otherwise, and say so whenever they change what was asked:
//
//   size     the image's; --width or --height alone keeps its aspect; both
//            are taken as given; --max-size scales every side by one factor
//            so that none exceeds it (a note). Cubes are square. DDS holds
//            any size: DXT and BC blocks at the edges are padded.
//   levels   --levels N, 0 or default the full chain; more than the full
//            chain gives the full chain (a note).
//   format   --format, else the image's (as D3DXCreateTextureFromFileEx
//            takes it: palettes widened unless a palette format is asked
//            for, a colour key adds alpha); --normal-map without a format
//            is BC5 signed. A format the output cannot hold is an error,
//            never a substitution.
#pragma once

#include "tools/valmere-texture/Options.h"
#include "tools/valmere-texture/TextureData.h"
#include "tools/valmere-texture/TextureSource.h"

#include <string>
#include <vector>

namespace valmere::tools {

struct TexturePlan {
    D3DRESOURCETYPE type = D3DRTYPE_TEXTURE;
    D3DFORMAT format = D3DFMT_UNKNOWN;
    UINT width = 0;
    UINT height = 0;
    UINT depth = 1;
    UINT levels = 1;
    bool keepPalette = false;  // a palette format asked for: the palette is written
    bool filteredMips = false;  // the tool's own mip chain (ToolOptions::FilteredMips)
    DWORD filter = 0;           // resolved: D3DX_DEFAULT taken, MIRROR for cubes
    DWORD mipFilter = 0;
};

// False with the reason in `error`; `notes` receives one line for each
// change to what was asked.
bool PlanTexture(const ToolOptions& options, const TextureSource& source, TexturePlan& plan,
                 std::vector<std::string>& notes, std::string& error);

// `texture` sized for the plan (zero-filled) with the first file's working
// palette. False when it cannot be had (TextureData::Allocate).
bool AllocatePlannedTexture(const TexturePlan& plan, const TextureSource& source, TextureData& texture);

}  // namespace valmere::tools
