#include "tools/valmere-texture/TextureJob.h"

#include "tools/valmere-texture/DdsWriter.h"
#include "tools/valmere-texture/FilteredLevels.h"
#include "tools/valmere-texture/FormatNames.h"
#include "tools/valmere-texture/PngLevels.h"
#include "tools/valmere-texture/StoredLevels.h"
#include "tools/valmere-texture/TexturePlan.h"
#include "tools/valmere-texture/TextureSource.h"

#include <new>

namespace valmere::tools {
namespace {

std::string Line(const std::string& file, const std::string& text) { return "valmere-texture: " + file + ": " + text; }

const char* TypeName(D3DRESOURCETYPE type) {
    return type == D3DRTYPE_CUBETEXTURE ? "cube" : type == D3DRTYPE_VOLUMETEXTURE ? "volume" : "2D";
}

std::string Info(const TexturePlan& p) {
    return std::string("Type ") + TypeName(p.type) + "\nWidth " + std::to_string(p.width) + "\nHeight " +
           std::to_string(p.height) + "\nDepth " + std::to_string(p.depth) + "\nLevels " + std::to_string(p.levels) +
           "\nFormat " + FormatName(p.format) + " (" + std::to_string(static_cast<UINT>(p.format)) + ")\n";
}

JobResult Run(const ToolOptions& o, const TextureJob& job) {
    JobResult result;
    const std::string& name = job.inputs.front();
    auto fail = [&](const std::string& file, const std::string& text) {
        result.messages.push_back(Line(file, text));
        return result;
    };
    if (!job.refusal.empty()) return fail(name, job.refusal);
    TextureSource source;
    std::string failedFile, error;
    if (!OpenTextureSource(job.inputs, o, source, failedFile, error)) return fail(failedFile, error);
    TexturePlan plan;
    std::vector<std::string> notes;
    const bool planned = PlanTexture(o, source, plan, notes, error);
    for (const std::string& note : notes) result.messages.push_back(Line(name, note));
    if (!planned) return fail(name, error);
    if (o.info) result.info = (o.batch ? "File " + name + "\n" : std::string()) + Info(plan);
    if (job.output.empty()) {
        result.ok = true;
        return result;
    }
    TextureData texture;
    const HRESULT hr = plan.filteredMips ? BuildFilteredLevels(source, plan, o, texture)
                                         : BuildStoredLevels(source, plan, texture);
    if (FAILED(hr)) return fail(name, "cannot make the " + FormatName(plan.format) + " levels: " + ResultName(hr));
    source = {};  // the files' memory, before the writing
    std::vector<std::string> written;
    const bool ok = o.outputKind == OutputKind::Png ? WritePngLevels(texture, job.output, written, error)
                                                    : WriteDdsFile(texture, o.legacyDds, job.output, error);
    if (!ok) return fail(job.output, error);
    result.ok = true;
    return result;
}

}  // namespace

JobResult RunTextureJob(const ToolOptions& options, const TextureJob& job) {
    try {
        return Run(options, job);
    } catch (const std::bad_alloc&) {
        JobResult result;
        result.messages.push_back(Line(job.inputs.front(), "out of memory"));
        return result;
    }
}

}  // namespace valmere::tools
