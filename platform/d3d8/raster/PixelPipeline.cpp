#include "platform/d3d8/raster/PixelPipeline.h"

#include <algorithm>
#include <atomic>
#include <cmath>

#include "platform/d3d8/raster/RunSteps.h"

namespace valmere::raster {
namespace {

std::atomic<bool> forceGeneralPath{false};

inline float At(const Plane& p, float dx, float dy) { return p.value + p.dx * dx + p.dy * dy; }

inline std::uint32_t ToByte(float v) {
    const float c = v > 0.0f ? (v < 255.0f ? v : 255.0f) : 0.0f;
    return static_cast<std::uint32_t>(c + 0.5f);
}

inline std::uint32_t PackColor(const float c[4]) {
    return (ToByte(c[3]) << 24) | (ToByte(c[0]) << 16) | (ToByte(c[1]) << 8) | ToByte(c[2]);
}

// Both ends of the run are exact: attribute = (attribute / w) * w at the
// first and the last pixel; pixels between are interpolated linearly.
struct RunEnds {
    float dx0, dx1, dy;
    float w0, w1;
    float inverseSteps;
};

// floor(x) for finite x without a library call (the processor's rounding
// instruction needs SSE4.1); beyond 2^23 every float is an integer.
inline float FloorOf(float x) {
    if (!(std::fabs(x) < 8388608.0f)) return x;
    const float t = static_cast<float>(static_cast<int>(x));
    return t > x ? t - 1.0f : t;
}

inline float Rhw(const Plane& p, float dx, float dy) { return std::max(At(p, dx, dy), 1e-30f); }

void InterpolateColor(const TriangleInterpolants& t, const RunEnds& e, int first, int n, std::uint32_t* out) {
    float c[4], step[4];
    for (int k = 0; k < 4; ++k) {
        const Plane& p = t.attr[first + k];
        c[k] = At(p, e.dx0, e.dy) * e.w0;
        step[k] = (At(p, e.dx1, e.dy) * e.w1 - c[k]) * e.inverseSteps;
    }
    for (int i = 0; i < n; ++i) {
        out[i] = PackColor(c);
        for (int k = 0; k < 4; ++k) c[k] += step[k];
    }
}

// One coordinate of a stage at both ends of the run, and its derivatives in
// x and y at the first pixel (before renormalisation, which does not change
// them).
struct CoordinateEnds {
    float first, last, ddx, ddy;
};

[[gnu::always_inline]] inline CoordinateEnds InterpolateCoordinate(const Plane& p, const Plane& rhw, const RunEnds& e, float period) {
    CoordinateEnds c{At(p, e.dx0, e.dy) * e.w0, At(p, e.dx1, e.dy) * e.w1, 0.0f, 0.0f};
    c.ddx = (p.dx - c.first * rhw.dx) * e.w0;
    c.ddy = (p.dy - c.first * rhw.dy) * e.w0;
    if (period > 0.0f && std::isfinite(c.first)) {
        // Wrapping and mirroring repeat with this period: keep values small
        // so that float precision stays at the texel level.
        // Periods are 1 and 2: multiplying by the inverse is exact.
        const float offset = FloorOf(c.first * (1.0f / period)) * period;
        c.first -= offset;
        c.last -= offset;
    }
    return c;
}

// log2 of the longer footprint axis in level-0 texels.
float LevelOfDetail(const SampledTexture& texture, const CoordinateEnds& u, const CoordinateEnds& v) {
    const float w = static_cast<float>(texture.levels[0].width), h = static_cast<float>(texture.levels[0].height);
    const float x2 = u.ddx * u.ddx * w * w + v.ddx * v.ddx * h * h;
    const float y2 = u.ddy * u.ddy * w * w + v.ddy * v.ddy * h * h;
    const float rho2 = std::max(x2, y2);
    return rho2 > 0.0f && std::isfinite(rho2) ? 0.5f * std::log2(rho2) : 0.0f;
}

[[gnu::always_inline]] inline RunEnds MakeRunEnds(const TriangleInterpolants& t, const Run& r) {
    RunEnds e;
    e.dx0 = static_cast<float>(r.x) - t.x0;
    e.dx1 = e.dx0 + static_cast<float>(r.count - 1);
    e.dy = static_cast<float>(r.y) - t.y0;
    e.w0 = 1.0f / Rhw(t.rhw, e.dx0, e.dy);
    e.w1 = 1.0f / Rhw(t.rhw, e.dx1, e.dy);
    e.inverseSteps = r.count > 1 ? 1.0f / static_cast<float>(r.count - 1) : 0.0f;
    return e;
}

void InterpolateColors(const PixelPipeline& p, const TriangleInterpolants& t, const RunEnds& e, Run& r) {
    if (p.needDiffuse) {
        if (t.flatDiffuse) {
            std::fill(r.diffuse, r.diffuse + r.count, t.diffuse);
        } else {
            InterpolateColor(t, e, kAttrDiffuse, r.count, r.diffuse);
        }
    }
    if (p.needSpecular) {
        if (t.flatSpecular) {
            std::fill(r.specular, r.specular + r.count, t.specular);
        } else {
            InterpolateColor(t, e, kAttrSpecular, r.count, r.specular);
        }
    }
}

struct StageCoordinates {
    CoordinateEnds u, v;
    RunCoordinates run;  // first pixel and step
};

[[gnu::always_inline]] inline StageCoordinates InterpolateStage(const PixelPipeline& p, const TriangleInterpolants& t, const RunEnds& e, int s) {
    StageCoordinates c;
    c.u = InterpolateCoordinate(t.attr[kAttrTex + 2 * s], t.rhw, e, p.addressPeriodU[s]);
    c.v = InterpolateCoordinate(t.attr[kAttrTex + 2 * s + 1], t.rhw, e, p.addressPeriodV[s]);
    c.run = {c.u.first, c.v.first, (c.u.last - c.u.first) * e.inverseSteps, (c.v.last - c.v.first) * e.inverseSteps};
    return c;
}

// The shading step of a run (colours, texture coordinates, sampling and
// texture stages) for any state.
struct GeneralShading {
    static void Shade(const PixelPipeline& p, const TriangleInterpolants& t, Run& r) {
        const RunEnds e = MakeRunEnds(t, r);
        InterpolateColors(p, t, e, r);
        for (int s = 0; s < p.stageCount; ++s) {
            if (!p.sampled[s]) continue;
            const StageCoordinates c = InterpolateStage(p, t, e, s);
            const SampledTexture* texture = p.samplers[s].texture;
            const float lod = texture != nullptr && p.lodMatters[s] ? LevelOfDetail(*texture, c.u, c.v) : 0.0f;
            if (p.stepped[s]) {
                SampleRun(p.samplers[s], lod, c.run, r.count, r.texel[s]);
            } else {
                for (int i = 0; i < r.count; ++i) {
                    r.u[s][i] = c.run.u + c.run.du * static_cast<float>(i);
                    r.v[s][i] = c.run.v + c.run.dv * static_cast<float>(i);
                }
                SampleRun(p.samplers[s], lod, r.u[s], r.v[s], r.count, r.texel[s]);
            }
        }
        p.combine(p, r);
    }
};

// The shading step when one stage samples a wrapped power-of-two texture
// at stepped coordinates. FixedLevel: one level, bilinear, prepared once
// per draw; otherwise the level and filter follow each run's level of
// detail. TextureOnly: the stage yields the texel itself, sampled straight
// into the run's colours.
template <bool FixedLevel, bool TextureOnly>
struct WrappedShading {
    static void Sample(const PixelPipeline& p, const StageCoordinates& c, int n, std::uint32_t* out) {
        if (FixedLevel) {
            SampleWrappedBilinear(p.wrappedLevel, c.run, n, out);
        } else {
            const StageSampler& s = p.samplers[0];
            SampleRun(s, p.lodMatters[0] ? LevelOfDetail(*s.texture, c.u, c.v) : 0.0f, c.run, n, out);
        }
    }
    static void Shade(const PixelPipeline& p, const TriangleInterpolants& t, Run& r) {
        const RunEnds e = MakeRunEnds(t, r);
        const StageCoordinates c = InterpolateStage(p, t, e, 0);
        if (TextureOnly) {
            Sample(p, c, r.count, r.color);
            return;
        }
        InterpolateColors(p, t, e, r);
        Sample(p, c, r.count, r.texel[0]);
        p.combine(p, r);
    }
};

// The run loop of every span: depth test, shading, alpha test, depth and
// colour write, with the shading step chosen at compile time.
template <class Shading>
void ShadeRuns(const PixelPipeline& p, const TriangleInterpolants& t, int y, int xStart, int xEnd) {
    Run r;
    r.y = y;
    const float dy = static_cast<float>(y) - t.y0;
    for (int x = xStart; x <= xEnd; x += kRunLength) {
        r.x = x;
        r.count = std::min(kRunLength, xEnd - x + 1);
        r.mask = static_cast<std::uint32_t>((std::uint64_t{1} << r.count) - 1);
        r.z0 = At(t.z, static_cast<float>(x) - t.x0, dy);
        r.dz = t.z.dx;
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
SpanShader ChooseSpanShader(PixelPipeline& p, bool textureOnly) {
    const bool wrapped = p.stageCount == 1 && p.sampled[0] && p.stepped[0] && p.samplers[0].texture != nullptr;
    if (!wrapped) return ShadeRuns<GeneralShading>;
    if (!p.lodMatters[0] && PrepareWrappedBilinear(p.samplers[0], p.wrappedLevel)) {
        return textureOnly ? ShadeRuns<WrappedShading<true, true>> : ShadeRuns<WrappedShading<true, false>>;
    }
    return textureOnly ? ShadeRuns<WrappedShading<false, true>> : ShadeRuns<WrappedShading<false, false>>;
}

// Whether the level of detail can change what a stage samples: the level
// (a mip filter with more than the base level) or the filter.
bool LodMatters(const StageSampler& s) {
    const bool filterChanges = (s.minFilter >= D3DTEXF_LINEAR) != (s.magFilter >= D3DTEXF_LINEAR);
    const bool levelChanges = s.mipFilter != D3DTEXF_NONE && s.baseLevel < s.levelCount - 1;
    return s.texture != nullptr && (filterChanges || levelChanges);
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
        p.stepped[s] = specialise && SamplesRunCoordinates(p.samplers[s]);
        p.lodMatters[s] = LodMatters(p.samplers[s]);
        p.addressPeriodU[s] = AddressPeriod(p.samplers[s].addressU);
        p.addressPeriodV[s] = AddressPeriod(p.samplers[s].addressV);
        p.needSpecular = p.needSpecular || UsesSpecular(stage);
        p.stageCount = s + 1;
    }
    p.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    p.combine = ChooseCombine(p, diffuseIsWhite, specialise, p.needDiffuse);
    p.shadeSpan = ChooseSpanShader(p, !p.needDiffuse);

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
