// Text conversion between wide strings and the narrow code page. The narrow
// code page of this platform is UTF-8; wide strings hold code points.
#include <string>

#include "platform/win32/Utf8.h"

namespace {

void AppendUtf8(std::string& out, char32_t c) {
    if (c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) c = U'?';
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace

namespace valmere::win32 {

char32_t DecodeUtf8(const unsigned char* text, int count, int& i) {
    const unsigned char lead = text[i++];
    if (lead < 0x80) return lead;
    int extra = lead >= 0xF0 ? 3 : lead >= 0xE0 ? 2 : lead >= 0xC0 ? 1 : -1;
    if (extra < 0 || lead > 0xF4) return U'?';
    char32_t c = lead & (0x3F >> extra);
    for (int k = 0; k < extra; ++k) {
        if (i >= count || (text[i] & 0xC0) != 0x80) return U'?';
        c = (c << 6) | (text[i++] & 0x3F);
    }
    return c;
}

}  // namespace valmere::win32

int WideCharToMultiByte(UINT /*codePage*/, DWORD /*flags*/, LPCWSTR wide, int wideCount, LPSTR narrow,
                        int narrowBytes, LPCSTR /*defaultChar*/, BOOL* usedDefault) {
    if (!wide || wideCount == 0 || narrowBytes < 0) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        return 0;
    }
    if (usedDefault) *usedDefault = FALSE;
    std::string out;
    if (wideCount < 0) {
        for (const wchar_t* c = wide;; ++c) {
            AppendUtf8(out, static_cast<char32_t>(*c));
            if (*c == L'\0') break;  // the terminator is converted and counted
        }
    } else {
        for (int i = 0; i < wideCount; ++i) AppendUtf8(out, static_cast<char32_t>(wide[i]));
    }
    const int needed = static_cast<int>(out.size());
    if (narrowBytes == 0) return needed;
    if (!narrow || narrowBytes < needed) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        return 0;
    }
    out.copy(narrow, out.size());
    return needed;
}

int MultiByteToWideChar(UINT /*codePage*/, DWORD /*flags*/, LPCSTR narrow, int narrowCount, LPWSTR wide,
                        int wideCount) {
    if (!narrow || narrowCount == 0 || wideCount < 0) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        return 0;
    }
    const auto* bytes = reinterpret_cast<const unsigned char*>(narrow);
    const int count = narrowCount < 0 ? static_cast<int>(std::char_traits<char>::length(narrow)) + 1 : narrowCount;
    std::wstring out;
    for (int i = 0; i < count;) out += static_cast<wchar_t>(valmere::win32::DecodeUtf8(bytes, count, i));
    const int needed = static_cast<int>(out.size());
    if (wideCount == 0) return needed;
    if (!wide || wideCount < needed) {
        SetLastError(static_cast<DWORD>(ERROR_INVALID_PARAMETER));
        return 0;
    }
    out.copy(wide, out.size());
    return needed;
}
