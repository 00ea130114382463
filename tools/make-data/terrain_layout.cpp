#include "terrain_layout.h"

#include <algorithm>
#include <cmath>

namespace makedata {

HeightImage::HeightImage(std::vector<uint8_t> greys) : greys_(std::move(greys)) {}

double HeightImage::Altitude(double x, double z) const {
    const double fx = (kGridSize * kSpacing * 0.5 + x) / kSpacing;
    const double fz = (kGridSize * kSpacing * 0.5 + z) / kSpacing;
    const int ix = static_cast<int>(fx);
    const int iz = static_cast<int>(fz);
    if (ix < 0 || ix >= kGridSize - 1 || iz < 0 || iz >= kGridSize - 1) return 0.0;
    const double u = fx - ix;
    const double v = fz - iz;
    const double h00 = Grey(ix, iz) * kHeightScale;
    const double h10 = Grey(ix + 1, iz) * kHeightScale;
    const double h01 = Grey(ix, iz + 1) * kHeightScale;
    const double h11 = Grey(ix + 1, iz + 1) * kHeightScale;
    return (1 - u) * (1 - v) * h00 + u * (1 - v) * h10 + (1 - u) * v * h01 + u * v * h11;
}

double HeightImage::SurfaceHeight(double x, double z) const {
    const double fx = std::clamp(x / kSpacing + kGridSize / 2, 0.0, kGridSize - 1.0);
    const double fz = std::clamp(z / kSpacing + kGridSize / 2, 0.0, kGridSize - 1.0);
    const int ix = std::min(static_cast<int>(fx), kGridSize - 2);
    const int iz = std::min(static_cast<int>(fz), kGridSize - 2);
    const double u = fx - ix;
    const double v = fz - iz;
    return ((1 - u) * (1 - v) * Grey(ix, iz) + u * (1 - v) * Grey(ix + 1, iz) + (1 - u) * v * Grey(ix, iz + 1) +
            u * v * Grey(ix + 1, iz + 1)) *
           kHeightScale;
}

double HeightImage::VertexSlope(int column, int row) const {
    // The steepest way down or up to a neighbour, not the central difference: on a crest or in a gully
    // the two sides cancel in a central difference and a sharp ridge would read as flat ground.
    double steepest = 0;
    for (int dr = -1; dr <= 1; ++dr) {
        for (int dc = -1; dc <= 1; ++dc) {
            const int c = column + dc, r = row + dr;
            if ((dc == 0 && dr == 0) || c < 0 || r < 0 || c >= kGridSize || r >= kGridSize) continue;
            const double run = kSpacing * std::hypot(dc, dr);
            steepest = std::max(steepest, std::abs(Grey(c, r) - Grey(column, row)) * kHeightScale / run);
        }
    }
    return steepest;
}

double HeightImage::Slope(double x, double z) const {
    const double fx = std::clamp(x / kSpacing + kGridSize / 2, 0.0, kGridSize - 1.0);
    const double fz = std::clamp(z / kSpacing + kGridSize / 2, 0.0, kGridSize - 1.0);
    const int ix = std::min(static_cast<int>(fx), kGridSize - 2);
    const int iz = std::min(static_cast<int>(fz), kGridSize - 2);
    const double u = fx - ix;
    const double v = fz - iz;
    return (1 - u) * (1 - v) * VertexSlope(ix, iz) + u * (1 - v) * VertexSlope(ix + 1, iz) +
           (1 - u) * v * VertexSlope(ix, iz + 1) + u * v * VertexSlope(ix + 1, iz + 1);
}

}  // namespace makedata
