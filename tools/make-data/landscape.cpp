#include "landscape.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "colour.h"
#include "erosion.h"
#include "grid.h"
#include "noise.h"
#include "random.h"
#include "water_bodies.h"

namespace makedata {
namespace {

// Working heights are in [0, 1] over the full relief, the water line at kWaterLine (water_bodies.h). The
// relief is first lifted clear of it so that only the carved lakes hold water.
constexpr double kReliefFloor = 0.14;
constexpr double kKnollHeight = 0.3;
// Ridged hills blended with rounder ones, both through a domain warp so that ridges meander.
double Relief(double x, double z, uint32_t salt) {
    const double u = x / (2 * kHalfExtent) + 0.5;
    const double v = z / (2 * kHalfExtent) + 0.5;
    const double wu = u + 0.06 * Fbm(u, v, 3, 4, 0.5, salt + 1);
    const double wv = v + 0.06 * Fbm(u, v, 3, 4, 0.5, salt + 2);
    const double ridges = RidgedFbm(wu, wv, 4, 6, 0.5, salt + 3);
    const double hills = 0.5 + 0.5 * Fbm(wu, wv, 2, 5, 0.5, salt + 4);
    return 0.6 * ridges + 0.4 * hills;
}

// A rounded square: 1 on the border of the terrain, 0 at its centre.
double BorderDistance(double x, double z) {
    return std::pow(std::pow(std::abs(x), 4) + std::pow(std::abs(z), 4), 0.25) / kHalfExtent;
}

// The relief before weathering: noise hills normalised and shaped so valleys are broad and tops narrow,
// sunk into wide valleys where the lakes and the stream will lie, raised along the rim, and flattened
// into a knoll of moderate height under the start pose.
FloatGrid ShapeRelief(const LandscapePlan& plan, uint32_t salt) {
    FloatGrid field(kFieldSize, kFieldSize);
    for (int j = 0; j < kFieldSize; ++j)
        for (int i = 0; i < kFieldSize; ++i)
            field.At(i, j) = static_cast<float>(Relief(FieldToWorld(i), FieldToWorld(j), salt));
    const auto [low, high] = std::minmax_element(field.Values().begin(), field.Values().end());
    const float lo = *low, range = std::max(*high - *low, 1e-6f);
    const auto path = StreamPath(plan);
    for (int j = 0; j < kFieldSize; ++j) {
        for (int i = 0; i < kFieldSize; ++i) {
            const double x = FieldToWorld(i), z = FieldToWorld(j);
            const double t = (field.At(i, j) - lo) / range;
            double h = kReliefFloor + (1 - kReliefFloor) * std::pow(t, 1.6);
            h += (kReliefFloor + 0.02 - h) * 0.85 * Lowland(plan, path, x, z, 2.8);
            h += 0.3 * SmoothStep(0.62f, 0.98f, static_cast<float>(BorderDistance(x, z)));
            const double knoll = SmoothStep(5.5f, 1.5f, static_cast<float>(std::hypot(x, z)));
            h += (kKnollHeight + 0.25 * (h - kKnollHeight) - h) * knoll;
            field.At(i, j) = static_cast<float>(h);
        }
    }
    return field;
}

// One pass of a 3 × 3 binomial blur, taken halfway: takes the spikes off erosion without washing it out.
void Soften(FloatGrid& field) {
    const FloatGrid source = field;
    for (int j = 0; j < kFieldSize; ++j) {
        for (int i = 0; i < kFieldSize; ++i) {
            float sum = 0;
            for (int dj = -1; dj <= 1; ++dj)
                for (int di = -1; di <= 1; ++di)
                    sum += source.Clamped(i + di, j + dj) * static_cast<float>((2 - std::abs(di)) * (2 - std::abs(dj)));
            field.At(i, j) = 0.5f * source.At(i, j) + 0.5f * sum / 16.0f;
        }
    }
}

// Below the water line heights map linearly onto greys 4 to 24.5; above it a power curve keeps the
// lowlands broad and gentle (grass, trees) and the tops steep (rock).
double ToGrey(double h, double highest) {
    if (h < kWaterLine) return 4.0 + std::max(h - kLakeBed, 0.0) / (kWaterLine - kLakeBed) * 20.5;
    const double t = std::clamp((h - kWaterLine) / (highest - kWaterLine), 0.0, 1.0);
    return 24.5 + 230.5 * std::pow(t, 1.35);
}

// Vertex (c, r) is field sample (2c, 2r), taken through a small tent filter so the finer field does not alias.
std::vector<uint8_t> Quantise(const FloatGrid& field) {
    const float highest = std::max(*std::max_element(field.Values().begin(), field.Values().end()),
                                   static_cast<float>(kWaterLine) + 1e-3f);
    std::vector<uint8_t> greys(static_cast<size_t>(kGridSize) * kGridSize);
    for (int r = 0; r < kGridSize; ++r) {
        for (int c = 0; c < kGridSize; ++c) {
            double sum = 0;
            for (int dj = -1; dj <= 1; ++dj)
                for (int di = -1; di <= 1; ++di)
                    sum += field.Clamped(2 * c + di, 2 * r + dj) * (2 - std::abs(di)) * (2 - std::abs(dj));
            greys[static_cast<size_t>(r) * kGridSize + c] =
                static_cast<uint8_t>(std::lround(std::clamp(ToGrey(sum / 16, highest), 0.0, 255.0)));
        }
    }
    return greys;
}

// Erosion can dig a gully below the water line far from any lake; a flooded patch of a few vertices would
// show as a stray puddle, so such patches are lifted just above the water.
void DrainPuddles(std::vector<uint8_t>& greys, int minimumVertices) {
    std::vector<int> label(greys.size(), -1);
    std::vector<int> stack, members;
    for (size_t start = 0; start < greys.size(); ++start) {
        if (greys[start] >= kWaterGrey || label[start] >= 0) continue;
        members.clear();
        stack.assign(1, static_cast<int>(start));
        label[start] = static_cast<int>(start);
        while (!stack.empty()) {
            const int at = stack.back();
            stack.pop_back();
            members.push_back(at);
            const int c = at % kGridSize, r = at / kGridSize;
            const int neighbours[4][2] = {{c - 1, r}, {c + 1, r}, {c, r - 1}, {c, r + 1}};
            for (const auto& n : neighbours) {
                if (n[0] < 0 || n[1] < 0 || n[0] >= kGridSize || n[1] >= kGridSize) continue;
                const int k = n[1] * kGridSize + n[0];
                if (greys[k] < kWaterGrey && label[k] < 0) {
                    label[k] = static_cast<int>(start);
                    stack.push_back(k);
                }
            }
        }
        if (static_cast<int>(members.size()) < minimumVertices)
            for (int k : members) greys[k] = kWaterGrey + 1;
    }
}

}  // namespace

HeightImage GenerateTerrain(uint64_t seed) {
    Random random(seed);
    const uint32_t salt = random.Fork(1).NextU32();
    const LandscapePlan plan = PlanLandscape(random.Fork(2));
    FloatGrid field = ShapeRelief(plan, salt);
    // The water is carved after the weathering, so lake and stream beds keep their shape below the water line.
    ErodeByStreams(field);
    Soften(field);
    CarveWater(field, plan, salt + 11);
    std::vector<uint8_t> greys = Quantise(field);
    DrainPuddles(greys, 12);
    return HeightImage(std::move(greys));
}

}  // namespace makedata
