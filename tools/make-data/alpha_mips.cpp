#include "alpha_mips.h"

#include <algorithm>
#include <cmath>
#include <functional>

namespace makedata {

void BleedColourIntoTransparent(Image& rgba) {
    const int w = rgba.width, h = rgba.height;
    std::vector<uint8_t> known(static_cast<size_t>(w) * h);
    double sum[3] = {0, 0, 0};
    int opaque = 0;
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            const uint8_t* texel = rgba.At(x, y);
            known[static_cast<size_t>(y) * w + x] = texel[3] > 0;
            if (texel[3] == 0) continue;
            for (int c = 0; c < 3; ++c) sum[c] += texel[c];
            ++opaque;
        }
    }
    // A few rings of dilation reach as far as any filter footprint does; beyond, the mean colour serves.
    for (int ring = 0; ring < 4; ++ring) {
        std::vector<uint8_t> next = known;
        for (int y = 0; y < h; ++y) {
            for (int x = 0; x < w; ++x) {
                if (known[static_cast<size_t>(y) * w + x]) continue;
                int total[3] = {0, 0, 0}, count = 0;
                for (int dy = -1; dy <= 1; ++dy) {
                    for (int dx = -1; dx <= 1; ++dx) {
                        const int nx = x + dx, ny = y + dy;
                        if (nx < 0 || ny < 0 || nx >= w || ny >= h || !known[static_cast<size_t>(ny) * w + nx])
                            continue;
                        for (int c = 0; c < 3; ++c) total[c] += rgba.At(nx, ny)[c];
                        ++count;
                    }
                }
                if (count == 0) continue;
                for (int c = 0; c < 3; ++c) rgba.At(x, y)[c] = static_cast<uint8_t>((total[c] + count / 2) / count);
                next[static_cast<size_t>(y) * w + x] = 1;
            }
        }
        known.swap(next);
    }
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            if (!known[static_cast<size_t>(y) * w + x])
                for (int c = 0; c < 3; ++c)
                    rgba.At(x, y)[c] = opaque ? static_cast<uint8_t>(std::lround(sum[c] / opaque)) : 0;
}

namespace {

double CoveredShare(const Image& rgba) {
    size_t covered = 0;
    for (size_t k = 3; k < rgba.pixels.size(); k += 4) covered += rgba.pixels[k] >= 128;
    return static_cast<double>(covered) / (static_cast<size_t>(rgba.width) * rgba.height);
}

// Halves the picture: colours averaged by alpha, alpha averaged (0 to 1) into `coverage`.
Image Halve(const Image& above, std::vector<float>& coverage) {
    const int w = std::max(1, above.width / 2), h = std::max(1, above.height / 2);
    Image level(w, h, 4);
    coverage.assign(static_cast<size_t>(w) * h, 0.0f);
    for (int y = 0; y < h; ++y) {
        for (int x = 0; x < w; ++x) {
            double colour[3] = {0, 0, 0}, plain[3] = {0, 0, 0}, weight = 0;
            for (int dy = 0; dy < 2; ++dy) {
                for (int dx = 0; dx < 2; ++dx) {
                    const uint8_t* texel =
                        above.At(std::min(2 * x + dx, above.width - 1), std::min(2 * y + dy, above.height - 1));
                    const double a = texel[3] / 255.0;
                    for (int c = 0; c < 3; ++c) {
                        colour[c] += texel[c] * a;
                        plain[c] += texel[c] / 4.0;
                    }
                    weight += a;
                }
            }
            uint8_t* texel = level.At(x, y);
            for (int c = 0; c < 3; ++c)
                texel[c] = static_cast<uint8_t>(std::lround(weight > 0 ? colour[c] / weight : plain[c]));
            coverage[static_cast<size_t>(y) * w + x] = static_cast<float>(weight / 4);
        }
    }
    return level;
}

// The coverage cut that keeps `share` of the texels, held within sensible bounds so a level never keeps
// texels the silhouette barely touches nor drops ones it mostly fills.
float CutForShare(std::vector<float> coverage, double share) {
    std::sort(coverage.begin(), coverage.end(), std::greater<float>());
    const size_t keep = std::min(coverage.size() - 1, static_cast<size_t>(share * coverage.size()));
    return std::clamp(coverage[keep], 0.25f, 0.75f);
}

}  // namespace

std::vector<Image> MakeAlphaTestedMips(const Image& top) {
    const double share = CoveredShare(top);
    std::vector<Image> chain{top};
    std::vector<float> coverage;
    while (chain.back().width > 1 || chain.back().height > 1) {
        Image level = Halve(chain.back(), coverage);
        const float cut = CutForShare(coverage, share);
        for (size_t k = 0; k < coverage.size(); ++k) level.pixels[k * 4 + 3] = coverage[k] >= cut ? 255 : 0;
        BleedColourIntoTransparent(level);
        chain.push_back(std::move(level));
    }
    return chain;
}

}  // namespace makedata
