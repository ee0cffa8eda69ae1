#include "RampResample.h"

#include <cstdint>

std::vector<RampEntry> ResampleLevels(std::span<const RampEntry> levels, std::size_t count) {
    if (count == levels.size()) {
        return {levels.begin(), levels.end()};
    }
    std::vector<RampEntry> resampled(count, 0);
    if (levels.empty()) {
        return resampled;
    }
    if (count == 1) {
        resampled[0] = levels.front();
        return resampled;
    }
    // Output level j sits at j * (n - 1) / (count - 1) on the given curve. With
    // that position kept as a whole part and a remainder over count - 1, the
    // blend of the two neighbours stays in integers and is rounded once.
    const std::uint64_t lastGiven = levels.size() - 1;
    const std::uint64_t steps = count - 1;
    for (std::uint64_t j = 0; j < count; ++j) {
        const std::uint64_t position = j * lastGiven;
        const std::uint64_t below = position / steps;
        const std::uint64_t remainder = position % steps;
        const std::uint64_t low = levels[below];
        const std::uint64_t high = remainder == 0 ? low : levels[below + 1];
        const std::uint64_t blended = low * (steps - remainder) + high * remainder;
        resampled[j] = static_cast<RampEntry>((blended + steps / 2) / steps);
    }
    return resampled;
}
