#pragma once

#include <cstdint>

namespace makedata {

// Gradient noise on a square lattice that repeats every `period` cells along both axes. Everything built
// from it tiles seamlessly when sampled over a whole number of periods, which is what lets the ground
// textures wrap without a seam. Result in about [-1, 1], 0 at every lattice point.
double GradientNoise(double x, double y, int period, uint32_t salt);

// Fractal sum of gradient noise over tile coordinates (u, v): one unit of u or v is one tile, and the
// sum repeats every tile as long as `frequency` (lattice cells per tile at the first octave) is whole.
// Each octave doubles the frequency and multiplies the amplitude by `gain`; the result is normalised to
// about [-1, 1].
double Fbm(double u, double v, int frequency, int octaves, double gain, uint32_t salt);

// Ridged fractal: each octave folds the noise into sharp crests (1 - |n|, squared) and lets the crests of
// coarser octaves steer the detail of finer ones, the usual recipe for mountain ridges. About [0, 1].
double RidgedFbm(double u, double v, int frequency, int octaves, double gain, uint32_t salt);

}  // namespace makedata
