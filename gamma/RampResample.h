#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "GammaRamp.h"

// One channel's curve given at `levels.size()` evenly spaced levels, sampled
// again at `count` evenly spaced levels by linear interpolation between the
// two nearest given levels, rounded to the nearest intensity (halves up).
// The first and last levels map onto each other exactly, and a count equal to
// the given size returns the curve unchanged. A display whose gamma table is
// not 256 levels long gets and gives its ramp through this.
// An empty curve gives `count` zeros; a count of 1 gives the first level.
std::vector<RampEntry> ResampleLevels(std::span<const RampEntry> levels, std::size_t count);
