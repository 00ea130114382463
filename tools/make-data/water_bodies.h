#pragma once

#include <utility>
#include <vector>

#include "grid.h"
#include "random.h"
#include "terrain_layout.h"

namespace makedata {

// The lakes and the stream of the landscape: where they lie and how they are dug into the working height
// field (heights in [0, 1], samples at the tree map's resolution over the terrain square).

inline constexpr double kWaterLine = 0.1;  // working height of the water plane
inline constexpr double kLakeBed = 0.02;
inline constexpr double kStreamBed = 0.065;
inline constexpr int kFieldSize = kTreeMapSize;

inline double FieldToWorld(int i) { return MapPixelToWorld(i, kFieldSize); }

struct Lake {
    double x, z, radius;
};

struct LandscapePlan {
    std::vector<Lake> lakes;
    // The stream bed from lake 0 to lake 1 bends through this point (a quadratic curve).
    double bendX = 0, bendZ = 0;
};

// Lake 0 lies ahead of the start pose (the camera looks along +z), so the first view shows water; two more
// lakes and a pond fall anywhere away from the origin, the border and each other.
LandscapePlan PlanLandscape(Random random);

// Points along the stream bed from lake 0 to lake 1 (a quadratic curve through the bend); empty without
// a second lake.
std::vector<std::pair<double, double>> StreamPath(const LandscapePlan& plan);

// How much (0 to 1) the ground at (x, z) belongs to the lowland of a lake or the stream; `reach` (in lake
// radii, or world units from the stream) is how far that lowland spreads beyond the water itself.
double Lowland(const LandscapePlan& plan, const std::vector<std::pair<double, double>>& path, double x, double z,
               double reach);

// The water itself: lake beds and the stream bed dug below the water line, with shores bent by noise.
void CarveWater(FloatGrid& field, const LandscapePlan& plan, uint32_t salt);

}  // namespace makedata
