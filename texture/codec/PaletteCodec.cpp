// P8: one index byte; the entry gives all four channels. Encoding picks the
// entry nearest in r, g, b and a, without dithering.
// A8P8: index byte, then an alpha byte; the entry gives r, g, b. Encoding
// picks the entry nearest in r, g and b, and quantises alpha (dithered).
// Ties go to the lowest index.
#include "texture/codec/PaletteCodec.h"

#include "texture/codec/PackedCodec.h"
#include "texture/format/Quantize.h"

#include <new>

namespace valmere {
namespace {

class PaletteCodec final : public PackedCodec {
public:
    PaletteCodec(const LockedPixels& locked, bool separateAlpha)
        : PackedCodec(locked, separateAlpha ? 2 : 1, NumericKind::Unsigned), separateAlpha_(separateAlpha) {
        for (int i = 0; i < 256; ++i) {
            if (locked.palette == nullptr) {
                palette_[i] = D3DXCOLOR(1.0f, 1.0f, 1.0f, 1.0f);
                continue;
            }
            const PALETTEENTRY& e = locked.palette[i];
            constexpr float kByte = 1.0f / 255.0f;
            palette_[i] = D3DXCOLOR(static_cast<float>(e.peRed) * kByte, static_cast<float>(e.peGreen) * kByte,
                                    static_cast<float>(e.peBlue) * kByte, static_cast<float>(e.peFlags) * kByte);
        }
    }

private:
    void DecodePixels(const std::byte* source, D3DXCOLOR* out, UINT count) const override {
        for (UINT i = 0; i < count; ++i) {
            if (separateAlpha_) {
                out[i] = palette_[static_cast<UINT>(source[2 * i])];
                out[i].a = static_cast<float>(source[2 * i + 1]) * (1.0f / 255.0f);
            } else {
                out[i] = palette_[static_cast<UINT>(source[i])];
            }
        }
    }

    void EncodePixels(std::byte* destination, const D3DXCOLOR* in, UINT count, const float* dither) const override {
        for (UINT i = 0; i < count; ++i) {
            const std::byte index = static_cast<std::byte>(Nearest(in[i], !separateAlpha_));
            if (separateAlpha_) {
                const float a = ClampChannel(in[i].a, 0.0f, 1.0f);
                destination[2 * i] = index;
                destination[2 * i + 1] = static_cast<std::byte>(QuantizeTruncate(a, 255.0f, dither[i & 3]));
            } else {
                destination[i] = index;
            }
        }
    }

    int Nearest(const D3DXCOLOR& c, bool withAlpha) const {
        int best = 0;
        float bestDistance = 0.0f;
        for (int k = 0; k < 256; ++k) {
            const D3DXCOLOR d = palette_[k] - c;
            float distance = d.r * d.r + d.g * d.g + d.b * d.b;
            if (withAlpha) distance += d.a * d.a;
            if (k == 0 || distance < bestDistance) {
                best = k;
                bestDistance = distance;
            }
        }
        return best;
    }

    bool separateAlpha_;
    D3DXCOLOR palette_[256];
};

}  // namespace

std::unique_ptr<PixelCodec> CreatePaletteCodec(const LockedPixels& locked) {
    if (locked.format != D3DFMT_P8 && locked.format != D3DFMT_A8P8) return nullptr;
    return std::unique_ptr<PixelCodec>(new (std::nothrow) PaletteCodec(locked, locked.format == D3DFMT_A8P8));
}

}  // namespace valmere
