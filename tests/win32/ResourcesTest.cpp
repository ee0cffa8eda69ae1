#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// The version record of the built program, as Windows reads it.
TEST(ResourcesTest, VersionRecordNamesTheProgramInChineseUnicode) {
    const auto program =
        std::filesystem::path(KOV_PROGRAM_DIR) / std::filesystem::path(u8"KOV调节显示器.exe");
    DWORD ignored = 0;
    std::vector<char> record(GetFileVersionInfoSizeW(program.c_str(), &ignored));
    ASSERT_FALSE(record.empty());
    ASSERT_NE(
        GetFileVersionInfoW(program.c_str(), 0, static_cast<DWORD>(record.size()), record.data()),
        FALSE);
    const auto query = [&record](const std::wstring& path) {
        void* value = nullptr;
        UINT length = 0;
        VerQueryValueW(record.data(), path.c_str(), &value, &length);
        return std::make_pair(value, length);
    };
    const std::pair<const wchar_t*, const wchar_t*> texts[] = {
        {L"ProductName", L"KOV调节显示器"},
        {L"InternalName", L"KOV调节显示器"},
        {L"OriginalFilename", L"KOV调节显示器.exe"},
        {L"CompanyName", L"KOV工作室"},
        {L"FileVersion", L"1.00"},
        {L"ProductVersion", L"1.00"}};
    for (const auto& [name, text] : texts) {
        const auto [value, length] = query(L"\\StringFileInfo\\080404b0\\" + std::wstring(name));
        ASSERT_NE(value, nullptr);
        EXPECT_EQ(std::wstring(static_cast<const wchar_t*>(value)), text);
    }
    const auto [translation, size] = query(L"\\VarFileInfo\\Translation");
    ASSERT_EQ(size, 4U);
    EXPECT_EQ(*static_cast<const std::uint32_t*>(translation), MAKELONG(0x0804, 1200));
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(query(L"\\").first);
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(0, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, 0U);
}
