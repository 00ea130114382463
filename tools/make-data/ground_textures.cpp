#include "ground_textures.h"

#include <cmath>
#include <numbers>

#include "colour.h"
#include "noise.h"
#include "random.h"

namespace makedata {
namespace {

// Per-texel jitter from the texel's own index: tiles trivially, since indices are already modulo the size.
float Grain(int x, int y, uint32_t salt) { return static_cast<float>(UnitFromHash(HashCell(x, y, salt)) - 0.5); }

// Lambert shading of a tiling height field, normalised so flat ground gives 1.
FloatGrid ShadeRelief(const FloatGrid& height, double strength) {
    const int n = height.Width();
    FloatGrid shade(n, n);
    const double lx = -0.45, ly = -0.55, lz = 0.7;  // light from the upper left, as the texture is seen
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double dx = (height.Wrapped(x + 1, y) - height.Wrapped(x - 1, y)) * strength;
            const double dy = (height.Wrapped(x, y + 1) - height.Wrapped(x, y - 1)) * strength;
            const double length = std::sqrt(dx * dx + dy * dy + 1);
            const double lambert = (-dx * lx - dy * ly + lz) / length;
            shade.At(x, y) = static_cast<float>(std::max(lambert, 0.0) / lz);
        }
    }
    return shade;
}

// Thin meandering fractures: the zero lines of a warped noise, so they wander and end instead of closing
// into cells (which would read as paving).
float Fracture(double u, double v, uint32_t salt) {
    const double wu = u + 0.08 * Fbm(u, v, 4, 3, 0.5, salt), wv = v + 0.08 * Fbm(u, v, 4, 3, 0.5, salt + 1);
    const double line = std::abs(Fbm(wu, wv, 5, 3, 0.45, salt + 2));
    const double presence = SmoothStep(-0.1f, 0.3f, static_cast<float>(Fbm(u, v, 3, 2, 0.5, salt + 3)));
    return static_cast<float>(presence * (1.0 - SmoothStep(0.0f, 0.022f, static_cast<float>(line))));
}

}  // namespace

Image MakeRockTexture(uint64_t seed, int size) {
    const uint32_t salt = Random(seed).Fork(10).NextU32();
    FloatGrid height(size, size), crack(size, size), tone(size, size);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            const float fracture = Fracture(u, v, salt + 1);
            height.At(x, y) = static_cast<float>(0.6 * RidgedFbm(u, v, 4, 6, 0.55, salt + 5) +
                                                 0.3 * Fbm(u, v, 8, 4, 0.5, salt + 6) - 0.12 * fracture);
            crack.At(x, y) = fracture;
            // Faint bedding planes, bent by noise, plus broad blotches of weathering.
            const double bedding = std::sin(2 * std::numbers::pi * (v * 6 + 0.6 * Fbm(u, v, 2, 3, 0.5, salt + 7)));
            tone.At(x, y) = static_cast<float>(0.5 + 0.45 * Fbm(u, v, 3, 5, 0.6, salt + 8) + 0.08 * bedding);
        }
    }
    const FloatGrid shade = ShadeRelief(height, size / 22.0);
    const Colour cool{0.47f, 0.46f, 0.44f}, warm{0.55f, 0.48f, 0.40f}, dark{0.33f, 0.32f, 0.31f};
    const Colour lichen{0.58f, 0.58f, 0.40f};
    Image rock(size, size, 3);
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            const float t = tone.At(x, y);
            Colour c =
                t < 0.5f ? Mix(dark, cool, SmoothStep(0.15f, 0.5f, t)) : Mix(cool, warm, SmoothStep(0.5f, 0.85f, t));
            const float spots = static_cast<float>(Fbm(u, v, 16, 3, 0.5, salt + 9));
            c = Mix(c, lichen, 0.5f * SmoothStep(0.3f, 0.45f, spots));
            const float relief = 0.62f + 0.42f * shade.At(x, y);
            const float gap = 1.0f - 0.45f * crack.At(x, y);
            c = c * (relief * gap * (1.0f + 0.12f * Grain(x, y, salt + 10)));
            StoreRgb(rock.At(x, y), c);
        }
    }
    return rock;
}

namespace {

struct Blade {
    double x, y, dx, dy;  // root and tip offset, in texels
    double width;
    Colour root, tip;
};

// Paints one blade with antialiased coverage, wrapping around the tile's edges.
void PaintBlade(Image& grass, const Blade& blade) {
    const int n = grass.width;
    const double lengthSq = blade.dx * blade.dx + blade.dy * blade.dy;
    const int x0 = static_cast<int>(std::floor(std::min(blade.x, blade.x + blade.dx) - 2));
    const int x1 = static_cast<int>(std::ceil(std::max(blade.x, blade.x + blade.dx) + 2));
    const int y0 = static_cast<int>(std::floor(std::min(blade.y, blade.y + blade.dy) - 2));
    const int y1 = static_cast<int>(std::ceil(std::max(blade.y, blade.y + blade.dy) + 2));
    for (int py = y0; py <= y1; ++py) {
        for (int px = x0; px <= x1; ++px) {
            const double rx = px + 0.5 - blade.x, ry = py + 0.5 - blade.y;
            const double t = std::clamp((rx * blade.dx + ry * blade.dy) / lengthSq, 0.0, 1.0);
            const double distance = std::hypot(rx - t * blade.dx, ry - t * blade.dy);
            const double halfWidth = blade.width * (1 - 0.8 * t) * 0.5;  // tapering to the tip
            const float cover = Saturate(static_cast<float>(halfWidth + 0.5 - distance));
            if (cover <= 0) continue;
            uint8_t* texel = grass.At(FloatGrid::Wrap(px, n), FloatGrid::Wrap(py, n));
            const Colour under{texel[0] / 255.0f, texel[1] / 255.0f, texel[2] / 255.0f};
            StoreRgb(texel, Mix(under, Mix(blade.root, blade.tip, static_cast<float>(t)), cover));
        }
    }
}

Blade RandomBlade(Random& random, int size) {
    Blade blade;
    blade.x = random.Uniform(0, size);
    blade.y = random.Uniform(0, size);
    const double angle = random.Uniform(0, 2 * std::numbers::pi);
    const double length = random.Uniform(0.022, 0.055) * size;
    blade.dx = std::cos(angle) * length;
    blade.dy = std::sin(angle) * length;
    blade.width = random.Uniform(0.004, 0.008) * size;
    const float hue = static_cast<float>(random.NextUnit());  // 0: deep green, 1: dry yellow-green
    const float light = static_cast<float>(random.Uniform(0.75, 1.15));
    const Colour green{0.17f, 0.33f, 0.07f}, dry{0.46f, 0.50f, 0.18f};
    blade.root = Mix(green, dry, hue * hue) * (light * 0.7f);
    blade.tip = Mix(green, dry, hue * hue) * (light * 1.15f);
    return blade;
}

}  // namespace

Image MakeGrassTexture(uint64_t seed, int size) {
    Random random = Random(seed).Fork(11);
    const uint32_t salt = random.NextU32();
    Image grass(size, size, 3);
    const Colour lush{0.20f, 0.30f, 0.08f}, pale{0.30f, 0.37f, 0.13f}, soil{0.24f, 0.20f, 0.12f};
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            const double u = (x + 0.5) / size, v = (y + 0.5) / size;
            Colour c = Mix(lush, pale, static_cast<float>(0.5 + 0.5 * Fbm(u, v, 4, 4, 0.55, salt + 1)));
            c = Mix(c, soil, 0.6f * SmoothStep(0.2f, 0.5f, static_cast<float>(Fbm(u, v, 6, 3, 0.5, salt + 2))));
            StoreRgb(grass.At(x, y), c * (1.0f + 0.2f * Grain(x, y, salt + 3)));
        }
    }
    // Dense enough that the soil shows only between tufts; each blade covers a few dozen texels.
    const int blades = size * size / 12;
    for (int i = 0; i < blades; ++i) PaintBlade(grass, RandomBlade(random, size));
    return grass;
}

}  // namespace makedata
