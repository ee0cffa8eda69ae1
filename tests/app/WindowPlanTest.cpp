#include <gtest/gtest.h>

#include <tuple>

#include "Layout.h"

// Edges round to the nearest pixel, halves up, and sizes follow from them:
// at 144 DPI 15 twips is 1.5 pixels, so a square at (15, 15) of side 15
// spans pixels 2..3, one wide, where rounding its size would make it two.
TEST(ToPixelsTest, EdgesRoundToTheNearestPixelAndSizesFollowFromThem) {
    for (const auto& [twips, dpi, edge, size] : {std::tuple{14, 144, 1, 2},
                                                 {15, 144, 2, 1},
                                                 {4545, 120, 379, 379},
                                                 {7095, 96, 473, 473}}) {
        const PixelRect r = ToPixels({twips, twips, twips, twips}, dpi);
        EXPECT_EQ(std::tuple(r.left, r.top, r.width, r.height), std::tuple(edge, edge, size, size))
            << twips << " at " << dpi;
    }
}
