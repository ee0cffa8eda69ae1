#include <gtest/gtest.h>
#include <windows.h>

#include <cstddef>
#include <filesystem>
#include <string>

#include "Win32PlatformServices.h"

namespace {

// A mutex name no other process uses, so that tests running side by side
// do not see each other.
std::wstring TestMutexName() {
    return L"Local\\KOV-Display-Test-" + std::to_wstring(GetCurrentProcessId());
}

// However small the first buffer, the whole name comes back. The folder it
// gives is used end to end, with a name in wide characters.
TEST(Win32PlatformServicesTest, TheModuleNameComesBackWholeHoweverSmallTheFirstBuffer) {
    const std::wstring whole = ModuleFileName(nullptr, 32768);
    for (const std::size_t capacity : {0, 1, 2, 7, 16, MAX_PATH}) {
        EXPECT_EQ(ModuleFileName(nullptr, capacity), whole);
    }
}

// The probe leaves nothing behind; the user's folder is under the roaming
// application data.
TEST(Win32PlatformServicesTest, SettingsPlacesAreAskedWithoutLeavingAnything) {
    Win32PlatformServices platform(TestMutexName());
    const std::filesystem::path folder =
        std::filesystem::temp_directory_path() / TestMutexName().substr(6);
    std::filesystem::create_directory(folder);
    EXPECT_TRUE(platform.CanCreateFilesIn(folder));
    EXPECT_TRUE(std::filesystem::is_empty(folder));
    EXPECT_FALSE(platform.CanCreateFilesIn(folder / "missing"));
    std::filesystem::remove(folder);
    EXPECT_EQ(platform.UserSettingsFolder().filename(), L"KOV调节显示器");
    EXPECT_TRUE(std::filesystem::is_directory(platform.UserSettingsFolder().parent_path()));
}

}  // namespace
