// The narrow code page of this platform is UTF-8.
#pragma once

#include "platform/win32/Win32.h"

namespace valmere::win32 {

// Decodes one UTF-8 sequence of text[0, count) at text[i] and advances i past
// it; a malformed or truncated sequence decodes to '?' and never reads past
// count.
char32_t DecodeUtf8(const unsigned char* text, int count, int& i);

}  // namespace valmere::win32
