// The Set and Get calls of the device state. While a state block is being
// recorded, Set calls write into the block (and mark what they set) and the
// device's own state stays as it was; Get calls always read the device.
#include <cmath>

#include "platform/d3d8/Device.h"
#include "platform/d3d8/FailureInjection.h"
#include "platform/d3d8/Textures.h"
#include "platform/d3d8/VertexBuffer.h"

namespace valmere::d3d8 {
namespace {

// Row-vector convention: a point times a, then times b.
D3DMATRIX Multiply(const D3DMATRIX& a, const D3DMATRIX& b) {
    D3DMATRIX product{};
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 4; ++column)
            for (int k = 0; k < 4; ++k) product.m[row][column] += a.m[row][k] * b.m[k][column];
    return product;
}

bool IsValidLight(const D3DLIGHT8& light) {
    if (light.Type < D3DLIGHT_POINT || light.Type > D3DLIGHT_DIRECTIONAL) return false;
    const D3DVECTOR& d = light.Direction;
    if (light.Type != D3DLIGHT_POINT && d.x == 0.0f && d.y == 0.0f && d.z == 0.0f) return false;
    if (light.Type != D3DLIGHT_DIRECTIONAL && !(light.Range >= 0.0f && std::isfinite(light.Range))) return false;
    return true;
}

}  // namespace

DeviceState& Device::Target() { return recording_ ? recording_->values : state_; }

StateMask* Device::RecordingMask() { return recording_ ? &recording_->mask : nullptr; }

HRESULT Device::SetTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    if (InjectedFailure("SetTransform")) return D3DERR_INVALIDCALL;
    const int slot = TransformSlot(state);
    if (matrix == nullptr || slot < 0) return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->transforms.set(static_cast<std::size_t>(slot));
    Target().transforms[static_cast<std::size_t>(slot)] = *matrix;
    return D3D_OK;
}

HRESULT Device::GetTransform(D3DTRANSFORMSTATETYPE state, D3DMATRIX* matrix) {
    const int slot = TransformSlot(state);
    if (matrix == nullptr || slot < 0) return D3DERR_INVALIDCALL;
    *matrix = state_.transforms[static_cast<std::size_t>(slot)];
    return D3D_OK;
}

// The new transform is matrix times the current one.
HRESULT Device::MultiplyTransform(D3DTRANSFORMSTATETYPE state, const D3DMATRIX* matrix) {
    const int slot = TransformSlot(state);
    if (matrix == nullptr || slot < 0) return D3DERR_INVALIDCALL;
    const D3DMATRIX product = Multiply(*matrix, Target().transforms[static_cast<std::size_t>(slot)]);
    return SetTransform(state, &product);
}

HRESULT Device::SetViewport(const D3DVIEWPORT8* viewport) {
    if (InjectedFailure("SetViewport")) return D3DERR_INVALIDCALL;
    if (viewport == nullptr || viewport->Width == 0 || viewport->Height == 0) return D3DERR_INVALIDCALL;
    const PixelStorage& target = renderTarget_->Storage();
    if (viewport->X >= target.Width() || viewport->Y >= target.Height() ||
        viewport->Width > target.Width() - viewport->X || viewport->Height > target.Height() - viewport->Y)
        return D3DERR_INVALIDCALL;
    if (!(viewport->MinZ >= 0.0f && viewport->MinZ <= 1.0f && viewport->MaxZ >= 0.0f && viewport->MaxZ <= 1.0f))
        return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->viewport = true;
    Target().viewport = *viewport;
    return D3D_OK;
}

HRESULT Device::GetViewport(D3DVIEWPORT8* viewport) {
    if (InjectedFailure("GetViewport") || viewport == nullptr) return D3DERR_INVALIDCALL;
    *viewport = state_.viewport;
    return D3D_OK;
}

HRESULT Device::SetMaterial(const D3DMATERIAL8* material) {
    if (InjectedFailure("SetMaterial") || material == nullptr) return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->material = true;
    Target().material = *material;
    return D3D_OK;
}

HRESULT Device::GetMaterial(D3DMATERIAL8* material) {
    if (material == nullptr) return D3DERR_INVALIDCALL;
    *material = state_.material;
    return D3D_OK;
}

HRESULT Device::SetLight(DWORD index, const D3DLIGHT8* light) {
    if (InjectedFailure("SetLight") || light == nullptr || !IsValidLight(*light)) return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->lights.insert(index);
    Target().lights[index].light = *light;
    return D3D_OK;
}

HRESULT Device::GetLight(DWORD index, D3DLIGHT8* light) {
    const auto found = state_.lights.find(index);
    if (light == nullptr || found == state_.lights.end()) return D3DERR_INVALIDCALL;
    *light = found->second.light;
    return D3D_OK;
}

HRESULT Device::LightEnable(DWORD index, BOOL enable) {
    if (InjectedFailure("LightEnable")) return D3DERR_INVALIDCALL;
    return SetLightEnable(index, enable != FALSE);
}

// Enabling a light that was never set creates the default light. At most
// MaxActiveLights lights are enabled at once.
HRESULT Device::SetLightEnable(DWORD index, bool enable) {
    DeviceState& target = Target();
    if (enable) {
        DWORD enabled = 0;
        for (const auto& [other, slot] : target.lights) enabled += slot.enabled && other != index ? 1 : 0;
        if (enabled >= Profile().caps.MaxActiveLights) return D3DERR_INVALIDCALL;
    }
    if (StateMask* mask = RecordingMask()) mask->lightEnables.insert(index);
    const auto [slot, inserted] = target.lights.try_emplace(index);
    if (inserted) slot->second.light = DefaultLight();
    slot->second.enabled = enable;
    return D3D_OK;
}

HRESULT Device::GetLightEnable(DWORD index, BOOL* enable) {
    const auto found = state_.lights.find(index);
    if (enable == nullptr || found == state_.lights.end()) return D3DERR_INVALIDCALL;
    *enable = found->second.enabled ? TRUE : FALSE;
    return D3D_OK;
}

HRESULT Device::SetRenderState(D3DRENDERSTATETYPE state, DWORD value) {
    if (InjectedFailure("SetRenderState") || !IsRenderState(state)) return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->renderStates.set(state);
    Target().renderStates[state] = value;
    return D3D_OK;
}

HRESULT Device::GetRenderState(D3DRENDERSTATETYPE state, DWORD* value) {
    if (value == nullptr || !IsRenderState(state)) return D3DERR_INVALIDCALL;
    *value = state_.renderStates[state];
    return D3D_OK;
}

// Only textures the adapter can sample from may be set: system-memory and
// scratch textures may not.
HRESULT Device::SetTexture(DWORD stage, IDirect3DBaseTexture8* texture) {
    if (InjectedFailure("SetTexture") || stage >= D3DMAXTEXTURESTAGES) return D3DERR_INVALIDCALL;
    if (texture != nullptr) {
        const TextureResource* own = OwnTexture(texture);
        if (own == nullptr || own->Pool() == D3DPOOL_SYSTEMMEM || own->Pool() == D3DPOOL_SCRATCH)
            return D3DERR_INVALIDCALL;
    }
    if (StateMask* mask = RecordingMask()) mask->textures.set(stage);
    Target().textures[stage] = ComPtr<IDirect3DBaseTexture8>::Share(texture);
    return D3D_OK;
}

HRESULT Device::GetTexture(DWORD stage, IDirect3DBaseTexture8** texture) {
    if (texture == nullptr || stage >= D3DMAXTEXTURESTAGES) return D3DERR_INVALIDCALL;
    *texture = ComPtr<IDirect3DBaseTexture8>(state_.textures[stage]).Detach();
    return D3D_OK;
}

HRESULT Device::SetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD value) {
    if (InjectedFailure("SetTextureStageState") || stage >= D3DMAXTEXTURESTAGES || !IsStageState(type))
        return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->stageStates[stage].set(type);
    Target().stageStates[stage][type] = value;
    return D3D_OK;
}

HRESULT Device::GetTextureStageState(DWORD stage, D3DTEXTURESTAGESTATETYPE type, DWORD* value) {
    if (value == nullptr || stage >= D3DMAXTEXTURESTAGES || !IsStageState(type)) return D3DERR_INVALIDCALL;
    *value = state_.stageStates[stage][type];
    return D3D_OK;
}

HRESULT Device::SetVertexShader(DWORD handle) {
    if (InjectedFailure("SetVertexShader") || FvfVertexSize(handle) == 0) return D3DERR_INVALIDCALL;
    if (StateMask* mask = RecordingMask()) mask->vertexShader = true;
    Target().vertexShader = handle;
    return D3D_OK;
}

HRESULT Device::GetVertexShader(DWORD* handle) {
    if (handle == nullptr) return D3DERR_INVALIDCALL;
    *handle = state_.vertexShader;
    return D3D_OK;
}

HRESULT Device::SetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8* streamData, UINT stride) {
    if (InjectedFailure("SetStreamSource") || streamNumber >= Profile().caps.MaxStreams) return D3DERR_INVALIDCALL;
    if (streamData != nullptr) {
        const auto* own = dynamic_cast<VertexBuffer*>(streamData);
        if (own == nullptr || own->OwningDevice() != this || stride == 0 || stride > Profile().caps.MaxStreamStride)
            return D3DERR_INVALIDCALL;
    }
    if (StateMask* mask = RecordingMask()) mask->streamSource = true;
    DeviceState& target = Target();
    target.streamSource = ComPtr<IDirect3DVertexBuffer8>::Share(streamData);
    target.streamStride = streamData != nullptr ? stride : 0;
    return D3D_OK;
}

HRESULT Device::GetStreamSource(UINT streamNumber, IDirect3DVertexBuffer8** streamData, UINT* stride) {
    if (streamData == nullptr || stride == nullptr || streamNumber >= Profile().caps.MaxStreams)
        return D3DERR_INVALIDCALL;
    *streamData = ComPtr<IDirect3DVertexBuffer8>(state_.streamSource).Detach();
    *stride = state_.streamStride;
    return D3D_OK;
}

HRESULT Device::ValidateDevice(DWORD* numPasses) {
    if (numPasses == nullptr) return D3DERR_INVALIDCALL;
    *numPasses = 1;
    return D3D_OK;
}

}  // namespace valmere::d3d8
