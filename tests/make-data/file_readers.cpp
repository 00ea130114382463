#include "file_readers.h"

#include <png.h>

#include <csetjmp>
#include <cstring>
#include <fstream>
#include <iterator>

// jpeglib.h relies on size_t and FILE being declared before it.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace testdata {

std::vector<uint8_t> ReadBytes(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool ReadPgm(const std::vector<uint8_t>& bytes, Picture& out) {
    int width = 0, height = 0, maximum = 0, consumed = 0;
    const std::string head(bytes.begin(), bytes.begin() + std::min<size_t>(bytes.size(), 64));
    if (std::sscanf(head.c_str(), "P5 %d %d %d%n", &width, &height, &maximum, &consumed) != 3 || maximum != 255)
        return false;
    const size_t start = static_cast<size_t>(consumed) + 1;
    if (bytes.size() != start + static_cast<size_t>(width) * height) return false;
    out = {width, height, 1, std::vector<uint8_t>(bytes.begin() + static_cast<std::ptrdiff_t>(start), bytes.end())};
    return true;
}

namespace {

struct PngSource {
    const std::vector<uint8_t>* bytes;
    size_t offset;
};

void ReadFromMemory(png_structp png, png_bytep data, size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (source->offset + length > source->bytes->size()) png_error(png, "truncated");
    std::memcpy(data, source->bytes->data() + source->offset, length);
    source->offset += length;
}

bool DecodePngRows(png_structp png, png_infop info, PngSource* source, Picture* out, int* colourType, int* bitDepth) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_read_fn(png, source, ReadFromMemory);
    png_read_info(png, info);
    out->width = static_cast<int>(png_get_image_width(png, info));
    out->height = static_cast<int>(png_get_image_height(png, info));
    out->channels = png_get_channels(png, info);
    *colourType = png_get_color_type(png, info);
    *bitDepth = png_get_bit_depth(png, info);
    if (*bitDepth != 8) return false;
    out->pixels.assign(static_cast<size_t>(out->width) * out->height * out->channels, 0);
    for (int y = 0; y < out->height; ++y)
        png_read_row(png, out->pixels.data() + static_cast<size_t>(y) * out->width * out->channels, nullptr);
    png_read_end(png, nullptr);
    return true;
}

struct JpegErrors {
    jpeg_error_mgr base;
    jmp_buf escape;
};

void OnJpegError(j_common_ptr info) { longjmp(reinterpret_cast<JpegErrors*>(info->err)->escape, 1); }

bool DecodeJpegRows(jpeg_decompress_struct* cinfo, JpegErrors* errors, const std::vector<uint8_t>* bytes, Picture* out,
                    int* components) {
    if (setjmp(errors->escape)) return false;
    jpeg_create_decompress(cinfo);
    jpeg_mem_src(cinfo, bytes->data(), static_cast<unsigned long>(bytes->size()));
    jpeg_read_header(cinfo, TRUE);
    *components = cinfo->num_components;
    jpeg_start_decompress(cinfo);
    out->width = static_cast<int>(cinfo->output_width);
    out->height = static_cast<int>(cinfo->output_height);
    out->channels = cinfo->output_components;
    out->pixels.assign(static_cast<size_t>(out->width) * out->height * out->channels, 0);
    while (cinfo->output_scanline < cinfo->output_height) {
        JSAMPROW row = out->pixels.data() + static_cast<size_t>(cinfo->output_scanline) * out->width * out->channels;
        jpeg_read_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_decompress(cinfo);
    return true;
}

uint32_t U32(const std::vector<uint8_t>& bytes, size_t offset) {
    return bytes[offset] | bytes[offset + 1] << 8 | bytes[offset + 2] << 16 |
           static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

}  // namespace

bool ReadPng(const std::vector<uint8_t>& bytes, Picture& out, int& colourType, int& bitDepth) {
    if (bytes.size() < 8 || png_sig_cmp(bytes.data(), 0, 8) != 0) return false;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    PngSource source{&bytes, 0};
    const bool decoded = info && DecodePngRows(png, info, &source, &out, &colourType, &bitDepth);
    png_destroy_read_struct(&png, &info, nullptr);
    return decoded;
}

bool ReadJpeg(const std::vector<uint8_t>& bytes, Picture& out, int& components) {
    jpeg_decompress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegError;
    const bool decoded = !bytes.empty() && DecodeJpegRows(&cinfo, &errors, &bytes, &out, &components);
    jpeg_destroy_decompress(&cinfo);
    return decoded;
}

bool ReadDdsHeader(const std::vector<uint8_t>& bytes, DdsHeader& out) {
    if (bytes.size() < 128 || std::memcmp(bytes.data(), "DDS ", 4) != 0) return false;
    out = {U32(bytes, 4),  U32(bytes, 8),  U32(bytes, 12), U32(bytes, 16), U32(bytes, 20),  U32(bytes, 24),
           U32(bytes, 28), U32(bytes, 76), U32(bytes, 80), U32(bytes, 84), U32(bytes, 108), U32(bytes, 112)};
    return true;
}

Picture DecodeDxt5(const uint8_t* blocks, int width, int height) {
    Picture picture{width, height, 4, std::vector<uint8_t>(static_cast<size_t>(width) * height * 4)};
    const int blocksWide = (width + 3) / 4, blocksHigh = (height + 3) / 4;
    for (int by = 0; by < blocksHigh; ++by) {
        for (int bx = 0; bx < blocksWide; ++bx) {
            const uint8_t* block = blocks + (static_cast<size_t>(by) * blocksWide + bx) * 16;
            int alphas[8] = {block[0], block[1]};
            for (int i = 2; i < 8; ++i)
                alphas[i] = block[0] > block[1] ? ((8 - i) * block[0] + (i - 1) * block[1]) / 7
                            : i < 6             ? ((6 - i) * block[0] + (i - 1) * block[1]) / 5
                            : i == 6            ? 0
                                                : 255;
            uint64_t alphaBits = 0;
            for (int i = 0; i < 6; ++i) alphaBits |= static_cast<uint64_t>(block[2 + i]) << (8 * i);
            int colours[4][3];
            for (int e = 0; e < 2; ++e) {
                const int v = block[8 + 2 * e] | block[9 + 2 * e] << 8;
                const int r = v >> 11 & 31, g = v >> 5 & 63, b = v & 31;
                colours[e][0] = r << 3 | r >> 2, colours[e][1] = g << 2 | g >> 4, colours[e][2] = b << 3 | b >> 2;
            }
            for (int c = 0; c < 3; ++c) {
                colours[2][c] = (2 * colours[0][c] + colours[1][c]) / 3;
                colours[3][c] = (colours[0][c] + 2 * colours[1][c]) / 3;
            }
            const uint32_t colourBits = U32(std::vector<uint8_t>(block + 12, block + 16), 0);
            for (int i = 0; i < 16; ++i) {
                const int x = bx * 4 + i % 4, y = by * 4 + i / 4;
                if (x >= width || y >= height) continue;
                uint8_t* texel = &picture.pixels[(static_cast<size_t>(y) * width + x) * 4];
                const int* colour = colours[colourBits >> (2 * i) & 3];
                texel[0] = static_cast<uint8_t>(colour[0]);
                texel[1] = static_cast<uint8_t>(colour[1]);
                texel[2] = static_cast<uint8_t>(colour[2]);
                texel[3] = static_cast<uint8_t>(alphas[alphaBits >> (3 * i) & 7]);
            }
        }
    }
    return picture;
}

}  // namespace testdata
