#include <windows.h>

#include <cstdint>
#include <string>

#include "INIFileModule1.h"
#include "TestFiles.h"
#include "Win32Handles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

std::size_t OpenHandleCount() {
    std::size_t count = 0;
    for (std::uintptr_t value = 4; value < 0x10000; value += 4) {
        DWORD flags = 0;
        count += GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags) ? 1 : 0;
    }
    return count;
}

TEST_F(SettingsFileTest, RespectsLocksAndKeepsTheHiddenAttribute) {
    for (const DWORD share : {DWORD{FILE_SHARE_READ}, DWORD{0}}) {
        const UniqueFileHandle lock(CreateFileW(File("K=1\r\n").c_str(), GENERIC_READ, share,
                                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                                                nullptr));
        ASSERT_TRUE(lock);
        EXPECT_EQ(ReadIniValue(path_, L"K"), share == 0 ? L"" : L"1");
        EXPECT_FALSE(WriteIniValue(path_, L"K", L"2"));
        EXPECT_EQ(EntryCount(), 1);
    }
    ASSERT_TRUE(SetFileAttributesW(path_.c_str(), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteIniValue(path_, L"K", L"2"));
    EXPECT_NE(GetFileAttributesW(path_.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0U);
    EXPECT_EQ(Bytes(), "K=2\r\n");
}
