#include "platform/d3d8/raster/PixelPipeline.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/d3d8/raster/PixelDivision.h"
#include "platform/d3d8/raster/RunSteps.h"

namespace valmere::raster {
namespace {

std::atomic<bool> forceGeneralPath{false};

// A plane along one scanline (PipelineTypes' RowLine), dy from the origin.
inline RowLine Row(const Plane& p, float dy) { return {p.value + p.dy * dy, p.dx}; }

inline std::uint32_t ToByte(float v) {
    const float c = v > 0.0f ? (v < 255.0f ? v : 255.0f) : 0.0f;
    return static_cast<std::uint32_t>(c + 0.5f);
}

// The run's row, its first pixel's position and, where the run needs it,
// w at every pixel.
struct RunFrame {
    float dy, X;
    RowLine q;
    float w[kRunLength];

    RunFrame(const TriangleInterpolants& t, const Run& r, bool everyPixel)
        : dy(static_cast<float>(r.y) - t.y0), X(r.X), q(Row(t.rhw, dy)) {
        if (everyPixel) RunReciprocals(q, X, r.count, w);
    }
};

void InterpolateColor(const TriangleInterpolants& t, const RunFrame& f, int first, int n, std::uint32_t* out) {
    float c[4][kRunLength];
    for (int k = 0; k < 4; ++k) {
        const Plane& p = t.attr[first + k];
        RunAttribute(Row(p, f.dy), f.X, f.w, n, c[k]);
    }
    for (int i = 0; i < n; ++i) out[i] = (ToByte(c[3][i]) << 24) | (ToByte(c[0][i]) << 16) | (ToByte(c[1][i]) << 8) | ToByte(c[2][i]);
}

void InterpolateColors(const PixelPipeline& p, const TriangleInterpolants& t, const RunFrame& f, Run& r) {
    if (p.needDiffuse) {
        if (t.flatDiffuse) {
            std::fill(r.diffuse, r.diffuse + r.count, t.diffuse);
        } else {
            InterpolateColor(t, f, kAttrDiffuse, r.count, r.diffuse);
        }
    }
    if (p.needSpecular) {
        if (t.flatSpecular) {
            std::fill(r.specular, r.specular + r.count, t.specular);
        } else {
            InterpolateColor(t, f, kAttrSpecular, r.count, r.specular);
        }
    }
}

// The coordinates of stage s over the run.
PerspectiveRun StageRun(const TriangleInterpolants& t, const RunFrame& f, int s) {
    const Plane& pu = t.attr[kAttrTex + 2 * s];
    const Plane& pv = t.attr[kAttrTex + 2 * s + 1];
    return {f.X, f.q, Row(pu, f.dy), Row(pv, f.dy)};
}

// The level of detail of every pixel: log2 of the longer of the two screen
// axes' footprints in level-0 texels, from the exact derivatives at the
// pixel's centre. With u = A / q (A = u / w and q = 1 / w linear),
// du/dx = (A_x - u q_x) / q = (A_x - u q_x) w. A footprint of zero reads as
// a large magnification, a non-finite one as a large minification.
void LevelsOfDetail(const TriangleInterpolants& t, int s, const SampledTexture& texture, const RunFrame& f,
                    const PerspectiveRun& run, int n, float* lod) {
    const Plane& pu = t.attr[kAttrTex + 2 * s];
    const Plane& pv = t.attr[kAttrTex + 2 * s + 1];
    float u[kRunLength], v[kRunLength];
    RunAttribute(run.u, run.X, f.w, n, u);
    RunAttribute(run.v, run.X, f.w, n, v);
    const float width = static_cast<float>(texture.levels[0].width);
    const float height = static_cast<float>(texture.levels[0].height);
    for (int i = 0; i < n; ++i) {
        const float dudx = (pu.dx - u[i] * t.rhw.dx) * f.w[i] * width, dvdx = (pv.dx - v[i] * t.rhw.dx) * f.w[i] * height;
        const float dudy = (pu.dy - u[i] * t.rhw.dy) * f.w[i] * width, dvdy = (pv.dy - v[i] * t.rhw.dy) * f.w[i] * height;
        const float rho2 = std::max(dudx * dudx + dvdx * dvdx, dudy * dudy + dvdy * dvdy);
        if (!(rho2 > 0.0f)) {
            lod[i] = -128.0f;
        } else {
            lod[i] = std::isfinite(rho2) ? 0.5f * std::log2(rho2) : 128.0f;
        }
    }
}

// The shading step of a run (colours, texture coordinates, sampling and
// texture stages) for any state.
struct GeneralShading {
    static void Shade(const PixelPipeline& p, const TriangleInterpolants& t, Run& r) {
        const RunFrame f(t, r, true);
        InterpolateColors(p, t, f, r);
        for (int s = 0; s < p.stageCount; ++s) {
            if (!p.sampled[s]) continue;
            const PerspectiveRun run = StageRun(t, f, s);
            float lod[kRunLength];
            if (p.lodMatters[s]) LevelsOfDetail(t, s, *p.samplers[s].texture, f, run, r.count, lod);
            SampleRun(p.samplers[s], run, f.w, p.lodMatters[s] ? lod : nullptr, r.count, r.texel[s]);
        }
        p.combine(p, r);
    }
};

// The shading step when stage 0 alone samples one wrapped power-of-two
// level bilinearly, prepared once per draw. TextureOnly: the stage yields
// the texel itself, sampled straight into the run's colours.
template <bool TextureOnly>
struct WrappedShading {
    static void Shade(const PixelPipeline& p, const TriangleInterpolants& t, Run& r) {
        const bool colors = !TextureOnly && ((p.needDiffuse && !t.flatDiffuse) || (p.needSpecular && !t.flatSpecular));
        const RunFrame f(t, r, colors);
        const PerspectiveRun run = StageRun(t, f, 0);
        if (TextureOnly) {
            SampleWrappedBilinear(p.wrappedLevel, run, r.count, r.color);
            return;
        }
        InterpolateColors(p, t, f, r);
        SampleWrappedBilinear(p.wrappedLevel, run, r.count, r.texel[0]);
        p.combine(p, r);
    }
};

// The run loop of every span: depth test, shading, alpha test, depth and
// colour write, with the shading step chosen at compile time.
template <class Shading>
void ShadeRuns(const PixelPipeline& p, const TriangleInterpolants& t, int y, int xStart, int xEnd) {
    Run r;
    r.y = y;
    const RowLine z = Row(t.z, static_cast<float>(y) - t.y0);
    r.zBase = z.base;
    r.zStep = z.step;
    for (int x = xStart; x <= xEnd; x += kRunLength) {
        r.x = x;
        r.X = static_cast<float>(x) - t.x0;
        r.count = std::min(kRunLength, xEnd - x + 1);
        r.mask = static_cast<std::uint32_t>((std::uint64_t{1} << r.count) - 1);
        if (p.depthTest != nullptr) {
            p.depthTest(p, r);
            if (r.mask == 0) continue;
        }
        Shading::Shade(p, t, r);
        if (p.alphaTest) {
            AlphaTest(p, r);
            if (r.mask == 0) continue;
        }
        if (p.depthWrite != nullptr) p.depthWrite(p, r);
        p.output(p, r);
    }
}

// textureOnly: the combiner passes the texel through.
SpanShader ChooseSpanShader(PixelPipeline& p, bool textureOnly, bool specialise) {
    const bool wrapped = specialise && p.stageCount == 1 && p.sampled[0] &&
                         PrepareWrappedBilinear(p.samplers[0], p.wrappedLevel);
    if (!wrapped) return ShadeRuns<GeneralShading>;
    return textureOnly ? ShadeRuns<WrappedShading<true>> : ShadeRuns<WrappedShading<false>>;
}

bool UsesTexture(const TextureStage& s) {
    const auto reads = [](DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_TEXTURE; };
    return reads(s.colorArg1) || reads(s.colorArg2) || reads(s.alphaArg1) || reads(s.alphaArg2) ||
           s.colorOp == D3DTOP_BLENDTEXTUREALPHA || s.colorOp == D3DTOP_BLENDTEXTUREALPHAPM ||
           s.alphaOp == D3DTOP_BLENDTEXTUREALPHA || s.alphaOp == D3DTOP_BLENDTEXTUREALPHAPM;
}

bool UsesSpecular(const TextureStage& s) {
    const auto reads = [](DWORD arg) { return (arg & D3DTA_SELECTMASK) == D3DTA_SPECULAR; };
    return reads(s.colorArg1) || reads(s.colorArg2) || reads(s.alphaArg1) || reads(s.alphaArg2);
}

std::uint32_t ChannelWriteMask(DWORD enable) {
    std::uint32_t mask = 0;
    if (enable & D3DCOLORWRITEENABLE_RED) mask |= 0x00FF0000u;
    if (enable & D3DCOLORWRITEENABLE_GREEN) mask |= 0x0000FF00u;
    if (enable & D3DCOLORWRITEENABLE_BLUE) mask |= 0x000000FFu;
    if (enable & D3DCOLORWRITEENABLE_ALPHA) mask |= 0xFF000000u;
    return mask;
}

}  // namespace

void ForceGeneralPath(bool force) { forceGeneralPath.store(force, std::memory_order_relaxed); }

bool BuildPixelPipeline(const PipelineState& state, const ColorTarget& color, const DepthTarget& depth,
                        bool diffuseIsWhite, PixelPipeline& p) {
    const DWORD* rs = state.renderStates;
    if (color.bits == nullptr || !IsColorTargetFormat(color.format)) return false;
    const bool specialise = !forceGeneralPath.load(std::memory_order_relaxed);
    p.color = color;
    p.depth = depth;

    const D3DVIEWPORT8& vp = state.viewport;
    p.clipLeft = static_cast<int>(std::min<DWORD>(vp.X, 1u << 30));
    p.clipTop = static_cast<int>(std::min<DWORD>(vp.Y, 1u << 30));
    p.clipRight = static_cast<int>(std::min<std::uint64_t>(std::uint64_t{vp.X} + vp.Width, color.width));
    p.clipBottom = static_cast<int>(std::min<std::uint64_t>(std::uint64_t{vp.Y} + vp.Height, color.height));

    p.alphaTest = rs[D3DRS_ALPHATESTENABLE] != 0;
    p.alphaFunc = rs[D3DRS_ALPHAFUNC];
    p.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;

    p.depthLayout = GetDepthLayout(depth.format);
    const bool depthOn = rs[D3DRS_ZENABLE] != D3DZB_FALSE && depth.bits != nullptr && p.depthLayout.bytes != 0;
    if (depthOn) {
        const bool write = rs[D3DRS_ZWRITEENABLE] != 0;
        p.depthTest = ChooseDepthTest(depth.format, rs[D3DRS_ZFUNC], write && !p.alphaTest);
        p.depthWrite = write && p.alphaTest ? ChooseDepthWrite(depth.format) : nullptr;
        p.clipRight = std::min(p.clipRight, depth.width);
        p.clipBottom = std::min(p.clipBottom, depth.height);
    }

    p.stageCount = 0;
    p.addSpecular = rs[D3DRS_SPECULARENABLE] != 0;
    p.needSpecular = p.addSpecular;
    for (int s = 0; s < kMaxStages; ++s) {
        const DWORD* ts = state.stageStates[s];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;
        TextureStage& stage = p.stages[s];
        stage = {ts[D3DTSS_COLOROP], ts[D3DTSS_COLORARG1], ts[D3DTSS_COLORARG2],
                 ts[D3DTSS_ALPHAOP], ts[D3DTSS_ALPHAARG1], ts[D3DTSS_ALPHAARG2]};
        p.sampled[s] = UsesTexture(stage);
        p.samplers[s] = MakeStageSampler(state, s);
        p.lodMatters[s] = LodMatters(p.samplers[s]);
        p.addressPeriodU[s] = AddressPeriod(p.samplers[s].addressU);
        p.addressPeriodV[s] = AddressPeriod(p.samplers[s].addressV);
        p.needSpecular = p.needSpecular || UsesSpecular(stage);
        p.stageCount = s + 1;
    }
    p.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    p.combine = ChooseCombine(p, diffuseIsWhite, specialise, p.needDiffuse);
    p.shadeSpan = ChooseSpanShader(p, !p.needDiffuse, specialise);
    p.attributesUsed = (p.needDiffuse ? 0xFu << kAttrDiffuse : 0u) | (p.needSpecular ? 0xFu << kAttrSpecular : 0u);
    for (int s = 0; s < p.stageCount; ++s) {
        if (p.sampled[s]) p.attributesUsed |= 3u << (kAttrTex + 2 * s);
    }

    p.blend.source = rs[D3DRS_SRCBLEND];
    p.blend.destination = rs[D3DRS_DESTBLEND];
    p.blend.op = rs[D3DRS_BLENDOP];
    p.blend.writeMask = ChannelWriteMask(rs[D3DRS_COLORWRITEENABLE]);
    const bool blending = rs[D3DRS_ALPHABLENDENABLE] != 0 || p.blend.writeMask != 0xFFFFFFFFu;
    if (rs[D3DRS_ALPHABLENDENABLE] == 0) {
        p.blend.source = D3DBLEND_ONE;
        p.blend.destination = D3DBLEND_ZERO;
        p.blend.op = D3DBLENDOP_ADD;
    }
    p.output = ChooseOutput(color.format, p.blend, blending, specialise);
    return p.output != nullptr;
}

void ShadeSpan(const PixelPipeline& p, const TriangleInterpolants& t, int y, int xStart, int xEnd) {
    p.shadeSpan(p, t, y, xStart, xEnd);
}

}  // namespace valmere::raster
