#pragma once
// The last step of recording a draw: a triangle whose vertices are all on screen (inside the
// clip planes, positions snapped) is culled by its winding or dropped when it covers no pixel
// centre, and otherwise filed under every tile its box touches, in submission order.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/frame.h"

namespace reference {

// Where and how a draw's triangles are filed.
struct BinTarget {
    Frame& frame;
    DWORD cullMode;
    std::uint32_t state;                                 // index into frame.states
    int viewportX0, viewportY0, viewportX1, viewportY1;  // pixels, right and bottom exclusive
};

// Files the triangle of frame vertices i0, i1, i2 (provoking: the vertex flat shading takes its
// colour from), made clockwise on screen.
void BinTriangle(const BinTarget& target, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2,
                 std::uint32_t provoking);

}  // namespace reference
