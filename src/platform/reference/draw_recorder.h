#pragma once
// Turns one draw into binned triangles: takes a snapshot of the pixel state, runs the vertex
// stage over the draw's vertices, assembles the primitives, culls, clips what crosses the near
// or far plane or leaves the guard band, and files each triangle under the tiles it touches.

#include <cstdint>
#include <vector>

#include "platform/device_common/api_state.h"
#include "platform/reference/frame.h"
#include "platform/reference/vertex_stage.h"

namespace reference {

struct DrawRange;
class TileWorkers;

// Working memory of the recorder, kept between draws.
struct RecorderScratch {
    VertexSetup setup;
    std::vector<ShadedVertex> polygon;
    std::vector<ShadedVertex> clippedPolygon;
};

// The pixel state of a draw, without its textures (the renderer fills those in).
PixelState CapturePixelState(const device_common::ApiState& state, bool backBufferAlpha);

// Large draws shade their vertices in slices on `workers` when they are given (idle threads);
// the outcome is the same whoever shades which vertex.
void RecordDraw(Frame& frame, const device_common::ApiState& state, const PixelState& pixels, const DrawRange& range,
                RecorderScratch& scratch, TileWorkers* workers);

}  // namespace reference
