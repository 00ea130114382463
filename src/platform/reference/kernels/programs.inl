#pragma once
// Fixed programs: stage, sampler and blend settings fixed at compile time for the combinations
// drawn most, so that every switch on an operation, argument, address mode or factor folds away.
// A kernel built for a program reads everything else (and, for kAnyProgram, everything) from the
// draw's state. A draw runs a program only when its captured state equals the program's, byte
// for byte where it is fixed; the liveness the capture adds to each stage is derived here by the
// same MarkLiveChannels, so the two cannot drift apart and turn the fast path off unseen.

#include <cstdint>
#include <cstring>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/live_channels.h"
#include "platform/reference/pixel_state.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

struct SamplerModes {
    std::uint8_t addressU, addressV, magFilter, minFilter, mipFilter;
};

struct Program {
    bool fixed;
    StageState stages[2];
    SamplerModes samplers[2];
    std::uint8_t srcBlend, destBlend;
    bool keepDestAlpha;  // without it the blend's alpha is never computed
};

constexpr Program kAnyProgram{false, {}, {}, 0, 0, false};

template <Program kProgram>
KERNEL_INLINE StageState StageOf(const PixelState& s, int k) {
    if constexpr (kProgram.fixed) return kProgram.stages[k];
    return s.stages[k];
}

template <Program kProgram>
KERNEL_INLINE SamplerSetup SamplerOf(const PixelState& s, int k) {
    SamplerSetup sampler = s.samplers[k];
    if constexpr (kProgram.fixed) {
        const SamplerModes& modes = kProgram.samplers[k];
        sampler.addressU = modes.addressU;
        sampler.addressV = modes.addressV;
        sampler.magFilter = modes.magFilter;
        sampler.minFilter = modes.minFilter;
        sampler.mipFilter = modes.mipFilter;
    }
    return sampler;
}

// A stage as the capture records it: operations and arguments, and its texture coordinate set;
// the liveness follows from the stages together (see TwoStageProgram).
constexpr StageState Stage(DWORD colourOp, DWORD alphaOp, DWORD colourArg1, DWORD colourArg2, DWORD alphaArg1,
                           DWORD alphaArg2, int texCoordSet) {
    return StageState{static_cast<std::uint8_t>(colourOp),
                      static_cast<std::uint8_t>(alphaOp),
                      static_cast<std::uint8_t>(colourArg1),
                      static_cast<std::uint8_t>(colourArg2),
                      static_cast<std::uint8_t>(alphaArg1),
                      static_cast<std::uint8_t>(alphaArg2),
                      static_cast<std::uint8_t>(texCoordSet),
                      0,
                      0,
                      0};
}

constexpr Program TwoStageProgram(StageState first, StageState second, SamplerModes firstSampler,
                                  SamplerModes secondSampler, DWORD srcBlend, DWORD destBlend) {
    Program program{true,
                    {first, second},
                    {firstSampler, secondSampler},
                    static_cast<std::uint8_t>(srcBlend),
                    static_cast<std::uint8_t>(destBlend),
                    false};
    MarkLiveChannels(program.stages, 2);
    return program;
}

// Stage 0 takes its texture's alpha (a mask), stage 1 the lit colour times its texture's colour,
// passing the mask on as alpha; both textures trilinear, the mask clamped, the other wrapped. The
// back buffer (the viewer's) has no alpha.
constexpr StageState kMaskAlpha =
    Stage(D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEXTURE, D3DTA_CURRENT, 0);
constexpr StageState kLitTexture =
    Stage(D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_CURRENT, 1);
constexpr SamplerModes kClampedTrilinear{D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP, D3DTEXF_LINEAR, D3DTEXF_LINEAR,
                                         D3DTEXF_LINEAR};
constexpr SamplerModes kWrappedTrilinear{D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTEXF_LINEAR, D3DTEXF_LINEAR,
                                         D3DTEXF_LINEAR};
// The masked lit texture scaled by the mask: src x alpha, the frame below not kept.
constexpr Program kMaskedLitScaledByAlpha =
    TwoStageProgram(kMaskAlpha, kLitTexture, kClampedTrilinear, kWrappedTrilinear, D3DBLEND_SRCALPHA, D3DBLEND_ZERO);
// The masked lit texture mixed with the frame: src x (1 - alpha) + frame x alpha.
constexpr Program kMaskedLitMixedByAlpha = TwoStageProgram(kMaskAlpha, kLitTexture, kClampedTrilinear,
                                                           kWrappedTrilinear, D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA);

// What the kernels' shortcuts for these programs rely on: the mask stage reads only its
// texture's alpha (its colour is never fetched), the lit stage only its texture's colour (so
// that a blend that ignores the source may skip it).
static_assert(kMaskedLitScaledByAlpha.stages[0].sampled == kAlpha && !kMaskedLitScaledByAlpha.stages[0].colourLive);
static_assert(kMaskedLitScaledByAlpha.stages[1].sampled == kRgb);

inline bool SameModes(const SamplerSetup& sampler, const SamplerModes& modes) {
    return sampler.addressU == modes.addressU && sampler.addressV == modes.addressV &&
           sampler.magFilter == modes.magFilter && sampler.minFilter == modes.minFilter &&
           sampler.mipFilter == modes.mipFilter;
}

// Whether a blended two-stage draw's state is the program's.
inline bool Runs(const PixelState& s, const Program& program) {
    if (s.stageCount != 2 || s.srcBlend != program.srcBlend || s.destBlend != program.destBlend ||
        (s.keepDestAlpha != 0) != program.keepDestAlpha)
        return false;
    for (int k = 0; k < 2; ++k)
        if (std::memcmp(&s.stages[k], &program.stages[k], sizeof(StageState)) != 0 ||
            !SameModes(s.samplers[k], program.samplers[k]))
            return false;
    return true;
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
