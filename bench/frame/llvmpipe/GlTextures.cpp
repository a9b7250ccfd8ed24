#include "bench/frame/llvmpipe/GlTextures.h"

#include <vector>

#include "texture/D3DXTexture.h"

namespace valmere::bench {
namespace {

// Level `level` of `texture` in A8R8G8B8 (bytes B, G, R, A) into the bound
// GL texture.
bool UploadLevel(IDirect3DDevice8* device, IDirect3DTexture8* texture, UINT level) {
    D3DSURFACE_DESC desc{};
    IDirect3DSurface8* source = nullptr;
    IDirect3DSurface8* bgra = nullptr;
    bool uploaded = false;
    if (SUCCEEDED(texture->GetLevelDesc(level, &desc)) && SUCCEEDED(texture->GetSurfaceLevel(level, &source)) &&
        SUCCEEDED(device->CreateImageSurface(desc.Width, desc.Height, D3DFMT_A8R8G8B8, &bgra)) &&
        SUCCEEDED(D3DXLoadSurfaceFromSurface(bgra, nullptr, nullptr, source, nullptr, nullptr, D3DX_FILTER_NONE, 0))) {
        D3DLOCKED_RECT locked{};
        if (SUCCEEDED(bgra->LockRect(&locked, nullptr, D3DLOCK_READONLY))) {
            glPixelStorei(GL_UNPACK_ROW_LENGTH, locked.Pitch / 4);
            glTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(level), GL_RGBA8, static_cast<GLsizei>(desc.Width),
                         static_cast<GLsizei>(desc.Height), 0, GL_BGRA, GL_UNSIGNED_BYTE, locked.pBits);
            glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
            bgra->UnlockRect();
            uploaded = glGetError() == GL_NO_ERROR;
        }
    }
    if (bgra) bgra->Release();
    if (source) source->Release();
    return uploaded;
}

}  // namespace

GLuint UploadTexture(IDirect3DDevice8* device, IDirect3DTexture8* texture) {
    if (!texture) return 0;
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    const UINT levels = texture->GetLevelCount();
    for (UINT level = 0; level < levels; ++level) {
        if (!UploadLevel(device, texture, level)) {
            glDeleteTextures(1, &name);
            return 0;
        }
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, static_cast<GLint>(levels) - 1);
    return name;
}

GLuint UploadCoverage(const OverlayCoverage& coverage) {
    if (coverage.width <= 0 || coverage.height <= 0) return 0;
    std::vector<GLubyte> rgba(coverage.alpha.size() * 4, 255);
    for (std::size_t i = 0; i < coverage.alpha.size(); ++i) rgba[4 * i + 3] = coverage.alpha[i];
    GLuint name = 0;
    glGenTextures(1, &name);
    glBindTexture(GL_TEXTURE_2D, name);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, coverage.width, coverage.height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                 rgba.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
    return name;
}

}  // namespace valmere::bench
