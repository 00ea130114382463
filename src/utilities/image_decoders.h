#pragma once
// The decoders behind LoadImageFromMemory. Each fills a cleared image from the whole buffer and
// returns S_OK, E_FAIL for bytes that are not its format or that it cannot read, or E_OUTOFMEMORY.
// With wantPixels false a decoder may stop once it knows the sizes and the format.

#include <cstdint>
#include <memory>
#include <new>

#include "utilities/decoded_image.h"

namespace utilities {

HRESULT DecodeDds(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels);
HRESULT DecodeJpeg(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels);
HRESULT DecodePng(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels);

// The most bytes one decoded image may take in memory: far above any texture a device can hold,
// low enough that a forged header cannot exhaust the process.
constexpr std::uint64_t kMaxDecodedBytes = std::uint64_t{256} << 20;

// a × b, or false when the product does not fit in 64 bits.
inline bool MultiplyChecked(std::uint64_t a, std::uint64_t b, std::uint64_t* product) {
    return !__builtin_mul_overflow(a, b, product);
}

// Uninitialised bytes for decoded pixels, or null when memory is short.
inline std::unique_ptr<BYTE[]> TryAllocateBytes(std::size_t count) {
    return std::unique_ptr<BYTE[]>(new (std::nothrow) BYTE[count]);
}

}  // namespace utilities
