#include "platform/reference/readback.h"

#include <algorithm>

#include "platform/reference/device.h"

namespace reference {
namespace {

bool CopyBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& out, bool depth) {
    auto* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr) return false;
    const Renderer& frame = ours->FinishedFrame();
    const std::uint32_t* source = depth ? frame.Depth() : frame.Colour();
    out.resize(static_cast<std::size_t>(frame.Width()) * frame.Height());
    for (int y = 0; y < frame.Height(); ++y)
        std::copy(source + static_cast<std::size_t>(y) * frame.Pitch(),
                  source + static_cast<std::size_t>(y) * frame.Pitch() + frame.Width(),
                  out.begin() + static_cast<std::ptrdiff_t>(y) * frame.Width());
    return true;
}

}  // namespace

bool ReadBackBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& bgra) {
    return CopyBuffer(device, bgra, false);
}

bool ReadDepthBuffer(IDirect3DDevice9* device, std::vector<std::uint32_t>& depth) {
    return CopyBuffer(device, depth, true);
}

bool GetFrameStatistics(IDirect3DDevice9* device, FrameStatistics* statistics) {
    auto* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr || statistics == nullptr) return false;
    *statistics = ours->LastFrameStatistics();
    return true;
}

bool SetRasterThreads(IDirect3DDevice9* device, int threads) {
    auto* ours = dynamic_cast<Device*>(device);
    if (ours == nullptr || threads < 1) return false;
    ours->SetRasterThreads(threads);
    return true;
}

}  // namespace reference
