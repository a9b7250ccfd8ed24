#include "bench/frame/llvmpipe/GlScene.h"

#include <cstring>

#include "bench/frame/llvmpipe/GlTextures.h"
#include "world/World.h"

namespace valmere::bench {
namespace {

// Uploads `texture` with the device's sampler state; false only when the
// viewer has the texture and GL cannot take it.
bool Upload(IDirect3DDevice8* device, IDirect3DTexture8* texture, GLuint& name) {
    name = UploadTexture(device, texture);
    if (name) ApplySamplerState(device);
    return name != 0 || texture == nullptr;
}

// Client arrays over the 32-byte scene vertices, as the device reads its
// stream; an untextured mesh (a texture that did not load) is drawn white.
void DrawMesh(GLuint texture, const SceneVertex* vertices, GLenum mode, GLsizei count) {
    if (texture) {
        glEnable(GL_TEXTURE_2D);
        glBindTexture(GL_TEXTURE_2D, texture);
    } else {
        glDisable(GL_TEXTURE_2D);
    }
    glVertexPointer(3, GL_FLOAT, sizeof(SceneVertex), &vertices->x);
    glNormalPointer(GL_FLOAT, sizeof(SceneVertex), &vertices->nx);
    glTexCoordPointer(2, GL_FLOAT, sizeof(SceneVertex), &vertices->u);
    glDrawArrays(mode, 0, count);
}

}  // namespace

GlScene::~GlScene() {
    for (GLuint name : {terrain_, quad_, sky_})
        if (name) glDeleteTextures(1, &name);
    for (const TextQuad& quad : text_) glDeleteTextures(1, &quad.texture);
}

bool GlScene::Create(IDirect3DDevice8* device, const FrameResources& resources,
                     const std::vector<OverlayCoverage>& text, int width, int height) {
    width_ = width;
    height_ = height;
    if (!Upload(device, resources.terrainTexture, terrain_) || !Upload(device, resources.quadTexture, quad_) ||
        !Upload(device, resources.skyTexture, sky_))
        return false;
    BYTE* bytes = nullptr;
    if (!resources.quadBuffer || FAILED(resources.quadBuffer->Lock(0, sizeof quadVertices_, &bytes, D3DLOCK_READONLY)))
        return false;
    std::memcpy(quadVertices_, bytes, sizeof quadVertices_);
    resources.quadBuffer->Unlock();
    for (std::size_t i = 0; i < text.size() && i < std::size(kOverlayLines); ++i)
        if (GLuint name = UploadCoverage(text[i])) text_.push_back({name, text[i].placed, kOverlayLines[i].colour});

    glViewport(0, 0, width, height);
    glClearColor(0.0f, 0.0f, 0.0f, 0.0f);  // ClearScreen: black, depth 1
    glClearDepth(1.0);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    state_ = ApplyDeviceState(device);
    return glGetError() == GL_NO_ERROR;
}

void GlScene::Draw(IDirect3DDevice8* device) const {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    LoadDeviceTransforms(device, width_, height_, state_);
    DrawMesh(terrain_, g_world.terrainVertices, GL_TRIANGLES, 3 * g_world.terrainTriangleCount);
    DrawMesh(quad_, quadVertices_, GL_TRIANGLE_STRIP, 4);
    // Ten triangles: the first 30 of the sky's 60 vertices.
    DrawMesh(sky_, g_world.skyVertices, GL_TRIANGLES, 30);
    DrawText();
    glFinish();
}

// As the overlay font draws between Begin and End: no depth test, no
// lighting, source alpha over inverse source alpha, the coverage modulated
// by the line's colour; then the scene state again for the next frame.
void GlScene::DrawText() const {
    if (text_.empty()) return;
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_LIGHTING);
    glEnable(GL_BLEND);
    glEnable(GL_TEXTURE_2D);
    LoadScreenTransform(width_, height_);
    for (const TextQuad& quad : text_) {
        glBindTexture(GL_TEXTURE_2D, quad.texture);
        glColor4ub(static_cast<GLubyte>(quad.colour >> 16), static_cast<GLubyte>(quad.colour >> 8),
                   static_cast<GLubyte>(quad.colour), static_cast<GLubyte>(quad.colour >> 24));
        const auto x0 = static_cast<GLfloat>(quad.placed.left), y0 = static_cast<GLfloat>(quad.placed.top);
        const auto x1 = static_cast<GLfloat>(quad.placed.right), y1 = static_cast<GLfloat>(quad.placed.bottom);
        glBegin(GL_QUADS);
        glTexCoord2f(0.0f, 0.0f);
        glVertex2f(x0, y0);
        glTexCoord2f(0.0f, 1.0f);
        glVertex2f(x0, y1);
        glTexCoord2f(1.0f, 1.0f);
        glVertex2f(x1, y1);
        glTexCoord2f(1.0f, 0.0f);
        glVertex2f(x1, y0);
        glEnd();
    }
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glDisable(GL_BLEND);
    if (state_.depthTest) glEnable(GL_DEPTH_TEST);
    if (state_.lighting) glEnable(GL_LIGHTING);
}

}  // namespace valmere::bench
