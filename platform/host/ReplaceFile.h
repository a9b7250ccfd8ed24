// Files replaced whole: written under a temporary name in the folder of the
// target and then renamed to it, so a reader sees the previous file or the
// whole new one, never part of one, and two writers of the same path leave
// one complete file (the last renamed). On failure the target is untouched
// and no temporary file is left behind.
#pragma once

#include <cstdio>
#include <functional>
#include <string>

namespace valmere::host {

// `write` puts the contents into the open file. False when it fails or the
// file cannot be created, closed or renamed; errno then says why (0 when
// `write` failed without setting it).
bool WriteReplacing(const std::string& path, const std::function<bool(std::FILE*)>& write);

}  // namespace valmere::host
