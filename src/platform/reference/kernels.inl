// The pixel kernels, written once for any lane count and compiled per instruction set: this file
// is included by kernels_sse2.cpp (4 lanes: one 2 x 2 quad), kernels_avx2.cpp (8 lanes: two
// quads) and kernels_avx512.cpp (16 lanes: four quads). Every lane does the same IEEE operations
// in the same order in all of them, so the sets draw identical frames. Include after defining
// KERNEL_NAMESPACE and KERNEL_LANES.

#include <immintrin.h>

#include <cstdint>
#include <cstring>
#include <utility>

#include "platform/d3d9/d3d9_types.h"
#include "platform/reference/tile_raster.h"

namespace reference::KERNEL_NAMESPACE {
namespace {

constexpr int N = KERNEL_LANES;
constexpr int kQuads = N / 4;  // 2 x 2 quads shaded together

typedef float vf __attribute__((vector_size(N * 4)));
typedef std::int32_t vi __attribute__((vector_size(N * 4)));
typedef std::uint32_t vu __attribute__((vector_size(N * 4)));

// Lanes hold whole quads: lane l is pixel (l % 2, (l / 2) % 2) of quad l / 4. The quads of a
// vector need not be neighbours, so small triangles fill the lanes with covered quads only.
// The tables are constants, not values made at start-up: code that runs before main may not use
// instructions that the processor running it lacks.
template <class F, std::size_t... L>
constexpr vi LaneTableOf(F f, std::index_sequence<L...>) {
    return vi{f(static_cast<int>(L))...};
}
template <class F>
constexpr vi LaneTable(F f) {
    return LaneTableOf(f, std::make_index_sequence<N>{});
}
constexpr vi kLaneX = LaneTable([](int l) { return l % 2; });
constexpr vi kLaneY = LaneTable([](int l) { return (l / 2) % 2; });
constexpr vi kLaneQuad = LaneTable([](int l) { return l / 4; });
// The derivatives of a texture coordinate pair (u, v) are per quad, so a vector holds them all:
// group g = l / kQuads of lanes has, for quad l % kQuads, d/dx of u, d/dx of v, d/dy of u and
// d/dy of v in turn. Each is a difference between two corners of the quad (top-right or
// bottom-left less top-left) of u (lanes 0 to N - 1 of a shuffle) or v (lanes N to 2N - 1).
constexpr vi kDerivativeEnd = LaneTable([](int l) { return (l / kQuads % 2) * N + l % kQuads * 4 + (l / kQuads < 2 ? 1 : 2); });
constexpr vi kDerivativeStart = LaneTable([](int l) { return (l / kQuads % 2) * N + l % kQuads * 4; });
// Groups 0 and 1 trade places, and 2 and 3; then 0 and 2, and 1 and 3.
constexpr vi kSwapGroupPairs = LaneTable([](int l) { return (l / kQuads ^ 1) * kQuads + l % kQuads; });
constexpr vi kSwapGroupHalves = LaneTable([](int l) { return (l / kQuads ^ 2) * kQuads + l % kQuads; });
// Coverage is tested a row of quads at a time: lane l of a test is pixel (l % 2 + 2 (l / 4), ...).
constexpr vi kTestX = LaneTable([](int l) { return l % 2 + 2 * (l / 4); });
constexpr int kTestWidth = 2 * kQuads;  // pixels across one coverage test

// The helpers below pass colours as four vectors; inlined, those stay in registers.
#define KERNEL_INLINE inline __attribute__((always_inline))

inline vf Splat(float x) { return vf{} + x; }
inline vi SplatI(std::int32_t x) { return vi{} + x; }
inline vf ToFloat(vi x) { return __builtin_convertvector(x, vf); }
inline vi Truncate(vf x) { return __builtin_convertvector(x, vi); }
inline vf Min(vf a, vf b) { return a < b ? a : b; }
inline vf Max(vf a, vf b) { return a > b ? a : b; }
inline vf Clamp255(vf x) { return Min(Max(x, Splat(0.0f)), Splat(255.0f)); }
inline vi MinI(vi a, vi b) { return a < b ? a : b; }
inline vi MaxI(vi a, vi b) { return a > b ? a : b; }
inline vf Select(vi mask, vf a, vf b) { return mask ? a : b; }

inline int MaskBits(vi mask) {
#if KERNEL_LANES == 4
    return _mm_movemask_ps(reinterpret_cast<__m128>(mask));
#elif KERNEL_LANES == 16
    return _mm512_movepi32_mask(reinterpret_cast<__m512i>(mask));
#else
    return _mm256_movemask_ps(reinterpret_cast<__m256>(mask));
#endif
}

inline bool Any(vi mask) { return MaskBits(mask) != 0; }

inline vf Floor(vf x) {
#if KERNEL_LANES == 16
    return reinterpret_cast<vf>(
        _mm512_roundscale_ps(reinterpret_cast<__m512>(x), _MM_FROUND_TO_NEG_INF | _MM_FROUND_NO_EXC));
#elif KERNEL_LANES == 8
    return reinterpret_cast<vf>(_mm256_floor_ps(reinterpret_cast<__m256>(x)));
#else
    vf t = ToFloat(Truncate(x));  // SSE2 has no rounding instruction
    return t + ToFloat(t > x);    // a true lane is -1
#endif
}

// Round half up, for values already clamped to be non-negative.
inline vf RoundNonNegative(vf x) { return ToFloat(Truncate(x + 0.5f)); }
inline vi RoundToInt(vf x) { return Truncate(x + 0.5f); }

template <class T>
inline vu GatherWords(const T* base, vi index) {
#if KERNEL_LANES == 16
    return reinterpret_cast<vu>(_mm512_i32gather_epi32(reinterpret_cast<__m512i>(index), base, 4));
#elif KERNEL_LANES == 8
    return reinterpret_cast<vu>(_mm256_i32gather_epi32(reinterpret_cast<const int*>(base),
                                                       reinterpret_cast<__m256i>(index), 4));
#else
    vu r;
    for (int l = 0; l < N; ++l) r[l] = static_cast<std::uint32_t>(base[index[l]]);
    return r;
#endif
}

// The texels at index and index + 1 of every lane, one 64-bit fetch each: the two texels of a
// bilinear row, when the right-hand one is the next in memory.
KERNEL_INLINE void GatherPairs(const std::uint32_t* base, vi index, vu& first, vu& second) {
#if KERNEL_LANES == 16
    const __m512i i = reinterpret_cast<__m512i>(index);
    const __m512i low = _mm512_i32gather_epi64(_mm512_castsi512_si256(i), base, 4);
    const __m512i high = _mm512_i32gather_epi64(_mm512_extracti64x4_epi64(i, 1), base, 4);
    const __m512i evens = _mm512_set_epi32(30, 28, 26, 24, 22, 20, 18, 16, 14, 12, 10, 8, 6, 4, 2, 0);
    first = reinterpret_cast<vu>(_mm512_permutex2var_epi32(low, evens, high));
    second = reinterpret_cast<vu>(_mm512_permutex2var_epi32(low, _mm512_add_epi32(evens, _mm512_set1_epi32(1)), high));
#elif KERNEL_LANES == 8
    const __m256i i = reinterpret_cast<__m256i>(index);
    const auto* words = reinterpret_cast<const long long*>(base);
    const __m256 low = _mm256_castsi256_ps(_mm256_i32gather_epi64(words, _mm256_castsi256_si128(i), 4));
    const __m256 high = _mm256_castsi256_ps(_mm256_i32gather_epi64(words, _mm256_extracti128_si256(i, 1), 4));
    // Within each 128-bit half the shuffles give lanes 0 1 4 5 | 2 3 6 7; the permute restores order.
    first = reinterpret_cast<vu>(_mm256_permute4x64_epi64(
        _mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0))), _MM_SHUFFLE(3, 1, 2, 0)));
    second = reinterpret_cast<vu>(_mm256_permute4x64_epi64(
        _mm256_castps_si256(_mm256_shuffle_ps(low, high, _MM_SHUFFLE(3, 1, 3, 1))), _MM_SHUFFLE(3, 1, 2, 0)));
#else
    first = GatherWords(base, index);
    second = GatherWords(base, index + 1);
#endif
}

// Lane l of the result is lane lanes[l] of a, or of the pair a, b (b's lanes numbered N to 2N - 1).
// GCC takes the indices as a vector; Clang has no such builtin (its __builtin_shufflevector wants
// literal indices), so there the lanes are moved one by one; the index tables are constants, so
// the loops fold into permutes. Values are only moved, never computed: both give the same bits.
KERNEL_INLINE vf Shuffle(vf a, vi lanes) {
#ifdef __clang__
    vf r{};
    for (int l = 0; l < N; ++l) r[l] = a[lanes[l] & (N - 1)];
    return r;
#else
    return __builtin_shuffle(a, lanes);
#endif
}
KERNEL_INLINE vf Shuffle(vf a, vf b, vi lanes) {
#ifdef __clang__
    vf r{};
    for (int l = 0; l < N; ++l) r[l] = (lanes[l] & N) != 0 ? b[lanes[l] & (N - 1)] : a[lanes[l] & (N - 1)];
    return r;
#else
    return __builtin_shuffle(a, b, lanes);
#endif
}

inline vf Broadcast(vf v, vi lanes) { return Shuffle(v, lanes); }

// log2 to about 1.5e-4, exact at powers of two: the exponent plus a quartic in the mantissa.
inline vf Log2(vf x) {
    x = Max(x, Splat(1.0e-30f));
    vi bits = reinterpret_cast<vi>(x);
    vf exponent = ToFloat(((bits >> 23) & 255) - 127);
    vf t = reinterpret_cast<vf>((bits & 0x007FFFFF) | 0x3F800000) - 1.0f;
    constexpr float a = 1.4380732f, b = -0.67476666f, c = 0.31700072f, d = 1.0f - a - b - c;
    return exponent + t * (a + t * (b + t * (c + t * d)));
}

// The quads being shaded: their top-left pixels (tile-relative) and how many there are. Lanes
// of missing quads repeat the first quad and are never live.
struct QuadSet {
    int x[kQuads];
    int y[kQuads];
    int count;
};

// Whether the set is kQuads quads side by side on one pair of rows: the common case inside a
// large triangle, loaded and stored as two rows rather than quad by quad.
inline bool SideBySide(const QuadSet& q) {
    if (N == 4 || q.count != kQuads) return false;
    for (int i = 1; i < kQuads; ++i)
        if (q.y[i] != q.y[0] || q.x[i] != q.x[0] + 2 * i) return false;
    return true;
}

// Two rows of 2 kQuads pixels in quad order, and back: 64-bit halves of the rows alternate.
#if KERNEL_LANES == 16
inline vu FromRows(const std::uint32_t* top, const std::uint32_t* bottom) {
    const __m512i order = _mm512_set_epi64(11, 3, 10, 2, 9, 1, 8, 0);
    return reinterpret_cast<vu>(
        _mm512_permutex2var_epi64(_mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(top))),
                                  order,
                                  _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom)))));
}
inline void ToRows(vu value, std::uint32_t* top, std::uint32_t* bottom) {
    const __m512i rows = _mm512_permutexvar_epi64(_mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0), reinterpret_cast<__m512i>(value));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(top), _mm512_castsi512_si256(rows));
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(bottom), _mm512_extracti64x4_epi64(rows, 1));
}
#elif KERNEL_LANES == 8
inline vu FromRows(const std::uint32_t* top, const std::uint32_t* bottom) {
    const __m128i upper = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top));
    const __m128i lower = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom));
    return reinterpret_cast<vu>(_mm256_set_m128i(_mm_unpackhi_epi64(upper, lower), _mm_unpacklo_epi64(upper, lower)));
}
inline void ToRows(vu value, std::uint32_t* top, std::uint32_t* bottom) {
    const __m128i first = _mm256_castsi256_si128(reinterpret_cast<__m256i>(value));
    const __m128i second = _mm256_extracti128_si256(reinterpret_cast<__m256i>(value), 1);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(top), _mm_unpacklo_epi64(first, second));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(bottom), _mm_unpackhi_epi64(first, second));
}
#else
inline vu FromRows(const std::uint32_t*, const std::uint32_t*) { return vu{}; }
inline void ToRows(vu, std::uint32_t*, std::uint32_t*) {}
#endif

inline vu LoadQuads(const std::uint32_t* base, int pitch, const QuadSet& q, bool sideBySide) {
    if (sideBySide) {
        const std::uint32_t* p = base + static_cast<std::ptrdiff_t>(q.y[0]) * pitch + q.x[0];
        return FromRows(p, p + pitch);
    }
    // Assembled in registers: pieces written to memory and read back as one vector would stall
    // on store forwarding.
    __m128i quad[kQuads];
    for (int i = 0; i < kQuads; ++i) {
        const std::uint32_t* p = base + static_cast<std::ptrdiff_t>(q.y[i]) * pitch + q.x[i];
        quad[i] = _mm_castpd_si128(_mm_loadh_pd(_mm_castsi128_pd(_mm_loadl_epi64(reinterpret_cast<const __m128i*>(p))),
                                                reinterpret_cast<const double*>(p + pitch)));
    }
#if KERNEL_LANES == 16
    return reinterpret_cast<vu>(_mm512_inserti64x4(_mm512_castsi256_si512(_mm256_set_m128i(quad[1], quad[0])),
                                                   _mm256_set_m128i(quad[3], quad[2]), 1));
#elif KERNEL_LANES == 8
    return reinterpret_cast<vu>(_mm256_set_m128i(quad[1], quad[0]));
#else
    return reinterpret_cast<vu>(quad[0]);
#endif
}

inline void StoreQuads(std::uint32_t* base, int pitch, const QuadSet& q, bool sideBySide, vu value) {
    if (sideBySide) {
        std::uint32_t* p = base + static_cast<std::ptrdiff_t>(q.y[0]) * pitch + q.x[0];
        ToRows(value, p, p + pitch);
        return;
    }
    for (int i = 0; i < q.count; ++i) {
        std::uint32_t* p = base + static_cast<std::ptrdiff_t>(q.y[i]) * pitch + q.x[i];
        std::memcpy(p, reinterpret_cast<const char*>(&value) + 16 * i, 8);
        std::memcpy(p + pitch, reinterpret_cast<const char*>(&value) + 16 * i + 8, 8);
    }
}

inline vf Evaluate(const Plane& p, vf x, vf y) { return Splat(p.c) + Splat(p.dx) * x + Splat(p.dy) * y; }

struct Colour {
    vf r{}, g{}, b{}, a{};  // channels nobody reads stay zero (and cost nothing)
};

KERNEL_INLINE Colour Unpack(vu word) {
    return {ToFloat(reinterpret_cast<vi>((word >> 16) & 255)), ToFloat(reinterpret_cast<vi>((word >> 8) & 255)),
            ToFloat(reinterpret_cast<vi>(word & 255)), ToFloat(reinterpret_cast<vi>(word >> 24))};
}

KERNEL_INLINE Colour Splat(std::uint32_t word) {
    return {Splat(static_cast<float>((word >> 16) & 255)), Splat(static_cast<float>((word >> 8) & 255)),
            Splat(static_cast<float>(word & 255)), Splat(static_cast<float>(word >> 24))};
}

inline vf Lerp(vf a, vf b, vf t) { return a + (b - a) * t; }

KERNEL_INLINE Colour Lerp(const Colour& a, const Colour& b, vf t) {
    return {Lerp(a.r, b.r, t), Lerp(a.g, b.g, t), Lerp(a.b, b.b, t), Lerp(a.a, b.a, t)};
}

// ---- Sampling -----------------------------------------------------------------------------

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

// Which channels of a texture a stage needs (the others are left unset).
constexpr int kRgb = 1, kAlpha = 2;

template <int kChannels>
KERNEL_INLINE Colour UnpackSome(vu word) {
    Colour c;
    if constexpr ((kChannels & kRgb) != 0) {
        c.r = ToFloat(reinterpret_cast<vi>((word >> 16) & 255));
        c.g = ToFloat(reinterpret_cast<vi>((word >> 8) & 255));
        c.b = ToFloat(reinterpret_cast<vi>(word & 255));
    }
    if constexpr ((kChannels & kAlpha) != 0) c.a = ToFloat(reinterpret_cast<vi>(word >> 24));
    return c;
}

template <int kChannels>
KERNEL_INLINE Colour LerpSome(const Colour& a, const Colour& b, vf t) {
    Colour c;
    if constexpr ((kChannels & kRgb) != 0) {
        c.r = Lerp(a.r, b.r, t);
        c.g = Lerp(a.g, b.g, t);
        c.b = Lerp(a.b, b.b, t);
    }
    if constexpr ((kChannels & kAlpha) != 0) c.a = Lerp(a.a, b.a, t);
    return c;
}

// Byte kByte of two texel words, side by side as 16-bit halves: a's below, b's above.
template <int kByte>
KERNEL_INLINE vi ChannelPair(vu a, vu b) {
#if KERNEL_LANES >= 8
    // Byte shuffles within each 16-byte lane: 0x80 clears a byte.
    const vi fromA = LaneTable([](int l) { return static_cast<std::int32_t>(0x80808000u | (4 * (l % 4) + kByte)); });
    const vi fromB = LaneTable([](int l) { return static_cast<std::int32_t>(0x80008080u | ((4 * (l % 4) + kByte) << 16)); });
#if KERNEL_LANES == 16
    return reinterpret_cast<vi>(_mm512_or_si512(_mm512_shuffle_epi8(reinterpret_cast<__m512i>(a), reinterpret_cast<__m512i>(fromA)),
                                                _mm512_shuffle_epi8(reinterpret_cast<__m512i>(b), reinterpret_cast<__m512i>(fromB))));
#else
    return reinterpret_cast<vi>(_mm256_or_si256(_mm256_shuffle_epi8(reinterpret_cast<__m256i>(a), reinterpret_cast<__m256i>(fromA)),
                                                _mm256_shuffle_epi8(reinterpret_cast<__m256i>(b), reinterpret_cast<__m256i>(fromB))));
#endif
#else
    constexpr int kShift = 8 * kByte;
    vu high;
    if constexpr (kShift <= 16)
        high = b << (16 - kShift);
    else
        high = b >> (kShift - 16);
    return reinterpret_cast<vi>(((a >> kShift) & 255u) | (high & 0x00FF0000u));
#endif
}

// Each lane's low half times the weight's low half plus high times high, in 32 bits.
KERNEL_INLINE vi MultiplyAddPairs(vi pairs, vi weights) {
#if KERNEL_LANES == 16
    return reinterpret_cast<vi>(_mm512_madd_epi16(reinterpret_cast<__m512i>(pairs), reinterpret_cast<__m512i>(weights)));
#elif KERNEL_LANES == 8
    return reinterpret_cast<vi>(_mm256_madd_epi16(reinterpret_cast<__m256i>(pairs), reinterpret_cast<__m256i>(weights)));
#else
    return reinterpret_cast<vi>(_mm_madd_epi16(reinterpret_cast<__m128i>(pairs), reinterpret_cast<__m128i>(weights)));
#endif
}

// One channel of a bilinear sample: each row blended across with weights (256 - f, f), then the
// two rows blended down by fy; 0 to 255.
template <int kByte>
KERNEL_INLINE vf FilterChannel(vu t00, vu t10, vu t01, vu t11, vi weights, vf fy) {
    vf upper = ToFloat(MultiplyAddPairs(ChannelPair<kByte>(t00, t10), weights));
    vf lower = ToFloat(MultiplyAddPairs(ChannelPair<kByte>(t01, t11), weights));
    return Lerp(upper, lower, fy) * (1.0f / 256.0f);
}

// Size and first texel of each lane's level. Levels are uniform over a quad, so they are
// looked up once per quad rather than gathered per lane.
struct LevelVectors {
    vi width, height, offset, widthLog2;
};

KERNEL_INLINE LevelVectors LevelInfo(const SampledTexture& texture, vi level) {
    int a = level[0];
#if KERNEL_LANES == 8
    const vi secondQuad = {0, 0, 0, 0, -1, -1, -1, -1};
    int b = level[4];
    return {secondQuad ? SplatI(texture.width[b]) : SplatI(texture.width[a]),
            secondQuad ? SplatI(texture.height[b]) : SplatI(texture.height[a]),
            secondQuad ? SplatI(texture.offset[b]) : SplatI(texture.offset[a]),
            secondQuad ? SplatI(texture.widthLog2[b]) : SplatI(texture.widthLog2[a])};
#elif KERNEL_LANES == 16
    // Every table fits in one vector (kMaxLevels <= 16): a lane-wise permute picks each lane's
    // entry, far cheaper than a gather.
    static_assert(kMaxLevels <= 16);
    if (!Any(level != a))
        return {SplatI(texture.width[a]), SplatI(texture.height[a]), SplatI(texture.offset[a]),
                SplatI(texture.widthLog2[a])};
    constexpr __mmask16 kTable = (1u << kMaxLevels) - 1;
    const __m512i index = reinterpret_cast<__m512i>(level);
    auto pick = [&](const int* table) {
        return reinterpret_cast<vi>(_mm512_permutexvar_epi32(index, _mm512_maskz_loadu_epi32(kTable, table)));
    };
    return {pick(texture.width), pick(texture.height), pick(texture.offset), pick(texture.widthLog2)};
#else
    return {SplatI(texture.width[a]), SplatI(texture.height[a]), SplatI(texture.offset[a]),
            SplatI(texture.widthLog2[a])};  // one quad: one level
#endif
}

// The texel index of (x, y) in a level: a variable shift with AVX2; SSE2 has none, and takes
// the product in floats (exact below 2^24, which 4096 x 4096 levels stay under).
KERNEL_INLINE vi TexelIndex(const LevelVectors& info, vi x, vi y) {
#if KERNEL_LANES >= 8
    return info.offset + (y << info.widthLog2) + x;
#else
    return info.offset + Truncate(ToFloat(y) * ToFloat(info.width) + ToFloat(x));
#endif
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

// ---- Texture stages -----------------------------------------------------------------------

struct StageInputs {
    Colour diffuse;
    Colour specular;
    Colour factor;
    Colour texture;
};

KERNEL_INLINE Colour Argument(std::uint8_t arg, const StageInputs& in, const Colour& current) {
    Colour c;
    switch (arg & D3DTA_SELECTMASK) {
        case D3DTA_DIFFUSE:
            c = in.diffuse;
            break;
        case D3DTA_TEXTURE:
            c = in.texture;
            break;
        case D3DTA_TFACTOR:
            c = in.factor;
            break;
        case D3DTA_SPECULAR:
            c = in.specular;
            break;
        default:  // CURRENT
            c = current;
            break;
    }
    if (arg & D3DTA_COMPLEMENT) c = {255.0f - c.r, 255.0f - c.g, 255.0f - c.b, 255.0f - c.a};
    if (arg & D3DTA_ALPHAREPLICATE) c.r = c.g = c.b = c.a;
    return c;
}

inline vf Operate(std::uint8_t op, vf x, vf y) {
    constexpr float kScale = 1.0f / 255.0f;
    switch (op) {
        case D3DTOP_SELECTARG2:
            return y;
        case D3DTOP_MODULATE:
            return x * y * kScale;
        case D3DTOP_MODULATE2X:
            return Min(x * y * (2.0f * kScale), Splat(255.0f));
        case D3DTOP_MODULATE4X:
            return Min(x * y * (4.0f * kScale), Splat(255.0f));
        case D3DTOP_ADD:
            return Min(x + y, Splat(255.0f));
        case D3DTOP_SUBTRACT:
            return Max(x - y, Splat(0.0f));
        default:  // SELECTARG1
            return x;
    }
}

KERNEL_INLINE Colour RunStage(const StageState& stage, const StageInputs& in, const Colour& current) {
    Colour result = current;
    if (stage.colourLive) {
        Colour c1 = Argument(stage.colourArg1, in, current), c2 = Argument(stage.colourArg2, in, current);
        result.r = Operate(stage.colourOp, c1.r, c2.r);
        result.g = Operate(stage.colourOp, c1.g, c2.g);
        result.b = Operate(stage.colourOp, c1.b, c2.b);
    }
    if (stage.alphaLive && stage.alphaOp != D3DTOP_DISABLE) {
        vf a1 = Argument(stage.alphaArg1, in, current).a, a2 = Argument(stage.alphaArg2, in, current).a;
        result.a = Operate(stage.alphaOp, a1, a2);
    }
    return result;
}

// ---- Fixed programs ------------------------------------------------------------------------

// Stage, sampler and blend settings fixed at compile time for the combinations the scene draws
// most, so that every switch on an operation, argument, address mode or factor folds away. The
// kernels read everything else (and everything, for kAnyProgram) from the draw's state.
struct SamplerModes {
    std::uint8_t addressU, addressV, magFilter, minFilter, mipFilter;
};

struct Program {
    bool fixed;
    StageState stages[2];
    SamplerModes samplers[2];
    std::uint8_t srcBlend, destBlend;
    bool keepDestAlpha;  // without it the blend's alpha is never computed
};

constexpr Program kAnyProgram{false, {}, {}, 0, 0, false};

template <Program kProgram>
KERNEL_INLINE StageState StageOf(const PixelState& s, int k) {
    if constexpr (kProgram.fixed) return kProgram.stages[k];
    return s.stages[k];
}

template <Program kProgram>
KERNEL_INLINE SamplerSetup SamplerOf(const PixelState& s, int k) {
    SamplerSetup sampler = s.samplers[k];
    if constexpr (kProgram.fixed) {
        const SamplerModes& modes = kProgram.samplers[k];
        sampler.addressU = modes.addressU;
        sampler.addressV = modes.addressV;
        sampler.magFilter = modes.magFilter;
        sampler.minFilter = modes.minFilter;
        sampler.mipFilter = modes.mipFilter;
    }
    return sampler;
}

// ---- Per-pixel tests and blending -------------------------------------------------------

inline vi Compare(std::uint8_t function, vi value, vi reference) {
    switch (function) {
        case D3DCMP_NEVER:
            return SplatI(0);
        case D3DCMP_LESS:
            return value < reference;
        case D3DCMP_EQUAL:
            return value == reference;
        case D3DCMP_LESSEQUAL:
            return value <= reference;
        case D3DCMP_GREATER:
            return value > reference;
        case D3DCMP_NOTEQUAL:
            return value != reference;
        case D3DCMP_GREATEREQUAL:
            return value >= reference;
        default:
            return SplatI(-1);
    }
}

// A blend factor, 0 to 1 per channel.
KERNEL_INLINE Colour Factor(std::uint8_t factor, const Colour& src, const Colour& dst) {
    constexpr float k = 1.0f / 255.0f;
    auto all = [](vf x) { return Colour{x, x, x, x}; };
    switch (factor) {
        case D3DBLEND_ZERO:
            return all(Splat(0.0f));
        case D3DBLEND_SRCCOLOR:
            return {src.r * k, src.g * k, src.b * k, src.a * k};
        case D3DBLEND_INVSRCCOLOR:
            return {1.0f - src.r * k, 1.0f - src.g * k, 1.0f - src.b * k, 1.0f - src.a * k};
        case D3DBLEND_SRCALPHA:
            return all(src.a * k);
        case D3DBLEND_INVSRCALPHA:
            return all(1.0f - src.a * k);
        case D3DBLEND_DESTALPHA:
            return all(dst.a * k);
        case D3DBLEND_INVDESTALPHA:
            return all(1.0f - dst.a * k);
        case D3DBLEND_DESTCOLOR:
            return {dst.r * k, dst.g * k, dst.b * k, dst.a * k};
        case D3DBLEND_INVDESTCOLOR:
            return {1.0f - dst.r * k, 1.0f - dst.g * k, 1.0f - dst.b * k, 1.0f - dst.a * k};
        default:  // ONE
            return all(Splat(1.0f));
    }
}

// The blended colour, half a step up: Pack's truncation then rounds it, to the same whole
// numbers as rounding here would, without converting to integers and back in between.
template <Program kProgram>
KERNEL_INLINE Colour Blend(const PixelState& s, const Colour& src, const Colour& dst) {
    const std::uint8_t srcBlend = kProgram.fixed ? kProgram.srcBlend : s.srcBlend;
    const std::uint8_t destBlend = kProgram.fixed ? kProgram.destBlend : s.destBlend;
    auto toPack = [](vf x) { return Clamp255(x) + 0.5f; };
    Colour fs = Factor(srcBlend, src, dst);
    if (destBlend == D3DBLEND_ZERO)  // the first terrain pass: the frame below does not count
        return {toPack(src.r * fs.r), toPack(src.g * fs.g), toPack(src.b * fs.b), toPack(src.a * fs.a)};
    Colour fd = Factor(destBlend, src, dst);
    return {toPack(src.r * fs.r + dst.r * fd.r), toPack(src.g * fs.g + dst.g * fd.g),
            toPack(src.b * fs.b + dst.b * fd.b), toPack(src.a * fs.a + dst.a * fd.a)};
}

// Packs whole (or, from Blend, half-step-up) channel values 0 to 255.5, truncating.
inline vu Pack(const Colour& c) {
    vu r = reinterpret_cast<vu>(Truncate(c.r)), g = reinterpret_cast<vu>(Truncate(c.g));
    vu b = reinterpret_cast<vu>(Truncate(c.b)), a = reinterpret_cast<vu>(Truncate(c.a));
    return (a << 24) | (r << 16) | (g << 8) | b;
}

// ---- The block and the triangle -----------------------------------------------------------

// Whether a fixed program's blend multiplies its source colour by zero in every live lane, so
// that the last stage's texture need not be sampled: the source factor is the source alpha (or
// its complement), that alpha is 0 (or 255) in every live lane, and the last stage passes the
// alpha on without reading its texture. The terrain's rock pass over grass, and its grass pass
// over rock, are such blocks. The colour left unsampled is finite either way, so x 0 gives the
// same 0 as the sampled one would.
template <int kStages, Program kProgram>
KERNEL_INLINE bool SourceColourIgnored(vf alpha, vi live) {
    if constexpr (!kProgram.fixed || kStages != 2) {
        return false;
    } else {
        constexpr StageState last = kProgram.stages[1];
        constexpr bool alphaPassesOn = last.alphaOp == D3DTOP_SELECTARG1 && last.alphaArg1 == D3DTA_CURRENT;
        if constexpr (!alphaPassesOn || last.sampled != kRgb) return false;
        const vf rounded = RoundNonNegative(Clamp255(alpha));
        if constexpr (kProgram.srcBlend == D3DBLEND_SRCALPHA) return !Any(live & (rounded != 0.0f));
        if constexpr (kProgram.srcBlend == D3DBLEND_INVSRCALPHA) return !Any(live & (rounded != 255.0f));
        return false;
    }
}

// What the stages read besides their textures, at the block's pixels; w is 1 / (1/w).
template <int kStages>
KERNEL_INLINE StageInputs Inputs(const TriangleSetup& t, const PixelState& s, vf x, vf y, vf w) {
    StageInputs in;
    vf perspective = t.flat ? Splat(1.0f) : w;
    in.diffuse = {Evaluate(t.colour[0], x, y) * perspective, Evaluate(t.colour[1], x, y) * perspective,
                  Evaluate(t.colour[2], x, y) * perspective, Evaluate(t.colour[3], x, y) * perspective};
    if constexpr (kStages > 0) {
        if (s.addSpecular)
            in.specular = {Evaluate(t.specular[0], x, y) * perspective, Evaluate(t.specular[1], x, y) * perspective,
                           Evaluate(t.specular[2], x, y) * perspective, Splat(0.0f)};
        else
            in.specular = Colour{Splat(0.0f), Splat(0.0f), Splat(0.0f), Splat(0.0f)};
        in.factor = Splat(s.textureFactor);
    }
    return in;
}

// Stage k over `current`, with its texture sampled at the block's pixels into in.texture.
template <int kStages, Program kProgram>
KERNEL_INLINE Colour ShadeStage(const TriangleSetup& t, const PixelState& s, int k, vf x, vf y, vf w, vi live,
                                StageInputs& in, const Colour& current) {
    const StageState stage = StageOf<kProgram>(s, k);
    if (k == 1 && SourceColourIgnored<kStages, kProgram>(current.a, live))
        in.texture = Splat(0u);
    else if (stage.sampled != 0 && s.textures[k] != nullptr)
        in.texture = Sample(*s.textures[k], SamplerOf<kProgram>(s, k), Evaluate(t.tex[k][0], x, y) * w,
                            Evaluate(t.tex[k][1], x, y) * w, stage.sampled);
    else
        in.texture = Splat(0xFFFFFFFFu);  // a stage without a texture reads opaque white
    return RunStage(stage, in, current);
}

// The stages' colour with the specular colour added, rounded to whole 8-bit steps.
KERNEL_INLINE Colour Rounded(const TriangleSetup& t, const PixelState& s, vf x, vf y, vf w, Colour current) {
    if (s.addSpecular) {
        vf perspective = t.flat ? Splat(1.0f) : w;
        current.r = current.r + Evaluate(t.specular[0], x, y) * perspective;
        current.g = current.g + Evaluate(t.specular[1], x, y) * perspective;
        current.b = current.b + Evaluate(t.specular[2], x, y) * perspective;
    }
    return {RoundNonNegative(Clamp255(current.r)), RoundNonNegative(Clamp255(current.g)),
            RoundNonNegative(Clamp255(current.b)), RoundNonNegative(Clamp255(current.a))};
}

// The colour the stages make for one block, rounded to whole 8-bit steps.
template <int kStages, Program kProgram>
KERNEL_INLINE Colour ShadeColour(const TriangleSetup& t, const PixelState& s, vf x, vf y, vi live) {
    vf w = Splat(1.0f) / Evaluate(t.invW, x, y);
    StageInputs in = Inputs<kStages>(t, s, x, y, w);
    Colour current = in.diffuse;
    for (int k = 0; k < kStages; ++k) current = ShadeStage<kStages, kProgram>(t, s, k, x, y, w, live, in, current);
    return Rounded(t, s, x, y, w, current);
}

// The word a draw leaves in the frame where it writes `colour` over `old`.
template <bool kBlend, Program kProgram>
KERNEL_INLINE vu Written(const PixelState& s, Colour colour, vu old) {
    if constexpr (kBlend) colour = Blend<kProgram>(s, colour, Unpack(old));
    if (!(kProgram.fixed ? kProgram.keepDestAlpha : s.keepDestAlpha)) colour.a = Splat(255.0f);
    vu mask = reinterpret_cast<vu>(SplatI(static_cast<std::int32_t>(s.colourWriteMask)));
    return (Pack(colour) & mask) | (old & ~mask);
}

// Where a quad set's lanes are, and which of them the triangle covers.
KERNEL_INLINE vi Coverage(const TriangleSetup& t, const QuadSet& q, vi& px, vi& py) {
    vi originX = SplatI(q.x[0]), originY = SplatI(q.y[0]);
#if KERNEL_LANES == 8
    const vi secondQuad = {0, 0, 0, 0, -1, -1, -1, -1};
    originX = secondQuad ? SplatI(q.x[1]) : originX;
    originY = secondQuad ? SplatI(q.y[1]) : originY;
#elif KERNEL_LANES == 16
    const __m512i spread = reinterpret_cast<__m512i>(kLaneQuad);
    originX = reinterpret_cast<vi>(
        _mm512_permutexvar_epi32(spread, _mm512_zextsi128_si512(_mm_setr_epi32(q.x[0], q.x[1], q.x[2], q.x[3]))));
    originY = reinterpret_cast<vi>(
        _mm512_permutexvar_epi32(spread, _mm512_zextsi128_si512(_mm_setr_epi32(q.y[0], q.y[1], q.y[2], q.y[3]))));
#endif
    px = originX + kLaneX;
    py = originY + kLaneY;
    vi live = SplatI(-1);
    for (int k = 0; k < 3; ++k) live &= (SplatI(t.edgeC[k]) + SplatI(t.edgeA[k]) * px + SplatI(t.edgeB[k]) * py) >= 0;
    live &= (px >= t.x0) & (px <= t.x1) & (py >= t.y0) & (py <= t.y1);
    if (q.count < kQuads) live &= kLaneQuad < q.count;
    return live;
}

// Shades the quads' lanes in `live`, the pixels the triangle covers; (px, py) are the lanes' pixels.
template <bool kDepthTest, bool kAlphaTest, bool kBlend, int kStages, Program kProgram>
KERNEL_INLINE void ShadeQuads(const TriangleSetup& t, const PixelState& s, const KernelTarget& target,
                              const QuadSet& quads, bool rows, vi live, vi px, vi py) {
    vf x = ToFloat(px), y = ToFloat(py);
    vi depth{};
    vu storedDepth{};
    if constexpr (kDepthTest) {
        vf z = Min(Max(Evaluate(t.z, x, y), Splat(0.0f)), Splat(1.0f));
        depth = MinI(Truncate(z * 16777215.0f + 0.5f), SplatI(16777215));
        storedDepth = LoadQuads(target.depth, target.pitch, quads, rows);
        live &= Compare(s.depthFunc, depth, reinterpret_cast<vi>(storedDepth));
        if (!Any(live)) return;
    }
    Colour colour = ShadeColour<kStages, kProgram>(t, s, x, y, live);
    if constexpr (kAlphaTest) {
        live &= Compare(s.alphaFunc, Truncate(colour.a), SplatI(static_cast<std::int32_t>(s.alphaRef)));
        if (!Any(live)) return;
    }
    vu old = LoadQuads(target.colour, target.pitch, quads, rows);
    vu written = Written<kBlend, kProgram>(s, colour, old);
    StoreQuads(target.colour, target.pitch, quads, rows, live ? written : old);
    if constexpr (kDepthTest) {
        if (s.depthWrite)
            StoreQuads(target.depth, target.pitch, quads, rows, live ? reinterpret_cast<vu>(depth) : storedDepth);
    }
}

// Whether each quad of a coverage test (four mask bits apiece) has a covered pixel.
inline bool EveryQuadLive(int bits) {
    for (int q = 0; q < kQuads; ++q)
        if (((bits >> (4 * q)) & 15) == 0) return false;
    return true;
}

// Walks the triangle's box a row of quads at a time, collects the quads it covers and hands
// them to shade(quads, sideBySide, live, px, py) kQuads at a time.
template <class Shade>
inline void WalkTriangle(const TriangleSetup& t, Shade shade) {
    vi testEdge[3];
    for (int k = 0; k < 3; ++k)
        testEdge[k] = SplatI(t.edgeC[k]) + SplatI(t.edgeA[k]) * kTestX + SplatI(t.edgeB[k]) * kLaneY;
    const vi x0 = SplatI(t.x0), x1 = SplatI(t.x1), y0 = SplatI(t.y0), y1 = SplatI(t.y1);
    QuadSet pending{{}, {}, 0};
    auto shadePending = [&] {
        vi px, py;
        vi live = Coverage(t, pending, px, py);
        shade(pending, SideBySide(pending), live, px, py);
    };
    for (int by = t.y0 & ~1; by <= t.y1; by += 2) {
        for (int bx = t.x0 & ~1; bx <= t.x1; bx += kTestWidth) {
            vi e0 = testEdge[0] + (t.edgeA[0] * bx + t.edgeB[0] * by);
            vi e1 = testEdge[1] + (t.edgeA[1] * bx + t.edgeB[1] * by);
            vi e2 = testEdge[2] + (t.edgeA[2] * bx + t.edgeB[2] * by);
            vi px = SplatI(bx) + kTestX, py = SplatI(by) + kLaneY;
            vi live = ((e0 | e1 | e2) >= 0) & (px >= x0) & (px <= x1) & (py >= y0) & (py <= y1);
            int bits = MaskBits(live);
            if (pending.count == 0 && EveryQuadLive(bits)) {
                // The test's lanes are already the quads' lanes, side by side: shade them as tested.
                QuadSet row{{}, {}, kQuads};
                for (int q = 0; q < kQuads; ++q) row.x[q] = bx + 2 * q, row.y[q] = by;
                shade(row, N > 4, live, px, py);
                continue;
            }
            for (int q = 0; q < kQuads; ++q) {
                if (((bits >> (4 * q)) & 15) == 0) continue;
                pending.x[pending.count] = bx + 2 * q;
                pending.y[pending.count] = by;
                if (++pending.count == kQuads) {
                    shadePending();
                    pending.count = 0;
                }
            }
        }
    }
    if (pending.count > 0) {
        // The missing quads repeat the first, so that their lanes compute nothing out of range.
        for (int i = pending.count; i < kQuads; ++i) {
            pending.x[i] = pending.x[0];
            pending.y[i] = pending.y[0];
        }
        shadePending();
    }
}

template <bool kDepthTest, bool kAlphaTest, bool kBlend, int kStages, Program kProgram = kAnyProgram>
void DrawTriangle(const TriangleSetup& t, const PixelState& s, const KernelTarget& target) {
    WalkTriangle(t, [&](const QuadSet& quads, bool rows, vi live, vi px, vi py) {
        ShadeQuads<kDepthTest, kAlphaTest, kBlend, kStages, kProgram>(t, s, target, quads, rows, live, px, py);
    });
}

template <bool kDepthTest, bool kAlphaTest, bool kBlend>
TriangleKernel ForStages(int stages) {
    switch (stages) {
        case 0:
            return DrawTriangle<kDepthTest, kAlphaTest, kBlend, 0>;
        case 1:
            return DrawTriangle<kDepthTest, kAlphaTest, kBlend, 1>;
        default:
            return DrawTriangle<kDepthTest, kAlphaTest, kBlend, 2>;
    }
}

template <bool kDepthTest, bool kAlphaTest>
TriangleKernel ForBlend(const PixelState& s) {
    return s.blend ? ForStages<kDepthTest, kAlphaTest, true>(s.stageCount)
                   : ForStages<kDepthTest, kAlphaTest, false>(s.stageCount);
}

template <bool kDepthTest>
TriangleKernel ForAlphaTest(const PixelState& s) {
    return s.alphaTest ? ForBlend<kDepthTest, true>(s) : ForBlend<kDepthTest, false>(s);
}

// The terrain's two passes: the mask's alpha through stage 0 (clamped), the lit ground texture
// through stage 1 (wrapped), both trilinear; the first pass replaces the frame, the second
// blends over it through the mask; the back buffer (the viewer's) has no alpha.
constexpr StageState kMaskAlpha{D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTA_TEXTURE, D3DTA_CURRENT, D3DTA_TEXTURE,
                                D3DTA_CURRENT, 0, kAlpha, 0, 1};
constexpr StageState kLitGround{D3DTOP_MODULATE, D3DTOP_SELECTARG1, D3DTA_DIFFUSE, D3DTA_TEXTURE, D3DTA_CURRENT,
                                D3DTA_CURRENT, 1, kRgb, 1, 1};
constexpr SamplerModes kClampedTrilinear{D3DTADDRESS_CLAMP, D3DTADDRESS_CLAMP, D3DTEXF_LINEAR, D3DTEXF_LINEAR,
                                         D3DTEXF_LINEAR};
constexpr SamplerModes kWrappedTrilinear{D3DTADDRESS_WRAP, D3DTADDRESS_WRAP, D3DTEXF_LINEAR, D3DTEXF_LINEAR,
                                         D3DTEXF_LINEAR};
constexpr Program kTerrainFirstPass{true, {kMaskAlpha, kLitGround}, {kClampedTrilinear, kWrappedTrilinear},
                                    D3DBLEND_SRCALPHA, D3DBLEND_ZERO, false};
constexpr Program kTerrainSecondPass{true, {kMaskAlpha, kLitGround}, {kClampedTrilinear, kWrappedTrilinear},
                                     D3DBLEND_INVSRCALPHA, D3DBLEND_SRCALPHA, false};

bool SameModes(const SamplerSetup& sampler, const SamplerModes& modes) {
    return sampler.addressU == modes.addressU && sampler.addressV == modes.addressV &&
           sampler.magFilter == modes.magFilter && sampler.minFilter == modes.minFilter &&
           sampler.mipFilter == modes.mipFilter;
}

// Whether a blended two-stage draw's state is the program's.
bool Runs(const PixelState& s, const Program& program) {
    if (s.stageCount != 2 || s.srcBlend != program.srcBlend || s.destBlend != program.destBlend ||
        (s.keepDestAlpha != 0) != program.keepDestAlpha)
        return false;
    for (int k = 0; k < 2; ++k)
        if (std::memcmp(&s.stages[k], &program.stages[k], sizeof(StageState)) != 0 ||
            !SameModes(s.samplers[k], program.samplers[k]))
            return false;
    return true;
}


// ---- The terrain's two passes drawn together ---------------------------------------------

// The second pass repeats the first's triangles with its own ground texture and blend, and
// draws over the first's result at equal depth. Drawn together, each block is tested,
// interpolated and masked once (both passes sample the same mask the same way), and the
// first pass's word, as the frame would hold it, is the second's destination. That is the
// frame the passes make one after the other unless two triangles of the pair meet a pixel at
// equal depth, where the second pass would blend over both: the guard then stops the pair, and
// the tile is drawn again pass by pass.
KERNEL_INLINE void ShadePairedQuads(const TriangleSetup& t, const PixelState& first, const PixelState& second,
                                    const KernelTarget& target, PairGuard& guard, const QuadSet& quads, bool rows,
                                    vi live, vi px, vi py) {
    if (guard.tie) return;
    vf x = ToFloat(px), y = ToFloat(py);
    vf z = Min(Max(Evaluate(t.z, x, y), Splat(0.0f)), Splat(1.0f));
    vi depth = MinI(Truncate(z * 16777215.0f + 0.5f), SplatI(16777215));
    vu storedDepth = LoadQuads(target.depth, target.pitch, quads, rows);
    live &= depth <= reinterpret_cast<vi>(storedDepth);  // both passes test LESSEQUAL
    if (!Any(live)) return;
    const vi ties = live & (depth == reinterpret_cast<vi>(storedDepth));
    if (Any(ties)) {
        // The first tie in a tile meets a pixel the pair has not drawn, if its depth is still
        // the one saved before the pair; any other may meet one the pair has drawn.
        const vu saved = LoadQuads(guard.savedDepth, kTileSize, quads, rows);
        if (guard.tieSeen || Any(ties & (storedDepth != saved))) {
            guard.tie = true;
            return;
        }
        guard.tieSeen = true;
    }
    vf w = Splat(1.0f) / Evaluate(t.invW, x, y);
    StageInputs firstIn = Inputs<2>(t, first, x, y, w);
    StageInputs secondIn = firstIn;
    const Colour masked = ShadeStage<2, kTerrainFirstPass>(t, first, 0, x, y, w, live, firstIn, firstIn.diffuse);
    const Colour rock =
        Rounded(t, first, x, y, w, ShadeStage<2, kTerrainFirstPass>(t, first, 1, x, y, w, live, firstIn, masked));
    const Colour grass =
        Rounded(t, second, x, y, w, ShadeStage<2, kTerrainSecondPass>(t, second, 1, x, y, w, live, secondIn, masked));
    vu old = LoadQuads(target.colour, target.pitch, quads, rows);
    vu afterFirst = Written<true, kTerrainFirstPass>(first, rock, old);
    vu afterSecond = Written<true, kTerrainSecondPass>(second, grass, afterFirst);
    StoreQuads(target.colour, target.pitch, quads, rows, live ? afterSecond : old);
    if (first.depthWrite || second.depthWrite)
        StoreQuads(target.depth, target.pitch, quads, rows, live ? reinterpret_cast<vu>(depth) : storedDepth);
}

void DrawPairedTriangle(const TriangleSetup& t, const PixelState& first, const PixelState& second,
                        const KernelTarget& target, PairGuard& guard) {
    WalkTriangle(t, [&](const QuadSet& quads, bool rows, vi live, vi px, vi py) {
        ShadePairedQuads(t, first, second, target, guard, quads, rows, live, px, py);
    });
}

}  // namespace

TriangleKernel SelectKernel(const PixelState& state) {
    if (state.depthTest && !state.alphaTest && state.blend) {
        if (Runs(state, kTerrainFirstPass)) return DrawTriangle<true, false, true, 2, kTerrainFirstPass>;
        if (Runs(state, kTerrainSecondPass)) return DrawTriangle<true, false, true, 2, kTerrainSecondPass>;
    }
    return state.depthTest ? ForAlphaTest<true>(state) : ForAlphaTest<false>(state);
}

bool LeadsPair(const PixelState& first) {
    return first.depthTest && first.depthWrite && first.depthFunc == D3DCMP_LESSEQUAL && !first.alphaTest &&
           first.blend && Runs(first, kTerrainFirstPass);
}

PairKernel SelectPairKernel(const PixelState& first, const PixelState& second) {
    if (!KERNEL_NAMESPACE::LeadsPair(first) || !second.depthTest || second.depthFunc != D3DCMP_LESSEQUAL || second.alphaTest ||
        !second.blend || !Runs(second, kTerrainSecondPass))
        return nullptr;
    // What the pair computes once: the mask's sample (the caller sees that the two masks hold
    // the same texels) and the interpolated colour; and the box the triangles are drawn in.
    const bool sameMask = std::memcmp(&first.samplers[0], &second.samplers[0], sizeof(SamplerSetup)) == 0;
    const bool sameInterpolation = first.flatShading == second.flatShading && first.addSpecular == second.addSpecular;
    const bool sameViewport = first.viewportX0 == second.viewportX0 && first.viewportY0 == second.viewportY0 &&
                              first.viewportX1 == second.viewportX1 && first.viewportY1 == second.viewportY1;
    return sameMask && sameInterpolation && sameViewport ? DrawPairedTriangle : nullptr;
}

}  // namespace reference::KERNEL_NAMESPACE
