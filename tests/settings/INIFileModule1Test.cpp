#include <memory>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>

#include "INIFileModule1.h"
#include "SettingsFile.h"
#include "TestFiles.h"

using namespace INIFileModule1;
using namespace SettingsFile;

// clang-format off
const std::string kEightLines = ";my presets\r\n\r\nx\r\n   AUTOLOAD=2\r\nrgb1=4,4,4\r\nRGB2=0,6,0\r\n  \r\nRGB1=8,8,8\r\n";
const std::string kEightLinesAfter = ";my presets\r\nAUTOLOAD=2\r\nRGB1=10,-20,0\r\nRGB2=0,6,0\r\n\r\nRGB1=10,-20,0\r\n";
const std::string kSix = "  ;RGB1=1,1,1\rAutoload = 5\nautoload=3\r\nMY.RGB2=5,5,5\r\nA=RGB3=7,7,7\r\nRGB4= 1, 2, 3";
const std::tuple<std::string_view, std::wstring_view, std::wstring_view> kReadCases[] = {
    {kSix, L"AUTOLOAD", L"3"}, {kSix, L" autoload ", L"3"}, {kSix, L"RGB1", L""}, {kSix, L"RGB2", L"5,5,5"},
    {kSix, L"RGB3", L"RGB3=7,7,7"}, {kSix, L"RGB4", L" 1, 2, 3"}, {kSix, L"RGB5", L""}, {"", L"RGB1", L""},
    {"X RGB1=1\r\nrgb1=2", L"RGB1", L"1"}, {"RGB1=\r\nRGB1=2", L"RGB1", L""}, {"\t;RGB1=1", L"RGB1", L"1"},
    {"[S]\r\nRGB1=4", L"RGB1", L"4"}, {"RGB1=a=b ", L"RGB1", L"a=b "}, {"\xa1\xa1;RGB1=1", L"RGB1", L"1"},
    {"RGB1=\x81 x", L"RGB1", L"\ufffd x"}, {{"A\0B=1\r\nRGB1=\0x", 14}, L"RGB1", {L"\0x", 2}},
    {"\xa8\xa1\xa8\xa3\xa8\xa6\xa8\xb9\xa6\xc1\xa7\xd1\xa7\xd7\xa3\xe1\xa2\xa1=\xd6\xd0",
     L"\u0101\u01cd\u00c9\u00fc\u0391\u0430\u0401\uff41\u2160", L"\u4e2d"},
    {"\x80\xa1\xa4\xa6\xc1\xd7\xf7=\xaa\xa1\xa1\x40\xa7\xa0\xff\xd6\xd0\x81", L"\u20ac\u00b7\u0391\u4f5c",
     L"\ue000\ue4c6\ue765\ufffd\u4e2d\ufffd"}};
const std::tuple<std::string_view, std::wstring_view, std::wstring_view, std::string_view> kWriteCases[] = {
    {kEightLines, L"RGB1", L"10,-20,0", kEightLinesAfter}, {"", L"RGB1", L"1,2,3", "RGB1=1,2,3\r\n"},
    {";c\r\nAUTOLOAD=0\r\n", L"RGB3", L"2,4,6", ";c\r\nAUTOLOAD=0\r\nRGB3=2,4,6\r\n"}, {"K=1\r\n", L"", L"v", "=v\r\nK=1\r\n"},
    {"rgb1=4,4,4\r\n", L"Rgb1", L"5", "Rgb1=5\r\n"}, {"RGB1=1\r\n", L" RGB1", L"2", " RGB1=2\r\nRGB1=1\r\n"},
    {"X RGB1=1\r\n;RGB1=2\r\nRGB10=3", L"RGB1", L"9", "RGB1=9\r\nX RGB1=1\r\n;RGB1=2\r\nRGB10=3\r\n"},
    {"a1\nb2\rc3\r\nab  \r\n", L"K", L"V", "a1\r\nb2\r\nc3\r\nab  \r\nK=V\r\n"}, {"\t\r\n\t\t\r\n \r\n  \r\n", L"K", L"V", "\t\t\r\n\r\nK=V\r\n"},
    {"\xd6\xd0\r\n\xd6\xd0\xce\xc4\r\n\x81\r\n\xff\x81 x", L"K", L"V", "\xd6\xd0\xce\xc4\r\n\xff\x81 x\r\nK=V\r\n"},
    {"\xfe\xfe\r\n\xa7\xa0x\r\n", L"K", L"\ue000", "\xa7\xa0x\r\nK=\xaa\xa1\r\n"}, {{"A\0B=1\r\n", 7}, L"K", {L"\0", 1}, {"A\0B=1\r\nK=\0\r\n", 12}},
    {"\xa1\xa1RGB1=1\r\nRGB1 =1\r\n", L"RGB1", L"2", "RGB1=2\r\n\xa1\xa1RGB1=1\r\nRGB1 =1\r\n"},
    {"\xa6\xc1\xa6\xc2=1\r\n", L"\u0391\u0392", L"\u4e2d\u00c9\U0001F600", "\xa6\xa1\xa6\xa2=\xd6\xd0??\r\n"},
    {"K=1\r\n", L"K", L"a\rb", "refused K=1\r\n"}, {"K=1\r\n", L"a\nb", L"v", "refused K=1\r\n"},
    {";c\r\n#RGB1=-6,-6,-6\r\nrgb1=2\r\n", L"RGB1", L"4,4,4", ";c\r\nRGB1=4,4,4\r\n#RGB1=-6,-6,-6\r\nRGB1=4,4,4\r\n"},
    {"RGB1=1\r\n#RGB1=2\r\n", L"RGB1", L"3", "RGB1=3\r\n#RGB1=2\r\n"}};
// clang-format on

TEST_F(SettingsFileTest, ReadsAndRewritesByTheirRules) {
    for (const auto& [bytes, key, value] : kReadCases) {
        EXPECT_EQ(ReadIniValue(File(bytes), key), value) << bytes;
    }
    for (const auto& [before, key, value, after] : kWriteCases) {
        const bool written = WriteIniValue(File(before), key, value);
        EXPECT_EQ((written ? "" : "refused ") + Bytes(), after);
    }
}

struct FailsAfter final : PendingFile {
    FailsAfter(std::unique_ptr<PendingFile> file, std::size_t n) : file(std::move(file)), n(n) {}
    bool Write(std::string_view bytes) override {
        return file->Write(bytes.substr(0, n)) && n > bytes.size();
    }
    bool Commit() override { return file->Commit(); }
    std::unique_ptr<PendingFile> file;
    std::size_t n;
};

TEST_F(SettingsFileTest, EveryWayToFailChangesNothingAndLeavesNoFileOpen) {
    const auto everyWay = [this] {
        for (std::size_t n = 0; n < 2 * (kEightLinesAfter.size() + 2); ++n) {
            const bool exists = n % 2 == 0, fits = n / 2 > kEightLinesAfter.size();
            auto file = exists ? BeginReplacement(File(kEightLines)) : BeginCreation(path_);
            const bool done = WriteAndCommit(std::make_unique<FailsAfter>(std::move(file), n / 2),
                                             kEightLinesAfter);
            const std::string kept = fits ? kEightLinesAfter : exists ? kEightLines : "";
            EXPECT_EQ(std::tuple(n, done, Bytes(), EntryCount() > 0),
                      std::tuple(n, fits, kept, !kept.empty()));
            fs::remove(path_);
        }
        EXPECT_TRUE(WriteIniValue(File("K=1\r\n"), L"K", L"\u4e2d"));
        EXPECT_EQ(ReadIniValue(path_, L"K"), L"\u4e2d");
        File("K=1\r\n");
        EXPECT_FALSE(CreateFileBytes(path_, "K=2\r\n"));
        fs::permissions(path_, fs::perms::owner_read | fs::perms::group_read);
        EXPECT_FALSE(WriteIniValue(path_, L"K", L"2"));
        fs::permissions(path_, fs::perms::owner_read | fs::perms::owner_write);
        EXPECT_EQ(Bytes(), "K=1\r\n");
        fs::resize_file(path_, kMaxFileBytes + 1);
        for (const fs::path& path : {path_, folder_, folder_ / "missing.ini", fs::path()}) {
            EXPECT_EQ(ReadIniValue(path, L"K"), L"");
            EXPECT_FALSE(WriteIniValue(path, L"K", L"2"));
        }
        EXPECT_EQ(std::tuple(fs::file_size(path_), EntryCount()), std::tuple(kMaxFileBytes + 1, 1));
    };
    everyWay();
    const std::size_t open = OpenHandleCount();
    everyWay();
    EXPECT_EQ(OpenHandleCount(), open);
}
