// CWorld: the terrain (height grid, patches, triangle list) and the sky box,
// with the vertex arrays that WinMain copies into its vertex buffers every
// frame. One instance, g_world, in zero-initialised static storage: the
// class has a trivial constructor and every member starts at zero. All
// storage is fixed-size; nothing is allocated per frame.
#pragma once

#include "app/Globals.h"
#include "world/Camera.h"
#include "world/SceneVertex.h"

#include <cstddef>
#include <type_traits>

// The height file, read from the current directory.
inline constexpr const char* HeightFileName = "test1024.txt";

class CWorld {
public:
    static constexpr int TerrainVertexCapacity = 6144;
    static constexpr int SkyVertexCapacity = 60;
    // Vertices the sky box writes; the rest of skyVertices stays constant.
    static constexpr int SkyBoxVertexCount = 30;
    static constexpr int PatchesPerSide = 16;
    static constexpr int PatchCount = PatchesPerSide * PatchesPerSide;
    // heights[i][b]: i is the value's place in a line (along x), b the block
    // (along z). The file can fill blocks 0 to HeightFileBlocks - 1 only.
    static constexpr int HeightGridSize = 1025;
    static constexpr int HeightFileBlocks = 18;

    // Terrain (Terrain.cpp). Each returns true.
    // Patch 16 r + c gets the centre (4 c, 4 r); patchSize becomes 4.
    bool LayOutPatches();
    // Measures each patch centre's distance to the camera in x and z and
    // draws the patches nearer than 100; one at exactly 0 or 100 keeps its
    // level of the previous frame.
    bool SelectPatchDetail(const CCamera& camera = g_camera);
    // Two triangles (six build records) per drawn patch.
    bool BuildTerrainMesh();
    // Expands the build records into terrainVertices.
    bool FillTerrainVertices();

    // Height file (HeightFile.cpp). Always returns true; a missing file is
    // reported on standard output and leaves the heights as they are.
    bool LoadHeights(const char* path = HeightFileName);

    // Sky box (Sky.cpp). Each returns true.
    // Positions of the 30 sky records around the camera's eye height.
    bool BuildSkyBox(const CCamera& camera = g_camera);
    bool SetSkyTextureCoordinates();
    // Expands all 60 sky records into skyVertices.
    bool FillSkyVertices();

    // One build record of the terrain or sky: position in x and z, height,
    // then the texture coordinate.
    struct MeshRecord {
        float x, z, height, u, v;
    };
    struct PatchCentre {
        float x, z;
    };
    // level: 0.0 not drawn, 1.0 drawn as two triangles.
    struct PatchDetail {
        float distance, level;
    };

    // WinMain copies terrainVertices and skyVertices whole and draws
    // terrainTriangleCount triangles from vertex 0: these four come first.
    int terrainTriangleCount;
    int terrainVertexCount;
    SceneVertex terrainVertices[TerrainVertexCapacity];
    SceneVertex skyVertices[SkyVertexCapacity];

    int patchSize;
    PatchCentre patches[PatchCount];
    PatchDetail patchDetail[PatchCount];
    MeshRecord meshVertices[TerrainVertexCapacity];
    MeshRecord skyMeshVertices[SkyVertexCapacity];
    float heights[HeightGridSize][HeightGridSize];
    // Set by the first UpdateTerrain, which lays out the patches and reads
    // the height file once.
    bool terrainLoaded;
};

static_assert(std::is_trivially_default_constructible_v<CWorld> && std::is_trivially_destructible_v<CWorld>,
              "g_world lives in zero-initialised static storage");
static_assert(std::is_standard_layout_v<CWorld>);
static_assert(offsetof(CWorld, terrainTriangleCount) == 0 && offsetof(CWorld, terrainVertexCount) == 4 &&
              offsetof(CWorld, terrainVertices) == 8 && offsetof(CWorld, skyVertices) == 8 + 0x30000);

// Once per frame, before UpdateSky and UpdateControls: the first call lays
// out the patches and reads the height file; every call rebuilds the terrain
// triangles around the camera. Returns true.
bool UpdateTerrain(CWorld& world = g_world, const CCamera& camera = g_camera);
// Once per frame, after UpdateTerrain: rebuilds the sky box at the camera's
// eye height. Returns true.
bool UpdateSky(CWorld& world = g_world, const CCamera& camera = g_camera);
