// The ground height under a world position, read from the main-memory grid.

#include "terrain/heighmap.h"

// fx and fz are the position in columns and rows. They are truncated towards zero, not floored,
// so up to one spacing before the low edges falls into the first cell with a negative fraction
// and gets that cell's heights extended; the last column and row themselves already answer 0.
// The range is checked on the floats, before truncation, so that a far or NaN position never
// reaches a float-to-integer conversion that cannot hold it.
float HeighMap::Altitude(float x, float z) const {
    if (!sommets) return 0.0f;
    const float fx = (static_cast<float>(nbColonnes) * pasX * 0.5f + x) / pasX;
    const float fz = (static_cast<float>(nbLignes) * pasZ * 0.5f + z) / pasZ;
    const bool dansLaGrille =
        fx > -1.0f && fx < static_cast<float>(nbColonnes - 1) && fz > -1.0f && fz < static_cast<float>(nbLignes - 1);
    if (!dansLaGrille) return 0.0f;

    const INT ix = static_cast<INT>(fx);
    const INT iz = static_cast<INT>(fz);
    const float u = fx - static_cast<float>(ix);
    const float v = fz - static_cast<float>(iz);
    auto h = [&](INT r, INT c) { return sommets[r * nbColonnes + c].position.y; };
    return (1.0f - u) * (1.0f - v) * h(iz, ix) + u * (1.0f - v) * h(iz, ix + 1) + (1.0f - u) * v * h(iz + 1, ix) +
           u * v * h(iz + 1, ix + 1);
}
