// JPEG through libjpeg (version 62 interface), straight from memory. libjpeg reports errors by
// calling error_exit, which must not return: ours jumps back to the setjmp of the small function
// that made the call. Those functions hold no C++ object that needs a destructor, so the jump
// skips nothing; everything owned lives in DecodeJpeg, outside them.

#include <csetjmp>
#include <cstdio>
#include <cstring>

// clang-format off: jpeglib.h needs size_t and FILE declared before it
#include <jerror.h>
#include <jpeglib.h>
// clang-format on

#include "utilities/image_decoders.h"

namespace utilities {

namespace {

// A baseline JPEG needs a few bits per 8 × 8 block even when it is flat, so no genuine file holds
// more than a few hundred pixels per byte; anything far beyond is a forged size.
constexpr std::uint64_t kMaxPixelsPerByte = 4096;
constexpr std::uint64_t kSmallImagePixels = 1 << 16;
// libjpeg's own working memory (whole-image coefficients of a progressive file, mostly).
constexpr long kLibjpegMemoryLimit = 512L << 20;

struct JpegErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char error[JMSG_LENGTH_MAX];    // libjpeg's words for the error that ended the decoding
    char warning[JMSG_LENGTH_MAX];  // and for the first thing it got over
    bool endedEarly;                // that first thing was the end of the data
};

struct JpegSession {
    jpeg_decompress_struct info;
    JpegErrorManager error;
    bool created;
};

[[noreturn]] void OnJpegError(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegErrorManager*>(info->err);
    (*info->err->format_message)(info, error->error);
    std::longjmp(error->jump, 1);
}

// A warning (a truncated scan, say) does not stop the decoder: the image keeps what could be read.
// The first one is kept for the report.
void OnJpegMessage(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegErrorManager*>(info->err);
    if (error->warning[0] != '\0') return;
    (*info->err->format_message)(info, error->warning);
    error->endedEarly = info->err->msg_code == JWRN_JPEG_EOF;
}

bool ReadJpegHeader(JpegSession* session, const BYTE* data, UINT length) {
    jpeg_std_error(&session->error.base);
    session->error.base.error_exit = OnJpegError;
    session->error.base.output_message = OnJpegMessage;
    session->info.err = &session->error.base;
    if (setjmp(session->error.jump)) return false;
    jpeg_create_decompress(&session->info);
    session->created = true;
    session->info.mem->max_memory_to_use = kLibjpegMemoryLimit;
    jpeg_mem_src(&session->info, data, length);
    jpeg_read_header(&session->info, TRUE);
    return true;
}

bool StartJpeg(JpegSession* session, J_COLOR_SPACE outputSpace) {
    if (setjmp(session->error.jump)) return false;
    session->info.out_color_space = outputSpace;
    jpeg_start_decompress(&session->info);
    return true;
}

// Clears the X byte of every B, G, R, X texel, two texels at a time. Done once the whole image is
// decoded, not row by row behind libjpeg's vector stores, which a narrower read-modify-write
// right after them would stall on.
void ClearTopBytes(BYTE* pixels, std::size_t texels) {
    std::size_t i = 0;
    for (; i + 2 <= texels; i += 2) {
        std::uint64_t pair;
        std::memcpy(&pair, pixels + 4 * i, sizeof pair);
        pair &= 0x00FFFFFF00FFFFFFull;
        std::memcpy(pixels + 4 * i, &pair, sizeof pair);
    }
    if (i < texels) pixels[4 * i + 3] = 0;
}

// Reads every row into pixels.
bool ReadJpegRows(JpegSession* session, BYTE* pixels, UINT pitch) {
    if (setjmp(session->error.jump)) return false;
    jpeg_decompress_struct* info = &session->info;
    while (info->output_scanline < info->output_height) {
        constexpr int kBatch = 8;
        JSAMPROW rows[kBatch];
        const JDIMENSION first = info->output_scanline;
        const JDIMENSION wanted = info->output_height - first < kBatch ? info->output_height - first : kBatch;
        for (JDIMENSION i = 0; i < wanted; ++i) rows[i] = pixels + static_cast<std::size_t>(first + i) * pitch;
        const JDIMENSION read = jpeg_read_scanlines(info, rows, wanted);
        if (read == 0) return false;  // suspended: cannot happen with a memory source
    }
    return true;
}

class SessionGuard {
public:
    explicit SessionGuard(JpegSession& session) : session_(session) {}
    ~SessionGuard() {
        if (session_.created) jpeg_destroy_decompress(&session_.info);
    }
    SessionGuard(const SessionGuard&) = delete;
    SessionGuard& operator=(const SessionGuard&) = delete;

private:
    JpegSession& session_;
};

bool PlausibleSize(std::uint64_t pixels, UINT length) {
    return pixels <= kSmallImagePixels || pixels / kMaxPixelsPerByte <= length;
}

// A file of this format begins with the start-of-image marker; anything else is not ours to judge.
bool LooksLikeJpeg(const BYTE* data, UINT length) { return length >= 2 && data[0] == 0xFF && data[1] == 0xD8; }

HRESULT Refuse(const BYTE* data, UINT length, std::string* why, const std::string& what) {
    if (LooksLikeJpeg(data, length)) Tell(why, what);
    return E_FAIL;
}

std::string LibjpegSaid(const JpegSession& session) {
    return std::string("decoder error: JPEG: ") + session.error.error;
}

}  // namespace

HRESULT DecodeJpeg(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels, std::string* why) {
    JpegSession session{};
    SessionGuard guard(session);
    if (!ReadJpegHeader(&session, data, length)) return Refuse(data, length, why, LibjpegSaid(session));

    const jpeg_decompress_struct& info = session.info;
    bool colour;
    if (info.jpeg_color_space == JCS_GRAYSCALE && info.num_components == 1) {
        colour = false;
    } else if ((info.jpeg_color_space == JCS_YCbCr || info.jpeg_color_space == JCS_RGB) && info.num_components == 3) {
        colour = true;
    } else {
        // CMYK, YCCK or anything else with other than one or three components
        return Refuse(data, length, why,
                      "decoder error: JPEG with " + std::to_string(info.num_components) +
                          " colour components; only grey (1) and colour (3) ones are read");
    }

    const UINT width = info.image_width, height = info.image_height;
    const UINT bytesPerPixel = colour ? 4 : 1;
    const std::uint64_t pixels = std::uint64_t{width} * height;
    if (width == 0 || height == 0 || !PlausibleSize(pixels, length))
        return Refuse(
            data, length, why,
            "truncated: a " + SizeText(width, height) + " JPEG cannot come from " + std::to_string(length) + " bytes");
    if (pixels * bytesPerPixel > kMaxDecodedBytes) {
        Tell(why, "unsupported size " + SizeText(width, height) + ": a decoded image may take at most " +
                      std::to_string(kMaxDecodedBytes >> 20) + " MiB");
        return E_OUTOFMEMORY;
    }

    ImageLevel level;
    level.format = colour ? D3DFMT_X8R8G8B8 : D3DFMT_L8;
    level.width = width;
    level.height = height;
    level.rowPitch = width * bytesPerPixel;
    level.slicePitch = level.rowPitch * height;
    if (wantPixels) {
        if (!StartJpeg(&session, colour ? JCS_EXT_BGRX : JCS_GRAYSCALE))
            return Refuse(data, length, why, LibjpegSaid(session));
        if (session.info.output_width != width || session.info.output_height != height)
            return Refuse(data, length, why, "decoder error: JPEG output size differs from its header");
        image.ownedPixels = TryAllocateBytes(level.slicePitch);
        if (!image.ownedPixels) return E_OUTOFMEMORY;
        if (!ReadJpegRows(&session, image.ownedPixels.get(), level.rowPitch))
            return Refuse(data, length, why, LibjpegSaid(session));
        if (session.error.warning[0] != '\0')
            Tell(why, std::string(session.error.endedEarly ? "truncated: " : "damaged: ") +
                          "JPEG: " + session.error.warning + "; the picture keeps what could be read");
        // Colour comes as B, G, R, X; the texel holds no channel in its top byte, which is cleared.
        if (colour) ClearTopBytes(image.ownedPixels.get(), pixels);
        level.pixels = image.ownedPixels.get();
    }
    image.faces.assign(1, std::vector<ImageLevel>{level});
    return S_OK;
}

}  // namespace utilities
