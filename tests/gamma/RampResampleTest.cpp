#include <gtest/gtest.h>

#include <cstddef>
#include <tuple>
#include <vector>

#include "RampResample.h"

// Between neighbours by distance, halves up; the ends land exactly.
TEST(ResampleLevels, BlendsNeighboursByDistanceAndKeepsTheEnds) {
    using Levels = std::vector<RampEntry>;
    // clang-format off
    const std::tuple<Levels, std::size_t, Levels> cases[] = {
        {{0, 1}, 3, {0, 1, 1}}, {{65535, 0}, 3, {65535, 32768, 0}}, {{0, 300, 0}, 5, {0, 150, 300, 150, 0}},
        {{10, 20, 40, 80}, 3, {10, 30, 80}}, {{0, 7, 9, 11, 13, 50, 60, 70, 65535}, 3, {0, 13, 65535}},
        {{}, 3, {0, 0, 0}}, {{5, 9}, 0, {}}, {{777, 9}, 1, {777}}, {{777}, 4, {777, 777, 777, 777}}};
    // clang-format on
    for (const auto& [levels, count, expected] : cases) {
        EXPECT_EQ(ResampleLevels(levels, count), expected) << "to " << count;
    }
}
