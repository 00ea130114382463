#include "erosion.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <numeric>
#include <vector>

namespace makedata {
namespace {

constexpr int kNeighbours = 8;
constexpr int kOffsetX[kNeighbours] = {-1, 0, 1, -1, 1, -1, 0, 1};
constexpr int kOffsetY[kNeighbours] = {-1, -1, -1, 0, 0, 1, 1, 1};
constexpr double kDiagonal = std::numbers::sqrt2;
constexpr double kDistance[kNeighbours] = {kDiagonal, 1, kDiagonal, 1, 1, kDiagonal, 1, kDiagonal};

// Upstream area of every cell (itself included), in cells: cells are visited from the highest down, each
// passing its area on to its lower neighbours in proportion to slope^1.5. Flow leaving the grid
// or ending in a pit goes no further.
std::vector<double> FlowAccumulation(const FloatGrid& h) {
    const int w = h.Width(), n = w * h.Height();
    std::vector<int> order(n);
    std::iota(order.begin(), order.end(), 0);
    // Ties broken by index, so the order and hence the result never depend on the sort's whims.
    std::sort(order.begin(), order.end(), [&](int a, int b) {
        const float ha = h.Values()[a], hb = h.Values()[b];
        return ha != hb ? ha > hb : a < b;
    });
    std::vector<double> area(n, 1.0);
    for (int cell : order) {
        const int x = cell % w, y = cell / w;
        double weights[kNeighbours] = {};
        double total = 0;
        for (int k = 0; k < kNeighbours; ++k) {
            const int nx = x + kOffsetX[k], ny = y + kOffsetY[k];
            if (nx < 0 || ny < 0 || nx >= w || ny >= h.Height()) continue;
            const double drop = (h.At(x, y) - h.At(nx, ny)) / kDistance[k];
            if (drop <= 0) continue;
            weights[k] = drop * std::sqrt(drop);  // slope^1.5: flow follows the steepest way, but not only it
            total += weights[k];
        }
        if (total <= 0) continue;
        for (int k = 0; k < kNeighbours; ++k)
            if (weights[k] > 0) area[(y + kOffsetY[k]) * w + x + kOffsetX[k]] += area[cell] * weights[k] / total;
    }
    return area;
}

void Incise(FloatGrid& h, const std::vector<double>& area, double incision) {
    const FloatGrid before = h;
    const int w = h.Width();
    for (int y = 0; y < h.Height(); ++y) {
        for (int x = 0; x < w; ++x) {
            double steepest = 0, lowest = before.At(x, y);
            for (int k = 0; k < kNeighbours; ++k) {
                const int nx = x + kOffsetX[k], ny = y + kOffsetY[k];
                if (nx < 0 || ny < 0 || nx >= w || ny >= h.Height()) continue;
                steepest = std::max(steepest, (before.At(x, y) - before.At(nx, ny)) / kDistance[k]);
                lowest = std::min<double>(lowest, before.At(nx, ny));
            }
            // Never below the lowest neighbour: erosion deepens channels but does not dig pits.
            const double cut =
                std::min(incision * std::sqrt(area[y * w + x]) * steepest, 0.9 * (before.At(x, y) - lowest));
            h.At(x, y) -= static_cast<float>(cut);
        }
    }
}

void Creep(FloatGrid& h, double rate) {
    const FloatGrid before = h;
    for (int y = 0; y < h.Height(); ++y) {
        for (int x = 0; x < h.Width(); ++x) {
            const float laplacian = before.Clamped(x - 1, y) + before.Clamped(x + 1, y) + before.Clamped(x, y - 1) +
                                    before.Clamped(x, y + 1) - 4 * before.At(x, y);
            h.At(x, y) += static_cast<float>(rate) * laplacian;
        }
    }
}

}  // namespace

void ErodeByStreams(FloatGrid& heights, const ErosionSettings& settings) {
    for (int i = 0; i < settings.iterations; ++i) {
        Incise(heights, FlowAccumulation(heights), settings.incision);
        Creep(heights, settings.creep);
    }
}

}  // namespace makedata
