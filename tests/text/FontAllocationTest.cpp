// Allocations of the font, counted by a replaced global allocator (hence an
// executable of its own): steady overlay text allocates nothing per frame,
// and font creation with each of its allocations failing in turn answers a
// failure code, throws nothing, writes no out-pointer and leaves no device
// reference or GDI object behind.
#include <gtest/gtest.h>

#include "platform/win32/GdiObjects.h"
#include "tests/support/AllocationInjection.h"
#include "tests/text/TextFixture.h"

namespace valmere::text::test {
namespace {

using valmere::test::AllocationInjection;
using valmere::test::g_allocations;

using FontAllocationTest = TextDeviceTest;

// The viewer's two lines, frame after frame, on managed and dynamic tiles.
TEST_F(FontAllocationTest, SteadyTextAllocatesNothing) {
    for (bool dynamic : {false, true}) {
        SCOPED_TRACE(dynamic ? "dynamic" : "managed");
        d3d8::SelectDeviceProfile(dynamic ? d3d8::WithDynamicTextures(d3d8::DefaultDeviceProfile())
                                          : d3d8::DefaultDeviceProfile());
        CreateGameDevice();
        const LOGFONTA description = FontDescription();
        ComPtr<ID3DXFont> font;
        ASSERT_EQ(D3DXCreateFontIndirect(device_.Get(), &description, font.Receive()), S_OK);
        for (int frame = 0; frame < 8; ++frame) {
            long allocations = 0;
            RenderFrame([&] {
                g_allocations = AllocationInjection{true, 0, -1, 0, false};
                font->Begin();
                RECT box{50, 50, 800, 600};
                font->DrawTextA("Test Build 1", -1, &box, 0, 0xFF00FF00);
                box = {700, 585, 800, 600};
                font->DrawTextA("Valmere Engine", -1, &box, DT_CENTER, 0x88999999);
                font->End();
                allocations = g_allocations.count;
                g_allocations.armed = false;
            });
            // The first frames fill caches: glyphs, the recorded states, and
            // the device's sampling copy of each tile texture at its first
            // draw (three tiles a frame, eight textures in turn).
            if (frame >= 3) {
                EXPECT_EQ(allocations, 0) << "frame " << frame;
            }
        }
    }
}

TEST_F(FontAllocationTest, CreationWithEveryAllocationFailingInTurn) {
    CreateGameDevice();
    const LOGFONTA description = FontDescription();
    // A first font fills the caches of the font machinery and GDI.
    ComPtr<ID3DXFont> warm;
    ASSERT_EQ(D3DXCreateFontIndirect(device_.Get(), &description, warm.Receive()), S_OK);
    warm.Reset();
    const std::size_t gdiObjects = win32::LiveGdiObjectCount();
    const ULONG references = DeviceReferences();
    for (long n = 0;; ++n) {
        ID3DXFont* font = reinterpret_cast<ID3DXFont*>(std::uintptr_t{0x8});
        g_allocations = AllocationInjection{true, 0, n, 0, false};
        const HRESULT hr = D3DXCreateFontIndirect(device_.Get(), &description, &font);
        if (SUCCEEDED(hr)) font->Release();
        const AllocationInjection seen = g_allocations;
        g_allocations.armed = false;
        // The heap is not balanced here: GDI's face and glyph caches may
        // keep or drop entries. What the font made must all be gone: every
        // reference on the device and every GDI object.
        EXPECT_EQ(DeviceReferences(), references) << "allocation " << n << " result " << std::hex << hr;
        EXPECT_EQ(win32::LiveGdiObjectCount(), gdiObjects) << "allocation " << n;
        if (!seen.failed) {
            EXPECT_EQ(hr, S_OK);
            EXPECT_GT(n, 3) << "creation allocates";
            return;
        }
        EXPECT_LT(hr, 0) << "allocation " << n;
        EXPECT_EQ(font, reinterpret_cast<ID3DXFont*>(std::uintptr_t{0x8})) << "allocation " << n;
    }
}

}  // namespace
}  // namespace valmere::text::test
