#pragma once
// Colours in the kernels: four channel vectors of 0 to 255 (floats), unpacked from and packed to
// A8R8G8B8 words, and the interpolated attributes they start from. A channel nobody reads stays
// zero, and the compiler drops its arithmetic.

#include <cstdint>

#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/pixel_state.h"
#include "platform/reference/tile_raster.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

// An attribute plane at each lane's pixel.
inline vf Evaluate(const Plane& p, vf x, vf y) { return Splat(p.c) + Splat(p.dx) * x + Splat(p.dy) * y; }

struct Colour {
    vf r{}, g{}, b{}, a{};
};

KERNEL_INLINE Colour Unpack(vu word) {
    return {ToFloat(reinterpret_cast<vi>((word >> 16) & 255)), ToFloat(reinterpret_cast<vi>((word >> 8) & 255)),
            ToFloat(reinterpret_cast<vi>(word & 255)), ToFloat(reinterpret_cast<vi>(word >> 24))};
}

KERNEL_INLINE Colour Splat(std::uint32_t word) {
    return {Splat(static_cast<float>((word >> 16) & 255)), Splat(static_cast<float>((word >> 8) & 255)),
            Splat(static_cast<float>(word & 255)), Splat(static_cast<float>(word >> 24))};
}

// The channels kChannels (kRgb, kAlpha or both) of the words; the others stay zero.
template <int kChannels>
KERNEL_INLINE Colour UnpackSome(vu word) {
    Colour c;
    if constexpr ((kChannels & kRgb) != 0) {
        c.r = ToFloat(reinterpret_cast<vi>((word >> 16) & 255));
        c.g = ToFloat(reinterpret_cast<vi>((word >> 8) & 255));
        c.b = ToFloat(reinterpret_cast<vi>(word & 255));
    }
    if constexpr ((kChannels & kAlpha) != 0) c.a = ToFloat(reinterpret_cast<vi>(word >> 24));
    return c;
}

inline vf Lerp(vf a, vf b, vf t) { return a + (b - a) * t; }

KERNEL_INLINE Colour Lerp(const Colour& a, const Colour& b, vf t) {
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
}

template <int kChannels>
KERNEL_INLINE Colour LerpSome(const Colour& a, const Colour& b, vf t) {
    Colour c;
    if constexpr ((kChannels & kRgb) != 0) {
        c.r = Lerp(a.r, b.r, t);
        c.g = Lerp(a.g, b.g, t);
        c.b = Lerp(a.b, b.b, t);
    }
    if constexpr ((kChannels & kAlpha) != 0) c.a = Lerp(a.a, b.a, t);
    return c;
}

// Packs whole (or, from Blend, half-step-up) channel values 0 to 255.5, truncating.
inline vu Pack(const Colour& c) {
    vu r = reinterpret_cast<vu>(Truncate(c.r)), g = reinterpret_cast<vu>(Truncate(c.g));
    vu b = reinterpret_cast<vu>(Truncate(c.b)), a = reinterpret_cast<vu>(Truncate(c.a));
    return (a << 24) | (r << 16) | (g << 8) | b;
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
