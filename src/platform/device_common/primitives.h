#pragma once
// How a draw's elements (its vertices, or its indices when indexed) make triangles. Both devices
// walk primitives this way, so that they drop and keep the same triangles.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"

namespace device_common {

// Elements that `primitiveCount` primitives read; 0 for a primitive type that is not drawn.
constexpr std::uint64_t ElementCount(D3DPRIMITIVETYPE type, UINT primitiveCount) {
    switch (type) {
        case D3DPT_TRIANGLELIST:
            return 3ull * primitiveCount;
        case D3DPT_TRIANGLESTRIP:
        case D3DPT_TRIANGLEFAN:
            return primitiveCount + 2ull;
        default:
            return 0;
    }
}

// The elements of triangle `p`, in an order that keeps every triangle's winding the first
// one's, with the provoking (flat-shaded) vertex first.
inline void TriangleElements(D3DPRIMITIVETYPE type, UINT p, std::uint64_t e[3]) {
    if (type == D3DPT_TRIANGLELIST) {
        e[0] = 3ull * p, e[1] = e[0] + 1, e[2] = e[0] + 2;
    } else if (type == D3DPT_TRIANGLESTRIP) {
        // Every other strip triangle is reversed.
        e[0] = p, e[1] = (p & 1) ? p + 2ull : p + 1ull, e[2] = (p & 1) ? p + 1ull : p + 2ull;
    } else {
        e[0] = p + 1ull, e[1] = p + 2ull, e[2] = 0;  // fan (0, p+1, p+2), rotated: same winding
    }
}

}  // namespace device_common
