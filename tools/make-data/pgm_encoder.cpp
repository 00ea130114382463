#include <string>

#include "encoders.h"

namespace makedata {

std::vector<uint8_t> EncodePgm(const Image& grey) {
    const std::string header = "P5\n" + std::to_string(grey.width) + " " + std::to_string(grey.height) + "\n255\n";
    std::vector<uint8_t> bytes(header.begin(), header.end());
    bytes.insert(bytes.end(), grey.pixels.begin(), grey.pixels.end());
    return bytes;
}

}  // namespace makedata
