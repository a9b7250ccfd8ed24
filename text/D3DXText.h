// Sprite and font objects of the extension library: screen-space textured
// quads (ID3DXSprite) and GDI text drawn through them (ID3DXFont). Both work
// with any program written against the platform API
// (platform/d3d8/Direct3D8.h, platform/win32/Win32.h).
//
// Ownership: a Create call hands its caller one reference; GetDevice adds a
// reference to the device that the caller releases. Out-parameters are
// written only on success.
#pragma once

#include "math/D3DXMath.h"
#include "platform/d3d8/Direct3D8.h"
#include "platform/win32/Win32.h"

// {13D69D15-F9B0-4E0F-B39E-C91EB33F6CE7}
inline constexpr IID IID_ID3DXSprite = {0x13D69D15, 0xF9B0, 0x4E0F, {0xB3, 0x9E, 0xC9, 0x1E, 0xB3, 0x3F, 0x6C, 0xE7}};
// {89FAD6A5-024D-49AF-8FE7-F51123B85E25}
inline constexpr IID IID_ID3DXFont = {0x89FAD6A5, 0x024D, 0x49AF, {0x8F, 0xE7, 0xF5, 0x11, 0x23, 0xB8, 0x5E, 0x25}};

// ---------------------------------------------------------------------------
// Sprite: one textured, colour-tinted rectangle in screen pixels per Draw.
//
// Begin records (once) and applies the sprite's render state: no depth test,
// no culling or lighting, stage 0 = texture × diffuse colour for colour and
// alpha, bilinear clamped sampling, and source-alpha blending (alpha test at
// 0x7F on devices that cannot blend by source alpha). End puts back the
// caller's values of every state Begin changed. A Draw outside Begin and End
// brackets itself. After a device loss call OnLostDevice before the device's
// Reset; the state is recorded again at the next Begin.
//
// Quads are drawn untransformed (XYZ | DIFFUSE | TEX1 through a world matrix
// that maps pixels to clip space) or, on devices that clip pretransformed
// vertices (D3DPMISCCAPS_CLIPTLVERTS) and on pure devices, as XYZRHW |
// DIFFUSE | TEX1 vertices. Either way an untransformed quad puts the first
// texel of the source rectangle on pixel (0, 0), texel centres on pixel
// centres, one texel per pixel.
struct ID3DXSprite : IUnknown {
    // ppDevice: receives the device with a reference added.
    // S_OK; D3DERR_INVALIDCALL for a null out pointer.
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE8* ppDevice) = 0;
    // Saves the caller's state and applies the sprite's.
    // S_OK; E_FAIL when already begun (the first Begin stays in force); the
    // device's failure when the state cannot be recorded.
    virtual HRESULT Begin() = 0;
    // Draws pSrcRect of pSrcTexture (null: the whole level 0) scaled by
    // pScaling, rotated by Rotation radians about pRotationCenter
    // (counter-clockwise on screen, where y points down), then moved by
    // pTranslation, all in pixels; a null vector leaves its part out. Color
    // (ARGB) multiplies the texels.
    // S_OK; D3DERR_INVALIDCALL for a null texture or a source rectangle that
    // is inverted, starts at a negative position or starts past the texture.
    virtual HRESULT Draw(LPDIRECT3DTEXTURE8 pSrcTexture, const RECT* pSrcRect, const D3DXVECTOR2* pScaling,
                         const D3DXVECTOR2* pRotationCenter, FLOAT Rotation, const D3DXVECTOR2* pTranslation,
                         D3DCOLOR Color) = 0;
    // As Draw with the quad's corners, (0, 0) to (width, height) of the
    // source rectangle, transformed by pTransform (null: none).
    virtual HRESULT DrawTransform(LPDIRECT3DTEXTURE8 pSrcTexture, const RECT* pSrcRect, const D3DXMATRIX* pTransform,
                                  D3DCOLOR Color) = 0;
    // Puts the caller's state back. S_OK; E_FAIL without a Begin.
    virtual HRESULT End() = 0;
    // Deletes the recorded state. S_OK.
    virtual HRESULT OnLostDevice() = 0;
    // Nothing to do: the state is recorded at the next Begin. S_OK.
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXSprite* LPD3DXSPRITE;

// Creates a sprite for pDevice into *ppSprite.
// S_OK; D3DERR_INVALIDCALL for a null device or out pointer; E_OUTOFMEMORY;
// the device's failure when its caps or creation parameters cannot be read.
HRESULT WINAPI D3DXCreateSprite(LPDIRECT3DDEVICE8 pDevice, LPD3DXSPRITE* ppSprite);

// ---------------------------------------------------------------------------
// Font: GDI text drawn through a sprite.
//
// Every DrawText call measures and renders the whole string with GDI into a
// memory bitmap (white on black), uploads the covered area tile by tile into
// small textures (alpha = glyph coverage, colour white) and draws each tile
// as a sprite quad tinted by Color: its red, green and blue colour the glyphs
// and its alpha scales their opacity. The fonts of one device share one
// bitmap, one set of tile textures and one sprite.
//
// Between Begin and End depth testing is off and the caller's state is
// saved; a DrawText outside Begin and End brackets itself. After a device
// loss call OnLostDevice before the device's Reset and OnResetDevice after it.
struct ID3DXFont : IUnknown {
    // S_OK; D3DERR_INVALIDCALL for a null out pointer.
    virtual HRESULT GetDevice(LPDIRECT3DDEVICE8* ppDevice) = 0;
    // Copies the description the font was created from.
    // S_OK; D3DERR_INVALIDCALL for a null out pointer.
    virtual HRESULT GetLogFont(LOGFONTA* pLogFont) = 0;
    // S_OK; D3DERR_INVALIDCALL when already begun (the first Begin stays in
    // force); the failure of the sprite's Begin.
    virtual HRESULT Begin() = 0;
    // Draws Count characters of pString (-1: up to its terminator) in the
    // rectangle pRect (screen pixels) with the DrawText format flags Format:
    // DT_LEFT, DT_CENTER, DT_RIGHT and DT_TOP, DT_VCENTER, DT_BOTTOM place
    // the text's extent in the rectangle; without DT_NOCLIP the text is cut
    // to the rectangle's size; DT_CALCRECT draws nothing and writes the
    // placed rectangle into *pRect. Narrow text is UTF-8.
    // Returns the text's height in pixels as GDI's DrawText reports it, or 0
    // for null text or rectangle or when nothing could be rendered.
    virtual INT DrawTextA(LPCSTR pString, INT Count, LPRECT pRect, DWORD Format, D3DCOLOR Color) = 0;
    virtual INT DrawTextW(LPCWSTR pString, INT Count, LPRECT pRect, DWORD Format, D3DCOLOR Color) = 0;
    // S_OK; D3DERR_INVALIDCALL without a Begin.
    virtual HRESULT End() = 0;
    // Deletes the saved state (and, on devices with dynamic textures, the
    // tile textures). S_OK.
    virtual HRESULT OnLostDevice() = 0;
    // Recreates tile textures released by OnLostDevice. S_OK or the failure
    // of the texture creation.
    virtual HRESULT OnResetDevice() = 0;
};
typedef ID3DXFont* LPD3DXFONT;

// Creates a font for pDevice from the GDI description pLogFont into *ppFont.
// S_OK; D3DERR_INVALIDCALL for a null device, description or out pointer;
// E_OUTOFMEMORY when the object, the GDI font, the memory device context or
// its bitmap cannot be made; otherwise the failure of the device or of the
// tile texture creation. A font that fails is destroyed before the call
// returns.
HRESULT WINAPI D3DXCreateFontIndirect(LPDIRECT3DDEVICE8 pDevice, const LOGFONTA* pLogFont, LPD3DXFONT* ppFont);
