#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace makedata {

// How the viewer lays the data out in the world; every generated file has to agree with it.
// The height image is a grid of 128 × 128 vertices, 0.3 apart, 0.02 per grey level, vertex (c, r) at
// x = (c - 64) × 0.3, z = (r - 64) × 0.3. The tree map spans the same 38.4 × 38.4 square at twice the
// resolution. The water is a plane at height 0.5, that is grey 25.
inline constexpr int kGridSize = 128;
inline constexpr double kSpacing = 0.3;
inline constexpr double kHeightScale = 0.02;
inline constexpr double kWaterHeight = 0.5;
inline constexpr int kWaterGrey = 25;
inline constexpr double kHalfExtent = kGridSize * kSpacing / 2;  // 19.2
inline constexpr int kTreeMapSize = 256;

// World x (or z) of column (or row) `i` of a map of `size` pixels over the terrain square, as the viewer
// places tree-map pixels: pixel size / 2 lies at the origin.
inline double MapPixelToWorld(double i, int size) { return (i - size * 0.5) * (2 * kHalfExtent / size); }

// The height image with the viewer's own way of reading heights back, so that what is generated from it
// (mask, tree map, water mask) matches what the viewer will show.
class HeightImage {
public:
    explicit HeightImage(std::vector<uint8_t> greys);

    const std::vector<uint8_t>& Greys() const { return greys_; }
    int Grey(int column, int row) const { return greys_[static_cast<size_t>(row) * kGridSize + column]; }

    // Ground height at world (x, z): bilinear over the grid cell, truncating the cell index toward zero,
    // 0 on and past the last column or row, exactly as the viewer answers it.
    double Altitude(double x, double z) const;
    // Ground height at world (x, z) with the grid clamped at its border instead of dropping to 0: the
    // surface as it looks, for shading decisions near the edge.
    double SurfaceHeight(double x, double z) const;
    // Steepness (rise over run) at world (x, z): each vertex's steepest step to a neighbour, bilinearly blended.
    double Slope(double x, double z) const;

private:
    double VertexSlope(int column, int row) const;

    std::vector<uint8_t> greys_;
};

}  // namespace makedata
