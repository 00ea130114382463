#pragma once
// Turns one draw into binned triangles, in stages, each in its own file:
//   vertex_stage        the draw's vertices transformed, lit and given their clip outcodes
//   Frame::AddState     the draw's pixel state (pixel_capture) filed once per run of equal states
//   primitive_assembly  the primitives as triangles
//   clipping            triangles that cross a clip plane cut to the planes
//   binning             culling, then each triangle filed under the tiles it touches

#include <cstdint>

#include "platform/device_common/api_state.h"
#include "platform/reference/clipping.h"
#include "platform/reference/draw_range.h"
#include "platform/reference/frame.h"
#include "platform/reference/vertex_stage.h"

namespace reference {

class TileWorkers;

// Working memory of the recorder, kept between draws.
struct RecorderScratch {
    VertexSetup setup;
    ClipScratch clip;
};

// Records the draw with the pixel state `pixels` (see CapturePixelState) into `frame`. Large
// draws shade their vertices in slices on `workers` when they are given (idle threads); the
// outcome is the same whoever shades which vertex.
void RecordDraw(Frame& frame, const device_common::ApiState& state, const PixelState& pixels, const DrawRange& range,
                RecorderScratch& scratch, TileWorkers* workers);

}  // namespace reference
