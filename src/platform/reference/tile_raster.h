#pragma once
// Rasterising one screen tile of a recorded frame: the pending clear, then every triangle binned
// to the tile, in submission order. Each call writes only the pixels of its own tile, so tiles
// can run on any thread in any order with the same outcome.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/reference/frame.h"

namespace reference {

struct TileTarget {
    std::uint32_t* colour;
    std::uint32_t* depth;
    int width;  // of the back buffer
    int height;
    int pitch;  // words from one row to the next; rows are padded so blocks of 4 x 2 fit
};

// An attribute across a triangle: its value at tile-relative pixel (x, y) is c + dx x + dy y.
struct Plane {
    float c, dx, dy;
};

// A triangle prepared for one tile. Coordinates are relative to the tile's top-left pixel.
struct TriangleSetup {
    // Edge functions E = c + a x + b y; a pixel is inside when all three are >= 0. The fill
    // rule is folded into c. An edge that holds over the whole tile has a = b = c = 0.
    std::int32_t edgeC[3], edgeA[3], edgeB[3];
    int x0, y0, x1, y1;  // pixels that may be covered, inclusive
    Plane z;             // depth in [0, 1], linear in screen space
    Plane invW;          // 1/w, for perspective correction
    Plane colour[4];     // diffuse r, g, b, a (over w unless flat)
    Plane specular[3];
    Plane tex[2][2];  // u, v of stage 0 and 1 (over w)
    bool flat;        // colours are constant: no division by 1/w
};

// Where a kernel writes: the tile's first pixel in each buffer.
struct KernelTarget {
    std::uint32_t* colour;
    std::uint32_t* depth;
    int pitch;
};

using TriangleKernel = void (*)(const TriangleSetup& triangle, const PixelState& state, const KernelTarget& target);

// Two passes over the same triangles drawn together, one triangle at a time, in one tile (see
// pass_pairing.h). The guard stops the pair where drawing it so could differ from drawing the
// passes one after the other.
struct PairGuard {
    const std::uint32_t* savedDepth;  // the tile's depth before the pair, kTileSize words a row
    bool tieSeen = false;             // a pixel of the tile met one triangle at equal depth
    bool tie = false;                 // the pair stopped
};

using PairKernel = void (*)(const TriangleSetup& triangle, const PixelState& first, const PixelState& second,
                            const KernelTarget& target, PairGuard& guard);

// The part of the screen a tile covers.
struct TileArea {
    int x, y, width, height;
};

// Consecutive triangles of one tile's list.
struct TriangleRun {
    const std::uint32_t* indices;
    std::size_t count;
};

// Per-thread working memory, reused from tile to tile.
struct TileScratch {
    std::uint32_t lastState = 0xFFFFFFFFu;
    TriangleKernel kernel = nullptr;
    TriangleKernel narrowKernel = nullptr;  // for triangles too small to fill the wide one's lanes
    // A tile's pixels before a pair of passes, kTileSize x kTileSize.
    std::vector<std::uint32_t> savedColour, savedDepth;
    // Tiles this thread drew again pass by pass since the renderer last collected the count.
    std::uint32_t tilesRedrawn = 0;
};

// The instruction sets the kernels are built for.
enum class KernelSet { Sse2, Avx2, Avx512 };
KernelSet BestKernelSet();
// Chooses the kernels for every later tile (tests compare one set against the other).
void UseKernelSet(KernelSet set);
// The set in use, and its name ("SSE2", "AVX2", "AVX-512").
KernelSet ChosenKernelSet();
const char* KernelSetName(KernelSet set);
// A triangle within two quads leaves most of a 16-lane vector idle; the 8-lane kernels draw it
// at half the width for the same pixels (every set computes the same values).
KernelSet NarrowerKernelSet(KernelSet set);
bool FitsNarrowerKernel(const TriangleSetup& setup);

// Fills `setup` for the tile whose top-left pixel is (tileX, tileY) and size tileW x tileH;
// false when the triangle covers no pixel of the tile.
bool SetupTriangle(const Frame& frame, const BinnedTriangle& triangle, const PixelState& state, int tileX, int tileY,
                   int tileW, int tileH, TriangleSetup& setup);

void RasteriseTile(const Frame& frame, const TileTarget& target, int tile, TileScratch& scratch);

// Whether a draw in `first`'s state may be the first of a pair of passes drawn together, and
// the kernel that draws a triangle of the pair (null when the states do not make one), in the
// set in use or in `set`. The pair samples the first state's stage-0 texture for both: the
// caller makes sure that the second's holds the same texels (see pass_pairing.h).
bool LeadsPair(const PixelState& first);
PairKernel SelectPairKernel(const PixelState& first, const PixelState& second);
PairKernel SelectPairKernel(const PixelState& first, const PixelState& second, KernelSet set);

// The kernel sets, one per instruction set; each picks the variant specialised for a state.
namespace sse2 {
TriangleKernel SelectKernel(const PixelState& state);
bool LeadsPair(const PixelState& first);
PairKernel SelectPairKernel(const PixelState& first, const PixelState& second);
}  // namespace sse2
namespace avx2 {
TriangleKernel SelectKernel(const PixelState& state);
bool LeadsPair(const PixelState& first);
PairKernel SelectPairKernel(const PixelState& first, const PixelState& second);
}  // namespace avx2
namespace avx512 {
TriangleKernel SelectKernel(const PixelState& state);
bool LeadsPair(const PixelState& first);
PairKernel SelectPairKernel(const PixelState& first, const PixelState& second);
}  // namespace avx512

}  // namespace reference
