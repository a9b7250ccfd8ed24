// D3DXCreateSprite and the lifecycle of CSprite: creation from the device's
// caps, Begin and End around the recorded state blocks, device loss.
#include "text/Sprite.h"

#include <new>

namespace valmere::text {

HRESULT CSprite::Create(IDirect3DDevice8* device, ID3DXSprite** sprite) {
    auto* created = new (std::nothrow) CSprite(device);
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = created->Initialize();
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *sprite = created;
    return S_OK;
}

// Blending needs source alpha over inverse source alpha; devices without it
// get an alpha test instead. Devices that clip pretransformed vertices, and
// pure devices (whose transforms cannot be read back), are fed screen
// coordinates directly.
HRESULT CSprite::Initialize() {
    D3DCAPS8 caps{};
    HRESULT result = device_->GetDeviceCaps(&caps);
    if (FAILED(result)) return result;
    D3DDEVICE_CREATION_PARAMETERS creation{};
    result = device_->GetCreationParameters(&creation);
    if (FAILED(result)) return result;
    alphaBlend_ = (caps.SrcBlendCaps & D3DPBLENDCAPS_SRCALPHA) != 0 && (caps.DestBlendCaps & D3DPBLENDCAPS_INVSRCALPHA) != 0;
    pretransformed_ =
        (caps.PrimitiveMiscCaps & D3DPMISCCAPS_CLIPTLVERTS) != 0 || (creation.BehaviorFlags & D3DCREATE_PUREDEVICE) != 0;
    return S_OK;
}

HRESULT CSprite::GetDevice(IDirect3DDevice8** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    *device = ComPtr<IDirect3DDevice8>(device_).Detach();
    return S_OK;
}

HRESULT CSprite::Begin() {
    if (inBegin_) return E_FAIL;
    if (savedStates_ == 0 || spriteStates_ == 0) {
        const HRESULT recorded = RecordStateBlocks();
        if (FAILED(recorded)) return recorded;
    }
    device_->CaptureStateBlock(savedStates_);
    device_->ApplyStateBlock(spriteStates_);
    if (!pretransformed_) SetPixelTransform();
    inBegin_ = true;
    return S_OK;
}

HRESULT CSprite::End() {
    if (!inBegin_) return E_FAIL;
    device_->ApplyStateBlock(savedStates_);
    inBegin_ = false;
    return S_OK;
}

// The device deletes every state block at Reset; deleting a block it no
// longer has fails harmlessly.
HRESULT CSprite::OnLostDevice() {
    if (spriteStates_ != 0) device_->DeleteStateBlock(spriteStates_);
    if (savedStates_ != 0) device_->DeleteStateBlock(savedStates_);
    spriteStates_ = 0;
    savedStates_ = 0;
    return S_OK;
}

}  // namespace valmere::text

HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE8 pDevice, LPD3DXSPRITE* ppSprite) {
    if (pDevice == nullptr || ppSprite == nullptr) return D3DERR_INVALIDCALL;
    return valmere::text::CSprite::Create(pDevice, ppSprite);
}
