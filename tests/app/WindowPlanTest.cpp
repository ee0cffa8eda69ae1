#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <tuple>
#include <vector>

#include "FakePlatformServices.h"
#include "FrmMain.h"
#include "WindowPlan.h"

namespace {

class WindowPlanTest : public ::testing::Test {
protected:
    const PlannedControl& EntryOf(const Control& control) const {
        return *std::ranges::find(plan, &control, &PlannedControl::control);
    }
    const Control* ContainerOf(const Control& control) const {
        const int container = EntryOf(control).container;
        return container < 0 ? nullptr : plan[static_cast<std::size_t>(container)].control;
    }

    FakePlatformServices platform{"."};
    FrmMain form{platform};
    const std::vector<PlannedControl> plan = PlanWindow(form);
};

}  // namespace

TEST_F(WindowPlanTest, FocusCyclesTheSlidersThenTheButtons) {
    std::vector<const Control*> cycle(6);
    for (const PlannedControl& entry : plan) {
        if (entry.focusPlace >= 0) {
            cycle.at(static_cast<std::size_t>(entry.focusPlace)) = entry.control;
        }
    }
    EXPECT_EQ(cycle, (std::vector<const Control*>{&form.VScrollA[0], &form.VScrollA[1],
                                                  &form.VScrollA[2], &form.VScrollA[3],
                                                  &form.Command2[0], &form.Command2[1]}));
}

TEST_F(WindowPlanTest, OverlappingControlsStackAndNestAsTheWindowNeedsThem) {
    EXPECT_LT(EntryOf(form.Label7).stackPlace, EntryOf(form.Label8).stackPlace);
    EXPECT_LT(EntryOf(form.Command2[1]).stackPlace, EntryOf(form.Command2[0]).stackPlace);
    EXPECT_EQ(ContainerOf(form.Label7), &form.Frame2);
    EXPECT_EQ(ContainerOf(form.Label6[1]), &form.Frame2);
    EXPECT_EQ(ContainerOf(form.VScrollA[3]), &form.Frame1);
    EXPECT_EQ(ContainerOf(form.Frame2), nullptr);
    for (const PlannedControl& entry : plan) {
        EXPECT_LT(entry.container, &entry - plan.data());
    }
}

TEST(ToPixelsTest, EdgesRoundToTheNearestPixel) {
    for (const auto& [twips, dpi, pixels] : {std::tuple{14, 144, 1},
                                             {15, 144, 2},
                                             {16, 144, 2},
                                             {7095, 144, 710},
                                             {4545, 120, 379},
                                             {7095, 96, 473}}) {
        EXPECT_EQ(TwipsToPixels(twips, dpi), pixels) << twips;
    }
}

// Wherever two controls of one container share an edge in twips, they share
// it in pixels too, at any DPI.
TEST(ToPixelsTest, EqualTwipsEdgesStayEqualInPixels) {
    const auto edges = [](const TwipsRect& r) {
        return std::array{r.left, r.top, r.left + r.width, r.top + r.height};
    };
    for (const int dpi : {96, 100, 110, 120, 144, 168, 192}) {
        for (const ControlLayout& a : FrmMainLayout()) {
            for (const ControlLayout& b : FrmMainLayout()) {
                const PixelRect pa = ToPixels(a.rect, dpi);
                const PixelRect pb = ToPixels(b.rect, dpi);
                for (std::size_t i = 0; i < 4 && a.container == b.container; ++i) {
                    for (std::size_t j = i % 2; j < 4; j += 2) {
                        if (edges(a.rect)[i] == edges(b.rect)[j]) {
                            EXPECT_EQ(edges({pa.left, pa.top, pa.width, pa.height})[i],
                                      edges({pb.left, pb.top, pb.width, pb.height})[j]);
                        }
                    }
                }
            }
        }
    }
}
