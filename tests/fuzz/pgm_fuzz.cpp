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
    const ImageGrise image = ChargerPGM(name.c_str(), &largeur, &hauteur);
    if (!image) return 0;
    if (largeur < 0 || hauteur < 0 || image.Taille() != static_cast<std::size_t>(largeur) * hauteur) std::abort();
    // Memory follows the file: never more samples held than it had bytes.
    if (image.NbLus() > image.Taille() || image.NbLus() > size) std::abort();
    // The caller may read every held sample (the sanitizer checks they exist); the rest read as 0.
    unsigned sum = 0;
    for (std::size_t i = 0; i < image.NbLus(); ++i) sum += image.Lus()[i];
    if (image.Taille() > image.NbLus() && image[image.Taille() - 1] != 0) std::abort();
    asm volatile("" : : "r"(sum));  // keeps the reads
    return 0;
}
