#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <string>

#include "INIFileModule1.h"
#include "TestFiles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

namespace {

class Win32SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { WriteBytes(path_, kBefore); }

    static constexpr const char* kBefore = "RGB1=1,1,1\r\n";
    TempFolder folder_;
    std::filesystem::path path_ = folder_ / "settings.ini";
};

// An open handle that holds the file open as another program would.
class OpenedElsewhere {
public:
    OpenedElsewhere(const std::filesystem::path& path, DWORD share)
        : handle_(CreateFileW(path.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr)) {}
    ~OpenedElsewhere() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            CloseHandle(handle_);
        }
    }
    OpenedElsewhere(const OpenedElsewhere&) = delete;
    OpenedElsewhere& operator=(const OpenedElsewhere&) = delete;

    bool IsOpen() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

}  // namespace

// The byte fixtures of these tests are code page 936; on any other code
// page they would test something else.
TEST(AnsiCodePage, Is936ForTheseTests) {
    EXPECT_EQ(GetACP(), 936u);
}

TEST_F(Win32SettingsFileTest, FileLockedByAnotherProgramIsLeftAsItWas) {
    const OpenedElsewhere lock(path_, FILE_SHARE_READ);
    ASSERT_TRUE(lock.IsOpen());
    EXPECT_EQ(ReadIniValue(path_, L"RGB1"), L"1,1,1");
    EXPECT_FALSE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    EXPECT_EQ(ReadBytes(path_), kBefore);
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

TEST_F(Win32SettingsFileTest, ReadOnlyAttributeIsHeeded) {
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL));
    EXPECT_EQ(ReadBytes(path_), kBefore);
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

TEST_F(Win32SettingsFileTest, KeepsTheHiddenAttribute) {
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    EXPECT_NE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    EXPECT_EQ(ReadBytes(path_), "RGB1=2,2,2\r\n");
}

// Every path, failing or not, closes what it opened.
TEST_F(Win32SettingsFileTest, LeavesNoHandleOpen) {
    const auto openHandles = [] {
        DWORD count = 0;
        GetProcessHandleCount(GetCurrentProcess(), &count);
        return count;
    };
    const std::filesystem::path readOnly = folder_ / "read-only.ini";
    WriteBytes(readOnly, kBefore);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_READONLY);
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
    const DWORD before = openHandles();
    exerciseEveryPath();
    EXPECT_EQ(openHandles(), before);
    SetFileAttributesW(readOnly.c_str(), FILE_ATTRIBUTE_NORMAL);
}
