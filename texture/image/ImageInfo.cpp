// The image-information entry points: the description of an image file
// without its pixels.
#include "texture/D3DXTexture.h"
#include "texture/image/LoadImage.h"
#include "texture/image/MappedFile.h"

namespace {

HRESULT InfoOfBytes(const BYTE* bytes, std::size_t size, D3DXIMAGE_INFO* info) {
    valmere::DecodedImage image;
    return valmere::LoadImage(image, bytes, size, info, false);
}

template <typename Source, typename... Name>
HRESULT InfoOfSource(D3DXIMAGE_INFO* info, Name... name) {
    Source source;
    HRESULT hr = source.Open(name...);
    if (FAILED(hr)) {
        return hr;
    }
    return InfoOfBytes(source.Data(), source.Size(), info);
}

}  // namespace

HRESULT WINAPI D3DXGetImageInfoFromFileInMemory(LPCVOID pSrcData, UINT SrcDataSize, D3DXIMAGE_INFO* pSrcInfo) {
    if (!pSrcData || SrcDataSize == 0) {
        return D3DERR_INVALIDCALL;
    }
    return InfoOfBytes(static_cast<const BYTE*>(pSrcData), SrcDataSize, pSrcInfo);
}

HRESULT WINAPI D3DXGetImageInfoFromFileA(LPCSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
    return InfoOfSource<valmere::MappedFile>(pSrcInfo, pSrcFile);
}

HRESULT WINAPI D3DXGetImageInfoFromFileW(LPCWSTR pSrcFile, D3DXIMAGE_INFO* pSrcInfo) {
    return InfoOfSource<valmere::MappedFile>(pSrcInfo, pSrcFile);
}

HRESULT WINAPI D3DXGetImageInfoFromResourceA(HMODULE hSrcModule, LPCSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo) {
    return InfoOfSource<valmere::ResourceBlock>(pSrcInfo, hSrcModule, pSrcResource);
}

HRESULT WINAPI D3DXGetImageInfoFromResourceW(HMODULE hSrcModule, LPCWSTR pSrcResource, D3DXIMAGE_INFO* pSrcInfo) {
    return InfoOfSource<valmere::ResourceBlock>(pSrcInfo, hSrcModule, pSrcResource);
}
