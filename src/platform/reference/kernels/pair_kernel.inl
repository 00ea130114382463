#pragma once
// The pair kernel: two passes over the same triangles drawn together, triangle by triangle, for
// the pair of fixed programs kMaskedLitScaledByAlpha then kMaskedLitMixedByAlpha (what makes two
// draws a pair, and what happens when the pair stops, is told in pass_pairing.h). Each block is
// depth tested, interpolated and masked once (both passes sample the same mask the same way),
// and the first pass's word, as the frame would hold it, is the second's destination. That is
// the frame the passes make one after the other unless two triangles of the pair meet a pixel at
// equal depth, where the second pass would blend over both: the guard then stops the pair.

#include <cstdint>
#include <cstring>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/kernels/blending.inl"
#include "platform/reference/kernels/colour.inl"
#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/kernels/programs.inl"
#include "platform/reference/kernels/stages.inl"
#include "platform/reference/kernels/walker.inl"
#include "platform/reference/tile_raster.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

constexpr Program kPairFirst = kMaskedLitScaledByAlpha;
constexpr Program kPairSecond = kMaskedLitMixedByAlpha;

// Whether a tie (a pixel the triangle meets at the depth it already has) may be drawn by the
// pair: only the first in the tile, and only at a pixel whose depth is still the one saved
// before the pair, which no triangle of the pair has drawn. Any other may meet a pixel the pair
// has drawn. False stops the pair.
KERNEL_INLINE bool TieAllowed(PairGuard& guard, const QuadSet& quads, bool rows, vi ties, vu storedDepth) {
    if (!Any(ties)) return true;
    const vu saved = LoadQuads(guard.savedDepth, kTileSize, quads, rows);
    if (guard.tieSeen || Any(ties & (storedDepth != saved))) {
        guard.tie = true;
        return false;
    }
    guard.tieSeen = true;
    return true;
}

KERNEL_INLINE void ShadePairedQuads(const TriangleSetup& t, const PixelState& first, const PixelState& second,
                                    const KernelTarget& target, PairGuard& guard, const QuadSet& quads, bool rows,
                                    vi live, vi px, vi py) {
    if (guard.tie) return;
    vf x = ToFloat(px), y = ToFloat(py);
    vf z = Min(Max(Evaluate(t.z, x, y), Splat(0.0f)), Splat(1.0f));
    vi depth = MinI(Truncate(z * 16777215.0f + 0.5f), SplatI(16777215));
    vu storedDepth = LoadQuads(target.depth, target.pitch, quads, rows);
    live &= depth <= reinterpret_cast<vi>(storedDepth);  // both passes test LESSEQUAL
    if (!Any(live)) return;
    if (!TieAllowed(guard, quads, rows, live & (depth == reinterpret_cast<vi>(storedDepth)), storedDepth)) return;
    vf w = Splat(1.0f) / Evaluate(t.invW, x, y);
    StageInputs firstIn = Inputs<2>(t, first, x, y, w);
    StageInputs secondIn = firstIn;
    const Colour masked = ShadeStage<2, kPairFirst>(t, first, 0, x, y, w, live, firstIn, firstIn.diffuse);
    const Colour firstColour =
        Rounded(t, first, x, y, w, ShadeStage<2, kPairFirst>(t, first, 1, x, y, w, live, firstIn, masked));
    const Colour secondColour =
        Rounded(t, second, x, y, w, ShadeStage<2, kPairSecond>(t, second, 1, x, y, w, live, secondIn, masked));
    vu old = LoadQuads(target.colour, target.pitch, quads, rows);
    vu afterFirst = Written<true, kPairFirst>(first, firstColour, old);
    vu afterSecond = Written<true, kPairSecond>(second, secondColour, afterFirst);
    StoreQuads(target.colour, target.pitch, quads, rows, live ? afterSecond : old);
    if (first.depthWrite || second.depthWrite)
        StoreQuads(target.depth, target.pitch, quads, rows, live ? reinterpret_cast<vu>(depth) : storedDepth);
}

void DrawPairedTriangle(const TriangleSetup& t, const PixelState& first, const PixelState& second,
                        const KernelTarget& target, PairGuard& guard) {
    WalkTriangle(t, [&](const QuadSet& quads, bool rows, vi live, vi px, vi py) {
        ShadePairedQuads(t, first, second, target, guard, quads, rows, live, px, py);
    });
}

// The first pass writes depth where it passes LESSEQUAL, which the second then tests.
inline bool LeadsPairState(const PixelState& first) {
    return first.depthTest && first.depthWrite && first.depthFunc == D3DCMP_LESSEQUAL && !first.alphaTest &&
           first.blend && Runs(first, kPairFirst);
}

// What the pair computes once must be the same for both: the mask's sampler (the caller sees
// that the two masks hold the same texels), the interpolated colour, and the box the triangles
// are drawn in.
inline PairKernel PairKernelFor(const PixelState& first, const PixelState& second) {
    if (!LeadsPairState(first) || !second.depthTest || second.depthFunc != D3DCMP_LESSEQUAL || second.alphaTest ||
        !second.blend || !Runs(second, kPairSecond))
        return nullptr;
    const bool sameMask = std::memcmp(&first.samplers[0], &second.samplers[0], sizeof(SamplerSetup)) == 0;
    const bool sameInterpolation = first.flatShading == second.flatShading && first.addSpecular == second.addSpecular;
    const bool sameViewport = first.viewportX0 == second.viewportX0 && first.viewportY0 == second.viewportY0 &&
                              first.viewportX1 == second.viewportX1 && first.viewportY1 == second.viewportY1;
    return sameMask && sameInterpolation && sameViewport ? DrawPairedTriangle : nullptr;
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
