#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "Layout.h"

namespace {

// Every caption, exactly as the window shows it.
const struct {
    std::string_view name;
    int index;
    std::wstring_view caption;
} kCaptions[] = {
    {"Command2", 1, L"读取设置"},
    {"Frame2", kNoIndex, L""},
    {"Command2", 0, L"保存设置"},
    {"Command1", kNoIndex, L"Command1"},
    {"Frame1", kNoIndex, L"[参数设置]"},
    {"Label7", kNoIndex, L"╳"},
    {"Label6", 6, L"参数06"},
    {"Label6", 5, L"参数05"},
    {"Label6", 4, L"参数04"},
    {"Label6", 3, L"参数03"},
    {"Label6", 2, L"参数02"},
    {"Label6", 1, L"参数01"},
    {"Label8", kNoIndex, L"保存"},
    {"Label9", kNoIndex, L" 复位 "},
    {"Label5", 3, L"0"},
    {"Label5", 2, L"0"},
    {"Label5", 1, L"0"},
    {"Label5", 0, L"0"},
    {"Label4", kNoIndex, L"全"},
    {"Label3", kNoIndex, L"蓝"},
    {"Label2", kNoIndex, L"绿"},
    {"Label1", kNoIndex, L"红"},
};

const ControlLayout& Row(std::string_view name, int index = kNoIndex) {
    const auto layout = FrmMainLayout();
    const auto row = std::find_if(layout.begin(), layout.end(), [&](const ControlLayout& r) {
        return r.name == name && r.index == index;
    });
    if (row == layout.end()) {
        throw std::out_of_range(std::string(name));
    }
    return *row;
}

int Right(const ControlLayout& row) {
    return row.rect.left + row.rect.width;
}
int Bottom(const ControlLayout& row) {
    return row.rect.top + row.rect.height;
}

// Where a row stands in its container's stacking order (0 is the top).
std::ptrdiff_t StackPlace(const ControlLayout& row) {
    const auto layout = FrmMainLayout();
    return std::count_if(layout.begin(), layout.end(), [&](const ControlLayout& other) {
        return other.container == row.container && &other < &row;
    });
}

std::vector<int> Edges(const ControlLayout& row) {
    const TwipsRect& r = row.rect;
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

std::vector<int> PixelEdges(const PixelRect& p) {
    return {p.left, p.top, p.left + p.width, p.top + p.height};
}

}  // namespace

TEST(LayoutTest, CaptionsAreExact) {
    for (const auto& expected : kCaptions) {
        SCOPED_TRACE(std::string(expected.name) + "(" + std::to_string(expected.index) + ")");
        EXPECT_TRUE(Row(expected.name, expected.index).caption == expected.caption);
    }
}

TEST(LayoutTest, OverlapsStackAsTheWindowNeedsThem) {
    const ControlLayout& closeMark = Row("Label7");
    const ControlLayout& heading = Row("Label8");
    EXPECT_EQ(closeMark.container, "Frame2");
    EXPECT_GE(closeMark.rect.left, heading.rect.left);
    EXPECT_LE(Right(closeMark), Right(heading));
    EXPECT_LT(StackPlace(closeMark), StackPlace(heading));

    const ControlLayout& save = Row("Command2", 0);
    const ControlLayout& read = Row("Command2", 1);
    EXPECT_EQ(Bottom(save) - read.rect.top, 15);
    EXPECT_LT(StackPlace(read), StackPlace(save));

    EXPECT_EQ(Bottom(Row("Frame1")), 4215);
    EXPECT_EQ(Bottom(Row("Frame2")), 4215);
    EXPECT_EQ(Right(Row("Frame2")), 6855);
    EXPECT_EQ(Bottom(Row("Label10")) - kClientHeightTwips, 30);
}

TEST(LayoutTest, EachChannelColumnHasItsCaptionSliderAndCentredOffsetLabel) {
    const struct {
        int index;
        std::string_view caption;
        Colour back;
    } columns[] = {{0, "Label4", 0x00808080},
                   {1, "Label1", 0x000000FF},
                   {2, "Label2", 0x0000C000},
                   {3, "Label3", 0x00FF0000}};
    for (const auto& column : columns) {
        SCOPED_TRACE(column.index);
        const ControlLayout& slider = Row("VScrollA", column.index);
        const ControlLayout& caption = Row(column.caption);
        const ControlLayout& offset = Row("Label5", column.index);
        EXPECT_EQ(slider.container, "Frame1");
        EXPECT_EQ(slider.rect.top, 720);
        EXPECT_EQ(Bottom(slider), 3135);
        EXPECT_EQ(caption.rect.left, slider.rect.left);
        EXPECT_EQ(caption.rect.width, slider.rect.width);
        EXPECT_EQ(caption.backColor, column.back);
        EXPECT_EQ(offset.rect.left + offset.rect.width / 2,
                  slider.rect.left + slider.rect.width / 2);
        EXPECT_EQ(offset.align, TextAlign::Centre);
        EXPECT_EQ(slider.tabIndex, column.index + 1);
    }
}

TEST(LayoutTest, OnlyThePanelAndTheApplyButtonStartHidden) {
    for (const ControlLayout& row : FrmMainLayout()) {
        const bool hidden = row.name == "Frame2" || row.name == "Command1";
        EXPECT_EQ(row.visible, !hidden) << ControlName(row);
    }
}

TEST(LayoutTest, BordersUnderlineAndPanelColoursAreWhereTheWindowHasThem) {
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(ControlName(row));
        EXPECT_EQ(row.border, row.name == "Label6" || row.name == "Label7");
        EXPECT_EQ(row.underline, row.name == "Label9");
        if (row.name == "Label6") {
            EXPECT_EQ(row.backColor, kWindowBackground);
            EXPECT_EQ(row.foreColor, kWindowText);
        }
    }
    EXPECT_EQ(Row("Frame2").backColor, 0x00C0C0C0U);
    EXPECT_EQ(Row("Label8").backColor, 0x00FF8080U);
    EXPECT_EQ(Row("Label7").backColor, 0x00E0E0E0U);
    EXPECT_EQ(Row("Label9").foreColor, 0x00FF0000U);
    EXPECT_EQ(Row("Label10").foreColor, 0x00404040U);
}

TEST(LayoutTest, TheCreditsLineIsOneLineWithAWebAddressAndAnEmailAddress) {
    const auto layout = FrmMainLayout();
    const auto credits = std::find_if(layout.begin(), layout.end(), [](const ControlLayout& row) {
        return row.name == "Label10";
    });
    ASSERT_NE(credits, layout.end());
    const std::wstring text(credits->caption);
    EXPECT_NE(text.find(L"http://www.example.com"), std::wstring::npos);
    EXPECT_NE(text.find(L"@example.com"), std::wstring::npos);
    EXPECT_EQ(text.find_first_of(L"\r\n"), std::wstring::npos);
}

TEST(LayoutTest, ControlsAreUniqueAndContainersComeBeforeTheirContents) {
    std::set<std::pair<std::string_view, int>> seen;
    std::set<std::string_view> frames;
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(ControlName(row));
        EXPECT_TRUE(seen.insert({row.name, row.index}).second);
        if (!row.container.empty()) {
            EXPECT_EQ(frames.count(row.container), 1U);
        }
        if (row.kind == ControlKind::Frame) {
            EXPECT_TRUE(row.container.empty());
            frames.insert(row.name);
        }
    }
    EXPECT_EQ(seen.size(), 27U);
    EXPECT_EQ(frames, (std::set<std::string_view>{"Frame1", "Frame2"}));
}

TEST(LayoutTest, TabPlacesRunFromZeroToTwentySixEachOnce) {
    std::vector<int> places;
    for (const ControlLayout& row : FrmMainLayout()) {
        places.push_back(row.tabIndex);
    }
    std::sort(places.begin(), places.end());
    std::vector<int> expected(27);
    for (int i = 0; i < 27; ++i) {
        expected[static_cast<std::size_t>(i)] = i;
    }
    EXPECT_EQ(places, expected);
}

TEST(LayoutTest, SlotLabelsStandInOneColumnThreeHundredSixtyTwipsApart) {
    std::map<int, TwipsRect> slots;
    for (const ControlLayout& row : FrmMainLayout()) {
        if (row.name == "Label6") {
            slots[row.index] = row.rect;
        }
    }
    ASSERT_EQ(slots.size(), 6U);
    for (int slot = 2; slot <= 6; ++slot) {
        EXPECT_EQ(slots[slot].top - slots[slot - 1].top, 360) << slot;
        EXPECT_EQ(slots[slot].left, slots[1].left);
    }
    EXPECT_EQ(slots[1].left * 2 + slots[1].width, 1335);
}

TEST(ToPixelsTest, AtNinetySixDpiFifteenTwipsMakeAPixel) {
    EXPECT_EQ(TwipsToPixels(kClientWidthTwips, 96), 473);
    EXPECT_EQ(TwipsToPixels(kClientHeightTwips, 96), 303);
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(ControlName(row));
        const PixelRect pixels = ToPixels(row.rect, 96);
        EXPECT_EQ(pixels.left * 15, row.rect.left);
        EXPECT_EQ(pixels.top * 15, row.rect.top);
        EXPECT_EQ(pixels.width * 15, row.rect.width);
        EXPECT_EQ(pixels.height * 15, row.rect.height);
    }
}

TEST(ToPixelsTest, EdgesRoundToTheNearestPixel) {
    EXPECT_EQ(TwipsToPixels(0, 144), 0);
    EXPECT_EQ(TwipsToPixels(14, 144), 1);      // 1.4
    EXPECT_EQ(TwipsToPixels(15, 144), 2);      // 1.5
    EXPECT_EQ(TwipsToPixels(16, 144), 2);      // 1.6
    EXPECT_EQ(TwipsToPixels(7095, 144), 710);  // 709.5
    EXPECT_EQ(TwipsToPixels(4545, 120), 379);  // 378.75
    EXPECT_EQ(TwipsToPixels(1440, 96), 96);
    const PixelRect rect = ToPixels({15, 15, 15, 15}, 144);  // 1.5 to 3.0
    EXPECT_EQ(rect.left, 2);
    EXPECT_EQ(rect.width, 1);
}

class SharedEdgesTest : public ::testing::TestWithParam<int> {};

// Wherever two controls of one container share an edge in twips, they share
// it in pixels too, at any DPI.
TEST_P(SharedEdgesTest, EqualTwipsEdgesStayEqualInPixels) {
    const int dpi = GetParam();
    const auto layout = FrmMainLayout();
    int shared = 0;
    for (const ControlLayout& a : layout) {
        for (const ControlLayout& b : layout) {
            if (a.container != b.container) {
                continue;
            }
            const std::vector<int> twipsA = Edges(a);
            const std::vector<int> twipsB = Edges(b);
            const std::vector<int> pixelsA = PixelEdges(ToPixels(a.rect, dpi));
            const std::vector<int> pixelsB = PixelEdges(ToPixels(b.rect, dpi));
            for (std::size_t i = 0; i < 4; ++i) {
                for (std::size_t j = i % 2; j < 4; j += 2) {
                    if (twipsA[i] == twipsB[j] && &a != &b) {
                        ++shared;
                        EXPECT_EQ(pixelsA[i], pixelsB[j])
                            << ControlName(a) << " / " << ControlName(b);
                    }
                }
            }
        }
    }
    EXPECT_GT(shared, 0);
}

INSTANTIATE_TEST_SUITE_P(Dpis, SharedEdgesTest,
                         ::testing::Values(96, 100, 110, 120, 144, 168, 192));
