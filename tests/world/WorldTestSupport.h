// Helpers for the world tests: a zeroed world on the heap (the object is
// 4.4 MB) and a scratch folder for height files.
#pragma once

#include "world/World.h"

#include <filesystem>
#include <memory>
#include <string>

namespace valmere::world::test {

// Value-initialised, so zeroed like g_world in static storage.
inline std::unique_ptr<CWorld> MakeWorld() { return std::make_unique<CWorld>(); }

// A folder of its own under the system's temporary folder, removed again at
// the end of the test.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes `contents` into the folder's file `name`; returns its path.
    std::string Write(const std::string& name, const std::string& contents) const;

private:
    std::filesystem::path path_;
};

// A camera at (x, y, z) in its constructed orientation.
CCamera CameraAt(float x, float y, float z);

} // namespace valmere::world::test
