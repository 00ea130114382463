// make-data OUTDIR [--seed N]: writes the viewer's Data tree into OUTDIR. The build runs it with the
// default seed; the same seed always gives the same bytes.

#include <charconv>
#include <cstdio>
#include <filesystem>
#include <string>
#include <string_view>

#include "data_set.h"

namespace {

int Usage() {
    std::fprintf(stderr, "usage: make-data OUTDIR [--seed N]\n  N: unsigned integer, default %llu\n",
                 static_cast<unsigned long long>(makedata::kDefaultSeed));
    return 2;
}

bool ParseSeed(std::string_view text, uint64_t& seed) {
    const char* end = text.data() + text.size();
    const auto [stop, status] = std::from_chars(text.data(), end, seed);
    return status == std::errc() && stop == end && !text.empty();
}

}  // namespace

int main(int argc, char** argv) {
    std::string outDir;
    uint64_t seed = makedata::kDefaultSeed;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "--seed") {
            if (i + 1 >= argc || !ParseSeed(argv[++i], seed)) return Usage();
        } else if (!arg.empty() && arg[0] != '-' && outDir.empty()) {
            outDir = arg;
        } else {
            return Usage();
        }
    }
    if (outDir.empty()) return Usage();

    // An output folder that cannot be made fails now, before seconds of generation.
    std::error_code code;
    std::filesystem::create_directories(outDir, code);
    if (code) {
        std::fprintf(stderr, "make-data: cannot create %s: %s\n", outDir.c_str(), code.message().c_str());
        return 1;
    }
    std::vector<makedata::DataFile> files;
    std::string error;
    if (!makedata::GenerateDataSet(seed, files, error) || !makedata::WriteDataSet(outDir, files, error)) {
        std::fprintf(stderr, "make-data: %s\n", error.c_str());
        return 1;
    }
    return 0;
}
