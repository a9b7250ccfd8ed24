#include "texture/image/DxgiFormats.h"

#include <iterator>
#include <string_view>

namespace valmere::dds {
namespace {

// Names of the DXGI formats, by number.
constexpr const char* kNames[] = {
    "UNKNOWN", "R32G32B32A32_TYPELESS", "R32G32B32A32_FLOAT", "R32G32B32A32_UINT", "R32G32B32A32_SINT",
    "R32G32B32_TYPELESS", "R32G32B32_FLOAT", "R32G32B32_UINT", "R32G32B32_SINT", "R16G16B16A16_TYPELESS",
    "R16G16B16A16_FLOAT", "R16G16B16A16_UNORM", "R16G16B16A16_UINT", "R16G16B16A16_SNORM", "R16G16B16A16_SINT",
    "R32G32_TYPELESS", "R32G32_FLOAT", "R32G32_UINT", "R32G32_SINT", "R32G8X24_TYPELESS", "D32_FLOAT_S8X24_UINT",
    "R32_FLOAT_X8X24_TYPELESS", "X32_TYPELESS_G8X24_UINT", "R10G10B10A2_TYPELESS", "R10G10B10A2_UNORM",
    "R10G10B10A2_UINT", "R11G11B10_FLOAT", "R8G8B8A8_TYPELESS", "R8G8B8A8_UNORM", "R8G8B8A8_UNORM_SRGB",
    "R8G8B8A8_UINT", "R8G8B8A8_SNORM", "R8G8B8A8_SINT", "R16G16_TYPELESS", "R16G16_FLOAT", "R16G16_UNORM",
    "R16G16_UINT", "R16G16_SNORM", "R16G16_SINT", "R32_TYPELESS", "D32_FLOAT", "R32_FLOAT", "R32_UINT", "R32_SINT",
    "R24G8_TYPELESS", "D24_UNORM_S8_UINT", "R24_UNORM_X8_TYPELESS", "X24_TYPELESS_G8_UINT", "R8G8_TYPELESS",
    "R8G8_UNORM", "R8G8_UINT", "R8G8_SNORM", "R8G8_SINT", "R16_TYPELESS", "R16_FLOAT", "D16_UNORM", "R16_UNORM",
    "R16_UINT", "R16_SNORM", "R16_SINT", "R8_TYPELESS", "R8_UNORM", "R8_UINT", "R8_SNORM", "R8_SINT", "A8_UNORM",
    "R1_UNORM", "R9G9B9E5_SHAREDEXP", "R8G8_B8G8_UNORM", "G8R8_G8B8_UNORM", "BC1_TYPELESS", "BC1_UNORM",
    "BC1_UNORM_SRGB", "BC2_TYPELESS", "BC2_UNORM", "BC2_UNORM_SRGB", "BC3_TYPELESS", "BC3_UNORM", "BC3_UNORM_SRGB",
    "BC4_TYPELESS", "BC4_UNORM", "BC4_SNORM", "BC5_TYPELESS", "BC5_UNORM", "BC5_SNORM", "B5G6R5_UNORM",
    "B5G5R5A1_UNORM", "B8G8R8A8_UNORM", "B8G8R8X8_UNORM", "R10G10B10_XR_BIAS_A2_UNORM", "B8G8R8A8_TYPELESS",
    "B8G8R8A8_UNORM_SRGB", "B8G8R8X8_TYPELESS", "B8G8R8X8_UNORM_SRGB", "BC6H_TYPELESS", "BC6H_UF16", "BC6H_SF16",
    "BC7_TYPELESS", "BC7_UNORM", "BC7_UNORM_SRGB", "AYUV", "Y410", "Y416", "NV12", "P010", "P016", "420_OPAQUE",
    "YUY2", "Y210", "Y216", "NV11", "AI44", "IA44", "P8", "A8P8", "B4G4R4A4_UNORM",
};
static_assert(std::size(kNames) == kDxgiFormatCount);

using P = DxgiPixels;

// clang-format off
constexpr DxgiFormatRow kRows[] = {
    {23, D3DFMT_A2B10G10R10, D3DFMT_A2B10G10R10, P::AsStored},  // red in the low bits, as DXGI has it
    {24, D3DFMT_A2B10G10R10, D3DFMT_A2B10G10R10, P::AsStored},
    {27, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, P::SwapRedBlue},
    {28, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, P::SwapRedBlue},
    {29, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, P::SwapRedBlue},
    {31, D3DFMT_Q8W8V8U8, D3DFMT_Q8W8V8U8, P::AsStored},
    {33, D3DFMT_G16R16, D3DFMT_G16R16, P::AsStored},
    {35, D3DFMT_G16R16, D3DFMT_G16R16, P::AsStored},
    {37, D3DFMT_V16U16, D3DFMT_V16U16, P::AsStored},
    {48, D3DFMT_A8L8, D3DFMT_X8R8G8B8, P::RedGreenToXrgb},
    {49, D3DFMT_A8L8, D3DFMT_X8R8G8B8, P::RedGreenToXrgb},
    {51, D3DFMT_V8U8, D3DFMT_V8U8, P::AsStored},
    {53, kFormatL16, kFormatL16, P::AsStored},
    {56, kFormatL16, kFormatL16, P::AsStored},
    {60, D3DFMT_L8, D3DFMT_L8, P::AsStored},
    {61, D3DFMT_L8, D3DFMT_L8, P::AsStored},
    {65, D3DFMT_A8, D3DFMT_A8, P::AsStored},
    {70, D3DFMT_DXT1, D3DFMT_DXT1, P::AsStored},
    {71, D3DFMT_DXT1, D3DFMT_DXT1, P::AsStored},
    {72, D3DFMT_DXT1, D3DFMT_DXT1, P::AsStored},
    {73, D3DFMT_DXT3, D3DFMT_DXT3, P::AsStored},
    {74, D3DFMT_DXT3, D3DFMT_DXT3, P::AsStored},
    {75, D3DFMT_DXT3, D3DFMT_DXT3, P::AsStored},
    {76, D3DFMT_DXT5, D3DFMT_DXT5, P::AsStored},
    {77, D3DFMT_DXT5, D3DFMT_DXT5, P::AsStored},
    {78, D3DFMT_DXT5, D3DFMT_DXT5, P::AsStored},
    {79, kFormatBc4U, kFormatBc4U, P::AsStored},
    {80, kFormatBc4U, kFormatBc4U, P::AsStored},
    {81, kFormatBc4S, kFormatBc4S, P::AsStored},
    {82, kFormatBc5U, kFormatBc5U, P::AsStored},
    {83, kFormatBc5U, kFormatBc5U, P::AsStored},
    {84, kFormatBc5S, kFormatBc5S, P::AsStored},
    {85, D3DFMT_R5G6B5, D3DFMT_R5G6B5, P::AsStored},
    {86, D3DFMT_A1R5G5B5, D3DFMT_A1R5G5B5, P::AsStored},
    {87, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, P::AsStored},
    {88, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, P::AsStored},
    {90, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, P::AsStored},
    {91, D3DFMT_A8R8G8B8, D3DFMT_A8R8G8B8, P::AsStored},
    {92, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, P::AsStored},
    {93, D3DFMT_X8R8G8B8, D3DFMT_X8R8G8B8, P::AsStored},
    {94, kFormatBc6U, kFormatBc6U, P::AsStored},
    {95, kFormatBc6U, kFormatBc6U, P::AsStored},
    {96, kFormatBc6S, kFormatBc6S, P::AsStored},
    {97, kFormatBc7, kFormatBc7, P::AsStored},
    {98, kFormatBc7, kFormatBc7, P::AsStored},
    {99, kFormatBc7, kFormatBc7, P::AsStored},
    {115, D3DFMT_A4R4G4B4, D3DFMT_A4R4G4B4, P::AsStored},
};
// clang-format on

}  // namespace

const char* DxgiFormatName(UINT number) { return number < kDxgiFormatCount ? kNames[number] : "unknown"; }

const DxgiFormatRow* FindDxgiFormat(UINT number) {
    for (const DxgiFormatRow& row : kRows) {
        if (row.number == number) return &row;
    }
    return nullptr;
}

const DxgiFormatRow* FindDxgiFormatOf(D3DFORMAT format) {
    for (const DxgiFormatRow& row : kRows) {
        const std::string_view name = kNames[row.number];
        const bool plainForm = name.find("_TYPELESS") == name.npos && name.find("_SRGB") == name.npos;
        if (row.result == format && row.pixels == DxgiPixels::AsStored && plainForm) return &row;
    }
    return nullptr;
}

}  // namespace valmere::dds
