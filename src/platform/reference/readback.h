#pragma once
// Reading the reference device's frame back, for tests and tools that do not go through a window.

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9_api.h"
#include "platform/reference/frame_statistics.h"

namespace reference {

// Finishes every recorded draw and copies the back buffer into `bgra` (A8R8G8B8 words, row by
// row). False when `device` is not a reference device.
bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& bgra);

// The depth buffer as 24-bit values, the same way.
bool ReadDepthBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& depth);

// What the last frame a reference device presented took: draws, triangles, draws paired with
// the one before, tiles drawn again pass by pass. False when `device` is not a reference device.
bool GetFrameStatistics(IDirect3DDevice9* device, FrameStatistics* statistics);

// How many threads a reference device rasterises with, and a way to change it (tests compare
// frames made with different counts). False when `device` is not a reference device.
bool SetRasterThreads(IDirect3DDevice9* device, int threads);

}  // namespace reference
