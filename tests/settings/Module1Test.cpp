#include <array>
#include <cstdint>
#include <string>
#include <tuple>

#include "Module1.h"
#include "TestFiles.h"

using namespace Module1;
using namespace std::string_literals;

using Slot = std::array<std::int32_t, 4>;  // used, red, green, blue

// clang-format off
const std::tuple<std::string_view, std::int16_t, Slot> kLoadCases[] = {
    {"AUTOLOAD=3abc\r\nrgb1=1,2,3", 3, {1, 1, 2, 3}}, {"AUTOLOAD=abc\r\nRGB1=0,0,0", 0, {0, 0, 0, 0}},
    {"AUTOLOAD=2.5\r\nRGB1=10,20", 2, {0, 3, 3, 3}}, {"AUTOLOAD=3.5\r\nRGB1=1,2,3,4", 4, {0, 3, 3, 3}},
    {"AUTOLOAD=-1\r\nRGB1= 10 , -20 , 30", -1, {1, 10, -20, 30}}, {"AUTOLOAD=\t2d+1x", 20, {0, 3, 3, 3}},
    {"autoload= 6\r\nRGB1=2.5,3.5,-0.5", 6, {1, 2, 4, 0}}, {"AUTOLOAD =5\r\nRGB1=1,2,3x", 0, {0, 3, 3, 3}},
    {"AUTOLOAD=- 3 5E-1\r\nRGB1=5.,.5,-0", -4, {1, 5, 0, 0}}, {"AUTOLOAD=1e99999999999\r\nRGB1=,1,2", 0, {0, 3, 3, 3}},
    {"AUTOLOAD=32767.5\r\nRGB1=- 1,1e3,1", 0, {0, 3, 3, 3}}, {"AUTOLOAD=-32768.5\r\nRGB1=\t1,1,1", -32768, {0, 3, 3, 3}},
    {"AUTOLOAD=99999\r\nRGB0=9,9,9\r\nRGB7=9,9,9", 0, {0, 3, 3, 3}}, {"RGB1=0.50000000000000000001, 1 ,.", 0, {0, 3, 3, 3}},
    {"RGB1=1,-2147483649,2", 0, {0, 3, 3, 3}}, {"RGB1=2147483647,-2147483648.5,0.50000000000000000001", 0, {1, 2147483647, -2147483647 - 1, 1}}};
// clang-format on

struct Module1Test : SettingsFileTest {
    Module1Test() { ResetState(); }
    static Slot SlotOf(int n) {
        return {PresetUsed[n], PresetRed[n], PresetGreen[n], PresetBlue[n]};
    }
};

TEST_F(Module1Test, ChoosesWhereTheSettingsFileLives) {
    const fs::path root = fs::temp_directory_path().root_path();
    File("");
    for (const fs::path& programFolder : {folder_, folder_ / "", root}) {
        InitSettingsPath(programFolder, programFolder == root, folder_ / "user");
        EXPECT_EQ(SettingsPath.native(), programFolder == root
                                             ? root.native() + path_.filename().native()
                                             : path_.native());
    }
}

// Slot 1 keeps 3, 3, 3, unused, when the file holds no preset for it.
TEST_F(Module1Test, LoadsTheStartUpSlotAndEachPresetByTheirRules) {
    for (const auto& [bytes, autoLoad, slot] : kLoadCases) {
        StorePreset(1, 3, 3, 3);
        LoadPresets(File(bytes));
        EXPECT_EQ(std::tuple(AutoLoadSlot, SlotOf(1)), std::tuple(autoLoad, slot)) << bytes;
    }
}

// A new file's bytes are checked end to end.
TEST_F(Module1Test, EnsureLeavesAFileWithAFirstLineAlone) {
    for (const std::string& before :
         {"\r\nRGB1=1,2,3\r\n"s, "\r\n"s, "RGB1=1,2,3"s, "\0\xff\x81"s}) {
        EnsureSettingsFile(File(before));
        EXPECT_EQ(Bytes(), before);
    }
}
