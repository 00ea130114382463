// PNG through libpng, straight from memory. libpng reports errors through our error function,
// which jumps back to the setjmp of the small function that called into libpng. Those functions
// hold no C++ object that needs a destructor; everything owned lives in DecodePng.

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <cstring>

#include "utilities/format_table.h"
#include "utilities/image_decoders.h"

namespace utilities {

namespace {

// Deflate cannot expand one byte into more than 1032, so a header announcing more raw image
// bytes than that ratio allows is forged.
constexpr std::uint64_t kMaxInflateRatio = 1032;
constexpr std::uint64_t kInflateSlack = 1 << 16;
constexpr double kDisplayGamma = 2.2;
constexpr double kSrgbFileGamma = 0.45455;

struct PngInput {
    const BYTE* data;
    std::size_t length;
    std::size_t offset;
};

struct PngHeader {
    png_uint_32 width, height;
    int bitDepth, colourType, interlace;
    bool hasTransparency;
    double fileGamma;  // 0 when the file states none
};

// libpng's words for the error that ended the decoding, and whether it was the data running out.
struct PngError {
    char message[200];
    bool endedEarly;
};

struct PngSession {
    png_structp png;
    png_infop info;
    PngInput input;
    PngHeader header;
    PngError error;
};

constexpr const char* kEndedEarly = "the file ends early";

[[noreturn]] void OnPngError(png_structp png, png_const_charp message) {
    auto* error = static_cast<PngError*>(png_get_error_ptr(png));
    std::snprintf(error->message, sizeof error->message, "%s", message);
    error->endedEarly = std::strcmp(message, kEndedEarly) == 0;
    png_longjmp(png, 1);
}
void OnPngWarning(png_structp, png_const_charp) {}

void ReadFromMemory(png_structp png, png_bytep out, std::size_t count) {
    auto* input = static_cast<PngInput*>(png_get_io_ptr(png));
    if (count > input->length - input->offset) png_error(png, kEndedEarly);
    std::memcpy(out, input->data + input->offset, count);
    input->offset += count;
}

bool ReadPngInfo(PngSession* s) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    png_set_read_fn(s->png, &s->input, ReadFromMemory);
    png_read_info(s->png, s->info);
    PngHeader& h = s->header;
    png_get_IHDR(s->png, s->info, &h.width, &h.height, &h.bitDepth, &h.colourType, &h.interlace, nullptr, nullptr);
    h.hasTransparency = png_get_valid(s->png, s->info, PNG_INFO_tRNS) != 0;
    int intent;
    double gamma;
    if (png_get_sRGB(s->png, s->info, &intent) != 0) {
        h.fileGamma = kSrgbFileGamma;
    } else if (png_get_gAMA(s->png, s->info, &gamma) != 0) {
        h.fileGamma = gamma;
    } else {
        h.fileGamma = 0.0;
    }
    return true;
}

// The transformations that turn the file's samples into the texture format's bytes.
struct PngPlan {
    D3DFORMAT format;
    int channels;  // what libpng must report once the transformations are set
    bool expandTransparency, swapTo16BitLittleEndian, bgr, filler;
};

bool ApplyPngPlan(PngSession* s, const PngPlan* plan, int* passes, std::size_t* rowBytes, int* channels) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    png_structp png = s->png;
    const PngHeader& h = s->header;
    if (h.bitDepth < 8) {
        png_set_packing(png);
        if (h.colourType == PNG_COLOR_TYPE_GRAY) png_set_expand_gray_1_2_4_to_8(png);
    }
    if (plan->expandTransparency) png_set_tRNS_to_alpha(png);
    if (plan->swapTo16BitLittleEndian) png_set_swap(png);
    if (plan->bgr) png_set_bgr(png);
    if (plan->filler) png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    // The palette's colours are corrected by hand (see PaletteOf); only samples go through libpng.
    if (h.fileGamma > 1e-6 && h.colourType != PNG_COLOR_TYPE_PALETTE) png_set_gamma(png, kDisplayGamma, h.fileGamma);
    *passes = png_set_interlace_handling(png);
    png_read_update_info(png, s->info);
    *rowBytes = png_get_rowbytes(png, s->info);
    *channels = png_get_channels(png, s->info);
    return true;
}

bool ReadPngRows(PngSession* s, BYTE* pixels, std::size_t pitch, int passes) {
    if (setjmp(png_jmpbuf(s->png))) return false;
    for (int pass = 0; pass < passes; ++pass)
        for (png_uint_32 y = 0; y < s->header.height; ++y) png_read_row(s->png, pixels + y * pitch, nullptr);
    return true;
}

class SessionGuard {
public:
    explicit SessionGuard(PngSession& session) : session_(session) {}
    ~SessionGuard() {
        if (session_.png != nullptr) png_destroy_read_struct(&session_.png, &session_.info, nullptr);
    }
    SessionGuard(const SessionGuard&) = delete;
    SessionGuard& operator=(const SessionGuard&) = delete;

private:
    PngSession& session_;
};

// The format and transformations for this colour type and depth; false for a combination the
// texture formats cannot hold (a 16-bit palette).
bool PlanFor(const PngHeader& h, PngPlan* plan) {
    const bool wide = h.bitDepth == 16;
    const bool addAlpha = h.hasTransparency && h.colourType != PNG_COLOR_TYPE_PALETTE;
    *plan = PngPlan{D3DFMT_UNKNOWN, 0, addAlpha, wide, false, false};
    switch (h.colourType) {
        case PNG_COLOR_TYPE_GRAY:
            plan->format = addAlpha ? (wide ? kFormatAL16 : D3DFMT_A8L8) : (wide ? D3DFMT_L16 : D3DFMT_L8);
            plan->channels = addAlpha ? 2 : 1;
            return true;
        case PNG_COLOR_TYPE_GRAY_ALPHA:
            plan->format = wide ? kFormatAL16 : D3DFMT_A8L8;
            plan->channels = 2;
            return true;
        case PNG_COLOR_TYPE_PALETTE:
            if (wide) return false;
            plan->format = D3DFMT_P8;
            plan->channels = 1;
            return true;
        case PNG_COLOR_TYPE_RGB:
        case PNG_COLOR_TYPE_RGB_ALPHA:
            break;
        default:
            return false;
    }
    const bool alpha = addAlpha || h.colourType == PNG_COLOR_TYPE_RGB_ALPHA;
    if (wide) {
        // A16B16G16R16 keeps the file's R, G, B, A order, which is its layout; only the private
        // three-channel format is stored blue first.
        plan->format = alpha ? D3DFMT_A16B16G16R16 : kFormatR16;
        plan->channels = alpha ? 4 : 3;
        plan->bgr = !alpha;
        return true;
    }
    plan->format = alpha ? D3DFMT_A8R8G8B8 : D3DFMT_X8R8G8B8;
    plan->channels = 4;
    plan->bgr = true;
    plan->filler = !alpha;
    return true;
}

std::uint64_t RawImageBytes(const PngHeader& h) {
    const int samples = h.colourType == PNG_COLOR_TYPE_RGB          ? 3
                        : h.colourType == PNG_COLOR_TYPE_RGB_ALPHA  ? 4
                        : h.colourType == PNG_COLOR_TYPE_GRAY_ALPHA ? 2
                                                                    : 1;
    const std::uint64_t rowBits = std::uint64_t{h.width} * samples * static_cast<std::uint64_t>(h.bitDepth);
    return ((rowBits + 7) / 8 + 1) * h.height;  // each row starts with its filter byte
}

// The 256-entry palette: the file's colours (gamma-corrected when the file states a gamma), its
// transparency for the first entries, opaque white past the end of the file's palette.
void FillPalette(PngSession& s, PaletteColour* palette) {
    for (UINT i = 0; i < kPaletteEntries; ++i) palette[i] = {255, 255, 255, 255};
    png_colorp colours = nullptr;
    int count = 0;
    if (png_get_PLTE(s.png, s.info, &colours, &count) == 0) count = 0;
    BYTE correct[256];
    const double exponent = 1.0 / (kDisplayGamma * s.header.fileGamma);
    for (int i = 0; i < 256; ++i)
        correct[i] = s.header.fileGamma > 1e-6 ? static_cast<BYTE>(255.0 * std::pow(i / 255.0, exponent) + 0.5)
                                               : static_cast<BYTE>(i);
    for (int i = 0; i < count && i < 256; ++i)
        palette[i] = {correct[colours[i].red], correct[colours[i].green], correct[colours[i].blue], 255};
    png_bytep alphas = nullptr;
    int alphaCount = 0;
    if (png_get_tRNS(s.png, s.info, &alphas, &alphaCount, nullptr) == 0 || alphas == nullptr) alphaCount = 0;
    for (int i = 0; i < alphaCount && i < count && i < 256; ++i) palette[i].a = alphas[i];
}

// What libpng said, as a reason for the user.
std::string LibpngSaid(const PngError& error) {
    if (error.endedEarly) return std::string("truncated: PNG: ") + error.message;
    return std::string("decoder error: PNG: ") + error.message;
}

}  // namespace

HRESULT DecodePng(DecodedImage& image, const BYTE* data, UINT length, bool wantPixels, std::string* why) {
    if (length < 8 || png_sig_cmp(data, 0, 8) != 0) return E_FAIL;
    PngSession session{};
    SessionGuard guard(session);
    session.png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &session.error, OnPngError, OnPngWarning);
    if (session.png == nullptr) return E_OUTOFMEMORY;
    session.info = png_create_info_struct(session.png);
    if (session.info == nullptr) return E_OUTOFMEMORY;
    session.input = {data, length, 0};
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Lets the fuzzer past the checksums, into the code behind them.
    png_set_crc_action(session.png, PNG_CRC_QUIET_USE, PNG_CRC_QUIET_USE);
#endif
    if (!ReadPngInfo(&session)) {
        Tell(why, LibpngSaid(session.error));
        return E_FAIL;
    }

    const PngHeader& h = session.header;
    PngPlan plan;
    if (!PlanFor(h, &plan)) {
        Tell(why, "decoder error: PNG of colour type " + std::to_string(h.colourType) + " at " +
                      std::to_string(h.bitDepth) + " bits, which no texture format holds");
        return E_FAIL;
    }
    if (RawImageBytes(h) > kMaxInflateRatio * length + kInflateSlack) {
        Tell(why, "truncated: a " + SizeText(h.width, h.height) + " PNG cannot come from " + std::to_string(length) +
                      " bytes");
        return E_FAIL;
    }

    int passes = 1, channels = 0;
    std::size_t rowBytes = 0;
    if (!ApplyPngPlan(&session, &plan, &passes, &rowBytes, &channels)) {
        Tell(why, LibpngSaid(session.error));
        return E_FAIL;
    }
    if (channels != plan.channels) {
        Tell(why, "decoder error: PNG: " + std::to_string(channels) + " channels after conversion, " +
                      std::to_string(plan.channels) + " expected");
        return E_FAIL;
    }
    std::uint64_t total = 0;
    if (!MultiplyChecked(rowBytes, h.height, &total) || total > kMaxDecodedBytes) {
        Tell(why, "unsupported size " + SizeText(h.width, h.height) + ": a decoded image may take at most " +
                      std::to_string(kMaxDecodedBytes >> 20) + " MiB");
        return E_OUTOFMEMORY;
    }

    ImageLevel level;
    level.format = plan.format;
    level.width = h.width;
    level.height = h.height;
    level.rowPitch = static_cast<UINT>(rowBytes);
    level.slicePitch = static_cast<UINT>(total);
    if (plan.format == D3DFMT_P8) {
        image.ownedPalette = std::unique_ptr<PaletteColour[]>(new (std::nothrow) PaletteColour[kPaletteEntries]);
        if (!image.ownedPalette) return E_OUTOFMEMORY;
        FillPalette(session, image.ownedPalette.get());
        image.palette = image.ownedPalette.get();
    }
    if (wantPixels) {
        image.ownedPixels = TryAllocateBytes(total);
        if (!image.ownedPixels) return E_OUTOFMEMORY;
        if (!ReadPngRows(&session, image.ownedPixels.get(), rowBytes, passes)) {
            Tell(why, LibpngSaid(session.error));
            return E_FAIL;
        }
        level.pixels = image.ownedPixels.get();
    }
    image.faces.assign(1, std::vector<ImageLevel>{level});
    return S_OK;
}

}  // namespace utilities
