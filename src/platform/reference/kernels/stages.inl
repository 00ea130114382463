#pragma once
// Combining the texture stages: each stage's two arguments (the interpolated colours, the
// texture factor, its texture's sample, or the colour so far) under its colour and alpha
// operations, in turn over the stages, then the specular colour added and the result rounded
// to whole 8-bit steps. A stage computes only the results its liveness says are read.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/kernels/colour.inl"
#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/kernels/programs.inl"
#include "platform/reference/kernels/sampling.inl"
#include "platform/reference/pixel_state.h"
#include "platform/reference/tile_raster.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

struct StageInputs {
    Colour diffuse;
    Colour specular;
    Colour factor;
    Colour texture;
};

KERNEL_INLINE Colour Argument(std::uint8_t arg, const StageInputs& in, const Colour& current) {
    Colour c;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE:
            c = in.diffuse;
            break;
        case D3DTA_TEXTURE:
            c = in.texture;
            break;
        case D3DTA_TFACTOR:
            c = in.factor;
            break;
        case D3DTA_SPECULAR:
            c = in.specular;
            break;
        default:  // CURRENT
            c = current;
            break;
    }
    if (arg & D3DTA_COMPLEMENT) c = {255.0f - c.r, 255.0f - c.g, 255.0f - c.b, 255.0f - c.a};
    if (arg & D3DTA_ALPHAREPLICATE) c.r = c.g = c.b = c.a;
    return c;
}

inline vf Operate(std::uint8_t op, vf x, vf y) {
    constexpr float kScale = 1.0f / 255.0f;
    switch (op) {
        case D3DTOP_SELECTARG2:
            return y;
        case D3DTOP_MODULATE:
            return x * y * kScale;
        case D3DTOP_MODULATE2X:
            return Min(x * y * (2.0f * kScale), Splat(255.0f));
        case D3DTOP_MODULATE4X:
            return Min(x * y * (4.0f * kScale), Splat(255.0f));
        case D3DTOP_ADD:
            return Min(x + y, Splat(255.0f));
        case D3DTOP_SUBTRACT:
            return Max(x - y, Splat(0.0f));
        default:  // SELECTARG1
            return x;
    }
}

KERNEL_INLINE Colour RunStage(const StageState& stage, const StageInputs& in, const Colour& current) {
    Colour result = current;
    if (stage.colourLive) {
        Colour c1 = Argument(stage.colourArg1, in, current), c2 = Argument(stage.colourArg2, in, current);
        result.r = Operate(stage.colourOp, c1.r, c2.r);
        result.g = Operate(stage.colourOp, c1.g, c2.g);
        result.b = Operate(stage.colourOp, c1.b, c2.b);
    }
    if (stage.alphaLive && stage.alphaOp != D3DTOP_DISABLE) {
        vf a1 = Argument(stage.alphaArg1, in, current).a, a2 = Argument(stage.alphaArg2, in, current).a;
        result.a = Operate(stage.alphaOp, a1, a2);
    }
    return result;
}

// Whether a fixed program's blend multiplies its source colour by zero in every live lane, so
// that the last stage's texture need not be sampled: the source factor is the source alpha (or
// its complement), that alpha is 0 (or 255) in every live lane, and the last stage passes the
// alpha on without reading its texture. The terrain's rock pass over grass, and its grass pass
// over rock, are such blocks. The colour left unsampled is finite either way, so x 0 gives the
// same 0 as the sampled one would.
template <int kStages, Program kProgram>
KERNEL_INLINE bool SourceColourIgnored(vf alpha, vi live) {
    if constexpr (!kProgram.fixed || kStages != 2) {
        return false;
    } else {
        constexpr StageState last = kProgram.stages[1];
        constexpr bool alphaPassesOn = last.alphaOp == D3DTOP_SELECTARG1 && last.alphaArg1 == D3DTA_CURRENT;
        if constexpr (!alphaPassesOn || last.sampled != kRgb) return false;
        const vf rounded = RoundNonNegative(Clamp255(alpha));
        if constexpr (kProgram.srcBlend == D3DBLEND_SRCALPHA) return !Any(live & (rounded != 0.0f));
        if constexpr (kProgram.srcBlend == D3DBLEND_INVSRCALPHA) return !Any(live & (rounded != 255.0f));
        return false;
    }
}

// What the stages read besides their textures, at the block's pixels; w is 1 / (1/w).
template <int kStages>
KERNEL_INLINE StageInputs Inputs(const TriangleSetup& t, const PixelState& s, vf x, vf y, vf w) {
    StageInputs in;
    vf perspective = t.flat ? Splat(1.0f) : w;
    in.diffuse = {Evaluate(t.colour[0], x, y) * perspective, Evaluate(t.colour[1], x, y) * perspective,
                  Evaluate(t.colour[2], x, y) * perspective, Evaluate(t.colour[3], x, y) * perspective};
    if constexpr (kStages > 0) {
        if (s.addSpecular)
            in.specular = {Evaluate(t.specular[0], x, y) * perspective, Evaluate(t.specular[1], x, y) * perspective,
                           Evaluate(t.specular[2], x, y) * perspective, Splat(0.0f)};
        else
            in.specular = Colour{Splat(0.0f), Splat(0.0f), Splat(0.0f), Splat(0.0f)};
        in.factor = Splat(s.textureFactor);
    }
    return in;
}

// Stage k over `current`, with its texture sampled at the block's pixels into in.texture.
template <int kStages, Program kProgram>
KERNEL_INLINE Colour ShadeStage(const TriangleSetup& t, const PixelState& s, int k, vf x, vf y, vf w, vi live,
                                StageInputs& in, const Colour& current) {
    const StageState stage = StageOf<kProgram>(s, k);
    if (k == 1 && SourceColourIgnored<kStages, kProgram>(current.a, live))
        in.texture = Splat(0u);
    else if (stage.sampled != 0 && s.textures[k] != nullptr)
        in.texture = Sample(*s.textures[k], SamplerOf<kProgram>(s, k), Evaluate(t.tex[k][0], x, y) * w,
                            Evaluate(t.tex[k][1], x, y) * w, stage.sampled);
    else
        in.texture = Splat(0xFFFFFFFFu);  // a stage without a texture reads opaque white
    return RunStage(stage, in, current);
}

// The stages' colour with the specular colour added, rounded to whole 8-bit steps.
KERNEL_INLINE Colour Rounded(const TriangleSetup& t, const PixelState& s, vf x, vf y, vf w, Colour current) {
    if (s.addSpecular) {
        vf perspective = t.flat ? Splat(1.0f) : w;
        current.r = current.r + Evaluate(t.specular[0], x, y) * perspective;
        current.g = current.g + Evaluate(t.specular[1], x, y) * perspective;
        current.b = current.b + Evaluate(t.specular[2], x, y) * perspective;
    }
    return {RoundNonNegative(Clamp255(current.r)), RoundNonNegative(Clamp255(current.g)),
            RoundNonNegative(Clamp255(current.b)), RoundNonNegative(Clamp255(current.a))};
}

// The colour the stages make for one block, rounded to whole 8-bit steps.
template <int kStages, Program kProgram>
KERNEL_INLINE Colour ShadeColour(const TriangleSetup& t, const PixelState& s, vf x, vf y, vi live) {
    vf w = Splat(1.0f) / Evaluate(t.invW, x, y);
    StageInputs in = Inputs<kStages>(t, s, x, y, w);
    Colour current = in.diffuse;
    for (int k = 0; k < kStages; ++k) current = ShadeStage<kStages, kProgram>(t, s, k, x, y, w, live, in, current);
    return Rounded(t, s, x, y, w, current);
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
