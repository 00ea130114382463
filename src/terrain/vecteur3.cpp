#include "terrain/vecteur3.h"

#include <cmath>

Vecteur3& Vecteur3::ProduitVectoriel(Vecteur3& out, const Vecteur3& autre) const {
    const float px = y * autre.z - z * autre.y;
    const float py = z * autre.x - x * autre.z;
    const float pz = x * autre.y - y * autre.x;
    out.x = px;
    out.y = py;
    out.z = pz;
    return out;
}

void Vecteur3::Normaliser() {
    const float longueur = std::sqrt(x * x + y * y + z * z);
    if (longueur == 0.0f) {
        x = y = z = 0.0f;
        return;
    }
    x /= longueur;
    y /= longueur;
    z /= longueur;
}
