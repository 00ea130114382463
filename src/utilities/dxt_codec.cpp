#include "utilities/dxt_codec.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace utilities {

namespace {

struct Rgb {
    int r, g, b;
};

BYTE Alpha(D3DCOLOR c) { return BYTE(c >> 24); }
Rgb ColourOf(D3DCOLOR c) { return {int((c >> 16) & 0xFF), int((c >> 8) & 0xFF), int(c & 0xFF)}; }
D3DCOLOR Argb(int a, const Rgb& c) { return D3DCOLOR_ARGB(DWORD(a), DWORD(c.r), DWORD(c.g), DWORD(c.b)); }

Rgb Expand565(std::uint16_t v) {
    const int r = (v >> 11) & 31, g = (v >> 5) & 63, b = v & 31;
    return {(r << 3) | (r >> 2), (g << 2) | (g >> 4), (b << 3) | (b >> 2)};
}

std::uint16_t Quantise565(const Rgb& c) {
    const int r = (c.r * 31 + 127) / 255, g = (c.g * 63 + 127) / 255, b = (c.b * 31 + 127) / 255;
    return std::uint16_t((r << 11) | (g << 5) | b);
}

Rgb Mix(const Rgb& a, const Rgb& b, int wa, int wb) {
    const int sum = wa + wb;
    return {(a.r * wa + b.r * wb + sum / 2) / sum, (a.g * wa + b.g * wb + sum / 2) / sum,
            (a.b * wa + b.b * wb + sum / 2) / sum};
}

std::uint16_t Read16(const BYTE* p) { return std::uint16_t(p[0] | (p[1] << 8)); }
void Write16(BYTE* p, std::uint16_t v) {
    p[0] = BYTE(v);
    p[1] = BYTE(v >> 8);
}

// The four colours of a colour block; the fourth is transparent black in DXT1's three-colour mode.
void ColourPalette(const BYTE* block, bool allowThreeColour, Rgb colours[4], bool* transparentLast) {
    const std::uint16_t c0 = Read16(block), c1 = Read16(block + 2);
    colours[0] = Expand565(c0);
    colours[1] = Expand565(c1);
    *transparentLast = allowThreeColour && c0 <= c1;
    if (allowThreeColour && c0 <= c1) {
        colours[2] = Mix(colours[0], colours[1], 1, 1);
        colours[3] = {0, 0, 0};
    } else {
        colours[2] = Mix(colours[0], colours[1], 2, 1);
        colours[3] = Mix(colours[0], colours[1], 1, 2);
    }
}

void AlphaPalette(int a0, int a1, int alphas[8]) {
    alphas[0] = a0;
    alphas[1] = a1;
    if (a0 > a1) {
        for (int i = 1; i < 7; ++i) alphas[i + 1] = ((7 - i) * a0 + i * a1 + 3) / 7;
    } else {
        for (int i = 1; i < 5; ++i) alphas[i + 1] = ((5 - i) * a0 + i * a1 + 2) / 5;
        alphas[6] = 0;
        alphas[7] = 255;
    }
}

bool Premultiplied(D3DFORMAT format) { return format == D3DFMT_DXT2 || format == D3DFMT_DXT4; }

D3DCOLOR Unpremultiply(D3DCOLOR c) {
    const int a = Alpha(c);
    if (a == 0 || a == 255) return c;
    const Rgb rgb = ColourOf(c);
    auto undo = [a](int v) { return std::min(255, (v * 255 + a / 2) / a); };
    return Argb(a, {undo(rgb.r), undo(rgb.g), undo(rgb.b)});
}

D3DCOLOR Premultiply(D3DCOLOR c) {
    const int a = Alpha(c);
    const Rgb rgb = ColourOf(c);
    auto apply = [a](int v) { return (v * a + 127) / 255; };
    return Argb(a, {apply(rgb.r), apply(rgb.g), apply(rgb.b)});
}

int DistanceSquared(const Rgb& a, const Rgb& b) {
    const int dr = a.r - b.r, dg = a.g - b.g, db = a.b - b.b;
    return dr * dr + dg * dg + db * db;
}

// Endpoints at the extremes of the texels' principal axis, found by a few power iterations.
void PickEndpoints(const Rgb* texels, int count, Rgb* high, Rgb* low) {
    double mean[3] = {0, 0, 0};
    for (int i = 0; i < count; ++i) {
        mean[0] += texels[i].r;
        mean[1] += texels[i].g;
        mean[2] += texels[i].b;
    }
    for (double& m : mean) m /= count;
    double cov[6] = {0, 0, 0, 0, 0, 0};
    for (int i = 0; i < count; ++i) {
        const double r = texels[i].r - mean[0], g = texels[i].g - mean[1], b = texels[i].b - mean[2];
        cov[0] += r * r, cov[1] += r * g, cov[2] += r * b, cov[3] += g * g, cov[4] += g * b, cov[5] += b * b;
    }
    // Start from the covariance column of the widest channel: unlike a fixed guess, it cannot be
    // orthogonal to the principal axis.
    double axis[3] = {cov[0], cov[1], cov[2]};
    if (cov[3] >= cov[0] && cov[3] >= cov[5]) axis[0] = cov[1], axis[1] = cov[3], axis[2] = cov[4];
    if (cov[5] > cov[0] && cov[5] > cov[3]) axis[0] = cov[2], axis[1] = cov[4], axis[2] = cov[5];
    for (int iteration = 0; iteration < 8; ++iteration) {
        const double x = cov[0] * axis[0] + cov[1] * axis[1] + cov[2] * axis[2];
        const double y = cov[1] * axis[0] + cov[3] * axis[1] + cov[4] * axis[2];
        const double z = cov[2] * axis[0] + cov[4] * axis[1] + cov[5] * axis[2];
        const double length = std::sqrt(x * x + y * y + z * z);
        if (length < 1e-9) break;
        axis[0] = x / length, axis[1] = y / length, axis[2] = z / length;
    }
    double lowest = 1e30, highest = -1e30;
    *high = *low = texels[0];
    for (int i = 0; i < count; ++i) {
        const double t = texels[i].r * axis[0] + texels[i].g * axis[1] + texels[i].b * axis[2];
        if (t < lowest) lowest = t, *low = texels[i];
        if (t > highest) highest = t, *high = texels[i];
    }
}

void EncodeColourBlock(const D3DCOLOR texels[16], bool dxt1, BYTE* block) {
    Rgb opaque[16];
    int count = 0;
    bool anyTransparent = false;
    for (int i = 0; i < 16; ++i) {
        if (dxt1 && Alpha(texels[i]) < 128) {
            anyTransparent = true;
        } else {
            opaque[count++] = ColourOf(texels[i]);
        }
    }
    std::uint16_t c0 = 0, c1 = 0;
    if (count > 0) {
        Rgb high, low;
        PickEndpoints(opaque, count, &high, &low);
        c0 = Quantise565(high);
        c1 = Quantise565(low);
    }
    // Four colours need c0 > c1; three colours and a transparent one need c0 <= c1.
    if (anyTransparent ? c0 > c1 : c0 < c1) std::swap(c0, c1);
    Write16(block, c0);
    Write16(block + 2, c1);
    Rgb colours[4];
    bool transparentLast;
    ColourPalette(block, dxt1, colours, &transparentLast);
    const int usable = transparentLast ? 3 : 4;
    std::uint32_t indices = 0;
    for (int i = 0; i < 16; ++i) {
        int best = 0;
        if (dxt1 && Alpha(texels[i]) < 128) {
            best = 3;
        } else {
            const Rgb c = ColourOf(texels[i]);
            for (int k = 1; k < usable; ++k)
                if (DistanceSquared(c, colours[k]) < DistanceSquared(c, colours[best])) best = k;
        }
        indices |= std::uint32_t(best) << (2 * i);
    }
    for (int i = 0; i < 4; ++i) block[4 + i] = BYTE(indices >> (8 * i));
}

void EncodeInterpolatedAlpha(const D3DCOLOR texels[16], BYTE* block) {
    int a0 = 0, a1 = 255;
    for (int i = 0; i < 16; ++i) {
        a0 = std::max(a0, int(Alpha(texels[i])));
        a1 = std::min(a1, int(Alpha(texels[i])));
    }
    block[0] = BYTE(a0);
    block[1] = BYTE(a1);
    int alphas[8];
    AlphaPalette(a0, a1, alphas);
    std::uint64_t indices = 0;
    for (int i = 0; i < 16; ++i) {
        const int a = Alpha(texels[i]);
        int best = 0;
        for (int k = 1; k < 8; ++k)
            if (std::abs(a - alphas[k]) < std::abs(a - alphas[best])) best = k;
        indices |= std::uint64_t(best) << (3 * i);
    }
    for (int i = 0; i < 6; ++i) block[2 + i] = BYTE(indices >> (8 * i));
}

void EncodeExplicitAlpha(const D3DCOLOR texels[16], BYTE* block) {
    std::memset(block, 0, 8);
    for (int i = 0; i < 16; ++i) block[i / 2] |= BYTE(((Alpha(texels[i]) + 8) / 17) << (4 * (i & 1)));
}

}  // namespace

// The blocks are decoded as a sampler reads them; callers of the utility library see straight alpha.
void DecodeDxtBlock(D3DFORMAT format, const BYTE* block, D3DCOLOR texels[kTexelsPerBlock]) {
    device_common::DecodeDxtBlock(format, block, texels);
    if (Premultiplied(format))
        for (int i = 0; i < 16; ++i) texels[i] = Unpremultiply(texels[i]);
}

void EncodeDxtBlock(D3DFORMAT format, const D3DCOLOR texels[kTexelsPerBlock], BYTE* block) {
    if (format == D3DFMT_DXT1) {
        EncodeColourBlock(texels, true, block);
        return;
    }
    D3DCOLOR colours[16];
    for (int i = 0; i < 16; ++i) colours[i] = Premultiplied(format) ? Premultiply(texels[i]) : texels[i];
    EncodeColourBlock(colours, false, block + 8);
    if (format == D3DFMT_DXT2 || format == D3DFMT_DXT3) {
        EncodeExplicitAlpha(colours, block);
    } else {
        EncodeInterpolatedAlpha(colours, block);
    }
}

}  // namespace utilities
