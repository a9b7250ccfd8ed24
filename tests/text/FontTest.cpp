// The font: creation and its failures, Begin/End pairing, placement and
// clipping, the tiles and their textures, shared renderers, device loss, and
// bad input. Drawn text is compared with GDI's own rendering of the same
// string (white on black coverage), which the frame must show as the
// colour's green channel over black.
#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/GdiObjects.h"
#include "platform/win32/SystemInfo.h"
#include "tests/text/TextFixture.h"

namespace valmere::text::test {
namespace {

constexpr char kLongText[] = "The quick brown fox jumps over the lazy dog, 0123456789 times over";
constexpr D3DCOLOR kGreen = 0xFF00FF00;

// GDI's own rendering: the coverage of `text` drawn white on black into a
// width x height bitmap with `format`, row by row.
struct Coverage {
    int width = 0, height = 0;
    std::vector<std::uint8_t> values;
    int At(int x, int y) const { return values[static_cast<std::size_t>(y * width + x)]; }
};

Coverage GdiCoverage(const LOGFONTA& description, const char* text, int width, int height, UINT format = 0) {
    Coverage coverage{width, height, {}};
    const HFONT font = CreateFontIndirectA(&description);
    const HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    const HBITMAP bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    const HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
    const HGDIOBJ oldFont = SelectObject(dc, font);
    SetBkColor(dc, 0);
    SetTextColor(dc, 0xFFFFFF);
    RECT box{0, 0, width, height};
    ::DrawTextA(dc, text, -1, &box, format);
    for (int i = 0; i < width * height; ++i) coverage.values.push_back(static_cast<std::uint8_t*>(bits)[i * 4]);
    SelectObject(dc, oldFont);
    SelectObject(dc, oldBitmap);
    DeleteObject(bitmap);
    DeleteDC(dc);
    DeleteObject(font);
    return coverage;
}

// GDI's measurement of the text: DT_CALCRECT in an unbounded box.
SIZE GdiExtent(const LOGFONTA& description, const char* text, UINT format = 0) {
    const HFONT font = CreateFontIndirectA(&description);
    const HDC dc = CreateCompatibleDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    RECT box{0, 0, 0, 0};
    ::DrawTextA(dc, text, -1, &box, format | DT_CALCRECT);
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(font);
    return {box.right - box.left, box.bottom - box.top};
}

int Green(std::uint32_t pixel) { return static_cast<int>((pixel >> 8) & 0xFF); }

class FontTest : public TextDeviceTest {
protected:
    void Start(const d3d8::DeviceProfile& profile = d3d8::DefaultDeviceProfile()) {
        d3d8::SelectDeviceProfile(profile);
        CreateGameDevice();
        // GDI makes its stock objects at first use: before any object count.
        DeleteDC(CreateCompatibleDC(nullptr));
    }
    void TearDown() override {
        font_.Reset();
        win32::ResetSystemInfoOverrides();
        TextDeviceTest::TearDown();
    }
    ComPtr<ID3DXFont> MakeFont(const LOGFONTA& description = FontDescription()) {
        ComPtr<ID3DXFont> font;
        EXPECT_EQ(D3DXCreateFontIndirect(device_.Get(), &description, font.Receive()), S_OK);
        return font;
    }
    // Draws a word with the test's font in a frame of its own: whether any
    // pixel changed.
    bool DrawsText() {
        RECT box{10, 10, 300, 40};
        RenderFrame([&] { EXPECT_GT(font_->DrawTextA("Text", -1, &box, 0, kGreen), 0); });
        return !ChangedBox().empty();
    }
    IDirect3DBaseTexture8* BoundTexture() {
        ComPtr<IDirect3DBaseTexture8> texture;
        device_->GetTexture(0, texture.Receive());
        return texture.Get();  // the font's tile textures outlive the call
    }
    // Every pixel of the frame at (left, top) + (x, y) shows the coverage as
    // green within `tolerance`, and no red or blue.
    void ExpectCoverageAt(const Coverage& expected, int left, int top, int tolerance) {
        int mismatches = 0;
        for (int y = 0; y < expected.height; ++y)
            for (int x = 0; x < expected.width; ++x) {
                const int fx = left + x, fy = top + y;
                if (fx < 0 || fy < 0 || fx >= 800 || fy >= 600) continue;
                const std::uint32_t pixel = Pixel(fx, fy);
                if (std::abs(Green(pixel) - expected.At(x, y)) > tolerance || (pixel & 0xFF00FF) != 0)
                    if (mismatches++ < 5) ADD_FAILURE() << "pixel " << fx << "," << fy << ": " << std::hex << pixel << " expected green " << expected.At(x, y);
            }
        EXPECT_EQ(mismatches, 0);
    }

    ComPtr<ID3DXFont> font_;
};

TEST_F(FontTest, CreationArgumentsAndQueries) {
    Start();
    const LOGFONTA description = FontDescription();
    ID3DXFont* untouched = reinterpret_cast<ID3DXFont*>(std::uintptr_t{0x1234});
    EXPECT_EQ(D3DXCreateFontIndirect(nullptr, &description, &untouched), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirect(device_.Get(), nullptr, &untouched), D3DERR_INVALIDCALL);
    EXPECT_EQ(D3DXCreateFontIndirect(device_.Get(), &description, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(untouched, reinterpret_cast<ID3DXFont*>(std::uintptr_t{0x1234}));

    font_ = MakeFont(description);
    ASSERT_TRUE(font_);
    void* object = nullptr;
    EXPECT_EQ(font_->QueryInterface(IID_ID3DXSprite, &object), E_NOINTERFACE);
    for (const IID& iid : {IID_IUnknown, IID_ID3DXFont}) {
        ASSERT_EQ(font_->QueryInterface(iid, &object), S_OK);
        EXPECT_EQ(object, static_cast<void*>(font_.Get()));
        EXPECT_EQ(font_->Release(), 1u);
    }
    EXPECT_EQ(font_->QueryInterface(IID_IUnknown, nullptr), D3DERR_INVALIDCALL);
    EXPECT_EQ(font_->GetDevice(nullptr), D3DERR_INVALIDCALL);
    ComPtr<IDirect3DDevice8> device;
    ASSERT_EQ(font_->GetDevice(device.Receive()), S_OK);
    EXPECT_EQ(device, device_);
    EXPECT_EQ(font_->GetLogFont(nullptr), D3DERR_INVALIDCALL);
    LOGFONTA copy{};
    ASSERT_EQ(font_->GetLogFont(&copy), S_OK);
    EXPECT_EQ(std::memcmp(&copy, &description, sizeof copy), 0);
}

// Each object the font needs made to fail in turn: the documented code, no
// out-pointer, no reference left on the device, and the next font works.
TEST_F(FontTest, InjectedFailuresLeaveNothingBehind) {
    struct Case {
        const char* call;
        bool dynamic;
        HRESULT expected;
    };
    const Case cases[] = {
        {"CreateFontIndirectA", false, E_OUTOFMEMORY}, {"CreateCompatibleDC", false, E_OUTOFMEMORY},
        {"CreateDIBSection", false, E_OUTOFMEMORY},    {"CreateTexture", false, D3DERR_OUTOFVIDEOMEMORY},
        {"CreateTexture", true, D3DERR_OUTOFVIDEOMEMORY}, {"GetDeviceCaps", false, D3DERR_INVALIDCALL},
    };
    const LOGFONTA description = FontDescription();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        Start(c.dynamic ? d3d8::WithDynamicTextures(d3d8::DefaultDeviceProfile()) : d3d8::DefaultDeviceProfile());
        const ULONG base = DeviceReferences();
        const std::size_t gdiObjects = win32::LiveGdiObjectCount();
        ID3DXFont* untouched = nullptr;
        host_->SetCallFails(c.call, true);
        EXPECT_EQ(D3DXCreateFontIndirect(device_.Get(), &description, &untouched), c.expected);
        host_->SetCallFails(c.call, false);
        EXPECT_EQ(untouched, nullptr);
        EXPECT_EQ(DeviceReferences(), base);
        EXPECT_EQ(win32::LiveGdiObjectCount(), gdiObjects);

        // A failing second font leaves the first font's renderer as it was.
        font_ = MakeFont(description);
        const ULONG withFont = DeviceReferences();
        if (std::strcmp(c.call, "CreateFontIndirectA") == 0) {
            host_->SetCallFails(c.call, true);
            EXPECT_EQ(D3DXCreateFontIndirect(device_.Get(), &description, &untouched), E_OUTOFMEMORY);
            host_->SetCallFails(c.call, false);
            EXPECT_EQ(DeviceReferences(), withFont);
        }
        EXPECT_TRUE(DrawsText());
        font_.Reset();
        EXPECT_EQ(DeviceReferences(), base);
        EXPECT_EQ(win32::LiveGdiObjectCount(), gdiObjects);
    }
}

// A bitmap that cannot grow draws nothing and keeps the old one; tile
// textures that cannot be made again after a loss draw nothing until they can.
TEST_F(FontTest, FailuresWhileDrawingLeaveTheFontUsable) {
    Start(d3d8::WithDynamicTextures(d3d8::DefaultDeviceProfile()));
    font_ = MakeFont();
    RECT wide{0, 0, 2000, 20};
    host_->SetCallFails("CreateDIBSection", true);
    RenderFrame([&] {
        const std::string longer = std::string(kLongText) + " " + kLongText + " " + kLongText;
        EXPECT_EQ(font_->DrawTextA(longer.c_str(), -1, &wide, 0, kGreen), 0);
    });
    host_->SetCallFails("CreateDIBSection", false);
    EXPECT_TRUE(ChangedBox().empty());

    EXPECT_EQ(font_->OnLostDevice(), S_OK);
    host_->SetCallFails("CreateTexture", true);
    EXPECT_EQ(font_->OnResetDevice(), D3DERR_OUTOFVIDEOMEMORY);
    host_->SetCallFails("CreateTexture", false);
    EXPECT_FALSE(DrawsText());
    EXPECT_EQ(font_->OnResetDevice(), S_OK);
    EXPECT_TRUE(DrawsText());
}

TEST_F(FontTest, BeginTwiceAndEndWithoutBeginFailWithoutUndoingTheFirstBegin) {
    Start();
    font_ = MakeFont();
    device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
    DWORD depth = 0;
    EXPECT_EQ(font_->End(), D3DERR_INVALIDCALL);
    ASSERT_EQ(font_->Begin(), S_OK);
    EXPECT_EQ(font_->Begin(), D3DERR_INVALIDCALL);
    device_->GetRenderState(D3DRS_ZENABLE, &depth);
    EXPECT_EQ(depth, DWORD{D3DZB_FALSE});
    EXPECT_EQ(font_->End(), S_OK);
    device_->GetRenderState(D3DRS_ZENABLE, &depth);
    EXPECT_EQ(depth, DWORD{D3DZB_TRUE});
    EXPECT_EQ(font_->End(), D3DERR_INVALIDCALL);

    // Outside Begin and End a DrawText brackets itself.
    EXPECT_TRUE(DrawsText());
    device_->GetRenderState(D3DRS_ZENABLE, &depth);
    EXPECT_EQ(depth, DWORD{D3DZB_TRUE});
    EXPECT_EQ(font_->End(), D3DERR_INVALIDCALL);
}

struct TileCase {
    const char* name;
    d3d8::DeviceProfile (*profile)();
    bool dynamic;
    D3DFORMAT tileFormat;
    int tolerance;  // green levels: R5G6B5 frames; 4-bit alpha in A4R4G4B4 tiles
};

class FontTileTest : public FontTest, public ::testing::WithParamInterface<TileCase> {};

// A 200 x 12 text on 64 x 16 tiles: four tiles, 64, 64, 64 and 8 wide. With
// managed textures the calls take the eight textures in turn (the second
// call starts with the fifth, the third with the first again); with dynamic
// textures one texture serves every tile.
TEST_P(FontTileTest, TilesCarryTheTextAndTurnThroughTheTextures) {
    const TileCase& c = GetParam();
    Start(c.profile());
    const LOGFONTA description = FontDescription();
    font_ = MakeFont(description);
    const Coverage expected = GdiCoverage(description, kLongText, 200, 12);
    IDirect3DBaseTexture8* last[3] = {};
    RenderFrame([&] {
        ASSERT_EQ(font_->Begin(), S_OK);
        for (int call = 0; call < 3; ++call) {
            RECT box{10, 20 + 20 * call, 210, 32 + 20 * call};
            EXPECT_GT(font_->DrawTextA(kLongText, -1, &box, DT_LEFT | DT_TOP, kGreen), 0);
            last[call] = BoundTexture();
        }
        EXPECT_EQ(font_->End(), S_OK);
    });
    for (int call = 0; call < 3; ++call) ExpectCoverageAt(expected, 10, 20 + 20 * call, c.tolerance);
    const PixelBox drawn = ChangedBox();
    EXPECT_GE(drawn.left, 10);
    EXPECT_GE(drawn.top, 20);
    EXPECT_LE(drawn.right, 210);
    EXPECT_LE(drawn.bottom, 72);
    ASSERT_NE(last[0], nullptr);
    EXPECT_EQ(last[0] == last[1], c.dynamic);
    EXPECT_EQ(last[2], last[0]);

    auto* texture = static_cast<IDirect3DTexture8*>(last[2]);
    D3DSURFACE_DESC desc{};
    ASSERT_EQ(texture->GetLevelDesc(0, &desc), D3D_OK);
    EXPECT_EQ(desc.Format, c.tileFormat);
    EXPECT_EQ(desc.Width, 64u);
    EXPECT_EQ(desc.Height, 16u);

    // The fourth tile's texture holds columns 192-199 of the text in its
    // top-left 8 x 12 texels as alpha under white, and nothing else.
    if (c.dynamic || c.tileFormat != D3DFMT_A8R8G8B8) return;
    D3DLOCKED_RECT locked{};
    ASSERT_EQ(texture->LockRect(0, &locked, nullptr, D3DLOCK_READONLY), D3D_OK);
    for (UINT y = 0; y < desc.Height; ++y)
        for (UINT x = 0; x < desc.Width; ++x) {
            const std::uint32_t texel = reinterpret_cast<const std::uint32_t*>(
                static_cast<const std::uint8_t*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch))[x];
            const bool inside = x < 8 && y < 12;
            const std::uint32_t expectedTexel =
                inside ? static_cast<std::uint32_t>(expected.At(192 + static_cast<int>(x), static_cast<int>(y))) << 24 | 0xFFFFFF
                       : 0;
            ASSERT_EQ(texel, expectedTexel) << x << "," << y;
        }
    texture->UnlockRect(0);
}

INSTANTIATE_TEST_SUITE_P(
    Profiles, FontTileTest,
    ::testing::Values(
        TileCase{"Managed", [] { return d3d8::DefaultDeviceProfile(); }, false, D3DFMT_A8R8G8B8, 5},
        TileCase{"Dynamic", [] { return d3d8::WithDynamicTextures(d3d8::DefaultDeviceProfile()); }, true, D3DFMT_A8R8G8B8, 5},
        TileCase{"Pretransformed", [] { return d3d8::WithClippedTransformedVertices(d3d8::DefaultDeviceProfile()); },
                 false, D3DFMT_A8R8G8B8, 5},
        // The tiles fall back to the closest format (A4R4G4B4 here) and are
        // filled through the surface loader.
        TileCase{"FourBitAlpha",
                 [] {
                     return d3d8::WithoutFormat(d3d8::WithoutFormat(d3d8::DefaultDeviceProfile(), D3DFMT_A8R8G8B8),
                                                D3DFMT_A1R5G5B5);
                 },
                 false, D3DFMT_A4R4G4B4, 12}),
    [](const auto& tile) { return std::string(tile.param.name); });

// DT_CALCRECT: the text's extent placed in the rectangle as the flags say,
// returned through it, with the text height as the result; nothing drawn.
TEST_F(FontTest, CalcRectReturnsThePlacedRectangleAndDrawsNothing) {
    Start();
    const LOGFONTA description = FontDescription();
    font_ = MakeFont(description);
    const SIZE extent = GdiExtent(description, "Valmere Engine");
    ASSERT_GT(extent.cx, 0);
    struct Case {
        UINT format;
        LONG left, top;
    };
    const Case cases[] = {
        {DT_LEFT | DT_TOP, 700, 585},
        {DT_CENTER, (700 + 800 - extent.cx) >> 1, 585},
        {DT_RIGHT | DT_BOTTOM, 800 - extent.cx, 600 - extent.cy},
        {DT_VCENTER, 700, (585 + 600 - extent.cy) >> 1},
    };
    for (const Case& c : cases) {
        RECT box{700, 585, 800, 600};
        RenderFrame([&] { EXPECT_EQ(font_->DrawTextA("Valmere Engine", -1, &box, c.format | DT_CALCRECT, kGreen), extent.cy); });
        EXPECT_EQ(box.left, c.left) << c.format;
        EXPECT_EQ(box.top, c.top) << c.format;
        EXPECT_EQ(box.right - box.left, extent.cx) << c.format;
        EXPECT_EQ(box.bottom - box.top, extent.cy) << c.format;
        EXPECT_TRUE(ChangedBox().empty()) << c.format;
    }
}

// Without DT_NOCLIP the text is cut at the rectangle; with it the text is
// drawn whole, and the bitmap (256 x 256 at first) grows to hold it.
TEST_F(FontTest, ClippingCutsAtTheRectangleUnlessNoClip) {
    Start();
    const LOGFONTA description = FontDescription();
    font_ = MakeFont(description);
    const std::string wideText = std::string(kLongText) + " " + kLongText;
    std::string tallText;
    for (int line = 0; line < 30; ++line) tallText += "line " + std::to_string(line) + "\n";
    const SIZE wideExtent = GdiExtent(description, wideText.c_str());
    const SIZE tallExtent = GdiExtent(description, tallText.c_str());
    ASSERT_GT(wideExtent.cx, 256);
    ASSERT_GT(tallExtent.cy, 256);

    RECT box{10, 100, 110, 108};
    RenderFrame([&] { font_->DrawTextA(wideText.c_str(), -1, &box, 0, kGreen); });
    PixelBox drawn = ChangedBox();
    EXPECT_GE(drawn.left, 10);
    EXPECT_GE(drawn.top, 100);
    EXPECT_LE(drawn.right, 110);
    EXPECT_LE(drawn.bottom, 108);
    EXPECT_GT(drawn.right, 100);

    RenderFrame([&] { font_->DrawTextA(wideText.c_str(), -1, &box, DT_NOCLIP, kGreen); });
    ExpectCoverageAt(GdiCoverage(description, wideText.c_str(), wideExtent.cx, wideExtent.cy), 10, 100, 5);
    drawn = ChangedBox();
    EXPECT_GT(drawn.right, 10 + 256);
    EXPECT_GT(drawn.bottom, 108);

    // The bitmap still holds the long line: a short first line must not
    // show what lies to its right.
    const std::string ragged = std::string("a\n") + kLongText;
    const SIZE raggedExtent = GdiExtent(description, ragged.c_str());
    RenderFrame([&] { font_->DrawTextA(ragged.c_str(), -1, &box, DT_NOCLIP, kGreen); });
    ExpectCoverageAt(GdiCoverage(description, ragged.c_str(), raggedExtent.cx, raggedExtent.cy), 10, 100, 5);

    RECT top{10, 5, 60, 10};
    RenderFrame([&] { font_->DrawTextA(tallText.c_str(), -1, &top, DT_NOCLIP, kGreen); });
    drawn = ChangedBox();
    EXPECT_GT(drawn.bottom - drawn.top, 256 - 12);
    EXPECT_LE(drawn.bottom, 5 + tallExtent.cy);
}

// Text placed above and left of the screen is drawn where it lies: the part
// on screen is visible.
TEST_F(FontTest, NegativePositionsAreDrawnPartlyVisible) {
    Start();
    const LOGFONTA description = FontDescription();
    font_ = MakeFont(description);
    const SIZE extent = GdiExtent(description, "Test Build 1");
    RECT box{-20, -5, 300, 100};
    RenderFrame([&] { EXPECT_GT(font_->DrawTextA("Test Build 1", -1, &box, 0, kGreen), 0); });
    ExpectCoverageAt(GdiCoverage(description, "Test Build 1", extent.cx, extent.cy), -20, -5, 5);
    const PixelBox drawn = ChangedBox();
    EXPECT_FALSE(drawn.empty());
    EXPECT_EQ(drawn.top, 0);
    EXPECT_LE(drawn.right, extent.cx - 20);
}

TEST_F(FontTest, TwoFontsShareOneRendererUntilBothAreReleased) {
    Start();
    const ULONG base = DeviceReferences();
    const std::size_t gdiObjects = win32::LiveGdiObjectCount();
    ComPtr<ID3DXFont> first = MakeFont(FontDescription("Arial", 12));
    const ULONG withOne = DeviceReferences();
    ComPtr<ID3DXFont> second = MakeFont(FontDescription("Arial", 20));
    // The second font holds the device once; the renderer, its sprite and
    // its textures are the first font's.
    EXPECT_EQ(DeviceReferences(), withOne + 1);
    first.Reset();
    EXPECT_EQ(DeviceReferences(), withOne);
    RECT box{10, 10, 400, 60};
    RenderFrame([&] { EXPECT_GT(second->DrawTextA("Second font", -1, &box, 0, kGreen), 12); });
    EXPECT_FALSE(ChangedBox().empty());
    second.Reset();
    EXPECT_EQ(DeviceReferences(), base);
    EXPECT_EQ(win32::LiveGdiObjectCount(), gdiObjects);
}

// A face that cannot be found still draws, in the fallback face.
TEST_F(FontTest, MissingFaceDrawsInTheFallbackFace) {
    Start();
    const LOGFONTA description = FontDescription("No Such Face Valmere");
    font_ = MakeFont(description);
    ASSERT_TRUE(font_);
    RECT box{10, 10, 400, 60};
    RenderFrame([&] { EXPECT_GT(font_->DrawTextA("Fallback", -1, &box, 0, kGreen), 0); });
    const SIZE extent = GdiExtent(description, "Fallback");
    ExpectCoverageAt(GdiCoverage(description, "Fallback", extent.cx, extent.cy), 10, 10, 5);
    EXPECT_FALSE(ChangedBox().empty());
}

// Wide text draws as its narrow form does, also on a system that converts
// it to narrow text first.
TEST_F(FontTest, WideTextDrawsLikeNarrowText) {
    Start();
    font_ = MakeFont();
    RECT box{700, 585, 800, 600};
    RenderFrame([&] { font_->DrawTextA("Valmere Engine", -1, &box, DT_CENTER, 0x88999999); }, 0x00336699);
    const std::vector<std::uint32_t> narrow = host_->LastFrame();
    ASSERT_FALSE(ChangedBox(0x336699).empty());
    for (DWORD platform : {VER_PLATFORM_WIN32_NT, VER_PLATFORM_WIN32_WINDOWS}) {
        OSVERSIONINFOA version{sizeof(OSVERSIONINFOA), 4, 10, 0, platform, {}};
        win32::OverrideVersionInfo(&version);
        RenderFrame([&] { font_->DrawTextW(L"Valmere Engine", -1, &box, DT_CENTER, 0x88999999); }, 0x00336699);
        EXPECT_EQ(host_->LastFrame(), narrow) << platform;
        RenderFrame([&] { font_->DrawTextW(L"Valmere Engine!", 14, &box, DT_CENTER, 0x88999999); }, 0x00336699);
        EXPECT_EQ(host_->LastFrame(), narrow) << platform;
    }
}

// Both overlay lines look the same after a device loss and reset, also when
// the caller's scene state (lighting, depth test, no blending) is in force.
TEST_F(FontTest, OverlayLooksTheSameAfterDeviceLossAndReset) {
    for (bool dynamic : {false, true}) {
        SCOPED_TRACE(dynamic ? "dynamic" : "managed");
        Start(dynamic ? d3d8::WithDynamicTextures(d3d8::DefaultDeviceProfile()) : d3d8::DefaultDeviceProfile());
        font_ = MakeFont();
        auto overlay = [&] {
            device_->SetRenderState(D3DRS_LIGHTING, TRUE);
            device_->SetRenderState(D3DRS_ZENABLE, D3DZB_TRUE);
            device_->SetRenderState(D3DRS_ALPHABLENDENABLE, FALSE);
            ASSERT_EQ(font_->Begin(), S_OK);
            RECT box{50, 50, 800, 600};
            font_->DrawTextA("Test Build 1", -1, &box, 0, 0xFF00FF00);
            box = {700, 585, 800, 600};
            font_->DrawTextA("Valmere Engine", -1, &box, DT_CENTER, 0x88999999);
            ASSERT_EQ(font_->End(), S_OK);
        };
        RenderFrame(overlay, 0x00406080);
        const std::vector<std::uint32_t> before = host_->LastFrame();
        ASSERT_FALSE(ChangedBox(0x406080).empty());

        LoseAndReset(*font_.Get());
        for (int frame = 0; frame < 2; ++frame) {
            RenderFrame(overlay, 0x00406080);
            EXPECT_EQ(host_->LastFrame(), before) << frame;
        }
        font_.Reset();
    }
}

// Strings no caller should pass still answer: nothing crashes, nothing is
// drawn outside the rectangle, and the font goes on drawing.
TEST_F(FontTest, BadInputIsHandled) {
    Start();
    font_ = MakeFont();
    const ULONG references = DeviceReferences();
    const std::string huge(10000, 'W');
    std::string mixed;
    for (int i = 0; i < 10000; ++i) mixed += static_cast<char>(' ' + i % 95);
    const std::wstring hugeWide(10000, L'W');
    struct Case {
        const char* name;
        const char* narrow;
        const wchar_t* wide;
        int count;
        RECT box;
        UINT format;
    };
    const Case cases[] = {
        {"null text", nullptr, nullptr, -1, {10, 10, 300, 40}, 0},
        {"empty", "", L"", -1, {10, 10, 300, 40}, 0},
        {"count 0", "Text", L"Text", 0, {10, 10, 300, 40}, 0},
        {"count -5", "Text", L"Text", -5, {10, 10, 300, 40}, 0},
        {"count past the terminator", "Text", L"Text", 1000, {10, 10, 300, 40}, 0},
        {"10,000 characters", huge.c_str(), hugeWide.c_str(), -1, {10, 10, 300, 40}, 0},
        {"10,000 characters wrapped", mixed.c_str(), hugeWide.c_str(), -1, {10, 10, 300, 200}, DT_WORDBREAK},
        {"10,000 characters unclipped", huge.c_str(), hugeWide.c_str(), -1, {10, 10, 300, 40}, DT_NOCLIP},
        {"invalid UTF-8", "\xFF\xFE\xC3(\xA0\xE2\x82", nullptr, -1, {10, 10, 300, 40}, 0},
        {"zero-sized rectangle", "Text", L"Text", -1, {10, 10, 10, 10}, 0},
        {"inverted rectangle", "Text", L"Text", -1, {300, 40, 10, 10}, 0},
        {"huge rectangle", "Text", L"Text", -1, {INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, DT_CENTER | DT_VCENTER},
    };
    for (const Case& c : cases) {
        for (bool wide : {false, true}) {
            if (wide && c.wide == nullptr && c.narrow != nullptr) continue;
            SCOPED_TRACE(std::string(c.name) + (wide ? " (wide)" : ""));
            RECT box = c.box;
            int height = -1;
            RenderFrame([&] {
                height = wide ? font_->DrawTextW(c.wide, c.count, &box, c.format, kGreen)
                              : font_->DrawTextA(c.narrow, c.count, &box, c.format, kGreen);
            });
            if (c.narrow == nullptr || c.count == 0 || c.count < -1) {
                EXPECT_EQ(height, 0);
            }
            const PixelBox drawn = ChangedBox();
            if (!drawn.empty() && (c.format & DT_NOCLIP) == 0) {
                EXPECT_GE(drawn.left, c.box.left);
                EXPECT_GE(drawn.top, c.box.top);
                EXPECT_LE(drawn.right, c.box.right);
                EXPECT_LE(drawn.bottom, c.box.bottom);
            }
        }
    }
    EXPECT_EQ(font_->DrawTextA("Text", -1, nullptr, 0, kGreen), 0);
    EXPECT_EQ(font_->DrawTextW(L"Text", -1, nullptr, 0, kGreen), 0);
    EXPECT_EQ(DeviceReferences(), references);
    EXPECT_TRUE(DrawsText());
}

}  // namespace
}  // namespace valmere::text::test
