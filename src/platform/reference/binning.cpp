#include "platform/reference/binning.h"

#include <algorithm>
#include <cstddef>
#include <utility>

namespace reference {
namespace {

int CeilDiv16(std::int32_t v) { return (v + kSubpixelScale - 1) >> kSubpixelBits; }
int FloorDiv16(std::int32_t v) { return v >> kSubpixelBits; }

}  // namespace

void BinTriangle(const BinTarget& target, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2,
                 std::uint32_t provoking) {
    Frame& frame = target.frame;
    const ShadedVertex &a = frame.vertices[i0], &b = frame.vertices[i1], &d = frame.vertices[i2];
    std::int64_t area =
        static_cast<std::int64_t>(b.sx - a.sx) * (d.sy - a.sy) - static_cast<std::int64_t>(d.sx - a.sx) * (b.sy - a.sy);
    if (area == 0) return;
    // With y down, a positive area is clockwise on screen. CCW culling (the default) drops
    // counter-clockwise triangles, CW culling clockwise ones.
    if (target.cullMode == D3DCULL_CCW && area < 0) return;
    if (target.cullMode == D3DCULL_CW && area > 0) return;
    if (area < 0) std::swap(i1, i2);

    int x0 = std::max(CeilDiv16(std::min({a.sx, b.sx, d.sx})), target.viewportX0);
    int y0 = std::max(CeilDiv16(std::min({a.sy, b.sy, d.sy})), target.viewportY0);
    int x1 = std::min(FloorDiv16(std::max({a.sx, b.sx, d.sx})), target.viewportX1 - 1);
    int y1 = std::min(FloorDiv16(std::max({a.sy, b.sy, d.sy})), target.viewportY1 - 1);
    if (x0 > x1 || y0 > y1) return;  // covers no pixel centre

    auto index = static_cast<std::uint32_t>(frame.triangles.size());
    frame.triangles.push_back({{i0, i1, i2}, target.state, provoking});
    for (int ty = y0 >> kTileSizeLog2; ty <= (y1 >> kTileSizeLog2); ++ty)
        for (int tx = x0 >> kTileSizeLog2; tx <= (x1 >> kTileSizeLog2); ++tx)
            frame.bins[static_cast<std::size_t>(ty) * frame.tilesX + tx].push_back(index);
}

}  // namespace reference
