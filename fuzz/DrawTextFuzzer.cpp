// draw_text: a font and a sprite driven by a script of operations: DrawTextA
// and DrawTextW with any bytes as text (invalid UTF-8, unpaired surrogates
// and values past U+10FFFF included), any counts, rectangles and format
// flags, sprite draws, Begin and End in any order, scenes, and device loss
// and reset in between.
//
// Byte layout (fields past the end of the input read as 0):
//   0      device profile
//   1      font height (signed byte), 2 width (byte % 64), 3 weight (x 4)
//   4      bits 0-2 italic, underline, strike-out; bits 3-5 face (kFaces)
//   then up to 24 operations, each an operation byte (value % 8) and its
//   fields:
//   0, 1   DrawTextA (0) or DrawTextW (1): flags byte (bit 0 null text, bit
//          1 null rectangle, bit 2 (W) 32-bit code units, else 16-bit), count
//          byte (255 is -1, else byte % (length + 2)), format (16 bits),
//          rectangle left, top, right, bottom (signed 16 bits), colour (32
//          bits), length (byte % 65), then the text's code units; the text
//          is followed by a terminator
//   2, 3   the font's Begin, End
//   4      lose the device (the host loses the focus), then OnLostDevice,
//          Reset and OnResetDevice, with anything begun ended first
//   5      the sprite's Draw of an 8x8 texture: source rectangle (4 signed
//          bytes; all 0 means none), scaling (2 signed bytes / 16),
//          rotation (signed byte / 16), translation (2 signed 16 bits),
//          colour (32 bits)
//   6      the sprite's Begin when it has not begun, else its End
//   7      the device's BeginScene when no scene is open, else EndScene and
//          Present
//
// Checked after every operation: DrawText answers 0 for a null text or
// rectangle and leaves the rectangle alone without DT_CALCRECT; Begin, End,
// Draw, OnLostDevice, OnResetDevice and Reset give the documented results
// for the state they are called in; once everything is released the
// device's reference count is back where it was.
#include "fuzz/FuzzCheck.h"
#include "fuzz/FuzzDevice.h"
#include "fuzz/FuzzInput.h"
#include "platform/d3d8/ComPtr.h"
#include "text/D3DXText.h"

#include <cstdint>
#include <cstring>
#include <vector>

namespace valmere::fuzz {
namespace {

constexpr const char* kFaces[] = {"Arial", "DejaVu Sans", "", "No Such Face", "Liberation Mono",
                                  "Courier New", "DejaVu Serif", "Times New Roman"};

struct Script {
    const FuzzDevice& device;
    ComPtr<ID3DXFont> font;
    ComPtr<ID3DXSprite> sprite;
    ComPtr<IDirect3DTexture8> picture;
    bool fontBegun = false;
    bool spriteBegun = false;
    bool scene = false;
};

void Check(HRESULT hr, HRESULT expected, const char* what) {
    Require(hr == expected, "%s answered 0x%08X, not 0x%08X", what, static_cast<unsigned>(hr),
            static_cast<unsigned>(expected));
}

void DrawText(Script& s, FuzzInput& in, bool wide) {
    const std::uint8_t flags = in.U8();
    const std::uint8_t countByte = in.U8();
    const DWORD format = in.U16();
    RECT rect;
    rect.left = static_cast<std::int16_t>(in.U16());
    rect.top = static_cast<std::int16_t>(in.U16());
    rect.right = static_cast<std::int16_t>(in.U16());
    rect.bottom = static_cast<std::int16_t>(in.U16());
    const D3DCOLOR color = in.U32();
    const unsigned length = in.U8() % 65u;
    const int count = countByte == 255 ? -1 : static_cast<int>(countByte % (length + 2));
    const RECT given = rect;
    RECT* rectArg = Bit(flags, 1) ? nullptr : &rect;
    INT height = 0;
    if (wide) {
        std::vector<WCHAR> text(length + 1, 0);
        for (unsigned i = 0; i < length; ++i) text[i] = static_cast<WCHAR>(Bit(flags, 2) ? in.U32() : in.U16());
        height = s.font->DrawTextW(Bit(flags, 0) ? nullptr : text.data(), count, rectArg, format, color);
    } else {
        std::vector<char> text(length + 1, 0);
        for (unsigned i = 0; i < length; ++i) text[i] = static_cast<char>(in.U8());
        height = s.font->DrawTextA(Bit(flags, 0) ? nullptr : text.data(), count, rectArg, format, color);
    }
    if (Bit(flags, 0) || Bit(flags, 1)) {
        Require(height == 0, "DrawText without text or rectangle answered %d", height);
    }
    if ((format & DT_CALCRECT) == 0) {
        Require(std::memcmp(&rect, &given, sizeof(rect)) == 0, "DrawText without DT_CALCRECT wrote its rectangle");
    }
}

void LoseAndReset(Script& s) {
    if (s.fontBegun) Check(s.font->End(), S_OK, "the font's End");
    if (s.spriteBegun) Check(s.sprite->End(), S_OK, "the sprite's End");
    if (s.scene) Check(s.device.device->EndScene(), D3D_OK, "EndScene");
    s.fontBegun = s.spriteBegun = s.scene = false;
    s.device.host->LoseFocus(0);
    Check(s.device.device->TestCooperativeLevel(), D3DERR_DEVICELOST, "TestCooperativeLevel without the focus");
    s.device.host->GainFocus(0);
    Check(s.device.device->TestCooperativeLevel(), D3DERR_DEVICENOTRESET, "TestCooperativeLevel with the focus back");
    Check(s.font->OnLostDevice(), S_OK, "the font's OnLostDevice");
    Check(s.sprite->OnLostDevice(), S_OK, "the sprite's OnLostDevice");
    D3DPRESENT_PARAMETERS parameters = s.device.parameters;
    Check(s.device.device->Reset(&parameters), D3D_OK, "Reset");
    Check(s.font->OnResetDevice(), S_OK, "the font's OnResetDevice");
    Check(s.sprite->OnResetDevice(), S_OK, "the sprite's OnResetDevice");
}

void SpriteDraw(Script& s, FuzzInput& in) {
    RECT source;
    source.left = in.S8();
    source.top = in.S8();
    source.right = in.S8();
    source.bottom = in.S8();
    const bool whole = source.left == 0 && source.top == 0 && source.right == 0 && source.bottom == 0;
    const D3DXVECTOR2 scaling(in.S8() / 16.0f, in.S8() / 16.0f);
    const float rotation = in.S8() / 16.0f;
    const D3DXVECTOR2 translation(static_cast<std::int16_t>(in.U16()), static_cast<std::int16_t>(in.U16()));
    const D3DCOLOR color = in.U32();
    const HRESULT hr = s.sprite->Draw(s.picture.Get(), whole ? nullptr : &source, &scaling, nullptr, rotation,
                                      &translation, color);
    const bool bad = !whole && (source.right < source.left || source.bottom < source.top || source.left < 0 ||
                                source.top < 0 || source.left > 8 || source.top > 8);
    Check(hr, bad ? D3DERR_INVALIDCALL : S_OK, "the sprite's Draw");
}

}  // namespace

void Run(FuzzInput& in) {
    Script s{DeviceOfProfile(in.U8())};
    IDirect3DDevice8* device = s.device.device;
    const ULONG deviceRefs = References(device);
    LOGFONTA description{};
    description.lfHeight = in.S8();
    description.lfWidth = in.U8() % 64;
    description.lfWeight = in.U8() * 4;
    const std::uint8_t style = in.U8();
    description.lfItalic = Bit(style, 0);
    description.lfUnderline = Bit(style, 1);
    description.lfStrikeOut = Bit(style, 2);
    description.lfCharSet = DEFAULT_CHARSET;
    std::strncpy(description.lfFaceName, kFaces[(style >> 3) & 7], LF_FACESIZE - 1);
    if (FAILED(D3DXCreateFontIndirect(device, &description, s.font.Receive())) ||
        FAILED(D3DXCreateSprite(device, s.sprite.Receive())) ||
        FAILED(device->CreateTexture(8, 8, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, s.picture.Receive()))) {
        return;
    }
    for (int operation = 0; operation < 24 && !in.Rest().empty(); ++operation) {
        switch (in.U8() % 8) {
            case 0: DrawText(s, in, false); break;
            case 1: DrawText(s, in, true); break;
            case 2:
                Check(s.font->Begin(), s.fontBegun ? D3DERR_INVALIDCALL : S_OK, "the font's Begin");
                s.fontBegun = true;
                break;
            case 3:
                Check(s.font->End(), s.fontBegun ? S_OK : D3DERR_INVALIDCALL, "the font's End");
                s.fontBegun = false;
                break;
            case 4: LoseAndReset(s); break;
            case 5: SpriteDraw(s, in); break;
            case 6:
                Check(s.spriteBegun ? s.sprite->End() : s.sprite->Begin(), S_OK, "the sprite's Begin or End");
                s.spriteBegun = !s.spriteBegun;
                break;
            default:
                if (s.scene) {
                    Check(device->EndScene(), D3D_OK, "EndScene");
                    Check(device->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK, "Present");
                } else {
                    Check(device->BeginScene(), D3D_OK, "BeginScene");
                }
                s.scene = !s.scene;
                break;
        }
    }
    if (s.fontBegun) Check(s.font->End(), S_OK, "the font's End");
    if (s.spriteBegun) Check(s.sprite->End(), S_OK, "the sprite's End");
    if (s.scene) Check(device->EndScene(), D3D_OK, "EndScene");
    s.font.Reset();
    s.sprite.Reset();
    s.picture.Reset();
    Require(References(device) == deviceRefs, "the device's references changed");
}

}  // namespace valmere::fuzz
