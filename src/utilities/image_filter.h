#pragma once
// Resampling of images whose channels are all bytes (A8R8G8B8, X8R8G8B8, L8, A8L8, …): every byte
// of a texel is filtered on its own, so the same code serves every such format. Indexed images
// (palette indices) are only ever point-sampled, since averaging indices means nothing.

#include <vector>

#include "platform/d3d9/d3d9_types.h"

namespace utilities {

// Texels of whole bytes somewhere in memory, rows pitch bytes apart.
struct ByteImageView {
    const BYTE* bits = nullptr;
    std::size_t pitch = 0;
    UINT width = 0;
    UINT height = 0;
    UINT bytesPerTexel = 0;
    bool indexed = false;

    const BYTE* Row(UINT y) const { return bits + y * pitch; }
};

struct ByteImage {
    UINT width = 0;
    UINT height = 0;
    UINT bytesPerTexel = 0;
    bool indexed = false;
    std::vector<BYTE> bytes;  // rows tightly packed

    ByteImage() = default;
    ByteImage(UINT w, UINT h, UINT texelBytes, bool isIndexed)
        : width(w), height(h), bytesPerTexel(texelBytes), indexed(isIndexed), bytes(std::size_t(w) * h * texelBytes) {}
    BYTE* Row(UINT y) { return bytes.data() + std::size_t(y) * width * bytesPerTexel; }
    const BYTE* Row(UINT y) const { return bytes.data() + std::size_t(y) * width * bytesPerTexel; }
    ByteImageView View() const {
        return {bytes.data(), std::size_t(width) * bytesPerTexel, width, height, bytesPerTexel, indexed};
    }
};

// The next smaller mipmap level (each size halved, never below 1): every byte is
// (the sum of the 2 × 2 bytes above it + 2) / 4. A size of 1 repeats its only row or column.
ByteImage BoxHalve(const ByteImageView& source);
// The same, written to out (rows outPitch bytes apart), which must not overlap the source.
void BoxHalveInto(const ByteImageView& source, BYTE* out, std::size_t outPitch);
inline ByteImage BoxHalve(const ByteImage& source) { return BoxHalve(source.View()); }

// Resamples to width × height with the filter's low byte: D3DX_FILTER_NONE copies the top-left
// corner (zero beyond the source), POINT takes the nearest texel, LINEAR interpolates between the
// two nearest, TRIANGLE weighs a tent as wide as the scale, BOX averages the covered area.
// Equal sizes give an exact copy whatever the filter. Edges are clamped.
ByteImage Resample(const ByteImageView& source, UINT width, UINT height, DWORD filter);
inline ByteImage Resample(const ByteImage& source, UINT width, UINT height, DWORD filter) {
    return Resample(source.View(), width, height, filter);
}

}  // namespace utilities
