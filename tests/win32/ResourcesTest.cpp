#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The version record of the built program, as Windows reads it: linked in,
// in the language and code page its strings are filed under, and with its
// Chinese text intact through the resource compiler.
TEST(ResourcesTest, VersionRecordNamesTheProgramInChineseUnicode) {
    const auto program =
        std::filesystem::path(KOV_PROGRAM_DIR) / std::filesystem::path(u8"KOV调节显示器.exe");
    DWORD ignored = 0;
    std::vector<char> record(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(record.empty());
    ASSERT_NE(
        GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()), record.data()),
        FALSE);
    void* value = nullptr;
    UINT length = 0;
    ASSERT_NE(VerQueryValueW(record.data(), L"\\VarFileInfo\\Translation", &value, &length), FALSE);
    ASSERT_EQ(length, 4U);
    EXPECT_EQ(*static_cast<const std::uint32_t*>(value), MAKELONG(0x0804, 1200));
    ASSERT_NE(
        VerQueryValueW(record.data(), L"\\StringFileInfo\\080404b0\\ProductName", &value, &length),
        FALSE);
    EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), L"KOV调节显示器");
}
