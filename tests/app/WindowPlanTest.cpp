#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "FakePlatformServices.h"
#include "FrmMain.h"
#include "WindowPlan.h"

// A front end builds the controls in plan order, so a container must come
// before what it holds.
TEST(WindowPlanTest, FocusCyclesTheSlidersThenTheButtonsAndContainersComeFirst) {
    FakePlatformServices platform{"."};
    FrmMain form{platform};
    const std::vector<PlannedControl> plan = PlanWindow(form);
    std::vector<const Control*> cycle(6);
    for (const PlannedControl& entry : plan) {
        EXPECT_LT(entry.container, &entry - plan.data());
        if (entry.focusPlace >= 0) {
            cycle.at(static_cast<std::size_t>(entry.focusPlace)) = entry.control;
        }
    }
    EXPECT_EQ(cycle, (std::vector<const Control*>{&form.VScrollA[0], &form.VScrollA[1],
                                                  &form.VScrollA[2], &form.VScrollA[3],
                                                  &form.Command2[0], &form.Command2[1]}));
}

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
