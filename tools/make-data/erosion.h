#pragma once

#include "grid.h"

namespace makedata {

// Fluvial erosion by the stream-power law: water from every cell runs downhill, split among the lower
// neighbours by steepness, and each cell is worn down by K × sqrt(upstream area) × slope. Channels that
// gather much water cut deep and branch upstream into a dendritic network while the ridges between them
// stay sharp, which is what weathered hills look like. A little slope diffusion rounds the cuts.
// Heights are in [0, 1] for the full relief; distances are in cells.
struct ErosionSettings {
    int iterations = 24;
    double incision = 0.05;  // K
    double creep = 0.015;    // diffusion per iteration, 0 to 0.25
};

void ErodeByStreams(FloatGrid& heights, const ErosionSettings& settings = {});

}  // namespace makedata
