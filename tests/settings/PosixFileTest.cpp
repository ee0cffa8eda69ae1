#include <dlfcn.h>
#include <errno.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

#include "INIFileModule1.h"
#include "Module1.h"
#include "TestFiles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

// Seams: while set, link() and fchmod() fail with this error, as on a mount
// without hard links or one that refuses mode changes; umask() calls are
// counted, since changing the process's mask races with other threads.
int linkError = 0, fchmodError = 0, umaskCalls = 0;

template <typename Function>
Function Real(const char* name) {
    return reinterpret_cast<Function>(dlsym(RTLD_NEXT, name));
}
extern "C" int link(const char* from, const char* to) noexcept {
    errno = linkError;
    return linkError != 0 ? -1 : Real<int (*)(const char*, const char*)>("link")(from, to);
}
extern "C" int fchmod(int fd, mode_t mode) noexcept {
    errno = fchmodError;
    return fchmodError != 0 ? -1 : Real<int (*)(int, mode_t)>("fchmod")(fd, mode);
}
extern "C" mode_t umask(mode_t mask) noexcept {
    ++umaskCalls;
    return Real<mode_t (*)(mode_t)>("umask")(mask);
}

// Runs check in a child process, which drops root when the tests run as root.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return waitpid(child, &status, 0) == child && status == 0;
}

std::size_t OpenHandleCount() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

// Without hard links the first save still creates the file, with the mode of
// any new file, and a creation never replaces what is there. A rewrite keeps
// owner and mode, and goes on where the mount refuses the mode change. (No
// ASSERT: the seams must be reset at the end.)
TEST_F(SettingsFileTest, SavesWhereLinksOrModeChangesAreRefused) {
    const mode_t mask = umask(0);
    umask(mask);
    umaskCalls = 0;
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    for (const auto& [noLink, noMode] : {std::pair{0, 0}, {EPERM, 0}, {ENOTSUP, 0}, {0, EPERM}}) {
        std::tie(linkError, fchmodError) = std::tie(noLink, noMode);
        fs::remove(path_);
        Module1::EnsureSettingsFile(path_);
        EXPECT_FALSE(SettingsFile::CreateFileBytes(path_, "K=1\r\n"));
        EXPECT_EQ(fs::status(path_).permissions(), fs::perms(0666 & ~mask));
        EXPECT_EQ(chmod(path_.c_str(), 0640), 0);
        EXPECT_EQ(chown(path_.c_str(), owner, -1), 0);
        EXPECT_TRUE(WriteIniValue(path_, L"RGB1", L"1,2,3")) << noLink << noMode;
        EXPECT_TRUE(Bytes().ends_with("AUTOLOAD=0\r\nRGB1=1,2,3\r\n"));
        struct stat status {};
        EXPECT_EQ(stat(path_.c_str(), &status), 0);
        EXPECT_TRUE(noMode != 0 || (status.st_mode & 0777) == 0640);
        EXPECT_EQ(status.st_uid, owner);
        EXPECT_EQ(EntryCount(), 1);
    }
    linkError = fchmodError = 0;
    EXPECT_EQ(umaskCalls, 0);
}

// A read-only file, an unwritable folder and an unreadable file, as an
// ordinary user meets them (root's files are writable by their owner only).
TEST_F(SettingsFileTest, UnprivilegedUserGetsTheFailureResults) {
    const bool root = geteuid() == 0;
    const std::tuple<mode_t, mode_t, std::wstring_view> cases[] = {{root ? 0644 : 0444, 0777, L"1"},
                                                                   {0666, root ? 0755 : 0555, L"1"},
                                                                   {root ? 0600 : 0200, 0777, L""}};
    for (const auto& [fileMode, folderMode, read] : cases) {
        ASSERT_EQ(chmod(folder_.c_str(), 0700), 0);
        ASSERT_EQ(chmod(File("K=1\r\n").c_str(), fileMode), 0);
        ASSERT_EQ(chmod(folder_.c_str(), folderMode), 0);
        EXPECT_TRUE(AsUnprivilegedUser([this, read = read] {
            return ReadIniValue(path_, L"K") == read && !WriteIniValue(path_, L"K", L"2");
        }));
        EXPECT_EQ(Bytes(), "K=1\r\n");
        EXPECT_EQ(EntryCount(), 1);
    }
}

// A link is followed and stays; a FIFO or a device is no settings file.
TEST_F(SettingsFileTest, FollowsALinkAndRefusesSpecialFiles) {
    fs::create_symlink(File("K=1\r\n").filename(), folder_ / "link");
    ASSERT_TRUE(WriteIniValue(folder_ / "link", L"K", L"2"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link"));
    EXPECT_EQ(Bytes(), "K=2\r\n");
    ASSERT_EQ(mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    for (const fs::path& special :
         {folder_ / "fifo", fs::path("/dev/zero"), fs::path("/dev/null")}) {
        EXPECT_EQ(ReadIniValue(special, L"K"), L"");
        EXPECT_FALSE(WriteIniValue(special, L"K", L"1"));
    }
}
