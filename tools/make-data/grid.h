#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace makedata {

// A rectangular array of floats, row after row. Used for height fields and intermediate channels.
class FloatGrid {
public:
    FloatGrid() = default;
    FloatGrid(int width, int height, float fill = 0.0f)
        : width_(width), height_(height), values_(static_cast<size_t>(width) * height, fill) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    float& At(int x, int y) { return values_[static_cast<size_t>(y) * width_ + x]; }
    float At(int x, int y) const { return values_[static_cast<size_t>(y) * width_ + x]; }
    // Reads past the border answer the nearest border sample.
    float Clamped(int x, int y) const { return At(std::clamp(x, 0, width_ - 1), std::clamp(y, 0, height_ - 1)); }
    // Reads past the border wrap around, for fields that tile.
    float Wrapped(int x, int y) const { return At(Wrap(x, width_), Wrap(y, height_)); }
    std::vector<float>& Values() { return values_; }
    const std::vector<float>& Values() const { return values_; }

    static int Wrap(int i, int n) { return ((i % n) + n) % n; }

private:
    int width_ = 0;
    int height_ = 0;
    std::vector<float> values_;
};

// An 8-bit image with 1, 3 or 4 interleaved channels (grey, RGB, RGBA), row after row.
struct Image {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels;

    Image() = default;
    Image(int w, int h, int c) : width(w), height(h), channels(c), pixels(static_cast<size_t>(w) * h * c, 0) {}
    uint8_t* At(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
    const uint8_t* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

}  // namespace makedata
