#include "scene_frames.h"

#include <sys/stat.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <limits>

#include "image_writer.h"
#include "utilities/image_decoders.h"

namespace scenetest {
namespace {

std::string Quoted(const std::string& text) { return "'" + text + "'"; }

bool ReadPng(const std::string& path, Image& image) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    utilities::DecodedImage decoded;
    if (bytes.empty() || FAILED(utilities::DecodePng(decoded, reinterpret_cast<const BYTE*>(bytes.data()),
                                                     static_cast<UINT>(bytes.size()), true)))
        return false;
    const utilities::ImageLevel& top = decoded.Top();
    if (top.format != D3DFMT_X8R8G8B8 && top.format != D3DFMT_A8R8G8B8) return false;
    image.width = static_cast<int>(top.width);
    image.height = static_cast<int>(top.height);
    image.bgra.resize(static_cast<std::size_t>(image.width) * image.height);
    for (int y = 0; y < image.height; ++y) {
        const auto* row =
            reinterpret_cast<const std::uint32_t*>(top.pixels + static_cast<std::size_t>(y) * top.rowPitch);
        std::copy(row, row + image.width, image.bgra.begin() + static_cast<std::ptrdiff_t>(y) * image.width);
    }
    return true;
}

}  // namespace

std::string OutputFolder() {
    const std::string folder = std::string(QUENOLDE_TEST_OUTPUT) + "/scene-frames";
    mkdir(folder.c_str(), 0755);
    return folder;
}

int CaptureFrame(const std::string& environment, const std::string& device, const Pose& pose, unsigned time,
                 const std::string& path, Image& frame) {
    const std::string command = "cd " + Quoted(QUENOLDE_BUILD_FOLDER) + " && env " + environment + " " +
                                Quoted(QUENOLDE_CAPTURE) + " --device " + device + " --time " + std::to_string(time) +
                                " " + pose.arguments + " --out " + Quoted(path);
    const int status = std::system(command.c_str());
    if (status == -1 || !WIFEXITED(status)) return -1;
    const int code = WEXITSTATUS(status);
    if (code == 0 && !ReadPng(path, frame)) return -1;
    return code;
}

double PsnrRgb(const Image& a, const Image& b) {
    if (a.width != b.width || a.height != b.height || a.bgra.empty()) return 0.0;
    double squares = 0.0;
    for (std::size_t i = 0; i < a.bgra.size(); ++i)
        for (int shift = 0; shift < 24; shift += 8) {
            const double d =
                static_cast<double>((a.bgra[i] >> shift) & 255) - static_cast<double>((b.bgra[i] >> shift) & 255);
            squares += d * d;
        }
    if (squares == 0.0) return std::numeric_limits<double>::infinity();
    const double mean = squares / (3.0 * static_cast<double>(a.bgra.size()));
    return 10.0 * std::log10(255.0 * 255.0 / mean);
}

std::string WriteDifference(const Image& a, const Image& b, const std::string& stem) {
    std::string written;
    const auto write = [&](const Image& image, const std::string& suffix) {
        const std::string path = stem + suffix;
        if (tools::WritePng(path, image.bgra, image.width, image.height)) written += " " + path;
    };
    write(a, "-expected.png");
    write(b, "-got.png");
    if (a.width == b.width && a.height == b.height) {
        // Each channel's difference, four times brighter, so that a one-step difference shows.
        Image difference = a;
        for (std::size_t i = 0; i < a.bgra.size(); ++i) {
            std::uint32_t pixel = 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const int d = std::abs(static_cast<int>((a.bgra[i] >> shift) & 255) -
                                       static_cast<int>((b.bgra[i] >> shift) & 255));
                pixel |= static_cast<std::uint32_t>(std::min(255, 4 * d)) << shift;
            }
            difference.bgra[i] = pixel;
        }
        write(difference, "-diff.png");
    }
    return written.empty() ? " (the frames could not be written)" : written;
}

}  // namespace scenetest
