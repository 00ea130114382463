#pragma once
// The lanes the pixel kernels compute in, and every operation whose instructions depend on how
// many there are. This is the one place that tests KERNEL_LANES (4: SSE2, 8: AVX2, 16: AVX-512);
// the rest of the kernels are written once in terms of what is here. Every operation gives the
// same bits in each lane whatever the lane count, so all sets draw identical frames.
//
// Lanes hold whole 2 x 2 quads: lane l is pixel (l % 2, (l / 2) % 2) of quad l / 4. The quads of
// a vector need not be neighbours, so small triangles fill the lanes with covered quads only.
// Included by the kernel set (kernel_set.inl) inside its namespace, once per instruction set.

#include <immintrin.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

namespace reference::KERNEL_NAMESPACE {
namespace {

constexpr int N = KERNEL_LANES;
constexpr int kQuads = N / 4;  // 2 x 2 quads shaded together

typedef float vf __attribute__((vector_size(N * 4)));
typedef std::int32_t vi __attribute__((vector_size(N * 4)));
typedef std::uint32_t vu __attribute__((vector_size(N * 4)));

// The helpers pass colours as four vectors; inlined, those stay in registers.
#define KERNEL_INLINE inline __attribute__((always_inline))

// The tables are constants, not values made at start-up: code that runs before main may not use
// instructions that the processor running it lacks (GCC fills a table made by a loop at start-up,
// with the instruction set's own stores).
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
// Coverage is tested a row of quads at a time: lane l of a test is pixel (l % 2 + 2 (l / 4), ...).
constexpr vi kTestX = LaneTable([](int l) { return l % 2 + 2 * (l / 4); });
constexpr int kTestWidth = 2 * kQuads;  // pixels across one coverage test

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
    vf t = ToFloat(Truncate(x));                                     // SSE2 has no rounding instruction
    return t + ToFloat(t > x);                                       // a true lane is -1
#endif
}

// Round half up, for values already clamped to be non-negative.
inline vf RoundNonNegative(vf x) { return ToFloat(Truncate(x + 0.5f)); }
inline vi RoundToInt(vf x) { return Truncate(x + 0.5f); }

// x + y * width for each lane, where width is 1 << widthLog2 and the result is below 2^24: a
// variable shift with AVX2; SSE2 has none, and takes the product in floats (exact there).
KERNEL_INLINE vi RowMajorIndex(vi x, vi y, vi width, vi widthLog2) {
#if KERNEL_LANES >= 8
    (void)width;
    return (y << widthLog2) + x;
#else
    (void)widthLog2;
    return Truncate(ToFloat(y) * ToFloat(width) + ToFloat(x));
#endif
}

// Each lane's entry of kCount tables of kEntries entries at `index`, which is the same over every
// lane of a quad: looked up once per quad rather than gathered per lane.
template <int kEntries, int kCount>
KERNEL_INLINE void LookUpPerQuad(const int* const (&tables)[kCount], vi index, vi (&out)[kCount]) {
    static_assert(kEntries <= 16, "a table must fit in one 16-lane vector");
    const int a = index[0];
#if KERNEL_LANES == 8
    const vi secondQuad = {0, 0, 0, 0, -1, -1, -1, -1};
    const int b = index[4];
    for (int k = 0; k < kCount; ++k) out[k] = secondQuad ? SplatI(tables[k][b]) : SplatI(tables[k][a]);
#elif KERNEL_LANES == 16
    if (!Any(index != a)) {
        for (int k = 0; k < kCount; ++k) out[k] = SplatI(tables[k][a]);
        return;
    }
    // Every table fits in one vector: a lane-wise permute picks each lane's entry, far cheaper
    // than a gather. Words past the table are not read.
    constexpr __mmask16 kTableMask = (1u << kEntries) - 1;
    const __m512i lanes = reinterpret_cast<__m512i>(index);
    for (int k = 0; k < kCount; ++k)
        out[k] = reinterpret_cast<vi>(_mm512_permutexvar_epi32(lanes, _mm512_maskz_loadu_epi32(kTableMask, tables[k])));
#else
    for (int k = 0; k < kCount; ++k) out[k] = SplatI(tables[k][a]);  // one quad: one entry
#endif
}

// Spreads one value per quad over the quad's lanes.
KERNEL_INLINE vi PerQuad(const int (&values)[kQuads]) {
#if KERNEL_LANES == 8
    const vi secondQuad = {0, 0, 0, 0, -1, -1, -1, -1};
    return secondQuad ? SplatI(values[1]) : SplatI(values[0]);
#elif KERNEL_LANES == 16
    return reinterpret_cast<vi>(
        _mm512_permutexvar_epi32(reinterpret_cast<__m512i>(kLaneQuad),
                                 _mm512_zextsi128_si512(_mm_setr_epi32(values[0], values[1], values[2], values[3]))));
#else
    return SplatI(values[0]);
#endif
}

template <class T>
inline vu GatherWords(const T* base, vi index) {
#if KERNEL_LANES == 16
    return reinterpret_cast<vu>(_mm512_i32gather_epi32(reinterpret_cast<__m512i>(index), base, 4));
#elif KERNEL_LANES == 8
    return reinterpret_cast<vu>(
        _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), reinterpret_cast<__m256i>(index), 4));
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

// Byte kByte of two texel words, side by side as 16-bit halves: a's below, b's above.
template <int kByte>
KERNEL_INLINE vi ChannelPair(vu a, vu b) {
#if KERNEL_LANES >= 8
    // Byte shuffles within each 16-byte lane: 0x80 clears a byte.
    const vi fromA = LaneTable([](int l) { return static_cast<std::int32_t>(0x80808000u | (4 * (l % 4) + kByte)); });
    const vi fromB =
        LaneTable([](int l) { return static_cast<std::int32_t>(0x80008080u | ((4 * (l % 4) + kByte) << 16)); });
#if KERNEL_LANES == 16
    return reinterpret_cast<vi>(
        _mm512_or_si512(_mm512_shuffle_epi8(reinterpret_cast<__m512i>(a), reinterpret_cast<__m512i>(fromA)),
                        _mm512_shuffle_epi8(reinterpret_cast<__m512i>(b), reinterpret_cast<__m512i>(fromB))));
#else
    return reinterpret_cast<vi>(
        _mm256_or_si256(_mm256_shuffle_epi8(reinterpret_cast<__m256i>(a), reinterpret_cast<__m256i>(fromA)),
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
    return reinterpret_cast<vi>(
        _mm512_madd_epi16(reinterpret_cast<__m512i>(pairs), reinterpret_cast<__m512i>(weights)));
#elif KERNEL_LANES == 8
    return reinterpret_cast<vi>(
        _mm256_madd_epi16(reinterpret_cast<__m256i>(pairs), reinterpret_cast<__m256i>(weights)));
#else
    return reinterpret_cast<vi>(_mm_madd_epi16(reinterpret_cast<__m128i>(pairs), reinterpret_cast<__m128i>(weights)));
#endif
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
    return reinterpret_cast<vu>(_mm512_permutex2var_epi64(
        _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(top))), order,
        _mm512_castsi256_si512(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(bottom)))));
}
inline void ToRows(vu value, std::uint32_t* top, std::uint32_t* bottom) {
    const __m512i rows =
        _mm512_permutexvar_epi64(_mm512_set_epi64(7, 5, 3, 1, 6, 4, 2, 0), reinterpret_cast<__m512i>(value));
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

}  // namespace
}  // namespace reference::KERNEL_NAMESPACE
