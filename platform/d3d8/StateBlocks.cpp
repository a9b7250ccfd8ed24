// State blocks: recorded (BeginStateBlock .. EndStateBlock) or created for a
// D3DSTATEBLOCKTYPE; captured and applied by token. Reset deletes them all.
#include "platform/d3d8/Device.h"
#include "platform/d3d8/FailureInjection.h"

namespace valmere::d3d8 {

HRESULT Device::BeginStateBlock() {
    if (InjectedFailure("BeginStateBlock") || recording_) return D3DERR_INVALIDCALL;
    recording_ = std::make_unique<StateBlock>();
    // Start from the device's values (MultiplyTransform and the light count
    // read them) but hold no references until something is recorded.
    recording_->values = state_;
    for (auto& texture : recording_->values.textures) texture.Reset();
    recording_->values.streamSource.Reset();
    return D3D_OK;
}

HRESULT Device::EndStateBlock(DWORD* token) {
    if (InjectedFailure("EndStateBlock") || !recording_ || token == nullptr) return D3DERR_INVALIDCALL;
    const DWORD handle = nextStateBlock_++;
    stateBlocks_[handle] = std::move(recording_);
    *token = handle;
    return D3D_OK;
}

HRESULT Device::ApplyStateBlock(DWORD token) {
    StateBlock* block = FindBlock(token);
    if (InjectedFailure("ApplyStateBlock") || recording_ || block == nullptr) return D3DERR_INVALIDCALL;
    ApplyBlock(*block);
    return D3D_OK;
}

HRESULT Device::CaptureStateBlock(DWORD token) {
    StateBlock* block = FindBlock(token);
    if (InjectedFailure("CaptureStateBlock") || recording_ || block == nullptr) return D3DERR_INVALIDCALL;
    CaptureInto(*block);
    return D3D_OK;
}

HRESULT Device::DeleteStateBlock(DWORD token) {
    if (InjectedFailure("DeleteStateBlock") || recording_ || stateBlocks_.erase(token) == 0) return D3DERR_INVALIDCALL;
    return D3D_OK;
}

HRESULT Device::CreateStateBlock(D3DSTATEBLOCKTYPE type, DWORD* token) {
    if (InjectedFailure("CreateStateBlock") || recording_ || token == nullptr) return D3DERR_INVALIDCALL;
    if (type != D3DSBT_ALL && type != D3DSBT_PIXELSTATE && type != D3DSBT_VERTEXSTATE) return D3DERR_INVALIDCALL;
    auto block = std::make_unique<StateBlock>();
    block->mask = MaskForStateBlockType(type, state_);
    CaptureInto(*block);
    const DWORD handle = nextStateBlock_++;
    stateBlocks_[handle] = std::move(block);
    *token = handle;
    return D3D_OK;
}

StateBlock* Device::FindBlock(DWORD token) {
    const auto found = stateBlocks_.find(token);
    return found != stateBlocks_.end() ? found->second.get() : nullptr;
}

// Copies the masked parts of `from` into `to`. Lights: parameters for the
// indices in mask.lights and enable flags for those in mask.lightEnables;
// an index missing from `from` is left alone (an enable flag of a light the
// source does not have counts as disabled).
namespace {

void CopyMasked(const StateMask& mask, const DeviceState& from, DeviceState& to) {
    for (std::size_t rs = 0; rs < D3DRS_MAX; ++rs)
        if (mask.renderStates.test(rs)) to.renderStates[rs] = from.renderStates[rs];
    for (std::size_t stage = 0; stage < D3DMAXTEXTURESTAGES; ++stage) {
        for (std::size_t tss = 0; tss < D3DTSS_MAX; ++tss)
            if (mask.stageStates[stage].test(tss)) to.stageStates[stage][tss] = from.stageStates[stage][tss];
        if (mask.textures.test(stage)) to.textures[stage] = from.textures[stage];
    }
    for (std::size_t slot = 0; slot < kTransformSlots; ++slot)
        if (mask.transforms.test(slot)) to.transforms[slot] = from.transforms[slot];
    if (mask.viewport) to.viewport = from.viewport;
    if (mask.material) to.material = from.material;
    if (mask.vertexShader) to.vertexShader = from.vertexShader;
    if (mask.streamSource) {
        to.streamSource = from.streamSource;
        to.streamStride = from.streamStride;
    }
    for (DWORD index : mask.lights) {
        const auto found = from.lights.find(index);
        if (found != from.lights.end()) to.lights[index].light = found->second.light;
    }
    for (DWORD index : mask.lightEnables) {
        const auto found = from.lights.find(index);
        const bool enabled = found != from.lights.end() && found->second.enabled;
        const auto [slot, inserted] = to.lights.try_emplace(index);
        if (inserted) slot->second.light = found != from.lights.end() ? found->second.light : DefaultLight();
        slot->second.enabled = enabled;
    }
}

}  // namespace

void Device::ApplyBlock(const StateBlock& block) { CopyMasked(block.mask, block.values, state_); }

void Device::CaptureInto(StateBlock& block) const { CopyMasked(block.mask, state_, block.values); }

}  // namespace valmere::d3d8
