#include "texture/format/BlockFormat.h"

#include "texture/bc/BcBlocks.h"

namespace valmere {
namespace {

constexpr BlockFormatRow kRows[] = {
    {D3DFMT_DXT1, "DXT1", 8, D3DFMT_UNKNOWN, 0, nullptr},
    {D3DFMT_DXT2, "DXT2", 16, D3DFMT_UNKNOWN, 0, nullptr},
    {D3DFMT_DXT3, "DXT3", 16, D3DFMT_UNKNOWN, 0, nullptr},
    {D3DFMT_DXT4, "DXT4", 16, D3DFMT_UNKNOWN, 0, nullptr},
    {D3DFMT_DXT5, "DXT5", 16, D3DFMT_UNKNOWN, 0, nullptr},
    {kFormatBc4U, "BC4U", 8, D3DFMT_L8, 1, bc::DecodeBc4UnormBlocks},
    {kFormatBc4S, "BC4S", 8, D3DFMT_L8, 1, bc::DecodeBc4SnormBlocks},
    {kFormatBc5U, "BC5U", 16, D3DFMT_X8R8G8B8, 4, bc::DecodeBc5UnormBlocks},
    {kFormatBc5S, "BC5S", 16, D3DFMT_X8R8G8B8, 4, bc::DecodeBc5SnormBlocks},
    {kFormatBc6U, "BC6H UF16", 16, D3DFMT_A8R8G8B8, 4, bc::DecodeBc6hUf16Blocks},
    {kFormatBc6S, "BC6H SF16", 16, D3DFMT_A8R8G8B8, 4, bc::DecodeBc6hSf16Blocks},
    {kFormatBc7, "BC7", 16, D3DFMT_A8R8G8B8, 4, bc::DecodeBc7Blocks},
};

}  // namespace

const BlockFormatRow* FindBlockFormatRow(D3DFORMAT format) {
    for (const BlockFormatRow& row : kRows) {
        if (row.format == format) return &row;
    }
    return nullptr;
}

}  // namespace valmere
