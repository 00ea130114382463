// Repeated textures must not show their seams, and the caustic sequence must loop.

#include <algorithm>
#include <cmath>

#include "generated_data.h"
#include "noise.h"

namespace testdata {
namespace {

// Mean absolute difference between column x and column x + 1 (wrapping), all channels.
double ColumnStep(const Picture& p, int x) {
    double sum = 0;
    for (int y = 0; y < p.height; ++y)
        for (int c = 0; c < p.channels; ++c) sum += std::abs(p.At(x, y)[c] - p.At((x + 1) % p.width, y)[c]);
    return sum / (p.height * p.channels);
}

double RowStep(const Picture& p, int y) {
    double sum = 0;
    for (int x = 0; x < p.width; ++x)
        for (int c = 0; c < p.channels; ++c) sum += std::abs(p.At(x, y)[c] - p.At(x, (y + 1) % p.height)[c]);
    return sum / (p.width * p.channels);
}

// The step across the wrap must look like any step inside the picture. Steps vary (a filament or a crack
// running along a row makes a large one), so the wrap is held to the largest inside step; the wrap of a
// picture that does not tile compares unrelated rows and lands far above it.
void ExpectSeamless(const Picture& p, const std::string& name) {
    double largestColumnStep = 0, largestRowStep = 0;
    for (int i = 0; i + 1 < p.width; ++i) largestColumnStep = std::max(largestColumnStep, ColumnStep(p, i));
    for (int i = 0; i + 1 < p.height; ++i) largestRowStep = std::max(largestRowStep, RowStep(p, i));
    EXPECT_LT(ColumnStep(p, p.width - 1), 1.25 * largestColumnStep) << name;
    EXPECT_LT(RowStep(p, p.height - 1), 1.25 * largestRowStep) << name;
}

double FrameDifference(const Picture& a, const Picture& b) {
    double sum = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) sum += std::abs(a.pixels[i] - b.pixels[i]);
    return sum / a.pixels.size();
}

TEST(Tiling, GroundTexturesWrapWithoutASeam) {
    ExpectSeamless(LoadPng("terrain/pierre.png"), "pierre");
    ExpectSeamless(LoadPng("terrain/herbe.png"), "herbe");
}

TEST(Tiling, CausticsWrapAndLoop) {
    std::vector<Picture> frames;
    for (int f = 0; f < 32; ++f) frames.push_back(LoadJpeg("eau/caustic/caust" + std::to_string(f) + ".jpg"));
    for (int f = 0; f < 32; f += 5) ExpectSeamless(frames[f], "caust" + std::to_string(f));
    double smallest = 1e9, largest = 0;
    for (int f = 0; f + 1 < 32; ++f) {
        const double step = FrameDifference(frames[f], frames[f + 1]);
        smallest = std::min(smallest, step);
        largest = std::max(largest, step);
    }
    EXPECT_GT(smallest, 1.0) << "every step moves the pattern";
    const double wrap = FrameDifference(frames[31], frames[0]);
    EXPECT_GT(wrap, 0.5 * smallest);
    EXPECT_LT(wrap, 1.5 * largest) << "image 31 flows into image 0 like any other step";
    EXPECT_GT(FrameDifference(frames[0], frames[16]), 2 * largest) << "half a cycle away looks different";
}

TEST(Tiling, NoiseRepeatsOverWholePeriods) {
    for (double u : {0.03, 0.41, 0.77}) {
        for (double v : {0.12, 0.5, 0.93}) {
            EXPECT_NEAR(makedata::Fbm(u, v, 3, 5, 0.5, 9), makedata::Fbm(u + 1, v - 1, 3, 5, 0.5, 9), 1e-9);
            EXPECT_NEAR(makedata::RidgedFbm(u, v, 4, 4, 0.5, 9), makedata::RidgedFbm(u - 2, v + 3, 4, 4, 0.5, 9), 1e-9);
        }
    }
}

}  // namespace
}  // namespace testdata
