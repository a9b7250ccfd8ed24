#include "tools/valmere-texture/TextureSource.h"

#include "tools/valmere-texture/CubeAssembly.h"

namespace valmere::tools {

bool OpenTextureSource(const std::vector<std::string>& inputs, const ToolOptions& options, TextureSource& source,
                       std::string& failedFile, std::string& error) {
    for (const std::string& path : inputs) {
        source.files.push_back(std::make_unique<SourceImage>());
        if (!source.files.back()->Read(path, options.colorKey, error)) {
            failedFile = path;
            return false;
        }
    }
    failedFile = inputs.front();
    if (options.cube) return AssembleCubeFromFaces(source, failedFile, error);
    if (options.cross) return AssembleCubeFromCross(source, error);
    // The file as it is: every face, every level it holds.
    const SourceImage& file = *source.files[0];
    source.type = file.Info().ResourceType;
    for (const DecodedImage* face = &file.Image(); face; face = face->nextFace.get()) {
        source.faces.emplace_back();
        for (const DecodedImage* level = face; level; level = level->nextLevel.get()) {
            source.faces.back().push_back(file.Describe(*level));
        }
    }
    if (source.type == D3DRTYPE_CUBETEXTURE && source.faces.size() != 6) {
        error = "a cube file must hold six faces, not " + std::to_string(source.faces.size());
        return false;
    }
    return true;
}

}  // namespace valmere::tools
