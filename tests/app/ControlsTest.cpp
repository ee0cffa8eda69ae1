#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "Controls.h"

TEST(ScrollBarTest, ADifferentPositionIsRedrawnThenReportedNestedBeforeSetValueReturns) {
    ScrollBar outer{0, 100, 1, 1, 50};
    ScrollBar inner{0, 100, 1, 1, 50};
    std::vector<std::string> events;
    outer.Redraw = [&] { events.push_back("redraw " + std::to_string(outer.Value())); };
    inner.OnChange = [&] { events.emplace_back("inner"); };
    outer.OnChange = [&] {
        events.emplace_back("outer");
        inner.SetValue(outer.Value());
        inner.SetValue(outer.Value());
    };
    outer.SetValue(10);
    outer.SetValue(10);
    events.emplace_back("returned");
    EXPECT_EQ(events, (std::vector<std::string>{"redraw 10", "outer", "inner", "returned"}));
}

TEST(ScrollBarTest, PositionsAreHeldToTheRange) {
    struct Case {
        std::int16_t start, requested, expected;
        int changes;
    };
    for (const Case& c : {Case{50, 150, 100, 1}, Case{50, -32768, 0, 1}, Case{100, 101, 100, 0},
                          Case{0, -1, 0, 0}}) {
        ScrollBar bar{0, 100, 1, 1, c.start};
        int changes = 0;
        bar.OnChange = [&] { ++changes; };
        bar.SetValue(c.requested);
        EXPECT_EQ(bar.Value(), c.expected);
        EXPECT_EQ(changes, c.changes);
    }
}

TEST(LabelTest, RedrawsOnlyWhenAPropertyReallyChanges) {
    Label label;
    int redraws = 0;
    label.Redraw = [&] { ++redraws; };
    for (int twice = 0; twice < 2; ++twice) {
        label.SetCaption(L"0");
        label.SetBackColor(kYellow);
        label.SetForeColor(kWindowText);
        label.SetVisible(false);
    }
    EXPECT_EQ(redraws, 4);
}
