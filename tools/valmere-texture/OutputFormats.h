// Which formats the tool writes into which files.
#pragma once

#include "tools/valmere-texture/Options.h"

namespace valmere::tools {

// BC4 and BC5 (DXGI formats, or the legacy codes) into both; any other
// format with a codec, into DDS when a DDS pixel format describes it and
// into PNG pictures decoded through the codec.
bool OutputHolds(OutputKind kind, D3DFORMAT format);

// BC4U, BC4S, BC5U or BC5S.
bool IsBc4OrBc5(D3DFORMAT format);

}  // namespace valmere::tools
