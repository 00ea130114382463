#include <png.h>

#include <csetjmp>
#include <cstdio>

#include "encoders.h"

namespace makedata {
namespace {

struct PngSink {
    std::vector<uint8_t>* bytes;
    char message[256];
};

void AppendBytes(png_structp png, png_bytep data, size_t length) {
    auto* sink = static_cast<PngSink*>(png_get_io_ptr(png));
    sink->bytes->insert(sink->bytes->end(), data, data + length);
}

void FlushNothing(png_structp) {}

void OnPngError(png_structp png, png_const_charp message) {
    auto* sink = static_cast<PngSink*>(png_get_error_ptr(png));
    snprintf(sink->message, sizeof sink->message, "%s", message);
    png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Holds the setjmp; only C objects live in this frame, so a longjmp out of libpng skips no destructor.
bool WriteWithLibpng(png_structp png, png_infop info, const Image& image, PngSink* sink) {
    if (setjmp(png_jmpbuf(png))) return false;
    const int colourType = image.channels == 1   ? PNG_COLOR_TYPE_GRAY
                           : image.channels == 3 ? PNG_COLOR_TYPE_RGB
                                                 : PNG_COLOR_TYPE_RGB_ALPHA;
    png_set_write_fn(png, sink, AppendBytes, FlushNothing);
    png_set_compression_level(png, 6);
    png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
                 colourType, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    const size_t stride = static_cast<size_t>(image.width) * image.channels;
    for (int y = 0; y < image.height; ++y) png_write_row(png, const_cast<png_bytep>(image.pixels.data() + stride * y));
    png_write_end(png, nullptr);
    return true;
}

}  // namespace

bool EncodePng(const Image& image, std::vector<uint8_t>& out, std::string& error) {
    if (image.channels != 1 && image.channels != 3 && image.channels != 4) {
        error = "PNG: unsupported channel count";
        return false;
    }
    out.clear();
    PngSink sink{&out, {}};
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &sink, OnPngError, OnPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    const bool written = info && WriteWithLibpng(png, info, image, &sink);
    png_destroy_write_struct(&png, &info);
    if (!written) error = std::string("PNG: ") + (sink.message[0] ? sink.message : "libpng could not start");
    return written;
}

}  // namespace makedata
