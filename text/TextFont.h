// CTextFont, the ID3DXFont object: one GDI font and the description it was
// made from, the device, and a reference to the device's shared renderer,
// which does the drawing.
#pragma once

#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/RefCounted.h"
#include "text/D3DXText.h"

namespace valmere::text {

class CTextRenderer;

class CTextFont final : public d3d8::RefCounted<ID3DXFont, D3DERR_INVALIDCALL> {
public:
    // D3DXCreateFontIndirect without the argument checks.
    static HRESULT Create(IDirect3DDevice8* device, const LOGFONTA& description, ID3DXFont** font);

    HRESULT GetDevice(IDirect3DDevice8** device) override;
    HRESULT GetLogFont(LOGFONTA* logFont) override;
    HRESULT Begin() override;
    INT DrawTextA(LPCSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override;
    INT DrawTextW(LPCWSTR text, INT count, LPRECT rect, DWORD format, D3DCOLOR color) override;
    HRESULT End() override;
    HRESULT OnLostDevice() override;
    HRESULT OnResetDevice() override;

private:
    CTextFont() = default;
    ~CTextFont() override;
    bool ImplementsInterface(REFIID riid) const override { return riid == IID_ID3DXFont; }
    HRESULT Initialize(IDirect3DDevice8* device, const LOGFONTA& description);

    HFONT font_ = nullptr;
    LOGFONTA logFont_{};
    CTextRenderer* renderer_ = nullptr;
    ComPtr<IDirect3DDevice8> device_;
};

}  // namespace valmere::text
