#pragma once
// The decoders behind LoadImageFromMemory. Each fills a cleared image from the whole buffer and
// returns S_OK, E_FAIL for bytes that are not its format or that it cannot read, or E_OUTOFMEMORY.
// With wantPixels false a decoder may stop once it knows the sizes and the format.
//
// A decoder that recognises its format's signature and then finds something wrong says what in
// *why (when why is not null), in words for the user: "truncated: ...", "unsupported size ...",
// "decoder error: ...". It may say so on success too, for a damaged file that still decoded.
// Bytes that are not its format at all leave *why alone.

#include <cstdint>
#include <memory>
#include <new>
#include <string>

#include "utilities/decoded_image.h"

namespace utilities {

HRESULT DecodeDds(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels, std::string* why = nullptr);
HRESULT DecodeJpeg(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels, std::string* why = nullptr);
HRESULT DecodePng(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels, std::string* why = nullptr);

// Sets *why, when why is not null and says nothing yet: the first thing found wrong is the one told.
inline void Tell(std::string* why, const std::string& what) {
    if (why != nullptr && why->empty()) *why = what;
}

// "W x H".
inline std::string SizeText(std::uint64_t width, std::uint64_t height) {
    return std::to_string(width) + " x " + std::to_string(height);
}

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
