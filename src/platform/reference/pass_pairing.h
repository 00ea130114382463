#pragma once
// Pass pairing: two draws over the same triangles, drawn together in the tiles.
//
// The viewer draws its terrain twice, in two blended passes that differ only in ground texture
// and blend. Drawn as a pair, each pixel is depth tested, interpolated and masked once instead
// of twice. All of pairing is here and in the pair kernel (kernels/pair_kernel.inl).
//
// What makes two draws a pair, decided when the second is recorded (PassPairing::AfterDraw):
//   - pairing is on (QUENOLDE_REF_PAIRING=0 turns it off, for comparisons);
//   - the second is recorded right after the first, with nothing between that finishes the
//     frame (a clear after draws, a read-back, a write to a texture the frame reads, a present);
//   - the first's state leads a pair and the two states make one (LeadsPair, SelectPairKernel:
//     the pair kernel's two fixed programs, both depth tests LESSEQUAL, the first writing depth,
//     the same mask sampler, interpolation and viewport);
//   - their stage-0 textures (the masks) hold the same texels, as texel_identity.h decides;
//   - after the vertex stage the second's vertices are the first's, vertex for vertex, and so
//     are its triangles; and the first's state entry is its own (an identical draw just before
//     would share it, and be paired too).
// The second draw's vertices and triangles then leave the record, and the frame notes the
// second's state against the first's (Frame::pairedWith).
//
// What the pair kernel promises: it draws a tile's run of the first draw's triangles with both
// passes, triangle by triangle, and leaves the tile exactly as the first pass over the whole run
// and then the second pass over it would, as long as no triangle meets a pixel at the depth the
// pixel already holds (a tie), but for one tie at a pixel the run has not drawn yet. At any other
// tie the passes one after the other differ (the second pass there blends over the first pass's
// colour of two triangles); the kernel's guard watches for one and stops the pair.
//
// When a tile is redrawn: when the guard stops, the tile's colour and depth go back to what they
// were before the run, and the run is drawn again pass by pass (FrameStatistics::tilesRedrawn).

#include <cstddef>
#include <cstdint>
#include <optional>

#include "platform/reference/frame.h"
#include "platform/reference/texel_identity.h"
#include "platform/reference/tile_raster.h"

namespace reference {

// Where a draw's vertices and triangles lie in the frame record.
struct DrawSpan {
    std::size_t firstVertex, endVertex;
    std::size_t firstTriangle, endTriangle;
};

// The recording side: which draws pair. Called from the application thread only.
class PassPairing {
public:
    // Reads QUENOLDE_REF_PAIRING.
    PassPairing();

    struct Outcome {
        bool paired;   // `draw` was paired with the draw before: its triangles left the record
        bool mayLead;  // `draw` may lead a pair: it should stay in the recording chunk until
                       // the next draw has been seen
    };
    // After each draw is recorded into `frame`.
    Outcome AfterDraw(Frame& frame, const DrawSpan& draw);
    // The frame was finished: no draw recorded so far can lead a pair.
    void FrameFinished() { leader_.reset(); }

private:
    bool enabled_;
    std::optional<DrawSpan> leader_;  // the last draw, while it may lead a pair
    TexelComparisons masks_;
};

// The tile side: draws a run of a paired state's triangles with the second pass together, as
// the pair kernel promises; false, with the tile's pixels as they were before the run (and
// scratch.tilesRedrawn counted), where the guard stopped the pair: the caller then draws the
// run pass by pass.
bool DrawPairedRun(const Frame& frame, const TriangleRun& run, std::uint32_t firstState, std::uint32_t secondState,
                   const TileTarget& target, const KernelTarget& kernelTarget, const TileArea& area,
                   TileScratch& scratch);

}  // namespace reference
