#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>

#include "INIFileModule1.h"
#include "TestFiles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

namespace {

class Win32SettingsFileTest : public SettingsFileTest {
protected:
    void SetUp() override { File(kBefore); }

    static constexpr const char* kBefore = "RGB1=1,1,1\r\n";
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

// Asks every handle value a test process can hold (multiples of 4; such a
// process holds far fewer than 16,384 handles) whether it is open. Under
// Wine GetProcessHandleCount always reports 0.
std::size_t OpenHandleCount() {
    std::size_t count = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++count;
        }
    }
    return count;
}

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
