#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "Module_SetScreen.h"
#include "Reference.h"

using Module_SetScreen::BuildWorkRamp;

// The worked values: a captured intensity, then what the offsets -100, -2,
// 0, 2 and 100 make of it.
TEST(BuildWorkRamp, GivesTheWorkedValues) {
    const std::int16_t offsets[] = {-100, -2, 0, 2, 100};
    const int rows[][6] = {{0, 0, 0, 0, 655, 32768},
                           {1, 0, 1, 1, 656, 32768},
                           {3, 2, 3, 3, 658, 32769},
                           {257, 128, 254, 257, 910, 32896},
                           {32768, 16384, 32440, 32768, 33096, 49152},
                           {65280, 32640, 64627, 65280, 65283, 65408},
                           {65534, 32767, 64879, 65534, 65534, 65534},
                           {65535, 32768, 64880, 65535, 65535, 65535}};
    for (const auto& row : rows) {
        GammaRamp captured;
        captured.fill(static_cast<RampEntry>(row[0]));
        for (int column = 0; column < 5; ++column) {
            GammaRamp expected;
            expected.fill(static_cast<RampEntry>(row[column + 1]));
            const std::int16_t o = offsets[column];
            EXPECT_EQ(BuildWorkRamp(captured, o, o, o), expected) << row[0] << ", offset " << o;
        }
    }
}

// Every captured intensity in every channel against the reference, under
// every offset whose half is -102..102 (the sliders' even ones, the odd ones
// of a hand-edited preset, the halves 51..99 and those beyond 100, which
// clamp) and the ends of the 16-bit range; each channel its own offset.
TEST(BuildWorkRamp, MatchesTheReferenceForEveryIntensityAndOffset) {
    std::vector<int> offsets = {-32768, 32767};
    for (int offset = -205; offset <= 205; ++offset) {
        offsets.push_back(offset);
    }
    for (const int offset : offsets) {
        const int channelOffsets[kRampChannels] = {offset, ~offset, offset / 3};
        int mismatches = 0;
        for (int first = 0; first <= 65535; first += static_cast<int>(kRampLevels)) {
            GammaRamp captured;
            for (std::size_t i = 0; i < kRampSize; ++i) {
                captured[i] = static_cast<RampEntry>(first + static_cast<int>(i % kRampLevels));
            }
            const GammaRamp built = BuildWorkRamp(captured, static_cast<std::int16_t>(offset),
                                                  static_cast<std::int16_t>(~offset),
                                                  static_cast<std::int16_t>(offset / 3));
            for (std::size_t i = 0; i < kRampSize; ++i) {
                const int channelOffset = channelOffsets[i / kRampLevels];
                const int expected = ReferenceIntensity(captured[i], channelOffset);
                if (built[i] != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << "offset " << channelOffset << ", captured " << captured[i]
                                  << ": built " << built[i] << ", expected " << expected;
                }
            }
        }
        ASSERT_EQ(mismatches, 0) << "offset " << offset;
    }
}
