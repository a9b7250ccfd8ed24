// The viewer's frame drawn through OpenGL 1.x fixed function: the terrain
// and sky straight from g_world's vertex arrays, the ground quad from the
// viewer's vertex buffer, the viewer's textures with every mip level, the
// device's transforms and scene state, and the two overlay lines as
// alpha-blended quads of GDI coverage tinted by their colours.
#pragma once

#include "bench/frame/llvmpipe/Gl.h"

#include <vector>

#include "app/FrameLoop.h"
#include "bench/frame/OverlayText.h"
#include "bench/frame/llvmpipe/GlState.h"
#include "world/SceneVertex.h"

namespace valmere::bench {

class GlScene {
public:
    GlScene() = default;
    GlScene(const GlScene&) = delete;
    GlScene& operator=(const GlScene&) = delete;
    ~GlScene();

    // On the current GL context: uploads the textures and coverage, copies
    // the quad's vertices and takes over the device's scene state. False
    // when a texture the viewer has cannot be uploaded or the quad read.
    bool Create(IDirect3DDevice8* device, const FrameResources& resources, const std::vector<OverlayCoverage>& text,
                int width, int height);
    // One frame as DrawFrame draws it after the world update: clear to
    // black and depth 1, terrain, quad, sky, text, then glFinish.
    void Draw(IDirect3DDevice8* device) const;

private:
    struct TextQuad {
        GLuint texture;
        RECT placed;
        D3DCOLOR colour;
    };
    void DrawText() const;

    GlSceneState state_;
    GLuint terrain_ = 0, quad_ = 0, sky_ = 0;
    SceneVertex quadVertices_[4]{};
    std::vector<TextQuad> text_;
    int width_ = 0, height_ = 0;
};

}  // namespace valmere::bench
