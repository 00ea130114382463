#include "support/image_writers.h"

#include <unistd.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <stdexcept>

namespace testimages {

namespace {

void PutBigEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<BYTE>(v >> shift));
}

void PutLittleEndian32(Bytes& out, std::uint32_t v) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<BYTE>(v >> shift));
}

}  // namespace

Bytes EncodePng(const PngPicture& picture) {
    std::string error;
    std::optional<Bytes> file = tools::EncodePngImage(picture, error);
    if (!file) throw std::runtime_error("test image: " + error);
    return *file;
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
    tools::JpegImage picture;
    picture.width = width;
    picture.height = height;
    picture.components = components;
    picture.samples = samples;
    picture.quality = quality;
    picture.progressive = progressive;
    std::string error;
    std::optional<Bytes> file = tools::EncodeJpegImage(picture, error);
    if (!file) throw std::runtime_error("test image: " + error);
    return *file;
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
