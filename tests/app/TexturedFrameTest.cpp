// The viewer's first frames among its data files: terrain, ground quad and
// sky show the colours of their bitmaps.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>

#include "app/Application.h"
#include "app/Globals.h"
#include "app/WinMain.h"
#include "platform/host/ScanCodes.h"
#include "tests/support/GameProcess.h"
#include "texture/D3DXTexture.h"

namespace {

using Rgb = std::array<double, 3>;

// The mean colour of a bitmap: the 1 by 1 level of its texture.
Rgb BitmapMean(IDirect3DDevice8* device, const char* file) {
    IDirect3DTexture8* texture = nullptr;
    EXPECT_EQ(D3DXCreateTextureFromFileA(device, file, &texture), S_OK) << file;
    if (!texture) return {};
    const UINT last = texture->GetLevelCount() - 1;
    D3DLOCKED_RECT rect{};
    texture->LockRect(last, &rect, nullptr, D3DLOCK_READONLY);
    const std::uint32_t pixel = *static_cast<const std::uint32_t*>(rect.pBits);
    texture->UnlockRect(last);
    texture->Release();
    return {static_cast<double>((pixel >> 16) & 0xFF), static_cast<double>((pixel >> 8) & 0xFF),
            static_cast<double>(pixel & 0xFF)};
}

Rgb FrameMean(const valmere::host::HeadlessHost& host, int x0, int y0, int x1, int y1) {
    Rgb sum{};
    for (int y = y0; y < y1; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t p = host.LastFramePixel(x, y);
            sum[0] += (p >> 16) & 0xFF;
            sum[1] += (p >> 8) & 0xFF;
            sum[2] += p & 0xFF;
        }
    const double n = static_cast<double>((x1 - x0) * (y1 - y0));
    return {sum[0] / n, sum[1] / n, sum[2] / n};
}

TEST(TexturedFrame, TerrainQuadAndSkyShowTheirBitmaps) {
    std::filesystem::current_path(VALMERE_DATA_DIR);
    auto& host = valmere::test::StartProcess([](valmere::host::HeadlessHost& h) { h.PressKey(1, DIK_ESCAPE); });
    WinMain(g_instance, nullptr, nullptr, 0);
    ASSERT_GT(host.PresentedFrames(), 0);
    IDirect3DDevice8* device = g_application.device;
    struct Region {
        const char* bitmap;
        int x0, y0, x1, y1;  // where the start-up view shows it
    };
    // From (0, 0, -10) looking along +z: sky above the horizon, the hills
    // to the right, the small ground quad just below the centre.
    const Region regions[] = {
        {"sky2.bmp", 200, 20, 600, 200},
        {"image1.bmp", 600, 270, 780, 295},
        {"image2.bmp", 385, 329, 415, 333},
    };
    for (const Region& r : regions) {
        const Rgb expected = BitmapMean(device, r.bitmap);
        const Rgb seen = FrameMean(host, r.x0, r.y0, r.x1, r.y1);
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(seen[c], expected[c], 12.0) << r.bitmap << " channel " << c;
    }
}

}  // namespace
