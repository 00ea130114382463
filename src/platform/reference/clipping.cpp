#include "platform/reference/clipping.h"

namespace reference {
namespace {

ShadedVertex Interpolate(const ShadedVertex& p, const ShadedVertex& q, float t) {
    ShadedVertex r;
    for (int k = 0; k < 4; ++k) r.clip[k] = p.clip[k] + (q.clip[k] - p.clip[k]) * t;
    for (int k = 0; k < 4; ++k) r.colour[k] = p.colour[k] + (q.colour[k] - p.colour[k]) * t;
    for (int k = 0; k < 3; ++k) r.specular[k] = p.specular[k] + (q.specular[k] - p.specular[k]) * t;
    for (int s = 0; s < 2; ++s)
        for (int k = 0; k < 2; ++k) r.tex[s][k] = p.tex[s][k] + (q.tex[s][k] - p.tex[s][k]) * t;
    return r;
}

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

}  // namespace

const std::vector<ShadedVertex>& ClipTriangle(const VertexSetup& setup, const ShadedVertex& a, const ShadedVertex& b,
                                              const ShadedVertex& c, std::uint32_t planes, ClipScratch& scratch) {
    auto& polygon = scratch.polygon;
    auto& next = scratch.clippedPolygon;
    polygon.assign({a, b, c});
    for (std::uint32_t plane = 1; plane <= kOutsideW && polygon.size() >= 3; plane <<= 1) {
        if ((planes & plane) == 0) continue;
        ClipAgainst(setup, plane, polygon, next);
        polygon.swap(next);
    }
    if (polygon.size() < 3) {
        polygon.clear();
        return polygon;
    }
    for (ShadedVertex& v : polygon) {
        v.outcodes = 0;
        ProjectToScreen(setup, v);
    }
    return polygon;
}

}  // namespace reference
