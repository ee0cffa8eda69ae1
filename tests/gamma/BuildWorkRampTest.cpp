#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>

#include "Module_SetScreen.h"

using Module_SetScreen::BuildWorkRamp;
using Module_SetScreen::HalveOffset;

namespace {

// The rule written out plainly in double precision: halve with ties to even,
// then scale, each result rounded to nearest with ties to even.
int ReferenceIntensity(int x, int offset) {
    const int h = static_cast<int>(std::nearbyint(offset / 2.0));
    if (h == 0) {
        return x;
    }
    const double exact =
        h < 0 ? (100 - std::abs(h)) * x / 100.0 : 65535.0 - (100 - h) * (65535 - x) / 100.0;
    return static_cast<int>(std::nearbyint(exact));
}

GammaRamp FilledRamp(RampEntry value) {
    GammaRamp ramp;
    ramp.fill(value);
    return ramp;
}

}  // namespace

TEST(HalveOffset, RoundsHalvesToTheEvenNeighbour) {
    const struct {
        std::int16_t offset;
        std::int16_t half;
    } cases[] = {{0, 0},    {1, 0},      {-1, 0},        {2, 1},          {-2, -1},
                 {3, 2},    {5, 2},      {-3, -2},       {-5, -2},        {7, 4},
                 {-7, -4},  {99, 50},    {-99, -50},     {100, 50},       {-100, -50},
                 {101, 50}, {-101, -50}, {32767, 16384}, {-32768, -16384}};
    for (const auto& c : cases) {
        EXPECT_EQ(HalveOffset(c.offset), c.half) << "offset " << c.offset;
    }
}

// The worked values: a captured intensity and what each offset makes of it.
TEST(BuildWorkRamp, GivesTheWorkedValues) {
    const std::int16_t offsets[] = {-100, -2, 0, 2, 100};
    const struct {
        RampEntry captured;
        RampEntry expected[5];
    } rows[] = {
        {0, {0, 0, 0, 655, 32768}},
        {1, {0, 1, 1, 656, 32768}},
        {3, {2, 3, 3, 658, 32769}},
        {257, {128, 254, 257, 910, 32896}},
        {32768, {16384, 32440, 32768, 33096, 49152}},
        {65280, {32640, 64627, 65280, 65283, 65408}},
        {65534, {32767, 64879, 65534, 65534, 65534}},
        {65535, {32768, 64880, 65535, 65535, 65535}},
    };
    for (const auto& row : rows) {
        for (int column = 0; column < 5; ++column) {
            const std::int16_t offset = offsets[column];
            const GammaRamp built = BuildWorkRamp(FilledRamp(row.captured), offset, offset, offset);
            for (const RampEntry entry : built) {
                ASSERT_EQ(entry, row.expected[column])
                    << "captured " << row.captured << ", offset " << offset;
            }
        }
    }
}

TEST(BuildWorkRamp, EachChannelFollowsOnlyItsOwnOffset) {
    const GammaRamp captured = LinearRamp();
    const GammaRamp built = BuildWorkRamp(captured, -100, 0, 100);
    for (std::size_t level = 0; level < kRampLevels; ++level) {
        const int x = captured[RampIndex(0, level)];
        EXPECT_EQ(built[RampIndex(0, level)], ReferenceIntensity(x, -100)) << level;
        EXPECT_EQ(built[RampIndex(1, level)], x) << level;
        EXPECT_EQ(built[RampIndex(2, level)], ReferenceIntensity(x, 100)) << level;
    }
    EXPECT_EQ(built[RampIndex(0, 255)], 32768);
    EXPECT_EQ(built[RampIndex(2, 0)], 32768);
    EXPECT_EQ(built[RampIndex(2, 255)], 65535);
}

TEST(BuildWorkRamp, OddOffsetsActLikeTheirEvenNeighbour) {
    const GammaRamp captured = LinearRamp();
    const struct {
        std::int16_t odd;
        std::int16_t even;
    } pairs[] = {{1, 0}, {-1, 0}, {3, 4}, {5, 4}, {-3, -4}, {-5, -4}, {99, 100}, {-99, -100}};
    for (const auto& pair : pairs) {
        EXPECT_EQ(BuildWorkRamp(captured, pair.odd, pair.odd, pair.odd),
                  BuildWorkRamp(captured, pair.even, pair.even, pair.even))
            << "offset " << pair.odd;
    }
}

TEST(BuildWorkRamp, ZeroOffsetsCopyTheCapturedRampBitForBit) {
    GammaRamp captured;
    for (std::size_t i = 0; i < kRampSize; ++i) {
        captured[i] = static_cast<RampEntry>((i * 40503U) ^ 0xA5A5U);
    }
    EXPECT_EQ(BuildWorkRamp(captured, 0, 0, 0), captured);
}

TEST(BuildWorkRamp, OffsetsBeyondTheSliderRangeClampToDarkAndFull) {
    const GammaRamp captured = LinearRamp();
    const struct {
        std::int16_t offset;
        RampEntry everyEntry;
    } cases[] = {{-200, 0}, {-1000, 0}, {-32768, 0}, {200, 65535}, {1000, 65535}, {32767, 65535}};
    for (const auto& c : cases) {
        EXPECT_EQ(BuildWorkRamp(captured, c.offset, c.offset, c.offset), FilledRamp(c.everyEntry))
            << "offset " << c.offset;
    }
}

// Every captured intensity under every offset the sliders can produce (and
// the odd ones a hand-edited preset can) against the plain reference.
TEST(BuildWorkRamp, MatchesTheReferenceForEveryIntensityAndOffset) {
    for (int offset = -101; offset <= 101; ++offset) {
        const auto o = static_cast<std::int16_t>(offset);
        int mismatches = 0;
        for (int first = 0; first <= 65535; first += static_cast<int>(kRampSize)) {
            GammaRamp captured;
            for (std::size_t i = 0; i < kRampSize; ++i) {
                captured[i] = static_cast<RampEntry>((first + static_cast<int>(i)) & 0xFFFF);
            }
            const GammaRamp built = BuildWorkRamp(captured, o, o, o);
            for (std::size_t i = 0; i < kRampSize; ++i) {
                const int expected = ReferenceIntensity(captured[i], offset);
                if (built[i] != expected && ++mismatches <= 5) {
                    ADD_FAILURE() << "offset " << offset << ", captured " << captured[i]
                                  << ": built " << built[i] << ", expected " << expected;
                }
            }
        }
        ASSERT_EQ(mismatches, 0) << "offset " << offset;
    }
}
