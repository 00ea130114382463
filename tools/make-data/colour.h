#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace makedata {

// Linear working colour, channels nominally in [0, 1].
struct Colour {
    float r = 0, g = 0, b = 0;

    Colour operator+(Colour o) const { return {r + o.r, g + o.g, b + o.b}; }
    Colour operator-(Colour o) const { return {r - o.r, g - o.g, b - o.b}; }
    Colour operator*(float s) const { return {r * s, g * s, b * s}; }
    Colour operator*(Colour o) const { return {r * o.r, g * o.g, b * o.b}; }
};

inline Colour Mix(Colour a, Colour b, float t) { return a + (b - a) * t; }

inline float Saturate(float v) { return std::clamp(v, 0.0f, 1.0f); }

inline float SmoothStep(float edge0, float edge1, float x) {
    const float t = Saturate((x - edge0) / (edge1 - edge0));
    return t * t * (3 - 2 * t);
}

inline uint8_t ToByte(float v) { return static_cast<uint8_t>(std::lround(Saturate(v) * 255.0f)); }

inline void StoreRgb(uint8_t* out, Colour c) {
    out[0] = ToByte(c.r);
    out[1] = ToByte(c.g);
    out[2] = ToByte(c.b);
}

}  // namespace makedata
