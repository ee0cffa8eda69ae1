#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "Module1.h"
#include "TestFiles.h"

// The default content in code page 936: ";KOV调节显示器设置   作者：Tavrin
// Email:tavrin@example.com" and "AUTOLOAD=0".
const std::string kDefaultContent =
    ";KOV\xb5\xf7\xbd\xda\xcf\xd4\xca\xbe\xc6\xf7\xc9\xe8\xd6\xc3   \xd7\xf7\xd5\xdf\xa3\xba"
    "Tavrin   Email:tavrin@example.com\r\nAUTOLOAD=0\r\n";

using Slot = std::array<std::int32_t, 4>;  // used, red, green, blue

Slot SlotState(int slot) {
    return {Module1::PresetUsed[slot], Module1::PresetRed[slot], Module1::PresetGreen[slot],
            Module1::PresetBlue[slot]};
}

struct Module1Test : SettingsFileTest {
    Module1Test() { Module1::ResetState(); }
    ~Module1Test() override { Module1::ResetState(); }
};

// Beside the program when the file is there or the folder may be written,
// with one separator also at a drive's root; else in the user's folder.
TEST_F(Module1Test, ChoosesWhereTheSettingsFileLives) {
    const fs::path root = fs::temp_directory_path().root_path();
    const fs::path name = path_.filename(), user = folder_ / "user";
    const std::tuple<fs::path, bool, fs::path::string_type> cases[] = {
        {folder_, true, path_.native()},
        {folder_ / "", true, path_.native()},
        {root, true, root.native() + name.native()},
        {folder_, false, (user / name).native()}};
    for (const auto& [programFolder, writable, settingsPath] : cases) {
        Module1::InitSettingsPath(programFolder, writable, user);
        EXPECT_EQ(Module1::SettingsPath.native(), settingsPath);
    }
    File("");
    Module1::InitSettingsPath(folder_, false, user);
    EXPECT_EQ(Module1::SettingsPath, path_);
}

// Each file gives the start-up slot and slot 1 (3, 3, 3 unused when it holds no preset).
TEST_F(Module1Test, LoadsTheStartUpSlotAndEachPresetByTheirRules) {
    // clang-format off
    const std::tuple<std::string_view, std::int16_t, Slot> cases[] = {
        {"AUTOLOAD=3abc\r\nrgb1=1,2,3", 3, {1, 1, 2, 3}}, {"AUTOLOAD=abc\r\nRGB1=0,0,0", 0, {0, 0, 0, 0}},
        {"AUTOLOAD=2.5\r\nRGB1=10,20", 2, {0, 3, 3, 3}}, {"AUTOLOAD=3.5\r\nRGB1=1,2,3,4", 4, {0, 3, 3, 3}},
        {"AUTOLOAD=-1\r\nRGB1= 10 , -20 , 30", -1, {1, 10, -20, 30}}, {"AUTOLOAD=\t2d+1x", 20, {0, 3, 3, 3}},
        {"autoload= 6\r\nRGB1=2.5,3.5,-0.5", 6, {1, 2, 4, 0}}, {"AUTOLOAD =5\r\nRGB1=1,2,3x", 0, {0, 3, 3, 3}},
        {"AUTOLOAD=- 3 5E-1\r\nRGB1=5.,.5,-0", -4, {1, 5, 0, 0}}, {"AUTOLOAD=1e99999999999\r\nRGB1=,1,2", 0, {0, 3, 3, 3}},
        {"AUTOLOAD=32767.5\r\nRGB1=- 1,1e3,1", 0, {0, 3, 3, 3}}, {"AUTOLOAD=-32768.5\r\nRGB1=\t1,1,1", -32768, {0, 3, 3, 3}},
        {"AUTOLOAD=99999\r\nRGB0=9,9,9\r\nRGB7=9,9,9", 0, {0, 3, 3, 3}}, {"RGB1=0.50000000000000000001, 1 ,.", 0, {0, 3, 3, 3}},
        {"RGB1=1,-2147483649,2", 0, {0, 3, 3, 3}}, {"RGB1=2147483647,-2147483648.5,0.50000000000000000001", 0, {1, 2147483647, -2147483647 - 1, 1}}};
    // clang-format on
    for (const auto& [bytes, autoLoad, slot] : cases) {
        Module1::StorePreset(1, 3, 3, 3);
        Module1::LoadPresets(File(bytes));
        EXPECT_EQ(Module1::AutoLoadSlot, autoLoad) << bytes;
        EXPECT_EQ(SlotState(1), slot) << bytes;
    }
}

// Without a file nothing is loaded and nothing made; the first save creates
// the user's folder, the default content and the slot's line.
TEST_F(Module1Test, TheFirstSaveCreatesTheFolderTheDefaultFileAndTheSlot) {
    Module1::InitSettingsPath(folder_, false, folder_ / "user" / "kov");
    Module1::StorePreset(2, 1, 1, 1);
    Module1::AutoLoadSlot = 5;
    Module1::LoadPresets(Module1::SettingsPath);
    Module1::SavePreset(Module1::SettingsPath, 2, L"1,2,3");
    EXPECT_EQ(std::tuple(Module1::AutoLoadSlot, SlotState(2)), std::tuple(0, Slot{0, 1, 1, 1}));
    EXPECT_EQ(EntryCount(), 0);
    for (const Slot& slot : {Slot{1, 10, -20, 0}, Slot{0, 0, 0, 0}}) {
        Module1::EnsureSettingsFile(Module1::SettingsPath);
        Module1::StorePreset(2, slot[1], slot[2], slot[3]);
        Module1::SavePreset(Module1::SettingsPath, 2, Module1::PresetValueText(2));
        EXPECT_EQ(SlotState(2), slot);
    }
    EXPECT_EQ(ReadBytes(Module1::SettingsPath), kDefaultContent + "RGB2=0,0,0\r\n");
    EXPECT_EQ(Module1::SettingsPath, folder_ / "user" / "kov" / path_.filename());
}

// The default only where no first line can be read.
TEST_F(Module1Test, EnsureWritesTheDefaultOnlyWhenThereIsNoFirstLine) {
    // clang-format off
    const std::pair<std::string, std::string> cases[] = {
        {"", kDefaultContent}, {"\r\nRGB1=1,2,3\r\n", "\r\nRGB1=1,2,3\r\n"}, {"\r\n", "\r\n"},
        {"RGB1=1,2,3", "RGB1=1,2,3"}, {{"\0\xff\x81", 3}, {"\0\xff\x81", 3}}};
    // clang-format on
    for (const auto& [before, after] : cases) {
        Module1::EnsureSettingsFile(File(before));
        EXPECT_EQ(Bytes(), after);
    }
}
