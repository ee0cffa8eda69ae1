#include <gtest/gtest.h>

#include "Controls.h"

// How a change runs nested within the assignment that caused it is shown by
// the form's action table; here, what a front end may hand a control.
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

// Each redraw costs a native repaint, so only a real change asks for one.
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
