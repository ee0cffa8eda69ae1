#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "Module_SetScreen.h"

namespace Module_SetScreen {

namespace {

// How one channel's entries are mapped: x becomes round((base + factor * x) / 100).
// Darkening has base 0 and factor 100 - |h|; lifting has factor 100 - h and
// base h * 65535, which is 65535 * 100 - factor * 65535 spelled out.
struct ChannelMap {
    float base;
    float factor;
};

ChannelMap MapForHalvedOffset(int h) {
    // Beyond +-100 every darkened entry clamps to 0 and every lifted one to
    // 65535, which is what +-100 itself gives.
    h = std::clamp(h, -100, 100);
    if (h < 0) {
        return {0.0F, static_cast<float>(100 + h)};
    }
    return {static_cast<float>(h) * 65535.0F, static_cast<float>(100 - h)};
}

// Adding 1.5 * 2^23 to a float below 2^22 leaves no bits for a fraction, so
// the sum is rounded to an integer in the default round-to-nearest-even mode;
// subtracting it again gives that integer exactly.
constexpr float kRoundingBias = 12582912.0F;

// Single precision is exact here: base + factor * x is an integer of at most
// 6553500 < 2^24, the quotient by 100 is correctly rounded, a true tie k + 0.5
// is representable, and any other quotient lies at least 0.01 from a tie
// while the float spacing below 65536 is at most 2^-7. The loop has no
// branches so the compiler can vectorise it.
void MapChannel(const RampEntry* captured, RampEntry* result, ChannelMap map) {
    for (std::size_t level = 0; level < kRampLevels; ++level) {
        const auto x = static_cast<float>(WordToLong(captured[level]));
        const float exact = (map.base + map.factor * x) / 100.0F;
        const float rounded = (exact + kRoundingBias) - kRoundingBias;
        result[level] = LongToWord(static_cast<std::int32_t>(rounded));
    }
}

}  // namespace

std::int16_t HalveOffset(std::int16_t offset) {
    const int lower = offset >> 1;  // floor(offset / 2)
    const bool tie = (offset & 1) != 0;
    return static_cast<std::int16_t>(tie && (lower & 1) != 0 ? lower + 1 : lower);
}

GammaRamp BuildWorkRamp(const GammaRamp& captured, std::int16_t red, std::int16_t green,
                        std::int16_t blue) {
    const std::int16_t offsets[kRampChannels] = {red, green, blue};
    GammaRamp result;
    for (std::size_t channel = 0; channel < kRampChannels; ++channel) {
        const std::size_t first = RampIndex(channel, 0);
        const int h = HalveOffset(offsets[channel]);
        if (h == 0) {
            std::copy_n(captured.begin() + first, kRampLevels, result.begin() + first);
        } else {
            MapChannel(captured.data() + first, result.data() + first, MapForHalvedOffset(h));
        }
    }
    return result;
}

}  // namespace Module_SetScreen
