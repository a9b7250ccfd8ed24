// Draw and DrawTransform: one quad of the source rectangle, tinted by the
// colour, as a fan of two triangles.
//
//   0 (0,0) ---- 3 (w,0)      corners in pixels before the transform,
//     |        /   |          with the texture coordinates of the source
//     |      /     |          rectangle's corners: 0 (uMin, vMin),
//   1 (0,h) ---- 2 (w,h)      1 (uMin, vMax), 2 (uMax, vMax), 3 (uMax, vMin)
#include <algorithm>
#include <cmath>
#include <iterator>

#include "text/Sprite.h"

namespace valmere::text {
namespace {

struct UntransformedVertex {  // D3DFVF_XYZ | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z;
    D3DCOLOR color;
    float u, v;
};
struct PretransformedVertex {  // D3DFVF_XYZRHW | D3DFVF_DIFFUSE | D3DFVF_TEX1
    float x, y, z, rhw;
    D3DCOLOR color;
    float u, v;
};
static_assert(sizeof(UntransformedVertex) == 24 && sizeof(PretransformedVertex) == 28);

struct Corner {
    D3DXVECTOR3 position;
    float u, v;
};

// Formats whose texels can be less than opaque; the palette of P8 may carry
// alpha, so it counts too.
constexpr D3DFORMAT kAlphaFormats[] = {D3DFMT_A8R8G8B8, D3DFMT_A1R5G5B5, D3DFMT_A4R4G4B4, D3DFMT_A8,
                                       D3DFMT_A8R3G3B2, D3DFMT_A8P8,     D3DFMT_P8,       D3DFMT_A8L8,
                                       D3DFMT_A4L4,     D3DFMT_DXT2,     D3DFMT_DXT3,     D3DFMT_DXT4,
                                       D3DFMT_DXT5};

bool FormatHasAlpha(D3DFORMAT format) {
    return std::find(std::begin(kAlphaFormats), std::end(kAlphaFormats), format) != std::end(kAlphaFormats);
}

bool IsValidSource(const RECT& r, const D3DSURFACE_DESC& desc) {
    return r.left >= 0 && r.left <= r.right && r.left <= static_cast<LONG>(desc.Width) && r.top >= 0 &&
           r.top <= r.bottom && r.top <= static_cast<LONG>(desc.Height);
}

void Write(const Corner& corner, D3DCOLOR color, UntransformedVertex& out) {
    out = {corner.position.x, corner.position.y, corner.position.z, color, corner.u, corner.v};
}
// Screen coordinates: the half-pixel shift that the pixel transform gives
// untransformed vertices.
void Write(const Corner& corner, D3DCOLOR color, PretransformedVertex& out) {
    out = {corner.position.x - 0.5f, corner.position.y - 0.5f, 0.0f, 1.0f, color, corner.u, corner.v};
}

template <class Vertex>
void DrawFan(IDirect3DDevice8* device, const Corner (&corners)[4], D3DCOLOR color) {
    Vertex vertices[4];
    for (int i = 0; i < 4; ++i) Write(corners[i], color, vertices[i]);
    device->DrawPrimitiveUP(D3DPT_TRIANGLEFAN, 2, vertices, sizeof(Vertex));
}

}  // namespace

HRESULT CSprite::Draw(IDirect3DTexture8* texture, const RECT* sourceRect, const D3DXVECTOR2* scaling,
                      const D3DXVECTOR2* rotationCenter, float rotation, const D3DXVECTOR2* translation,
                      D3DCOLOR color) {
    D3DXVECTOR3 scale, center, offset;
    D3DXQUATERNION turn;
    if (scaling != nullptr) scale = D3DXVECTOR3(scaling->x, scaling->y, 1.0f);
    if (rotationCenter != nullptr) center = D3DXVECTOR3(rotationCenter->x, rotationCenter->y, 0.0f);
    if (rotation != 0.0f) turn = D3DXQUATERNION(0.0f, 0.0f, std::sin(-rotation / 2.0f), std::cos(-rotation / 2.0f));
    if (translation != nullptr) offset = D3DXVECTOR3(translation->x, translation->y, 0.0f);
    D3DXMATRIX transform;
    D3DXMatrixTransformation(&transform, nullptr, nullptr, scaling != nullptr ? &scale : nullptr,
                             rotationCenter != nullptr ? &center : nullptr, rotation != 0.0f ? &turn : nullptr,
                             translation != nullptr ? &offset : nullptr);
    return DrawTransform(texture, sourceRect, &transform, color);
}

HRESULT CSprite::DrawTransform(IDirect3DTexture8* texture, const RECT* sourceRect, const D3DXMATRIX* transform,
                               D3DCOLOR color) {
    if (texture == nullptr) return D3DERR_INVALIDCALL;
    D3DSURFACE_DESC desc{};
    const HRESULT described = texture->GetLevelDesc(0, &desc);
    if (FAILED(described)) return described;
    const RECT source =
        sourceRect != nullptr ? *sourceRect : RECT{0, 0, static_cast<LONG>(desc.Width), static_cast<LONG>(desc.Height)};
    if (!IsValidSource(source, desc)) return D3DERR_INVALIDCALL;
    const bool translucent = (color >> 24) != 0xFF || FormatHasAlpha(desc.Format);

    const bool implicitBegin = !inBegin_;
    if (implicitBegin) {
        const HRESULT begun = Begin();
        if (FAILED(begun)) return begun;
    }
    device_->SetTexture(0, texture);
    device_->SetRenderState(alphaBlend_ ? D3DRS_ALPHABLENDENABLE : D3DRS_ALPHATESTENABLE, translucent ? TRUE : FALSE);

    const float w = static_cast<float>(source.right - source.left);
    const float h = static_cast<float>(source.bottom - source.top);
    const float width = static_cast<float>(desc.Width), height = static_cast<float>(desc.Height);
    const float uMin = static_cast<float>(source.left) / width, uMax = static_cast<float>(source.right) / width;
    const float vMin = static_cast<float>(source.top) / height, vMax = static_cast<float>(source.bottom) / height;
    Corner corners[4] = {{D3DXVECTOR3(0.0f, 0.0f, 0.0f), uMin, vMin},
                         {D3DXVECTOR3(0.0f, h, 0.0f), uMin, vMax},
                         {D3DXVECTOR3(w, h, 0.0f), uMax, vMax},
                         {D3DXVECTOR3(w, 0.0f, 0.0f), uMax, vMin}};
    if (transform != nullptr)
        for (Corner& corner : corners) D3DXVec3TransformCoord(&corner.position, &corner.position, transform);
    if (pretransformed_)
        DrawFan<PretransformedVertex>(device_.Get(), corners, color);
    else
        DrawFan<UntransformedVertex>(device_.Get(), corners, color);

    if (implicitBegin) {
        const HRESULT ended = End();
        if (FAILED(ended)) return ended;
    }
    return S_OK;
}

}  // namespace valmere::text
