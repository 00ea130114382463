#include "terrain/image_pgm.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/win32/diagnostics.h"
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

// Reads one header number; on failure says why (a cut header, a number too large) and returns false.
bool LireNombre(std::FILE* fichier, INT* valeur, const char* nom, const std::string& chemin) {
    if (!AllerAuNombre(fichier)) {
        win32::Diagnose(chemin, std::string("truncated: the file ends before the ") + nom + " in its header");
        return false;
    }
    if (!LireChiffres(fichier, valeur)) {
        win32::Diagnose(chemin, std::string("unsupported header: the ") + nom + " is above 2147483647");
        return false;
    }
    return true;
}

// The bytes left in a regular file, or nothing when its size is not known in advance (a pipe).
bool OctetsRestants(std::FILE* fichier, std::size_t* restants) {
    struct stat etat {};
    const long position = std::ftell(fichier);
    if (fstat(fileno(fichier), &etat) != 0 || !S_ISREG(etat.st_mode) || position < 0) return false;
    *restants = etat.st_size > position ? static_cast<std::size_t>(etat.st_size - position) : 0;
    return true;
}

// Reads up to `taille` samples. A regular file gets one allocation of what it can fill; any other
// grows block by block, so that either way memory follows the bytes actually there.
std::vector<BYTE> LireEchantillons(std::FILE* fichier, std::size_t taille) {
    std::vector<BYTE> lus;
    std::size_t restants = 0;
    if (OctetsRestants(fichier, &restants)) {
        lus.resize(std::min(taille, restants));
        lus.resize(std::fread(lus.data(), 1, lus.size(), fichier));
        return lus;
    }
    constexpr std::size_t kBloc = 1 << 20;
    while (lus.size() < taille) {
        const std::size_t avant = lus.size();
        lus.resize(avant + std::min(kBloc, taille - avant));
        const std::size_t bloc = lus.size() - avant;
        const std::size_t recus = std::fread(lus.data() + avant, 1, bloc, fichier);
        lus.resize(avant + recus);
        if (recus < bloc) break;
    }
    lus.shrink_to_fit();
    return lus;
}

std::string Taille(INT largeur, INT hauteur) { return std::to_string(largeur) + " x " + std::to_string(hauteur); }

}  // namespace

ImageGrise ChargerPGM(const char* fichier, INT* largeur, INT* hauteur) {
    const std::string chemin = win32::PlatformPath(fichier);
    Fichier entree(std::fopen(chemin.c_str(), "rb"));
    if (!entree) {
        const int erreur = errno;
        win32::Diagnose(chemin,
                        erreur == ENOENT ? "not found" : std::string("cannot be opened: ") + std::strerror(erreur));
        MessageBoxA(nullptr, "Image non trouvée.", "Erreur", MB_ICONWARNING);
        return {};
    }
    const int p = std::getc(entree.get());
    const int cinq = p == 'P' ? std::getc(entree.get()) : EOF;
    if (p != 'P' || cinq != '5') {
        if (std::ferror(entree.get()))
            win32::Diagnose(chemin, std::string("cannot be read: ") + std::strerror(errno));
        else
            win32::Diagnose(chemin, "not a binary grey-level image (it does not begin with P5)");
        return {};
    }

    INT maximum = 0;
    if (!LireNombre(entree.get(), largeur, "width", chemin) || !LireNombre(entree.get(), hauteur, "height", chemin) ||
        !LireNombre(entree.get(), &maximum, "maximum grey value", chemin))
        return {};

    // The product is formed in 64 bits, so that a header such as 65536 × 65536 cannot wrap.
    const std::int64_t taille = static_cast<std::int64_t>(*largeur) * *hauteur;
    if (taille > INT32_MAX) {
        win32::Diagnose(chemin, "unsupported size " + Taille(*largeur, *hauteur) +
                                    ": width x height must not exceed 2147483647 samples");
        return {};
    }

    std::getc(entree.get());  // the one separator after the maximum, whatever it is
    std::vector<BYTE> lus = LireEchantillons(entree.get(), static_cast<std::size_t>(taille));
    if (lus.size() < static_cast<std::size_t>(taille))
        win32::Diagnose(chemin, "truncated: " + std::to_string(lus.size()) + " of the " + std::to_string(taille) +
                                    " samples of a " + Taille(*largeur, *hauteur) + " image; the rest read as 0");
    return ImageGrise(std::move(lus), static_cast<std::size_t>(taille));
}
