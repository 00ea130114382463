#include "noise.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "random.h"

namespace makedata {
namespace {

int WrapIndex(int i, int n) { return ((i % n) + n) % n; }

// Quintic fade: continuous second derivative, so shading computed from the noise shows no lattice creases.
double Fade(double t) { return t * t * t * (t * (t * 6 - 15) + 10); }

// 256 unit gradients evenly spread around the circle; a lattice point's hash picks one.
struct GradientTable {
    double x[256], y[256];
    GradientTable() {
        for (int i = 0; i < 256; ++i) {
            x[i] = std::cos(i * 2.0 * std::numbers::pi / 256);
            y[i] = std::sin(i * 2.0 * std::numbers::pi / 256);
        }
    }
};

double CornerContribution(int cx, int cy, int period, uint32_t salt, double dx, double dy) {
    static const GradientTable gradients;
    const uint32_t h = HashCell(WrapIndex(cx, period), WrapIndex(cy, period), salt) >> 24;
    return gradients.x[h] * dx + gradients.y[h] * dy;
}

// Per-octave salts and offsets keep octaves uncorrelated; whole-number offsets keep the period.
uint32_t OctaveSalt(uint32_t salt, int octave) { return MixBits(salt + 0x9e3779b9U * (octave + 1)); }

}  // namespace

double GradientNoise(double x, double y, int period, uint32_t salt) {
    const double fx = std::floor(x);
    const double fy = std::floor(y);
    const int ix = static_cast<int>(fx);
    const int iy = static_cast<int>(fy);
    const double dx = x - fx;
    const double dy = y - fy;
    const double n00 = CornerContribution(ix, iy, period, salt, dx, dy);
    const double n10 = CornerContribution(ix + 1, iy, period, salt, dx - 1, dy);
    const double n01 = CornerContribution(ix, iy + 1, period, salt, dx, dy - 1);
    const double n11 = CornerContribution(ix + 1, iy + 1, period, salt, dx - 1, dy - 1);
    const double u = Fade(dx);
    const double v = Fade(dy);
    const double top = n00 + (n10 - n00) * u;
    const double bottom = n01 + (n11 - n01) * u;
    // Unit gradients give at most sqrt(0.5); scale so the range is about [-1, 1].
    return (top + (bottom - top) * v) * std::numbers::sqrt2;
}

double Fbm(double u, double v, int frequency, int octaves, double gain, uint32_t salt) {
    double sum = 0;
    double amplitude = 1;
    double norm = 0;
    for (int octave = 0; octave < octaves; ++octave) {
        const int f = frequency << octave;
        sum += amplitude * GradientNoise(u * f, v * f, f, OctaveSalt(salt, octave));
        norm += amplitude;
        amplitude *= gain;
    }
    return sum / norm;
}

double RidgedFbm(double u, double v, int frequency, int octaves, double gain, uint32_t salt) {
    double sum = 0;
    double amplitude = 1;
    double norm = 0;
    double weight = 1;
    for (int octave = 0; octave < octaves; ++octave) {
        const int f = frequency << octave;
        double crest = 1.0 - std::abs(GradientNoise(u * f, v * f, f, OctaveSalt(salt, octave)));
        crest *= crest;
        sum += amplitude * crest * weight;
        norm += amplitude;
        // Detail gathers on the crests and fades in the valleys, as weathering leaves it.
        weight = std::clamp(crest * 1.5, 0.0, 1.0);
        amplitude *= gain;
    }
    return sum / norm;
}

}  // namespace makedata
