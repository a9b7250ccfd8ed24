#include "world/MeshExpand.h"

namespace valmere::world {

namespace {

// One normal for every terrain and sky vertex, not of unit length: the
// lighting of the scene was set up with it.
constexpr float NormalX = 0.0f;
constexpr float NormalY = 2.0f;
constexpr float NormalZ = 1.0f;

} // namespace

void ExpandRecords(const CWorld::MeshRecord* records, SceneVertex* vertices, int count) {
    for (int v = 0; v < count; ++v) {
        const CWorld::MeshRecord& record = records[v];
        vertices[v] = SceneVertex{record.x, record.height, record.z, NormalX, NormalY, NormalZ, record.u, record.v};
    }
}

} // namespace valmere::world
