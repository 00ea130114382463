#pragma once

// Independent readers for what make-data writes, used to check the files as a consumer sees them:
// libpng and libjpeg for the images, and a DDS / DXT5 reader written from the published layouts.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace testdata {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path);

// A decoded picture: 8-bit channels interleaved, row after row.
struct Picture {
    int width = 0;
    int height = 0;
    int channels = 0;
    std::vector<uint8_t> pixels;

    const uint8_t* At(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * channels]; }
};

// Binary PGM as the viewer reads it; empty on any deviation from "P5", width, height, 255, one blank.
bool ReadPgm(const std::vector<uint8_t>& bytes, Picture& out);
// PNG through libpng, without any transformation: the channel count is the file's.
bool ReadPng(const std::vector<uint8_t>& bytes, Picture& out, int& colourType, int& bitDepth);
// JPEG through libjpeg; `components` is the file's component count.
bool ReadJpeg(const std::vector<uint8_t>& bytes, Picture& out, int& components);

struct DdsHeader {
    uint32_t size, flags, height, width, linearSize, depth, mipMapCount;
    uint32_t pixelFormatSize, pixelFormatFlags, fourCc, caps, caps2;
};
bool ReadDdsHeader(const std::vector<uint8_t>& bytes, DdsHeader& out);

// Decodes DXT5 blocks (16 bytes per 4 × 4 block, alpha block first) into RGBA.
Picture DecodeDxt5(const uint8_t* blocks, int width, int height);

}  // namespace testdata
