#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "Layout.h"

namespace {

using Kind = ControlKind;
constexpr TextAlign kLeft = TextAlign::Left;
constexpr TextAlign kCentre = TextAlign::Centre;
constexpr Colour kFace = 0x8000000F;
constexpr Colour kBtnText = 0x80000012;
constexpr Colour kWinBack = 0x80000005;
constexpr Colour kWinText = 0x80000008;

// The window as it must be built, in stacking order per container.
const ControlLayout kExpected[] = {
    {Kind::PushButton,
     "Command2",
     1,
     "",
     L"读取设置",
     {5520, 960, 1335, 375},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     6,
     true},
    {Kind::Frame,
     "Frame2",
     kNoIndex,
     "",
     L"",
     {5520, 1440, 1335, 2775},
     0x00C0C0C0,
     kBtnText,
     kLeft,
     false,
     false,
     16,
     false},
    {Kind::PushButton,
     "Command2",
     0,
     "",
     L"保存设置",
     {5520, 600, 1335, 375},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     5,
     true},
    {Kind::PushButton,
     "Command1",
     kNoIndex,
     "",
     L"Command1",
     {4440, 3600, 1095, 495},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     15,
     false},
    {Kind::Frame,
     "Frame1",
     kNoIndex,
     "",
     L"[参数设置]",
     {120, 480, 5175, 3735},
     kFace,
     kBtnText,
     kLeft,
     false,
     false,
     0,
     true},
    {Kind::Label,
     "Label10",
     kNoIndex,
     "",
     L"",
     {120, 4320, 5415, 255},
     kFace,
     0x00404040,
     kLeft,
     false,
     false,
     26,
     true},
    {Kind::Label,
     "Label7",
     kNoIndex,
     "Frame2",
     L"╳",
     {1080, 0, 210, 210},
     0x00E0E0E0,
     kWinText,
     kLeft,
     true,
     false,
     23,
     true},
    {Kind::Label,
     "Label6",
     6,
     "Frame2",
     L"参数06",
     {240, 2280, 855, 375},
     kWinBack,
     kWinText,
     kCentre,
     true,
     false,
     22,
     true},
    {Kind::Label,
     "Label6",
     5,
     "Frame2",
     L"参数05",
     {240, 1920, 855, 375},
     kWinBack,
     kWinText,
     kCentre,
     true,
     false,
     21,
     true},
    {Kind::Label,
     "Label6",
     4,
     "Frame2",
     L"参数04",
     {240, 1560, 855, 375},
     kWinBack,
     kWinText,
     kCentre,
     true,
     false,
     20,
     true},
    {Kind::Label,
     "Label6",
     3,
     "Frame2",
     L"参数03",
     {240, 1200, 855, 375},
     kWinBack,
     kWinText,
     kCentre,
     true,
     false,
     19,
     true},
    {Kind::Label,
     "Label6",
     2,
     "Frame2",
     L"参数02",
     {240, 840, 855, 375},
     kWinBack,
     kWinText,
     kCentre,
     true,
     false,
     18,
     true},
    {Kind::Label,
     "Label6",
     1,
     "Frame2",
     L"参数01",
     {240, 480, 855, 375},
     kWinBack,
     kWinText,
     kCentre,
     true,
     false,
     17,
     true},
    {Kind::Label,
     "Label8",
     kNoIndex,
     "Frame2",
     L"保存",
     {30, 0, 1275, 255},
     0x00FF8080,
     0x00000000,
     kLeft,
     false,
     false,
     24,
     true},
    {Kind::VScrollBar,
     "VScrollA",
     0,
     "Frame1",
     L"",
     {600, 720, 375, 2415},
     kFace,
     kBtnText,
     kLeft,
     false,
     false,
     1,
     true},
    {Kind::VScrollBar,
     "VScrollA",
     3,
     "Frame1",
     L"",
     {4080, 720, 375, 2415},
     kFace,
     kBtnText,
     kLeft,
     false,
     false,
     4,
     true},
    {Kind::VScrollBar,
     "VScrollA",
     2,
     "Frame1",
     L"",
     {3120, 720, 375, 2415},
     kFace,
     kBtnText,
     kLeft,
     false,
     false,
     3,
     true},
    {Kind::VScrollBar,
     "VScrollA",
     1,
     "Frame1",
     L"",
     {2160, 720, 375, 2415},
     kFace,
     kBtnText,
     kLeft,
     false,
     false,
     2,
     true},
    {Kind::Label,
     "Label9",
     kNoIndex,
     "Frame1",
     L" 复位 ",
     {1200, 360, 615, 255},
     0x00C0FFC0,
     0x00FF0000,
     kCentre,
     false,
     true,
     25,
     true},
    {Kind::Label,
     "Label5",
     3,
     "Frame1",
     L"0",
     {3960, 3240, 615, 255},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     14,
     true},
    {Kind::Label,
     "Label5",
     2,
     "Frame1",
     L"0",
     {3000, 3240, 615, 255},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     13,
     true},
    {Kind::Label,
     "Label5",
     1,
     "Frame1",
     L"0",
     {2040, 3240, 615, 255},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     12,
     true},
    {Kind::Label,
     "Label5",
     0,
     "Frame1",
     L"0",
     {480, 3240, 615, 255},
     kFace,
     kBtnText,
     kCentre,
     false,
     false,
     11,
     true},
    {Kind::Label,
     "Label4",
     kNoIndex,
     "Frame1",
     L"全",
     {600, 360, 375, 255},
     0x00808080,
     0x00FFFFFF,
     kCentre,
     false,
     false,
     10,
     true},
    {Kind::Label,
     "Label3",
     kNoIndex,
     "Frame1",
     L"蓝",
     {4080, 360, 375, 255},
     0x00FF0000,
     0x00FFFFFF,
     kCentre,
     false,
     false,
     9,
     true},
    {Kind::Label,
     "Label2",
     kNoIndex,
     "Frame1",
     L"绿",
     {3120, 360, 375, 255},
     0x0000C000,
     0x00FFFFFF,
     kCentre,
     false,
     false,
     8,
     true},
    {Kind::Label,
     "Label1",
     kNoIndex,
     "Frame1",
     L"红",
     {2160, 360, 375, 255},
     0x000000FF,
     0x00FFFFFF,
     kCentre,
     false,
     false,
     7,
     true},
};

std::string RowName(const ControlLayout& row) {
    std::ostringstream name;
    name << row.name;
    if (row.index != kNoIndex) {
        name << '(' << row.index << ')';
    }
    return name.str();
}

std::vector<int> Edges(const ControlLayout& row) {
    const TwipsRect& r = row.rect;
    return {r.left, r.top, r.left + r.width, r.top + r.height};
}

std::vector<int> PixelEdges(const PixelRect& p) {
    return {p.left, p.top, p.left + p.width, p.top + p.height};
}

}  // namespace

TEST(LayoutTest, EveryControlStandsAsTheWindowIsBuilt) {
    const auto layout = FrmMainLayout();
    ASSERT_EQ(layout.size(), std::size(kExpected));
    for (std::size_t i = 0; i < layout.size(); ++i) {
        const ControlLayout& row = layout[i];
        const ControlLayout& want = kExpected[i];
        SCOPED_TRACE("row " + std::to_string(i) + ": " + RowName(want));
        EXPECT_EQ(row.kind, want.kind);
        EXPECT_EQ(row.name, want.name);
        EXPECT_EQ(row.index, want.index);
        EXPECT_EQ(row.container, want.container);
        if (want.name != "Label10") {
            EXPECT_TRUE(row.caption == want.caption);
        }
        EXPECT_EQ(Edges(row), Edges(want));
        EXPECT_EQ(row.backColor, want.backColor);
        EXPECT_EQ(row.foreColor, want.foreColor);
        EXPECT_EQ(row.align, want.align);
        EXPECT_EQ(row.border, want.border);
        EXPECT_EQ(row.underline, want.underline);
        EXPECT_EQ(row.tabIndex, want.tabIndex);
        EXPECT_EQ(row.visible, want.visible);
    }
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
        SCOPED_TRACE(RowName(row));
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
        SCOPED_TRACE(RowName(row));
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
                        EXPECT_EQ(pixelsA[i], pixelsB[j]) << RowName(a) << " / " << RowName(b);
                    }
                }
            }
        }
    }
    EXPECT_GT(shared, 0);
}

INSTANTIATE_TEST_SUITE_P(Dpis, SharedEdgesTest,
                         ::testing::Values(96, 100, 110, 120, 144, 168, 192));
