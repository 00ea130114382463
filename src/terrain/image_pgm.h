#pragma once
// The reader of binary grey-level images (magic "P5"): the terrain takes its relief from one,
// the tree placement its density map from another.

#include <cstddef>
#include <vector>

#include "platform/win32/win_types.h"

// A grey-level image as read: width × height samples, one byte each, the first row first. Only the
// samples the file holds take memory; those past the end of a short file read as 0. So a header
// that announces two thousand million pixels over a file of a few bytes costs a few bytes.
class ImageGrise {
public:
    ImageGrise() = default;
    ImageGrise(std::vector<BYTE> lus, std::size_t taille) : lus_(std::move(lus)), taille_(taille), valide_(true) {}

    // False for the image of a file that could not be read.
    explicit operator bool() const { return valide_; }
    // width × height.
    std::size_t Taille() const { return taille_; }
    // The samples the file held, the first NbLus() of the image.
    std::size_t NbLus() const { return lus_.size(); }
    const BYTE* Lus() const { return lus_.data(); }

    BYTE operator[](std::size_t indice) const { return indice < lus_.size() ? lus_[indice] : 0; }
    // Sets a sample the file held (indice below NbLus()); the others stay 0.
    void Ecrire(std::size_t indice, BYTE valeur) {
        if (indice < lus_.size()) lus_[indice] = valeur;
    }

private:
    std::vector<BYTE> lus_;
    std::size_t taille_ = 0;
    bool valide_ = false;
};

// Reads the image. The maximum grey value is read and ignored: every sample is one byte. Any size
// is accepted whose width × height fits an INT; samples missing at the end of the file are zeros
// (and said on standard error).
//
// Returns an empty image when the file cannot be opened (after telling the user "Image non
// trouvée."), when its first two bytes are not "P5", when the file ends before the three numbers
// of the header, when a number does not fit an INT, or when width × height does not. Only the
// first case shows a box; every case names the file and the reason on standard error.
//
// largeur and hauteur receive each dimension as soon as it is read; they are left untouched when
// the file cannot be opened or is not a binary grey-level image. The name may use '\'.
ImageGrise ChargerPGM(const char* fichier, INT* largeur, INT* hauteur);
