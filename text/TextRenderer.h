// CTextRenderer: what the fonts of one device share. A GDI memory device
// context with one 32-bit top-down DIB section that text is rendered into
// (white on black), the tile textures the rendered text is uploaded into,
// the sprite that draws the tiles, and the state blocks around Begin and End.
//
// The renderers of the process form one list (g_textRenderers), at most one
// per device; a renderer's count is the number of fonts that hold it.
#pragma once

#include <cstdint>

#include "platform/d3d8/ComPtr.h"
#include "text/D3DXText.h"

namespace valmere::text {

class CTextRenderer {
public:
    static constexpr int kTileTextures = 8;

    // The device's renderer with one more reference, or a new one (count 1)
    // at the head of g_textRenderers. A renderer that fails to initialise is
    // destroyed and its failure returned; *renderer is then untouched.
    static HRESULT Acquire(IDirect3DDevice8* device, CTextRenderer** renderer);
    // Drops one reference; the last one destroys the renderer.
    void Release();

    HRESULT Begin();
    HRESULT End();
    // Measures, renders, uploads and draws `text` (UTF-8, or code points when
    // `wide`) in `font`. Returns the text height, 0 when nothing could be done.
    int DrawText(HFONT font, const void* text, int count, RECT* rect, DWORD format, D3DCOLOR color, bool wide);
    HRESULT OnLostDevice();
    HRESULT OnResetDevice();
    // Puts the DC's own font back (a font is going away).
    void DeselectFont();

    CTextRenderer(const CTextRenderer&) = delete;
    CTextRenderer& operator=(const CTextRenderer&) = delete;

private:
    explicit CTextRenderer(IDirect3DDevice8* device);
    ~CTextRenderer();
    HRESULT Initialize();
    // Grows the bitmap, by half its size per step, to at least width x
    // height. False (old bitmap kept) when a new one cannot be made.
    bool FitBitmap(LONG width, LONG height);
    // Makes a width x height bitmap and selects it in place of the current
    // one, which is deleted. E_OUTOFMEMORY (nothing changed) on failure.
    HRESULT ReplaceBitmap(LONG width, LONG height);
    // Step by step through the text's area, a tile at a time (TextTiles.cpp).
    void DrawTiles(LONG x, LONG y, LONG textWidth, LONG textHeight, D3DCOLOR color);
    HRESULT UploadTile(int slot, LONG sourceX, LONG sourceY, LONG width, LONG height);
    void ReleaseTextures();

    ULONG refCount_ = 1;
    ComPtr<IDirect3DDevice8> device_;
    ComPtr<ID3DXSprite> sprite_;
    ComPtr<IDirect3DTexture8> textures_[kTileTextures];
    ComPtr<IDirect3DSurface8> surfaces_[kTileTextures];
    UINT nextTexture_ = 0;
    bool dynamicTextures_ = false;
    D3DFORMAT tileFormat_ = D3DFMT_A8R8G8B8;
    UINT tileWidth_ = 64;
    UINT tileHeight_ = 16;
    bool inBegin_ = false;
    DWORD savedStates_ = 0;
    DWORD textStates_ = 0;

    HDC dc_ = nullptr;
    BITMAPINFOHEADER bitmapInfo_{};  // biHeight positive here, negated when a bitmap is made
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ originalBitmap_ = nullptr;
    // Rows top-down, 4 bytes a pixel (blue, green, red, spare), pitch
    // bitmapInfo_.biWidth * 4.
    std::uint8_t* bits_ = nullptr;
    D3DFORMAT bitmapFormat_ = D3DFMT_A8R8G8B8;
    HGDIOBJ originalFont_ = nullptr;

    CTextRenderer* next_ = nullptr;
};

}  // namespace valmere::text
