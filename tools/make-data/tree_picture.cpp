#include "tree_picture.h"

#include <algorithm>
#include <cmath>

#include "alpha_mips.h"
#include "colour.h"
#include "noise.h"
#include "random.h"

namespace makedata {
namespace {

constexpr int kSupersample = 4;  // per axis: the picture is painted at 4× and reduced, for clean edges

// A canvas in picture units: x from 0 (left) to 1 (right), y from 0 (top) to 1 (bottom edge, the ground).
struct Canvas {
    int size;
    std::vector<Colour> colour;
    std::vector<uint8_t> covered;

    explicit Canvas(int n) : size(n), colour(static_cast<size_t>(n) * n), covered(static_cast<size_t>(n) * n, 0) {}
    void Put(int x, int y, Colour c) {
        colour[static_cast<size_t>(y) * size + x] = c;
        covered[static_cast<size_t>(y) * size + x] = 1;
    }
    double ToUnit(int i) const { return (i + 0.5) / size; }
    int FromUnit(double t) const { return std::clamp(static_cast<int>(t * size), 0, size - 1); }
};

struct Clump {
    double x, y, radius;
    Colour leaf;
    float depth;  // 0 at the back of the crown, 1 at the front
};

double DistanceToSegment(double px, double py, double ax, double ay, double bx, double by, double& t) {
    const double vx = bx - ax, vy = by - ay;
    t = std::clamp(((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy), 0.0, 1.0);
    return std::hypot(px - ax - t * vx, py - ay - t * vy);
}

// A tapered limb from (ax, ay) with half width wa to (bx, by) with half width wb, bark shaded as a
// cylinder lit from the left.
void PaintLimb(Canvas& canvas, double ax, double ay, double wa, double bx, double by, double wb, uint32_t salt) {
    const Colour bark{0.30f, 0.22f, 0.15f};
    const double reach = std::max(wa, wb);
    const int x0 = canvas.FromUnit(std::min(ax, bx) - reach), x1 = canvas.FromUnit(std::max(ax, bx) + reach);
    const int y0 = canvas.FromUnit(std::min(ay, by) - reach), y1 = canvas.FromUnit(std::max(ay, by) + reach);
    // Unit normal of the limb, turned to point away from the light (rightwards, or down for a level limb).
    double nx = -(by - ay), ny = bx - ax;
    const double nl = std::hypot(nx, ny);
    if (nx < 0 || (nx == 0 && ny < 0)) nx = -nx, ny = -ny;
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            const double x = canvas.ToUnit(px), y = canvas.ToUnit(py);
            double t;
            const double d = DistanceToSegment(x, y, ax, ay, bx, by, t);
            const double halfWidth = wa + (wb - wa) * t;
            if (d > halfWidth) continue;
            // Signed position across the limb: -1 on the lit edge, +1 on the shaded one.
            const double across = ((x - ax) * nx + (y - ay) * ny) / nl / halfWidth;
            const float light = static_cast<float>(0.95 - 0.45 * (across + 1) / 2);
            const float streak = static_cast<float>(0.85 + 0.3 * Fbm(x * 3, y * 0.4, 24, 2, 0.5, salt));
            canvas.Put(px, py, bark * (light * streak));
        }
    }
}

void PaintTrunkAndBranches(Canvas& canvas, Random& random, uint32_t salt) {
    // The trunk leans a little and flares at the root; it reaches the bottom edge.
    const double lean = random.Uniform(-0.03, 0.03);
    PaintLimb(canvas, 0.5, 1.02, 0.05, 0.5 + lean * 0.3, 0.93, 0.036, salt);
    PaintLimb(canvas, 0.5 + lean * 0.3, 0.93, 0.036, 0.5 + lean, 0.45, 0.022, salt);
    const int branches = 6;
    for (int b = 0; b < branches; ++b) {
        const double side = b % 2 == 0 ? -1 : 1;
        const double startY = random.Uniform(0.47, 0.68);
        const double startX = 0.5 + lean * (0.93 - startY) / 0.48;
        const double endX = startX + side * random.Uniform(0.12, 0.3);
        const double endY = startY - random.Uniform(0.12, 0.26);
        PaintLimb(canvas, startX, startY, 0.012, endX, endY, 0.004, salt + 1);
    }
}

std::vector<Clump> PlanCrown(Random& random) {
    std::vector<Clump> clumps;
    const Colour deep{0.13f, 0.26f, 0.07f}, fresh{0.30f, 0.45f, 0.12f};
    while (clumps.size() < 80) {
        const double x = random.Uniform(-1, 1), y = random.Uniform(-1, 1);
        if (x * x + y * y > 1) continue;
        const double radius = random.Uniform(0.055, 0.095);
        Clump clump{0.5 + x * (0.44 - radius), 0.38 + y * (0.32 - radius * 0.8), radius,
                    Mix(deep, fresh, static_cast<float>(random.NextUnit())), static_cast<float>(random.NextUnit())};
        clumps.push_back(clump);
    }
    std::sort(clumps.begin(), clumps.end(), [](const Clump& a, const Clump& b) { return a.depth < b.depth; });
    return clumps;
}

// One clump of leaves: a lobed disc shaded as a sphere lit from the upper left and front, darker at the
// back and the bottom of the crown, dappled by single leaves.
void PaintClump(Canvas& canvas, const Clump& clump, uint32_t salt) {
    const double reach = clump.radius * 1.25;
    const int x0 = canvas.FromUnit(clump.x - reach), x1 = canvas.FromUnit(clump.x + reach);
    const int y0 = canvas.FromUnit(clump.y - reach), y1 = canvas.FromUnit(clump.y + reach);
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            const double x = canvas.ToUnit(px), y = canvas.ToUnit(py);
            const double leaves = Fbm(x, y, 40, 2, 0.5, salt);
            const double d = std::hypot(x - clump.x, y - clump.y) / clump.radius;
            if (d > 0.85 + 0.4 * leaves) continue;
            const double nx = (x - clump.x) / clump.radius, ny = (y - clump.y) / clump.radius;
            const double nz = std::sqrt(std::max(0.0, 1 - std::min(1.0, nx * nx + ny * ny)));
            const double lambert = std::max(0.0, -0.45 * nx - 0.6 * ny + 0.66 * nz);
            const double inside = 0.62 + 0.38 * clump.depth;
            const double lowerShade = 1.0 - 0.3 * SmoothStep(0.35f, 0.75f, static_cast<float>(y));
            const double dapple = 0.82 + 0.36 * (0.5 + 0.5 * Fbm(x, y, 96, 1, 0.5, salt + 1));
            const float light = static_cast<float>((0.5 + 0.75 * lambert) * inside * lowerShade * dapple);
            canvas.Put(px, py, clump.leaf * light);
        }
    }
}

// Averages each block of kSupersample² canvas pixels; alpha is kept where most of the block is covered.
Image Reduce(const Canvas& canvas, int size) {
    Image picture(size, size, 4);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            Colour sum;
            int count = 0;
            for (int sy = 0; sy < kSupersample; ++sy) {
                for (int sx = 0; sx < kSupersample; ++sx) {
                    const size_t k = static_cast<size_t>(y * kSupersample + sy) * canvas.size + x * kSupersample + sx;
                    if (!canvas.covered[k]) continue;
                    sum = sum + canvas.colour[k];
                    ++count;
                }
            }
            uint8_t* texel = picture.At(x, y);
            if (count > 0) StoreRgb(texel, sum * (1.0f / count));
            texel[3] = 2 * count >= kSupersample * kSupersample ? 255 : 0;
        }
    }
    return picture;
}

}  // namespace

Image PaintTree(uint64_t seed, int size) {
    Random random = Random(seed).Fork(40);
    const uint32_t salt = random.NextU32();
    Canvas canvas(size * kSupersample);
    PaintTrunkAndBranches(canvas, random, salt);
    for (const Clump& clump : PlanCrown(random)) PaintClump(canvas, clump, salt + 2);
    Image picture = Reduce(canvas, size);
    BleedColourIntoTransparent(picture);
    return picture;
}

}  // namespace makedata
