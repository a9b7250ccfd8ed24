// Turns the world's compact build records into scene vertices.
#pragma once

#include "world/World.h"

namespace valmere::world {

// Vertex v gets position (x, height, z) of record v (the record keeps the
// height third), the world's constant normal (0, 2, 1) and the record's
// texture coordinate.
void ExpandRecords(const CWorld::MeshRecord* records, SceneVertex* vertices, int count);

} // namespace valmere::world
