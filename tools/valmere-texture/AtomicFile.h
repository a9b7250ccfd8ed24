// Writing a whole file so that readers see the old file or the new one,
// never part of one: the bytes go to a temporary file in the target's
// folder, which is then renamed over the target (as the PNG writer does).
#pragma once

#include <cstddef>
#include <span>
#include <string>

namespace valmere::tools {

// The pieces one after the other. False with the reason in `error`; the
// target is then untouched and no temporary file is left.
bool WriteFileAtomically(const std::string& path, std::span<const std::span<const std::byte>> pieces,
                         std::string& error);

}  // namespace valmere::tools
