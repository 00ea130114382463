#include "caustics.h"

#include <cmath>
#include <numbers>

#include "colour.h"
#include "random.h"

namespace makedata {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr int kPhotonsPerTexel = 4;  // per axis: 16 light samples per texel keep thinned-out light smooth

struct Wave {
    int kx, ky;        // wavelengths per tile along u and v
    int periods;       // periods per animation cycle, signed: the direction it travels
    double amplitude;  // height of the ripple in tile units (the bed lies one unit below the surface)
    double phase;
};

std::vector<Wave> MakeWaves(Random random) {
    const int vectors[][2] = {{2, 1}, {-1, 3}, {3, -2}, {1, -3}, {-3, -1}, {4, 1}, {-2, 4}, {1, 5}};
    std::vector<Wave> waves;
    double curvature = 0;
    for (const auto& k : vectors) {
        const double length = std::hypot(k[0], k[1]);
        Wave wave{k[0], k[1], random.NextUnit() < 0.5 ? -1 : 1, random.Uniform(0.6, 1.0) / (length * length),
                  random.Uniform(0, kTwoPi)};
        if (length > 4) wave.periods *= 2;  // short ripples move faster
        curvature += wave.amplitude * kTwoPi * kTwoPi * length * length;
        waves.push_back(wave);
    }
    // Summed curvature 3.5: where ripples meet, the focusing runs a little past the point where rays cross,
    // which is where caustics turn into sharp filaments.
    for (Wave& wave : waves) wave.amplitude *= 3.5 / curvature;
    return waves;
}

// Light gathered on the bed per texel, 1 on average. Photons start on a regular grid of `photons` per
// side, so each wave's phase at a photon is a whole multiple of 2 pi / photons plus a constant: one cosine
// table serves every wave and every frame.
FloatGrid GatherLight(const std::vector<Wave>& waves, double time, int size) {
    const int photons = size * kPhotonsPerTexel;
    std::vector<double> cosine(photons), sine(photons);
    for (int m = 0; m < photons; ++m) {
        cosine[m] = std::cos(kTwoPi * m / photons);
        sine[m] = std::sin(kTwoPi * m / photons);
    }
    struct Term {
        int kx, ky;
        double cosShift, sinShift;  // of the wave's constant phase at this time
    };
    std::vector<Term> terms;
    for (const Wave& wave : waves) {
        const double shift = wave.phase + kTwoPi * wave.periods * time + kTwoPi * 0.5 * (wave.kx + wave.ky) / photons;
        terms.push_back(
            {wave.kx, wave.ky, std::cos(shift) * wave.amplitude * kTwoPi, std::sin(shift) * wave.amplitude * kTwoPi});
    }
    const int mask = size - 1;  // size is a power of two: wrapping is a mask
    FloatGrid light(size, size);
    for (int iy = 0; iy < photons; ++iy) {
        for (int ix = 0; ix < photons; ++ix) {
            double slopeU = 0, slopeV = 0;
            for (const Term& term : terms) {
                const int m = (term.kx * ix + term.ky * iy) & (photons - 1);
                const double c = cosine[m] * term.cosShift - sine[m] * term.sinShift;
                slopeU += term.kx * c;
                slopeV += term.ky * c;
            }
            // Where the photon lands, in texels, then shared bilinearly among four texels.
            const double x = ((ix + 0.5) / photons - slopeU) * size - 0.5;
            const double y = ((iy + 0.5) / photons - slopeV) * size - 0.5;
            const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
            const float fx = static_cast<float>(x - x0), fy = static_cast<float>(y - y0);
            const int xa = x0 & mask, xb = (x0 + 1) & mask, ya = y0 & mask, yb = (y0 + 1) & mask;
            light.At(xa, ya) += (1 - fx) * (1 - fy);
            light.At(xb, ya) += fx * (1 - fy);
            light.At(xa, yb) += (1 - fx) * fy;
            light.At(xb, yb) += fx * fy;
        }
    }
    for (float& value : light.Values()) value /= kPhotonsPerTexel * kPhotonsPerTexel;
    return light;
}

Image Tonemap(const FloatGrid& light) {
    const int size = light.Width();
    const Colour glow{0.86f, 0.95f, 1.0f};
    Image frame(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            // A light blur over the wrapped neighbours, then a soft shoulder so filaments stay below white.
            float sum = 0;
            for (int dy = -1; dy <= 1; ++dy)
                for (int dx = -1; dx <= 1; ++dx)
                    sum += light.Wrapped(x + dx, y + dy) * static_cast<float>((2 - std::abs(dx)) * (2 - std::abs(dy)));
            const float gathered = sum / 16.0f;
            const float level = 0.42f + 0.58f * (1.0f - std::exp(-0.45f * gathered * gathered));
            StoreRgb(frame.At(x, y), glow * level);
        }
    }
    return frame;
}

}  // namespace

std::vector<Image> MakeCaustics(uint64_t seed, int frames, int size) {
    const std::vector<Wave> waves = MakeWaves(Random(seed).Fork(30));
    std::vector<Image> sequence;
    for (int f = 0; f < frames; ++f)
        sequence.push_back(Tonemap(GatherLight(waves, static_cast<double>(f) / frames, size)));
    return sequence;
}

}  // namespace makedata
