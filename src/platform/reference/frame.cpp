#include "platform/reference/frame.h"

namespace reference {

void Frame::Resize(int width, int height) {
    tilesX = (width + kTileSize - 1) / kTileSize;
    tilesY = (height + kTileSize - 1) / kTileSize;
    bins.assign(static_cast<std::size_t>(tilesX) * tilesY, {});
    Reset();
}

std::uint32_t Frame::AddState(const PixelState& pixels) {
    if (states.empty() || !states.back().SameAs(pixels)) states.push_back(pixels);
    return static_cast<std::uint32_t>(states.size() - 1);
}

void Frame::Reset() {
    vertices.clear();
    triangles.clear();
    states.clear();
    pairedWith.clear();
    for (auto& bin : bins) bin.clear();
    clear = PendingClear{};
}

}  // namespace reference
