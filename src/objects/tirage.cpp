#include "objects/tirage.h"

INT GenerateurCongruentiel::Suivant() {
    etat_ = etat_ * 214013u + 2531011u;
    return static_cast<INT>((etat_ >> 16) & 0x7FFFu);
}

GenerateurCongruentiel& GenerateurDesPositions() {
    static GenerateurCongruentiel generateur;
    return generateur;
}

INT IndiceTire(INT tirage, INT taille) {
    // Rounded to float on purpose: the float nearest 1/32767 lies just below it.
    constexpr float kEchelle = 1.0f / static_cast<float>(kTirageMax);
    // Formed in double so that the product for the largest draw cannot round up to `taille`.
    return static_cast<INT>(static_cast<double>(tirage) * static_cast<double>(kEchelle) * static_cast<double>(taille));
}
