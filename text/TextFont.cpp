// D3DXCreateFontIndirect and CTextFont: the font's own GDI object and
// description; every drawing call goes to the device's CTextRenderer.
#include "text/TextFont.h"

#include <new>

#include "text/TextRenderer.h"

namespace valmere::text {

HRESULT CTextFont::Create(IDirect3DDevice8* device, const LOGFONTA& description, ID3DXFont** font) {
    auto* created = new (std::nothrow) CTextFont();
    if (created == nullptr) return E_OUTOFMEMORY;
    const HRESULT result = created->Initialize(device, description);
    if (FAILED(result)) {
        created->Release();
        return result;
    }
    *font = created;
    return S_OK;
}

HRESULT CTextFont::Initialize(IDirect3DDevice8* device, const LOGFONTA& description) {
    const HRESULT acquired = CTextRenderer::Acquire(device, &renderer_);
    if (FAILED(acquired)) return acquired;
    font_ = CreateFontIndirectA(&description);
    if (font_ == nullptr) return E_OUTOFMEMORY;
    device_ = ComPtr<IDirect3DDevice8>::Share(device);
    logFont_ = description;
    return S_OK;
}

// The font may be the one selected into the shared DC: the DC's own font
// goes back first, so that the GDI font can be deleted.
CTextFont::~CTextFont() {
    if (renderer_ != nullptr) {
        renderer_->DeselectFont();
        renderer_->Release();
    }
    if (font_ != nullptr) DeleteObject(font_);
}

HRESULT CTextFont::GetDevice(IDirect3DDevice8** device) {
    if (device == nullptr) return D3DERR_INVALIDCALL;
    *device = ComPtr<IDirect3DDevice8>(device_).Detach();
    return S_OK;
}

HRESULT CTextFont::GetLogFont(LOGFONTA* logFont) {
    if (logFont == nullptr) return D3DERR_INVALIDCALL;
    *logFont = logFont_;
    return S_OK;
}

HRESULT CTextFont::Begin() { return renderer_->Begin(); }
HRESULT CTextFont::End() { return renderer_->End(); }
HRESULT CTextFont::OnLostDevice() { return renderer_->OnLostDevice(); }
HRESULT CTextFont::OnResetDevice() { return renderer_->OnResetDevice(); }

INT CTextFont::DrawTextA(LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) {
    return renderer_->DrawText(font_, text, count, rect, format, color, false);
}

INT CTextFont::DrawTextW(LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) {
    return renderer_->DrawText(font_, text, count, rect, format, color, true);
}

}  // namespace valmere::text

HRESULT WINAPI D3DXCreateFontIndirect(LPDIRECT3DDEVICE8 pDevice, const LOGFONTA* pLogFont, LPD3DXFONT* ppFont) {
    if (pDevice == nullptr || pLogFont == nullptr || ppFont == nullptr) return D3DERR_INVALIDCALL;
    return valmere::text::CTextFont::Create(pDevice, *pLogFont, ppFont);
}
