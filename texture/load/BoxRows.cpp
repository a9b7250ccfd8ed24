// Plain forms: a pixel word is split by at most two masks into channel
// fields that have at least two clear bits above them, so the four fields
// of a block add up in place without reaching the next field; adding 2 at
// each field's lowest bit and shifting by 2 gives every channel's rounded
// mean at once. For R5G6B5 the masks are 0xF81F (red, blue) and 0x07E0
// (green). Sums are 64-bit, so the top field of a 32-bit word has room too.
#include "texture/load/BoxRows.h"

#include <emmintrin.h>

#include <cstdint>
#include <cstring>

#include "math/CpuFeatures.h"

namespace valmere {
namespace {

template <class Word>
Word Load(const std::byte* p) {
    Word w;
    std::memcpy(&w, p, sizeof w);
    return w;
}

template <class Word, std::uint32_t MaskA, std::uint32_t MaskB>
void HalveRow(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width) {
    constexpr std::uint64_t kLowA = MaskA & ~(std::uint64_t{MaskA} << 1);
    constexpr std::uint64_t kLowB = MaskB & ~(std::uint64_t{MaskB} << 1);
    constexpr std::size_t kBytes = sizeof(Word);
    for (UINT x = 0; x < width; ++x, to += kBytes, top += 2 * kBytes, bottom += 2 * kBytes) {
        const std::uint64_t p[4] = {Load<Word>(top), Load<Word>(top + kBytes), Load<Word>(bottom),
                                    Load<Word>(bottom + kBytes)};
        std::uint64_t a = 2 * kLowA, b = 2 * kLowB;
        for (std::uint64_t v : p) {
            a += v & MaskA;
            b += v & MaskB;
        }
        const auto result = static_cast<Word>(((a >> 2) & MaskA) | ((b >> 2) & MaskB));
        std::memcpy(to, &result, kBytes);
    }
}

struct IntegerForm {
    D3DFORMAT format;
    BoxRowFn row;
};

// clang-format off
constexpr IntegerForm kForms[] = {
    {D3DFMT_A8R8G8B8, HalveRow<std::uint32_t, 0x00FF00FF, 0xFF00FF00>},
    {D3DFMT_X8R8G8B8, HalveRow<std::uint32_t, 0x00FF00FF, 0x0000FF00>},
    {D3DFMT_R5G6B5,   HalveRow<std::uint16_t, 0xF81F, 0x07E0>},
    {D3DFMT_X1R5G5B5, HalveRow<std::uint16_t, 0x7C1F, 0x03E0>},
    {D3DFMT_A1R5G5B5, HalveRow<std::uint16_t, 0x7C1F, 0x83E0>},
    {D3DFMT_A4R4G4B4, HalveRow<std::uint16_t, 0x0F0F, 0xF0F0>},
    {D3DFMT_X4R4G4B4, HalveRow<std::uint16_t, 0x0F0F, 0x00F0>},
    {D3DFMT_R3G3B2,   HalveRow<std::uint8_t,  0xE3, 0x1C>},
    {D3DFMT_A8R3G3B2, HalveRow<std::uint16_t, 0x00E3, 0xFF1C>},
    {D3DFMT_A8,       HalveRow<std::uint8_t,  0xFF, 0x00>},
    {D3DFMT_L8,       HalveRow<std::uint8_t,  0xFF, 0x00>},
    {D3DFMT_A8L8,     HalveRow<std::uint16_t, 0x00FF, 0xFF00>},
    {D3DFMT_A4L4,     HalveRow<std::uint8_t,  0x0F, 0xF0>},
};
// clang-format on

// Four source pixels of each row to two destination pixels, as 16-bit lanes:
// the vertical sums of each pixel, then the two pixels of a pair added,
// rounded and shifted.
__m128i HalvePairs(__m128i top, __m128i bottom) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i left = _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));
    const __m128i right = _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero));
    const __m128i first = _mm_add_epi16(left, _mm_srli_si128(left, 8));
    const __m128i second = _mm_add_epi16(right, _mm_srli_si128(right, 8));
    const __m128i sums = _mm_unpacklo_epi64(first, second);
    return _mm_srli_epi16(_mm_add_epi16(sums, _mm_set1_epi16(2)), 2);
}

__m128i Load128(const std::byte* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }

}  // namespace

void HalveRowArgbPlain(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width) {
    kForms[0].row(to, top, bottom, width);
}

void HalveRowXrgbPlain(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width) {
    kForms[1].row(to, top, bottom, width);
}

void HalveRowArgbSimd(std::byte* to, const std::byte* top, const std::byte* bottom, UINT width) {
    UINT x = 0;
    for (; x + 4 <= width; x += 4, to += 16, top += 32, bottom += 32) {
        const __m128i low = HalvePairs(Load128(top), Load128(bottom));
        const __m128i high = HalvePairs(Load128(top + 16), Load128(bottom + 16));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(to), _mm_packus_epi16(low, high));
    }
    for (; x + 2 <= width; x += 2, to += 8, top += 16, bottom += 16)
        _mm_storel_epi64(reinterpret_cast<__m128i*>(to), _mm_packus_epi16(HalvePairs(Load128(top), Load128(bottom)),
                                                                           _mm_setzero_si128()));
    if (x < width) HalveRowArgbPlain(to, top, bottom, width - x);
}

BoxRowFn SelectBoxRow(D3DFORMAT format, UINT sourceWidth) {
    static const bool simd = math::HasMmx() != 0;
    if (simd && (format == D3DFMT_A8R8G8B8 || format == D3DFMT_X8R8G8B8))
        return sourceWidth % 4 == 0 ? HalveRowArgbSimd : HalveRowArgbPlain;
    for (const IntegerForm& form : kForms)
        if (form.format == format) return form.row;
    return nullptr;
}

}  // namespace valmere
