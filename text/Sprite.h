// CSprite, the ID3DXSprite object: its device, the two recorded state blocks
// (the caller's state saved at Begin, the sprite's applied at Begin) and the
// vertex mode chosen from the device's caps.
#pragma once

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/RefCounted.h"
#include "text/D3DXText.h"

namespace valmere::text {

class CSprite final : public d3d8::RefCounted<ID3DXSprite, D3DERR_INVALIDCALL> {
public:
    // D3DXCreateSprite without the argument checks.
    static HRESULT Create(IDirect3DDevice8* device, ID3DXSprite** sprite);

    HRESULT GetDevice(IDirect3DDevice8** device) override;
    HRESULT Begin() override;
    HRESULT Draw(IDirect3DTexture8* texture, const RECT* sourceRect, const D3DXVECTOR2* scaling,
                 const D3DXVECTOR2* rotationCenter, float rotation, const D3DXVECTOR2* translation,
                 D3DCOLOR color) override;
    HRESULT DrawTransform(IDirect3DTexture8* texture, const RECT* sourceRect, const D3DXMATRIX* transform,
                          D3DCOLOR color) override;
    HRESULT End() override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override { return S_OK; }

private:
    explicit CSprite(IDirect3DDevice8* device) : device_(ComPtr<IDirect3DDevice8>::Share(device)) {}
    ~CSprite() override { OnLostDevice(); }
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_ID3DXSprite; }

    // Reads the caps and creation parameters that choose blending and the
    // vertex mode.
    HRESULT Initialize();
    // Records savedStates_ and spriteStates_ (SpriteStates.cpp).
    HRESULT RecordStateBlocks();
    HRESULT RecordStateBlock(bool saved, DWORD& token);
    // Untransformed mode: the world matrix that maps pixels to clip space.
    void SetPixelTransform();

    ComPtr<IDirect3DDevice8> device_;
    DWORD savedStates_ = 0;
    DWORD spriteStates_ = 0;
    bool inBegin_ = false;
    bool alphaBlend_ = false;
    bool pretransformed_ = false;
};

}  // namespace valmere::text
