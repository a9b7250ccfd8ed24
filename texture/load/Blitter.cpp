#include "texture/load/Blitter.h"

#include "texture/load/BlitJob.h"

namespace valmere {
namespace {

constexpr DWORD kFilterFlags = D3DX_FILTER_MIRROR | D3DX_FILTER_DITHER;

// In order of trial. Box, linear and triangle each serve planar images and
// volumes with one piece of code, so they stand once.
constexpr bool (*kStrategies[])(const BlitJob&) = {
    RawCopy, ConvertingCopy, UnfilteredCrop, PointResample, BoxHalving, LinearResample, TriangleResample,
};

}  // namespace

bool IsValidFilter(DWORD filter) {
    const DWORD type = filter & 0xFFFF;
    return type >= D3DX_FILTER_NONE && type <= D3DX_FILTER_BOX && (filter & 0xFFFF0000u & ~kFilterFlags) == 0;
}

HRESULT Blit(LockedPixels& destination, const LockedPixels& source, DWORD filter) {
    if (!IsValidFilter(filter)) return D3DERR_INVALIDCALL;
    destination.dither = (filter & D3DX_FILTER_DITHER) ? TRUE : FALSE;
    const std::unique_ptr<PixelCodec> encoder = CreatePixelCodec(destination);
    if (!encoder) return E_FAIL;
    const std::unique_ptr<PixelCodec> decoder = CreatePixelCodec(source);
    if (!decoder) return E_FAIL;
    const HRESULT hr = AcceptSourceKind(*encoder, *decoder);
    if (FAILED(hr)) return hr;
    const BlitJob job{destination, source, *encoder, *decoder, filter};
    for (auto strategy : kStrategies)
        if (strategy(job)) return S_OK;
    return E_FAIL;
}

}  // namespace valmere
