#pragma once
// The one image writer of the project: PNG through libpng, JPEG through libjpeg, in memory or to a
// file. The data generator, the capture tool and the tests all write their pictures through it, so
// that a setting (a compression level, a colour order) is chosen in one place.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tools {

using Bytes = std::vector<std::uint8_t>;

// PNG colour types, as the file stores them.
inline constexpr int kPngGrey = 0;
inline constexpr int kPngRgb = 2;
inline constexpr int kPngPalette = 3;
inline constexpr int kPngGreyAlpha = 4;
inline constexpr int kPngRgbAlpha = 6;

struct PngImage {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    int colourType = kPngRgb;
    int bitDepth = 8;
    Bytes samples;                  // rows packed as the file stores them (16-bit samples big-endian)
    Bytes paletteRgb;               // 3 bytes per entry
    Bytes transparency;             // palette alphas
    bool greyTransparency = false;  // a tRNS chunk for a grey or RGB image
    std::uint16_t transparentGrey = 0;
    std::uint16_t transparentRgb[3] = {0, 0, 0};
    double gamma = 0.0;  // a gAMA chunk when positive
    bool interlaced = false;
    int compressionLevel = -1;  // zlib's level, -1 for its default
};

struct JpegImage {
    std::uint32_t width = 1;
    std::uint32_t height = 1;
    int components = 3;  // 1 grey, 3 RGB, 4 CMYK; samples interleaved row by row
    Bytes samples;
    int quality = 95;
    bool progressive = false;
    bool optimiseCoding = false;  // optimal Huffman tables: smaller files, same pixels
};

// The encoders write the same bytes for the same image: no time stamp, no chunk that varies.
// Each returns the file, or nothing with the reason in `error` (libpng's or libjpeg's own words for
// what they refused, or a sample count that does not match the sizes).
std::optional<Bytes> EncodePngImage(const PngImage& image, std::string& error);
std::optional<Bytes> EncodeJpegImage(const JpegImage& image, std::string& error);

// Writes the bytes to `path` under a temporary name and renames it, so that a failed or interrupted
// write never leaves a cut file under the real name. False with the reason in `error`.
bool WriteFile(const std::string& path, const Bytes& bytes, std::string& error);

// A frame of width × height 0xAARRGGBB words (alpha ignored) as an RGB PNG file. False, with the
// reason on standard error, when it cannot be written.
bool WritePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace tools
