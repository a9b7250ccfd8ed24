// Depth test and write. Depth is z/w, linear in screen space, quantised to
// the format's depth code with rounding to nearest.
#include <cmath>
#include <type_traits>

#include "platform/d3d8/raster/RunSteps.h"

namespace valmere::raster {
namespace {

template <typename T>
T* DepthRow(const PixelPipeline& p, const Run& r) {
    return reinterpret_cast<T*>(p.depth.bits + static_cast<std::ptrdiff_t>(r.y) * p.depth.pitch) + r.x;
}

template <typename T, DWORD Func, bool Write>
void DepthTest(const PixelPipeline& p, Run& r) {
    const DepthLayout& layout = p.depthLayout;
    T* row = DepthRow<T>(p, r);
    // Float keeps 24 bits: enough for D16 and D24; D32 rounds in double.
    using Scale = std::conditional_t<sizeof(T) == 2, float, double>;
    const Scale scale = static_cast<Scale>(layout.maxValue);
    std::uint32_t mask = r.mask;
    for (int i = 0; i < r.count; ++i) {
        const float z = r.z[i];
        const Scale clamped = z > 0.0f ? (z < 1.0f ? static_cast<Scale>(z) : Scale{1}) : Scale{0};
        const std::uint32_t code = static_cast<std::uint32_t>(clamped * scale + Scale{0.5});
        r.depthCode[i] = code;
        const std::uint32_t stored = (static_cast<std::uint32_t>(row[i]) >> layout.shift) & layout.maxValue;
        if (!Compare(Func, code, stored)) {
            mask &= ~(1u << i);
        } else if (Write && (mask & (1u << i))) {
            row[i] = static_cast<T>((code << layout.shift) | (row[i] & layout.stencilMask));
        }
    }
    r.mask = mask;
}

template <typename T>
void DepthWrite(const PixelPipeline& p, Run& r) {
    const DepthLayout& layout = p.depthLayout;
    T* row = DepthRow<T>(p, r);
    for (int i = 0; i < r.count; ++i) {
        if (r.mask & (1u << i)) {
            row[i] = static_cast<T>((r.depthCode[i] << layout.shift) | (row[i] & layout.stencilMask));
        }
    }
}

template <typename T, bool Write>
RunStep ChooseFunc(DWORD func) {
    switch (func) {
    case D3DCMP_NEVER: return DepthTest<T, D3DCMP_NEVER, Write>;
    case D3DCMP_LESS: return DepthTest<T, D3DCMP_LESS, Write>;
    case D3DCMP_EQUAL: return DepthTest<T, D3DCMP_EQUAL, Write>;
    case D3DCMP_LESSEQUAL: return DepthTest<T, D3DCMP_LESSEQUAL, Write>;
    case D3DCMP_GREATER: return DepthTest<T, D3DCMP_GREATER, Write>;
    case D3DCMP_NOTEQUAL: return DepthTest<T, D3DCMP_NOTEQUAL, Write>;
    case D3DCMP_GREATEREQUAL: return DepthTest<T, D3DCMP_GREATEREQUAL, Write>;
    default: return DepthTest<T, D3DCMP_ALWAYS, Write>;
    }
}

template <typename T>
RunStep ChooseForStorage(DWORD func, bool writeInTest) {
    return writeInTest ? ChooseFunc<T, true>(func) : ChooseFunc<T, false>(func);
}

}  // namespace

RunStep ChooseDepthTest(D3DFORMAT format, DWORD func, bool writeInTest) {
    const DepthLayout layout = GetDepthLayout(format);
    if (layout.bytes == 2) return ChooseForStorage<std::uint16_t>(func, writeInTest);
    if (layout.bytes == 4) return ChooseForStorage<std::uint32_t>(func, writeInTest);
    return nullptr;
}

RunStep ChooseDepthWrite(D3DFORMAT format) {
    const DepthLayout layout = GetDepthLayout(format);
    if (layout.bytes == 2) return DepthWrite<std::uint16_t>;
    if (layout.bytes == 4) return DepthWrite<std::uint32_t>;
    return nullptr;
}

}  // namespace valmere::raster
