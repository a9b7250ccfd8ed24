// The settable state of a device (render states, texture-stage states,
// transforms, viewport, material, lights, vertex shader, textures, stream
// source), the Direct3D 8 defaults of a new or reset device, and the masks
// that say which parts of the state a state block holds.
#pragma once

#include <array>
#include <bitset>
#include <map>
#include <set>

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/d3d8/raster/Raster.h"

namespace valmere::d3d8 {

// Transform slots: view, projection, the eight texture matrices and the 256
// world matrices (D3DTS_WORLDMATRIX(0..255)).
constexpr int kViewSlot = 0;
constexpr int kProjectionSlot = 1;
constexpr int kFirstTextureSlot = 2;
constexpr int kFirstWorldSlot = kFirstTextureSlot + static_cast<int>(D3DMAXTEXTURESTAGES);
constexpr int kTransformSlots = kFirstWorldSlot + 256;

// The slot of a transform, or -1 for a value that names none.
int TransformSlot(D3DTRANSFORMSTATETYPE type);
bool IsRenderState(DWORD state);
bool IsStageState(DWORD type);
// Bytes of one vertex of a flexible vertex format; 0 when the device does not
// draw that format (programmable shader handles, no or blended positions,
// more than eight texture sets, unknown bits).
UINT FvfVertexSize(DWORD fvf);

struct LightSlot {
    D3DLIGHT8 light{};
    bool enabled = false;
};

struct DeviceState {
    std::array<DWORD, D3DRS_MAX> renderStates{};
    std::array<std::array<DWORD, D3DTSS_MAX>, D3DMAXTEXTURESTAGES> stageStates{};
    std::array<D3DMATRIX, kTransformSlots> transforms{};
    D3DVIEWPORT8 viewport{};
    D3DMATERIAL8 material{};
    std::map<DWORD, LightSlot> lights;
    DWORD vertexShader = 0;
    std::array<ComPtr<IDirect3DBaseTexture8>, D3DMAXTEXTURESTAGES> textures;
    ComPtr<IDirect3DVertexBuffer8> streamSource;
    UINT streamStride = 0;
};

// Which states a state block holds.
struct StateMask {
    std::bitset<D3DRS_MAX> renderStates;
    std::array<std::bitset<D3DTSS_MAX>, D3DMAXTEXTURESTAGES> stageStates;
    std::bitset<kTransformSlots> transforms;
    std::bitset<D3DMAXTEXTURESTAGES> textures;
    std::set<DWORD> lights;        // light parameters
    std::set<DWORD> lightEnables;  // enable flags
    bool viewport = false;
    bool material = false;
    bool vertexShader = false;
    bool streamSource = false;
};

struct StateBlock {
    StateMask mask;
    DeviceState values;
};

struct DefaultStateInputs {
    bool autoDepthStencil = false;
    bool softwareVertexProcessing = false;
    D3DVIEWPORT8 viewport{};
};

DeviceState DefaultDeviceState(const DefaultStateInputs& inputs);
// Copies what a draw reads (all but the textures, which the device prepares
// for sampling itself) into the rasterizer's snapshot.
void CopyToPipelineState(const DeviceState& state, raster::PipelineState& pipeline);
// The snapshot of a new device without a depth buffer whose viewport covers
// width x height: the starting point of the rasterizer's tests and benchmark.
raster::PipelineState NewDevicePipelineState(int width, int height);
D3DMATRIX IdentityMatrix();
// The default light that LightEnable creates for an index never set: white
// directional light along +z.
D3DLIGHT8 DefaultLight();

// The states of a D3DSTATEBLOCKTYPE; lights are those the state has now.
StateMask MaskForStateBlockType(D3DSTATEBLOCKTYPE type, const DeviceState& state);

}  // namespace valmere::d3d8
