// The size framebench and its peer draw the viewer's frame at: the
// viewer's 800x600, or another size given as --size WIDTHxHEIGHT, which
// both programs apply the same way to the viewer's device after its start
// (a windowed Reset to that back buffer, then the viewer's scene state
// again, whose projection follows the new viewport).
#pragma once

namespace valmere::bench {

struct SceneSize {
    int width = 800, height = 600;
    bool Default() const { return width == 800 && height == 600; }
};

// Reads "--size WIDTHxHEIGHT" at argv[index] and argv[index + 1] when it is
// there: index moves past it. False for a malformed size (then `size` is
// unchanged).
bool ReadSceneSize(int argc, char** argv, int& index, SceneSize& size);

// Resets the viewer's device (g_application) to the size; false when the
// device refuses it. Nothing to do for the default size.
bool ApplySceneSize(const SceneSize& size);

}  // namespace valmere::bench
