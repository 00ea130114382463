#include "support/image_writers.h"

#include <png.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include <unistd.h>

#include <jpeglib.h>

namespace testimages {

namespace {

void AppendToVector(png_structp png, png_bytep data, std::size_t length) {
    auto* out = static_cast<Bytes*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}
void NoFlush(png_structp) {}

int SamplesPerPixel(int colourType) {
    switch (colourType) {
        case PNG_COLOR_TYPE_RGB:
            return 3;
        case PNG_COLOR_TYPE_RGB_ALPHA:
            return 4;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            return 2;
        default:
            return 1;
    }
}

void PutBigEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<BYTE>(v >> shift));
}

void PutLittleEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<BYTE>(v >> shift));
}

}  // namespace

Bytes EncodePng(const PngPicture& picture) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        throw std::runtime_error("libpng could not write the test image");
    }
    png_set_write_fn(png, &out, AppendToVector, NoFlush);
    png_set_IHDR(png, info, picture.width, picture.height, picture.bitDepth, picture.colourType,
                 picture.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (std::size_t i = 0; i + 2 < picture.paletteRgb.size(); i += 3)
        palette.push_back({picture.paletteRgb[i], picture.paletteRgb[i + 1], picture.paletteRgb[i + 2]});
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!picture.transparency.empty())
        png_set_tRNS(png, info, picture.transparency.data(), static_cast<int>(picture.transparency.size()), nullptr);
    if (picture.greyTransparency) {
        png_color_16 colour{};
        colour.gray = picture.transparentGrey;
        colour.red = picture.transparentRgb[0];
        colour.green = picture.transparentRgb[1];
        colour.blue = picture.transparentRgb[2];
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (picture.gamma > 0) png_set_gAMA(png, info, picture.gamma);
    png_write_info(png, info);
    const std::size_t rowBytes =
        (static_cast<std::size_t>(picture.width) * SamplesPerPixel(picture.colourType) * picture.bitDepth + 7) / 8;
    std::vector<png_bytep> rows(picture.height);
    for (UINT y = 0; y < picture.height; ++y) rows[y] = const_cast<BYTE*>(picture.samples.data()) + y * rowBytes;
    png_write_image(png, rows.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

Bytes PngSignatureAndHeader(UINT width, UINT height, BYTE bitDepth, BYTE colourType) {
    Bytes png = {137, 80, 78, 71, 13, 10, 26, 10};
    Bytes header;
    PutBigEndian32(header, width);
    PutBigEndian32(header, height);
    header.insert(header.end(), {bitDepth, colourType, 0, 0, 0});
    AppendPngChunk(png, "IHDR", header);
    return png;
}

void AppendPngChunk(Bytes& png, const char type[4], const Bytes& payload) {
    PutBigEndian32(png, static_cast<std::uint32_t>(payload.size()));
    const std::size_t typeStart = png.size();
    png.insert(png.end(), type, type + 4);
    png.insert(png.end(), payload.begin(), payload.end());
    const uLong crc = crc32(0, png.data() + typeStart, static_cast<uInt>(png.size() - typeStart));
    PutBigEndian32(png, static_cast<std::uint32_t>(crc));
}

Bytes EncodeJpeg(UINT width, UINT height, int components, const Bytes& samples, int quality, bool progressive) {
    jpeg_compress_struct info{};
    jpeg_error_mgr error{};
    info.err = jpeg_std_error(&error);
    jpeg_create_compress(&info);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = width;
    info.image_height = height;
    info.input_components = components;
    info.in_color_space = components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, quality, TRUE);
    if (progressive) jpeg_simple_progression(&info);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < height) {
        JSAMPROW row = const_cast<BYTE*>(samples.data()) + info.next_scanline * width * components;
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    Bytes out(buffer, buffer + size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return out;
}

Bytes DdsHeader(const DdsPicture& picture) {
    Bytes out = {'D', 'D', 'S', ' '};
    PutLittleEndian32(out, 124);
    PutLittleEndian32(out, picture.flags);
    PutLittleEndian32(out, picture.height);
    PutLittleEndian32(out, picture.width);
    PutLittleEndian32(out, 0);  // pitch or linear size
    PutLittleEndian32(out, picture.depth);
    PutLittleEndian32(out, picture.mipCount);
    for (int i = 0; i < 11; ++i) PutLittleEndian32(out, 0);  // reserved
    PutLittleEndian32(out, picture.pixelFormatSize);
    PutLittleEndian32(out, picture.pixelFlags);
    PutLittleEndian32(out, picture.fourCC);
    PutLittleEndian32(out, picture.bitCount);
    for (DWORD mask : picture.masks) PutLittleEndian32(out, mask);
    PutLittleEndian32(out, 0x1000);  // caps: texture
    PutLittleEndian32(out, picture.caps2);
    for (int i = 0; i < 3; ++i) PutLittleEndian32(out, 0);
    return out;
}

std::string WriteTempFile(const std::string& name, const Bytes& bytes) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "quenolde-utilities-tests";
    std::filesystem::create_directories(folder);
    const std::filesystem::path path = folder / (std::to_string(::getpid()) + "-" + name);
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    return path.string();
}

}  // namespace testimages
