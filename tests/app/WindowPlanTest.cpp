#include <gtest/gtest.h>

#include <algorithm>
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

std::vector<int> Edges(const TwipsRect& r) {
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

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

TEST_F(WindowPlanTest, ColoursNameASystemColourOrAPlainOne) {
    const ColourRole system = RoleOf(kWindowBackground);
    EXPECT_TRUE(system.system);
    EXPECT_EQ(system.systemIndex, 5);
    const ColourRole plain = RoleOf(0x00C0FF10);
    EXPECT_FALSE(plain.system);
    EXPECT_EQ((std::vector<int>{plain.red, plain.green, plain.blue}),
              (std::vector<int>{0x10, 0xFF, 0xC0}));
}

TEST(ToPixelsTest, EdgesRoundToTheNearestPixel) {
    const std::pair<int, int> twipsAt144[] = {{0, 0}, {14, 1}, {15, 2}, {16, 2}, {7095, 710}};
    for (const auto& [twips, pixels] : twipsAt144) {
        EXPECT_EQ(TwipsToPixels(twips, 144), pixels) << twips;
    }
    EXPECT_EQ(TwipsToPixels(4545, 120), 379);
    EXPECT_EQ(TwipsToPixels(7095, 96), 473);
    const PixelRect rect = ToPixels({15, 15, 15, 15}, 144);
    EXPECT_EQ(rect.width, 1);
}

// Wherever two controls of one container share an edge in twips, they share
// it in pixels too, at any DPI.
TEST(ToPixelsTest, EqualTwipsEdgesStayEqualInPixels) {
    const auto layout = FrmMainLayout();
    for (const int dpi : {96, 100, 110, 120, 144, 168, 192}) {
        for (const ControlLayout& a : layout) {
            for (const ControlLayout& b : layout) {
                if (a.container != b.container) {
                    continue;
                }
                const PixelRect pa = ToPixels(a.rect, dpi);
                const PixelRect pb = ToPixels(b.rect, dpi);
                const std::vector<int> pixelsA = Edges({pa.left, pa.top, pa.width, pa.height});
                const std::vector<int> pixelsB = Edges({pb.left, pb.top, pb.width, pb.height});
                for (std::size_t i = 0; i < 4; ++i) {
                    for (std::size_t j = i % 2; j < 4; j += 2) {
                        if (Edges(a.rect)[i] == Edges(b.rect)[j]) {
                            EXPECT_EQ(pixelsA[i], pixelsB[j]) << dpi;
                        }
                    }
                }
            }
        }
    }
}
