// One texture made and written: its inputs read and assembled, planned,
// levels built, the output written. Jobs share nothing, so any number run
// at once and each output depends on its inputs only.
#pragma once

#include "tools/valmere-texture/Options.h"

#include <string>
#include <vector>

namespace valmere::tools {

struct TextureJob {
    std::vector<std::string> inputs;  // one file, or the six faces of a cube
    std::string output;               // empty: nothing written (--info alone)
    double megapixels = 0;            // of the first input, for scheduling and progress (0: unknown)
    std::string refusal;              // set before running: the job fails with this line
};

struct JobResult {
    bool ok = false;
    // Message lines for standard error, "valmere-texture: " and the file
    // first: the changes made to what was asked, then the failure if any.
    std::vector<std::string> messages;
    std::string info;  // --info's lines for standard output
};

JobResult RunTextureJob(const ToolOptions& options, const TextureJob& job);

}  // namespace valmere::tools
