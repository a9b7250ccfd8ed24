// Vertex processing. Lighting is computed in world space (the light
// positions and directions of D3DLIGHT8 are world-space values); the
// results equal camera-space lighting for the rigid view transforms used.
#include "platform/d3d8/raster/VertexProcessing.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace valmere::raster {
namespace {

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(Vec3 a, float s) { return {a.x * s, a.y * s, a.z * s}; }
float Dot(Vec3 a, Vec3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
float Length(Vec3 a) { return std::sqrt(Dot(a, a)); }
Vec3 Normalize(Vec3 a) {
    const float len = Length(a);
    return len > 0.0f ? a * (1.0f / len) : a;
}

struct Color {
    float r = 0, g = 0, b = 0, a = 0;
};

Color operator+(Color a, Color b) { return {a.r + b.r, a.g + b.g, a.b + b.b, a.a + b.a}; }
Color operator*(Color a, Color b) { return {a.r * b.r, a.g * b.g, a.b * b.b, a.a * b.a}; }
Color operator*(Color a, float s) { return {a.r * s, a.g * s, a.b * s, a.a * s}; }
Color FromValue(const D3DCOLORVALUE& v) { return {v.r, v.g, v.b, v.a}; }
Color FromArgb(std::uint32_t c) {
    constexpr float k = 1.0f / 255.0f;
    return {static_cast<float>((c >> 16) & 0xFF) * k, static_cast<float>((c >> 8) & 0xFF) * k,
            static_cast<float>(c & 0xFF) * k, static_cast<float>(c >> 24) * k};
}

// Writes a colour as four attributes in 0..255, clamped.
void StoreColor(Color c, float* attr) {
    const float values[4] = {c.r, c.g, c.b, c.a};
    for (int i = 0; i < 4; ++i) attr[i] = std::clamp(values[i], 0.0f, 1.0f) * 255.0f;
}

using Matrix = D3DMATRIX;

Matrix Multiply(const Matrix& a, const Matrix& b) {
    Matrix r{};
    for (int i = 0; i < 4; ++i) {
        for (int j = 0; j < 4; ++j) {
            r.m[i][j] = a.m[i][0] * b.m[0][j] + a.m[i][1] * b.m[1][j] + a.m[i][2] * b.m[2][j] + a.m[i][3] * b.m[3][j];
        }
    }
    return r;
}

// Inverse of the upper-left 3x3 block (row-vector convention); a singular
// block yields the identity so that lighting stays finite.
void Inverse3x3(const Matrix& m, float inv[3][3]) {
    const float a = m.m[0][0], b = m.m[0][1], c = m.m[0][2];
    const float d = m.m[1][0], e = m.m[1][1], f = m.m[1][2];
    const float g = m.m[2][0], h = m.m[2][1], i = m.m[2][2];
    const float det = a * (e * i - f * h) - b * (d * i - f * g) + c * (d * h - e * g);
    if (det == 0.0f || !std::isfinite(det)) {
        for (int r = 0; r < 3; ++r) {
            for (int k = 0; k < 3; ++k) inv[r][k] = r == k ? 1.0f : 0.0f;
        }
        return;
    }
    const float s = 1.0f / det;
    inv[0][0] = (e * i - f * h) * s;
    inv[0][1] = (c * h - b * i) * s;
    inv[0][2] = (b * f - c * e) * s;
    inv[1][0] = (f * g - d * i) * s;
    inv[1][1] = (a * i - c * g) * s;
    inv[1][2] = (c * d - a * f) * s;
    inv[2][0] = (d * h - e * g) * s;
    inv[2][1] = (b * g - a * h) * s;
    inv[2][2] = (a * e - b * d) * s;
}

Vec3 RowTimes3x3(Vec3 v, const float m[3][3]) {
    return {v.x * m[0][0] + v.y * m[1][0] + v.z * m[2][0], v.x * m[0][1] + v.y * m[1][1] + v.z * m[2][1],
            v.x * m[0][2] + v.y * m[1][2] + v.z * m[2][2]};
}

Vec3 TransformPoint(Vec3 p, const Matrix& m) {
    return {p.x * m._11 + p.y * m._21 + p.z * m._31 + m._41, p.x * m._12 + p.y * m._22 + p.z * m._32 + m._42,
            p.x * m._13 + p.y * m._23 + p.z * m._33 + m._43};
}

float ReadFloat(const std::uint8_t* p) {
    float f;
    std::memcpy(&f, p, sizeof f);
    return f;
}

std::uint32_t ReadDword(const std::uint8_t* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Everything the per-vertex lighting needs, derived once per draw.
struct LightingSetup {
    bool enabled = false;
    bool specularEnabled = false;
    bool normalize = false;
    bool localViewer = true;
    Color globalAmbient;
    float normalMatrix[3][3] = {};  // transposed inverse of the world block, applied as a row product
    Vec3 eye;                       // camera position in world space
    Vec3 viewDirection;             // towards the viewer, for a non-local viewer
    DWORD sourceDiffuse = D3DMCS_COLOR1, sourceSpecular = D3DMCS_COLOR2;
    DWORD sourceAmbient = D3DMCS_MATERIAL, sourceEmissive = D3DMCS_MATERIAL;
};

LightingSetup PrepareLighting(const PipelineState& s) {
    LightingSetup l;
    l.enabled = s.renderStates[D3DRS_LIGHTING] != 0;
    if (!l.enabled) return l;
    l.specularEnabled = s.renderStates[D3DRS_SPECULARENABLE] != 0;
    l.normalize = s.renderStates[D3DRS_NORMALIZENORMALS] != 0;
    l.localViewer = s.renderStates[D3DRS_LOCALVIEWER] != 0;
    l.globalAmbient = FromArgb(s.renderStates[D3DRS_AMBIENT]);
    float inv[3][3];
    Inverse3x3(s.world, inv);
    for (int r = 0; r < 3; ++r) {
        for (int c = 0; c < 3; ++c) l.normalMatrix[r][c] = inv[c][r];
    }
    float viewInv[3][3];
    Inverse3x3(s.view, viewInv);
    const Vec3 t{s.view._41, s.view._42, s.view._43};
    l.eye = RowTimes3x3(t, viewInv) * -1.0f;
    l.viewDirection = Normalize(RowTimes3x3(Vec3{0, 0, -1}, viewInv));
    if (s.renderStates[D3DRS_COLORVERTEX] != 0) {
        l.sourceDiffuse = s.renderStates[D3DRS_DIFFUSEMATERIALSOURCE];
        l.sourceSpecular = s.renderStates[D3DRS_SPECULARMATERIALSOURCE];
        l.sourceAmbient = s.renderStates[D3DRS_AMBIENTMATERIALSOURCE];
        l.sourceEmissive = s.renderStates[D3DRS_EMISSIVEMATERIALSOURCE];
    } else {
        l.sourceDiffuse = l.sourceSpecular = l.sourceAmbient = l.sourceEmissive = D3DMCS_MATERIAL;
    }
    return l;
}

// Material colour from its source: the vertex's diffuse (COLOR1) or
// specular (COLOR2) colour when the vertex has it, else the material's.
Color MaterialColor(DWORD source, const D3DCOLORVALUE& material, const std::uint8_t* v, const FvfLayout& layout) {
    if (source == D3DMCS_COLOR1 && layout.diffuse >= 0) return FromArgb(ReadDword(v + layout.diffuse));
    if (source == D3DMCS_COLOR2 && layout.specular >= 0) return FromArgb(ReadDword(v + layout.specular));
    return FromValue(material);
}

// Distance attenuation and spot cone factor of one light at a point;
// returns false when the light does not reach it. toLight is normalised.
bool LightReach(const D3DLIGHT8& light, Vec3 position, Vec3& toLight, float& factor) {
    if (light.Type == D3DLIGHT_DIRECTIONAL) {
        toLight = Normalize(Vec3{-light.Direction.x, -light.Direction.y, -light.Direction.z});
        factor = 1.0f;
        return true;
    }
    const Vec3 delta = Vec3{light.Position.x, light.Position.y, light.Position.z} - position;
    const float distance = Length(delta);
    if (distance > light.Range) return false;
    toLight = distance > 0.0f ? delta * (1.0f / distance) : Vec3{0, 0, 0};
    const float denominator =
        light.Attenuation0 + light.Attenuation1 * distance + light.Attenuation2 * distance * distance;
    factor = denominator > 0.0f ? 1.0f / denominator : 1.0f;
    if (light.Type == D3DLIGHT_SPOT) {
        const Vec3 axis = Normalize(Vec3{light.Direction.x, light.Direction.y, light.Direction.z});
        const float rho = -Dot(toLight, axis);
        const float cosInner = std::cos(light.Theta * 0.5f), cosOuter = std::cos(light.Phi * 0.5f);
        if (rho <= cosOuter) return false;
        if (rho < cosInner) {
            const float t = (rho - cosOuter) / std::max(cosInner - cosOuter, 1e-6f);
            factor *= light.Falloff == 1.0f ? t : std::pow(t, light.Falloff);
        }
    }
    return true;
}

void LightVertex(const PipelineState& s, const LightingSetup& l, const FvfLayout& layout, const std::uint8_t* v,
                 Vec3 worldPosition, ClipVertex& out) {
    Vec3 normal{};
    if (layout.normal >= 0) {
        const std::uint8_t* n = v + layout.normal;
        normal = RowTimes3x3(Vec3{ReadFloat(n), ReadFloat(n + 4), ReadFloat(n + 8)}, l.normalMatrix);
        if (l.normalize) normal = Normalize(normal);
    }
    const Color diffuseMaterial = MaterialColor(l.sourceDiffuse, s.material.Diffuse, v, layout);
    const Color ambientMaterial = MaterialColor(l.sourceAmbient, s.material.Ambient, v, layout);
    const Color specularMaterial = MaterialColor(l.sourceSpecular, s.material.Specular, v, layout);
    const Color emissiveMaterial = MaterialColor(l.sourceEmissive, s.material.Emissive, v, layout);
    const Vec3 toViewer = l.localViewer ? Normalize(l.eye - worldPosition) : l.viewDirection;

    Color ambient = l.globalAmbient, diffuse, specular;
    for (int i = 0; i < std::min(s.lightCount, kMaxActiveLights); ++i) {
        const D3DLIGHT8& light = s.lights[i].light;
        Vec3 toLight;
        float factor = 0.0f;
        if (!LightReach(light, worldPosition, toLight, factor)) continue;
        ambient = ambient + FromValue(light.Ambient) * factor;
        const float nDotL = Dot(normal, toLight);
        if (nDotL <= 0.0f) continue;
        diffuse = diffuse + FromValue(light.Diffuse) * (nDotL * factor);
        if (l.specularEnabled) {
            const float nDotH = Dot(normal, Normalize(toLight + toViewer));
            if (nDotH > 0.0f) {
                specular = specular + FromValue(light.Specular) * (std::pow(nDotH, s.material.Power) * factor);
            }
        }
    }
    Color lit = emissiveMaterial + ambient * ambientMaterial + diffuse * diffuseMaterial;
    lit.a = diffuseMaterial.a;
    StoreColor(lit, out.attr + kAttrDiffuse);
    Color highlight = specular * specularMaterial;
    highlight.a = specularMaterial.a;
    StoreColor(l.specularEnabled ? highlight : Color{}, out.attr + kAttrSpecular);
}

// The colours of an unlit vertex: its own, or opaque white and no specular
// (`absent`, worked out once per draw) where the format has none.
static_assert(kAttrSpecular == kAttrDiffuse + 4, "the two colours are one block of eight attributes");
void UnlitColors(const FvfLayout& layout, const std::uint8_t* v, const float* absent, ClipVertex& out) {
    if (layout.diffuse < 0 && layout.specular < 0) {
        std::copy(absent, absent + 8, out.attr + kAttrDiffuse);
        return;
    }
    const std::uint32_t diffuse = layout.diffuse >= 0 ? ReadDword(v + layout.diffuse) : 0xFFFFFFFFu;
    const std::uint32_t specular = layout.specular >= 0 ? ReadDword(v + layout.specular) : 0u;
    StoreColor(FromArgb(diffuse), out.attr + kAttrDiffuse);
    StoreColor(FromArgb(specular), out.attr + kAttrSpecular);
}

void TextureCoordinates(const PipelineState& s, const FvfLayout& layout, const std::uint8_t* v, ClipVertex& out) {
    for (int stage = 0; stage < kMaxStages; ++stage) {
        const DWORD set = s.stageStates[stage][D3DTSS_TEXCOORDINDEX] & 0xFFFF;
        float* uv = out.attr + kAttrTex + 2 * stage;
        uv[0] = uv[1] = 0.0f;
        if (set >= static_cast<DWORD>(layout.texSetCount)) continue;
        const std::uint8_t* t = v + layout.texOffset[set];
        uv[0] = ReadFloat(t);
        if (layout.texDimension[set] >= 2) uv[1] = ReadFloat(t + 4);
    }
}

}  // namespace

FvfLayout ParseFvf(DWORD fvf) {
    FvfLayout layout;
    int offset = 0;
    switch (fvf & D3DFVF_POSITION_MASK) {
    case D3DFVF_XYZ: offset = 12; break;
    case D3DFVF_XYZRHW:
        offset = 16;
        layout.pretransformed = true;
        break;
    case D3DFVF_XYZB1: offset = 16; break;
    case D3DFVF_XYZB2: offset = 20; break;
    case D3DFVF_XYZB3: offset = 24; break;
    case D3DFVF_XYZB4: offset = 28; break;
    case D3DFVF_XYZB5: offset = 32; break;
    default: return layout;  // no position: nothing to draw
    }
    if (fvf & D3DFVF_NORMAL) {
        layout.normal = offset;
        offset += 12;
    }
    if (fvf & D3DFVF_PSIZE) offset += 4;
    if (fvf & D3DFVF_DIFFUSE) {
        layout.diffuse = offset;
        offset += 4;
    }
    if (fvf & D3DFVF_SPECULAR) {
        layout.specular = offset;
        offset += 4;
    }
    layout.texSetCount = std::min<int>((fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT, kMaxFvfTexSets);
    for (int i = 0; i < layout.texSetCount; ++i) {
        // Two bits per set from bit 16: 0 = two floats, 1 = three, 2 = four, 3 = one.
        static constexpr int kDimensions[4] = {2, 3, 4, 1};
        layout.texDimension[i] = kDimensions[(fvf >> (16 + 2 * i)) & 3];
        layout.texOffset[i] = offset;
        offset += 4 * layout.texDimension[i];
    }
    layout.size = offset;
    layout.valid = true;
    return layout;
}

void ProcessVertices(const PipelineState& state, const FvfLayout& layout, const std::uint8_t* first, UINT count,
                     UINT stride, ClipVertex* out) {
    const Matrix worldViewProjection = Multiply(Multiply(state.world, state.view), state.projection);
    const LightingSetup lighting = PrepareLighting(state);
    float absent[8];
    StoreColor(FromArgb(0xFFFFFFFFu), absent + kAttrDiffuse);
    StoreColor(FromArgb(0), absent + kAttrSpecular);
    for (UINT i = 0; i < count; ++i) {
        const std::uint8_t* v = first + static_cast<std::size_t>(i) * stride;
        ClipVertex& o = out[i];
        const Vec3 p{ReadFloat(v), ReadFloat(v + 4), ReadFloat(v + 8)};
        if (layout.pretransformed) {
            const float rhw = ReadFloat(v + 12);
            // A zero, negative or non-finite rhw has no meaning: draw as rhw = 1.
            const float w = (rhw > 0.0f && std::isfinite(1.0f / rhw)) ? 1.0f / rhw : 1.0f;
            o.pos[0] = p.x * w;
            o.pos[1] = p.y * w;
            o.pos[2] = p.z * w;
            o.pos[3] = w;
        } else {
            const Matrix& m = worldViewProjection;
            for (int c = 0; c < 4; ++c) o.pos[c] = p.x * m.m[0][c] + p.y * m.m[1][c] + p.z * m.m[2][c] + m.m[3][c];
        }
        if (lighting.enabled && !layout.pretransformed) {
            LightVertex(state, lighting, layout, v, TransformPoint(p, state.world), o);
        } else {
            UnlitColors(layout, v, absent, o);
        }
        TextureCoordinates(state, layout, v, o);
    }
}

}  // namespace valmere::raster
