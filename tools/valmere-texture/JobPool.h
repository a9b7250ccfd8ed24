// Jobs run on worker threads of the tool's own (the library sees no
// threads), started in the order given (largest first, so that the last to
// finish are short), their results handed over on the calling thread in
// job order, as soon as each job and all before it are done.
#pragma once

#include "tools/valmere-texture/TextureJob.h"

#include <functional>
#include <vector>

namespace valmere::tools {

// Runs jobs 0 .. count - 1 with `run` on `threads` threads (at least one),
// starting them in the order of `order`. `finished` is called on this
// thread whenever a job ends (any order: for progress), `deliver` with each
// result in job order.
void RunJobs(std::size_t count, unsigned threads, const std::vector<std::size_t>& order,
             const std::function<JobResult(std::size_t)>& run, const std::function<void(std::size_t)>& finished,
             const std::function<void(std::size_t, const JobResult&)>& deliver);

}  // namespace valmere::tools
