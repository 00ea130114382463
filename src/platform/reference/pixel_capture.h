#pragma once
// The first step of recording a draw: a snapshot of the API state the pixels are drawn with,
// in the compact form the rasteriser reads, with each stage's liveness worked out (see
// live_channels.h). Later state calls cannot reach the snapshot.

#include "platform/device_common/api_state.h"
#include "platform/reference/pixel_state.h"

namespace reference {

// The pixel state of a draw, without its textures (the renderer fills those in). Every byte is
// set, padding included, so that captured states compare byte for byte.
PixelState CapturePixelState(const device_common::ApiState& state, bool backBufferAlpha);

}  // namespace reference
