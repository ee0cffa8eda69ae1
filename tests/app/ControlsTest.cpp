#include <gtest/gtest.h>

#include "Controls.h"

// A front end may hand a scroll bar any position (the Windows one steps
// below 0 on an up-arrow at the top); the bar holds it to its range and
// reports a change only when its position really changes. How a change
// runs nested within the assignment that caused it is shown by the form's
// action table.
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
