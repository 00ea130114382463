#pragma once
// What the reference device did to draw a frame, for tests and tools: a change that silently
// turns a fast path off shows here.

#include <cstdint>

namespace reference {

// Counted from one Present to the next.
struct FrameStatistics {
    std::uint32_t draws = 0;         // draws recorded
    std::uint64_t triangles = 0;     // triangles binned (a pair's once)
    std::uint32_t pairedDraws = 0;   // draws drawn together with the draw before them
    std::uint32_t tilesRedrawn = 0;  // tiles where a pair stopped and its passes were drawn one by one
};

}  // namespace reference
