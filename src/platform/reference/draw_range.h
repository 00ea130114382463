#pragma once
// The vertices and indices one draw reads, as the device hands them to the renderer.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"

namespace reference {

// Index values are relative to `vertices` after subtracting `indexBias`; every vertex in
// [0, vertexCount) may be read.
struct DrawRange {
    D3DPRIMITIVETYPE type;
    UINT primitiveCount;
    const std::uint8_t* vertices;
    UINT stride;
    UINT vertexCount;
    const std::uint8_t* indices;  // null for a non-indexed draw
    UINT indexSize;
    UINT indexBias;
};

}  // namespace reference
