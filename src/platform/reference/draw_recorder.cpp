#include "platform/reference/draw_recorder.h"

#include <algorithm>

#include "platform/reference/binning.h"
#include "platform/reference/primitive_assembly.h"
#include "platform/reference/tile_workers.h"

namespace reference {
namespace {

// Slices of this many vertices go to the workers; smaller draws are not worth waking them for.
constexpr UINT kVerticesPerSlice = 2048;

struct VertexSlices {
    const VertexSetup* setup;
    const DrawRange* range;
    ShadedVertex* out;
};

void ShadeVertexSlice(void* context, int slice, int /*worker*/) {
    const auto& job = *static_cast<const VertexSlices*>(context);
    const UINT first = static_cast<UINT>(slice) * kVerticesPerSlice;
    const UINT count = std::min(kVerticesPerSlice, job.range->vertexCount - first);
    RunVertexStage(*job.setup, job.range->vertices + static_cast<std::size_t>(first) * job.range->stride,
                   job.range->stride, count, job.out + first);
}

void ShadeVertices(const VertexSetup& setup, const DrawRange& range, ShadedVertex* out, TileWorkers* workers) {
    const UINT slices = (range.vertexCount + kVerticesPerSlice - 1) / kVerticesPerSlice;
    if (slices <= 1 || workers == nullptr || workers->Threads() == 1) {
        RunVertexStage(setup, range.vertices, range.stride, range.vertexCount, out);
        return;
    }
    VertexSlices job{&setup, &range, out};
    workers->Run(static_cast<int>(slices), ShadeVertexSlice, &job);
}

// A triangle wholly outside one plane is dropped, one inside them all binned as it is; one
// that crosses a plane is clipped, and its polygon's vertices join the frame, fanned out.
void ClipAndBin(const BinTarget& bins, const VertexSetup& setup, ClipScratch& clip, std::uint32_t i0, std::uint32_t i1,
                std::uint32_t i2, std::uint32_t provoking) {
    std::vector<ShadedVertex>& vertices = bins.frame.vertices;
    const std::uint32_t o0 = vertices[i0].outcodes, o1 = vertices[i1].outcodes, o2 = vertices[i2].outcodes;
    if ((o0 & o1 & o2) != 0) return;
    if ((o0 | o1 | o2) == 0) {
        BinTriangle(bins, i0, i1, i2, provoking);
        return;
    }
    const std::vector<ShadedVertex>& polygon =
        ClipTriangle(setup, vertices[i0], vertices[i1], vertices[i2], o0 | o1 | o2, clip);
    const auto first = static_cast<std::uint32_t>(vertices.size());
    vertices.insert(vertices.end(), polygon.begin(), polygon.end());
    // The clipped polygon is convex and keeps the triangle's winding.
    for (std::uint32_t k = 1; k + 1 < polygon.size(); ++k)
        BinTriangle(bins, first, first + k, first + k + 1, provoking);
}

}  // namespace

void RecordDraw(Frame& frame, const device_common::ApiState& state, const PixelState& pixels, const DrawRange& range,
                RecorderScratch& scratch, TileWorkers* workers) {
    VertexSetup& setup = scratch.setup;
    if (!PrepareVertexStage(state, setup)) return;
    const auto base = static_cast<std::uint32_t>(frame.vertices.size());
    frame.vertices.resize(base + range.vertexCount);
    ShadeVertices(setup, range, &frame.vertices[base], workers);

    // The pixels skip adding a specular colour that is black at every vertex: the terrain's is.
    PixelState drawn = pixels;
    if (drawn.addSpecular && ShadesBlackSpecular(setup)) drawn.addSpecular = 0;
    const BinTarget bins{frame,
                         state.render[D3DRS_CULLMODE],
                         frame.AddState(drawn),
                         drawn.viewportX0,
                         drawn.viewportY0,
                         drawn.viewportX1,
                         drawn.viewportY1};

    AssembleTriangles(range, base, [&](std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t provoking) {
        ClipAndBin(bins, setup, scratch.clip, i0, i1, i2, provoking);
    });
}

}  // namespace reference
