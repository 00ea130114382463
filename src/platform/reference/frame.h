#pragma once
// One frame as recorded: the shaded vertices of its draws, their triangles, the state of each
// draw, and for every screen tile the triangles that touch it in submission order. The arrays
// keep their capacity from frame to frame, so a steady scene records without allocating.

#include <cstdint>
#include <vector>

#include "platform/reference/pixel_state.h"

namespace reference {

constexpr int kTileSizeLog2 = 6;
constexpr int kTileSize = 1 << kTileSizeLog2;
// Screen positions are snapped to 1/16 pixel before rasterisation.
constexpr int kSubpixelBits = 4;
constexpr int kSubpixelScale = 1 << kSubpixelBits;

// A vertex after the vertex stage. Colours are 0 to 255. Left uninitialised on construction:
// the vertex stage writes every field, and the frame's array grows by thousands per draw.
struct ShadedVertex {
    ShadedVertex() {}  // NOLINT: deliberately not zeroing

    float clip[4];  // homogeneous position, for clipping
    float colour[4];
    float specular[3];
    float tex[2][2];
    // Filled for vertices inside the guard band and the depth range:
    std::int32_t sx, sy;  // snapped screen position
    float z;              // depth, viewport range applied
    float invW;
    std::uint32_t outcodes;  // which clip planes the vertex lies outside
};

// Clip-plane bits of ShadedVertex::outcodes.
enum : std::uint32_t {
    kOutsideNear = 1,
    kOutsideFar = 2,
    kOutsideLeft = 4,
    kOutsideRight = 8,
    kOutsideTop = 16,
    kOutsideBottom = 32,
    kOutsideW = 64,  // w too small to divide by
};

// A triangle ready to rasterise: vertices in clockwise screen order (y down), front or back
// face already decided, `provoking` the vertex whose colour flat shading uses.
struct BinnedTriangle {
    std::uint32_t v[3];
    std::uint32_t state;
    std::uint32_t provoking;
};

constexpr std::uint32_t kUnpaired = 0xFFFFFFFFu;

struct PendingClear {
    bool colour = false;
    bool depth = false;
    std::uint32_t colourValue = 0;
    std::uint32_t depthValue = 0;
};

struct Frame {
    int tilesX = 0;
    int tilesY = 0;
    std::vector<ShadedVertex> vertices;
    std::vector<BinnedTriangle> triangles;
    std::vector<PixelState> states;
    // Per state: the state of a second pass drawn together with its triangles (see
    // pass_pairing.h), or kUnpaired; the second pass's own triangles are not recorded. Shorter
    // than `states` when the last states are unpaired.
    std::vector<std::uint32_t> pairedWith;
    std::vector<std::vector<std::uint32_t>> bins;  // triangle indices per tile, row by row
    PendingClear clear;

    void Resize(int width, int height);
    bool HasWork() const { return !triangles.empty() || clear.colour || clear.depth; }
    // The index in `states` of a draw's pixel state: the last one's when they are equal, so
    // that a run of draws in one state shares one entry (and the tiles pick its kernel once).
    std::uint32_t AddState(const PixelState& pixels);
    std::uint32_t PairedWith(std::uint32_t state) const {
        return state < pairedWith.size() ? pairedWith[state] : kUnpaired;
    }
    void Reset();
};

}  // namespace reference
