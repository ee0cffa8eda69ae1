#include <array>
#include <climits>
#include <ostream>
#include <vector>

#include "FormTest.h"

namespace {

void StorePreset(int slot, std::int32_t red, std::int32_t green, std::int32_t blue, int used = 1) {
    Module1::StorePreset(slot, red, green, blue);
    Module1::PresetUsed[slot] = used;
}

void SetColours(FrmMain& form, std::int16_t red, std::int16_t green, std::int16_t blue) {
    form.VScrollA[1].SetValue(red);
    form.VScrollA[2].SetValue(green);
    form.VScrollA[3].SetValue(blue);
}

void ReadSlot(FrmMain& form, int slot) {
    form.Command2[1].Click();
    form.Label6[slot].Click();
}

class FrmMainTest : public FormTest {
protected:
    // The sliders' positions; each offset label must show its slider's offset.
    Positions SliderPositions() const {
        Positions positions{};
        for (int i = 0; i < 4; ++i) {
            positions[i] = form.VScrollA[i].Value();
            EXPECT_EQ(form.Label5[i].Caption(), std::to_wstring(100 - 2 * positions[i])) << i;
        }
        return positions;
    }
};

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

// A read halves each stored offset, rounding down, and holds the position
// to the slider's range.
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
    {"read -30 x3", [](FrmMain&) { StorePreset(1, -30, -30, -30); }, [](FrmMain& f) { ReadSlot(f, 1); },
     {{-30, 0, 0}, {-30, -30, 0}, {-30, -30, -30}, {-30, -30, -30}}, {65, 65, 65, 65}},
    {"read odd offsets 3, -3, 101", [](FrmMain&) { StorePreset(3, 3, -3, 101); }, [](FrmMain& f) { ReadSlot(f, 3); },
     {{2, 0, 0}, {2, -4, 0}, {2, -4, 100}}, {50, 49, 52, 0}},
    {"read offsets beyond the sliders' reach", [](FrmMain&) { StorePreset(3, INT32_MAX, INT32_MIN, 102); },
     [](FrmMain& f) { ReadSlot(f, 3); }, {{100, 0, 0}, {100, -100, 0}, {100, -100, 100}}, {50, 0, 100, 0}},
    {"read where the colours stand", [](FrmMain& f) { SetColours(f, 65, 65, 65); f.VScrollA[0].SetValue(65); StorePreset(2, -30, -30, -30); },
     [](FrmMain& f) { ReadSlot(f, 2); }, {}, {65, 65, 65, 65}},
    {"read moves only the all-channels slider", [](FrmMain& f) { SetColours(f, 65, 65, 65); StorePreset(6, -30, -30, -30); },
     [](FrmMain& f) { ReadSlot(f, 6); }, {{-30, -30, -30}}, {65, 65, 65, 65}},
    {"read a slot marked empty", [](FrmMain&) { StorePreset(5, 40, 40, 40, 0); }, [](FrmMain& f) { ReadSlot(f, 5); }, {}, {50, 50, 50, 50}},
    {"read a slot marked 2", [](FrmMain&) { StorePreset(5, 40, 40, 40, 2); }, [](FrmMain& f) { ReadSlot(f, 5); }, {}, {50, 50, 50, 50}},
    {"drag all, released where it started", [](FrmMain& f) { SetColours(f, 50, 40, 50); },
     [](FrmMain& f) { f.VScrollA[0].Scroll(30); f.VScrollA[0].EndScroll(); }, {{40, 40, 40}, {0, 20, 0}}, {50, 50, 40, 50}},
    {"drag blue, released there", Nothing, [](FrmMain& f) { f.VScrollA[3].Scroll(45); f.VScrollA[3].SetValue(45); f.VScrollA[3].EndScroll(); },
     {{0, 0, 10}, {0, 0, 10}}, {50, 50, 50, 45}},
};
// clang-format on

void PrintTo(const Scenario& scenario, std::ostream* out) {
    *out << scenario.what;
}

class ActionTest : public FrmMainTest, public ::testing::WithParamInterface<Scenario> {};

}  // namespace

TEST_P(ActionTest, AppliesInItsOrderAndKeepsTheLabelsInStep) {
    const Scenario& scenario = GetParam();
    ASSERT_TRUE(form.Form_Load());
    scenario.arrange(form);
    const std::size_t mark = screen.Written().size();
    scenario.act(form);
    ExpectAppliesSince(mark, scenario.applies);
    EXPECT_EQ(SliderPositions(), scenario.positions);
    EXPECT_FALSE(form.Frame2.Visible());
}

INSTANTIATE_TEST_SUITE_P(Actions, ActionTest, ::testing::ValuesIn(kScenarios));

TEST_F(FrmMainTest, TheStartUpSlotIsReadBeforeTheLoadReturnsIfItHoldsAPreset) {
    for (const char* autoload : {"0", "7", "-1", "2", "6", "3"}) {
        Module1::ResetState();
        WriteSettings("AUTOLOAD=" + std::string(autoload) + "\r\nRGB3=20,-4,0\r\nRGB6=0,0,0\r\n");
        ASSERT_TRUE(form.Form_Load());
        EXPECT_EQ(screen.Writes(), std::string(autoload) == "3" ? 2 : 0) << autoload;
    }
    ExpectAppliesSince(0, {{20, 0, 0}, {20, -4, 0}});
}

// The panel's digits and Escape are tried end to end.
TEST_F(FrmMainTest, KeysOtherThanTheOpenPanelsDigitsAndEscapePassOn) {
    ASSERT_TRUE(form.Form_Load());
    EXPECT_FALSE(form.Form_KeyPress(L'3'));
    form.Command2[0].Click();
    EXPECT_FALSE(form.Form_KeyPress(L'7') || form.Form_KeyPress(L'0') || form.Form_KeyPress(L'a'));
}

// The first save makes the user's folder, its parents too, and the default
// file. A slot saved stays filled even when the file cannot be written; the
// panel shows the filled slots the next time it opens. Under Wine root
// writes anywhere, so the fake says the program's folder is not writable.
TEST_F(FrmMainTest, SavesGoToTheUserFolderAndAFailedOneKeepsTheSlotFilled) {
    platform.programFolderWritable = false;
    platform.userSettingsFolder = folder / "user" / "kov";
    ASSERT_TRUE(form.Form_Load());
    SetColours(form, 40, 52, 50);
    form.Command2[0].Click();
    form.Label6[3].Click();
    EXPECT_EQ(form.Label6[3].BackColor(), kWindowBackground);
    EXPECT_FALSE(std::filesystem::exists(SettingsFile()));
    const std::filesystem::path saved = platform.userSettingsFolder / SettingsFile().filename();
    const std::string bytes = Contents(saved);
    EXPECT_EQ(bytes.substr(bytes.find("\r\n")), "\r\nAUTOLOAD=0\r\nRGB3=20,-4,0\r\n");
    std::filesystem::permissions(saved, std::filesystem::perms::owner_read);
    SetColours(form, 45, 45, 45);
    form.Command2[0].Click();
    form.Label6[4].Click();
    EXPECT_EQ(Contents(saved), bytes);
    Module1::PresetUsed[5] = 2;
    form.Command2[0].Click();
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(form.Label6[slot].BackColor(),
                  slot == 3 || slot == 4 ? kYellow : kWindowBackground);
    }
    std::filesystem::permissions(saved, std::filesystem::perms::owner_all);
}
