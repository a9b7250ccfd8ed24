// The jobs of a run: one texture for INPUT OUTPUT (or --cube's six faces),
// or one per file of a batch, written to OUTDIR/NAME.dds (or .png) where
// NAME is the file's name without its folder and last extension. Two files
// of a batch that would write the same output are refused, the second and
// later, before anything runs.
#pragma once

#include "tools/valmere-texture/Options.h"
#include "tools/valmere-texture/TextureJob.h"

#include <vector>

namespace valmere::tools {

// The jobs in the order of the inputs, each with its megapixels (from the
// file's header; 0 when it cannot be read, which the job will report).
std::vector<TextureJob> PlanJobs(const ToolOptions& options);

// OUTDIR/NAME.ext for a batch's input.
std::string BatchOutputPath(const std::string& directory, const std::string& input, OutputKind kind);

}  // namespace valmere::tools
