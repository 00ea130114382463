#include "platform/reference/tile_raster.h"

#include <emmintrin.h>

#include <algorithm>
#include <atomic>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "platform/reference/pass_pairing.h"

namespace reference {
namespace {

// QUENOLDE_REF_SIMD=sse2, avx2 or avx512 caps the kernels at that set (for comparisons).
KernelSet DetectKernelSet() {
    const char* forced = std::getenv("QUENOLDE_REF_SIMD");
    auto capped = [&](const char* name) { return forced != nullptr && std::strcmp(forced, name) == 0; };
    if (capped("sse2")) return KernelSet::Sse2;
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) return KernelSet::Sse2;
    const bool avx512 = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512dq") &&
                        __builtin_cpu_supports("avx512vl") && __builtin_cpu_supports("avx512bw");
    return avx512 && !capped("avx2") ? KernelSet::Avx512 : KernelSet::Avx2;
}

std::atomic<KernelSet>& ChosenSet() {
    static std::atomic<KernelSet> chosen{DetectKernelSet()};
    return chosen;
}

// A kernel set's entry points.
struct KernelEntries {
    TriangleKernel (*select)(const PixelState& state);
    bool (*leadsPair)(const PixelState& first);
    PairKernel (*selectPair)(const PixelState& first, const PixelState& second);
};

const KernelEntries& Entries(KernelSet set) {
    static const KernelEntries sse2{sse2::SelectKernel, sse2::LeadsPair, sse2::SelectPairKernel};
    static const KernelEntries avx2{avx2::SelectKernel, avx2::LeadsPair, avx2::SelectPairKernel};
    static const KernelEntries avx512{avx512::SelectKernel, avx512::LeadsPair, avx512::SelectPairKernel};
    return set == KernelSet::Avx512 ? avx512 : set == KernelSet::Avx2 ? avx2 : sse2;
}

TriangleKernel SelectKernel(const PixelState& state, KernelSet set) { return Entries(set).select(state); }

// Top edges (horizontal, the triangle below) and left edges own the pixel centres they pass
// through; the others do not. Triangles arrive clockwise with y down: a left edge runs
// upwards, a top edge runs to the right.
bool IsTopLeft(std::int64_t dx, std::int64_t dy) { return dy < 0 || (dy == 0 && dx > 0); }

// Sets up edge k from p to q; false when no pixel of the box lies inside it.
bool SetupEdge(const ShadedVertex& p, const ShadedVertex& q, int tileX, int tileY, const TriangleSetup& box, int k,
               TriangleSetup& out) {
    std::int64_t dx = q.sx - p.sx, dy = q.sy - p.sy;
    // E(x, y) = dx (16 y - py) - dy (16 x - px), pixel centres at whole pixel coordinates.
    std::int64_t a = -dy * kSubpixelScale, b = dx * kSubpixelScale;
    std::int64_t c = dx * (static_cast<std::int64_t>(tileY) * kSubpixelScale - p.sy) -
                     dy * (static_cast<std::int64_t>(tileX) * kSubpixelScale - p.sx);
    if (!IsTopLeft(dx, dy)) c -= 1;
    std::int64_t low = c + std::min(a * box.x0, a * box.x1) + std::min(b * box.y0, b * box.y1);
    std::int64_t high = c + std::max(a * box.x0, a * box.x1) + std::max(b * box.y0, b * box.y1);
    if (high < 0) return false;
    if (low >= 0) a = b = c = 0;  // holds everywhere in the box
    // Inside the guard band an edge that crosses a 64-pixel box stays well inside 32 bits.
    out.edgeA[k] = static_cast<std::int32_t>(a);
    out.edgeB[k] = static_cast<std::int32_t>(b);
    out.edgeC[k] = static_cast<std::int32_t>(c);
    return true;
}

// Solves the planes of four attributes at once; SSE does per lane exactly the scalar formula
//   dx = (d1 dy2 - d2 dy1) / area,  dy = (d2 dx1 - d1 dx2) / area,  c = a0 - dx x0 - dy y0
// with d1 = a1 - a0 and d2 = a2 - a0, the vertex offsets (dx1, dy1) and (dx2, dy2) from vertex 0
// and (x0, y0) vertex 0's position in the tile.
struct PlaneSolver {
    __m128 x0, y0, dx1, dy1, dx2, dy2, invArea;

    // Planes {c, dx, dy} for each lane, interleaved as a Plane array stores them: twelve floats.
    void Solve(__m128 a0, __m128 a1, __m128 a2, __m128 interleaved[3]) const {
        const __m128 d1 = _mm_sub_ps(a1, a0), d2 = _mm_sub_ps(a2, a0);
        const __m128 dx = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(d1, dy2), _mm_mul_ps(d2, dy1)), invArea);
        const __m128 dy = _mm_mul_ps(_mm_sub_ps(_mm_mul_ps(d2, dx1), _mm_mul_ps(d1, dx2)), invArea);
        const __m128 c = _mm_sub_ps(_mm_sub_ps(a0, _mm_mul_ps(dx, x0)), _mm_mul_ps(dy, y0));
        // c0 dx0 dy0 c1 | dx1 dy1 c2 dx2 | dy2 c3 dx3 dy3
        interleaved[0] = _mm_shuffle_ps(_mm_unpacklo_ps(c, dx), _mm_shuffle_ps(dy, c, _MM_SHUFFLE(1, 1, 0, 0)),
                                        _MM_SHUFFLE(2, 0, 1, 0));
        interleaved[1] = _mm_shuffle_ps(_mm_unpacklo_ps(dx, dy), _mm_unpackhi_ps(c, dx), _MM_SHUFFLE(1, 0, 3, 2));
        interleaved[2] = _mm_shuffle_ps(_mm_unpackhi_ps(dy, c), _mm_unpackhi_ps(dx, dy), _MM_SHUFFLE(3, 2, 3, 0));
    }

    // The planes of four consecutive attributes of each vertex, over w for perspective.
    void SolveOverW(const float* a0, const float* a1, const float* a2, const float invW[3],
                    __m128 interleaved[3]) const {
        Solve(_mm_mul_ps(_mm_loadu_ps(a0), _mm_set1_ps(invW[0])), _mm_mul_ps(_mm_loadu_ps(a1), _mm_set1_ps(invW[1])),
              _mm_mul_ps(_mm_loadu_ps(a2), _mm_set1_ps(invW[2])), interleaved);
    }
};

// Stores the first `count` of four solved planes.
void StorePlanes(const __m128 interleaved[3], int count, Plane* out) {
    float* f = &out->c;
    static_assert(sizeof(Plane) == 3 * sizeof(float));
    if (count == 4) {
        for (int i = 0; i < 3; ++i) _mm_storeu_ps(f + 4 * i, interleaved[i]);
        return;
    }
    float all[12];
    for (int i = 0; i < 3; ++i) _mm_storeu_ps(all + 4 * i, interleaved[i]);
    std::memcpy(f, all, sizeof(Plane) * static_cast<std::size_t>(count));
}

void SetupPlanes(const ShadedVertex& v0, const ShadedVertex& v1, const ShadedVertex& v2, const ShadedVertex& provoking,
                 const PixelState& state, int tileX, int tileY, TriangleSetup& out) {
    constexpr float kToPixels = 1.0f / kSubpixelScale;
    const float dx1 = static_cast<float>(v1.sx - v0.sx) * kToPixels,
                dy1 = static_cast<float>(v1.sy - v0.sy) * kToPixels;
    const float dx2 = static_cast<float>(v2.sx - v0.sx) * kToPixels,
                dy2 = static_cast<float>(v2.sy - v0.sy) * kToPixels;
    PlaneSolver s;
    s.x0 = _mm_set1_ps(static_cast<float>(v0.sx - tileX * kSubpixelScale) * kToPixels);
    s.y0 = _mm_set1_ps(static_cast<float>(v0.sy - tileY * kSubpixelScale) * kToPixels);
    s.dx1 = _mm_set1_ps(dx1), s.dy1 = _mm_set1_ps(dy1), s.dx2 = _mm_set1_ps(dx2), s.dy2 = _mm_set1_ps(dy2);
    s.invArea = _mm_set1_ps(1.0f / (dx1 * dy2 - dx2 * dy1));

    const float invW[3] = {v0.invW, v1.invW, v2.invW};
    __m128 planes[3];
    s.Solve(_mm_setr_ps(v0.z, v0.invW, 0, 0), _mm_setr_ps(v1.z, v1.invW, 0, 0), _mm_setr_ps(v2.z, v2.invW, 0, 0),
            planes);
    static_assert(offsetof(TriangleSetup, invW) == offsetof(TriangleSetup, z) + sizeof(Plane));
    StorePlanes(planes, 2, &out.z);
    out.flat = state.flatShading != 0;
    if (out.flat) {
        for (int k = 0; k < 4; ++k) out.colour[k] = Plane{provoking.colour[k], 0.0f, 0.0f};
        for (int k = 0; k < 3; ++k) out.specular[k] = Plane{provoking.specular[k], 0.0f, 0.0f};
    } else {
        s.SolveOverW(v0.colour, v1.colour, v2.colour, invW, planes);
        StorePlanes(planes, 4, out.colour);
        if (state.addSpecular) {
            // The fourth lane reads past the specular colour into the texture coordinates; unused.
            static_assert(offsetof(ShadedVertex, tex) == offsetof(ShadedVertex, specular) + 3 * sizeof(float));
            s.SolveOverW(v0.specular, v1.specular, v2.specular, invW, planes);
            StorePlanes(planes, 3, out.specular);
        }
    }
    bool sampled = false;
    for (int t = 0; t < state.stageCount; ++t) sampled = sampled || state.stages[t].sampled != 0;
    if (sampled) {
        s.SolveOverW(&v0.tex[0][0], &v1.tex[0][0], &v2.tex[0][0], invW, planes);
        StorePlanes(planes, 4, &out.tex[0][0]);
    }
}

// Four words a store: the compiler leaves a plain fill loop word by word, and every tile of
// every frame starts with two of them.
void FillWords(std::uint32_t* first, int count, std::uint32_t value) {
    const __m128i four = _mm_set1_epi32(static_cast<int>(value));
    int i = 0;
    for (; i + 4 <= count; i += 4) _mm_storeu_si128(reinterpret_cast<__m128i*>(first + i), four);
    for (; i < count; ++i) first[i] = value;
}

void ApplyClear(const Frame& frame, const TileTarget& target, int x0, int y0, int x1, int y1) {
    for (int y = y0; y < y1; ++y) {
        std::size_t row = static_cast<std::size_t>(y) * target.pitch + x0;
        if (frame.clear.colour) FillWords(target.colour + row, x1 - x0, frame.clear.colourValue);
        if (frame.clear.depth) FillWords(target.depth + row, x1 - x0, frame.clear.depthValue);
    }
}

// Draws a run of triangles in the state `stateIndex` (whatever state they were recorded with).
void DrawRun(const Frame& frame, const TriangleRun& run, std::uint32_t stateIndex, const TileArea& area,
             const KernelTarget& kernelTarget, TileScratch& scratch) {
    const PixelState& state = frame.states[stateIndex];
    if (stateIndex != scratch.lastState) {
        scratch.lastState = stateIndex;
        const KernelSet set = ChosenSet().load(std::memory_order_relaxed);
        scratch.kernel = SelectKernel(state, set);
        scratch.narrowKernel = SelectKernel(state, NarrowerKernelSet(set));
    }
    TriangleSetup setup;
    for (std::size_t i = 0; i < run.count; ++i) {
        if (!SetupTriangle(frame, frame.triangles[run.indices[i]], state, area.x, area.y, area.width, area.height,
                           setup))
            continue;
        (FitsNarrowerKernel(setup) ? scratch.narrowKernel : scratch.kernel)(setup, state, kernelTarget);
    }
}

}  // namespace

KernelSet BestKernelSet() { return DetectKernelSet(); }

void UseKernelSet(KernelSet set) { ChosenSet().store(set, std::memory_order_relaxed); }

KernelSet ChosenKernelSet() { return ChosenSet().load(std::memory_order_relaxed); }

PairKernel SelectPairKernel(const PixelState& first, const PixelState& second, KernelSet set) {
    return Entries(set).selectPair(first, second);
}

KernelSet NarrowerKernelSet(KernelSet set) { return set == KernelSet::Avx512 ? KernelSet::Avx2 : set; }

bool FitsNarrowerKernel(const TriangleSetup& setup) {
    return ((setup.x1 >> 1) - (setup.x0 >> 1) + 1) * ((setup.y1 >> 1) - (setup.y0 >> 1) + 1) <= 2;
}

const char* KernelSetName(KernelSet set) {
    return set == KernelSet::Avx512 ? "AVX-512" : set == KernelSet::Avx2 ? "AVX2" : "SSE2";
}

bool SetupTriangle(const Frame& frame, const BinnedTriangle& triangle, const PixelState& state, int tileX, int tileY,
                   int tileW, int tileH, TriangleSetup& setup) {
    const ShadedVertex& v0 = frame.vertices[triangle.v[0]];
    const ShadedVertex& v1 = frame.vertices[triangle.v[1]];
    const ShadedVertex& v2 = frame.vertices[triangle.v[2]];
    auto ceilPixel = [](std::int32_t v) { return (v + kSubpixelScale - 1) >> kSubpixelBits; };
    auto floorPixel = [](std::int32_t v) { return v >> kSubpixelBits; };
    setup.x0 = std::max({ceilPixel(std::min({v0.sx, v1.sx, v2.sx})), state.viewportX0, tileX}) - tileX;
    setup.y0 = std::max({ceilPixel(std::min({v0.sy, v1.sy, v2.sy})), state.viewportY0, tileY}) - tileY;
    setup.x1 = std::min({floorPixel(std::max({v0.sx, v1.sx, v2.sx})), state.viewportX1 - 1, tileX + tileW - 1}) - tileX;
    setup.y1 = std::min({floorPixel(std::max({v0.sy, v1.sy, v2.sy})), state.viewportY1 - 1, tileY + tileH - 1}) - tileY;
    if (setup.x0 > setup.x1 || setup.y0 > setup.y1) return false;
    if (!SetupEdge(v1, v2, tileX, tileY, setup, 0, setup) || !SetupEdge(v2, v0, tileX, tileY, setup, 1, setup) ||
        !SetupEdge(v0, v1, tileX, tileY, setup, 2, setup))
        return false;
    SetupPlanes(v0, v1, v2, frame.vertices[triangle.provoking], state, tileX, tileY, setup);
    return true;
}

bool LeadsPair(const PixelState& first) {
    return Entries(ChosenSet().load(std::memory_order_relaxed)).leadsPair(first);
}

PairKernel SelectPairKernel(const PixelState& first, const PixelState& second) {
    return SelectPairKernel(first, second, ChosenSet().load(std::memory_order_relaxed));
}

void RasteriseTile(const Frame& frame, const TileTarget& target, int tile, TileScratch& scratch) {
    TileArea area{(tile % frame.tilesX) * kTileSize, (tile / frame.tilesX) * kTileSize, 0, 0};
    area.width = std::min(kTileSize, target.width - area.x);
    area.height = std::min(kTileSize, target.height - area.y);
    ApplyClear(frame, target, area.x, area.y, area.x + area.width, area.y + area.height);

    KernelTarget kernelTarget{target.colour + static_cast<std::size_t>(area.y) * target.pitch + area.x,
                              target.depth + static_cast<std::size_t>(area.y) * target.pitch + area.x, target.pitch};
    scratch.lastState = 0xFFFFFFFFu;
    const std::vector<std::uint32_t>& bin = frame.bins[static_cast<std::size_t>(tile)];
    for (std::size_t i = 0; i < bin.size();) {
        const std::uint32_t state = frame.triangles[bin[i]].state;
        std::size_t end = i + 1;
        while (end < bin.size() && frame.triangles[bin[end]].state == state) ++end;
        const std::uint32_t second = frame.PairedWith(state);
        const TriangleRun run{&bin[i], end - i};
        if (second == kUnpaired || !DrawPairedRun(frame, run, state, second, target, kernelTarget, area, scratch)) {
            DrawRun(frame, run, state, area, kernelTarget, scratch);
            if (second != kUnpaired) DrawRun(frame, run, second, area, kernelTarget, scratch);
        }
        i = end;
    }
}

}  // namespace reference
