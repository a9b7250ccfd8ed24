// The sprite's render state, recorded twice into state blocks with the same
// content: block 0 is captured at Begin (so it holds the caller's values of
// every state the sprite touches, plus the world matrix, texture stage 0 and
// stream 0) and applied at End; block 1 is applied at Begin.
#include <iterator>

#include "text/Sprite.h"

namespace valmere::text {
namespace {

constexpr DWORD kUntransformedFvf = D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1;     // 0x142
constexpr DWORD kPretransformedFvf = D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1;  // 0x144

struct RenderStateValue {
    D3DRENDERSTATETYPE state;
    DWORD value;
};
struct StageStateValue {
    DWORD stage;
    D3DTEXTURESTAGESTATETYPE type;
    DWORD value;
};

constexpr RenderStateValue kCommonStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE},
    {D3DRS_FILLMODE, D3DFILL_SOLID},
    {D3DRS_CULLMODE, D3DCULL_NONE},
    {D3DRS_WRAP0, 0},
    {D3DRS_CLIPPING, TRUE},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE},
    {D3DRS_CLIPPLANEENABLE, 0},
    {D3DRS_PATCHSEGMENTS, 1},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE},
};

// The vertex pipeline's states, which pretransformed vertices skip.
constexpr RenderStateValue kUntransformedStates[] = {
    {D3DRS_FOGENABLE, FALSE},
    {D3DRS_SPECULARENABLE, FALSE},
    {D3DRS_STENCILENABLE, FALSE},
    {D3DRS_LIGHTING, FALSE},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1},
};

// Stage 0: texture × diffuse for colour and alpha, bilinear, no mipmaps,
// clamped; stage 1 off.
constexpr StageStateValue kStageStates[] = {
    {0, D3DTSS_COLOROP, D3DTOP_MODULATE},
    {0, D3DTSS_COLORARG1, D3DTA_TEXTURE},
    {0, D3DTSS_COLORARG2, D3DTA_DIFFUSE},
    {0, D3DTSS_ALPHAOP, D3DTOP_MODULATE},
    {0, D3DTSS_ALPHAARG1, D3DTA_TEXTURE},
    {0, D3DTSS_ALPHAARG2, D3DTA_DIFFUSE},
    {1, D3DTSS_COLOROP, D3DTOP_DISABLE},
    {1, D3DTSS_ALPHAOP, D3DTOP_DISABLE},
    {0, D3DTSS_MAGFILTER, D3DTEXF_LINEAR},
    {0, D3DTSS_MINFILTER, D3DTEXF_LINEAR},
    {0, D3DTSS_MIPFILTER, D3DTEXF_NONE},
    {0, D3DTSS_TEXCOORDINDEX, 0},
    {0, D3DTSS_ADDRESSU, D3DTADDRESS_CLAMP},
    {0, D3DTSS_ADDRESSV, D3DTADDRESS_CLAMP},
    {0, D3DTSS_TEXTURETRANSFORMFLAGS, D3DTTFF_DISABLE},
};

constexpr RenderStateValue kBlendStates[] = {
    {D3DRS_ALPHABLENDENABLE, TRUE},
    {D3DRS_SRCBLEND, D3DBLEND_SRCALPHA},
    {D3DRS_DESTBLEND, D3DBLEND_INVSRCALPHA},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD},
};
constexpr RenderStateValue kAlphaTestStates[] = {
    {D3DRS_ALPHATESTENABLE, TRUE},
    {D3DRS_ALPHAFUNC, D3DCMP_GREATEREQUAL},
    {D3DRS_ALPHAREF, 0x7F},
};

template <std::size_t N>
void SetRenderStates(IDirect3DDevice8* device, const RenderStateValue (&states)[N]) {
    for (const RenderStateValue& entry : states) device->SetRenderState(entry.state, entry.value);
}

}  // namespace

HRESULT CSprite::RecordStateBlocks() {
    OnLostDevice();
    HRESULT result = RecordStateBlock(true, savedStates_);
    if (SUCCEEDED(result)) result = RecordStateBlock(false, spriteStates_);
    if (FAILED(result)) OnLostDevice();
    return result;
}

// The results of the Set calls are not checked: a state the device does not
// know is simply not part of the block.
HRESULT CSprite::RecordStateBlock(bool saved, DWORD& token) {
    IDirect3DDevice8* device = device_.Get();
    const HRESULT begun = device->BeginStateBlock();
    if (FAILED(begun)) return begun;
    device->SetVertexShader(pretransformed_ ? kPretransformedFvf : kUntransformedFvf);
    if (!pretransformed_) {
        D3DXMATRIX identity;
        D3DXMatrixIdentity(&identity);
        device->SetTransform(D3DTS_VIEW, &identity);
        device->SetTransform(D3DTS_PROJECTION, &identity);
        // Begin sets the world matrix itself; the saved block restores it.
        if (saved) device->SetTransform(D3DTS_WORLD, &identity);
    }
    SetRenderStates(device, kCommonStates);
    if (!pretransformed_) SetRenderStates(device, kUntransformedStates);
    for (const StageStateValue& entry : kStageStates) device->SetTextureStageState(entry.stage, entry.type, entry.value);
    if (alphaBlend_)
        SetRenderStates(device, kBlendStates);
    else
        SetRenderStates(device, kAlphaTestStates);
    if (saved) {
        device->SetTexture(0, nullptr);
        device->SetStreamSource(0, nullptr, 0);
    }
    DWORD recorded = 0;
    const HRESULT ended = device->EndStateBlock(&recorded);
    if (FAILED(ended)) return ended;
    token = recorded;
    return S_OK;
}

// Pixels to clip space with the half-pixel shift of Direct3D's pixel centres:
//   x_clip = 2x/W - 1 - 1/W,  y_clip = -2y/H + 1 + 1/H,  z_clip = 0
// so that pixel coordinate x lands on screen position x - 0.5, which puts
// texel centres on pixel centres.
void CSprite::SetPixelTransform() {
    D3DVIEWPORT8 viewport{};
    if (FAILED(device_->GetViewport(&viewport)) || viewport.Width == 0 || viewport.Height == 0) return;
    const float width = static_cast<float>(viewport.Width);
    const float height = static_cast<float>(viewport.Height);
    D3DMATRIX m{};
    m._11 = 2.0f / width;
    m._22 = -2.0f / height;
    m._41 = -1.0f - 1.0f / width;
    m._42 = 1.0f + 1.0f / height;
    m._44 = 1.0f;
    device_->SetTransform(D3DTS_WORLD, &m);
}

}  // namespace valmere::text
