#pragma once
// The small vector the terrain computes its lighting normals with. A plain record of three
// floats, so that it can sit inside the vertex record the device reads.

struct Vecteur3 {
    float x = 0.0f;
    float y = 0.0f;
    float z = 0.0f;

    // Writes this × autre into out and returns out. Every component is computed before any is
    // stored, so out may be this vector or autre.
    Vecteur3& ProduitVectoriel(Vecteur3& out, const Vecteur3& autre) const;

    // Scales to unit length; a vector of length exactly 0 becomes (0, 0, 0) instead of NaNs.
    void Normaliser();

    Vecteur3 operator-(const Vecteur3& v) const { return {x - v.x, y - v.y, z - v.z}; }
    Vecteur3& operator+=(const Vecteur3& v) {
        x += v.x;
        y += v.y;
        z += v.z;
        return *this;
    }
};
