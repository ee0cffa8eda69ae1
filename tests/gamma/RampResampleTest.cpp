#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "RampResample.h"

namespace {

std::vector<RampEntry> LinearChannel() {
    const GammaRamp linear = LinearRamp();
    return {linear.begin(), linear.begin() + kRampLevels};
}

// A curve with no straight stretch, so interpolation errors show.
std::vector<RampEntry> CurvedChannel(std::size_t levels) {
    std::vector<RampEntry> curve(levels);
    for (std::size_t i = 0; i < levels; ++i) {
        const std::uint64_t scaled = i * 65535 / (levels - 1);
        curve[i] = static_cast<RampEntry>(scaled * scaled / 65535);
    }
    curve.back() = 65000;
    return curve;
}

// x / d rounded to the nearest integer, halves up.
std::uint64_t RoundedQuotient(std::uint64_t x, std::uint64_t d) {
    return (2 * x + d) / (2 * d);
}

class ResampleSizes : public ::testing::TestWithParam<std::size_t> {};

}  // namespace

TEST_P(ResampleSizes, KeepsBothEndsExactly) {
    const auto curve = CurvedChannel(kRampLevels);
    const auto resampled = ResampleLevels(curve, GetParam());
    ASSERT_EQ(resampled.size(), GetParam());
    EXPECT_EQ(resampled.front(), curve.front());
    EXPECT_EQ(resampled.back(), curve.back());
}

TEST_P(ResampleSizes, AStraightRampStaysStraight) {
    const std::size_t count = GetParam();
    const auto resampled = ResampleLevels(LinearChannel(), count);
    for (std::size_t j = 0; j < count; ++j) {
        ASSERT_EQ(resampled[j], RoundedQuotient(65535 * j, count - 1)) << "level " << j;
    }
}

TEST_P(ResampleSizes, AStraightRampComesBackWithinOneStep) {
    const std::size_t count = GetParam();
    std::vector<RampEntry> device(count);
    for (std::size_t j = 0; j < count; ++j) {
        device[j] = static_cast<RampEntry>(RoundedQuotient(65535 * j, count - 1));
    }
    const auto back = ResampleLevels(device, kRampLevels);
    const auto linear = LinearChannel();
    for (std::size_t i = 0; i < kRampLevels; ++i) {
        // Each level falls between two device levels that are themselves
        // within half a step of the straight line.
        ASSERT_NEAR(back[i], linear[i], 1) << "level " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(DeviceSizes, ResampleSizes,
                         ::testing::Values(2, 16, 255, 256, 257, 1024, 4096));

TEST(ResampleLevels, SameSizeIsTheIdentity) {
    const auto curve = CurvedChannel(kRampLevels);
    EXPECT_EQ(ResampleLevels(curve, kRampLevels), curve);
    const auto longCurve = CurvedChannel(4096);
    EXPECT_EQ(ResampleLevels(longCurve, 4096), longCurve);
}

TEST(ResampleLevels, DoublingInsertsRoundedMidpoints) {
    const auto curve = CurvedChannel(kRampLevels);
    const auto doubled = ResampleLevels(curve, 2 * kRampLevels - 1);
    for (std::size_t i = 0; i < kRampLevels; ++i) {
        ASSERT_EQ(doubled[2 * i], curve[i]);
        if (i + 1 < kRampLevels) {
            ASSERT_EQ(doubled[2 * i + 1], RoundedQuotient(curve[i] + curve[i + 1], 2));
        }
    }
}

TEST(ResampleLevels, ShrinkingByAWholeStepPicksLevels) {
    // 1021 levels have 1020 steps, four to each of the 255 steps of 256 levels.
    const auto curve = CurvedChannel(1021);
    const auto shrunk = ResampleLevels(curve, kRampLevels);
    for (std::size_t i = 0; i < kRampLevels; ++i) {
        ASSERT_EQ(shrunk[i], curve[4 * i]) << "level " << i;
    }
}

TEST(ResampleLevels, BlendsByDistanceAndRoundsHalvesUp) {
    const struct {
        std::vector<RampEntry> levels;
        std::size_t count;
        std::vector<RampEntry> expected;
    } cases[] = {
        {{0, 1}, 3, {0, 1, 1}},
        {{0, 65535}, 4, {0, 21845, 43690, 65535}},
        {{65535, 0}, 3, {65535, 32768, 0}},
        {{0, 300, 0}, 5, {0, 150, 300, 150, 0}},
        {{10, 20, 40, 80}, 3, {10, 30, 80}},
        {{0, 1000}, 6, {0, 200, 400, 600, 800, 1000}},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ResampleLevels(c.levels, c.count), c.expected) << "to " << c.count;
    }
}

TEST(ResampleLevels, DegenerateSizesDoNotFail) {
    const std::vector<RampEntry> none;
    EXPECT_EQ(ResampleLevels(none, 3), (std::vector<RampEntry>{0, 0, 0}));
    EXPECT_TRUE(ResampleLevels(LinearChannel(), 0).empty());
    EXPECT_EQ(ResampleLevels(CurvedChannel(16), 1), (std::vector<RampEntry>{0}));
    EXPECT_EQ(ResampleLevels(std::vector<RampEntry>{777}, 4),
              (std::vector<RampEntry>{777, 777, 777, 777}));
}
