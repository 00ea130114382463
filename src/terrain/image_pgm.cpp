#include "terrain/image_pgm.h"

#include <cstdint>
#include <cstdio>

#include "platform/win32/paths.h"
#include "platform/win32/windows_api.h"

namespace {

struct FermerFichier {
    void operator()(std::FILE* fichier) const { std::fclose(fichier); }
};
using Fichier = std::unique_ptr<std::FILE, FermerFichier>;

bool EstChiffre(int c) { return c >= '0' && c <= '9'; }

// Skips every byte that is not a digit, and every comment from '#' through its line feed, and
// leaves the first digit of the number in the stream. False when the file ends first.
bool AllerAuNombre(std::FILE* fichier) {
    for (;;) {
        int c = std::getc(fichier);
        if (c == '#') {
            do c = std::getc(fichier);
            while (c != '\n' && c != EOF);
        }
        if (c == EOF) return false;
        if (EstChiffre(c)) {
            std::ungetc(c, fichier);
            return true;
        }
    }
}

// Reads the longest run of digits and leaves the byte after it in the stream, as a formatted
// read would; unlike one, it refuses a run that does not fit an INT instead of wrapping.
bool LireChiffres(std::FILE* fichier, INT* valeur) {
    std::int64_t nombre = 0;
    int c;
    while (EstChiffre(c = std::getc(fichier))) {
        nombre = nombre * 10 + (c - '0');
        if (nombre > INT32_MAX) return false;
    }
    if (c != EOF) std::ungetc(c, fichier);
    *valeur = static_cast<INT>(nombre);
    return true;
}

bool LireNombre(std::FILE* fichier, INT* valeur) { return AllerAuNombre(fichier) && LireChiffres(fichier, valeur); }

}  // namespace

std::unique_ptr<BYTE[]> ChargerPGM(const char* fichier, INT* largeur, INT* hauteur) {
    Fichier entree(std::fopen(win32::PlatformPath(fichier).c_str(), "rb"));
    if (!entree) {
        MessageBoxA(nullptr, "Image non trouvée.", "Erreur", MB_ICONWARNING);
        return nullptr;
    }
    if (std::getc(entree.get()) != 'P' || std::getc(entree.get()) != '5') return nullptr;

    INT maximum = 0;
    if (!LireNombre(entree.get(), largeur) || !LireNombre(entree.get(), hauteur) || !LireNombre(entree.get(), &maximum))
        return nullptr;

    // In 64 bits, so that a header such as 65536 × 65536 cannot wrap to a small allocation.
    const std::int64_t taille = static_cast<std::int64_t>(*largeur) * *hauteur;
    if (taille > kPixelsPgmMax) return nullptr;

    auto echantillons = std::make_unique<BYTE[]>(static_cast<std::size_t>(taille));  // zeroed
    std::getc(entree.get());  // the one separator after the maximum, whatever it is
    std::fread(echantillons.get(), 1, static_cast<std::size_t>(taille), entree.get());
    return echantillons;
}
