// The data set's PNG and JPEG files, in the generator's image form, through the shared writer.

#include "encoders.h"
#include "image_writer.h"

namespace makedata {

bool EncodePng(const Image& image, std::vector<uint8_t>& out, std::string& error) {
    if (image.channels != 1 && image.channels != 3 && image.channels != 4) {
        error = "PNG: unsupported channel count";
        return false;
    }
    tools::PngImage png;
    png.width = static_cast<std::uint32_t>(image.width);
    png.height = static_cast<std::uint32_t>(image.height);
    png.colourType = image.channels == 1 ? tools::kPngGrey : image.channels == 3 ? tools::kPngRgb : tools::kPngRgbAlpha;
    png.samples = image.pixels;
    png.compressionLevel = 6;
    std::optional<tools::Bytes> file = tools::EncodePngImage(png, error);
    if (!file) return false;
    out = std::move(*file);
    return true;
}

bool EncodeJpeg(const Image& rgb, int quality, std::vector<uint8_t>& out, std::string& error) {
    if (rgb.channels != 3) {
        error = "JPEG: RGB input expected";
        return false;
    }
    tools::JpegImage jpeg;
    jpeg.width = static_cast<std::uint32_t>(rgb.width);
    jpeg.height = static_cast<std::uint32_t>(rgb.height);
    jpeg.components = 3;
    jpeg.samples = rgb.pixels;
    jpeg.quality = quality;
    jpeg.optimiseCoding = true;
    std::optional<tools::Bytes> file = tools::EncodeJpegImage(jpeg, error);
    if (!file) return false;
    out = std::move(*file);
    return true;
}

}  // namespace makedata
