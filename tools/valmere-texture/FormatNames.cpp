#include "tools/valmere-texture/FormatNames.h"

#include "texture/D3DXTexture.h"
#include "texture/format/BlockFormat.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cstdio>

namespace valmere::tools {
namespace {

template <class Value>
struct Named {
    Value value;
    const char* name;
};

constexpr Named<D3DFORMAT> kFormats[] = {
    {D3DFMT_UNKNOWN, "UNKNOWN"},         {D3DFMT_R8G8B8, "R8G8B8"},
    {D3DFMT_A8R8G8B8, "A8R8G8B8"},       {D3DFMT_X8R8G8B8, "X8R8G8B8"},
    {D3DFMT_R5G6B5, "R5G6B5"},           {D3DFMT_X1R5G5B5, "X1R5G5B5"},
    {D3DFMT_A1R5G5B5, "A1R5G5B5"},       {D3DFMT_A4R4G4B4, "A4R4G4B4"},
    {D3DFMT_R3G3B2, "R3G3B2"},           {D3DFMT_A8, "A8"},
    {D3DFMT_A8R3G3B2, "A8R3G3B2"},       {D3DFMT_X4R4G4B4, "X4R4G4B4"},
    {D3DFMT_A2B10G10R10, "A2B10G10R10"}, {D3DFMT_G16R16, "G16R16"},
    {D3DFMT_A8P8, "A8P8"},               {D3DFMT_P8, "P8"},
    {D3DFMT_L8, "L8"},                   {D3DFMT_A8L8, "A8L8"},
    {D3DFMT_A4L4, "A4L4"},               {D3DFMT_V8U8, "V8U8"},
    {D3DFMT_L6V5U5, "L6V5U5"},           {D3DFMT_X8L8V8U8, "X8L8V8U8"},
    {D3DFMT_Q8W8V8U8, "Q8W8V8U8"},       {D3DFMT_V16U16, "V16U16"},
    {D3DFMT_W11V11U10, "W11V11U10"},     {D3DFMT_A2W10V10U10, "A2W10V10U10"},
    {D3DFMT_UYVY, "UYVY"},               {D3DFMT_YUY2, "YUY2"},
    {D3DFMT_DXT1, "DXT1"},               {D3DFMT_DXT2, "DXT2"},
    {D3DFMT_DXT3, "DXT3"},               {D3DFMT_DXT4, "DXT4"},
    {D3DFMT_DXT5, "DXT5"},               {D3DFMT_D16_LOCKABLE, "D16_LOCKABLE"},
    {D3DFMT_D32, "D32"},                 {D3DFMT_D15S1, "D15S1"},
    {D3DFMT_D24S8, "D24S8"},             {D3DFMT_D16, "D16"},
    {D3DFMT_D24X8, "D24X8"},             {D3DFMT_D24X4S4, "D24X4S4"},
    // The block formats a device cannot hold, which the tool writes; then
    // the other names they go by (never printed: the first name wins).
    {kFormatBc4U, "BC4U"},               {kFormatBc4S, "BC4S"},
    {kFormatBc5U, "BC5U"},               {kFormatBc5S, "BC5S"},
    {kFormatBc6U, "BC6H_UF16"},          {kFormatBc6S, "BC6H_SF16"},
    {kFormatBc7, "BC7"},                 {kFormatBc4U, "BC4"},
    {kFormatBc5U, "BC5"},                {kFormatBc4U, "ATI1"},
    {kFormatBc5U, "ATI2"},
};

constexpr Named<DWORD> kFilterTypes[] = {
    {D3DX_FILTER_NONE, "none"},       {D3DX_FILTER_POINT, "point"}, {D3DX_FILTER_LINEAR, "linear"},
    {D3DX_FILTER_TRIANGLE, "triangle"}, {D3DX_FILTER_BOX, "box"},
};

constexpr Named<DWORD> kFilterFlags[] = {
    {D3DX_FILTER_DITHER, "dither"},       {D3DX_FILTER_MIRROR, "mirror"},     {D3DX_FILTER_MIRROR_U, "mirror_u"},
    {D3DX_FILTER_MIRROR_V, "mirror_v"}, {D3DX_FILTER_MIRROR_W, "mirror_w"},
};

constexpr Named<HRESULT> kResults[] = {
    {D3DERR_INVALIDCALL, "D3DERR_INVALIDCALL"}, {D3DERR_NOTAVAILABLE, "D3DERR_NOTAVAILABLE"},
    {D3DXERR_INVALIDDATA, "D3DXERR_INVALIDDATA"}, {E_FAIL, "E_FAIL"},
    {E_OUTOFMEMORY, "E_OUTOFMEMORY"},           {E_NOTIMPL, "E_NOTIMPL"},
    {E_NOINTERFACE, "E_NOINTERFACE"},
};

bool SameText(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

template <class Value, std::size_t N>
bool Find(const Named<Value> (&table)[N], std::string_view text, Value& value) {
    for (const Named<Value>& entry : table) {
        if (SameText(text, entry.name)) {
            value = entry.value;
            return true;
        }
    }
    return false;
}

}  // namespace

std::string FormatName(D3DFORMAT format) {
    for (const Named<D3DFORMAT>& entry : kFormats) {
        if (entry.value == format) {
            return entry.name;
        }
    }
    return std::to_string(static_cast<UINT>(format));
}

bool ParseNumber(std::string_view text, UINT& value) {
    int base = 10;
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        text.remove_prefix(2);
        base = 16;
    }
    UINT parsed = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), parsed, base);
    if (text.empty() || error != std::errc{} || end != text.data() + text.size()) {
        return false;
    }
    value = parsed;
    return true;
}

bool ParseFormat(std::string_view text, D3DFORMAT& format) {
    if (text.size() > 7 && SameText(text.substr(0, 7), "D3DFMT_")) {
        text.remove_prefix(7);
    }
    UINT number = 0;
    if (ParseNumber(text, number)) {
        format = static_cast<D3DFORMAT>(number);
        return true;
    }
    return Find(kFormats, text, format);
}

bool ParseFilter(std::string_view text, DWORD& filter) {
    if (SameText(text, "default")) {
        filter = D3DX_DEFAULT;
        return true;
    }
    UINT number = 0;
    if (ParseNumber(text, number)) {
        filter = number;
        return true;
    }
    // The words between bars: the type first, then flags.
    DWORD result = 0;
    for (std::size_t start = 0, word = 0;; ++word) {
        const std::size_t bar = text.find('|', start);
        const std::string_view name = text.substr(start, bar == std::string_view::npos ? bar : bar - start);
        DWORD bits = 0;
        if (!(word == 0 ? Find(kFilterTypes, name, bits) : Find(kFilterFlags, name, bits))) {
            return false;
        }
        result |= bits;
        if (bar == std::string_view::npos) {
            break;
        }
        start = bar + 1;
    }
    filter = result;
    return true;
}

std::string ResultName(HRESULT hr) {
    char code[16];
    std::snprintf(code, sizeof(code), "0x%08X", static_cast<UINT>(hr));
    for (const Named<HRESULT>& entry : kResults) {
        if (entry.value == hr) {
            return std::string(entry.name) + " (" + code + ")";
        }
    }
    return code;
}

}  // namespace valmere::tools
