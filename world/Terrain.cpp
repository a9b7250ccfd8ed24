#include "world/World.h"
#include "world/MeshExpand.h"

#include <cmath>

namespace {

constexpr float DrawDistance = 100.0f;

// One corner of a patch's two triangles: which side of the centre it lies
// on in x and z (-1 or +1) and its texture coordinate. The texture runs
// from 0.5 to 1.5 across every patch, so with wrapping it repeats once per
// patch, shifted by half its size.
struct PatchCorner {
    int sideX, sideZ;
    float u, v;
};

// Triangles 1-2-3 and 4-5-6, seen from above:
//
//   1,4 +-----+ 5        z + 2
//       | \   |
//       |   \ |
//     2 +-----+ 3,6      z - 2
//     x - 2   x + 2
constexpr PatchCorner PatchCorners[6] = {
    {-1, +1, 0.5f, 0.5f}, {-1, -1, 0.5f, 1.5f}, {+1, -1, 1.5f, 1.5f},
    {-1, +1, 0.5f, 0.5f}, {+1, +1, 1.5f, 0.5f}, {+1, -1, 1.5f, 1.5f},
};

} // namespace

bool CWorld::LayOutPatches() {
    patchSize = 4;
    for (int row = 0; row < PatchesPerSide; ++row) {
        for (int column = 0; column < PatchesPerSide; ++column) {
            PatchCentre& centre = patches[PatchesPerSide * row + column];
            centre.x = static_cast<float>(patchSize * column);
            centre.z = static_cast<float>(patchSize * row);
        }
    }
    return true;
}

bool CWorld::SelectPatchDetail(const CCamera& camera) {
    float cameraX, cameraY, cameraZ;
    camera.GetPosition(cameraX, cameraY, cameraZ);
    for (int k = 0; k < PatchCount; ++k) {
        const double dx = static_cast<double>(patches[k].x) - cameraX;
        const double dz = static_cast<double>(patches[k].z) - cameraZ;
        patchDetail[k].distance = static_cast<float>(std::sqrt(dx * dx + dz * dz));
    }
    // A patch at exactly 0 or exactly 100 keeps the level it had.
    for (PatchDetail& detail : patchDetail) {
        if (detail.distance > DrawDistance) {
            detail.level = 0.0f;
        } else if (detail.distance > 0.0f && detail.distance < DrawDistance) {
            detail.level = 1.0f;
        }
    }
    return true;
}

bool CWorld::BuildTerrainMesh() {
    terrainTriangleCount = 0;
    terrainVertexCount = 0;
    // Grid index -1 (the corners at x = -2 or z = -2) reads height 0.
    const auto height = [this](int i, int b) { return i < 0 || b < 0 ? 0.0f : heights[i][b]; };
    for (int k = 0; k < PatchCount; ++k) {
        if (patchDetail[k].level != 1.0f) {
            continue;
        }
        const PatchCentre& centre = patches[k];
        // The corner at world X takes heights[(X - 2) / 4]: one index below
        // the centre's for the corner at x - 2, the centre's own at x + 2.
        const int i0 = static_cast<int>(centre.x / 4.0f) - 1;
        const int b0 = static_cast<int>(centre.z / 4.0f) - 1;
        for (const PatchCorner& corner : PatchCorners) {
            const int i = corner.sideX < 0 ? i0 : i0 + 1;
            const int b = corner.sideZ < 0 ? b0 : b0 + 1;
            meshVertices[terrainVertexCount++] = MeshRecord{centre.x + 2.0f * static_cast<float>(corner.sideX),
                                                            centre.z + 2.0f * static_cast<float>(corner.sideZ),
                                                            height(i, b), corner.u, corner.v};
        }
        terrainTriangleCount += 2;
    }
    return true;
}

bool CWorld::FillTerrainVertices() {
    valmere::world::ExpandRecords(meshVertices, terrainVertices, terrainVertexCount);
    return true;
}

bool UpdateTerrain(CWorld& world, const CCamera& camera) {
    if (!world.terrainLoaded) {
        world.LayOutPatches();
        world.LoadHeights();
        world.terrainLoaded = true;
    }
    world.SelectPatchDetail(camera);
    world.BuildTerrainMesh();
    world.FillTerrainVertices();
    return true;
}
