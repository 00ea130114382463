#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "grid.h"

namespace makedata {

// Every encoder below writes the same bytes for the same image: no time stamps, no optional chunks that
// vary, fixed compression settings. That is what makes the data tree reproducible from its seed.

// Binary grey map ("P5"), maximum 255, the form the viewer's height and tree-map reader takes.
std::vector<uint8_t> EncodePgm(const Image& grey);

// PNG through the shared image writer: grey, RGB or RGBA after the image's channel count, 8 bits, no
// gamma or colour chunk (so the viewer's decoder applies no correction). False with a reason on failure.
bool EncodePng(const Image& image, std::vector<uint8_t>& out, std::string& error);

// Baseline JPEG through the shared image writer, RGB input, the given quality, optimal Huffman tables.
// False with a reason on failure.
bool EncodeJpeg(const Image& rgb, int quality, std::vector<uint8_t>& out, std::string& error);

}  // namespace makedata
