#include "tools/valmere-texture/BatchPlan.h"

#include "texture/D3DXTexture.h"

#include <map>

namespace valmere::tools {
namespace {

double Megapixels(const std::string& path) {
    D3DXIMAGE_INFO info{};
    if (FAILED(D3DXGetImageInfoFromFileA(path.c_str(), &info))) return 0;
    return static_cast<double>(info.Width) * info.Height * info.Depth / 1e6;
}

}  // namespace

std::string BatchOutputPath(const std::string& directory, const std::string& input, OutputKind kind) {
    std::string name = input.substr(input.find_last_of('/') + 1);
    const std::size_t dot = name.find_last_of('.');
    if (dot != std::string::npos && dot > 0) name.resize(dot);
    std::string folder = directory;
    if (folder.empty() || folder.back() != '/') folder += '/';
    return folder + name + (kind == OutputKind::Png ? ".png" : ".dds");
}

std::vector<TextureJob> PlanJobs(const ToolOptions& o) {
    std::vector<TextureJob> jobs;
    if (!o.batch) {
        TextureJob job;
        job.inputs = o.inputs;
        job.output = o.output;
        job.megapixels = Megapixels(o.inputs.front()) * (o.cube ? 6 : 1);
        jobs.push_back(job);
        return jobs;
    }
    std::map<std::string, std::string> firstInputOf;  // output -> input
    for (const std::string& input : o.inputs) {
        TextureJob job;
        job.inputs = {input};
        job.output = BatchOutputPath(o.outputDirectory, input, o.outputKind);
        job.megapixels = Megapixels(input);
        const auto [it, added] = firstInputOf.emplace(job.output, input);
        if (!added) job.refusal = "its output " + job.output + " is that of " + it->second + " already";
        jobs.push_back(job);
    }
    return jobs;
}

}  // namespace valmere::tools
