#pragma once
// Test images made on the spot: PNG and JPEG through the project's image writer, DDS byte by byte,
// and files on disk for the loaders that read by name.

#include <cstdint>
#include <string>
#include <vector>

#include "image_writer.h"
#include "platform/win32/win_types.h"

namespace testimages {

using Bytes = std::vector<BYTE>;

// The project's own writer, which throws here when it refuses a picture: a test image that cannot
// be made is a broken test.
using PngPicture = tools::PngImage;
Bytes EncodePng(const PngPicture& picture);

// A PNG assembled chunk by chunk, for headers libpng refuses to write (a 16-bit palette).
Bytes PngSignatureAndHeader(UINT width, UINT height, BYTE bitDepth, BYTE colourType);
void AppendPngChunk(Bytes& png, const char type[4], const Bytes& payload);

// components 1 (grey), 3 (RGB) or 4 (CMYK); samples interleaved row by row.
Bytes EncodeJpeg(UINT width, UINT height, int components, const Bytes& samples, int quality = 95,
                 bool progressive = false);

// A DDS header with the given pixel format; pixel data is appended by the caller.
struct DdsPicture {
    UINT width = 4;
    UINT height = 4;
    UINT mipCount = 1;
    DWORD flags = 0x1007;  // caps, height, width, pixel format
    UINT depth = 0;
    DWORD pixelFlags = 0x4;  // four-character code
    DWORD fourCC = 0;
    DWORD bitCount = 0;
    DWORD masks[4] = {0, 0, 0, 0};  // red, green, blue, alpha
    DWORD caps2 = 0;
    DWORD pixelFormatSize = 32;
};
Bytes DdsHeader(const DdsPicture& picture);

// Writes bytes to a fresh file under the test's temporary folder; returns its path.
std::string WriteTempFile(const std::string& name, const Bytes& bytes);

}  // namespace testimages
