#pragma once
// The renderer owns the back and depth buffers and the frame being recorded. Draws arrive with
// their vertices already shaded; they are assembled into triangles, clipped and sorted into
// screen tiles. Finish() rasterises the tiles, in parallel, and the buffers are then complete.
// Called from the application thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/device_common/api_state.h"
#include "platform/reference/draw_range.h"
#include "platform/reference/draw_recorder.h"
#include "platform/reference/frame.h"
#include "platform/reference/frame_statistics.h"
#include "platform/reference/pass_pairing.h"
#include "platform/reference/tile_raster.h"

namespace reference {

class Texture;
class TileWorkers;

// What the threads need to rasterise the tiles of one recorded frame (or chunk of one).
struct TileJob {
    const Frame* frame;
    TileTarget target;
    TileScratch* scratch;  // one per thread
};

class Renderer {
public:
    // `backBufferAlpha`: the back buffer keeps an alpha channel (A8R8G8B8) rather than X8R8G8B8.
    Renderer(int width, int height, bool backBufferAlpha, bool depthBuffer, int threadCount);
    ~Renderer();

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Rows are Pitch() words apart (padded so that the kernels' blocks always fit).
    int Pitch() const { return pitch_; }
    const std::uint32_t* Colour() const { return colour_.data(); }
    const std::uint32_t* Depth() const { return depth_.data(); }

    // The frame being recorded; resources read by it carry this number.
    std::uint64_t Serial() const { return serial_; }
    bool Pending() const { return chunkInFlight_ || Recording().HasWork(); }

    // Records a clear of the viewport (and of the given rectangles within it, if any).
    void Clear(const D3DVIEWPORT9& viewport, DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour,
               float z);

    // Records one draw with the state it was issued under. `textures` are those of stages 0
    // and 1 (null when none is bound).
    void Draw(const device_common::ApiState& state, Texture* const textures[device_common::kDrawnStages],
              const DrawRange& range);

    // Rasterises everything recorded; afterwards the buffers hold the finished frame.
    void Finish();

    // The counts since the last call, which the device makes at Present, after Finish.
    FrameStatistics TakeStatistics();

    // Worker threads that rasterise tiles (the application thread also takes tiles).
    int ThreadCount() const;
    // Only between frames (after Finish).
    void SetThreadCount(int threads);

private:
    void ClearNow(const D3DVIEWPORT9& viewport, DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour,
                  float z);
    void ReleaseFrameTextures();
    Frame& Recording() { return frames_[recording_]; }
    const Frame& Recording() const { return frames_[recording_]; }
    // Rasterising `frame` into this renderer's buffers.
    TileJob JobFor(const Frame& frame);
    void HandOffChunk();
    void JoinChunk();
    void CollectTileCounts();

    int width_;
    int height_;
    int pitch_;
    bool backBufferAlpha_;
    bool depthBuffer_;
    std::vector<std::uint32_t> colour_;
    std::vector<std::uint32_t> depth_;
    std::uint64_t serial_ = 1;
    // A frame is recorded in chunks: once a chunk holds enough triangles it goes to the other
    // threads, which rasterise it while this thread records the next one into the other Frame.
    // One chunk is in flight at a time, and chunks go in order, so every tile still draws its
    // triangles in submission order.
    Frame frames_[2];
    int recording_ = 0;
    bool chunkInFlight_ = false;
    // Which draws are drawn together with the draw before them.
    PassPairing pairing_;
    TileJob chunkJob_{};
    std::vector<Texture*> frameTextures_;
    RecorderScratch recorderScratch_;
    std::vector<TileScratch> scratch_;
    std::unique_ptr<TileWorkers> workers_;
    FrameStatistics statistics_;
};

}  // namespace reference
