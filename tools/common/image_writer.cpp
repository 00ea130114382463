// libpng and libjpeg report errors by a long jump out of our error function; the functions that
// hold the setjmp keep only C objects in their frames, so the jump skips no destructor. Everything
// owned lives in the callers.

#include "image_writer.h"

#include <png.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

// jpeglib.h relies on size_t and FILE being declared before it.
// clang-format off
#include <cstddef>
#include <jpeglib.h>
// clang-format on

namespace tools {
namespace {

struct PngSink {
    Bytes* bytes;
    char message[200];
};

void AppendPngBytes(png_structp png, png_bytep data, std::size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    sink->bytes->insert(sink->bytes->end(), data, data + length);
}

void FlushNothing(png_structp) {}

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    std::snprintf(sink->message, sizeof sink->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

int SamplesPerPixel(int colourType) {
    switch (colourType) {
        case kPngRgb:
            return 3;
        case kPngRgbAlpha:
            return 4;
        case kPngGreyAlpha:
            return 2;
        default:
            return 1;
    }
}

std::size_t PngRowBytes(const PngImage& image) {
    return (static_cast<std::size_t>(image.width) * SamplesPerPixel(image.colourType) * image.bitDepth + 7) / 8;
}

bool WritePngWithLibpng(png_structp png, png_infop info, const PngImage* image, png_bytepp rows, PngSink* sink) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_write_fn(png, sink, AppendPngBytes, FlushNothing);
    if (image->compressionLevel >= 0) png_set_compression_level(png, image->compressionLevel);
    png_set_IHDR(png, info, image->width, image->height, image->bitDepth, image->colourType,
                 image->interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    const std::size_t entries = image->paletteRgb.size() / 3;
    if (entries > 0) {
        png_color palette[256];
        for (std::size_t i = 0; i < entries && i < 256; ++i)
            palette[i] = {image->paletteRgb[3 * i], image->paletteRgb[3 * i + 1], image->paletteRgb[3 * i + 2]};
        png_set_PLTE(png, info, palette, static_cast<int>(entries < 256 ? entries : 256));
    }
    if (!image->transparency.empty())
        png_set_tRNS(png, info, image->transparency.data(), static_cast<int>(image->transparency.size()), nullptr);
    if (image->greyTransparency) {
        png_color_16 colour{};
        colour.gray = image->transparentGrey;
        colour.red = image->transparentRgb[0];
        colour.green = image->transparentRgb[1];
        colour.blue = image->transparentRgb[2];
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (image->gamma > 0) png_set_gAMA(png, info, image->gamma);
    png_write_info(png, info);
    png_write_image(png, rows);  // every pass of an interlaced image
    png_write_end(png, nullptr);
    return true;
}

struct JpegErrors {
    jpeg_error_mgr base;
    std::jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    std::longjmp(errors->escape, 1);
}

J_COLOR_SPACE JpegColourSpace(int components) {
    return components == 1 ? JCS_GRAYSCALE : components == 3 ? JCS_RGB : JCS_CMYK;
}

// The compressed bytes land in a malloc'd buffer that the caller frees.
bool CompressWithLibjpeg(jpeg_compress_struct* cinfo, JpegErrors* errors, const JpegImage* image,
                         unsigned char** buffer, unsigned long* size) {
    if (setjmp(errors->escape)) return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = image->width;
    cinfo->image_height = image->height;
    cinfo->input_components = image->components;
    cinfo->in_color_space = JpegColourSpace(image->components);
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, image->quality, TRUE);
    cinfo->dct_method = JDCT_ISLOW;  // the exact integer transform: the same bytes on every machine
    cinfo->optimize_coding = image->optimiseCoding ? TRUE : FALSE;
    if (image->progressive) jpeg_simple_progression(cinfo);
    jpeg_start_compress(cinfo, TRUE);
    const std::size_t stride = static_cast<std::size_t>(image->width) * image->components;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(image->samples.data() + stride * cinfo->next_scanline);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

std::optional<Bytes> EncodePngImage(const PngImage& image, std::string& error) {
    if (image.width == 0 || image.height == 0 || image.samples.size() != PngRowBytes(image) * image.height) {
        error = "PNG: " + std::to_string(image.samples.size()) + " sample bytes do not make " +
                std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels";
        return std::nullopt;
    }
    std::vector<png_bytep> rows(image.height);
    for (std::uint32_t y = 0; y < image.height; ++y)
        rows[y] = const_cast<png_bytep>(image.samples.data() + PngRowBytes(image) * y);

    Bytes out;
    PngSink sink{&out, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
    png_infop info = png != nullptr ? png_create_info_struct(png) : nullptr;
    const bool written = info != nullptr && WritePngWithLibpng(png, info, &image, rows.data(), &sink);
    png_destroy_write_struct(&png, &info);
    if (!written) {
        error = std::string("PNG: ") + (sink.message[0] != '\0' ? sink.message : "libpng could not start");
        return std::nullopt;
    }
    return out;
}

std::optional<Bytes> EncodeJpegImage(const JpegImage& image, std::string& error) {
    const std::size_t expected = static_cast<std::size_t>(image.width) * image.height * image.components;
    if (image.components != 1 && image.components != 3 && image.components != 4) {
        error = "JPEG: " + std::to_string(image.components) + " components per pixel; 1, 3 or 4 expected";
        return std::nullopt;
    }
    if (image.width == 0 || image.height == 0 || image.samples.size() != expected) {
        error = "JPEG: " + std::to_string(image.samples.size()) + " sample bytes do not make " +
                std::to_string(image.width) + " x " + std::to_string(image.height) + " pixels";
        return std::nullopt;
    }
    jpeg_compress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool written = CompressWithLibjpeg(&cinfo, &errors, &image, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    std::optional<Bytes> out;
    if (written)
        out.emplace(buffer, buffer + size);
    else
        error = std::string("JPEG: ") + errors.message;
    std::free(buffer);
    return out;
}

bool WriteFile(const std::string& path, const Bytes& bytes, std::string& error) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    fs::path temporary = target;
    temporary += ".partial";
    std::error_code code;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            fs::remove(temporary, code);
            error = "cannot write " + temporary.string();
            return false;
        }
    }
    fs::rename(temporary, target, code);
    if (code) {
        const std::string reason = code.message();
        fs::remove(temporary, code);
        error = "cannot rename " + temporary.string() + " to " + target.string() + ": " + reason;
        return false;
    }
    return true;
}

bool WritePng(const std::string& path, const std::vector<std::uint32_t>& pixels, int width, int height) {
    if (width <= 0 || height <= 0 || pixels.size() < static_cast<std::size_t>(width) * height) {
        std::fprintf(stderr, "%s: no frame to write\n", path.c_str());
        return false;
    }
    PngImage image;
    image.width = static_cast<std::uint32_t>(width);
    image.height = static_cast<std::uint32_t>(height);
    image.colourType = kPngRgb;
    image.samples.resize(static_cast<std::size_t>(width) * height * 3);
    for (std::size_t i = 0; i < static_cast<std::size_t>(width) * height; ++i) {
        image.samples[3 * i + 0] = static_cast<std::uint8_t>(pixels[i] >> 16);
        image.samples[3 * i + 1] = static_cast<std::uint8_t>(pixels[i] >> 8);
        image.samples[3 * i + 2] = static_cast<std::uint8_t>(pixels[i]);
    }
    std::string error;
    const std::optional<Bytes> file = EncodePngImage(image, error);
    if (!file || !WriteFile(path, *file, error)) {
        std::fprintf(stderr, "%s: %s\n", path.c_str(), error.c_str());
        return false;
    }
    return true;
}

}  // namespace tools
