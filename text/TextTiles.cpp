// The rendered text goes to the screen a tile at a time: rows of tiles top
// to bottom, each row left to right, every tile uploaded into the next tile
// texture and drawn as a sprite at its place. A 200 x 12 text on 64 x 16
// tiles is one row of four tiles, 64, 64, 64 and 8 pixels wide:
//
//   +--------+--------+--------+-+
//   | tex n  | tex n+1| tex n+2|n+3     (textures in turn, modulo 8, unless
//   +--------+--------+--------+-+      one dynamic texture takes them all)
#include <algorithm>
#include <cstdint>

#include "text/TextRenderer.h"
#include "texture/D3DXTexture.h"

namespace valmere::text {

void CTextRenderer::DrawTiles(LONG x, LONG y, LONG textWidth, LONG textHeight, D3DCOLOR color) {
    const LONG tileWidth = static_cast<LONG>(tileWidth_), tileHeight = static_cast<LONG>(tileHeight_);
    for (LONG ty = 0; ty < textHeight; ty += tileHeight)
        for (LONG tx = 0; tx < textWidth; tx += tileWidth) {
            const LONG tw = std::min(tileWidth, textWidth - tx), th = std::min(tileHeight, textHeight - ty);
            const int slot = static_cast<int>(nextTexture_);
            if (FAILED(UploadTile(slot, tx, ty, tw, th))) return;
            const RECT source{0, 0, tw, th};
            // Signed: text placed above or left of the screen stays partly visible.
            const D3DXVECTOR2 at(static_cast<float>(std::int64_t{x} + tx), static_cast<float>(std::int64_t{y} + ty));
            if (FAILED(sprite_->Draw(textures_[slot].Get(), &source, nullptr, nullptr, 0.0f, &at, color))) return;
            if (!dynamicTextures_) nextTexture_ = (nextTexture_ + 1) % kTileTextures;
        }
}

// A8R8G8B8 tiles are written directly: alpha = the pixel's blue byte (the
// coverage), colour white. Other formats are converted by the surface
// loader from the bitmap, which DrawText has already turned into that form.
HRESULT CTextRenderer::UploadTile(int slot, LONG sourceX, LONG sourceY, LONG width, LONG height) {
    IDirect3DSurface8* surface = surfaces_[slot].Get();
    if (surface == nullptr) return D3DERR_INVALIDCALL;
    const RECT target{0, 0, width, height};
    const std::size_t pitch = static_cast<std::size_t>(bitmapInfo_.biWidth) * 4;
    if (tileFormat_ != D3DFMT_A8R8G8B8) {
        const RECT source{sourceX, sourceY, sourceX + width, sourceY + height};
        return D3DXLoadSurfaceFromMemory(surface, nullptr, &target, bits_, bitmapFormat_, static_cast<UINT>(pitch),
                                         nullptr, &source, D3DX_FILTER_POINT, 0);
    }
    D3DLOCKED_RECT locked{};
    const HRESULT result = dynamicTextures_ ? surface->LockRect(&locked, nullptr, D3DLOCK_DISCARD | D3DLOCK_NOSYSLOCK)
                                            : surface->LockRect(&locked, &target, D3DLOCK_NOSYSLOCK);
    if (FAILED(result)) return result;
    for (LONG row = 0; row < height; ++row) {
        const auto* from = reinterpret_cast<const std::uint32_t*>(bits_ + static_cast<std::size_t>(sourceY + row) * pitch) +
                           sourceX;
        auto* to = reinterpret_cast<std::uint32_t*>(static_cast<std::uint8_t*>(locked.pBits) +
                                                     static_cast<std::ptrdiff_t>(row) * locked.Pitch);
        for (LONG column = 0; column < width; ++column) to[column] = from[column] << 24 | 0x00FFFFFFu;
    }
    return surface->UnlockRect();
}

}  // namespace valmere::text
