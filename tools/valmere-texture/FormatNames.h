// Names of texture formats and filters on the tool's command line and
// in its output: format names are the D3DFORMAT names without "D3DFMT_",
// and BC4U, BC4S, BC5U, BC5S (also BC4, BC5, ATI1, ATI2 for the unsigned
// ones) for the block formats a device cannot hold.
#pragma once

#include "platform/d3d8/D3D8Types.h"

#include <string>
#include <string_view>

namespace valmere::tools {

// "A8R8G8B8", "DXT1", ...; for a format without a name its number.
std::string FormatName(D3DFORMAT format);

// A format name in any case, with or without "D3DFMT_", or a number (decimal
// or 0x hexadecimal). False for anything else.
bool ParseFormat(std::string_view text, D3DFORMAT& format);

// A filter type ("none", "point", "linear", "triangle", "box" or "default")
// followed by any of "|dither", "|mirror", "|mirror_u", "|mirror_v",
// "|mirror_w", or a number. "default" stands alone and means D3DX_DEFAULT.
bool ParseFilter(std::string_view text, DWORD& filter);

// An unsigned number, decimal or 0x hexadecimal, that fits 32 bits.
bool ParseNumber(std::string_view text, UINT& value);

// The name of a result code the texture functions return ("D3DERR_INVALIDCALL")
// with its value, as "D3DERR_INVALIDCALL (0x8876086C)".
std::string ResultName(HRESULT hr);

}  // namespace valmere::tools
