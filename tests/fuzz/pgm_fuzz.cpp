// Fuzzes the grey-level image reader with whole files. The reader takes a file name, so each
// input is put in an in-memory file and read back through its /proc name: no disk traffic.

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "terrain/image_pgm.h"

namespace {

const std::string& InputFile(int* descriptor) {
    static int fd = memfd_create("pgm_fuzz", 0);
    static const std::string name = "/proc/self/fd/" + std::to_string(fd);
    if (fd < 0) std::abort();
    *descriptor = fd;
    return name;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    int fd = -1;
    const std::string& name = InputFile(&fd);
    if (ftruncate(fd, 0) != 0 || pwrite(fd, data, size, 0) != static_cast<ssize_t>(size)) std::abort();

    INT largeur = -1;
    INT hauteur = -1;
    std::unique_ptr<BYTE[]> image = ChargerPGM(name.c_str(), &largeur, &hauteur);
    if (!image) return 0;
    // The caller may read every one of width × height bytes: the sanitizer checks they exist.
    if (largeur < 0 || hauteur < 0) std::abort();
    unsigned sum = 0;
    for (std::int64_t i = 0; i < static_cast<std::int64_t>(largeur) * hauteur; ++i) sum += image[i];
    asm volatile("" : : "r"(sum));  // keeps the reads
    return 0;
}
