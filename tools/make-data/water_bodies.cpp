#include "water_bodies.h"

#include <algorithm>
#include <cmath>

#include "colour.h"
#include "noise.h"

namespace makedata {
namespace {

double DistanceToSegment(double px, double pz, double ax, double az, double bx, double bz) {
    const double vx = bx - ax, vz = bz - az;
    const double t = std::clamp(((px - ax) * vx + (pz - az) * vz) / (vx * vx + vz * vz), 0.0, 1.0);
    return std::hypot(px - ax - t * vx, pz - az - t * vz);
}

double DistanceToPath(const std::vector<std::pair<double, double>>& path, double x, double z) {
    double d = 1e9;
    for (size_t k = 0; k + 1 < path.size(); ++k)
        d = std::min(d, DistanceToSegment(x, z, path[k].first, path[k].second, path[k + 1].first, path[k + 1].second));
    return d;
}

// Lowers the ground towards `bed` with weight `w` in [0, 1]; never raises it.
void LowerTowards(float& height, double bed, double w) {
    height = static_cast<float>(std::min<double>(height, height + (bed - height) * w));
}

}  // namespace

LandscapePlan PlanLandscape(Random random) {
    constexpr double kOtherRadii[][2] = {{2.2, 3.2}, {2.2, 3.2}, {1.5, 2.1}};
    LandscapePlan plan;
    plan.lakes.push_back({random.Uniform(-3, 3), random.Uniform(6.5, 9), random.Uniform(2.8, 3.5)});
    for (int attempt = 0; plan.lakes.size() < 4 && attempt < 10000; ++attempt) {
        const auto& radii = kOtherRadii[plan.lakes.size() - 1];
        const Lake lake{random.Uniform(-12.5, 12.5), random.Uniform(-12.5, 12.5), random.Uniform(radii[0], radii[1])};
        bool fits = std::hypot(lake.x, lake.z) > lake.radius + 6;
        for (const Lake& other : plan.lakes)
            fits = fits && std::hypot(lake.x - other.x, lake.z - other.z) > lake.radius + other.radius + 3;
        // The stream to lake 1 must not cross the knoll under the camera.
        if (plan.lakes.size() == 1)
            fits = fits && DistanceToSegment(0, 0, plan.lakes[0].x, plan.lakes[0].z, lake.x, lake.z) > 5;
        if (fits) plan.lakes.push_back(lake);
    }
    const Lake& a = plan.lakes[0];
    const Lake& b = plan.lakes.size() > 1 ? plan.lakes[1] : plan.lakes[0];
    const double bend = random.Uniform(-0.25, 0.25);
    plan.bendX = (a.x + b.x) / 2 - (b.z - a.z) * bend;
    plan.bendZ = (a.z + b.z) / 2 + (b.x - a.x) * bend;
    return plan;
}

std::vector<std::pair<double, double>> StreamPath(const LandscapePlan& plan) {
    std::vector<std::pair<double, double>> points;
    if (plan.lakes.size() < 2) return points;
    constexpr int kPieces = 48;
    const Lake& a = plan.lakes[0];
    const Lake& b = plan.lakes[1];
    for (int k = 0; k <= kPieces; ++k) {
        const double t = static_cast<double>(k) / kPieces;
        points.emplace_back((1 - t) * (1 - t) * a.x + 2 * t * (1 - t) * plan.bendX + t * t * b.x,
                            (1 - t) * (1 - t) * a.z + 2 * t * (1 - t) * plan.bendZ + t * t * b.z);
    }
    return points;
}

double Lowland(const LandscapePlan& plan, const std::vector<std::pair<double, double>>& path, double x, double z,
               double reach) {
    double w = 0;
    for (const Lake& lake : plan.lakes) {
        const double d = std::hypot(x - lake.x, z - lake.z) / lake.radius;
        w = std::max<double>(w, SmoothStep(static_cast<float>(reach), 0.6f, static_cast<float>(d)));
    }
    if (!path.empty())
        w = std::max<double>(
            w, SmoothStep(static_cast<float>(reach), 0.6f, static_cast<float>(DistanceToPath(path, x, z))));
    return w;
}

void CarveWater(FloatGrid& field, const LandscapePlan& plan, uint32_t salt) {
    const auto path = StreamPath(plan);
    for (int j = 0; j < kFieldSize; ++j) {
        for (int i = 0; i < kFieldSize; ++i) {
            const double x = FieldToWorld(i), z = FieldToWorld(j);
            const double u = x / (2 * kHalfExtent) + 0.5, v = z / (2 * kHalfExtent) + 0.5;
            const double wobble = 1.1 * Fbm(u, v, 8, 3, 0.5, salt);
            for (const Lake& lake : plan.lakes) {
                const double d = (std::hypot(x - lake.x, z - lake.z) + wobble) / lake.radius;
                LowerTowards(field.At(i, j), kLakeBed, SmoothStep(1.5f, 0.5f, static_cast<float>(d)));
            }
            if (path.empty()) continue;
            const double width = 0.75 + 0.25 * Fbm(u, v, 6, 2, 0.5, salt + 1);
            const double d = DistanceToPath(path, x, z) / width;
            LowerTowards(field.At(i, j), kStreamBed, SmoothStep(2.4f, 0.7f, static_cast<float>(d)));
        }
    }
}

}  // namespace makedata
