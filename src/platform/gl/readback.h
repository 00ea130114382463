#pragma once
// Reading the hardware device's frame back, and what it did to draw it, for tests and tools.

#include <cstdint>
#include <vector>

#include "platform/d3d9/d3d9_api.h"
#include "platform/gl/gl_functions.h"

namespace gl {

struct FrameStatistics {
    std::uint32_t frames = 0;            // presented so far
    std::uint64_t glCallsLastFrame = 0;  // GL calls the device made for the last presented frame
    CallCounts countsLastFrame;          // the same calls by function, and the bytes uploaded
    std::uint32_t drawsLastFrame = 0;
    std::uint32_t programsCompiled = 0;  // since the device was made
    std::uint32_t programsCompiledLastFrame = 0;
};

// Copies the back buffer into `bgra` (A8R8G8B8 words, top row first). False when `device` is
// not a hardware device.
bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& bgra);

// The depth buffer as 24-bit values, the same way; false without a depth buffer.
bool ReadDepthBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& depth);

bool GetFrameStatistics(IDirect3DDevice9* device, FrameStatistics* statistics);

// Whether GL state is applied only where it changed (the default) or in full at every draw;
// tests compare frames made both ways. False when `device` is not a hardware device.
bool SetStateFiltering(IDirect3DDevice9* device, bool filtering);

}  // namespace gl
