#include "platform/reference/renderer.h"

#include <algorithm>
#include <cmath>

#include "platform/reference/draw_recorder.h"
#include "platform/reference/pass_pairing.h"
#include "platform/reference/pixel_capture.h"
#include "platform/reference/texture.h"
#include "platform/reference/tile_raster.h"
#include "platform/reference/tile_workers.h"

namespace reference {
namespace {

std::uint32_t DepthToBuffer(float z) {
    // Rounded to nearest even, as the pixel kernels' conversion does.
    return static_cast<std::uint32_t>(std::lrintf(std::clamp(z, 0.0f, 1.0f) * 16777215.0f));
}

// Chunks of fewer triangles are not worth handing to another thread.
constexpr std::size_t kChunkTriangles = 256;

void RasteriseOneTile(void* context, int tile, int worker) {
    auto* job = static_cast<const TileJob*>(context);
    RasteriseTile(*job->frame, job->target, tile, job->scratch[worker]);
}

}  // namespace

Renderer::Renderer(int width, int height, bool backBufferAlpha, bool depthBuffer, int threadCount)
    : width_(width),
      height_(height),
      pitch_((width + 3) & ~3),
      backBufferAlpha_(backBufferAlpha),
      depthBuffer_(depthBuffer),
      colour_(static_cast<std::size_t>((width + 3) & ~3) * ((height + 1) & ~1), 0),
      depth_(colour_.size(), DepthToBuffer(1.0f)),
      workers_(std::make_unique<TileWorkers>(threadCount > 1 ? threadCount - 1 : 0)) {
    for (Frame& frame : frames_) frame.Resize(width, height);
    scratch_.resize(static_cast<std::size_t>(workers_->Threads()));
}

Renderer::~Renderer() {
    JoinChunk();
    ReleaseFrameTextures();
}

int Renderer::ThreadCount() const { return workers_->Threads(); }

void Renderer::SetThreadCount(int threads) {
    workers_ = std::make_unique<TileWorkers>(threads > 1 ? threads - 1 : 0);
    scratch_.assign(static_cast<std::size_t>(workers_->Threads()), TileScratch{});
}

void Renderer::Clear(const D3DVIEWPORT9& viewport, DWORD rectCount, const D3DRECT* rects, DWORD flags, D3DCOLOR colour,
                     float z) {
    if (!backBufferAlpha_) colour |= 0xFF000000u;  // an X8R8G8B8 buffer reads back opaque
    bool wholeBuffer = viewport.X == 0 && viewport.Y == 0 && viewport.Width == static_cast<DWORD>(width_) &&
                       viewport.Height == static_cast<DWORD>(height_) && (rectCount == 0 || rects == nullptr);
    // A clear after draws of this frame must land after them; rasterise those first.
    if (chunkInFlight_ || !Recording().triangles.empty() || !wholeBuffer) {
        Finish();
        ClearNow(viewport, rectCount, rects, flags, colour, z);
        return;
    }
    // A whole-buffer clear at the start of a frame is folded into the tiles' first pass.
    if (flags & D3DCLEAR_TARGET) {
        Recording().clear.colour = true;
        Recording().clear.colourValue = colour;
    }
    if (flags & D3DCLEAR_ZBUFFER) {
        Recording().clear.depth = true;
        Recording().clear.depthValue = DepthToBuffer(z);
    }
}

void Renderer::ClearNow(const D3DVIEWPORT9& viewport, DWORD rectCount, const D3DRECT* rects, DWORD flags,
                        D3DCOLOR colour, float z) {
    LONG vx0 = static_cast<LONG>(viewport.X), vy0 = static_cast<LONG>(viewport.Y);
    LONG vx1 = std::min<LONG>(vx0 + static_cast<LONG>(viewport.Width), width_);
    LONG vy1 = std::min<LONG>(vy0 + static_cast<LONG>(viewport.Height), height_);
    D3DRECT whole{vx0, vy0, vx1, vy1};
    if (rectCount == 0 || rects == nullptr) {
        rects = &whole;
        rectCount = 1;
    }
    std::uint32_t depthValue = DepthToBuffer(z);
    for (DWORD r = 0; r < rectCount; ++r) {
        LONG x0 = std::max(rects[r].x1, vx0), y0 = std::max(rects[r].y1, vy0);
        LONG x1 = std::min(rects[r].x2, vx1), y1 = std::min(rects[r].y2, vy1);
        for (LONG y = y0; y < y1; ++y) {
            std::size_t row = static_cast<std::size_t>(y) * pitch_;
            if (flags & D3DCLEAR_TARGET) std::fill(colour_.begin() + row + x0, colour_.begin() + row + x1, colour);
            if (flags & D3DCLEAR_ZBUFFER) std::fill(depth_.begin() + row + x0, depth_.begin() + row + x1, depthValue);
        }
    }
}

void Renderer::Draw(const device_common::ApiState& state, Texture* const textures[device_common::kDrawnStages],
                    const DrawRange& range) {
    PixelState pixels = CapturePixelState(state, backBufferAlpha_);
    if (!depthBuffer_) pixels.depthTest = pixels.depthWrite = 0;
    for (DWORD s = 0; s < device_common::kDrawnStages; ++s) {
        pixels.textures[s] = nullptr;
        if (textures[s] == nullptr || s >= pixels.stageCount) continue;
        DWORD lod = textures[s]->GetLOD();
        if (lod > pixels.samplers[s].firstLevel) pixels.samplers[s].firstLevel = static_cast<std::uint8_t>(lod);
        if (std::find(frameTextures_.begin(), frameTextures_.end(), textures[s]) == frameTextures_.end()) {
            textures[s]->AddRef();
            frameTextures_.push_back(textures[s]);
        }
        pixels.textures[s] = &textures[s]->PrepareForSampling(serial_);
    }
    Frame& frame = Recording();
    DrawSpan span{frame.vertices.size(), 0, frame.triangles.size(), 0};
    // While a chunk is in flight the other threads are busy with it: this draw's vertices are
    // shaded here.
    RecordDraw(frame, state, pixels, range, recorderScratch_, chunkInFlight_ ? nullptr : workers_.get());
    span.endVertex = frame.vertices.size();
    span.endTriangle = frame.triangles.size();
    const PassPairing::Outcome pairing = pairing_.AfterDraw(frame, span);
    ++statistics_.draws;
    statistics_.pairedDraws += pairing.paired ? 1 : 0;
    statistics_.triangles += pairing.paired ? 0 : span.endTriangle - span.firstTriangle;
    // A draw that may lead a pair stays in this chunk until the next one has been seen.
    if (pairing.mayLead) return;
    HandOffChunk();
}

void Renderer::HandOffChunk() {
    if (workers_->Threads() == 1 || Recording().triangles.size() < kChunkTriangles) return;
    if (chunkInFlight_) {
        if (!workers_->Finished()) return;  // keep recording into this chunk meanwhile
        JoinChunk();
    }
    chunkJob_ = JobFor(Recording());
    workers_->Start(Recording().tilesX * Recording().tilesY, RasteriseOneTile, &chunkJob_);
    chunkInFlight_ = true;
    recording_ ^= 1;  // the other Frame: empty, since at most one chunk is in flight
}

TileJob Renderer::JobFor(const Frame& frame) {
    return TileJob{&frame, TileTarget{colour_.data(), depth_.data(), width_, height_, pitch_}, scratch_.data()};
}

void Renderer::JoinChunk() {
    if (!chunkInFlight_) return;
    workers_->Join();
    frames_[recording_ ^ 1].Reset();
    chunkInFlight_ = false;
    CollectTileCounts();
}

// Only while no thread rasterises.
void Renderer::CollectTileCounts() {
    for (TileScratch& scratch : scratch_) {
        statistics_.tilesRedrawn += scratch.tilesRedrawn;
        scratch.tilesRedrawn = 0;
    }
}

FrameStatistics Renderer::TakeStatistics() {
    const FrameStatistics taken = statistics_;
    statistics_ = FrameStatistics{};
    return taken;
}

void Renderer::Finish() {
    JoinChunk();
    if (Recording().HasWork()) {
        TileJob job = JobFor(Recording());
        workers_->Run(Recording().tilesX * Recording().tilesY, RasteriseOneTile, &job);
        CollectTileCounts();
    }
    Recording().Reset();
    pairing_.FrameFinished();
    ReleaseFrameTextures();
    ++serial_;
}

void Renderer::ReleaseFrameTextures() {
    for (Texture* texture : frameTextures_) texture->Release();
    frameTextures_.clear();
}

}  // namespace reference
