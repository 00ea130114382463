#include "platform/reference/draw_recorder.h"

#include <algorithm>
#include <cstring>

#include "platform/reference/live_channels.h"
#include "platform/reference/renderer.h"
#include "platform/reference/tile_workers.h"

namespace reference {
namespace {

std::uint32_t WriteMask(DWORD colourWriteEnable) {
    std::uint32_t mask = 0;
    if (colourWriteEnable & 1) mask |= 0x00FF0000u;
    if (colourWriteEnable & 2) mask |= 0x0000FF00u;
    if (colourWriteEnable & 4) mask |= 0x000000FFu;
    if (colourWriteEnable & 8) mask |= 0xFF000000u;
    return mask;
}

void CaptureStages(const device_common::ApiState& state, PixelState& pixels) {
    pixels.stageCount = 0;
    for (DWORD s = 0; s < device_common::kDrawnStages; ++s) {
        const auto& ts = state.stage[s];
        if (ts[D3DTSS_COLOROP] == D3DTOP_DISABLE) break;  // this stage and all after it are off
        StageState& stage = pixels.stages[s];
        stage.colourOp = static_cast<std::uint8_t>(ts[D3DTSS_COLOROP]);
        stage.alphaOp = static_cast<std::uint8_t>(ts[D3DTSS_ALPHAOP]);
        stage.colourArg1 = static_cast<std::uint8_t>(ts[D3DTSS_COLORARG1]);
        stage.colourArg2 = static_cast<std::uint8_t>(ts[D3DTSS_COLORARG2]);
        stage.alphaArg1 = static_cast<std::uint8_t>(ts[D3DTSS_ALPHAARG1]);
        stage.alphaArg2 = static_cast<std::uint8_t>(ts[D3DTSS_ALPHAARG2]);
        stage.texCoordSet = static_cast<std::uint8_t>(s);
        const auto& ss = state.sampler[s];
        SamplerSetup& sampler = pixels.samplers[s];
        sampler.addressU = static_cast<std::uint8_t>(ss[D3DSAMP_ADDRESSU]);
        sampler.addressV = static_cast<std::uint8_t>(ss[D3DSAMP_ADDRESSV]);
        sampler.magFilter = static_cast<std::uint8_t>(ss[D3DSAMP_MAGFILTER]);
        sampler.minFilter = static_cast<std::uint8_t>(ss[D3DSAMP_MINFILTER]);
        sampler.mipFilter = static_cast<std::uint8_t>(ss[D3DSAMP_MIPFILTER]);
        sampler.firstLevel = static_cast<std::uint8_t>(std::min<DWORD>(ss[D3DSAMP_MAXMIPLEVEL], kMaxLevels - 1));
        float bias;
        std::memcpy(&bias, &ss[D3DSAMP_MIPMAPLODBIAS], sizeof bias);
        sampler.lodBias = bias;
        ++pixels.stageCount;
    }
    MarkLiveChannels(pixels.stages, pixels.stageCount);
}

std::uint32_t StateIndex(Frame& frame, const PixelState& pixels) {
    if (!frame.states.empty() && frame.states.back().SameAs(pixels))
        return static_cast<std::uint32_t>(frame.states.size() - 1);
    frame.states.push_back(pixels);
    return static_cast<std::uint32_t>(frame.states.size() - 1);
}

// What the binner needs besides the triangle.
struct BinContext {
    Frame& frame;
    const VertexSetup& setup;
    RecorderScratch& scratch;
    DWORD cullMode;
    std::uint32_t state;
    int viewportX0, viewportY0, viewportX1, viewportY1;  // pixels, right and bottom exclusive
};

int CeilDiv16(std::int32_t v) { return (v + kSubpixelScale - 1) >> kSubpixelBits; }
int FloorDiv16(std::int32_t v) { return v >> kSubpixelBits; }

// Files a triangle whose vertices all lie inside the clip planes.
void BinTriangle(BinContext& c, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t provoking) {
    const ShadedVertex &a = c.frame.vertices[i0], &b = c.frame.vertices[i1], &d = c.frame.vertices[i2];
    std::int64_t area = static_cast<std::int64_t>(b.sx - a.sx) * (d.sy - a.sy) -
                        static_cast<std::int64_t>(d.sx - a.sx) * (b.sy - a.sy);
    if (area == 0) return;
    // With y down, a positive area is clockwise on screen. CCW culling (the default) drops
    // counter-clockwise triangles, CW culling clockwise ones.
    if (c.cullMode == D3DCULL_CCW && area < 0) return;
    if (c.cullMode == D3DCULL_CW && area > 0) return;
    if (area < 0) std::swap(i1, i2);

    int x0 = std::max(CeilDiv16(std::min({a.sx, b.sx, d.sx})), c.viewportX0);
    int y0 = std::max(CeilDiv16(std::min({a.sy, b.sy, d.sy})), c.viewportY0);
    int x1 = std::min(FloorDiv16(std::max({a.sx, b.sx, d.sx})), c.viewportX1 - 1);
    int y1 = std::min(FloorDiv16(std::max({a.sy, b.sy, d.sy})), c.viewportY1 - 1);
    if (x0 > x1 || y0 > y1) return;  // covers no pixel centre

    auto index = static_cast<std::uint32_t>(c.frame.triangles.size());
    c.frame.triangles.push_back({{i0, i1, i2}, c.state, provoking});
    for (int ty = y0 >> kTileSizeLog2; ty <= (y1 >> kTileSizeLog2); ++ty)
        for (int tx = x0 >> kTileSizeLog2; tx <= (x1 >> kTileSizeLog2); ++tx)
            c.frame.bins[static_cast<std::size_t>(ty) * c.frame.tilesX + tx].push_back(index);
}

ShadedVertex Interpolate(const ShadedVertex& p, const ShadedVertex& q, float t) {
    ShadedVertex r;
    for (int k = 0; k < 4; ++k) r.clip[k] = p.clip[k] + (q.clip[k] - p.clip[k]) * t;
    for (int k = 0; k < 4; ++k) r.colour[k] = p.colour[k] + (q.colour[k] - p.colour[k]) * t;
    for (int k = 0; k < 3; ++k) r.specular[k] = p.specular[k] + (q.specular[k] - p.specular[k]) * t;
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 2; ++k) r.tex[s][k] = p.tex[s][k] + (q.tex[s][k] - p.tex[s][k]) * t;
    return r;
}

// Sutherland-Hodgman against one plane, in homogeneous space so that the attributes stay
// perspective-correct.
void ClipAgainst(const VertexSetup& setup, std::uint32_t plane, const std::vector<ShadedVertex>& in,
                 std::vector<ShadedVertex>& out) {
    out.clear();
    for (std::size_t i = 0; i < in.size(); ++i) {
        const ShadedVertex& p = in[i];
        const ShadedVertex& q = in[(i + 1) % in.size()];
        float dp = PlaneDistance(setup, plane, p.clip), dq = PlaneDistance(setup, plane, q.clip);
        if (dp >= 0.0f) out.push_back(p);
        if ((dp >= 0.0f) != (dq >= 0.0f)) out.push_back(Interpolate(p, q, dp / (dp - dq)));
    }
}

void ClipAndBin(BinContext& c, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t provoking,
                std::uint32_t planes) {
    auto& polygon = c.scratch.polygon;
    auto& next = c.scratch.clippedPolygon;
    polygon.assign({c.frame.vertices[i0], c.frame.vertices[i1], c.frame.vertices[i2]});
    for (std::uint32_t plane = 1; plane <= kOutsideW && polygon.size() >= 3; plane <<= 1) {
        if ((planes & plane) == 0) continue;
        ClipAgainst(c.setup, plane, polygon, next);
        polygon.swap(next);
    }
    if (polygon.size() < 3) return;
    auto first = static_cast<std::uint32_t>(c.frame.vertices.size());
    for (ShadedVertex& v : polygon) {
        v.outcodes = 0;
        ProjectToScreen(c.setup, v);
        c.frame.vertices.push_back(v);
    }
    // The clipped polygon is convex and keeps the triangle's winding: fan it out.
    for (std::uint32_t k = 1; k + 1 < polygon.size(); ++k) BinTriangle(c, first, first + k, first + k + 1, provoking);
}

void AddTriangle(BinContext& c, std::uint32_t i0, std::uint32_t i1, std::uint32_t i2, std::uint32_t provoking) {
    std::uint32_t o0 = c.frame.vertices[i0].outcodes, o1 = c.frame.vertices[i1].outcodes,
                  o2 = c.frame.vertices[i2].outcodes;
    if ((o0 & o1 & o2) != 0) return;  // wholly outside one plane
    if ((o0 | o1 | o2) == 0)
        BinTriangle(c, i0, i1, i2, provoking);
    else
        ClipAndBin(c, i0, i1, i2, provoking, o0 | o1 | o2);
}

// The index of element `k` of the draw, as a vertex of the draw's range, or -1 when the index
// buffer names a vertex outside the range the draw declared (the triangle is then dropped).
std::int64_t VertexOf(const DrawRange& range, std::uint64_t k) {
    if (range.indices == nullptr) return k < range.vertexCount ? static_cast<std::int64_t>(k) : -1;
    std::uint32_t value;
    if (range.indexSize == 2) {
        std::uint16_t v16;
        std::memcpy(&v16, range.indices + 2 * k, 2);
        value = v16;
    } else {
        std::memcpy(&value, range.indices + 4 * k, 4);
    }
    if (value < range.indexBias || value - range.indexBias >= range.vertexCount) return -1;
    return value - range.indexBias;
}

void Assemble(BinContext& c, const DrawRange& range, std::uint32_t base) {
    for (UINT p = 0; p < range.primitiveCount; ++p) {
        std::uint64_t e[3];
        if (range.type == D3DPT_TRIANGLELIST) {
            e[0] = 3ull * p, e[1] = e[0] + 1, e[2] = e[0] + 2;
        } else if (range.type == D3DPT_TRIANGLESTRIP) {
            // Every other strip triangle is reversed so that all keep the first one's winding.
            e[0] = p, e[1] = (p & 1) ? p + 2 : p + 1, e[2] = (p & 1) ? p + 1 : p + 2;
        } else {
            e[0] = p + 1, e[1] = p + 2, e[2] = 0;  // fan (0, p+1, p+2), rotated: same winding
        }
        std::int64_t v0 = VertexOf(range, e[0]), v1 = VertexOf(range, e[1]), v2 = VertexOf(range, e[2]);
        if (v0 < 0 || v1 < 0 || v2 < 0) continue;
        AddTriangle(c, base + static_cast<std::uint32_t>(v0), base + static_cast<std::uint32_t>(v1),
                    base + static_cast<std::uint32_t>(v2), base + static_cast<std::uint32_t>(v0));
    }
}

// Slices of this many vertices go to the workers; smaller draws are not worth waking them for.
constexpr UINT kVerticesPerSlice = 2048;

struct VertexSlices {
    const VertexSetup* setup;
    const DrawRange* range;
    ShadedVertex* out;
};

void ShadeVertexSlice(void* context, int slice, int /*worker*/) {
    const auto& job = *static_cast<const VertexSlices*>(context);
    const UINT first = static_cast<UINT>(slice) * kVerticesPerSlice;
    const UINT count = std::min(kVerticesPerSlice, job.range->vertexCount - first);
    RunVertexStage(*job.setup, job.range->vertices + static_cast<std::size_t>(first) * job.range->stride,
                   job.range->stride, count, job.out + first);
}

void ShadeVertices(const VertexSetup& setup, const DrawRange& range, ShadedVertex* out, TileWorkers* workers) {
    const UINT slices = (range.vertexCount + kVerticesPerSlice - 1) / kVerticesPerSlice;
    if (slices <= 1 || workers == nullptr || workers->Threads() == 1) {
        RunVertexStage(setup, range.vertices, range.stride, range.vertexCount, out);
        return;
    }
    VertexSlices job{&setup, &range, out};
    workers->Run(static_cast<int>(slices), ShadeVertexSlice, &job);
}

}  // namespace

PixelState CapturePixelState(const device_common::ApiState& state, bool backBufferAlpha) {
    PixelState pixels;
    std::memset(&pixels, 0, sizeof pixels);
    const auto& rs = state.render;
    pixels.flatShading = rs[D3DRS_SHADEMODE] == D3DSHADE_FLAT;
    pixels.depthTest = rs[D3DRS_ZENABLE] != D3DZB_FALSE;
    pixels.depthWrite = pixels.depthTest && rs[D3DRS_ZWRITEENABLE] != FALSE;
    pixels.depthFunc = static_cast<std::uint8_t>(rs[D3DRS_ZFUNC]);
    pixels.alphaTest = rs[D3DRS_ALPHATESTENABLE] != FALSE;
    pixels.alphaFunc = static_cast<std::uint8_t>(rs[D3DRS_ALPHAFUNC]);
    pixels.alphaRef = rs[D3DRS_ALPHAREF] & 0xFF;
    pixels.blend = rs[D3DRS_ALPHABLENDENABLE] != FALSE;
    pixels.srcBlend = static_cast<std::uint8_t>(rs[D3DRS_SRCBLEND]);
    pixels.destBlend = static_cast<std::uint8_t>(rs[D3DRS_DESTBLEND]);
    pixels.addSpecular = rs[D3DRS_SPECULARENABLE] != FALSE;
    pixels.keepDestAlpha = backBufferAlpha;
    pixels.colourWriteMask = WriteMask(rs[D3DRS_COLORWRITEENABLE]);
    pixels.textureFactor = rs[D3DRS_TEXTUREFACTOR];
    CaptureStages(state, pixels);
    const D3DVIEWPORT9& vp = state.viewport;
    pixels.viewportX0 = static_cast<int>(vp.X);
    pixels.viewportY0 = static_cast<int>(vp.Y);
    pixels.viewportX1 = static_cast<int>(vp.X + vp.Width);
    pixels.viewportY1 = static_cast<int>(vp.Y + vp.Height);
    pixels.minZ = vp.MinZ;
    pixels.maxZ = vp.MaxZ;
    return pixels;
}

void RecordDraw(Frame& frame, const device_common::ApiState& state, const PixelState& pixels, const DrawRange& range,
                RecorderScratch& scratch, TileWorkers* workers) {
    VertexSetup& setup = scratch.setup;
    if (!PrepareVertexStage(state, setup)) return;
    auto base = static_cast<std::uint32_t>(frame.vertices.size());
    frame.vertices.resize(base + range.vertexCount);
    ShadeVertices(setup, range, &frame.vertices[base], workers);
    // The pixels skip adding a specular colour that is black at every vertex: the terrain's is.
    PixelState drawn = pixels;
    if (drawn.addSpecular && ShadesBlackSpecular(setup)) drawn.addSpecular = 0;
    BinContext context{frame,           setup,           scratch,         state.render[D3DRS_CULLMODE],
                       StateIndex(frame, drawn), drawn.viewportX0, drawn.viewportY0, drawn.viewportX1,
                       drawn.viewportY1};
    Assemble(context, range, base);
}

}  // namespace reference
