// The lifecycle of CTextRenderer: lookup and creation per device in
// g_textRenderers, the GDI objects, the tile textures and their fitting to
// the device, Begin and End, and device loss.
#include "text/TextRenderer.h"

#include <new>

#include "texture/D3DXTexture.h"

namespace valmere::text {
namespace {

// The renderers of the process, newest first. One thread only.
CTextRenderer* g_textRenderers = nullptr;

}  // namespace

HRESULT CTextRenderer::Acquire(IDirect3DDevice8* device, CTextRenderer** renderer) {
    for (CTextRenderer* existing = g_textRenderers; existing != nullptr; existing = existing->next_)
        if (existing->device_.Get() == device) {
            ++existing->refCount_;
            *renderer = existing;
            return S_OK;
        }
    auto* created = new (std::nothrow) CTextRenderer(device);
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = created->Initialize();
    if (FAILED(result)) {
        delete created;
        return result;
    }
    *renderer = created;
    return S_OK;
}

CTextRenderer::CTextRenderer(IDirect3DDevice8* device)
    : device_(ComPtr<IDirect3DDevice8>::Share(device)), next_(g_textRenderers) {
    g_textRenderers = this;
}

HRESULT CTextRenderer::Initialize() {
    D3DCAPS8 caps{};
    HRESULT result = device_->GetDeviceCaps(&caps);
    if (FAILED(result)) return result;
    dynamicTextures_ = (caps.Caps2 & D3DCAPS2_DYNAMICTEXTURES) != 0;
    result = OnResetDevice();
    if (FAILED(result)) return result;
    result = D3DXCreateSprite(device_.Get(), sprite_.Receive());
    if (FAILED(result)) return result;

    bitmapInfo_.biSize = sizeof(BITMAPINFOHEADER);
    bitmapInfo_.biPlanes = 1;
    bitmapInfo_.biBitCount = 32;
    bitmapInfo_.biCompression = BI_RGB;
    bitmapFormat_ = D3DFMT_A8R8G8B8;
    dc_ = CreateCompatibleDC(nullptr);
    if (dc_ == nullptr) return E_OUTOFMEMORY;
    result = ReplaceBitmap(256, 256);
    if (FAILED(result)) return result;
    // White text on black: the rendered intensity is the glyph coverage.
    SetBkMode(dc_, OPAQUE);
    SetBkColor(dc_, 0x000000);
    SetTextColor(dc_, 0xFFFFFF);
    return S_OK;
}

CTextRenderer::~CTextRenderer() {
    if (savedStates_ != 0) device_->DeleteStateBlock(savedStates_);
    if (textStates_ != 0) device_->DeleteStateBlock(textStates_);
    ReleaseTextures();
    sprite_.Reset();
    device_.Reset();
    if (dc_ != nullptr) {
        if (originalFont_ != nullptr) SelectObject(dc_, originalFont_);
        if (originalBitmap_ != nullptr) SelectObject(dc_, originalBitmap_);
    }
    if (bitmap_ != nullptr) DeleteObject(bitmap_);
    if (dc_ != nullptr) DeleteDC(dc_);
    for (CTextRenderer** link = &g_textRenderers; *link != nullptr; link = &(*link)->next_)
        if (*link == this) {
            *link = next_;
            break;
        }
}

void CTextRenderer::Release() {
    if (--refCount_ == 0) delete this;
}

void CTextRenderer::DeselectFont() {
    if (dc_ != nullptr && originalFont_ != nullptr) SelectObject(dc_, originalFont_);
    originalFont_ = nullptr;
}

HRESULT CTextRenderer::ReplaceBitmap(LONG width, LONG height) {
    BITMAPINFO info{};
    info.bmiHeader = bitmapInfo_;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;  // top-down rows
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (bitmap == nullptr || bits == nullptr) {
        if (bitmap != nullptr) DeleteObject(bitmap);
        return E_OUTOFMEMORY;
    }
    const HGDIOBJ replaced = SelectObject(dc_, bitmap);
    if (replaced == nullptr) {
        DeleteObject(bitmap);
        return E_FAIL;
    }
    if (bitmap_ != nullptr)
        DeleteObject(bitmap_);
    else
        originalBitmap_ = replaced;
    bitmap_ = bitmap;
    bits_ = static_cast<std::uint8_t*>(bits);
    bitmapInfo_.biWidth = width;
    bitmapInfo_.biHeight = height;
    return S_OK;
}

// Dynamic textures live in the default pool and go at a device loss; one
// is rewritten (with discard) for every tile. Managed ones survive it; eight
// are used in turn so that a texture is not rewritten while the device may
// still draw from it.
HRESULT CTextRenderer::OnResetDevice() {
    if (textures_[0]) return S_OK;
    const DWORD usage = dynamicTextures_ ? D3DUSAGE_DYNAMIC : 0;
    const D3DPOOL pool = dynamicTextures_ ? D3DPOOL_DEFAULT : D3DPOOL_MANAGED;
    const int count = dynamicTextures_ ? 1 : kTileTextures;
    HRESULT result = D3DXCheckTextureRequirements(device_.Get(), &tileWidth_, &tileHeight_, nullptr, usage,
                                                  &tileFormat_, pool);
    if (FAILED(result)) return result;
    for (int i = 0; i < count && SUCCEEDED(result); ++i) {
        result = D3DXCreateTexture(device_.Get(), tileWidth_, tileHeight_, 1, usage, tileFormat_, pool,
                                   textures_[i].Receive());
        if (SUCCEEDED(result)) result = textures_[i]->GetSurfaceLevel(0, surfaces_[i].Receive());
    }
    // A partial set would be taken for a whole one by the next call.
    if (FAILED(result)) ReleaseTextures();
    return result;
}

HRESULT CTextRenderer::OnLostDevice() {
    if (!device_) return S_OK;
    if (savedStates_ != 0) device_->DeleteStateBlock(savedStates_);
    if (textStates_ != 0) device_->DeleteStateBlock(textStates_);
    savedStates_ = 0;
    textStates_ = 0;
    if (sprite_) sprite_->OnLostDevice();
    if (dynamicTextures_) ReleaseTextures();
    return S_OK;
}

void CTextRenderer::ReleaseTextures() {
    for (int i = 0; i < kTileTextures; ++i) {
        surfaces_[i].Reset();
        textures_[i].Reset();
    }
}

// Depth testing is off while text is drawn; the sprite saves and sets the
// rest of the state.
HRESULT CTextRenderer::Begin() {
    if (inBegin_) return D3DERR_INVALIDCALL;
    if (savedStates_ == 0 || textStates_ == 0) {
        for (DWORD* block : {&savedStates_, &textStates_}) {
            if (*block != 0) device_->DeleteStateBlock(*block);
            *block = 0;
            if (FAILED(device_->BeginStateBlock())) continue;
            device_->SetRenderState(D3DRS_ZENABLE, D3DZB_FALSE);
            device_->EndStateBlock(block);
        }
    }
    const HRESULT begun = sprite_->Begin();
    if (FAILED(begun)) return begun;
    device_->CaptureStateBlock(savedStates_);
    device_->ApplyStateBlock(textStates_);
    inBegin_ = true;
    return S_OK;
}

HRESULT CTextRenderer::End() {
    if (!inBegin_) return D3DERR_INVALIDCALL;
    device_->ApplyStateBlock(savedStates_);
    sprite_->End();
    inBegin_ = false;
    return S_OK;
}

}  // namespace valmere::text
