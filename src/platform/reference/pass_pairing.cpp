#include "platform/reference/pass_pairing.h"

#include <cstring>

#include "platform/reference/tile_raster.h"

namespace reference {
namespace {

// What rasterising reads of a vertex (its screen position follows from the clip position);
// the rest is not filled in for every vertex.
constexpr std::size_t kComparedBytes = offsetof(ShadedVertex, tex) + sizeof(ShadedVertex::tex);
static_assert(offsetof(ShadedVertex, clip) == 0 && offsetof(ShadedVertex, sx) == kComparedBytes);

bool SameVertices(const Frame& frame, const DrawSpan& first, const DrawSpan& second) {
    for (std::size_t i = 0; i < first.endVertex - first.firstVertex; ++i)
        if (std::memcmp(&frame.vertices[first.firstVertex + i], &frame.vertices[second.firstVertex + i],
                        kComparedBytes) != 0)
            return false;
    return true;
}

bool SameTriangles(const Frame& frame, const DrawSpan& first, const DrawSpan& second) {
    const auto shift = static_cast<std::uint32_t>(second.firstVertex - first.firstVertex);
    for (std::size_t i = 0; i < first.endTriangle - first.firstTriangle; ++i) {
        const BinnedTriangle &a = frame.triangles[first.firstTriangle + i], &b = frame.triangles[second.firstTriangle + i];
        if (b.v[0] != a.v[0] + shift || b.v[1] != a.v[1] + shift || b.v[2] != a.v[2] + shift ||
            b.provoking != a.provoking + shift)
            return false;
    }
    return true;
}

// The scene loads one mask file for each pass: two textures with the same texels.
bool SameTexels(const SampledTexture* a, const SampledTexture* b) {
    if (a == b) return true;
    if (a == nullptr || b == nullptr || a->levelCount != b->levelCount) return false;
    const int levels = a->levelCount;
    for (int i = 0; i < levels; ++i)
        if (a->offset[i] != b->offset[i] || a->width[i] != b->width[i] || a->height[i] != b->height[i]) return false;
    const std::size_t texels = static_cast<std::size_t>(a->offset[levels - 1]) +
                               static_cast<std::size_t>(a->width[levels - 1]) * a->height[levels - 1];
    return std::memcmp(a->texels, b->texels, texels * sizeof(std::uint32_t)) == 0;
}

}  // namespace

bool MayLeadPair(const Frame& frame, const DrawSpan& draw) {
    return draw.endTriangle > draw.firstTriangle && LeadsPair(frame.states[frame.triangles[draw.firstTriangle].state]);
}

bool PairWithPrevious(Frame& frame, const DrawSpan& first, const DrawSpan& second) {
    const std::size_t triangles = first.endTriangle - first.firstTriangle;
    if (triangles == 0 || second.firstTriangle != first.endTriangle ||
        second.endTriangle - second.firstTriangle != triangles ||
        second.endVertex - second.firstVertex != first.endVertex - first.firstVertex)
        return false;
    const std::uint32_t firstState = frame.triangles[first.firstTriangle].state;
    const std::uint32_t secondState = frame.triangles[second.firstTriangle].state;
    // An identical draw just before shares the first's state index; pairing it would pair both.
    if (first.firstTriangle > 0 && frame.triangles[first.firstTriangle - 1].state == firstState) return false;
    const PixelState &firstPixels = frame.states[firstState], &secondPixels = frame.states[secondState];
    if (SelectPairKernel(firstPixels, secondPixels) == nullptr ||
        !SameTexels(firstPixels.textures[0], secondPixels.textures[0]) || !SameVertices(frame, first, second) ||
        !SameTriangles(frame, first, second))
        return false;
    // The second draw's triangles were filed last in every bin.
    for (auto& bin : frame.bins)
        while (!bin.empty() && bin.back() >= second.firstTriangle) bin.pop_back();
    frame.triangles.resize(second.firstTriangle);
    frame.vertices.resize(second.firstVertex);
    if (frame.pairedWith.size() <= firstState) frame.pairedWith.resize(firstState + 1, kUnpaired);
    frame.pairedWith[firstState] = secondState;
    return true;
}

}  // namespace reference
