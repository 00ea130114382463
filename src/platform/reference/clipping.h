#pragma once
// Clipping a triangle that crosses a clip plane (near, far, the guard band, or w near zero):
// Sutherland-Hodgman against each plane it crosses, in homogeneous space so that the attributes
// stay perspective-correct. The result is a convex polygon with the triangle's winding.

#include <cstdint>
#include <vector>

#include "platform/reference/frame.h"
#include "platform/reference/vertex_stage.h"

namespace reference {

// Working memory, kept between triangles.
struct ClipScratch {
    std::vector<ShadedVertex> polygon;
    std::vector<ShadedVertex> clippedPolygon;
};

// Clips the triangle a, b, c against the planes in `planes` (kOutside... bits) and projects the
// polygon left to the screen: in scratch.polygon, empty when nothing is left, else at least
// three vertices, all inside every plane (outcodes 0).
const std::vector<ShadedVertex>& ClipTriangle(const VertexSetup& setup, const ShadedVertex& a, const ShadedVertex& b,
                                              const ShadedVertex& c, std::uint32_t planes, ClipScratch& scratch);

}  // namespace reference
