#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Module_SetScreen.h"
#include "Reference.h"

// The reference gives the worked values; BuildWorkRamp matches it for every
// intensity in each channel under every offset whose half is -102..102 and
// the ends of the 16-bit range, each channel with an offset of its own.
TEST(BuildWorkRamp, MatchesTheWorkedValuesAndTheReferenceForEveryIntensityAndOffset) {
    const int workedOffsets[] = {-100, -2, 0, 2, 100};
    const int worked[][6] = {{0, 0, 0, 0, 655, 32768},
                             {1, 0, 1, 1, 656, 32768},
                             {3, 2, 3, 3, 658, 32769},
                             {257, 128, 254, 257, 910, 32896},
                             {32768, 16384, 32440, 32768, 33096, 49152},
                             {65280, 32640, 64627, 65280, 65283, 65408},
                             {65534, 32767, 64879, 65534, 65534, 65534},
                             {65535, 32768, 64880, 65535, 65535, 65535}};
    for (const auto& row : worked) {
        for (int column = 1; column < 6; ++column) {
            EXPECT_EQ(ReferenceIntensity(row[0], workedOffsets[column - 1]), row[column]);
        }
    }
    std::vector<int> offsets = {-32768, 32767};
    for (int offset = -205; offset <= 205; ++offset) {
        offsets.push_back(offset);
    }
    for (const int offset : offsets) {
        const std::int16_t o[kRampChannels] = {static_cast<std::int16_t>(offset),
                                               static_cast<std::int16_t>(~offset),
                                               static_cast<std::int16_t>(offset / 3)};
        for (int first = 0; first <= 65535; first += static_cast<int>(kRampLevels)) {
            GammaRamp captured;
            GammaRamp expected;
            for (std::size_t i = 0; i < kRampSize; ++i) {
                captured[i] = static_cast<RampEntry>(first + static_cast<int>(i % kRampLevels));
                expected[i] =
                    static_cast<RampEntry>(ReferenceIntensity(captured[i], o[i / kRampLevels]));
            }
            ASSERT_EQ(Module_SetScreen::BuildWorkRamp(captured, o[0], o[1], o[2]), expected)
                << "offset " << offset << ", intensities from " << first;
        }
    }
}
