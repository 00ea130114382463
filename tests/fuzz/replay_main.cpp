// Runs a fuzz harness over files without libFuzzer, which GCC does not have: every argument is a
// file, or a folder whose plain files are all read (sorted by name, not recursing), and each file
// is handed whole to LLVMFuzzerTestOneInput. Built with the sanitizers, a file that makes the
// harness read out of bounds or trip undefined behaviour aborts the run, so the seed corpora keep
// guarding the readers in every ordinary test run.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The files an argument names; false when it is neither a file nor a folder.
bool CollectInputs(const fs::path& argument, std::vector<fs::path>* inputs) {
    std::error_code error;
    if (fs::is_regular_file(argument, error)) {
        inputs->push_back(argument);
        return true;
    }
    if (!fs::is_directory(argument, error)) return false;
    std::vector<fs::path> found;
    for (const fs::directory_entry& entry : fs::directory_iterator(argument, error))
        if (entry.is_regular_file(error)) found.push_back(entry.path());
    if (error) return false;
    std::sort(found.begin(), found.end());
    inputs->insert(inputs->end(), found.begin(), found.end());
    return true;
}

// The whole file in a heap block of exactly its size, so that the address sanitizer sees a read
// one byte past the end. False when it cannot be read.
bool ReadWhole(const fs::path& path, std::unique_ptr<std::uint8_t[]>* bytes, std::size_t* size) {
    std::ifstream file(path, std::ios::binary);
    if (!file) return false;
    const std::vector<char> content{std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
    if (file.bad()) return false;
    *size = content.size();
    bytes->reset(new std::uint8_t[content.size()]);
    std::copy(content.begin(), content.end(), bytes->get());
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FILE_OR_FOLDER...\n", argv[0]);
        return 2;
    }
    std::vector<fs::path> inputs;
    for (int i = 1; i < argc; ++i) {
        if (!CollectInputs(argv[i], &inputs)) {
            std::fprintf(stderr, "%s: neither a file nor a readable folder\n", argv[i]);
            return 1;
        }
    }
    // A replay of nothing would pass while guarding nothing (a corpus path gone wrong, say).
    if (inputs.empty()) {
        std::fprintf(stderr, "no input files\n");
        return 1;
    }
    for (const fs::path& input : inputs) {
        std::unique_ptr<std::uint8_t[]> bytes;
        std::size_t size = 0;
        if (!ReadWhole(input, &bytes, &size)) {
            std::fprintf(stderr, "%s: cannot be read\n", input.c_str());
            return 1;
        }
        // Named before the call, so that a sanitizer report can be traced to its file.
        std::fprintf(stderr, "%s (%zu bytes)\n", input.c_str(), size);
        std::fflush(stderr);
        LLVMFuzzerTestOneInput(bytes.get(), size);
    }
    std::fprintf(stderr, "%zu inputs replayed\n", inputs.size());
    return 0;
}
