#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "Controls.h"

namespace {

ScrollBar Slider() {
    return {0, 100, 1, 1, 50};
}

}  // namespace

TEST(ScrollBarTest, ADifferentPositionIsStoredRedrawnThenReportedBeforeSetValueReturns) {
    ScrollBar bar = Slider();
    std::vector<std::string> events;
    bar.Redraw = [&] { events.push_back("redraw " + std::to_string(bar.Value())); };
    bar.OnChange = [&] { events.push_back("change " + std::to_string(bar.Value())); };
    bar.SetValue(40);
    events.emplace_back("returned");
    EXPECT_EQ(events, (std::vector<std::string>{"redraw 40", "change 40", "returned"}));
    EXPECT_EQ(bar.Value(), 40);
}

TEST(ScrollBarTest, TheSamePositionRunsNothing) {
    ScrollBar bar = Slider();
    int calls = 0;
    bar.Redraw = [&] { ++calls; };
    bar.OnChange = [&] { ++calls; };
    bar.SetValue(50);
    EXPECT_EQ(calls, 0);
}

TEST(ScrollBarTest, ChangesNestInsideTheAssignmentThatCausedThem) {
    ScrollBar outer = Slider();
    ScrollBar inner = Slider();
    std::vector<std::string> events;
    inner.OnChange = [&] { events.emplace_back("inner"); };
    outer.OnChange = [&] {
        events.emplace_back("outer begins");
        inner.SetValue(outer.Value());
        inner.SetValue(outer.Value());
        events.emplace_back("outer ends");
    };
    outer.SetValue(10);
    EXPECT_EQ(events, (std::vector<std::string>{"outer begins", "inner", "outer ends"}));
    EXPECT_EQ(inner.Value(), 10);
}

struct ClampCase {
    std::int16_t start;
    std::int16_t requested;
    std::int16_t expected;
    int changes;
};

std::ostream& operator<<(std::ostream& out, const ClampCase& c) {
    return out << "from " << c.start << " to " << c.requested;
}

class ScrollBarClampTest : public ::testing::TestWithParam<ClampCase> {};

TEST_P(ScrollBarClampTest, PositionsAreHeldToMinToMax) {
    const ClampCase& c = GetParam();
    ScrollBar bar{0, 100, 1, 1, c.start};
    int changes = 0;
    bar.OnChange = [&] { ++changes; };
    bar.SetValue(c.requested);
    EXPECT_EQ(bar.Value(), c.expected);
    EXPECT_EQ(changes, c.changes);
}

INSTANTIATE_TEST_SUITE_P(Cases, ScrollBarClampTest,
                         ::testing::Values(ClampCase{50, 150, 100, 1}, ClampCase{50, -5, 0, 1},
                                           ClampCase{100, 101, 100, 0}, ClampCase{0, -1, 0, 0},
                                           ClampCase{50, 100, 100, 1}, ClampCase{50, 0, 0, 1},
                                           ClampCase{50, -32768, 0, 1},
                                           ClampCase{50, 32767, 100, 1}));

TEST(ScrollBarTest, KeepsItsRangeAndSteps) {
    const ScrollBar bar{0, 100, 1, 10, 120};
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.SmallChange(), 1);
    EXPECT_EQ(bar.LargeChange(), 10);
    EXPECT_EQ(bar.Value(), 100);
}

TEST(LabelTest, RedrawsOnlyWhenAPropertyReallyChanges) {
    Label label;
    int redraws = 0;
    label.Redraw = [&] { ++redraws; };

    label.SetCaption(L"0");
    label.SetCaption(L"0");
    EXPECT_EQ(redraws, 1);
    EXPECT_EQ(label.Caption(), L"0");

    label.SetBackColor(kYellow);
    label.SetBackColor(kYellow);
    EXPECT_EQ(redraws, 2);
    EXPECT_EQ(label.BackColor(), kYellow);

    label.SetForeColor(kWindowText);
    label.SetForeColor(kWindowText);
    EXPECT_EQ(redraws, 3);
    EXPECT_EQ(label.ForeColor(), kWindowText);

    label.SetVisible(false);
    label.SetVisible(false);
    EXPECT_EQ(redraws, 4);
    EXPECT_FALSE(label.Visible());
}

TEST(FrameTest, VisibilityRedrawsAndTheTagIsNeverDrawn) {
    Frame frame;
    int redraws = 0;
    frame.Redraw = [&] { ++redraws; };
    frame.SetTag(L"1");
    EXPECT_EQ(frame.Tag(), L"1");
    EXPECT_EQ(redraws, 0);
    frame.SetVisible(false);
    frame.SetVisible(false);
    frame.SetVisible(true);
    EXPECT_EQ(redraws, 2);
    EXPECT_TRUE(frame.Visible());
}

TEST(ControlTest, ClickRunsTheHandlerWhenThereIsOne) {
    PushButton button;
    button.Click();
    int clicks = 0;
    button.OnClick = [&] { ++clicks; };
    button.Click();
    button.Click();
    EXPECT_EQ(clicks, 2);
}
