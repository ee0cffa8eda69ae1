#pragma once

#include <algorithm>
#include <cmath>
#include <cstdlib>

// The ramp rule written out plainly in double precision: halve the offset
// (ties to even), darken or lift, round (ties to even), keep within 0..65535.
inline int ReferenceIntensity(int x, int offset) {
    const int h = static_cast<int>(std::nearbyint(offset / 2.0));
    const double exact =
        h < 0 ? (100.0 + h) * x / 100.0 : 65535.0 - (100.0 - h) * (65535 - x) / 100.0;
    return std::clamp(static_cast<int>(std::nearbyint(exact)), 0, 65535);
}
