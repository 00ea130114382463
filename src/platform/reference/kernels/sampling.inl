#pragma once
// Texture sampling: each lane's texel coordinates addressed (wrap, mirror, clamp), filtered
// (point or bilinear, per lane where magnification and minification differ) and, through the
// mip chain, blended between levels by the level of detail of the lane's quad. Only the
// channels a stage reads (kRgb, kAlpha) are fetched and filtered.

#include <cstdint>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/kernels/colour.inl"
#include "platform/reference/kernels/lanes.inl"
#include "platform/reference/pixel_state.h"
#include "platform/reference/sampled_texture.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

// The derivatives of a texture coordinate pair (u, v) are per quad, so a vector holds them all:
// group g = l / kQuads of lanes has, for quad l % kQuads, d/dx of u, d/dx of v, d/dy of u and
// d/dy of v in turn. Each is a difference between two corners of the quad (top-right or
// bottom-left less top-left) of u (lanes 0 to N - 1 of a shuffle) or v (lanes N to 2N - 1).
constexpr vi kDerivativeEnd =
    LaneTable([](int l) { return (l / kQuads % 2) * N + l % kQuads * 4 + (l / kQuads < 2 ? 1 : 2); });
constexpr vi kDerivativeStart = LaneTable([](int l) { return (l / kQuads % 2) * N + l % kQuads * 4; });
// Groups 0 and 1 trade places, and 2 and 3; then 0 and 2, and 1 and 3.
constexpr vi kSwapGroupPairs = LaneTable([](int l) { return (l / kQuads ^ 1) * kQuads + l % kQuads; });
constexpr vi kSwapGroupHalves = LaneTable([](int l) { return (l / kQuads ^ 2) * kQuads + l % kQuads; });

// log2 to about 1.5e-4, exact at powers of two: the exponent plus a quartic in the mantissa.
inline vf Log2(vf x) {
    x = Max(x, Splat(1.0e-30f));
    vi bits = reinterpret_cast<vi>(x);
    vf exponent = ToFloat(((bits >> 23) & 255) - 127);
    vf t = reinterpret_cast<vf>((bits & 0x007FFFFF) | 0x3F800000) - 1.0f;
    constexpr float a = 1.4380732f, b = -0.67476666f, c = 0.31700072f, d = 1.0f - a - b - c;
    return exponent + t * (a + t * (b + t * (c + t * d)));
}

// Brings texel coordinates into the level according to the addressing mode.
KERNEL_INLINE vi Address(vi coordinate, vi size, std::uint8_t mode) {
    switch (mode) {
        case D3DTADDRESS_WRAP:
            return coordinate & (size - 1);
        case D3DTADDRESS_MIRROR: {
            vi period = size + size - 1;
            vi t = coordinate & period;
            return t ^ ((t >= size) & period);
        }
        default:  // CLAMP, and BORDER and MIRRORONCE drawn as clamp
            return MinI(MaxI(coordinate, SplatI(0)), size - 1);
    }
}

// One channel of a bilinear sample: each row blended across with weights (256 - f, f), then the
// two rows blended down by fy; 0 to 255.
template <int kByte>
KERNEL_INLINE vf FilterChannel(vu t00, vu t10, vu t01, vu t11, vi weights, vf fy) {
    vf upper = ToFloat(MultiplyAddPairs(ChannelPair<kByte>(t00, t10), weights));
    vf lower = ToFloat(MultiplyAddPairs(ChannelPair<kByte>(t01, t11), weights));
    return Lerp(upper, lower, fy) * (1.0f / 256.0f);
}

// Size and first texel of each lane's level.
struct LevelVectors {
    vi width, height, offset, widthLog2;
};

KERNEL_INLINE LevelVectors LevelInfo(const SampledTexture& texture, vi level) {
    const int* const tables[4] = {texture.width, texture.height, texture.offset, texture.widthLog2};
    vi entries[4];
    LookUpPerQuad<kMaxLevels>(tables, level, entries);  // levels are uniform over a quad
    return {entries[0], entries[1], entries[2], entries[3]};
}

// The texel index of (x, y) in a level (4096 x 4096 levels stay within RowMajorIndex's range).
KERNEL_INLINE vi TexelIndex(const LevelVectors& info, vi x, vi y) {
    return info.offset + RowMajorIndex(x, y, info.width, info.widthLog2);
}

enum class Filter { Point, Linear, PerLane };

// Samples the given level of every lane: point, bilinear, or (kFilter PerLane) bilinear in the
// `linear` lanes and point in the others.
template <int kChannels, Filter kFilter>
KERNEL_INLINE Colour SampleLevel(const SampledTexture& texture, const SamplerSetup& sampler, vi level, vf u, vf v,
                                 vi linear) {
    LevelVectors info = LevelInfo(texture, level);
    vf widthF = ToFloat(info.width), heightF = ToFloat(info.height);
    vf half = kFilter == Filter::Linear  ? Splat(0.5f)
              : kFilter == Filter::Point ? Splat(0.0f)
                                         : Select(linear, Splat(0.5f), Splat(0.0f));
    // Far-out coordinates are pulled in before conversion so that they stay valid integers.
    constexpr float kLimit = 8388608.0f;
    vf x = Min(Max(u * widthF - half, Splat(-kLimit)), Splat(kLimit));
    vf y = Min(Max(v * heightF - half, Splat(-kLimit)), Splat(kLimit));
    vf x0 = Floor(x), y0 = Floor(y);
    vi ix0 = Truncate(x0), iy0 = Truncate(y0);
    vi ax0 = Address(ix0, info.width, sampler.addressU), ay0 = Address(iy0, info.height, sampler.addressV);
    vi top = TexelIndex(info, ax0, ay0);
    if constexpr (kFilter == Filter::Point) return UnpackSome<kChannels>(GatherWords(texture.texels, top));

    vi ax1 = Address(ix0 + 1, info.width, sampler.addressU), ay1 = Address(iy0 + 1, info.height, sampler.addressV);
    vi bottom = TexelIndex(info, ax0, ay1);
    vu t00, t10, t01, t11;
    if (!Any(ax1 != ax0 + 1)) {  // no lane at a wrapped or clamped right-hand edge
        GatherPairs(texture.texels, top, t00, t10);
        GatherPairs(texture.texels, bottom, t01, t11);
    } else {
        t00 = GatherWords(texture.texels, top);
        t10 = GatherWords(texture.texels, TexelIndex(info, ax1, ay0));
        t01 = GatherWords(texture.texels, bottom);
        t11 = GatherWords(texture.texels, TexelIndex(info, ax1, ay1));
    }
    vf fx = x - x0, fy = y - y0;
    if constexpr (kFilter == Filter::PerLane) {
        fx = Select(linear, fx, Splat(0.0f));
        fy = Select(linear, fy, Splat(0.0f));
    }
    // Across in integers, with the fraction rounded to 1/256 as filtering hardware does; down in
    // floats with the exact fraction.
    vi across = RoundToInt(fx * 256.0f);
    vi weights = (SplatI(256) - across) | (across << 16);
    Colour c;
    if constexpr ((kChannels & kRgb) != 0) {
        c.r = FilterChannel<2>(t00, t10, t01, t11, weights, fy);
        c.g = FilterChannel<1>(t00, t10, t01, t11, weights, fy);
        c.b = FilterChannel<0>(t00, t10, t01, t11, weights, fy);
    }
    if constexpr ((kChannels & kAlpha) != 0) c.a = FilterChannel<3>(t00, t10, t01, t11, weights, fy);
    return c;
}

// The level of detail of each lane's quad, from the derivatives of its texel coordinates.
KERNEL_INLINE vf LevelOfDetail(vf u, vf v, float width, float height, float bias) {
    vf su = u * width, sv = v * height;
    vf d = Shuffle(su, sv, kDerivativeEnd) - Shuffle(su, sv, kDerivativeStart);
    vf squares = d * d;
    vf lengths = squares + Shuffle(squares, kSwapGroupPairs);  // group 0: along x, 2: along y
    vf rho2 = Max(lengths, Shuffle(lengths, kSwapGroupHalves));
    return Broadcast(Log2(rho2) * 0.5f + bias, kLaneQuad);  // group 0 holds each quad's level
}

template <int kChannels, Filter kFilter>
KERNEL_INLINE Colour SampleMipmapped(const SampledTexture& texture, const SamplerSetup& sampler, vf u, vf v) {
    int first = sampler.firstLevel < texture.levelCount ? sampler.firstLevel : texture.levelCount - 1;
    int last = texture.levelCount - 1;
    vi linear{};
    bool needLod = kFilter == Filter::PerLane || (sampler.mipFilter != D3DTEXF_NONE && first != last);
    if (!needLod) return SampleLevel<kChannels, kFilter>(texture, sampler, SplatI(first), u, v, linear);
    vf lod = LevelOfDetail(u, v, static_cast<float>(texture.width[first]), static_cast<float>(texture.height[first]),
                           sampler.lodBias);
    if constexpr (kFilter == Filter::PerLane)
        linear = Select(lod <= 0.0f, Splat(sampler.magFilter == D3DTEXF_LINEAR ? 1.0f : 0.0f),
                        Splat(sampler.minFilter == D3DTEXF_LINEAR ? 1.0f : 0.0f)) != 0.0f;
    if (sampler.mipFilter == D3DTEXF_NONE || first == last)
        return SampleLevel<kChannels, kFilter>(texture, sampler, SplatI(first), u, v, linear);
    vf span = Splat(static_cast<float>(last - first));
    if (sampler.mipFilter == D3DTEXF_POINT) {
        vf nearest = Min(Max(Floor(lod + 0.5f), Splat(0.0f)), span);
        return SampleLevel<kChannels, kFilter>(texture, sampler, SplatI(first) + Truncate(nearest), u, v, linear);
    }
    vf clamped = Min(Max(lod, Splat(0.0f)), span);
    vf whole = Floor(clamped);
    vf fraction = clamped - whole;
    vi levelA = SplatI(first) + Truncate(whole);
    Colour a = SampleLevel<kChannels, kFilter>(texture, sampler, levelA, u, v, linear);
    if (!Any(fraction > 0.0f)) return a;
    vi levelB = MinI(levelA + 1, SplatI(last));
    Colour b = SampleLevel<kChannels, kFilter>(texture, sampler, levelB, u, v, linear);
    return LerpSome<kChannels>(a, b, fraction);
}

template <int kChannels>
KERNEL_INLINE Colour SampleChannels(const SampledTexture& texture, const SamplerSetup& sampler, vf u, vf v) {
    if (sampler.magFilter != sampler.minFilter)
        return SampleMipmapped<kChannels, Filter::PerLane>(texture, sampler, u, v);
    if (sampler.magFilter == D3DTEXF_LINEAR) return SampleMipmapped<kChannels, Filter::Linear>(texture, sampler, u, v);
    return SampleMipmapped<kChannels, Filter::Point>(texture, sampler, u, v);
}

// Samples the channels `channels` (kRgb, kAlpha or both) asks for.
KERNEL_INLINE Colour Sample(const SampledTexture& texture, const SamplerSetup& sampler, vf u, vf v, int channels) {
    switch (channels) {
        case kRgb:
            return SampleChannels<kRgb>(texture, sampler, u, v);
        case kAlpha:
            return SampleChannels<kAlpha>(texture, sampler, u, v);
        default:
            return SampleChannels<kRgb | kAlpha>(texture, sampler, u, v);
    }
}

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
