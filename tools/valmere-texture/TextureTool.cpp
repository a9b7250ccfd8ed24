#include "tools/valmere-texture/TextureTool.h"

#include "tools/valmere-texture/BatchPlan.h"
#include "tools/valmere-texture/JobPool.h"
#include "tools/valmere-texture/Options.h"
#include "tools/valmere-texture/Progress.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

namespace valmere::tools {
namespace {

constexpr int kFailed = 1;
constexpr int kBadCommandLine = 2;

int BadCommandLine(const std::string& problem) {
    std::fprintf(stderr, "valmere-texture: %s (--help for usage)\n", problem.c_str());
    return kBadCommandLine;
}

}  // namespace

int RunTextureTool(int argc, const char* const* argv) {
    ToolOptions o;
    std::string error;
    if (!ParseOptions(argc, argv, o, error)) return BadCommandLine(error);
    if (o.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    if (o.batch) {
        std::error_code failed;
        std::filesystem::create_directories(o.outputDirectory, failed);
        if (failed || !std::filesystem::is_directory(o.outputDirectory)) {
            return BadCommandLine("-o " + o.outputDirectory + ": not a folder that can be made (" + failed.message() + ")");
        }
    }
    const std::vector<TextureJob> jobs = PlanJobs(o);
    // Largest first, so that the last files to finish are short ones.
    std::vector<std::size_t> order(jobs.size());
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&jobs](std::size_t a, std::size_t b) { return jobs[a].megapixels > jobs[b].megapixels; });
    double megapixels = 0;
    for (const TextureJob& job : jobs) megapixels += job.megapixels;
    Progress progress(jobs.size(), megapixels, o.batch && isatty(STDERR_FILENO));
    progress.Redraw();
    std::size_t written = 0;
    const unsigned threads = o.jobs ? o.jobs : std::max(1u, std::thread::hardware_concurrency());
    RunJobs(
        jobs.size(), threads, order, [&](std::size_t n) { return RunTextureJob(o, jobs[n]); },
        [&](std::size_t n) { progress.Finished(jobs[n].megapixels); },
        [&](std::size_t, const JobResult& result) {
            progress.Erase();
            for (const std::string& line : result.messages) std::fprintf(stderr, "%s\n", line.c_str());
            std::fputs(result.info.c_str(), stdout);
            std::fflush(stdout);
            written += result.ok;
            progress.Redraw();
        });
    progress.Erase();
    if (o.batch) std::fprintf(stderr, "valmere-texture: %s\n", progress.Summary(written, jobs.size() - written).c_str());
    return written == jobs.size() ? 0 : kFailed;
}

}  // namespace valmere::tools
