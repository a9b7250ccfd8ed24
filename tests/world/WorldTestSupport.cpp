#include "tests/world/WorldTestSupport.h"

#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace valmere::world::test {

ScratchFolder::ScratchFolder() {
    std::string pattern = (std::filesystem::temp_directory_path() / "valmere-world-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        throw std::runtime_error("cannot create a scratch folder");
    }
    path_ = pattern;
}

ScratchFolder::~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string ScratchFolder::Write(const std::string& name, const std::string& contents) const {
    const std::filesystem::path file = path_ / name;
    std::ofstream(file, std::ios::binary) << contents;
    return file.string();
}

CCamera CameraAt(float x, float y, float z) {
    CCamera camera;
    camera.SetPosition(x, y, z);
    return camera;
}

} // namespace valmere::world::test
