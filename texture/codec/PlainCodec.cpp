#include "texture/codec/PlainCodec.h"

#include "texture/codec/ChannelLayout.h"
#include "texture/codec/PackedCodec.h"
#include "texture/format/PixelFormat.h"
#include "texture/format/Quantize.h"

#include <bit>
#include <cstring>
#include <new>
#include <type_traits>

namespace valmere {
namespace {

static_assert(std::endian::native == std::endian::little, "pixel words are read in host order");

constexpr std::uint32_t Mask(int bits) { return bits >= 32 ? 0xFFFFFFFFu : (1u << bits) - 1u; }

// The pixel word, little-endian. Sizes 3 and 6 are read as two power-of-two
// parts: a copy into a wider zeroed word would go through memory.
template <int Bytes>
std::uint64_t LoadPixel(const std::byte* p) {
    if constexpr (Bytes == 3 || Bytes == 6) {
        constexpr int kLow = Bytes == 3 ? 2 : 4;
        return LoadPixel<kLow>(p) | (LoadPixel<Bytes - kLow>(p + kLow) << (8 * kLow));
    } else {
        using Word = std::conditional_t<Bytes == 1, std::uint8_t,
                                        std::conditional_t<Bytes == 2, std::uint16_t,
                                                           std::conditional_t<Bytes == 4, std::uint32_t, std::uint64_t>>>;
        Word w;
        std::memcpy(&w, p, sizeof w);
        return w;
    }
}

template <int Bytes>
void StorePixel(std::byte* p, std::uint64_t word) {
    if constexpr (Bytes == 3 || Bytes == 6) {
        constexpr int kLow = Bytes == 3 ? 2 : 4;
        StorePixel<kLow>(p, word);
        StorePixel<Bytes - kLow>(p + kLow, word >> (8 * kLow));
    } else {
        using Word = std::conditional_t<Bytes == 1, std::uint8_t,
                                        std::conditional_t<Bytes == 2, std::uint16_t,
                                                           std::conditional_t<Bytes == 4, std::uint32_t, std::uint64_t>>>;
        const auto w = static_cast<Word>(word);
        std::memcpy(p, &w, sizeof w);
    }
}

template <Field F>
float DecodeField(std::uint64_t word, float fill) {
    if constexpr (F.type == FieldType::None) {
        return fill;
    } else {
        const auto raw = static_cast<std::uint32_t>(word >> F.shift) & Mask(F.bits);
        if constexpr (F.type == FieldType::Unsigned) {
            return static_cast<float>(raw) * (1.0f / static_cast<float>(Mask(F.bits)));
        } else {
            // Sign-extend from the field's top bit.
            const auto value = static_cast<std::int32_t>(raw << (32 - F.bits)) >> (32 - F.bits);
            return static_cast<float>(value) * (1.0f / static_cast<float>(1u << (F.bits - 1)));
        }
    }
}

template <Field F>
std::uint64_t EncodeField(float v, float bias) {
    if constexpr (F.type == FieldType::None) {
        return 0;
    } else if constexpr (F.type == FieldType::Unsigned) {
        const auto scale = static_cast<float>(Mask(F.bits));
        const std::int32_t n = QuantizeTruncate(ClampChannel(v, 0.0f, 1.0f), scale, bias);
        return static_cast<std::uint64_t>(n) << F.shift;
    } else {
        const auto half = static_cast<float>(1u << (F.bits - 1));
        const float largest = (half - 1.0f) / half;
        const std::int32_t n = QuantizeTruncate(ClampChannel(v, -1.0f, largest), half, bias);
        return static_cast<std::uint64_t>(static_cast<std::uint32_t>(n) & Mask(F.bits)) << F.shift;
    }
}

template <ChannelLayout L>
class PlainCodec final : public PackedCodec {
public:
    explicit PlainCodec(const LockedPixels& locked) : PackedCodec(locked, L.bytesPerPixel, KindOf(L)) {}

private:
    void DecodePixels(const std::byte* source, D3DXCOLOR* out, UINT count) const override {
        for (UINT i = 0; i < count; ++i, source += L.bytesPerPixel) {
            const std::uint64_t word = LoadPixel<L.bytesPerPixel>(source);
            D3DXCOLOR& c = out[i];
            c.r = DecodeField<L.r>(word, L.fillR);
            if constexpr (L.luminance) {
                c.g = c.r;
                c.b = c.r;
            } else {
                c.g = DecodeField<L.g>(word, L.fillG);
                c.b = DecodeField<L.b>(word, L.fillB);
            }
            c.a = DecodeField<L.a>(word, L.fillA);
        }
    }

    void EncodePixels(std::byte* destination, const D3DXCOLOR* in, UINT count, const float* dither) const override {
        for (UINT i = 0; i < count; ++i, destination += L.bytesPerPixel) {
            const D3DXCOLOR& c = in[i];
            const float d = dither[i & 3];
            std::uint64_t word = 0;
            if constexpr (L.luminance) {
                const float luminance = 0.0721f * c.b + 0.7154f * c.g + 0.2125f * c.r;
                word = EncodeField<L.r>(luminance, d);
            } else {
                word = EncodeField<L.r>(c.r, d) | EncodeField<L.g>(c.g, d) | EncodeField<L.b>(c.b, d);
            }
            word |= EncodeField<L.a>(c.a, d);
            StorePixel<L.bytesPerPixel>(destination, word);
        }
    }
};

constexpr Field kNone{};

// clang-format off
//                                      bytes  r             g             b             a
constexpr ChannelLayout kR8G8B8       {3, U(16, 8),  U(8, 8),   U(0, 8),   kNone};
constexpr ChannelLayout kA8R8G8B8     {4, U(16, 8),  U(8, 8),   U(0, 8),   U(24, 8)};
constexpr ChannelLayout kX8R8G8B8     {4, U(16, 8),  U(8, 8),   U(0, 8),   kNone};
constexpr ChannelLayout kR5G6B5       {2, U(11, 5),  U(5, 6),   U(0, 5),   kNone};
constexpr ChannelLayout kX1R5G5B5     {2, U(10, 5),  U(5, 5),   U(0, 5),   kNone};
constexpr ChannelLayout kA1R5G5B5     {2, U(10, 5),  U(5, 5),   U(0, 5),   U(15, 1)};
constexpr ChannelLayout kA4R4G4B4     {2, U(8, 4),   U(4, 4),   U(0, 4),   U(12, 4)};
constexpr ChannelLayout kX4R4G4B4     {2, U(8, 4),   U(4, 4),   U(0, 4),   kNone};
constexpr ChannelLayout kR3G3B2       {1, U(5, 3),   U(2, 3),   U(0, 2),   kNone};
constexpr ChannelLayout kA8R3G3B2     {2, U(5, 3),   U(2, 3),   U(0, 2),   U(8, 8)};
constexpr ChannelLayout kA8           {1, kNone,     kNone,     kNone,     U(0, 8)};
constexpr ChannelLayout kA2B10G10R10  {4, U(0, 10),  U(10, 10), U(20, 10), U(30, 2)};
constexpr ChannelLayout kG16R16       {4, U(0, 16),  U(16, 16), kNone,     kNone,    0, 0, 1, 1};
constexpr ChannelLayout kL8           {1, U(0, 8),   kNone,     kNone,     kNone,    0, 0, 0, 1, true};
constexpr ChannelLayout kA8L8         {2, U(0, 8),   kNone,     kNone,     U(8, 8),  0, 0, 0, 1, true};
constexpr ChannelLayout kA4L4         {1, U(0, 4),   kNone,     kNone,     U(4, 4),  0, 0, 0, 1, true};
constexpr ChannelLayout kL16          {2, U(0, 16),  kNone,     kNone,     kNone,    0, 0, 0, 1, true};
constexpr ChannelLayout kAL16         {4, U(0, 16),  kNone,     kNone,     U(16, 16), 0, 0, 0, 1, true};
constexpr ChannelLayout kR16          {6, U(32, 16), U(16, 16), U(0, 16),  kNone};
constexpr ChannelLayout kAR16         {8, U(32, 16), U(16, 16), U(0, 16),  U(48, 16)};
constexpr ChannelLayout kV8U8         {2, S(0, 8),   S(8, 8),   kNone,     kNone};
constexpr ChannelLayout kL6V5U5       {2, S(0, 5),   S(5, 5),   kNone,     U(10, 6)};
constexpr ChannelLayout kX8L8V8U8     {4, S(0, 8),   S(8, 8),   kNone,     U(16, 8)};
constexpr ChannelLayout kQ8W8V8U8     {4, S(0, 8),   S(8, 8),   S(16, 8),  S(24, 8)};
constexpr ChannelLayout kV16U16       {4, S(0, 16),  S(16, 16), kNone,     kNone};
constexpr ChannelLayout kW11V11U10    {4, S(0, 10),  S(10, 11), S(21, 11), kNone};
constexpr ChannelLayout kA2W10V10U10  {4, S(0, 10),  S(10, 10), S(20, 10), U(30, 2)};
// clang-format on

using Factory = PixelCodec* (*)(const LockedPixels&);

template <ChannelLayout L>
PixelCodec* Make(const LockedPixels& locked) {
    return new (std::nothrow) PlainCodec<L>(locked);
}

struct PlainFormat {
    D3DFORMAT format;
    Factory make;
};

constexpr PlainFormat kPlainFormats[] = {
    {D3DFMT_R8G8B8, Make<kR8G8B8>},           {D3DFMT_A8R8G8B8, Make<kA8R8G8B8>},
    {D3DFMT_X8R8G8B8, Make<kX8R8G8B8>},       {D3DFMT_R5G6B5, Make<kR5G6B5>},
    {D3DFMT_X1R5G5B5, Make<kX1R5G5B5>},       {D3DFMT_A1R5G5B5, Make<kA1R5G5B5>},
    {D3DFMT_A4R4G4B4, Make<kA4R4G4B4>},       {D3DFMT_X4R4G4B4, Make<kX4R4G4B4>},
    {D3DFMT_R3G3B2, Make<kR3G3B2>},           {D3DFMT_A8R3G3B2, Make<kA8R3G3B2>},
    {D3DFMT_A8, Make<kA8>},                   {D3DFMT_A2B10G10R10, Make<kA2B10G10R10>},
    {D3DFMT_G16R16, Make<kG16R16>},           {D3DFMT_L8, Make<kL8>},
    {D3DFMT_A8L8, Make<kA8L8>},               {D3DFMT_A4L4, Make<kA4L4>},
    {D3DFMT_D16_LOCKABLE, Make<kL16>},        {kFormatL16, Make<kL16>},
    {kFormatAL16, Make<kAL16>},               {kFormatR16, Make<kR16>},
    {kFormatAR16, Make<kAR16>},               {D3DFMT_V8U8, Make<kV8U8>},
    {D3DFMT_L6V5U5, Make<kL6V5U5>},           {D3DFMT_X8L8V8U8, Make<kX8L8V8U8>},
    {D3DFMT_Q8W8V8U8, Make<kQ8W8V8U8>},       {D3DFMT_V16U16, Make<kV16U16>},
    {D3DFMT_W11V11U10, Make<kW11V11U10>},     {D3DFMT_A2W10V10U10, Make<kA2W10V10U10>},
};

}  // namespace

std::unique_ptr<PixelCodec> CreatePlainCodec(const LockedPixels& locked) {
    for (const PlainFormat& f : kPlainFormats) {
        if (f.format == locked.format) return std::unique_ptr<PixelCodec>(f.make(locked));
    }
    return nullptr;
}

}  // namespace valmere
