#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DesktopDisplays.h"

TEST(DesktopDisplays, TakesThoseOnTheDesktopThePrimaryFirst) {
    const std::vector<DisplayEntry> entries = {{L"1", true, false, false},
                                               {L"2", false, false, false},
                                               {L"3", true, true, false},
                                               {L"mirror", true, false, true},
                                               {L"4", true, false, false}};
    EXPECT_EQ(DesktopDisplays(entries), (std::vector<std::wstring>{L"3", L"1", L"4"}));
    EXPECT_TRUE(DesktopDisplays(std::span(entries).subspan(1, 1)).empty());
}
