#include <climits>
#include <ostream>

#include "FrmMainFixture.h"

namespace {

using Positions4 = std::array<int, 4>;
using Labels4 = std::array<std::wstring, 4>;

bool Contains(const std::string& text, const std::string& part) {
    return text.find(part) != std::string::npos;
}

}  // namespace

class PresetPanelTest : public FrmMainTest {
protected:
    void StorePreset(int slot, std::int32_t red, std::int32_t green, std::int32_t blue) {
        Module1::PresetUsed[slot] = 1;
        Module1::PresetRed[slot] = red;
        Module1::PresetGreen[slot] = green;
        Module1::PresetBlue[slot] = blue;
    }

    void ReadSlot(int slot) {
        form.Command2[1].Click();
        ASSERT_TRUE(form.Frame2.Visible());
        form.Label6[slot].Click();
    }

    void SaveSlot(int slot) {
        form.Command2[0].Click();
        ASSERT_TRUE(form.Frame2.Visible());
        form.Label6[slot].Click();
    }
};

TEST_F(PresetPanelTest, TheButtonsOpenSwitchAndCloseThePanel) {
    Load();
    form.Command2[0].Click();
    EXPECT_TRUE(form.Frame2.Visible());
    EXPECT_EQ(form.Label8.Caption(), L"保存");
    EXPECT_EQ(form.Frame2.Tag(), L"0");

    form.Command2[1].Click();
    EXPECT_TRUE(form.Frame2.Visible());
    EXPECT_EQ(form.Label8.Caption(), L"读取");
    EXPECT_EQ(form.Frame2.Tag(), L"1");

    form.Command2[1].Click();
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Label8.Caption(), L"读取");
    EXPECT_EQ(form.Frame2.Tag(), L"1");

    form.Command2[1].Click();
    EXPECT_TRUE(form.Frame2.Visible());
    form.Label7.Click();
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"1");

    form.Command2[0].Click();
    EXPECT_TRUE(form.Frame2.Visible());
    EXPECT_EQ(form.Label8.Caption(), L"保存");
    form.Command2[0].Click();
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(screen.Writes(), 0);
}

TEST_F(PresetPanelTest, EveryButtonClickRecoloursTheSlots) {
    Load();
    Module1::PresetUsed[2] = 1;
    Module1::PresetUsed[5] = 2;
    form.Command2[0].Click();
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(form.Label6[slot].BackColor(), slot == 2 ? 0x0000FFFFU : 0x80000005U) << slot;
    }
    Module1::PresetUsed[2] = 0;
    form.Command2[0].Click();
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Label6[2].BackColor(), 0x80000005U);
}

TEST_F(PresetPanelTest, SavingWritesTheSlotsLineAndMarksTheSlot) {
    Load();
    form.VScrollA[1].SetValue(40);
    form.VScrollA[2].SetValue(52);
    const std::size_t writes = WriteCount();

    SaveSlot(3);

    EXPECT_TRUE(Contains(ReadSettings(), "\r\nRGB3=20,-4,0\r\n")) << ReadSettings();
    EXPECT_EQ(Module1::PresetUsed[3], 1);
    EXPECT_EQ(Module1::PresetRed[3], 20);
    EXPECT_EQ(Module1::PresetGreen[3], -4);
    EXPECT_EQ(Module1::PresetBlue[3], 0);
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"0");
    EXPECT_EQ(WriteCount(), writes);
    EXPECT_EQ(form.Label6[3].BackColor(), 0x80000005U);

    form.Command2[0].Click();
    EXPECT_EQ(form.Label6[3].BackColor(), 0x0000FFFFU);
}

TEST_F(PresetPanelTest, SavingZerosWritesThemAndLeavesTheSlotEmpty) {
    Load();
    StorePreset(2, 10, 10, 10);
    SaveSlot(2);
    EXPECT_TRUE(Contains(ReadSettings(), "\r\nRGB2=0,0,0\r\n")) << ReadSettings();
    EXPECT_EQ(Module1::PresetUsed[2], 0);
    form.Command2[0].Click();
    EXPECT_EQ(form.Label6[2].BackColor(), 0x80000005U);
}

TEST_F(PresetPanelTest, ReadingMovesEachColourSliderAndAppliesPerMove) {
    WriteSettings("AUTOLOAD=0\r\nRGB4=20,-4,0\r\n");
    Load();
    EXPECT_EQ(form.Label6[4].BackColor(), 0x0000FFFFU);

    ReadSlot(4);

    EXPECT_EQ(Positions(), (Positions4{50, 40, 52, 50}));
    EXPECT_EQ(Labels(), (Labels4{L"0", L"20", L"-4", L"0"}));
    ExpectWritesSince(0, {{20, 0, 0}, {20, -4, 0}});
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"1");
}

TEST_F(PresetPanelTest, ReadingEqualOffsetsMovesTheAllChannelsSliderToo) {
    Load();
    StorePreset(1, -30, -30, -30);
    ReadSlot(1);
    EXPECT_EQ(Positions(), (Positions4{65, 65, 65, 65}));
    EXPECT_EQ(Labels(), (Labels4{L"-30", L"-30", L"-30", L"-30"}));
    ExpectWritesSince(0, {{-30, 0, 0}, {-30, -30, 0}, {-30, -30, -30}, {-30, -30, -30}});
}

TEST_F(PresetPanelTest, AReadThatMovesNothingAppliesNothing) {
    Load();
    form.VScrollA[1].SetValue(40);
    form.VScrollA[2].SetValue(52);
    StorePreset(2, 20, -4, 0);
    const std::size_t mark = WriteCount();
    ReadSlot(2);
    ExpectWritesSince(mark, {});
    EXPECT_FALSE(form.Frame2.Visible());
}

TEST_F(PresetPanelTest, AReadWithColoursInPlaceMovesOnlyTheAllChannelsSlider) {
    Load();
    for (int channel = 1; channel <= 3; ++channel) {
        form.VScrollA[channel].SetValue(65);
    }
    StorePreset(6, -30, -30, -30);
    const std::size_t mark = WriteCount();
    ReadSlot(6);
    ExpectWritesSince(mark, {{-30, -30, -30}});
    EXPECT_EQ(form.VScrollA[0].Value(), 65);
    EXPECT_EQ(form.Label5[0].Caption(), L"-30");
}

TEST_F(PresetPanelTest, ReadingASlotWithoutAPresetOnlyClosesThePanel) {
    Load();
    StorePreset(5, 40, 40, 40);
    Module1::PresetUsed[5] = 0;
    StorePreset(6, 40, 40, 40);
    Module1::PresetUsed[6] = 2;
    ReadSlot(5);
    EXPECT_FALSE(form.Frame2.Visible());
    ReadSlot(6);
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(Positions(), (Positions4{50, 50, 50, 50}));
    EXPECT_EQ(screen.Writes(), 0);
}

struct StoredOffsetCase {
    std::int32_t stored;
    int position;
    const wchar_t* label;
};

std::ostream& operator<<(std::ostream& out, const StoredOffsetCase& c) {
    return out << "stored " << c.stored;
}

class StoredOffsetTest : public PresetPanelTest,
                         public ::testing::WithParamInterface<StoredOffsetCase> {};

// Offsets from a hand-edited file: odd ones floor when halved, and those
// beyond a slider's reach are held to its ends.
TEST_P(StoredOffsetTest, ReadingPutsSlidersAndLabelsInStep) {
    const StoredOffsetCase& c = GetParam();
    Load();
    StorePreset(1, c.stored, c.stored, c.stored);
    ReadSlot(1);
    EXPECT_EQ(Positions(), (Positions4{c.position, c.position, c.position, c.position}));
    EXPECT_EQ(Labels(), (Labels4{c.label, c.label, c.label, c.label}));
    const auto shown = static_cast<std::int16_t>(std::stoi(c.label));
    EXPECT_TRUE(screen.Screen() == Module_SetScreen::BuildWorkRamp(captured, shown, shown, shown));
    EXPECT_EQ(screen.Writes(), c.position == 50 ? 0 : 4);
}

INSTANTIATE_TEST_SUITE_P(
    Offsets, StoredOffsetTest,
    ::testing::Values(StoredOffsetCase{3, 49, L"2"}, StoredOffsetCase{-3, 52, L"-4"},
                      StoredOffsetCase{1, 50, L"0"}, StoredOffsetCase{-1, 51, L"-2"},
                      StoredOffsetCase{101, 0, L"100"}, StoredOffsetCase{100, 0, L"100"},
                      StoredOffsetCase{-100, 100, L"-100"}, StoredOffsetCase{102, 0, L"100"},
                      StoredOffsetCase{-101, 100, L"-100"}, StoredOffsetCase{-102, 100, L"-100"},
                      StoredOffsetCase{INT32_MAX, 0, L"100"},
                      StoredOffsetCase{INT32_MIN, 100, L"-100"}));

struct StartupCase {
    const char* name;
    const char* settings;
};

class StartupTest : public FrmMainTest, public ::testing::WithParamInterface<StartupCase> {};

TEST_P(StartupTest, AnAutoloadThatNamesNoPresetAppliesNothing) {
    WriteSettings(GetParam().settings);
    Load();
    EXPECT_EQ(screen.Writes(), 0);
    EXPECT_EQ(Positions(), (Positions4{50, 50, 50, 50}));
    EXPECT_FALSE(form.Frame2.Visible());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, StartupTest,
    ::testing::Values(StartupCase{"Zero", "AUTOLOAD=0\r\nRGB1=20,-4,0\r\n"},
                      StartupCase{"Seven", "AUTOLOAD=7\r\nRGB1=20,-4,0\r\n"},
                      StartupCase{"MinusOne", "AUTOLOAD=-1\r\nRGB1=20,-4,0\r\n"},
                      StartupCase{"EmptySlot", "AUTOLOAD=2\r\nRGB1=20,-4,0\r\n"},
                      StartupCase{"ZeroSlot", "AUTOLOAD=6\r\nRGB6=0,0,0\r\n"},
                      StartupCase{"EmptyFile", ""}),
    [](const ::testing::TestParamInfo<StartupCase>& info) { return std::string(info.param.name); });

TEST_F(FrmMainTest, AnAutoloadSlotIsAppliedBeforeTheLoadReturns) {
    WriteSettings(";presets\r\nAUTOLOAD=3\r\nRGB3=20,-4,0\r\n");
    Load();
    EXPECT_EQ(screen.Reads(), 1);
    ExpectWritesSince(0, {{20, 0, 0}, {20, -4, 0}});
    EXPECT_EQ(Positions(), (Positions4{50, 40, 52, 50}));
    EXPECT_FALSE(form.Frame2.Visible());
    EXPECT_EQ(form.Frame2.Tag(), L"1");
    EXPECT_EQ(form.Label8.Caption(), L"保存");
    EXPECT_EQ(form.Label6[3].BackColor(), 0x0000FFFFU);
}
