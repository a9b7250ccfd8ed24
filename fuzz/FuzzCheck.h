// What a fuzz target asserts: a broken expectation prints what failed and
// aborts, which libFuzzer reports as a crash with the input that caused it.
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>

namespace valmere::fuzz {

[[gnu::format(printf, 2, 3)]] inline void Require(bool holds, const char* format, ...) {
    if (holds) return;
    std::va_list arguments;
    va_start(arguments, format);
    std::fputs("fuzz check failed: ", stderr);
    std::vfprintf(stderr, format, arguments);
    std::fputc('\n', stderr);
    va_end(arguments);
    std::abort();
}

}  // namespace valmere::fuzz
