#include "platform/d3d8/DeviceState.h"

#include <bit>
#include <cstring>

namespace valmere::d3d8 {
namespace {

// Which state-block types capture a state (D3DSBT_ALL captures all).
enum Group : unsigned { kPixel = 1, kVertex = 2, kBoth = 3 };

struct RenderStateRow {
    D3DRENDERSTATETYPE state;
    DWORD value;
    unsigned group;
};

constexpr DWORD FloatBits(float value) { return std::bit_cast<DWORD>(value); }

// Direct3D 8 defaults. ZENABLE and SOFTWAREVERTEXPROCESSING depend on the
// presentation and creation parameters and are patched in DefaultDeviceState.
constexpr RenderStateRow kRenderStates[] = {
    {D3DRS_ZENABLE, D3DZB_FALSE, kPixel},
    {D3DRS_FILLMODE, D3DFILL_SOLID, kPixel},
    {D3DRS_SHADEMODE, D3DSHADE_GOURAUD, kBoth},
    {D3DRS_LINEPATTERN, 0, kPixel},
    {D3DRS_ZWRITEENABLE, TRUE, kPixel},
    {D3DRS_ALPHATESTENABLE, FALSE, kPixel},
    {D3DRS_LASTPIXEL, TRUE, kPixel},
    {D3DRS_SRCBLEND, D3DBLEND_ONE, kPixel},
    {D3DRS_DESTBLEND, D3DBLEND_ZERO, kPixel},
    {D3DRS_CULLMODE, D3DCULL_CCW, kVertex},
    {D3DRS_ZFUNC, D3DCMP_LESSEQUAL, kPixel},
    {D3DRS_ALPHAREF, 0, kPixel},
    {D3DRS_ALPHAFUNC, D3DCMP_ALWAYS, kPixel},
    {D3DRS_DITHERENABLE, FALSE, kPixel},
    {D3DRS_ALPHABLENDENABLE, FALSE, kPixel},
    {D3DRS_FOGENABLE, FALSE, kVertex},
    {D3DRS_SPECULARENABLE, FALSE, kVertex},
    {D3DRS_ZVISIBLE, 0, kPixel},
    {D3DRS_FOGCOLOR, 0, kVertex},
    {D3DRS_FOGTABLEMODE, D3DFOG_NONE, kBoth},
    {D3DRS_FOGSTART, FloatBits(0.0f), kBoth},
    {D3DRS_FOGEND, FloatBits(1.0f), kBoth},
    {D3DRS_FOGDENSITY, FloatBits(1.0f), kBoth},
    {D3DRS_EDGEANTIALIAS, FALSE, kPixel},
    {D3DRS_ZBIAS, 0, kPixel},
    {D3DRS_RANGEFOGENABLE, FALSE, kVertex},
    {D3DRS_STENCILENABLE, FALSE, kPixel},
    {D3DRS_STENCILFAIL, D3DSTENCILOP_KEEP, kPixel},
    {D3DRS_STENCILZFAIL, D3DSTENCILOP_KEEP, kPixel},
    {D3DRS_STENCILPASS, D3DSTENCILOP_KEEP, kPixel},
    {D3DRS_STENCILFUNC, D3DCMP_ALWAYS, kPixel},
    {D3DRS_STENCILREF, 0, kPixel},
    {D3DRS_STENCILMASK, 0xFFFFFFFFu, kPixel},
    {D3DRS_STENCILWRITEMASK, 0xFFFFFFFFu, kPixel},
    {D3DRS_TEXTUREFACTOR, 0xFFFFFFFFu, kPixel},
    {D3DRS_WRAP0, 0, kPixel},
    {D3DRS_WRAP1, 0, kPixel},
    {D3DRS_WRAP2, 0, kPixel},
    {D3DRS_WRAP3, 0, kPixel},
    {D3DRS_WRAP4, 0, kPixel},
    {D3DRS_WRAP5, 0, kPixel},
    {D3DRS_WRAP6, 0, kPixel},
    {D3DRS_WRAP7, 0, kPixel},
    {D3DRS_CLIPPING, TRUE, kVertex},
    {D3DRS_LIGHTING, TRUE, kVertex},
    {D3DRS_AMBIENT, 0, kVertex},
    {D3DRS_FOGVERTEXMODE, D3DFOG_NONE, kVertex},
    {D3DRS_COLORVERTEX, TRUE, kVertex},
    {D3DRS_LOCALVIEWER, TRUE, kVertex},
    {D3DRS_NORMALIZENORMALS, FALSE, kVertex},
    {D3DRS_DIFFUSEMATERIALSOURCE, D3DMCS_COLOR1, kVertex},
    {D3DRS_SPECULARMATERIALSOURCE, D3DMCS_COLOR2, kVertex},
    {D3DRS_AMBIENTMATERIALSOURCE, D3DMCS_MATERIAL, kVertex},
    {D3DRS_EMISSIVEMATERIALSOURCE, D3DMCS_MATERIAL, kVertex},
    {D3DRS_VERTEXBLEND, D3DVBF_DISABLE, kVertex},
    {D3DRS_CLIPPLANEENABLE, 0, kVertex},
    {D3DRS_SOFTWAREVERTEXPROCESSING, FALSE, kVertex},
    {D3DRS_POINTSIZE, FloatBits(1.0f), kVertex},
    {D3DRS_POINTSIZE_MIN, FloatBits(0.0f), kVertex},
    {D3DRS_POINTSPRITEENABLE, FALSE, kVertex},
    {D3DRS_POINTSCALEENABLE, FALSE, kVertex},
    {D3DRS_POINTSCALE_A, FloatBits(1.0f), kVertex},
    {D3DRS_POINTSCALE_B, FloatBits(0.0f), kVertex},
    {D3DRS_POINTSCALE_C, FloatBits(0.0f), kVertex},
    {D3DRS_MULTISAMPLEANTIALIAS, TRUE, kVertex},
    {D3DRS_MULTISAMPLEMASK, 0xFFFFFFFFu, kVertex},
    {D3DRS_PATCHEDGESTYLE, D3DPATCHEDGE_DISCRETE, kVertex},
    {D3DRS_PATCHSEGMENTS, FloatBits(1.0f), kVertex},
    {D3DRS_DEBUGMONITORTOKEN, 0, kVertex},
    {D3DRS_POINTSIZE_MAX, FloatBits(64.0f), kVertex},
    {D3DRS_INDEXEDVERTEXBLENDENABLE, FALSE, kVertex},
    {D3DRS_COLORWRITEENABLE, 0xF, kPixel},
    {D3DRS_TWEENFACTOR, FloatBits(0.0f), kVertex},
    {D3DRS_BLENDOP, D3DBLENDOP_ADD, kPixel},
};

struct RenderStateTable {
    std::bitset<D3DRS_MAX> valid;
    std::array<unsigned, D3DRS_MAX> group{};
};

const RenderStateTable& RenderStates() {
    static const RenderStateTable table = [] {
        RenderStateTable t;
        for (const RenderStateRow& row : kRenderStates) {
            t.valid.set(row.state);
            t.group[row.state] = row.group;
        }
        return t;
    }();
    return table;
}

// Stage states 1..28 except 12, which Direct3D 8 does not define.
bool IsStageStateIndex(DWORD type) { return type >= D3DTSS_COLOROP && type <= D3DTSS_RESULTARG && type != 12; }

// Texture-coordinate index and transform flags belong to vertex processing;
// every other stage state to the pixel pipeline.
unsigned StageStateGroup(DWORD type) {
    return type == D3DTSS_TEXCOORDINDEX || type == D3DTSS_TEXTURETRANSFORMFLAGS ? kVertex : kPixel;
}

std::array<DWORD, D3DTSS_MAX> DefaultStageStates(DWORD stage) {
    std::array<DWORD, D3DTSS_MAX> s{};
    s[D3DTSS_COLOROP] = stage == 0 ? D3DTOP_MODULATE : D3DTOP_DISABLE;
    s[D3DTSS_COLORARG1] = D3DTA_TEXTURE;
    s[D3DTSS_COLORARG2] = D3DTA_CURRENT;
    s[D3DTSS_ALPHAOP] = stage == 0 ? D3DTOP_SELECTARG1 : D3DTOP_DISABLE;
    s[D3DTSS_ALPHAARG1] = D3DTA_TEXTURE;
    s[D3DTSS_ALPHAARG2] = D3DTA_CURRENT;
    s[D3DTSS_TEXCOORDINDEX] = stage;
    s[D3DTSS_ADDRESSU] = D3DTADDRESS_WRAP;
    s[D3DTSS_ADDRESSV] = D3DTADDRESS_WRAP;
    s[D3DTSS_ADDRESSW] = D3DTADDRESS_WRAP;
    s[D3DTSS_MAGFILTER] = D3DTEXF_POINT;
    s[D3DTSS_MINFILTER] = D3DTEXF_POINT;
    s[D3DTSS_MIPFILTER] = D3DTEXF_NONE;
    s[D3DTSS_MAXANISOTROPY] = 1;
    s[D3DTSS_TEXTURETRANSFORMFLAGS] = D3DTTFF_DISABLE;
    s[D3DTSS_COLORARG0] = D3DTA_CURRENT;
    s[D3DTSS_ALPHAARG0] = D3DTA_CURRENT;
    s[D3DTSS_RESULTARG] = D3DTA_CURRENT;
    return s;
}

// Size in floats of texture set i, from D3DFVF_TEXCOORDSIZEn (bits 16 + 2i):
// 0 two, 1 three, 2 four, 3 one.
UINT TextureSetFloats(DWORD fvf, unsigned set) {
    constexpr UINT kFloats[4] = {2, 3, 4, 1};
    return kFloats[(fvf >> (16 + 2 * set)) & 3];
}

}  // namespace

int TransformSlot(D3DTRANSFORMSTATETYPE type) {
    if (type == D3DTS_VIEW) return kViewSlot;
    if (type == D3DTS_PROJECTION) return kProjectionSlot;
    if (type >= D3DTS_TEXTURE0 && type <= D3DTS_TEXTURE7) return kFirstTextureSlot + static_cast<int>(type - D3DTS_TEXTURE0);
    if (type >= D3DTS_WORLD && type < D3DTS_WORLD + 256) return kFirstWorldSlot + static_cast<int>(type - D3DTS_WORLD);
    return -1;
}

bool IsRenderState(DWORD state) { return state < D3DRS_MAX && RenderStates().valid.test(state); }

bool IsStageState(DWORD type) { return IsStageStateIndex(type); }

UINT FvfVertexSize(DWORD fvf) {
    constexpr DWORD kKnownBits = D3DFVF_POSITION_MASK | D3DFVF_NORMAL | D3DFVF_PSIZE | D3DFVF_DIFFUSE |
                                 D3DFVF_SPECULAR | D3DFVF_TEXCOUNT_MASK | 0xFFFF0000u;
    if ((fvf & ~kKnownBits) != 0) return 0;
    const DWORD position = fvf & D3DFVF_POSITION_MASK;
    if (position != D3DFVF_XYZ && position != D3DFVF_XYZRHW) return 0;
    const unsigned sets = (fvf & D3DFVF_TEXCOUNT_MASK) >> D3DFVF_TEXCOUNT_SHIFT;
    if (sets > 8) return 0;
    // Size bits of sets that do not exist must be zero.
    if (sets < 8 && (fvf >> (16 + 2 * sets)) != 0) return 0;
    UINT size = position == D3DFVF_XYZ ? 12 : 16;
    if (fvf & D3DFVF_NORMAL) size += 12;
    if (fvf & D3DFVF_PSIZE) size += 4;
    if (fvf & D3DFVF_DIFFUSE) size += 4;
    if (fvf & D3DFVF_SPECULAR) size += 4;
    for (unsigned set = 0; set < sets; ++set) size += 4 * TextureSetFloats(fvf, set);
    return size;
}

D3DMATRIX IdentityMatrix() {
    D3DMATRIX m{};
    m._11 = m._22 = m._33 = m._44 = 1.0f;
    return m;
}

D3DLIGHT8 DefaultLight() {
    D3DLIGHT8 light{};
    light.Type = D3DLIGHT_DIRECTIONAL;
    light.Diffuse = {1.0f, 1.0f, 1.0f, 0.0f};
    light.Direction = {0.0f, 0.0f, 1.0f};
    return light;
}

DeviceState DefaultDeviceState(const DefaultStateInputs& inputs) {
    DeviceState state;
    for (const RenderStateRow& row : kRenderStates) state.renderStates[row.state] = row.value;
    state.renderStates[D3DRS_ZENABLE] = inputs.autoDepthStencil ? D3DZB_TRUE : D3DZB_FALSE;
    state.renderStates[D3DRS_SOFTWAREVERTEXPROCESSING] = inputs.softwareVertexProcessing ? TRUE : FALSE;
    for (DWORD stage = 0; stage < D3DMAXTEXTURESTAGES; ++stage) state.stageStates[stage] = DefaultStageStates(stage);
    state.transforms.fill(IdentityMatrix());
    state.viewport = inputs.viewport;
    return state;
}

void CopyToPipelineState(const DeviceState& state, raster::PipelineState& pipeline) {
    std::memcpy(pipeline.renderStates, state.renderStates.data(), sizeof pipeline.renderStates);
    for (std::size_t stage = 0; stage < D3DMAXTEXTURESTAGES; ++stage)
        std::memcpy(pipeline.stageStates[stage], state.stageStates[stage].data(), sizeof pipeline.stageStates[stage]);
    pipeline.world = state.transforms[kFirstWorldSlot];
    pipeline.view = state.transforms[kViewSlot];
    pipeline.projection = state.transforms[kProjectionSlot];
    pipeline.viewport = state.viewport;
    pipeline.material = state.material;
    pipeline.lightCount = 0;
    for (const auto& [index, slot] : state.lights) {
        if (!slot.enabled || pipeline.lightCount == raster::kMaxActiveLights) continue;
        pipeline.lights[pipeline.lightCount++].light = slot.light;
    }
    pipeline.fvf = state.vertexShader;
}

raster::PipelineState NewDevicePipelineState(int width, int height) {
    DefaultStateInputs inputs;
    inputs.viewport = D3DVIEWPORT8{0, 0, static_cast<DWORD>(width), static_cast<DWORD>(height), 0.0f, 1.0f};
    raster::PipelineState pipeline{};
    CopyToPipelineState(DefaultDeviceState(inputs), pipeline);
    return pipeline;
}

StateMask MaskForStateBlockType(D3DSTATEBLOCKTYPE type, const DeviceState& state) {
    const unsigned wanted = type == D3DSBT_ALL ? kBoth : type == D3DSBT_PIXELSTATE ? kPixel : kVertex;
    StateMask mask;
    const RenderStateTable& table = RenderStates();
    for (DWORD rs = 0; rs < D3DRS_MAX; ++rs)
        if (table.valid.test(rs) && (table.group[rs] & wanted) != 0) mask.renderStates.set(rs);
    for (DWORD stage = 0; stage < D3DMAXTEXTURESTAGES; ++stage)
        for (DWORD tss = 0; tss < D3DTSS_MAX; ++tss)
            if (IsStageStateIndex(tss) && (StageStateGroup(tss) & wanted) != 0) mask.stageStates[stage].set(tss);
    if ((wanted & kVertex) != 0) {
        mask.vertexShader = true;
        for (const auto& entry : state.lights) {
            mask.lights.insert(entry.first);
            mask.lightEnables.insert(entry.first);
        }
    }
    if (type == D3DSBT_ALL) {
        mask.transforms.set();
        mask.textures.set();
        mask.viewport = true;
        mask.material = true;
        mask.streamSource = true;
    }
    return mask;
}

}  // namespace valmere::d3d8
