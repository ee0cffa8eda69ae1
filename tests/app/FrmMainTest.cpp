#include <climits>
#include <ostream>

#include "FormTest.h"
#include "Layout.h"

namespace {

void StorePreset(int slot, std::int32_t red, std::int32_t green, std::int32_t blue, int used = 1) {
    Module1::PresetUsed[slot] = used;
    Module1::PresetRed[slot] = red;
    Module1::PresetGreen[slot] = green;
    Module1::PresetBlue[slot] = blue;
}

void SetColours(FrmMain& form, int red, int green, int blue) {
    form.VScrollA[1].SetValue(static_cast<std::int16_t>(red));
    form.VScrollA[2].SetValue(static_cast<std::int16_t>(green));
    form.VScrollA[3].SetValue(static_cast<std::int16_t>(blue));
}

void ReadSlot(FrmMain& form, int slot) {
    form.Command2[1].Click();
    form.Label6[slot].Click();
}

// What one user action applies to the screen, in order, and where it
// leaves the four sliders.
struct Scenario {
    const char* what;
    void (*arrange)(FrmMain&);
    void (*act)(FrmMain&);
    std::vector<Offsets> applies;
    Positions positions;
};

const Scenario kScenarios[] = {
    {"red slider to 40",
     [](FrmMain&) {},
     [](FrmMain& f) { f.VScrollA[1].SetValue(40); },
     {{20, 0, 0}},
     {50, 40, 50, 50}},
    {"all channels to 30 over colours at 50, 40, 30",
     [](FrmMain& f) { SetColours(f, 50, 40, 30); },
     [](FrmMain& f) { f.VScrollA[0].SetValue(30); },
     {{40, 20, 40}, {40, 40, 40}, {40, 40, 40}},
     {30, 30, 30, 30}},
    {"all channels to where the colours stand",
     [](FrmMain& f) { SetColours(f, 70, 70, 70); },
     [](FrmMain& f) { f.VScrollA[0].SetValue(70); },
     {{-40, -40, -40}},
     {70, 70, 70, 70}},
    {"reset with all in the middle",
     [](FrmMain&) {},
     [](FrmMain& f) { f.Label9.Click(); },
     {{0, 0, 0}},
     {50, 50, 50, 50}},
    {"reset with only all channels away",
     [](FrmMain& f) {
         f.VScrollA[0].SetValue(20);
         SetColours(f, 50, 50, 50);
     },
     [](FrmMain& f) { f.Label9.Click(); },
     {{0, 0, 0}, {0, 0, 0}},
     {50, 50, 50, 50}},
    {"reset with red and blue away",
     [](FrmMain& f) { SetColours(f, 30, 50, 70); },
     [](FrmMain& f) { f.Label9.Click(); },
     {{0, 0, -40}, {0, 0, 0}, {0, 0, 0}},
     {50, 50, 50, 50}},
    {"reset with all four away",
     [](FrmMain& f) { f.VScrollA[0].SetValue(20); },
     [](FrmMain& f) { f.Label9.Click(); },
     {{0, 60, 60}, {0, 0, 60}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}},
     {50, 50, 50, 50}},
    {"reading 20, -4, 0",
     [](FrmMain&) { StorePreset(4, 20, -4, 0); },
     [](FrmMain& f) { ReadSlot(f, 4); },
     {{20, 0, 0}, {20, -4, 0}},
     {50, 40, 52, 50}},
    {"reading -30, -30, -30",
     [](FrmMain&) { StorePreset(1, -30, -30, -30); },
     [](FrmMain& f) { ReadSlot(f, 1); },
     {{-30, 0, 0}, {-30, -30, 0}, {-30, -30, -30}, {-30, -30, -30}},
     {65, 65, 65, 65}},
    {"reading where the colours stand",
     [](FrmMain& f) {
         SetColours(f, 40, 52, 50);
         StorePreset(2, 20, -4, 0);
     },
     [](FrmMain& f) { ReadSlot(f, 2); },
     {},
     {50, 40, 52, 50}},
    {"reading moves only the all-channels slider",
     [](FrmMain& f) {
         SetColours(f, 65, 65, 65);
         StorePreset(6, -30, -30, -30);
     },
     [](FrmMain& f) { ReadSlot(f, 6); },
     {{-30, -30, -30}},
     {65, 65, 65, 65}},
    {"reading a slot marked empty",
     [](FrmMain&) { StorePreset(5, 40, 40, 40, 0); },
     [](FrmMain& f) { ReadSlot(f, 5); },
     {},
     {50, 50, 50, 50}},
    {"reading a slot marked 2",
     [](FrmMain&) { StorePreset(5, 40, 40, 40, 2); },
     [](FrmMain& f) { ReadSlot(f, 5); },
     {},
     {50, 50, 50, 50}},
};

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.what;
}

class ActionTest : public FormTest, public ::testing::WithParamInterface<Scenario> {};

}  // namespace

TEST_P(ActionTest, AppliesInItsOrderAndKeepsTheLabelsInStep) {
    const Scenario& scenario = GetParam();
    ASSERT_TRUE(form.Form_Load());
    scenario.arrange(form);
    const std::size_t mark = screen.Written().size();
    scenario.act(form);
    ExpectAppliesSince(mark, scenario.applies);
    EXPECT_EQ(SliderPositions(), scenario.positions);
    ExpectLabelsInStep();
    EXPECT_FALSE(form.Frame2.Visible());
}

INSTANTIATE_TEST_SUITE_P(Actions, ActionTest, ::testing::ValuesIn(kScenarios));

TEST_F(FormTest, ASliderPositionShowsItsOffset) {
    const std::pair<std::int16_t, const wchar_t*> cases[] = {
        {0, L"100"}, {1, L"98"}, {49, L"2"}, {51, L"-2"}, {100, L"-100"}, {50, L"0"}};
    ASSERT_TRUE(form.Form_Load());
    for (const auto& [position, text] : cases) {
        form.VScrollA[2].SetValue(position);
        EXPECT_EQ(form.Label5[2].Caption(), text);
    }
    EXPECT_EQ(form.Label5[0].Caption(), L"0");
}

// Offsets from a hand-edited file: odd ones floor when halved, and those
// beyond a slider's reach are held to its ends.
TEST_F(FormTest, AStoredOffsetPutsSliderAndLabelInStep) {
    const std::pair<std::int32_t, int> cases[] = {{3, 49},     {101, 0},       {102, 0},
                                                  {-101, 100}, {INT32_MAX, 0}, {INT32_MIN, 100}};
    ASSERT_TRUE(form.Form_Load());
    for (const auto& [stored, position] : cases) {
        SCOPED_TRACE(stored);
        StorePreset(1, stored, stored, stored);
        ReadSlot(form, 1);
        EXPECT_EQ(SliderPositions(), (Positions{position, position, position, position}));
        ExpectLabelsInStep();
    }
}

TEST_F(FormTest, ANewWindowStandsAsItsRowsSay) {
    for (const ControlLayout& row : FrmMainLayout()) {
        const Control& control = row.control.in(form);
        EXPECT_EQ(control.Visible(), row.visible);
        if (const auto* label = dynamic_cast<const Label*>(&control)) {
            EXPECT_EQ(label->Caption(), row.caption);
            EXPECT_EQ(label->BackColor(), row.backColor);
        }
    }
    EXPECT_EQ(form.Frame2.Tag(), L"0");
    EXPECT_EQ(SliderPositions(), (Positions{50, 50, 50, 50}));
}

TEST_F(FormTest, ASecondInstanceShowsTheNoticeAndTouchesNothing) {
    WriteSettings("AUTOLOAD=1\r\nRGB1=20,-4,0\r\n");
    platform.anotherInstance = true;
    EXPECT_FALSE(form.Form_Load());
    EXPECT_EQ(platform.notices,
              std::vector<std::wstring>{L"KOV调节显示器: 对不起本程序已在运行中, 不得重复加载!"});
    EXPECT_EQ(screen.Reads() + screen.Writes(), 0);
    EXPECT_TRUE(Module1::SettingsPath.empty());
    EXPECT_EQ(SliderPositions(), (Positions{50, 50, 50, 50}));
}

TEST_F(FormTest, LoadCapturesAndCreatesNothing) {
    ASSERT_TRUE(form.Form_Load());
    EXPECT_EQ(screen.Reads(), 1);
    EXPECT_EQ(screen.Writes(), 0);
    EXPECT_EQ(Module_SetScreen::SavedRamp, captured);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    form.VScrollA[0].SetValue(10);
    form.Form_Unload();
    EXPECT_EQ(screen.Screen(), captured);
}

// A program folder the user may not write (under Wine, root writes
// anywhere, so the fake says so): the first save goes to the user's folder.
TEST_F(FormTest, SavesGoToTheUserFolderWhenTheProgramFolderIsNotWritable) {
    platform.programFolderWritable = false;
    platform.userSettingsFolder = folder / "user";
    ASSERT_TRUE(form.Form_Load());
    form.Command2[0].Click();
    form.Label6[1].Click();
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    EXPECT_TRUE(std::filesystem::exists(folder / "user" / SettingsFile().filename()));
}

TEST_F(FormTest, TheStartUpSlotIsReadBeforeTheLoadReturns) {
    WriteSettings(";presets\r\nAUTOLOAD=3\r\nRGB3=20,-4,0\r\n");
    ASSERT_TRUE(form.Form_Load());
    ExpectAppliesSince(0, {{20, 0, 0}, {20, -4, 0}});
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"1");
    EXPECT_EQ(form.Label8.Caption(), L"保存");
    EXPECT_EQ(form.Label6[3].BackColor(), kYellow);
}

TEST_F(FormTest, AStartUpSlotThatNamesNoPresetAppliesNothing) {
    for (const char* settings : {"AUTOLOAD=0\r\nRGB1=1,2,3\r\n", "AUTOLOAD=7\r\nRGB1=1,2,3\r\n",
                                 "AUTOLOAD=-1\r\nRGB1=1,2,3\r\n", "AUTOLOAD=2\r\nRGB1=1,2,3\r\n",
                                 "AUTOLOAD=6\r\nRGB6=0,0,0\r\n"}) {
        Module1::ResetState();
        WriteSettings(settings);
        ASSERT_TRUE(form.Form_Load());
        EXPECT_EQ(screen.Writes(), 0) << settings;
    }
}

TEST_F(FormTest, ApplyReadsTheOffsetsBackFromTheColourLabels) {
    ASSERT_TRUE(form.Form_Load());
    form.Label5[0].SetCaption(L"66");
    form.Label5[1].SetCaption(L"-7");
    form.Label5[3].SetCaption(L"12");
    form.Command1.Click();
    ExpectAppliesSince(0, {{-7, 0, 12}});
    EXPECT_EQ(Module_SetScreen::CurBlue, 12);
}

TEST_F(FormTest, TheButtonsOpenSwitchAndCloseThePanel) {
    struct Step {
        Control* clicked;
        bool shown;
        const wchar_t* mode;
        const wchar_t* heading;
    };
    ASSERT_TRUE(form.Form_Load());
    const Step steps[] = {
        {&form.Command2[0], true, L"0", L"保存"},  {&form.Command2[1], true, L"1", L"读取"},
        {&form.Command2[1], false, L"1", L"读取"}, {&form.Command2[1], true, L"1", L"读取"},
        {&form.Label7, false, L"1", L"读取"},      {&form.Command2[0], true, L"0", L"保存"},
        {&form.Command2[0], false, L"0", L"保存"}};
    for (const Step& step : steps) {
        step.clicked->Click();
        EXPECT_EQ(form.Frame2.Visible(), step.shown);
        EXPECT_EQ(form.Frame2.Tag(), step.mode);
        EXPECT_EQ(form.Label8.Caption(), step.heading);
    }
    EXPECT_EQ(screen.Writes(), 0);
}

TEST_F(FormTest, SavingWritesTheSlotAndShowsItAtTheNextOpening) {
    ASSERT_TRUE(form.Form_Load());
    SetColours(form, 40, 52, 50);
    const int writes = screen.Writes();
    form.Command2[0].Click();
    form.Label6[3].Click();
    EXPECT_EQ(form.Label6[3].BackColor(), kWindowBackground);
    StorePreset(2, 10, 10, 10);
    SetColours(form, 50, 50, 50);
    form.Command2[0].Click();
    form.Label6[2].Click();

    EXPECT_EQ(Settings().substr(Settings().find("\r\n")),
              "\r\nAUTOLOAD=0\r\nRGB3=20,-4,0\r\nRGB2=0,0,0\r\n");
    EXPECT_EQ(Module1::PresetUsed[3], 1);
    EXPECT_EQ(Module1::PresetGreen[3], -4);
    EXPECT_EQ(Module1::PresetUsed[2], 0);
    EXPECT_EQ(screen.Writes(), writes + 2);
    Module1::PresetUsed[5] = 2;
    form.Command2[0].Click();
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(form.Label6[slot].BackColor(), slot == 3 ? kYellow : kWindowBackground);
    }
}
