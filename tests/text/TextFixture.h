// A headless game device (800x600 R5G6B5, D16) for the sprite and font
// tests, with helpers to fill textures, draw one presented frame and look at
// its pixels.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <ostream>

#include "tests/platform/d3d8/DeviceFixture.h"
#include "text/D3DXText.h"

namespace valmere::text::test {

using d3d8::test::DeviceTest;

struct PixelBox {
    int left = 0, top = 0, right = 0, bottom = 0;  // right and bottom exclusive
    bool empty() const { return right <= left || bottom <= top; }
    friend bool operator==(const PixelBox&, const PixelBox&) = default;
};

// The viewer's overlay font by default: 12-pixel Arial, normal weight.
inline LOGFONTA FontDescription(const char* face = "Arial", LONG height = 12) {
    LOGFONTA description{};
    description.lfHeight = height;
    description.lfWeight = FW_NORMAL;
    description.lfCharSet = DEFAULT_CHARSET;
    description.lfOutPrecision = OUT_TT_PRECIS;
    description.lfQuality = PROOF_QUALITY;
    std::strncpy(description.lfFaceName, face, LF_FACESIZE - 1);
    return description;
}

class TextDeviceTest : public DeviceTest {
protected:
    // A managed texture whose texel (x, y) is colour(x, y).
    ComPtr<IDirect3DTexture8> FilledTexture(UINT width, UINT height, D3DFORMAT format,
                                            const std::function<std::uint32_t(UINT, UINT)>& colour) {
        ComPtr<IDirect3DTexture8> texture = MakeTexture(width, height, 1, format, D3DPOOL_MANAGED);
        D3DLOCKED_RECT locked{};
        if (!texture || FAILED(texture->LockRect(0, &locked, nullptr, 0))) return texture;
        for (UINT y = 0; y < height; ++y) {
            auto* row = static_cast<std::uint8_t*>(locked.pBits) + y * static_cast<UINT>(locked.Pitch);
            for (UINT x = 0; x < width; ++x) {
                const std::uint32_t c = colour(x, y);
                if (format == D3DFMT_R5G6B5) {
                    const auto packed = static_cast<std::uint16_t>(((c >> 8) & 0xF800) | ((c >> 5) & 0x07E0) |
                                                                   ((c >> 3) & 0x001F));
                    reinterpret_cast<std::uint16_t*>(row)[x] = packed;
                } else {
                    reinterpret_cast<std::uint32_t*>(row)[x] = c;
                }
            }
        }
        texture->UnlockRect(0);
        return texture;
    }

    // Clears to `background`, runs `draw` inside a scene and presents.
    void RenderFrame(const std::function<void()>& draw, D3DCOLOR background = 0) {
        ASSERT_EQ(device_->Clear(0, nullptr, D3DCLEAR_TARGET | D3DCLEAR_ZBUFFER, background, 1.0f, 0), D3D_OK);
        ASSERT_EQ(device_->BeginScene(), D3D_OK);
        draw();
        ASSERT_EQ(device_->EndScene(), D3D_OK);
        ASSERT_EQ(device_->Present(nullptr, nullptr, nullptr, nullptr), D3D_OK);
    }

    std::uint32_t Pixel(int x, int y) const { return host_->LastFramePixel(x, y); }

    ULONG DeviceReferences() {
        device_->AddRef();
        return device_->Release();
    }

    // Loses the device through the host's focus and resets it, with the
    // owner's part around the Reset: `object`'s OnLostDevice before it and
    // OnResetDevice after it.
    template <class Object>
    void LoseAndReset(Object& object) {
        host_->LoseFocus(0);
        ASSERT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICELOST);
        host_->GainFocus(0);
        ASSERT_EQ(device_->TestCooperativeLevel(), D3DERR_DEVICENOTRESET);
        EXPECT_EQ(object.OnLostDevice(), S_OK);
        ASSERT_EQ(device_->Reset(&parameters_), D3D_OK);
        EXPECT_EQ(object.OnResetDevice(), S_OK);
    }

    // The smallest box holding every pixel of the last frame that is not
    // `background` (0x00RRGGBB).
    PixelBox ChangedBox(std::uint32_t background = 0) const {
        PixelBox box{host_->LastFrameWidth(), host_->LastFrameHeight(), 0, 0};
        for (int y = 0; y < host_->LastFrameHeight(); ++y)
            for (int x = 0; x < host_->LastFrameWidth(); ++x)
                if (Pixel(x, y) != background) {
                    box.left = std::min(box.left, x);
                    box.top = std::min(box.top, y);
                    box.right = std::max(box.right, x + 1);
                    box.bottom = std::max(box.bottom, y + 1);
                }
        return box;
    }
};

inline ::std::ostream& operator<<(::std::ostream& out, const PixelBox& box) {
    return out << "(" << box.left << "," << box.top << ")-(" << box.right << "," << box.bottom << ")";
}

}  // namespace valmere::text::test
