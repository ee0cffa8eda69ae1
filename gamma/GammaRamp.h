#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

// A display gamma ramp: 256 levels of red, then 256 of green, then 256 of
// blue, each an unsigned 16-bit intensity from 0 (dark) to 65535 (full).
// Entry (channel c, level i) is at 256 * c + i, the layout the display takes.
using RampEntry = std::uint16_t;

inline constexpr std::size_t kRampLevels = 256;
inline constexpr std::size_t kRampChannels = 3;
inline constexpr std::size_t kRampSize = kRampLevels * kRampChannels;

using GammaRamp = std::array<RampEntry, kRampSize>;

constexpr std::size_t RampIndex(std::size_t channel, std::size_t level) {
    return channel * kRampLevels + level;
}

// The ramp that leaves every colour as it is: level i maps to i * 257, so
// level 0 is black (0) and level 255 is full intensity (65535).
constexpr GammaRamp LinearRamp() {
    GammaRamp ramp{};
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        for (std::size_t level = 0; level < kRampLevels; ++level) {
            ramp[RampIndex(channel, level)] = static_cast<RampEntry>(level * 257);
        }
    }
    return ramp;
}
