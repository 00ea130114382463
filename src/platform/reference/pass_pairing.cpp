#include "platform/reference/pass_pairing.h"

#include <algorithm>
#include <cstdlib>
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
        const BinnedTriangle &a = frame.triangles[first.firstTriangle + i],
                             &b = frame.triangles[second.firstTriangle + i];
        if (b.v[0] != a.v[0] + shift || b.v[1] != a.v[1] + shift || b.v[2] != a.v[2] + shift ||
            b.provoking != a.provoking + shift)
            return false;
    }
    return true;
}

bool MayLeadPair(const Frame& frame, const DrawSpan& draw) {
    return draw.endTriangle > draw.firstTriangle && LeadsPair(frame.states[frame.triangles[draw.firstTriangle].state]);
}

// Whether `second`, recorded right after `first`, repeats first's triangles in a state that
// pairs with first's.
bool Pairs(const Frame& frame, const DrawSpan& first, const DrawSpan& second, TexelComparisons& masks) {
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
    return SelectPairKernel(firstPixels, secondPixels) != nullptr &&
           masks.SameTexels(firstPixels.textures[0], secondPixels.textures[0]) && SameVertices(frame, first, second) &&
           SameTriangles(frame, first, second);
}

// Takes the second draw out of the record and notes its state against the first's.
void RecordPair(Frame& frame, const DrawSpan& first, const DrawSpan& second) {
    const std::uint32_t firstState = frame.triangles[first.firstTriangle].state;
    const std::uint32_t secondState = frame.triangles[second.firstTriangle].state;
    // The second draw's triangles were filed last in every bin.
    for (auto& bin : frame.bins)
        while (!bin.empty() && bin.back() >= second.firstTriangle) bin.pop_back();
    frame.triangles.resize(second.firstTriangle);
    frame.vertices.resize(second.firstVertex);
    if (frame.pairedWith.size() <= firstState) frame.pairedWith.resize(firstState + 1, kUnpaired);
    frame.pairedWith[firstState] = secondState;
}

// Copies the tile's pixels to or from the scratch copy (rows padded as the buffers pad them).
void SaveTile(const TileTarget& target, const TileArea& area, TileScratch& scratch, bool restore) {
    scratch.savedColour.resize(kTileSize * kTileSize);
    scratch.savedDepth.resize(kTileSize * kTileSize);
    const int width = std::min(kTileSize, target.pitch - area.x);
    const int height = std::min(kTileSize, ((target.height + 1) & ~1) - area.y);
    for (int y = 0; y < height; ++y) {
        const std::size_t row = static_cast<std::size_t>(area.y + y) * target.pitch + area.x;
        std::uint32_t* saved[2] = {&scratch.savedColour[static_cast<std::size_t>(y) * kTileSize],
                                   &scratch.savedDepth[static_cast<std::size_t>(y) * kTileSize]};
        std::uint32_t* live[2] = {target.colour + row, target.depth + row};
        for (int k = 0; k < 2; ++k)
            std::memcpy(restore ? live[k] : saved[k], restore ? saved[k] : live[k], sizeof(std::uint32_t) * width);
    }
}

}  // namespace

PassPairing::PassPairing() {
    const char* setting = std::getenv("QUENOLDE_REF_PAIRING");
    enabled_ = setting == nullptr || std::strcmp(setting, "0") != 0;
}

PassPairing::Outcome PassPairing::AfterDraw(Frame& frame, const DrawSpan& draw) {
    const bool paired = leader_.has_value() && Pairs(frame, *leader_, draw, masks_);
    if (paired) RecordPair(frame, *leader_, draw);
    leader_.reset();
    const bool mayLead = enabled_ && !paired && MayLeadPair(frame, draw);
    if (mayLead) leader_ = draw;
    return {paired, mayLead};
}

bool DrawPairedRun(const Frame& frame, const TriangleRun& run, std::uint32_t firstState, std::uint32_t secondState,
                   const TileTarget& target, const KernelTarget& kernelTarget, const TileArea& area,
                   TileScratch& scratch) {
    const PixelState &first = frame.states[firstState], &second = frame.states[secondState];
    const KernelSet set = ChosenKernelSet();
    const PairKernel kernel = SelectPairKernel(first, second, set);
    const PairKernel narrowKernel = SelectPairKernel(first, second, NarrowerKernelSet(set));
    if (kernel == nullptr || narrowKernel == nullptr) return false;
    SaveTile(target, area, scratch, false);
    PairGuard guard{scratch.savedDepth.data()};
    TriangleSetup setup;
    for (std::size_t i = 0; i < run.count && !guard.tie; ++i) {
        if (!SetupTriangle(frame, frame.triangles[run.indices[i]], first, area.x, area.y, area.width, area.height,
                           setup))
            continue;
        (FitsNarrowerKernel(setup) ? narrowKernel : kernel)(setup, first, second, kernelTarget, guard);
    }
    if (guard.tie) {
        SaveTile(target, area, scratch, true);
        ++scratch.tilesRedrawn;
    }
    return !guard.tie;
}

}  // namespace reference
