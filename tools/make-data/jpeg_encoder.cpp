#include <csetjmp>
#include <cstdlib>

#include "encoders.h"

// jpeglib.h relies on size_t and FILE being declared before it.
// clang-format off
#include <cstddef>
#include <cstdio>
#include <jpeglib.h>
// clang-format on

namespace makedata {
namespace {

struct JpegErrors {
    jpeg_error_mgr base;
    jmp_buf escape;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    auto* errors = reinterpret_cast<JpegErrors*>(info->err);
    (*info->err->format_message)(info, errors->message);
    longjmp(errors->escape, 1);
}

// Holds the setjmp; only C objects live in this frame, so a longjmp out of libjpeg skips no destructor.
// The compressed bytes land in a malloc'd buffer that the caller frees.
bool CompressWithLibjpeg(jpeg_compress_struct* cinfo, JpegErrors* errors, const Image* rgb, int quality,
                         unsigned char** buffer, unsigned long* size) {
    if (setjmp(errors->escape)) return false;
    jpeg_create_compress(cinfo);
    jpeg_mem_dest(cinfo, buffer, size);
    cinfo->image_width = static_cast<JDIMENSION>(rgb->width);
    cinfo->image_height = static_cast<JDIMENSION>(rgb->height);
    cinfo->input_components = 3;
    cinfo->in_color_space = JCS_RGB;
    jpeg_set_defaults(cinfo);
    jpeg_set_quality(cinfo, quality, TRUE);
    cinfo->dct_method = JDCT_ISLOW;  // the exact integer transform: same bytes on every machine
    cinfo->optimize_coding = TRUE;
    jpeg_start_compress(cinfo, TRUE);
    const size_t stride = static_cast<size_t>(rgb->width) * 3;
    while (cinfo->next_scanline < cinfo->image_height) {
        JSAMPROW row = const_cast<JSAMPROW>(rgb->pixels.data() + stride * cinfo->next_scanline);
        jpeg_write_scanlines(cinfo, &row, 1);
    }
    jpeg_finish_compress(cinfo);
    return true;
}

}  // namespace

bool EncodeJpeg(const Image& rgb, int quality, std::vector<uint8_t>& out, std::string& error) {
    if (rgb.channels != 3) {
        error = "JPEG: RGB input expected";
        return false;
    }
    jpeg_compress_struct cinfo{};
    JpegErrors errors{};
    cinfo.err = jpeg_std_error(&errors.base);
    errors.base.error_exit = OnJpegError;
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    const bool written = CompressWithLibjpeg(&cinfo, &errors, &rgb, quality, &buffer, &size);
    jpeg_destroy_compress(&cinfo);
    if (written)
        out.assign(buffer, buffer + size);
    else
        error = std::string("JPEG: ") + errors.message;
    free(buffer);
    return written;
}

}  // namespace makedata
