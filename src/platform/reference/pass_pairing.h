#pragma once
// The terrain draws its triangles twice, in two blended passes that differ only in ground
// texture and blend. When a draw repeats the previous draw's triangles exactly, the two are
// recorded as one pair, which the tiles draw together (see PairKernel): each pixel is tested,
// interpolated and masked once instead of twice.

#include <cstddef>

#include "platform/reference/frame.h"

namespace reference {

// Where a draw's vertices and triangles lie in the frame record.
struct DrawSpan {
    std::size_t firstVertex, endVertex;
    std::size_t firstTriangle, endTriangle;
};

// Whether a recorded draw may be the first of a pair, so that the next draw is worth waiting for.
bool MayLeadPair(const Frame& frame, const DrawSpan& draw);

// Pairs `second` with `first`, the draw recorded just before it, when its triangles are first's
// after the vertex stage, vertex for vertex, and the two states make a pair. The second draw's
// vertices and triangles then leave the record. False, with the record unchanged, otherwise.
bool PairWithPrevious(Frame& frame, const DrawSpan& first, const DrawSpan& second);

}  // namespace reference
