#pragma once
// Writes BGRA frames as PNG files for the tools (through libpng).

#include <cstdint>
#include <string>
#include <vector>

namespace tools {

// Writes width x height pixels (0xAARRGGBB words, alpha ignored) as an RGB PNG.
// Returns false, with the reason on standard error, when the file cannot be written.
bool WritePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height);

}  // namespace tools
