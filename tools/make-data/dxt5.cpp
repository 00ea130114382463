#include "dxt5.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace makedata {
namespace {

using Rgb = std::array<float, 3>;

uint16_t PackRgb565(const Rgb& c) {
    const int r = std::clamp(static_cast<int>(std::lround(c[0] * 31.0f / 255.0f)), 0, 31);
    const int g = std::clamp(static_cast<int>(std::lround(c[1] * 63.0f / 255.0f)), 0, 63);
    const int b = std::clamp(static_cast<int>(std::lround(c[2] * 31.0f / 255.0f)), 0, 31);
    return static_cast<uint16_t>(r << 11 | g << 5 | b);
}

Rgb UnpackRgb565(uint16_t v) {
    const int r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
    return {static_cast<float>(r << 3 | r >> 2), static_cast<float>(g << 2 | g >> 4),
            static_cast<float>(b << 3 | b >> 2)};
}

float DistanceSq(const Rgb& a, const Rgb& b) {
    const float dr = a[0] - b[0], dg = a[1] - b[1], db = a[2] - b[2];
    // Green weighs most in what the eye sees, blue least.
    return 0.3f * dr * dr + 0.59f * dg * dg + 0.11f * db * db;
}

struct ColourFit {
    uint16_t c0, c1;
    uint32_t indices;
    float error;
};

// Four-colour mode palette from two end points, and the best index for every texel.
ColourFit AssignIndices(uint16_t c0, uint16_t c1, const Rgb texels[16]) {
    const Rgb a = UnpackRgb565(c0), b = UnpackRgb565(c1);
    Rgb palette[4] = {a, b, {}, {}};
    for (int k = 0; k < 3; ++k) {
        palette[2][k] = (2 * a[k] + b[k]) / 3;
        palette[3][k] = (a[k] + 2 * b[k]) / 3;
    }
    ColourFit fit{c0, c1, 0, 0};
    for (int i = 0; i < 16; ++i) {
        int best = 0;
        float bestError = DistanceSq(texels[i], palette[0]);
        for (int p = 1; p < 4; ++p) {
            const float e = DistanceSq(texels[i], palette[p]);
            if (e < bestError) bestError = e, best = p;
        }
        fit.indices |= static_cast<uint32_t>(best) << (2 * i);
        fit.error += bestError;
    }
    return fit;
}

// End points along the principal axis of the block's colours, slightly inset from the extremes so the
// two interpolated colours sit where most texels are.
void PrincipalEndPoints(const Rgb texels[16], Rgb& low, Rgb& high) {
    Rgb mean{0, 0, 0};
    for (int i = 0; i < 16; ++i)
        for (int k = 0; k < 3; ++k) mean[k] += texels[i][k] / 16;
    float cov[3][3] = {};
    for (int i = 0; i < 16; ++i)
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) cov[r][c] += (texels[i][r] - mean[r]) * (texels[i][c] - mean[c]);
    Rgb axis{1, 1, 1};
    for (int iteration = 0; iteration < 8; ++iteration) {
        Rgb next{0, 0, 0};
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) next[r] += cov[r][c] * axis[c];
        const float length = std::sqrt(next[0] * next[0] + next[1] * next[1] + next[2] * next[2]);
        if (length < 1e-6f) break;
        for (int k = 0; k < 3; ++k) axis[k] = next[k] / length;
    }
    float lowest = 1e9f, highest = -1e9f;
    for (int i = 0; i < 16; ++i) {
        const float t = (texels[i][0] - mean[0]) * axis[0] + (texels[i][1] - mean[1]) * axis[1] +
                        (texels[i][2] - mean[2]) * axis[2];
        lowest = std::min(lowest, t);
        highest = std::max(highest, t);
    }
    const float inset = (highest - lowest) / 16;
    for (int k = 0; k < 3; ++k) {
        low[k] = std::clamp(mean[k] + (lowest + inset) * axis[k], 0.0f, 255.0f);
        high[k] = std::clamp(mean[k] + (highest - inset) * axis[k], 0.0f, 255.0f);
    }
}

// Least-squares end points for a given index assignment: the pair that best explains the texels.
bool RefitEndPoints(const Rgb texels[16], uint32_t indices, Rgb& a, Rgb& b) {
    static constexpr float kWeightOfA[4] = {1, 0, 2.0f / 3, 1.0f / 3};
    float aa = 0, ab = 0, bb = 0;
    Rgb ax{0, 0, 0}, bx{0, 0, 0};
    for (int i = 0; i < 16; ++i) {
        const float wa = kWeightOfA[indices >> (2 * i) & 3], wb = 1 - wa;
        aa += wa * wa, ab += wa * wb, bb += wb * wb;
        for (int k = 0; k < 3; ++k) ax[k] += wa * texels[i][k], bx[k] += wb * texels[i][k];
    }
    const float det = aa * bb - ab * ab;
    if (std::abs(det) < 1e-6f) return false;
    for (int k = 0; k < 3; ++k) {
        a[k] = std::clamp((ax[k] * bb - bx[k] * ab) / det, 0.0f, 255.0f);
        b[k] = std::clamp((bx[k] * aa - ax[k] * ab) / det, 0.0f, 255.0f);
    }
    return true;
}

// DXT2-5 decoders read the colour block in four-colour mode whatever the order of the end points, but
// some follow the DXT1 rule (c0 <= c1 means three colours); putting the larger first suits both.
ColourFit Canonical(ColourFit fit) {
    if (fit.c0 == fit.c1) return {fit.c0, fit.c1, 0, fit.error};
    if (fit.c0 > fit.c1) return fit;
    uint32_t swapped = 0;
    for (int i = 0; i < 16; ++i) {
        static constexpr uint32_t kSwap[4] = {1, 0, 3, 2};
        swapped |= kSwap[fit.indices >> (2 * i) & 3] << (2 * i);
    }
    return {fit.c1, fit.c0, swapped, fit.error};
}

ColourFit FitColours(const Rgb texels[16]) {
    Rgb low, high;
    PrincipalEndPoints(texels, low, high);
    ColourFit best = AssignIndices(PackRgb565(high), PackRgb565(low), texels);
    for (int round = 0; round < 2; ++round) {
        Rgb a, b;
        if (!RefitEndPoints(texels, best.indices, a, b)) break;
        const ColourFit candidate = AssignIndices(PackRgb565(a), PackRgb565(b), texels);
        if (candidate.error >= best.error) break;
        best = candidate;
    }
    return Canonical(best);
}

void EncodeAlpha(const uint8_t texels[16][4], uint8_t out[8]) {
    uint8_t highest = 0, lowest = 255;
    for (int i = 0; i < 16; ++i) {
        highest = std::max(highest, texels[i][3]);
        lowest = std::min(lowest, texels[i][3]);
    }
    out[0] = highest;
    out[1] = lowest;
    uint64_t bits = 0;
    if (highest > lowest) {
        // Eight-value mode: index 0 and 1 are the end points, 2 to 7 step from the first to the second.
        int palette[8] = {highest, lowest};
        for (int i = 2; i < 8; ++i) palette[i] = ((8 - i) * highest + (i - 1) * lowest) / 7;
        for (int t = 0; t < 16; ++t) {
            int best = 0;
            for (int p = 1; p < 8; ++p)
                if (std::abs(palette[p] - texels[t][3]) < std::abs(palette[best] - texels[t][3])) best = p;
            bits |= static_cast<uint64_t>(best) << (3 * t);
        }
    }
    for (int i = 0; i < 6; ++i) out[2 + i] = static_cast<uint8_t>(bits >> (8 * i));
}

}  // namespace

void EncodeDxt5Block(const uint8_t texels[16][4], uint8_t out[16]) {
    EncodeAlpha(texels, out);
    Rgb colours[16];
    for (int i = 0; i < 16; ++i) colours[i] = {float(texels[i][0]), float(texels[i][1]), float(texels[i][2])};
    const ColourFit fit = FitColours(colours);
    out[8] = static_cast<uint8_t>(fit.c0);
    out[9] = static_cast<uint8_t>(fit.c0 >> 8);
    out[10] = static_cast<uint8_t>(fit.c1);
    out[11] = static_cast<uint8_t>(fit.c1 >> 8);
    for (int i = 0; i < 4; ++i) out[12 + i] = static_cast<uint8_t>(fit.indices >> (8 * i));
}

std::vector<uint8_t> EncodeDxt5(const Image& rgba) {
    const int blocksWide = (rgba.width + 3) / 4, blocksHigh = (rgba.height + 3) / 4;
    std::vector<uint8_t> out(static_cast<size_t>(blocksWide) * blocksHigh * 16);
    uint8_t texels[16][4];
    for (int by = 0; by < blocksHigh; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx) {
            for (int i = 0; i < 16; ++i) {
                const int x = std::min(bx * 4 + i % 4, rgba.width - 1), y = std::min(by * 4 + i / 4, rgba.height - 1);
                std::copy_n(rgba.At(x, y), 4, texels[i]);
            }
            EncodeDxt5Block(texels, &out[(static_cast<size_t>(by) * blocksWide + bx) * 16]);
        }
    }
    return out;
}

}  // namespace makedata
