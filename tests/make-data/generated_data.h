#pragma once

// Where the test fixture put the generated Data tree, and small readers for its files shared by the tests.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "file_readers.h"

namespace testdata {

inline std::filesystem::path GeneratedData() { return GENERATED_DATA_DIR; }

// The viewer's terrain layout: 128 × 128 vertices 0.3 apart centred on the origin, 0.02 per grey level;
// water at height 0.5.
inline constexpr int kGrid = 128;
inline constexpr double kSpacing = 0.3;
inline constexpr double kScale = 0.02;
inline constexpr double kWater = 0.5;

inline Picture LoadPgm(const std::string& relative) {
    Picture picture;
    EXPECT_TRUE(ReadPgm(ReadBytes(GeneratedData() / relative), picture)) << relative;
    return picture;
}

inline Picture LoadPng(const std::string& relative) {
    Picture picture;
    int colourType = -1, bitDepth = 0;
    EXPECT_TRUE(ReadPng(ReadBytes(GeneratedData() / relative), picture, colourType, bitDepth)) << relative;
    return picture;
}

inline Picture LoadJpeg(const std::string& relative) {
    Picture picture;
    int components = 0;
    EXPECT_TRUE(ReadJpeg(ReadBytes(GeneratedData() / relative), picture, components)) << relative;
    return picture;
}

// Ground height as the viewer answers it: bilinear over the cell, cell index truncated, 0 on and past the
// last column or row.
inline double ViewerAltitude(const Picture& heights, double x, double z) {
    const double fx = (kGrid * kSpacing * 0.5 + x) / kSpacing, fz = (kGrid * kSpacing * 0.5 + z) / kSpacing;
    const int ix = static_cast<int>(fx), iz = static_cast<int>(fz);
    if (ix < 0 || ix >= kGrid - 1 || iz < 0 || iz >= kGrid - 1) return 0;
    const double u = fx - ix, v = fz - iz;
    auto h = [&](int c, int r) { return heights.At(c, r)[0] * kScale; };
    return (1 - u) * (1 - v) * h(ix, iz) + u * (1 - v) * h(ix + 1, iz) + (1 - u) * v * h(ix, iz + 1) +
           u * v * h(ix + 1, iz + 1);
}

}  // namespace testdata
