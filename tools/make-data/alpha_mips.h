#pragma once

#include <vector>

#include "grid.h"

namespace makedata {

// The full mip chain of an alpha-tested picture, largest first, down to 1 × 1. Each level averages the
// colours of the level above weighted by alpha, then keeps alpha at 0 or 255 with the cut placed so the
// level covers the same share of its area as the top level: a plain average would let the alpha test
// (which passes at 8 of 255) swell distant trees into blobs. Transparent texels take the colour of
// their opaque neighbours, so filtering across the silhouette never pulls in a foreign colour.
std::vector<Image> MakeAlphaTestedMips(const Image& top);

// Gives every transparent texel of an RGBA picture the colour of nearby opaque texels (the mean opaque
// colour beyond a few texels), so that bilinear filtering at the silhouette blends like with like.
void BleedColourIntoTransparent(Image& rgba);

}  // namespace makedata
