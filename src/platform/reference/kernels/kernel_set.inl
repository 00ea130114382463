// The pixel kernels of one instruction set, written once for any lane count: included by
// kernels_sse2.cpp (4 lanes: one 2 x 2 quad), kernels_avx2.cpp (8 lanes: two quads) and
// kernels_avx512.cpp (16 lanes: four quads), each after defining KERNEL_NAMESPACE and
// KERNEL_LANES. Every lane does the same IEEE operations in the same order in all of them, so
// the sets draw identical frames. Here a draw's state picks its kernel: a variant specialised
// for its tests, blend and stage count, or for a fixed program.
//
// The pieces, each included where it is needed:
//   lanes.inl       the lane vectors and every operation that depends on their count
//   colour.inl      colours as channel vectors, packing, interpolated attributes
//   sampling.inl    texture addressing, filtering and the mip chain
//   programs.inl    the fixed programs: state known at compile time
//   stages.inl      the texture stages' combination
//   blending.inl    the depth and alpha tests, blending, what is written
//   walker.inl      the walk over a triangle's quads in a tile
//   pair_kernel.inl two passes over the same triangles drawn together

#include <cstdint>

#include "platform/reference/kernels/blending.inl"
#include "platform/reference/kernels/colour.inl"
#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/kernels/pair_kernel.inl"
#include "platform/reference/kernels/programs.inl"
#include "platform/reference/kernels/stages.inl"
#include "platform/reference/kernels/walker.inl"
#include "platform/reference/tile_raster.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

// Shades the quads' lanes in `live`, the pixels the triangle covers; (px, py) are the lanes' pixels.
template <bool kDepthTest, bool kAlphaTest, bool kBlend, int kStages, Program kProgram>
KERNEL_INLINE void ShadeQuads(const TriangleSetup& t, const PixelState& s, const KernelTarget& target,
                              const QuadSet& quads, bool rows, vi live, vi px, vi py) {
    vf x = ToFloat(px), y = ToFloat(py);
    vi depth{};
    vu storedDepth{};
    if constexpr (kDepthTest) {
        vf z = Min(Max(Evaluate(t.z, x, y), Splat(0.0f)), Splat(1.0f));
        depth = MinI(Truncate(z * 16777215.0f + 0.5f), SplatI(16777215));
        storedDepth = LoadQuads(target.depth, target.pitch, quads, rows);
        live &= Compare(s.depthFunc, depth, reinterpret_cast<vi>(storedDepth));
        if (!Any(live)) return;
    }
    Colour colour = ShadeColour<kStages, kProgram>(t, s, x, y, live);
    if constexpr (kAlphaTest) {
        live &= Compare(s.alphaFunc, Truncate(colour.a), SplatI(static_cast<std::int32_t>(s.alphaRef)));
        if (!Any(live)) return;
    }
    vu old = LoadQuads(target.colour, target.pitch, quads, rows);
    vu written = Written<kBlend, kProgram>(s, colour, old);
    StoreQuads(target.colour, target.pitch, quads, rows, live ? written : old);
    if constexpr (kDepthTest) {
        if (s.depthWrite)
            StoreQuads(target.depth, target.pitch, quads, rows, live ? reinterpret_cast<vu>(depth) : storedDepth);
    }
}

template <bool kDepthTest, bool kAlphaTest, bool kBlend, int kStages, Program kProgram = kAnyProgram>
void DrawTriangle(const TriangleSetup& t, const PixelState& s, const KernelTarget& target) {
    WalkTriangle(t, [&](const QuadSet& quads, bool rows, vi live, vi px, vi py) {
        ShadeQuads<kDepthTest, kAlphaTest, kBlend, kStages, kProgram>(t, s, target, quads, rows, live, px, py);
    });
}

template <bool kDepthTest, bool kAlphaTest, bool kBlend>
TriangleKernel ForStages(int stages) {
    switch (stages) {
        case 0:
            return DrawTriangle<kDepthTest, kAlphaTest, kBlend, 0>;
        case 1:
            return DrawTriangle<kDepthTest, kAlphaTest, kBlend, 1>;
        default:
            return DrawTriangle<kDepthTest, kAlphaTest, kBlend, 2>;
    }
}

template <bool kDepthTest, bool kAlphaTest>
TriangleKernel ForBlend(const PixelState& s) {
    return s.blend ? ForStages<kDepthTest, kAlphaTest, true>(s.stageCount)
                   : ForStages<kDepthTest, kAlphaTest, false>(s.stageCount);
}

template <bool kDepthTest>
TriangleKernel ForAlphaTest(const PixelState& s) {
    return s.alphaTest ? ForBlend<kDepthTest, true>(s) : ForBlend<kDepthTest, false>(s);
}

}  // namespace

TriangleKernel SelectKernel(const PixelState& state) {
    if (state.depthTest && !state.alphaTest && state.blend) {
        if (Runs(state, kMaskedLitScaledByAlpha)) return DrawTriangle<true, false, true, 2, kMaskedLitScaledByAlpha>;
        if (Runs(state, kMaskedLitMixedByAlpha)) return DrawTriangle<true, false, true, 2, kMaskedLitMixedByAlpha>;
    }
    return state.depthTest ? ForAlphaTest<true>(state) : ForAlphaTest<false>(state);
}

bool LeadsPair(const PixelState& first) { return LeadsPairState(first); }

PairKernel SelectPairKernel(const PixelState& first, const PixelState& second) { return PairKernelFor(first, second); }

}  // namespace reference::KERNEL_NAMESPACE
