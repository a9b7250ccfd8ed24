// textbench: the cost of the viewer's overlay, the two DrawTextA calls of
// every frame between the font's Begin and End, on the headless software
// device the viewer uses (800x600 R5G6B5 with D16). Beside it, the parts:
// GDI's own measuring and rendering of the two lines into a memory bitmap,
// and the sprite drawing the three 64 x 16 tiles they take.
//
// Profiles: managed tile textures (eight in turn) and dynamic ones (one,
// rewritten with discard for every tile).
#include <benchmark/benchmark.h>


#include "platform/d3d8/ComPtr.h"
#include "platform/d3d8/DeviceProfile.h"
#include "app/OverlayFont.h"
#include "platform/host/HeadlessHost.h"
#include "text/D3DXText.h"

namespace {

using valmere::ComPtr;

// A full-screen game device on a fresh headless host.
struct GameDevice {
    ComPtr<IDirect3D8> direct3D;
    ComPtr<IDirect3DDevice8> device;

    explicit GameDevice(bool dynamicTextures) {
        valmere::host::InstallHeadlessHost();
        valmere::d3d8::DeviceProfile profile = valmere::d3d8::DefaultDeviceProfile();
        if (dynamicTextures) profile = valmere::d3d8::WithDynamicTextures(profile);
        valmere::d3d8::SelectDeviceProfile(profile);
        direct3D = ComPtr<IDirect3D8>::Adopt(Direct3DCreate8(D3D_SDK_VERSION));
        const HWND window = reinterpret_cast<HWND>(std::uintptr_t{0x1000});
        D3DPRESENT_PARAMETERS parameters{};
        parameters.BackBufferWidth = 800;
        parameters.BackBufferHeight = 600;
        parameters.BackBufferFormat = D3DFMT_R5G6B5;
        parameters.SwapEffect = D3DSWAPEFFECT_DISCARD;
        parameters.hDeviceWindow = window;
        parameters.EnableAutoDepthStencil = TRUE;
        parameters.AutoDepthStencilFormat = D3DFMT_D16;
        direct3D->CreateDevice(D3DADAPTER_DEFAULT, D3DDEVTYPE_HAL, window, D3DCREATE_SOFTWARE_VERTEXPROCESSING,
                               &parameters, device.Receive());
        valmere::d3d8::ResetDeviceProfile();
    }
};

void OverlayText(benchmark::State& state) {
    GameDevice game(state.range(0) != 0);
    if (!game.device) {
        state.SkipWithError("no device");
        return;
    }
    const LOGFONTA description = OverlayFontDescription();
    ComPtr<ID3DXFont> font;
    if (FAILED(D3DXCreateFontIndirect(game.device.Get(), &description, font.Receive()))) {
        state.SkipWithError("no font");
        return;
    }
    game.device->BeginScene();
    for (auto _ : state) {
        font->Begin();
        RECT overlayRect{50, 50, 800, 600};
        benchmark::DoNotOptimize(font->DrawTextA("Test Build 1", -1, &overlayRect, DT_LEFT | DT_TOP, 0xFF00FF00));
        overlayRect.left = 700;
        overlayRect.top = 585;
        benchmark::DoNotOptimize(font->DrawTextA("Valmere Engine", -1, &overlayRect, DT_CENTER, 0x88999999));
        font->End();
    }
    game.device->EndScene();
}
BENCHMARK(OverlayText)->ArgName("dynamic")->Arg(0)->Arg(1);

// GDI alone: the measuring and the rendering call of each line, into a
// 256 x 256 top-down DIB section, as the font makes them.
void GdiOverlayText(benchmark::State& state) {
    const LOGFONTA description = OverlayFontDescription();
    const HFONT font = CreateFontIndirectA(&description);
    const HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 256, -256, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkColor(dc, 0);
    SetTextColor(dc, 0xFFFFFF);
    for (auto _ : state) {
        for (const auto& [text, width, height, format] :
             {std::tuple{"Test Build 1", 750, 550, DT_LEFT}, std::tuple{"Valmere Engine", 100, 15, DT_CENTER}}) {
            RECT box{0, 0, width, height};
            DrawTextA(dc, text, -1, &box, format | DT_CALCRECT);
            RECT drawing{0, 0, box.right, std::min<LONG>(box.bottom, height)};
            benchmark::DoNotOptimize(DrawTextA(dc, text, -1, &drawing, format));
        }
    }
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DeleteObject(font);
}
BENCHMARK(GdiOverlayText);

// The sprite alone: the three tiles of the two lines (one for the first,
// two for the second), from a tile texture already filled.
void SpriteOverlayTiles(benchmark::State& state) {
    GameDevice game(false);
    ComPtr<ID3DXSprite> sprite;
    ComPtr<IDirect3DTexture8> tile;
    if (!game.device || FAILED(D3DXCreateSprite(game.device.Get(), sprite.Receive())) ||
        FAILED(game.device->CreateTexture(64, 16, 1, 0, D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, tile.Receive()))) {
        state.SkipWithError("no sprite");
        return;
    }
    const RECT first{0, 0, 60, 12}, second{0, 0, 64, 15}, third{0, 0, 19, 15};
    const D3DXVECTOR2 at1(50, 50), at2(712, 585), at3(776, 585);
    game.device->BeginScene();
    for (auto _ : state) {
        sprite->Begin();
        sprite->Draw(tile.Get(), &first, nullptr, nullptr, 0.0f, &at1, 0xFF00FF00);
        sprite->Draw(tile.Get(), &second, nullptr, nullptr, 0.0f, &at2, 0x88999999);
        sprite->Draw(tile.Get(), &third, nullptr, nullptr, 0.0f, &at3, 0x88999999);
        sprite->End();
    }
    game.device->EndScene();
}
BENCHMARK(SpriteOverlayTiles);

}  // namespace

BENCHMARK_MAIN();
