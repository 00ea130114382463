#include "utilities/image_filter.h"

#include <emmintrin.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>

#include "utilities/d3dx_texture.h"

namespace utilities {

namespace {

// Weights in 1/16384ths. The horizontal pass keeps 8 fractional bits, so that the vertical sum
// of 255 × 256 × 16384 still fits in 32 bits.
constexpr int kWeightBits = 14;
constexpr int kWeightOne = 1 << kWeightBits;
constexpr int kCarryBits = 8;

struct Tap {
    UINT index;
    int weight;
};

// For each destination texel along one axis, the source texels and weights that make it.
struct Taps {
    std::vector<UINT> first;  // index into taps where each destination texel's list starts
    std::vector<Tap> taps;
};

UINT Clamp(long long i, UINT size) { return UINT(std::clamp<long long>(i, 0, static_cast<long long>(size) - 1)); }

// Makes the weights of one list sum exactly to one, the rounding going to the heaviest tap.
void Normalise(std::vector<double>& weights, std::vector<Tap>& out, const std::vector<UINT>& indices) {
    double sum = 0;
    for (double w : weights) sum += w;
    int total = 0;
    std::size_t heaviest = 0;
    const std::size_t start = out.size();
    for (std::size_t i = 0; i < weights.size(); ++i) {
        const int w = static_cast<int>(std::lround(weights[i] / sum * kWeightOne));
        out.push_back({indices[i], w});
        total += w;
        if (weights[i] > weights[heaviest]) heaviest = i;
    }
    out[start + heaviest].weight += kWeightOne - total;
}

Taps BuildTaps(UINT sourceSize, UINT destSize, DWORD kernel) {
    Taps result;
    const double scale = double(sourceSize) / destSize;
    for (UINT d = 0; d < destSize; ++d) {
        result.first.push_back(UINT(result.taps.size()));
        const double centre = (d + 0.5) * scale - 0.5;  // in source texel centres
        std::vector<double> weights;
        std::vector<UINT> indices;
        if (kernel == D3DX_FILTER_POINT) {
            indices.push_back(Clamp(static_cast<long long>(std::floor((d + 0.5) * scale)), sourceSize));
            weights.push_back(1.0);
        } else if (kernel == D3DX_FILTER_LINEAR) {
            const double base = std::floor(centre);
            const double t = centre - base;
            indices = {Clamp(static_cast<long long>(base), sourceSize),
                       Clamp(static_cast<long long>(base) + 1, sourceSize)};
            weights = {1.0 - t, t};
        } else if (kernel == D3DX_FILTER_BOX) {
            const double from = d * scale, to = (d + 1) * scale;
            for (long long i = static_cast<long long>(std::floor(from)); i < std::ceil(to); ++i) {
                const double overlap = std::min<double>(i + 1, to) - std::max<double>(i, from);
                if (overlap <= 0) continue;
                indices.push_back(Clamp(i, sourceSize));
                weights.push_back(overlap);
            }
        } else {  // triangle
            const double radius = std::max(1.0, scale);
            for (long long i = static_cast<long long>(std::ceil(centre - radius));
                 i <= static_cast<long long>(std::floor(centre + radius)); ++i) {
                const double w = 1.0 - std::abs(i - centre) / radius;
                if (w <= 0) continue;
                indices.push_back(Clamp(i, sourceSize));
                weights.push_back(w);
            }
        }
        Normalise(weights, result.taps, indices);
    }
    result.first.push_back(UINT(result.taps.size()));
    return result;
}

ByteImage CopyCorner(const ByteImageView& source, UINT width, UINT height) {
    ByteImage out(width, height, source.bytesPerTexel, source.indexed);
    const std::size_t rowBytes = std::size_t(std::min(width, source.width)) * source.bytesPerTexel;
    for (UINT y = 0; y < std::min(height, source.height); ++y) std::memcpy(out.Row(y), source.Row(y), rowBytes);
    return out;
}

ByteImage Copy(const ByteImageView& source) {
    ByteImage out(source.width, source.height, source.bytesPerTexel, source.indexed);
    const std::size_t rowBytes = std::size_t(source.width) * source.bytesPerTexel;
    for (UINT y = 0; y < source.height; ++y) std::memcpy(out.Row(y), source.Row(y), rowBytes);
    return out;
}

std::uint32_t Load32(const BYTE* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

// Four output texels from 2 x 8 source texels with SSE2: bytes widened to 16 bits, the two rows
// added, then each even texel added to its odd neighbour, so every byte is exactly (sum + 2) / 4.
__m128i HalveFourTexels(const BYTE* top, const BYTE* bottom) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i t0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top));
    const __m128i t1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(top + 16));
    const __m128i b0 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom));
    const __m128i b1 = _mm_loadu_si128(reinterpret_cast<const __m128i*>(bottom + 16));
    auto pairSums = [&](__m128i topTexels, __m128i bottomTexels) {
        const __m128i low = _mm_add_epi16(_mm_unpacklo_epi8(topTexels, zero), _mm_unpacklo_epi8(bottomTexels, zero));
        const __m128i high = _mm_add_epi16(_mm_unpackhi_epi8(topTexels, zero), _mm_unpackhi_epi8(bottomTexels, zero));
        // low holds texels 0 and 1, high texels 2 and 3: add 0 to 1 and 2 to 3.
        return _mm_add_epi16(_mm_unpacklo_epi64(low, high), _mm_unpackhi_epi64(low, high));
    };
    const __m128i rounding = _mm_set1_epi16(2);
    const __m128i first = _mm_srli_epi16(_mm_add_epi16(pairSums(t0, b0), rounding), 2);
    const __m128i second = _mm_srli_epi16(_mm_add_epi16(pairSums(t1, b1), rounding), 2);
    return _mm_packus_epi16(first, second);
}

// Four-byte texels, all four bytes at once: the even and the odd bytes are summed in 16-bit lanes,
// which hold 4 x 255 + 2 with room to spare, so the result is exactly (sum + 2) / 4 per byte.
void HalveRowOf32(const BYTE* top, const BYTE* bottom, UINT sourceWidth, UINT width, BYTE* out) {
    constexpr std::uint32_t kLanes = 0x00FF00FFu, kRounding = 0x00020002u;
    UINT x = 0;
    // Whole groups of four while both source columns of each exist; the edge goes texel by texel.
    for (; 2 * x + 8 <= sourceWidth && x + 4 <= width; x += 4)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 4 * x), HalveFourTexels(top + 8 * x, bottom + 8 * x));
    for (; x < width; ++x) {
        const UINT left = std::min(2 * x, sourceWidth - 1) * 4, right = std::min(2 * x + 1, sourceWidth - 1) * 4;
        const std::uint32_t a = Load32(top + left), b = Load32(top + right);
        const std::uint32_t c = Load32(bottom + left), d = Load32(bottom + right);
        const std::uint32_t even = (a & kLanes) + (b & kLanes) + (c & kLanes) + (d & kLanes) + kRounding;
        const std::uint32_t odd =
            ((a >> 8) & kLanes) + ((b >> 8) & kLanes) + ((c >> 8) & kLanes) + ((d >> 8) & kLanes) + kRounding;
        const std::uint32_t texel = ((even >> 2) & kLanes) | (((odd >> 2) & kLanes) << 8);
        std::memcpy(out + 4 * x, &texel, sizeof texel);
    }
}

void HalveRow(const BYTE* top, const BYTE* bottom, UINT sourceWidth, UINT width, UINT channels, BYTE* out) {
    for (UINT x = 0; x < width; ++x) {
        const UINT left = std::min(2 * x, sourceWidth - 1) * channels;
        const UINT right = std::min(2 * x + 1, sourceWidth - 1) * channels;
        for (UINT c = 0; c < channels; ++c)
            out[x * channels + c] =
                BYTE((top[left + c] + top[right + c] + bottom[left + c] + bottom[right + c] + 2) / 4);
    }
}

ByteImage Separable(const ByteImageView& source, UINT width, UINT height, DWORD kernel) {
    const UINT channels = source.bytesPerTexel;
    const Taps across = BuildTaps(source.width, width, kernel);
    const Taps down = BuildTaps(source.height, height, kernel);
    // Horizontal pass over every source row, into 8.8 fixed point.
    std::vector<std::uint16_t> middle(std::size_t(width) * channels * source.height);
    for (UINT y = 0; y < source.height; ++y) {
        const BYTE* in = source.Row(y);
        std::uint16_t* out = middle.data() + std::size_t(y) * width * channels;
        for (UINT x = 0; x < width; ++x)
            for (UINT c = 0; c < channels; ++c) {
                int sum = 0;
                for (UINT t = across.first[x]; t < across.first[x + 1]; ++t)
                    sum += in[across.taps[t].index * channels + c] * across.taps[t].weight;
                out[x * channels + c] =
                    std::uint16_t((sum + (1 << (kWeightBits - kCarryBits - 1))) >> (kWeightBits - kCarryBits));
            }
    }
    ByteImage result(width, height, channels, source.indexed);
    const std::size_t middleRow = std::size_t(width) * channels;
    for (UINT y = 0; y < height; ++y) {
        BYTE* out = result.Row(y);
        for (std::size_t i = 0; i < middleRow; ++i) {
            std::uint32_t sum = 0;
            for (UINT t = down.first[y]; t < down.first[y + 1]; ++t)
                sum += std::uint32_t(middle[down.taps[t].index * middleRow + i]) * std::uint32_t(down.taps[t].weight);
            const std::uint32_t value = (sum + (1u << (kWeightBits + kCarryBits - 1))) >> (kWeightBits + kCarryBits);
            out[i] = BYTE(std::min<std::uint32_t>(value, 255));
        }
    }
    return result;
}

}  // namespace

void BoxHalveInto(const ByteImageView& source, BYTE* out, std::size_t outPitch) {
    const UINT width = std::max(1u, source.width / 2), height = std::max(1u, source.height / 2);
    const UINT channels = source.bytesPerTexel;
    for (UINT y = 0; y < height; ++y) {
        const BYTE* top = source.Row(std::min(2 * y, source.height - 1));
        const BYTE* bottom = source.Row(std::min(2 * y + 1, source.height - 1));
        BYTE* row = out + y * outPitch;
        if (channels == 4) {
            HalveRowOf32(top, bottom, source.width, width, row);
        } else {
            HalveRow(top, bottom, source.width, width, channels, row);
        }
    }
}

ByteImage BoxHalve(const ByteImageView& source) {
    const UINT width = std::max(1u, source.width / 2), height = std::max(1u, source.height / 2);
    if (source.indexed) return Resample(source, width, height, D3DX_FILTER_POINT);
    ByteImage out(width, height, source.bytesPerTexel, false);
    BoxHalveInto(source, out.bytes.data(), std::size_t(width) * source.bytesPerTexel);
    return out;
}

ByteImage Resample(const ByteImageView& source, UINT width, UINT height, DWORD filter) {
    if (width == source.width && height == source.height) return Copy(source);
    DWORD kernel = filter & 0xFF;
    if (kernel == D3DX_FILTER_NONE) return CopyCorner(source, width, height);
    if (source.indexed) kernel = D3DX_FILTER_POINT;
    return Separable(source, width, height, kernel);
}

}  // namespace utilities
