#include <gtest/gtest.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <random>
#include <string>
#include <tuple>

#include "LinuxPlatformServices.h"
#include "RuntimeFolder.h"

namespace {

// The services with no notice to show, over a fresh folder of their own.
class Services final : public LinuxPlatformServices {
public:
    using LinuxPlatformServices::LinuxPlatformServices;
    void ShowNotice(std::wstring_view, std::wstring_view) override {}
    void ShowRunningInstance() override {}
};

class PlatformTest : public ::testing::Test {
protected:
    PlatformTest() { std::filesystem::create_directories(folder); }
    ~PlatformTest() override { std::filesystem::remove_all(folder); }

    const std::filesystem::path folder = std::filesystem::temp_directory_path() /
                                         ("kov-platform-" + std::to_string(std::random_device()()));
};

}  // namespace

TEST(RuntimeFolder, FoldersAndNamesFollowTheUserTheDisplayAndTheXdgRules) {
    EXPECT_EQ(RuntimeFolderPath("/run/user/7", "/tmp", 7), "/run/user/7/kov-display");
    EXPECT_EQ(RuntimeFolderPath(std::nullopt, "/tmp", 7), "/tmp/kov-display-7");
    // One server whatever local name reaches it; Wayland's socket before X.
    for (const auto& [wayland, display, name] :
         {std::tuple{"", ":0.1", "_0"}, {"", "unix:0", "_0"}, {"", "unix/:0.0", "_0"},
          {"", "localhost:10.0", "localhost_10"}, {"", "../../etc/x:0", ".._.._etc_x_0"},
          {"", "", "none"}, {"wayland-1", ":0", "wl-wayland-1"},
          {"/run/user/7/wayland-1", ":1", "wl-wayland-1"}, {"/tmp/w 1", "", "wl-_tmp_w_1"}}) {
        EXPECT_EQ(ServerFileName(wayland, display, "/run/user/7"), name);
    }
    for (const auto& [configHome, home, expected] :
         {std::tuple{"/cfg", "/home/u", "/cfg/kov-display"},
          {"", "/home/u", "/home/u/.config/kov-display"},
          {"cfg", "/home/u", "/home/u/.config/kov-display"},
          {"", "", ""}}) {
        EXPECT_EQ(UserSettingsFolder(configHome, home), expected);
    }
}

// Only a folder of the user's own that nobody else may enter will do: one
// that another user made first in the temp folder, or a link, is refused.
TEST_F(PlatformTest, ARuntimeFolderIsMadePrivateAndAnyOtherIsRefused) {
    struct stat status {};
    ASSERT_EQ(PrivateFolder(folder / "new", ::getuid()), folder / "new");
    ::stat((folder / "new").c_str(), &status);
    EXPECT_EQ(status.st_mode & 0777, 0700U);
    std::filesystem::create_directory_symlink(folder / "new", folder / "link");
    EXPECT_EQ(PrivateFolder(folder / "link", ::getuid()), std::nullopt);
    std::filesystem::create_directory(folder / "open");
    ::chmod((folder / "open").c_str(), 0777);
    EXPECT_EQ(PrivateFolder(folder / "open", ::getuid()), std::nullopt);
    EXPECT_EQ(PrivateFolder(folder / "new", ::getuid() + 1), std::nullopt);
    EXPECT_FALSE(Services(std::nullopt).AnotherInstanceRunning());
}

TEST_F(PlatformTest, TheFirstInstanceHoldsTheLockUntilItEnds) {
    const std::filesystem::path lock = folder / "instance.lock";
    std::optional<Services> first(std::in_place, lock);
    Services second(lock);
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_FALSE(first->AnotherInstanceRunning());
    EXPECT_TRUE(second.AnotherInstanceRunning());
    first.reset();
    // A finishing watcher holds the run lock a while: the new run waits for it.
    int ready[2];
    ASSERT_EQ(::pipe(ready), 0);
    const pid_t watcher = fork();
    if (watcher == 0) {
        const int held = ::open(RunLockPath(lock).c_str(), O_RDWR);
        ::flock(held, LOCK_EX);
        [[maybe_unused]] const auto told = ::write(ready[1], "!", 1);
        ::usleep(300000);
        _exit(0);
    }
    char byte = 0;
    ASSERT_EQ(::read(ready[0], &byte, 1), 1);
    EXPECT_FALSE(second.AnotherInstanceRunning());
    ::waitpid(watcher, nullptr, 0);
    const UniqueFd runLock(::open(RunLockPath(lock).c_str(), O_RDWR));
    EXPECT_NE(::flock(runLock.Get(), LOCK_EX | LOCK_NB), 0) << "the new run holds the run lock";
    ::close(ready[0]);
    ::close(ready[1]);
    EXPECT_FALSE(Services(folder / "missing" / "lock").AnotherInstanceRunning());
    std::filesystem::create_symlink(folder / "target", folder / "link.lock");
    EXPECT_FALSE(Services(folder / "link.lock").AnotherInstanceRunning());
    EXPECT_FALSE(std::filesystem::exists(folder / "target"));
}
