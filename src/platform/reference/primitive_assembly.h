#pragma once
// Assembling a draw's primitives into triangles: lists, strips and fans, indexed or not, each
// triangle given with the winding of the first and its provoking vertex, whose colour flat
// shading uses (the first of a list's or a strip's triangle, the second of a fan's). A triangle whose index names a
// vertex outside the range the draw declared is dropped, so that no read goes past the vertices shaded.

#include <cstdint>
#include <cstring>

#include "platform/reference/draw_range.h"

namespace reference {

// The index of element `k` of the draw, as a vertex of the draw's range, or -1 when the index
// buffer names a vertex outside the range the draw declared.
inline std::int64_t VertexOf(const DrawRange& range, std::uint64_t k) {
    if (range.indices == nullptr) return k < range.vertexCount ? static_cast<std::int64_t>(k) : -1;
    std::uint32_t value;
    if (range.indexSize == 2) {
        std::uint16_t v16;
        std::memcpy(&v16, range.indices + 2 * k, 2);
        value = v16;
    } else {
        std::memcpy(&value, range.indices + 4 * k, 4);
    }
    if (value < range.indexBias || value - range.indexBias >= range.vertexCount) return -1;
    return value - range.indexBias;
}

// Calls emit(v0, v1, v2, provoking) for every triangle of the draw, in order, with vertex
// numbers offset by `base`.
template <class Emit>
void AssembleTriangles(const DrawRange& range, std::uint32_t base, Emit emit) {
    for (UINT p = 0; p < range.primitiveCount; ++p) {
        std::uint64_t e[3];
        if (range.type == D3DPT_TRIANGLELIST) {
            e[0] = 3ull * p, e[1] = e[0] + 1, e[2] = e[0] + 2;
        } else if (range.type == D3DPT_TRIANGLESTRIP) {
            // Every other strip triangle is reversed so that all keep the first one's winding.
            e[0] = p, e[1] = (p & 1) ? p + 2 : p + 1, e[2] = (p & 1) ? p + 1 : p + 2;
        } else {
            e[0] = p + 1, e[1] = p + 2, e[2] = 0;  // fan (0, p+1, p+2), rotated: same winding
        }
        std::int64_t v0 = VertexOf(range, e[0]), v1 = VertexOf(range, e[1]), v2 = VertexOf(range, e[2]);
        if (v0 < 0 || v1 < 0 || v2 < 0) continue;
        emit(base + static_cast<std::uint32_t>(v0), base + static_cast<std::uint32_t>(v1),
             base + static_cast<std::uint32_t>(v2), base + static_cast<std::uint32_t>(v0));
    }
}

}  // namespace reference
