#pragma once
// The per-pixel tests (depth and alpha comparisons) and what a draw leaves in the frame: the
// blend of its colour with the frame's, the alpha the back buffer keeps, the colour write mask.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/kernels/colour.inl"
#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/kernels/programs.inl"
#include "platform/reference/pixel_state.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

inline vi Compare(std::uint8_t function, vi value, vi reference) {
    switch (function) {
        case D3DCMP_NEVER:
            return SplatI(0);
        case D3DCMP_LESS:
            return value < reference;
        case D3DCMP_EQUAL:
            return value == reference;
        case D3DCMP_LESSEQUAL:
            return value <= reference;
        case D3DCMP_GREATER:
            return value > reference;
        case D3DCMP_NOTEQUAL:
            return value != reference;
        case D3DCMP_GREATEREQUAL:
            return value >= reference;
        default:
            return SplatI(-1);
    }
}

// A blend factor, 0 to 1 per channel.
KERNEL_INLINE Colour Factor(std::uint8_t factor, const Colour& src, const Colour& dst) {
    constexpr float k = 1.0f / 255.0f;
    auto all = [](vf x) { return Colour{x, x, x, x}; };
    switch (factor) {
        case D3DBLEND_ZERO:
            return all(Splat(0.0f));
        case D3DBLEND_SRCCOLOR:
            return {src.r * k, src.g * k, src.b * k, src.a * k};
        case D3DBLEND_INVSRCCOLOR:
            return {1.0f - src.r * k, 1.0f - src.g * k, 1.0f - src.b * k, 1.0f - src.a * k};
        case D3DBLEND_SRCALPHA:
            return all(src.a * k);
        case D3DBLEND_INVSRCALPHA:
            return all(1.0f - src.a * k);
        case D3DBLEND_DESTALPHA:
            return all(dst.a * k);
        case D3DBLEND_INVDESTALPHA:
            return all(1.0f - dst.a * k);
        case D3DBLEND_DESTCOLOR:
            return {dst.r * k, dst.g * k, dst.b * k, dst.a * k};
        case D3DBLEND_INVDESTCOLOR:
            return {1.0f - dst.r * k, 1.0f - dst.g * k, 1.0f - dst.b * k, 1.0f - dst.a * k};
        default:  // ONE
            return all(Splat(1.0f));
    }
}

// The blended colour, half a step up: Pack's truncation then rounds it, to the same whole
// numbers as rounding here would, without converting to integers and back in between.
template <Program kProgram>
KERNEL_INLINE Colour Blend(const PixelState& s, const Colour& src, const Colour& dst) {
    const std::uint8_t srcBlend = kProgram.fixed ? kProgram.srcBlend : s.srcBlend;
    const std::uint8_t destBlend = kProgram.fixed ? kProgram.destBlend : s.destBlend;
    auto toPack = [](vf x) { return Clamp255(x) + 0.5f; };
    Colour fs = Factor(srcBlend, src, dst);
    if (destBlend == D3DBLEND_ZERO)  // the frame below does not count
        return {toPack(src.r * fs.r), toPack(src.g * fs.g), toPack(src.b * fs.b), toPack(src.a * fs.a)};
    Colour fd = Factor(destBlend, src, dst);
    return {toPack(src.r * fs.r + dst.r * fd.r), toPack(src.g * fs.g + dst.g * fd.g),
            toPack(src.b * fs.b + dst.b * fd.b), toPack(src.a * fs.a + dst.a * fd.a)};
}

// The word a draw leaves in the frame where it writes `colour` over `old`.
template <bool kBlend, Program kProgram>
KERNEL_INLINE vu Written(const PixelState& s, Colour colour, vu old) {
    if constexpr (kBlend) colour = Blend<kProgram>(s, colour, Unpack(old));
    if (!(kProgram.fixed ? kProgram.keepDestAlpha : s.keepDestAlpha)) colour.a = Splat(255.0f);
    vu mask = reinterpret_cast<vu>(SplatI(static_cast<std::int32_t>(s.colourWriteMask)));
    return (Pack(colour) & mask) | (old & ~mask);
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
