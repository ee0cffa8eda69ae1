#include <functional>
#include <ostream>
#include <set>
#include <stdexcept>

#include "FrmMainFixture.h"

namespace {

using Positions4 = std::array<int, 4>;
using Labels4 = std::array<std::wstring, 4>;

// Counts the redraws of the four offset labels.
struct LabelRedraws {
    explicit LabelRedraws(FrmMain& form) {
        for (std::size_t i = 0; i < 4; ++i) {
            form.Label5[i].Redraw = [this, i] { ++counts[i]; };
        }
    }
    std::array<int, 4> counts{};
};

}  // namespace

TEST_F(FrmMainTest, ANewWindowStandsAsTheLayoutSays) {
    std::set<const Control*> controls;
    for (const ControlLayout& row : FrmMainLayout()) {
        SCOPED_TRACE(::testing::Message() << row.name << ' ' << row.index);
        const Control& control = form.ControlAt(row);
        controls.insert(&control);
        EXPECT_EQ(control.Visible(), row.visible);
        if (const auto* label = dynamic_cast<const Label*>(&control)) {
            EXPECT_TRUE(label->Caption() == row.caption);
            EXPECT_EQ(label->BackColor(), row.backColor);
            EXPECT_EQ(label->ForeColor(), row.foreColor);
        }
    }
    EXPECT_EQ(controls.size(), 27U);
    EXPECT_EQ(form.Frame2.Tag(), L"0");
    EXPECT_EQ(form.Label8.Caption(), L"保存");
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_FALSE(form.Command1.Visible());
    for (const ScrollBar& slider : form.VScrollA) {
        EXPECT_EQ(slider.Value(), 50);
        EXPECT_EQ(slider.Min(), 0);
        EXPECT_EQ(slider.Max(), 100);
        EXPECT_EQ(slider.SmallChange(), 1);
        EXPECT_EQ(slider.LargeChange(), 1);
    }
    EXPECT_EQ(Labels(), (Labels4{L"0", L"0", L"0", L"0"}));
}

TEST_F(FrmMainTest, ARowNamingNoControlIsRefused) {
    ControlLayout row = FrmMainLayout()[0];
    row.name = "Label6";
    row.index = 0;
    EXPECT_THROW(form.ControlAt(row), std::out_of_range);
    row.name = "Label11";
    row.index = kNoIndex;
    EXPECT_THROW(form.ControlAt(row), std::out_of_range);
}

TEST_F(FrmMainTest, ASecondInstanceShowsTheNoticeAndTouchesNothing) {
    WriteSettings("AUTOLOAD=1\r\nRGB1=20,-4,0\r\n");
    platform.SetAnotherInstanceRunning(true);

    EXPECT_FALSE(form.Form_Load());

    ASSERT_EQ(platform.Notices().size(), 1U);
    EXPECT_EQ(platform.Notices()[0].text, L"对不起本程序已在运行中, 不得重复加载!");
    EXPECT_EQ(platform.Notices()[0].title, L"KOV调节显示器");
    EXPECT_EQ(screen.Reads(), 0);
    EXPECT_EQ(screen.Writes(), 0);
    EXPECT_EQ(platform.FolderQueries(), 0);
    EXPECT_TRUE(Module1::SettingsPath.empty());
    EXPECT_EQ(Module1::PresetUsed[1], 0);
    EXPECT_EQ(Module1::AutoLoadSlot, 0);
    EXPECT_EQ(Positions(), (Positions4{50, 50, 50, 50}));
}

TEST_F(FrmMainTest, LoadCapturesTheScreenAndAppliesNothing) {
    Load();
    EXPECT_EQ(platform.InstanceChecks(), 1);
    EXPECT_TRUE(platform.Notices().empty());
    EXPECT_EQ(screen.Reads(), 1);
    EXPECT_EQ(screen.Writes(), 0);
    EXPECT_TRUE(Module_SetScreen::SavedRamp == captured);
    EXPECT_EQ(Module1::SettingsPath.filename(), std::filesystem::path(u8"KOV调节设置.ini"));
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
}

struct PositionCase {
    std::int16_t position;
    const wchar_t* text;
    std::int16_t offset;
};

std::ostream& operator<<(std::ostream& out, const PositionCase& c) {
    return out << "position " << c.position;
}

class SliderPositionTest : public FrmMainTest,
                           public ::testing::WithParamInterface<PositionCase> {};

TEST_P(SliderPositionTest, APositionShowsItsOffsetAndAppliesIt) {
    const PositionCase& c = GetParam();
    Load();
    form.VScrollA[2].SetValue(c.position);
    EXPECT_EQ(form.Label5[2].Caption(), c.text);
    if (c.position == 50) {
        ExpectWritesSince(0, {});
    } else {
        ExpectWritesSince(0, {{0, c.offset, 0}});
    }
    EXPECT_EQ(Module_SetScreen::CurGreen, c.position == 50 ? 0 : c.offset);

    form.VScrollA[0].SetValue(c.position);
    EXPECT_EQ(Labels(), (Labels4{c.text, c.text, c.text, c.text}));
    EXPECT_TRUE(screen.Screen() ==
                Module_SetScreen::BuildWorkRamp(captured, c.offset, c.offset, c.offset));
}

INSTANTIATE_TEST_SUITE_P(Positions, SliderPositionTest,
                         ::testing::Values(PositionCase{0, L"100", 100}, PositionCase{1, L"98", 98},
                                           PositionCase{49, L"2", 2}, PositionCase{50, L"0", 0},
                                           PositionCase{51, L"-2", -2},
                                           PositionCase{100, L"-100", -100}));

TEST_F(FrmMainTest, TheRedSliderAppliesOnceAndLeavesTheAllChannelsSliderAlone) {
    Load();
    form.VScrollA[1].SetValue(40);
    EXPECT_EQ(Labels(), (Labels4{L"0", L"20", L"0", L"0"}));
    ExpectWritesSince(0, {{20, 0, 0}});
    EXPECT_EQ(form.VScrollA[0].Value(), 50);
    EXPECT_EQ(Module_SetScreen::CurRed, 20);
    EXPECT_EQ(Module_SetScreen::CurGreen, 0);
    EXPECT_EQ(Module_SetScreen::CurBlue, 0);
}

TEST_F(FrmMainTest, TheAllChannelsSliderMovesEachColourSliderThenAppliesOnceMore) {
    Load();
    form.VScrollA[2].SetValue(40);
    form.VScrollA[3].SetValue(30);
    const std::size_t mark = WriteCount();
    int blueRedraws = 0;
    form.VScrollA[3].Redraw = [&] { ++blueRedraws; };

    form.VScrollA[0].SetValue(30);

    ExpectWritesSince(mark, {{40, 20, 40}, {40, 40, 40}, {40, 40, 40}});
    EXPECT_EQ(blueRedraws, 0);
    EXPECT_EQ(Positions(), (Positions4{30, 30, 30, 30}));
    EXPECT_EQ(Labels(), (Labels4{L"40", L"40", L"40", L"40"}));
}

TEST_F(FrmMainTest, TheAllChannelsSliderWhereTheColoursStandChangesOnlyItsOwnLabel) {
    Load();
    for (int channel = 1; channel <= 3; ++channel) {
        form.VScrollA[channel].SetValue(70);
    }
    const std::size_t mark = WriteCount();
    const LabelRedraws redraws(form);

    form.VScrollA[0].SetValue(70);

    ExpectWritesSince(mark, {{-40, -40, -40}});
    EXPECT_EQ(redraws.counts, (std::array<int, 4>{1, 0, 0, 0}));
    EXPECT_EQ(Labels(), (Labels4{L"-40", L"-40", L"-40", L"-40"}));
}

struct ResetCase {
    const char* name;
    std::function<void(FrmMain&)> arrange;
    std::vector<Offsets> writes;
};

class ResetTest : public FrmMainTest, public ::testing::WithParamInterface<ResetCase> {};

TEST_P(ResetTest, ResetBringsEverySliderToTheMiddle) {
    const ResetCase& c = GetParam();
    Load();
    c.arrange(form);
    const std::size_t mark = WriteCount();

    form.Label9.Click();

    ExpectWritesSince(mark, c.writes);
    EXPECT_EQ(Positions(), (Positions4{50, 50, 50, 50}));
    EXPECT_EQ(Labels(), (Labels4{L"0", L"0", L"0", L"0"}));
    EXPECT_TRUE(screen.Screen() == captured);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ResetTest,
    ::testing::Values(ResetCase{"AllInTheMiddle", [](FrmMain&) {}, {{0, 0, 0}}},
                      ResetCase{"OnlyAllChannelsAway",
                                [](FrmMain& f) {
                                    f.VScrollA[0].SetValue(20);
                                    for (int channel = 1; channel <= 3; ++channel) {
                                        f.VScrollA[channel].SetValue(50);
                                    }
                                },
                                {{0, 0, 0}, {0, 0, 0}}},
                      ResetCase{"RedAndBlueAway",
                                [](FrmMain& f) {
                                    f.VScrollA[1].SetValue(30);
                                    f.VScrollA[3].SetValue(70);
                                },
                                {{0, 0, -40}, {0, 0, 0}, {0, 0, 0}}},
                      ResetCase{"AllFourAway",
                                [](FrmMain& f) { f.VScrollA[0].SetValue(20); },
                                {{0, 60, 60}, {0, 0, 60}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}}),
    [](const ::testing::TestParamInfo<ResetCase>& info) { return std::string(info.param.name); });

TEST_F(FrmMainTest, ApplyReadsTheOffsetsBackFromTheColourLabels) {
    Load();
    form.Label5[0].SetCaption(L"66");
    form.Label5[1].SetCaption(L"-7");
    form.Label5[3].SetCaption(L"12");
    form.Command1.Click();
    ExpectWritesSince(0, {{-7, 0, 12}});
    EXPECT_EQ(Module_SetScreen::CurRed, -7);
    EXPECT_EQ(Module_SetScreen::CurBlue, 12);
}

TEST_F(FrmMainTest, UnloadPutsTheCapturedRampBack) {
    Load();
    form.VScrollA[0].SetValue(10);
    form.VScrollA[2].SetValue(90);
    ASSERT_FALSE(screen.Screen() == captured);
    form.Form_Unload();
    EXPECT_TRUE(screen.Screen() == captured);
    EXPECT_TRUE(RampOfTable(screen.Written().back().table) == captured);
}
