#include "world/MeshExpand.h"
#include "world/World.h"

namespace {

// Half the width of the box and the height of its walls above the eye.
constexpr float Extent = 256.0f;

// A sky record's place: x and z as multiples of Extent, and whether it lies
// on the top (eye height + Extent) or at eye level.
struct SkyCorner {
    int sideX, sideZ;
    bool high;
    float u, v;
};

// Five faces of two triangles each, no floor. The walls map the texture
// once with v = 0 at the top edge, except the wall z = -Extent where both
// directions are reversed; the top repeats it twice along z.
constexpr SkyCorner SkyCorners[CWorld::SkyBoxVertexCount] = {
    // top
    {-1, +1, true, 0, 0}, {-1, -1, true, 0, 2}, {+1, -1, true, 1, 2},
    {-1, +1, true, 0, 0}, {+1, +1, true, 1, 0}, {+1, -1, true, 1, 2},
    // wall z = +Extent
    {-1, +1, true, 0, 0}, {-1, +1, false, 0, 1}, {+1, +1, false, 1, 1},
    {-1, +1, true, 0, 0}, {+1, +1, true, 1, 0}, {+1, +1, false, 1, 1},
    // wall z = -Extent
    {-1, -1, true, 1, 1}, {-1, -1, false, 1, 0}, {+1, -1, false, 0, 0},
    {-1, -1, true, 1, 1}, {+1, -1, true, 0, 1}, {+1, -1, false, 0, 0},
    // wall x = +Extent
    {+1, -1, true, 0, 0}, {+1, -1, false, 0, 1}, {+1, +1, false, 1, 1},
    {+1, -1, true, 0, 0}, {+1, +1, true, 1, 0}, {+1, +1, false, 1, 1},
    // wall x = -Extent
    {-1, +1, true, 0, 0}, {-1, +1, false, 0, 1}, {-1, -1, false, 1, 1},
    {-1, +1, true, 0, 0}, {-1, -1, true, 1, 0}, {-1, -1, false, 1, 1},
};

} // namespace

bool CWorld::BuildSkyBox(const CCamera& camera) {
    float x, eyeHeight, z;
    camera.GetPosition(x, eyeHeight, z);
    const float top = eyeHeight + Extent;
    for (int r = 0; r < SkyBoxVertexCount; ++r) {
        MeshRecord& record = skyMeshVertices[r];
        record.x = Extent * static_cast<float>(SkyCorners[r].sideX);
        record.z = Extent * static_cast<float>(SkyCorners[r].sideZ);
        record.height = SkyCorners[r].high ? top : eyeHeight;
    }
    return true;
}

bool CWorld::SetSkyTextureCoordinates() {
    for (int r = 0; r < SkyBoxVertexCount; ++r) {
        skyMeshVertices[r].u = SkyCorners[r].u;
        skyMeshVertices[r].v = SkyCorners[r].v;
    }
    return true;
}

// Records 30 to 59 are never written: their vertices stay at the origin with
// texture (0, 0) and are not drawn.
bool CWorld::FillSkyVertices() {
    valmere::world::ExpandRecords(skyMeshVertices, skyVertices, SkyVertexCapacity);
    return true;
}

bool UpdateSky(CWorld& world, const CCamera& camera) {
    world.BuildSkyBox(camera);
    world.SetSkyTextureCoordinates();
    world.FillSkyVertices();
    return true;
}
