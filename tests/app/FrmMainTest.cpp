#include <climits>
#include <ostream>

#include "FormTest.h"

namespace {

void StorePreset(int slot, std::int32_t offset, int used = 1) {
    Module1::PresetUsed[slot] = used;
    Module1::PresetRed[slot] = Module1::PresetGreen[slot] = Module1::PresetBlue[slot] = offset;
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

struct Scenario {
    const char* what;
    void (*arrange)(FrmMain&);
    void (*act)(FrmMain&);
    std::vector<Offsets> applies;
    Positions positions;
};

void Nothing(FrmMain& /*form*/) {}
void Reset(FrmMain& form) {
    form.Label9.Click();
}

// clang-format off
const Scenario kScenarios[] = {
    {"red to 40", Nothing, [](FrmMain& f) { f.VScrollA[1].SetValue(40); }, {{20, 0, 0}}, {50, 40, 50, 50}},
    {"all to 30 over 50, 40, 30", [](FrmMain& f) { SetColours(f, 50, 40, 30); },
     [](FrmMain& f) { f.VScrollA[0].SetValue(30); }, {{40, 20, 40}, {40, 40, 40}, {40, 40, 40}}, {30, 30, 30, 30}},
    {"all to where the colours stand", [](FrmMain& f) { SetColours(f, 70, 70, 70); },
     [](FrmMain& f) { f.VScrollA[0].SetValue(70); }, {{-40, -40, -40}}, {70, 70, 70, 70}},
    {"reset in the middle", Nothing, Reset, {{0, 0, 0}}, {50, 50, 50, 50}},
    {"reset, only all away", [](FrmMain& f) { f.VScrollA[0].SetValue(20); SetColours(f, 50, 50, 50); },
     Reset, {{0, 0, 0}, {0, 0, 0}}, {50, 50, 50, 50}},
    {"reset, red and blue away", [](FrmMain& f) { SetColours(f, 30, 50, 70); }, Reset,
     {{0, 0, -40}, {0, 0, 0}, {0, 0, 0}}, {50, 50, 50, 50}},
    {"reset, all four away", [](FrmMain& f) { f.VScrollA[0].SetValue(20); }, Reset,
     {{0, 60, 60}, {0, 0, 60}, {0, 0, 0}, {0, 0, 0}, {0, 0, 0}}, {50, 50, 50, 50}},
    {"read 20, -4, 0", [](FrmMain&) { StorePreset(4, 20); Module1::PresetGreen[4] = -4; Module1::PresetBlue[4] = 0; },
     [](FrmMain& f) { ReadSlot(f, 4); }, {{20, 0, 0}, {20, -4, 0}}, {50, 40, 52, 50}},
    {"read -30 x3", [](FrmMain&) { StorePreset(1, -30); }, [](FrmMain& f) { ReadSlot(f, 1); },
     {{-30, 0, 0}, {-30, -30, 0}, {-30, -30, -30}, {-30, -30, -30}}, {65, 65, 65, 65}},
    {"read where the colours stand", [](FrmMain& f) { SetColours(f, 65, 65, 65); f.VScrollA[0].SetValue(65); StorePreset(2, -30); },
     [](FrmMain& f) { ReadSlot(f, 2); }, {}, {65, 65, 65, 65}},
    {"read moves only the all-channels slider", [](FrmMain& f) { SetColours(f, 65, 65, 65); StorePreset(6, -30); },
     [](FrmMain& f) { ReadSlot(f, 6); }, {{-30, -30, -30}}, {65, 65, 65, 65}},
    {"read a slot marked empty", [](FrmMain&) { StorePreset(5, 40, 0); }, [](FrmMain& f) { ReadSlot(f, 5); }, {}, {50, 50, 50, 50}},
    {"read a slot marked 2", [](FrmMain&) { StorePreset(5, 40, 2); }, [](FrmMain& f) { ReadSlot(f, 5); }, {}, {50, 50, 50, 50}},
};
// clang-format on

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

TEST_F(FormTest, StoredOffsetsAreHalvedAndHeldToTheSliders) {
    ASSERT_TRUE(form.Form_Load());
    // Odd offsets floor when halved; those beyond a slider's reach are held to its ends.
    for (const auto& [stored, position] :
         {std::pair{3, 49}, {101, 0}, {102, 0}, {-101, 100}, {INT32_MAX, 0}, {INT32_MIN, 100}}) {
        StorePreset(1, stored);
        ReadSlot(form, 1);
        EXPECT_EQ(SliderPositions(), (Positions{position, position, position, position}));
        ExpectLabelsInStep();
    }
}

TEST_F(FormTest, ASecondInstanceShowsTheNoticeAndTouchesNothing) {
    WriteSettings("AUTOLOAD=1\r\nRGB1=20,-4,0\r\n");
    platform.anotherInstance = true;
    EXPECT_FALSE(form.Form_Load());
    EXPECT_EQ(platform.notices,
              std::vector<std::wstring>{L"KOV调节显示器: 对不起本程序已在运行中, 不得重复加载!"});
    EXPECT_EQ(screen.Reads() + screen.Writes(), 0);
    EXPECT_TRUE(Module1::SettingsPath.empty());
}

TEST_F(FormTest, TheStartUpSlotIsReadBeforeTheLoadReturnsIfItHoldsAPreset) {
    for (const char* autoload : {"0", "7", "-1", "2", "6", "3"}) {
        Module1::ResetState();
        WriteSettings("AUTOLOAD=" + std::string(autoload) + "\r\nRGB3=20,-4,0\r\nRGB6=0,0,0\r\n");
        ASSERT_TRUE(form.Form_Load());
        EXPECT_EQ(screen.Writes(), std::string(autoload) == "3" ? 2 : 0) << autoload;
    }
    ExpectAppliesSince(0, {{20, 0, 0}, {20, -4, 0}});
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"1");
    EXPECT_EQ(form.Label8.Caption(), L"保存");
    EXPECT_EQ(form.Label6[3].BackColor(), kYellow);
}

TEST_F(FormTest, ADragShowsTheOffsetsUnderTheThumbAndOnlyItsReleaseCommits) {
    ASSERT_TRUE(form.Form_Load());
    form.VScrollA[1].SetValue(40);
    form.VScrollA[0].Scroll(30);
    EXPECT_EQ(form.Label5[0].Caption() + form.Label5[1].Caption() + form.Label5[3].Caption(),
              L"404040");
    EXPECT_EQ(SliderPositions(), (Positions{50, 40, 50, 50}));
    form.VScrollA[0].EndScroll();  // released where it started
    form.VScrollA[2].Scroll(45);
    form.VScrollA[2].SetValue(45);
    form.VScrollA[2].EndScroll();
    ExpectAppliesSince(0, {{20, 0, 0}, {40, 40, 40}, {20, 0, 0}, {20, 10, 0}, {20, 10, 0}});
    ExpectLabelsInStep();
}

TEST_F(FormTest, ApplyReadsTheOffsetsBackFromTheColourLabels) {
    ASSERT_TRUE(form.Form_Load());
    form.Label5[0].SetCaption(L"66");
    form.Label5[1].SetCaption(L"-7");
    form.Label5[3].SetCaption(L"12");
    form.Command1.Click();
    ExpectAppliesSince(0, {{-7, 0, 12}});
}

TEST_F(FormTest, TheButtonsOpenSwitchAndCloseThePanel) {
    ASSERT_TRUE(form.Form_Load());
    const std::tuple<Control*, bool, const wchar_t*> steps[] = {
        {&form.Command2[0], true, L"0保存"},  {&form.Command2[1], true, L"1读取"},
        {&form.Command2[1], false, L"1读取"}, {&form.Command2[1], true, L"1读取"},
        {&form.Label7, false, L"1读取"},      {&form.Command2[0], true, L"0保存"},
        {&form.Command2[0], false, L"0保存"}};
    for (const auto& [clicked, shown, modeAndHeading] : steps) {
        clicked->Click();
        EXPECT_EQ(form.Frame2.Visible(), shown);
        EXPECT_EQ(form.Frame2.Tag() + form.Label8.Caption(), modeAndHeading);
    }
    EXPECT_EQ(screen.Writes(), 0);
}

TEST_F(FormTest, WithThePanelShownTheDigitsClickTheSlotsAndEscapeTheCloseMark) {
    ASSERT_TRUE(form.Form_Load());
    SetColours(form, 40, 50, 50);
    EXPECT_FALSE(form.Form_KeyPress(L'3'));
    form.Command2[0].Click();
    EXPECT_FALSE(form.Form_KeyPress(L'7') || form.Form_KeyPress(L'0') || form.Form_KeyPress(L'a'));
    EXPECT_TRUE(form.Form_KeyPress(L'3'));
    EXPECT_EQ(std::pair(Module1::PresetUsed[3], form.Frame2.Visible()), std::pair(1, false));
    form.Command2[1].Click();
    EXPECT_TRUE(form.Form_KeyPress(L'\x1B'));
    EXPECT_EQ(std::pair(form.Frame2.Tag(), form.Frame2.Visible()),
              std::pair(std::wstring(L"1"), false));
}

TEST_F(FormTest, SavingWritesTheSlotKeepsItAfterAFailedWriteAndShowsItNextTime) {
    ASSERT_TRUE(form.Form_Load());
    SetColours(form, 40, 52, 50);
    form.Command2[0].Click();
    form.Label6[3].Click();
    EXPECT_EQ(form.Label6[3].BackColor(), kWindowBackground);
    StorePreset(2, 10);
    SetColours(form, 50, 50, 50);
    form.Command2[0].Click();
    form.Label6[2].Click();
    const std::string saved = Settings();
    EXPECT_EQ(saved.substr(saved.find("\r\n")), "\r\nAUTOLOAD=0\r\nRGB3=20,-4,0\r\nRGB2=0,0,0\r\n");
    EXPECT_EQ(Module1::PresetUsed[2], 0);

    std::filesystem::permissions(SettingsFile(), std::filesystem::perms::owner_read);
    SetColours(form, 45, 45, 45);
    form.Command2[0].Click();
    form.Label6[4].Click();
    EXPECT_EQ(Settings(), saved);
    EXPECT_EQ(Module1::PresetUsed[4], 1);
    Module1::PresetUsed[5] = 2;
    form.Command2[0].Click();
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(form.Label6[slot].BackColor(),
                  slot == 3 || slot == 4 ? kYellow : kWindowBackground);
    }
    std::filesystem::permissions(SettingsFile(), std::filesystem::perms::owner_all);
}

// Under Wine root writes anywhere, so the fake says the folder is not writable.
TEST_F(FormTest, SavesGoToTheUserFolderWhenTheProgramFolderIsNotWritable) {
    platform.programFolderWritable = false;
    platform.userSettingsFolder = folder / "user";
    ASSERT_TRUE(form.Form_Load());
    form.Command2[0].Click();
    form.Label6[1].Click();
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    EXPECT_TRUE(std::filesystem::exists(folder / "user" / SettingsFile().filename()));
}
