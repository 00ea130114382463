#pragma once
// The walk over a triangle's pixels in one tile: its box a row of quads at a time, tested
// against the three edges kTestWidth pixels at once, the covered quads gathered kQuads at a time
// and handed on with the lanes the triangle covers. Quads are handed on in the same order
// whatever the lane count, and a pixel belongs to one quad only, so every set writes the same.

#include <cstdint>

#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/tile_raster.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

// Where a quad set's lanes are, and which of them the triangle covers.
KERNEL_INLINE vi Coverage(const TriangleSetup& t, const QuadSet& q, vi& px, vi& py) {
    px = PerQuad(q.x) + kLaneX;
    py = PerQuad(q.y) + kLaneY;
    vi live = SplatI(-1);
    for (int k = 0; k < 3; ++k) live &= (SplatI(t.edgeC[k]) + SplatI(t.edgeA[k]) * px + SplatI(t.edgeB[k]) * py) >= 0;
    live &= (px >= t.x0) & (px <= t.x1) & (py >= t.y0) & (py <= t.y1);
    if (q.count < kQuads) live &= kLaneQuad < q.count;
    return live;
}

// Whether each quad of a coverage test (four mask bits apiece) has a covered pixel.
inline bool EveryQuadLive(int bits) {
    for (int q = 0; q < kQuads; ++q)
        if (((bits >> (4 * q)) & 15) == 0) return false;
    return true;
}

// Walks the triangle's box a row of quads at a time, collects the quads it covers and hands
// them to shade(quads, sideBySide, live, px, py) kQuads at a time.
template <class Shade>
inline void WalkTriangle(const TriangleSetup& t, Shade shade) {
    vi testEdge[3];
    for (int k = 0; k < 3; ++k)
        testEdge[k] = SplatI(t.edgeC[k]) + SplatI(t.edgeA[k]) * kTestX + SplatI(t.edgeB[k]) * kLaneY;
    const vi x0 = SplatI(t.x0), x1 = SplatI(t.x1), y0 = SplatI(t.y0), y1 = SplatI(t.y1);
    QuadSet pending{{}, {}, 0};
    auto shadePending = [&] {
        vi px, py;
        vi live = Coverage(t, pending, px, py);
        shade(pending, SideBySide(pending), live, px, py);
    };
    for (int by = t.y0 & ~1; by <= t.y1; by += 2) {
        for (int bx = t.x0 & ~1; bx <= t.x1; bx += kTestWidth) {
            vi e0 = testEdge[0] + (t.edgeA[0] * bx + t.edgeB[0] * by);
            vi e1 = testEdge[1] + (t.edgeA[1] * bx + t.edgeB[1] * by);
            vi e2 = testEdge[2] + (t.edgeA[2] * bx + t.edgeB[2] * by);
            vi px = SplatI(bx) + kTestX, py = SplatI(by) + kLaneY;
            vi live = ((e0 | e1 | e2) >= 0) & (px >= x0) & (px <= x1) & (py >= y0) & (py <= y1);
            int bits = MaskBits(live);
            if (pending.count == 0 && EveryQuadLive(bits)) {
                // The test's lanes are already the quads' lanes, side by side: shade them as tested.
                QuadSet row{{}, {}, kQuads};
                for (int q = 0; q < kQuads; ++q) row.x[q] = bx + 2 * q, row.y[q] = by;
                shade(row, N > 4, live, px, py);
                continue;
            }
            for (int q = 0; q < kQuads; ++q) {
                if (((bits >> (4 * q)) & 15) == 0) continue;
                pending.x[pending.count] = bx + 2 * q;
                pending.y[pending.count] = by;
                if (++pending.count == kQuads) {
                    shadePending();
                    pending.count = 0;
                }
            }
        }
    }
    if (pending.count > 0) {
        // The missing quads repeat the first, so that their lanes compute nothing out of range.
        for (int i = pending.count; i < kQuads; ++i) {
            pending.x[i] = pending.x[0];
            pending.y[i] = pending.y[0];
        }
        shadePending();
    }
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
