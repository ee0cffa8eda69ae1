#include <dlfcn.h>
#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdarg>
#include <string>
#include <tuple>

#include "INIFileModule1.h"
#include "Module1.h"
#include "SettingsFile.h"
#include "TestFiles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

// While set, link() and fchmod() fail as on mounts without hard links or
// modes; open() is counted.
int linkError = 0, fchmodError = 0, umaskCalls = 0;

extern "C" int link(const char* from, const char* to) noexcept {
    static const auto real = reinterpret_cast<decltype(&link)>(dlsym(RTLD_NEXT, "link"));
    return linkError != 0 ? (errno = linkError, -1) : real(from, to);
}
extern "C" int fchmod(int fd, mode_t mode) noexcept {
    static const auto real = reinterpret_cast<decltype(&fchmod)>(dlsym(RTLD_NEXT, "fchmod"));
    return fchmodError != 0 ? (errno = fchmodError, -1) : real(fd, mode);
}
int opens = 0;
extern "C" int open(const char* path, int flags, ...) {
    static const auto real = reinterpret_cast<decltype(&open)>(dlsym(RTLD_NEXT, "open"));
    va_list rest;
    va_start(rest, flags);
    const bool hasMode = (flags & O_CREAT) != 0 || (flags & O_TMPFILE) == O_TMPFILE;
    const mode_t mode = hasMode ? va_arg(rest, mode_t) : 0;
    va_end(rest);
    ++opens;
    return real(path, flags, mode);
}
extern "C" mode_t umask(mode_t mask) noexcept {
    static const auto real = reinterpret_cast<decltype(&umask)>(dlsym(RTLD_NEXT, "umask"));
    ++umaskCalls;
    return real(mask);
}

std::size_t OpenHandleCount() {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator("/proc/self/fd"), {}));
}

TEST_F(SettingsFileTest, SavesWhereLinksOrModeChangesAreRefusedAndThroughALink) {
    const fs::perms fresh = fs::status(File("")).permissions();
    const uid_t owner = geteuid() == 0 ? 65534 : geteuid();
    for (const auto& [noLink, noMode] : {std::pair{0, 0}, {EPERM, 0}, {ENOTSUP, 0}, {0, EPERM}}) {
        std::tie(linkError, fchmodError) = std::tie(noLink, noMode);
        fs::remove(path_);
        Module1::EnsureSettingsFile(path_);
        EXPECT_FALSE(SettingsFile::CreateFileBytes(path_, "K=1\r\n"));
        EXPECT_EQ(fs::status(path_).permissions(), fresh);
        fs::permissions(path_, fs::perms(0640));
        EXPECT_EQ(chown(path_.c_str(), owner, -1), 0);
        EXPECT_TRUE(WriteIniValue(path_, L"RGB1", L"1,2,3")) << noLink << noMode;
        EXPECT_TRUE(Bytes().ends_with("AUTOLOAD=0\r\nRGB1=1,2,3\r\n"));
        struct stat status {};
        EXPECT_EQ(stat(path_.c_str(), &status), 0);
        EXPECT_TRUE(noMode != 0 || fs::status(path_).permissions() == fs::perms(0640));
        EXPECT_EQ(std::tuple(status.st_uid, EntryCount()), std::tuple(owner, 1));
    }
    linkError = fchmodError = 0;
    EXPECT_EQ(umaskCalls, 0);
    fs::create_symlink(path_.filename(), folder_ / "link");
    ASSERT_TRUE(WriteIniValue(folder_ / "link", L"RGB1", L"2"));
    EXPECT_TRUE(fs::is_symlink(folder_ / "link") && Bytes().ends_with("AUTOLOAD=0\r\nRGB1=2\r\n"));
    // In a folder anyone may write, a link given to another user (only root
    // can) takes no save; one's own still does.
    ASSERT_EQ(chmod(folder_.c_str(), 01777), 0);
    const bool given = lchown((folder_ / "link").c_str(), 65534, 65534) == 0;
    EXPECT_EQ(given, geteuid() == 0);
    EXPECT_NE(WriteIniValue(folder_ / "link", L"RGB1", L"3"), given);
    EXPECT_TRUE(Bytes().ends_with(given ? "RGB1=2\r\n" : "RGB1=3\r\n"));
}

// A writable file in a folder that refuses a new file, or (sticky, the file
// another user's) the rename, is rewritten in place.
TEST_F(SettingsFileTest, FilesThatCannotBeUsedGiveTheFailureResults) {
    const bool root = geteuid() == 0;
    const std::tuple<mode_t, mode_t, std::wstring_view, bool> cases[] = {
        {root ? 0644 : 0444, 0777, L"1", false},
        {0666, root ? 0755 : 0555, L"1", true},
        {0666, 01777, L"1", true},
        {root ? 0600 : 0200, 0777, L"", false}};
    for (const auto& [fileMode, folderMode, read, written] : cases) {
        ASSERT_EQ(chmod(folder_.c_str(), 0700), 0);
        ASSERT_EQ(chmod(File("K=1\r\n").c_str(), fileMode), 0);
        ASSERT_EQ(chmod(folder_.c_str(), folderMode), 0);
        const pid_t child = fork();
        if (child == 0) {
            const bool dropped = !root || (setgid(65534) == 0 && setuid(65534) == 0);
            _exit(!dropped || ReadIniValue(path_, L"K") != read ||
                  WriteIniValue(path_, L"K", L"2") != written);
        }
        int status = 1;
        EXPECT_TRUE(waitpid(child, &status, 0) == child && status == 0) << folderMode;
        EXPECT_EQ(std::tuple(Bytes(), EntryCount()),
                  std::tuple(written ? "K=2\r\n" : "K=1\r\n", 1));
    }
    ASSERT_EQ(mkfifo((folder_ / "fifo").c_str(), 0600), 0);
    const fs::path specials[] = {folder_ / "fifo", "/dev/zero", "/dev/null"};
    for (const fs::path& special : specials) {
        EXPECT_EQ(ReadIniValue(special, L"K"), L"");
        EXPECT_FALSE(WriteIniValue(special, L"K", L"1"));
    }
}

TEST_F(SettingsFileTest, TheStartReadsTheFileOnce) {
    const int before = opens;
    Module1::LoadPresets(File("AUTOLOAD=2\r\nRGB1=1,2,3\r\n#RGB2=4,5,6\r\n"));
    EXPECT_EQ(std::tuple(opens - before, Module1::AutoLoadSlot, Module1::PresetUsed[1],
                         Module1::PresetBlue[2]),
              std::tuple(1, 2, 1, 6));
    Module1::ResetState();
}
