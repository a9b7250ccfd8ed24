// The levels of the tool's own mip chain: level 0 decoded (or scaled with
// the filter) into floating point, the chain made by MakeMipChain
// (texture/ValmereTexture.h: area means, in linear light, renormalised for
// normal maps, alpha coverage kept), each level encoded by EncodeLevel.
// Levels the file holds beyond the first are not used: the chain is made
// anew from level 0.
#pragma once

#include "tools/valmere-texture/Options.h"
#include "tools/valmere-texture/TextureData.h"
#include "tools/valmere-texture/TexturePlan.h"
#include "tools/valmere-texture/TextureSource.h"

namespace valmere::tools {

// Allocates `texture` for the plan and fills it; `source` is emptied as soon
// as the last face's level 0 is read, to spare its memory while the chain
// is made. S_OK, E_OUTOFMEMORY, or a blit's or encoder's failure.
HRESULT BuildFilteredLevels(TextureSource& source, const TexturePlan& plan, const ToolOptions& options,
                            TextureData& texture);

}  // namespace valmere::tools
