#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

#include "Module1.h"
#include "TestFiles.h"

namespace fs = std::filesystem;

namespace {

// The default first line, in code page 936:
// ";KOV调节显示器设置   作者：Tavrin   Email:tavrin@example.com".
const std::string kDefaultComment =
    ";KOV"
    "\xb5\xf7\xbd\xda\xcf\xd4\xca\xbe\xc6\xf7\xc9\xe8\xd6\xc3"
    "   "
    "\xd7\xf7\xd5\xdf\xa3\xba"
    "Tavrin   Email:tavrin@example.com";
const std::string kDefaultContent = kDefaultComment + "\r\nAUTOLOAD=0\r\n";

class Module1Test : public ::testing::Test {
protected:
    void SetUp() override { Module1::ResetState(); }
    void TearDown() override { Module1::ResetState(); }

    void Write(const std::string& bytes) const { WriteBytes(file, bytes); }
    std::string Read() const { return ReadBytes(file); }
    void ExpectSlot(int slot, std::int32_t used, std::int32_t red, std::int32_t green,
                    std::int32_t blue) const {
        EXPECT_EQ(Module1::PresetUsed[slot], used) << "slot " << slot;
        EXPECT_EQ(Module1::PresetRed[slot], red) << "slot " << slot;
        EXPECT_EQ(Module1::PresetGreen[slot], green) << "slot " << slot;
        EXPECT_EQ(Module1::PresetBlue[slot], blue) << "slot " << slot;
    }

    TempFolder folder;
    fs::path file = folder / u8"KOV调节设置.ini";
};

}  // namespace

TEST_F(Module1Test, SettingsPathIsTheProgramFolderAndTheFileName) {
    const fs::path::string_type separator(1, fs::path::preferred_separator);
    const fs::path name(u8"KOV调节设置.ini");
    const fs::path::string_type plain = (fs::path("a") / u8"程序").native();
    for (const fs::path::string_type& programFolder : {plain, plain + separator}) {
        Module1::InitSettingsPath(programFolder);
        EXPECT_EQ(Module1::AppDir.native(), plain + separator);
        EXPECT_EQ(Module1::SettingsPath.native(), plain + separator + name.native());
    }
}

TEST_F(Module1Test, AFolderThatEndsInASeparatorGetsNoSecondOne) {
    const fs::path root = fs::temp_directory_path().root_path();
    Module1::InitSettingsPath(root);
    EXPECT_EQ(Module1::SettingsPath.native(),
              root.native() + fs::path(u8"KOV调节设置.ini").native());
}

TEST_F(Module1Test, LoadsEachPresetByTheFieldRules) {
    Write(
        "rgb1=1,2,3\r\n"
        "RGB2=0,0,0\r\n"
        "RGB3=10,20\r\n"
        "RGB4=1,2,3,4\r\n"
        "RGB5= 10 , -20 , 30\r\n"
        "RGB6=2.5,3.5,-0.5\r\n"
        "RGB0=9,9,9\r\n"
        "RGB7=9,9,9\r\n");
    Module1::LoadPresets(file);
    ExpectSlot(1, 1, 1, 2, 3);
    ExpectSlot(2, 0, 0, 0, 0);
    ExpectSlot(3, 0, 0, 0, 0);
    ExpectSlot(4, 0, 0, 0, 0);
    ExpectSlot(5, 1, 10, -20, 30);
    ExpectSlot(6, 1, 2, 4, 0);
    ExpectSlot(0, 0, 0, 0, 0);
}

TEST_F(Module1Test, AFieldThatIsNoNumberInRangeLeavesTheSlotEmpty) {
    const char* const values[] = {
        ",1,2", "1,,2", "1,2,", "abc,1,2", "1,2,3x", "99999999999,1,2", "1,-2147483649,2",
        "",     ",,"};
    for (const char* value : values) {
        Write(std::string("RGB1=") + value + "\r\n");
        Module1::LoadPresets(file);
        ExpectSlot(1, 0, 0, 0, 0);
    }
    Write("RGB1=2147483647,-2147483648,1\r\n");
    Module1::LoadPresets(file);
    ExpectSlot(1, 1, 2147483647, -2147483648, 1);
}

TEST_F(Module1Test, ASlotThatFailsToLoadKeepsItsOldOffsetsButHoldsNoPreset) {
    Write("RGB4=7,8,9\r\n");
    Module1::LoadPresets(file);
    Write("RGB4=7,8\r\n");
    Module1::LoadPresets(file);
    ExpectSlot(4, 0, 7, 8, 9);
}

TEST_F(Module1Test, ReadsTheStartUpSlotFromAutoload) {
    const struct {
        const char* line;
        std::int16_t slot;
    } cases[] = {{"AUTOLOAD=3abc", 3}, {"AUTOLOAD=abc", 0},   {"AUTOLOAD=2.5", 2},
                 {"AUTOLOAD=3.5", 4},  {"AUTOLOAD=-1", -1},   {"autoload= 6", 6},
                 {"AUTOLOAD=", 0},     {"AUTOLOAD=99999", 0}, {"AUTOLOAD =5", 0},
                 {"OTHER=1", 0}};
    for (const auto& c : cases) {
        Write(std::string(c.line) + "\r\n");
        Module1::LoadPresets(file);
        EXPECT_EQ(Module1::AutoLoadSlot, c.slot) << c.line;
    }
}

TEST_F(Module1Test, WithoutAFileNothingIsLoadedAndNothingCreated) {
    Module1::PresetUsed[3] = 1;
    Module1::AutoLoadSlot = 5;
    Module1::LoadPresets(file);
    EXPECT_EQ(Module1::AutoLoadSlot, 0);
    for (int slot = 1; slot <= 6; ++slot) {
        EXPECT_EQ(Module1::PresetUsed[slot], 0) << slot;
    }
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Module1Test, AFolderAtThePathLoadsNothing) {
    fs::create_directory(file);
    Module1::LoadPresets(file);
    EXPECT_EQ(Module1::AutoLoadSlot, 0);
    EXPECT_EQ(Module1::PresetUsed[1], 0);
}

TEST_F(Module1Test, TheFirstSaveCreatesTheDefaultFileAndAddsTheSlot) {
    Module1::EnsureSettingsFile(file);
    Module1::SavePreset(file, 2, L"10,-20,0");
    EXPECT_EQ(Read(), kDefaultContent + "RGB2=10,-20,0\r\n");

    Module1::EnsureSettingsFile(file);
    Module1::SavePreset(file, 2, L"0,0,0");
    EXPECT_EQ(Read(), kDefaultContent + "RGB2=0,0,0\r\n");

    Module1::LoadPresets(file);
    ExpectSlot(2, 0, 0, 0, 0);
    EXPECT_EQ(Module1::AutoLoadSlot, 0);
}

TEST_F(Module1Test, WorksInAProgramFolderWithAChineseName) {
    const fs::path programFolder = folder / fs::path(u8"程序 文件夹");
    fs::create_directory(programFolder);
    Module1::InitSettingsPath(programFolder);
    Module1::EnsureSettingsFile(Module1::SettingsPath);
    Module1::SavePreset(Module1::SettingsPath, 5, L"-30,-30,-30");
    Module1::LoadPresets(Module1::SettingsPath);
    ExpectSlot(5, 1, -30, -30, -30);
    EXPECT_EQ(ReadBytes(programFolder / fs::path(u8"KOV调节设置.ini")),
              kDefaultContent + "RGB5=-30,-30,-30\r\n");
}

TEST_F(Module1Test, ACreationThatFailsAnywhereLeavesNothingBehind) {
    for (std::size_t n = 0; n <= kDefaultContent.size(); ++n) {
        const WriteFault fault(n);
        Module1::EnsureSettingsFile(file);
        EXPECT_TRUE(folder.Entries().empty()) << "after " << n << " bytes";
    }
    Module1::EnsureSettingsFile(file);
    EXPECT_EQ(Read(), kDefaultContent);
    EXPECT_EQ(folder.Entries(), std::vector<fs::path>{file.filename()});
}

TEST_F(Module1Test, SavingWithoutAFileCreatesNothing) {
    Module1::SavePreset(file, 1, L"1,2,3");
    EXPECT_FALSE(fs::exists(file));
}

TEST_F(Module1Test, EnsureWritesTheDefaultOnlyWhenThereIsNoFirstLine) {
    const struct {
        const char* name;
        std::string before;
        std::string after;
    } cases[] = {
        {"empty file", "", kDefaultContent},
        {"first line empty", "\r\nRGB1=1,2,3\r\n", "\r\nRGB1=1,2,3\r\n"},
        {"a lone line end", "\r\n", "\r\n"},
        {"no AUTOLOAD", "RGB1=1,2,3", "RGB1=1,2,3"},
        {"anything at all", std::string("\0\xff\x81", 3), std::string("\0\xff\x81", 3)},
    };
    for (const auto& c : cases) {
        Write(c.before);
        Module1::EnsureSettingsFile(file);
        EXPECT_EQ(Read(), c.after) << c.name;
    }
}

TEST_F(Module1Test, EnsureLeavesAFolderAtThePathAlone) {
    fs::create_directory(file);
    Module1::EnsureSettingsFile(file);
    EXPECT_TRUE(fs::is_directory(file));
    Module1::SavePreset(file, 1, L"1,2,3");
    EXPECT_TRUE(fs::is_directory(file));
}
