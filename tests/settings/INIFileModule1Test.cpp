#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "INIFileModule1.h"
#include "TestFiles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

namespace {

// Six lines: a comment, a blank before "=", letter case, the key inside a
// line, an "=" before the key, and a value with blanks.
constexpr std::string_view kReadingLines[] = {
    "  ;RGB1=1,1,1", "Autoload = 5", "autoload=3", "MY.RGB2=5,5,5", "A=RGB3=7,7,7", "RGB4= 1, 2, 3",
};

std::string Joined(const std::string_view (&lines)[6], std::string_view lineEnd) {
    std::string text;
    for (const std::string_view line : lines) {
        text += line;
        text += lineEnd;
    }
    return text;
}

}  // namespace

TEST_F(SettingsFileTest, ReadsTheWorkedTableWithEveryKindOfLineEnd) {
    const struct {
        std::wstring_view key;
        std::wstring_view value;
    } cases[] = {
        {L"AUTOLOAD", L"3"},      {L"autoload", L"3"},    {L"  AUTOLOAD  ", L"3"},
        {L"RGB1", L""},           {L"RGB2", L"5,5,5"},    {L" rgb2", L"5,5,5"},
        {L"RGB3", L"RGB3=7,7,7"}, {L"RGB4", L" 1, 2, 3"}, {L"RGB5", L""},
        {L"MY.RGB2", L"5,5,5"},   {L"Autoload ", L"3"},
    };
    for (const std::string_view lineEnd : {"\r\n", "\n", "\r"}) {
        File(Joined(kReadingLines, lineEnd));
        for (const auto& c : cases) {
            EXPECT_EQ(ReadIniValue(path_, c.key), c.value)
                << "key [" << std::string(c.key.begin(), c.key.end()) << "] line end "
                << Visible(lineEnd);
        }
    }
}

TEST_F(SettingsFileTest, ReadsTheFirstOfSeveralMatchesAndEmptyValues) {
    const struct {
        std::string_view bytes;
        std::wstring_view key;
        std::wstring_view value;
    } cases[] = {
        {"RGB1=1,1,1\r\nrgb1=2,2,2\r\n", L"RGB1", L"1,1,1"},
        {"RGB1=\r\nRGB1=2,2,2\r\n", L"RGB1", L""},
        {"x RGB1=\r\n", L"RGB1", L""},
        {"RGB1=1,2,3", L"RGB1", L"1,2,3"},
        {"  ; RGB1=1\r\nRGB1=2\r\n", L"RGB1", L"2"},
        {"\t;RGB1=1\r\n", L"RGB1", L"1"},
        {"[Section]\r\nRGB1=4\r\n", L"RGB1", L"4"},
        {"RGB1 =1\r\n", L"RGB1", L""},
        {"RGB1=a=b \r\n", L"RGB1", L"a=b "},
        {"", L"RGB1", L""},
        {"\r\n\r\n", L"RGB1", L""},
        {"\xa6\xc1\xa6\xc2=\xd6\xd0\r\n", L"\u0391\u0392", L"\u4e2d"},
        {"\xa1\xa1RGB1=1\r\n", L"RGB1", L"1"},
        {"\xa1\xa1;RGB1=1\r\n", L"RGB1", L"1"},
        {"RGB1=\x81 x\r\n", L"RGB1", L"\ufffd x"},
        {std::string_view("A\0B=1\r\nRGB1=\0x\r\n", 16), L"RGB1", std::wstring_view(L"\0x", 2)},
        {"AUTOLOAD=1\r\n", L"", L"1"},
    };
    for (const auto& c : cases) {
        File(c.bytes);
        EXPECT_EQ(ReadIniValue(path_, c.key), c.value) << Visible(c.bytes);
    }
}

TEST_F(SettingsFileTest, RewritesTheWorkedEightLineExample) {
    File(
        ";my presets\r\n\r\nx\r\n   AUTOLOAD=2\r\nrgb1=4,4,4\r\nRGB2=0,6,0\r\n  "
        "\r\nRGB1=8,8,8\r\n");
    EXPECT_TRUE(WriteIniValue(path_, L"RGB1", L"10,-20,0"));
    EXPECT_EQ(Visible(Bytes()),
              Visible(";my presets\r\nAUTOLOAD=2\r\nRGB1=10,-20,0\r\nRGB2=0,6,0\r\n\r\n"
                      "RGB1=10,-20,0\r\n"));
}

TEST_F(SettingsFileTest, RewritesByTheWriterRules) {
    const struct {
        std::string_view before;
        std::wstring_view key;
        std::wstring_view value;
        std::string_view after;
    } cases[] = {
        {";c\r\nAUTOLOAD=0\r\n", L"RGB3", L"2,4,6", ";c\r\nAUTOLOAD=0\r\nRGB3=2,4,6\r\n"},
        {"", L"RGB1", L"1,2,3", "RGB1=1,2,3\r\n"},
        {"X RGB1=1,2,3\r\n", L"RGB1", L"9,9,9", "X RGB1=1,2,3\r\nRGB1=9,9,9\r\n"},
        {";RGB1=1,2,3\r\n", L"RGB1", L"9,9,9", ";RGB1=1,2,3\r\nRGB1=9,9,9\r\n"},
        {"RGB10=1,2,3\r\n", L"RGB1", L"9,9,9", "RGB10=1,2,3\r\nRGB1=9,9,9\r\n"},
        {"AUTOLOAD=0", L"RGB1", L"1,1,1", "AUTOLOAD=0\r\nRGB1=1,1,1\r\n"},
        {"rgb1=4,4,4\r\n", L"Rgb1", L"5,5,5", "Rgb1=5,5,5\r\n"},
        {"a1\nb2\rc3\r\n", L"K", L"V", "a1\r\nb2\r\nc3\r\nK=V\r\n"},
        {"ab  \r\n", L"K", L"V", "ab  \r\nK=V\r\n"},
        {"\t\r\n\t\t\r\n", L"K", L"V", "\t\t\r\nK=V\r\n"},
        {" \r\n  \r\n", L"K", L"V", "\r\nK=V\r\n"},
        {"\xd6\xd0\r\n\xd6\xd0\xce\xc4\r\n", L"K", L"V", "\xd6\xd0\xce\xc4\r\nK=V\r\n"},
        {"\x81\r\n\xff\xff\r\n\xff\x81 x\r\n", L"K", L"V", "\xff\xff\r\n\xff\x81 x\r\nK=V\r\n"},
        {"\xa1\xa1RGB1=1\r\n", L"RGB1", L"2", "\xa1\xa1RGB1=1\r\nRGB1=2\r\n"},
        {"RGB1=1\r\n", L" RGB1", L"2", "RGB1=1\r\n RGB1=2\r\n"},
        {"RGB1 =1\r\n", L"RGB1", L"2", "RGB1 =1\r\nRGB1=2\r\n"},
        {"\xa6\xc1\xa6\xc2=1\r\n", L"\u0391\u0392", L"\u4e2d", "\xa6\xa1\xa6\xa2=\xd6\xd0\r\n"},
        {"K=1\r\n", L"K", L"\u00c9\u0e01", "K=??\r\n"},
        {"K=1\r\n", L"K", L"", "K=\r\n"},
        {"K=1\r\n", L"", L"v", "K=1\r\n=v\r\n"},
        {"=1\r\n", L"", L"v", "=v\r\n"},
        {std::string_view("A\0B=1\r\n", 7), L"K", std::wstring_view(L"\0", 1),
         std::string_view("A\0B=1\r\nK=\0\r\n", 12)},
    };
    for (const auto& c : cases) {
        File(c.before);
        EXPECT_TRUE(WriteIniValue(path_, c.key, c.value)) << Visible(c.before);
        EXPECT_EQ(Visible(Bytes()), Visible(c.after)) << Visible(c.before);
    }
}

TEST_F(SettingsFileTest, ReaderStillFindsAKeyTheWriterDidNotMatch) {
    File("X RGB1=1,2,3\r\n");
    ASSERT_TRUE(WriteIniValue(path_, L"RGB1", L"4,5,6"));
    EXPECT_EQ(ReadIniValue(path_, L"RGB1"), L"1,2,3");
}

TEST_F(SettingsFileTest, KeepsAChineseCommentByteForByte) {
    const std::string comment =
        ";KOV\xb5\xf7\xbd\xda\xcf\xd4\xca\xbe\xc6\xf7\xc9\xe8\xd6\xc3   \xd7\xf7\xd5\xdf\xa3\xba"
        "Tavrin   Email:tavrin@example.com";
    File(comment + "\r\nAUTOLOAD=0\r\n");
    ASSERT_TRUE(WriteIniValue(path_, L"RGB2", L"10,-20,0"));
    EXPECT_EQ(Bytes(), comment + "\r\nAUTOLOAD=0\r\nRGB2=10,-20,0\r\n");
    ASSERT_TRUE(WriteIniValue(path_, L"RGB2", L"0,0,0"));
    EXPECT_EQ(Bytes(), comment + "\r\nAUTOLOAD=0\r\nRGB2=0,0,0\r\n");
}

TEST_F(SettingsFileTest, RefusesLineBreaksInKeyOrValue) {
    const std::string before = "K=1\r\n";
    File(before);
    for (const std::wstring_view text : {L"a\r\nb", L"a\nb", L"a\rb"}) {
        EXPECT_FALSE(WriteIniValue(path_, L"K", text));
        EXPECT_FALSE(WriteIniValue(path_, text, L"v"));
    }
    EXPECT_EQ(Bytes(), before);
}

TEST_F(SettingsFileTest, MissingFileOrFolderGivesTheFailureResults) {
    const std::filesystem::path missing = folder_ / "missing.ini";
    EXPECT_EQ(ReadIniValue(missing, L"AUTOLOAD"), L"");
    EXPECT_FALSE(WriteIniValue(missing, L"RGB1", L"1,2,3"));
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_FALSE(WriteIniValue(folder_ / "no-such-folder" / "a.ini", L"RGB1", L"1,2,3"));

    const std::filesystem::path subfolder = folder_ / "folder.ini";
    std::filesystem::create_directory(subfolder);
    EXPECT_EQ(ReadIniValue(subfolder, L"AUTOLOAD"), L"");
    EXPECT_FALSE(WriteIniValue(subfolder, L"RGB1", L"1,2,3"));
    EXPECT_TRUE(std::filesystem::is_directory(subfolder));
    EXPECT_EQ(ReadIniValue(L"", L"AUTOLOAD"), L"");
    EXPECT_FALSE(WriteIniValue(L"", L"RGB1", L"1"));
}

// A write that fails after any number of bytes, the last one included,
// leaves the old file as it was and no temporary file beside it.
TEST_F(SettingsFileTest, AFailureAnywhereInTheWriteKeepsTheOldFile) {
    const std::string before =
        ";my presets\r\n\r\nx\r\n   AUTOLOAD=2\r\nrgb1=4,4,4\r\nRGB2=0,6,0\r\n  \r\nRGB1=8,8,8\r\n";
    const std::string after =
        ";my presets\r\nAUTOLOAD=2\r\nRGB1=10,-20,0\r\nRGB2=0,6,0\r\n\r\nRGB1=10,-20,0\r\n";
    File(before);
    for (std::size_t n = 0; n <= after.size(); ++n) {
        const WriteFault fault(n);
        EXPECT_FALSE(WriteIniValue(path_, L"RGB1", L"10,-20,0")) << "after " << n << " bytes";
        EXPECT_EQ(Bytes(), before) << "after " << n << " bytes";
        EXPECT_EQ(folder_.Entries(), std::vector<std::filesystem::path>{"settings.ini"});
    }
    const WriteFault beyondTheEnd(after.size() + 1);
    EXPECT_TRUE(WriteIniValue(path_, L"RGB1", L"10,-20,0"));
    EXPECT_EQ(Bytes(), after);
    EXPECT_EQ(folder_.Entries(), std::vector<std::filesystem::path>{"settings.ini"});
}

TEST_F(SettingsFileTest, ReadOnlyFileIsLeftAsItWas) {
    const std::string before = "RGB1=1,1,1\r\n";
    File(before);
    namespace fs = std::filesystem;
    fs::permissions(path_,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    EXPECT_FALSE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    EXPECT_EQ(ReadIniValue(path_, L"RGB1"), L"1,1,1");
    fs::permissions(path_, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(Bytes(), before);
    EXPECT_EQ(folder_.Entries(), std::vector<std::filesystem::path>{"settings.ini"});
}

// Every path, failing or not, closes what it opened.
TEST_F(SettingsFileTest, LeavesNoFileOpen) {
    namespace fs = std::filesystem;
    File("RGB1=1,1,1\r\n");
    const fs::path readOnly = folder_ / "read-only.ini";
    WriteBytes(readOnly, "RGB1=1,1,1\r\n");
    fs::permissions(readOnly,
                    fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                    fs::perm_options::remove);
    const auto exerciseEveryPath = [&] {
        ReadIniValue(path_, L"RGB1");
        WriteIniValue(path_, L"RGB1", L"\u4e2d");
        ReadIniValue(folder_.Path(), L"RGB1");
        WriteIniValue(folder_.Path(), L"RGB1", L"1");
        WriteIniValue(folder_ / "missing.ini", L"RGB1", L"1");
        WriteIniValue(readOnly, L"RGB1", L"1");
        for (std::size_t n : {0, 3}) {
            const WriteFault fault(n);
            WriteIniValue(path_, L"RGB1", L"2");
        }
    };
    exerciseEveryPath();
    const std::size_t before = OpenHandleCount();
    exerciseEveryPath();
    EXPECT_EQ(OpenHandleCount(), before);
    fs::permissions(readOnly, fs::perms::owner_write, fs::perm_options::add);
}

TEST_F(SettingsFileTest, WorksInAFolderWithAChineseName) {
    const std::filesystem::path folder = folder_ / std::filesystem::path(u8"显示器设置");
    std::filesystem::create_directory(folder);
    const std::filesystem::path file = folder / std::filesystem::path(u8"KOV调节设置.ini");
    WriteBytes(file, "AUTOLOAD=0\r\n");
    ASSERT_TRUE(WriteIniValue(file, L"RGB1", L"1,2,3"));
    EXPECT_EQ(ReadIniValue(file, L"RGB1"), L"1,2,3");
    EXPECT_EQ(ReadBytes(file), "AUTOLOAD=0\r\nRGB1=1,2,3\r\n");
}

// Deterministic noise: every byte value, CR and LF among them.
std::string Garbage(std::size_t size) {
    std::string bytes(size, '\0');
    std::uint32_t state = 12345;
    for (char& byte : bytes) {
        state = state * 1664525 + 1013904223;
        byte = static_cast<char>(state >> 24);
    }
    return bytes;
}

bool HasOnlyCrLfLineEnds(std::string_view bytes) {
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const bool cr = bytes[i] == '\r';
        const bool lf = bytes[i] == '\n';
        if ((cr && (i + 1 == bytes.size() || bytes[i + 1] != '\n')) ||
            (lf && (i == 0 || bytes[i - 1] != '\r'))) {
            return false;
        }
    }
    return true;
}

TEST_F(SettingsFileTest, BinaryGarbageIsCarriedAlong) {
    File(Garbage(1 << 20));
    EXPECT_EQ(ReadIniValue(path_, L"ZQXJ"), L"");
    ASSERT_TRUE(WriteIniValue(path_, L"ZQXJ", L"1,2,3"));
    const std::string after = Bytes();
    EXPECT_TRUE(HasOnlyCrLfLineEnds(after));
    EXPECT_TRUE(std::string_view(after).ends_with("\r\nZQXJ=1,2,3\r\n"));
    EXPECT_EQ(ReadIniValue(path_, L"ZQXJ"), L"1,2,3");
}

TEST_F(SettingsFileTest, HandlesAFileOfFiftyMegabytes) {
    const std::string_view line = "KEY=some value of a typical length, repeated many times\r\n";
    std::string large;
    large.reserve((50u << 20) + line.size());
    while (large.size() < (50u << 20)) {
        large += line;
    }
    File(large + "RGB1=7,7,7\r\n");
    EXPECT_EQ(ReadIniValue(path_, L"RGB1"), L"7,7,7");
    ASSERT_TRUE(WriteIniValue(path_, L"RGB1", L"8,8,8"));
    const std::string after = Bytes();
    EXPECT_EQ(after.size(), large.size() + 12);
    EXPECT_TRUE(std::string_view(after).ends_with("\r\nRGB1=8,8,8\r\n"));
}

TEST_F(SettingsFileTest, HandlesALineOfTenMegabytes) {
    const std::string longLine(10u << 20, 'A');
    File(longLine + "=1\r\nRGB1=2\r\n");
    EXPECT_EQ(ReadIniValue(path_, L"RGB1"), L"2");
    ASSERT_TRUE(WriteIniValue(path_, L"RGB1", L"3"));
    EXPECT_EQ(Bytes(), longLine + "=1\r\nRGB1=3\r\n");
}

TEST_F(SettingsFileTest, ReplacesThousandsOfMatchingLines) {
    std::string matches;
    std::string replaced;
    for (int i = 0; i < 10000; ++i) {
        matches += "rgb1=" + std::to_string(i) + "\r\n";
        replaced += "RGB1=x\r\n";
    }
    File(matches);
    EXPECT_EQ(ReadIniValue(path_, L"RGB1"), L"0");
    ASSERT_TRUE(WriteIniValue(path_, L"RGB1", L"x"));
    EXPECT_EQ(Bytes(), replaced);
}
