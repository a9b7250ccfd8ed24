// Texture-stage colour and alpha operations on 8-bit channels (0..255 for
// 0.0..1.0), and the alpha test.
#include <algorithm>

#include "platform/d3d8/raster/RunSteps.h"

namespace valmere::raster {
namespace {

inline int Channel(std::uint32_t argb, int shift) { return static_cast<int>((argb >> shift) & 0xFF); }

// x / 255 rounded, exact for 0..255*255.
inline int Div255(int x) { return (x + 128 + ((x + 128) >> 8)) >> 8; }

inline int Clamp255(int x) { return std::clamp(x, 0, 255); }

struct StageInputs {
    std::uint32_t diffuse, specular, texel, factor, current;
};

std::uint32_t Argument(DWORD arg, const StageInputs& in) {
    std::uint32_t value;
    switch (arg & D3DTA_SELECTMASK) {
    case D3DTA_DIFFUSE: value = in.diffuse; break;
    case D3DTA_CURRENT: value = in.current; break;
    case D3DTA_TEXTURE: value = in.texel; break;
    case D3DTA_TFACTOR: value = in.factor; break;
    case D3DTA_SPECULAR: value = in.specular; break;
    default: value = 0; break;  // D3DTA_TEMP is not kept by this pipeline: reads 0
    }
    if (arg & D3DTA_COMPLEMENT) value = ~value;
    if (arg & D3DTA_ALPHAREPLICATE) value = (value >> 24) * 0x01010101u;
    return value;
}

// The alpha that weighs the BLEND*ALPHA operations.
int BlendWeight(DWORD op, const StageInputs& in) {
    switch (op) {
    case D3DTOP_BLENDDIFFUSEALPHA: return Channel(in.diffuse, 24);
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDTEXTUREALPHAPM: return Channel(in.texel, 24);
    case D3DTOP_BLENDFACTORALPHA: return Channel(in.factor, 24);
    case D3DTOP_BLENDCURRENTALPHA: return Channel(in.current, 24);
    default: return 0;
    }
}

// One channel of an operation. Operations this pipeline does not implement
// (bump mapping, dot product, premodulation) act as SELECTARG1.
int Operate(DWORD op, int a, int b, int weight) {
    switch (op) {
    case D3DTOP_SELECTARG2: return b;
    case D3DTOP_MODULATE: return Div255(a * b);
    case D3DTOP_MODULATE2X: return std::min(255, 2 * Div255(a * b));
    case D3DTOP_MODULATE4X: return std::min(255, 4 * Div255(a * b));
    case D3DTOP_ADD: return std::min(255, a + b);
    case D3DTOP_ADDSIGNED: return Clamp255(a + b - 128);
    case D3DTOP_ADDSIGNED2X: return Clamp255(2 * (a + b - 128));
    case D3DTOP_SUBTRACT: return std::max(0, a - b);
    case D3DTOP_ADDSMOOTH: return Clamp255(a + b - Div255(a * b));
    case D3DTOP_BLENDDIFFUSEALPHA:
    case D3DTOP_BLENDTEXTUREALPHA:
    case D3DTOP_BLENDFACTORALPHA:
    case D3DTOP_BLENDCURRENTALPHA: return Div255(a * weight + b * (255 - weight));
    case D3DTOP_BLENDTEXTUREALPHAPM: return std::min(255, a + Div255(b * (255 - weight)));
    default: return a;
    }
}

std::uint32_t EvaluateStage(const TextureStage& s, const StageInputs& in) {
    const std::uint32_t c1 = Argument(s.colorArg1, in), c2 = Argument(s.colorArg2, in);
    const int colorWeight = BlendWeight(s.colorOp, in);
    std::uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        out |= static_cast<std::uint32_t>(Operate(s.colorOp, Channel(c1, shift), Channel(c2, shift), colorWeight))
               << shift;
    }
    int alpha = Channel(in.current, 24);
    if (s.alphaOp != D3DTOP_DISABLE) {
        const std::uint32_t a1 = Argument(s.alphaArg1, in), a2 = Argument(s.alphaArg2, in);
        alpha = Operate(s.alphaOp, Channel(a1, 24), Channel(a2, 24), BlendWeight(s.alphaOp, in));
    }
    return out | (static_cast<std::uint32_t>(alpha) << 24);
}

void CombineGeneric(const PixelPipeline& p, Run& r) {
    for (int i = 0; i < r.count; ++i) {
        StageInputs in{r.diffuse[i], r.specular[i], 0xFFFFFFFFu, p.textureFactor, r.diffuse[i]};
        for (int s = 0; s < p.stageCount; ++s) {
            in.texel = p.sampled[s] ? r.texel[s][i] : 0xFFFFFFFFu;
            in.current = EvaluateStage(p.stages[s], in);
        }
        std::uint32_t c = in.current;
        if (p.addSpecular) {
            std::uint32_t sum = c & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                sum |= static_cast<std::uint32_t>(std::min(255, Channel(c, shift) + Channel(in.specular, shift)))
                       << shift;
            }
            c = sum;
        }
        r.color[i] = c;
    }
}

void CombineTexture(const PixelPipeline&, Run& r) { std::copy(r.texel[0], r.texel[0] + r.count, r.color); }

void CombineDiffuse(const PixelPipeline&, Run& r) { std::copy(r.diffuse, r.diffuse + r.count, r.color); }


// What one operation of stage 0 yields, for recognising the common set-ups.
enum class Yield { Texture, Diffuse, TextureTimesDiffuse, Other };

Yield Source(DWORD arg) {
    if (arg == D3DTA_TEXTURE) return Yield::Texture;
    if (arg == D3DTA_DIFFUSE || arg == D3DTA_CURRENT) return Yield::Diffuse;  // current is diffuse at stage 0
    return Yield::Other;
}

Yield StageYield(DWORD op, DWORD arg1, DWORD arg2, bool diffuseIsWhite) {
    if (op == D3DTOP_SELECTARG1) return Source(arg1);
    if (op == D3DTOP_SELECTARG2) return Source(arg2);
    if (op != D3DTOP_MODULATE) return Yield::Other;
    const Yield a = Source(arg1), b = Source(arg2);
    const bool texAndDiffuse = (a == Yield::Texture && b == Yield::Diffuse) || (a == Yield::Diffuse && b == Yield::Texture);
    if (!texAndDiffuse) return Yield::Other;
    return diffuseIsWhite ? Yield::Texture : Yield::TextureTimesDiffuse;
}

// Colour: texel times diffuse; alpha: the same product, the texel's or the
// diffuse alpha.
template <Yield Alpha>
void CombineModulate(const PixelPipeline&, Run& r) {
    for (int i = 0; i < r.count; ++i) {
        const std::uint32_t t = r.texel[0][i], d = r.diffuse[i];
        std::uint32_t out = 0;
        for (int shift = 0; shift < 24; shift += 8) {
            out |= static_cast<std::uint32_t>(Div255(Channel(t, shift) * Channel(d, shift))) << shift;
        }
        const std::uint32_t alpha = Alpha == Yield::Texture   ? t >> 24
                                    : Alpha == Yield::Diffuse ? d >> 24
                                                              : static_cast<std::uint32_t>(Div255(Channel(t, 24) * Channel(d, 24)));
        r.color[i] = out | (alpha << 24);
    }
}

RunStep ChooseModulate(Yield alpha) {
    switch (alpha) {
    case Yield::Texture: return CombineModulate<Yield::Texture>;
    case Yield::Diffuse: return CombineModulate<Yield::Diffuse>;
    case Yield::TextureTimesDiffuse: return CombineModulate<Yield::TextureTimesDiffuse>;
    default: return CombineGeneric;
    }
}

}  // namespace

RunStep ChooseCombine(const PixelPipeline& p, bool diffuseIsWhite, bool specialise, bool& readsDiffuse) {
    readsDiffuse = true;
    if (!specialise || p.addSpecular || p.stageCount > 1) return CombineGeneric;
    if (p.stageCount == 0) return CombineDiffuse;
    const TextureStage& s = p.stages[0];
    const Yield color = StageYield(s.colorOp, s.colorArg1, s.colorArg2, diffuseIsWhite);
    const Yield alpha = StageYield(s.alphaOp, s.alphaArg1, s.alphaArg2, diffuseIsWhite);
    if (color == Yield::TextureTimesDiffuse && p.sampled[0]) return ChooseModulate(alpha);
    if (color != alpha || color == Yield::Other) return CombineGeneric;
    if (color == Yield::Texture) {
        readsDiffuse = !p.sampled[0];
        return p.sampled[0] ? CombineTexture : CombineGeneric;
    }
    return CombineDiffuse;
}

void AlphaTest(const PixelPipeline& p, Run& r) {
    for (int i = 0; i < r.count; ++i) {
        if (!Compare(p.alphaFunc, r.color[i] >> 24, p.alphaRef)) r.mask &= ~(1u << i);
    }
}

}  // namespace valmere::raster
