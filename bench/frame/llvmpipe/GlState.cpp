#include "bench/frame/llvmpipe/GlState.h"

namespace valmere::bench {
namespace {

DWORD RenderState(IDirect3DDevice8* device, D3DRENDERSTATETYPE state) {
    DWORD value = 0;
    device->GetRenderState(state, &value);
    return value;
}

DWORD StageState(IDirect3DDevice8* device, D3DTEXTURESTAGESTATETYPE type) {
    DWORD value = 0;
    device->GetTextureStageState(0, type, &value);
    return value;
}

void Colour(GLenum face, GLenum name, const D3DCOLORVALUE& c, bool light) {
    const GLfloat v[4] = {c.r, c.g, c.b, c.a};
    if (light) glLightfv(face, name, v);
    else glMaterialfv(face, name, v);
}

GLint Address(DWORD mode) {
    switch (mode) {
        case D3DTADDRESS_MIRROR: return GL_MIRRORED_REPEAT;
        case D3DTADDRESS_CLAMP: return GL_CLAMP_TO_EDGE;
        case D3DTADDRESS_BORDER: return GL_CLAMP_TO_BORDER;
        default: return GL_REPEAT;
    }
}

void Lighting(IDirect3DDevice8* device, GlSceneState& state) {
    glEnable(GL_LIGHTING);
    const DWORD ambient = RenderState(device, D3DRS_AMBIENT);
    const GLfloat global[4] = {((ambient >> 16) & 0xFF) / 255.0f, ((ambient >> 8) & 0xFF) / 255.0f,
                               (ambient & 0xFF) / 255.0f, (ambient >> 24) / 255.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, global);
    D3DMATERIAL8 material{};
    device->GetMaterial(&material);
    Colour(GL_FRONT_AND_BACK, GL_DIFFUSE, material.Diffuse, false);
    Colour(GL_FRONT_AND_BACK, GL_AMBIENT, material.Ambient, false);
    Colour(GL_FRONT_AND_BACK, GL_EMISSION, material.Emissive, false);
    D3DLIGHT8 light{};
    BOOL enabled = FALSE;
    device->GetLightEnable(0, &enabled);
    if (!enabled || FAILED(device->GetLight(0, &light)) || light.Type != D3DLIGHT_DIRECTIONAL) return;
    glEnable(GL_LIGHT0);
    Colour(GL_LIGHT0, GL_DIFFUSE, light.Diffuse, true);
    Colour(GL_LIGHT0, GL_AMBIENT, light.Ambient, true);
    Colour(GL_LIGHT0, GL_SPECULAR, light.Specular, true);
    // Direct3D's direction is where the light goes; GL's w = 0 position
    // points towards the light.
    state.light0 = true;
    state.lightTowards[0] = -light.Direction.x;
    state.lightTowards[1] = -light.Direction.y;
    state.lightTowards[2] = -light.Direction.z;
}

}  // namespace

GlSceneState ApplyDeviceState(IDirect3DDevice8* device) {
    GlSceneState state;
    state.depthTest = RenderState(device, D3DRS_ZENABLE) != D3DZB_FALSE;
    if (state.depthTest) glEnable(GL_DEPTH_TEST);
    else glDisable(GL_DEPTH_TEST);
    // D3DCMP_NEVER .. D3DCMP_ALWAYS (1..8) and GL_NEVER .. GL_ALWAYS run in
    // the same order.
    const DWORD compare = RenderState(device, D3DRS_ZFUNC);
    glDepthFunc(compare >= 1 && compare <= 8 ? GL_NEVER + static_cast<GLenum>(compare - 1) : GL_LEQUAL);
    glDepthMask(RenderState(device, D3DRS_ZWRITEENABLE) ? GL_TRUE : GL_FALSE);
    // The device culls by winding on its y-down screen; GL's window rows
    // run upwards, which turns every winding round.
    const DWORD cull = RenderState(device, D3DRS_CULLMODE);
    if (cull == D3DCULL_NONE) {
        glDisable(GL_CULL_FACE);
    } else {
        glEnable(GL_CULL_FACE);
        glCullFace(GL_BACK);
        glFrontFace(cull == D3DCULL_CCW ? GL_CCW : GL_CW);
    }
    state.lighting = RenderState(device, D3DRS_LIGHTING) != FALSE;
    if (state.lighting) Lighting(device, state);
    else glDisable(GL_LIGHTING);
    // Without lighting the device's vertices have no colour and count as
    // opaque white; the stage modulates the texture by it.
    glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    return state;
}

void ApplySamplerState(IDirect3DDevice8* device) {
    const bool minLinear = StageState(device, D3DTSS_MINFILTER) != D3DTEXF_POINT;
    const DWORD mip = StageState(device, D3DTSS_MIPFILTER);
    GLint minFilter = minLinear ? GL_LINEAR : GL_NEAREST;
    if (mip == D3DTEXF_POINT) minFilter = minLinear ? GL_LINEAR_MIPMAP_NEAREST : GL_NEAREST_MIPMAP_NEAREST;
    if (mip >= D3DTEXF_LINEAR) minFilter = minLinear ? GL_LINEAR_MIPMAP_LINEAR : GL_NEAREST_MIPMAP_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, minFilter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER,
                    StageState(device, D3DTSS_MAGFILTER) == D3DTEXF_POINT ? GL_NEAREST : GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, Address(StageState(device, D3DTSS_ADDRESSU)));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, Address(StageState(device, D3DTSS_ADDRESSV)));
}

void LoadDeviceTransforms(IDirect3DDevice8* device, int width, int height, const GlSceneState& state) {
    D3DMATRIX world{}, view{}, projection{};
    device->GetTransform(D3DTS_WORLD, &world);
    device->GetTransform(D3DTS_VIEW, &view);
    device->GetTransform(D3DTS_PROJECTION, &projection);
    // Row-vector form, applied after the projection: x' = x + w/width,
    // y' = y - w/height, z' = 2z - w, w' = w.
    const GLfloat toGl[16] = {
        1.0f, 0.0f, 0.0f, 0.0f,  //
        0.0f, 1.0f, 0.0f, 0.0f,  //
        0.0f, 0.0f, 2.0f, 0.0f,  //
        1.0f / static_cast<GLfloat>(width), -1.0f / static_cast<GLfloat>(height), -1.0f, 1.0f,
    };
    // GL multiplies on the right, so the row-vector product W V reads
    // V then W, and P C reads C then P.
    glMatrixMode(GL_PROJECTION);
    glLoadMatrixf(toGl);
    glMultMatrixf(&projection.m[0][0]);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(&view.m[0][0]);
    // GL keeps a light's position in eye space, transformed by the
    // modelview of the moment: the view alone puts it in world space.
    if (state.light0) glLightfv(GL_LIGHT0, GL_POSITION, state.lightTowards);
    glMultMatrixf(&world.m[0][0]);
}

void LoadScreenTransform(int width, int height) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // Screen x = -0.5 and width - 0.5 are the outer edges of the first and
    // last pixel when centres lie at integers.
    glOrtho(-0.5, width - 0.5, height - 0.5, -0.5, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

}  // namespace valmere::bench
