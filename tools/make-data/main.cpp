// make-data OUTDIR [--seed N]: writes the viewer's Data tree into OUTDIR. The build runs it with the
// default seed; the same seed always gives the same bytes.

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "command_line.h"
#include "data_set.h"

int main(int argc, char** argv) {
    std::string outDir;
    std::uint64_t seed = makedata::kDefaultSeed;
    tools::CommandLine line("make-data", "[--seed N] OUTDIR",
                            "Generates the viewer's Data folder (terrain, textures, tree map, water) into OUTDIR.");
    line.Operands("OUTDIR", "the folder to write, created when missing (the viewer reads it as Data/)",
                  tools::Text(&outDir), 1, 1);
    line.Add("seed", "N",
             "the landscape's seed, a whole number from 0 to 18446744073709551615 (default " +
                 std::to_string(makedata::kDefaultSeed) + "); the same seed gives the same bytes",
             tools::WholeNumber(&seed, 0, UINT64_MAX, "a whole number"));
    if (const std::optional<int> end = line.Parse(argc, argv)) return *end;

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
