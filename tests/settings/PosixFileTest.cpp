#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstddef>
#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include "INIFileModule1.h"
#include "TestFiles.h"

using INIFileModule1::ReadIniValue;
using INIFileModule1::WriteIniValue;

namespace {

constexpr uid_t kNobody = 65534;

// Sets the immutable attribute on a file or folder while it lives; even
// root can then neither change, replace nor add to it.
class Immutable {
public:
    explicit Immutable(const std::filesystem::path& path) : path_(path) { set_ = Change(true); }
    ~Immutable() {
        if (set_) {
            Change(false);
        }
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;

    bool IsSet() const { return set_; }

private:
    bool Change(bool on) {
        const int fd = open(path_.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            return false;
        }
        int flags = 0;
        bool done = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
        flags = on ? flags | FS_IMMUTABLE_FL : flags & ~FS_IMMUTABLE_FL;
        done = done && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
        close(fd);
        return done;
    }

    std::filesystem::path path_;
    bool set_ = false;
};

// Runs check as an unprivileged user: in a child process that drops root
// when the tests run as root, else right here. Gives check's result.
bool AsUnprivilegedUser(const std::function<bool()>& check) {
    if (geteuid() != 0) {
        return check();
    }
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(kNobody) == 0 && setuid(kNobody) == 0;
        _exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
}

class PosixSettingsFileTest : public SettingsFileTest {
protected:
    void SetUp() override { File(kBefore); }

    static constexpr const char* kBefore = "RGB1=1,1,1\r\n";
};

}  // namespace

std::size_t OpenHandleCount() {
    const std::filesystem::directory_iterator entries("/proc/self/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
}

TEST_F(PosixSettingsFileTest, ImmutableFileIsLeftAsItWas) {
    const Immutable immutable(path_);
    if (!immutable.IsSet()) {
        GTEST_SKIP() << "this file system or user cannot set the immutable attribute";
    }
    EXPECT_FALSE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    EXPECT_EQ(ReadBytes(path_), kBefore);
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

TEST_F(PosixSettingsFileTest, FileInAnUnwritableFolderIsLeftAsItWas) {
    const Immutable immutable(folder_.Path());
    if (!immutable.IsSet()) {
        GTEST_SKIP() << "this file system or user cannot set the immutable attribute";
    }
    EXPECT_FALSE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    EXPECT_EQ(ReadBytes(path_), kBefore);
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

// Permissions as an ordinary user meets them: a file that may be read but
// not written, and a writable file in a folder that may not be written.
// Run as root, the child that drops to nobody finds root's files with write
// permission for their owner only, so the plain open check is what refuses.
TEST_F(PosixSettingsFileTest, UnprivilegedUserGetsFalseWithoutChanges) {
    const bool root = geteuid() == 0;
    const std::filesystem::path path = path_;
    ASSERT_EQ(chmod(folder_.Path().c_str(), 0777), 0);
    ASSERT_EQ(chmod(path_.c_str(), root ? 0644 : 0444), 0);
    EXPECT_TRUE(AsUnprivilegedUser([&path] {
        return ReadIniValue(path, L"RGB1") == L"1,1,1" && !WriteIniValue(path, L"RGB1", L"2");
    }));
    EXPECT_EQ(ReadBytes(path_), kBefore);

    ASSERT_EQ(chmod(path_.c_str(), 0666), 0);
    ASSERT_EQ(chmod(folder_.Path().c_str(), root ? 0755 : 0555), 0);
    EXPECT_TRUE(AsUnprivilegedUser([&path] { return !WriteIniValue(path, L"RGB1", L"2"); }));
    EXPECT_EQ(ReadBytes(path_), kBefore);
    EXPECT_EQ(folder_.Entries().size(), 1u);
}

TEST_F(PosixSettingsFileTest, KeepsModeAndOwner) {
    ASSERT_EQ(chmod(path_.c_str(), 0640), 0);
    const bool root = geteuid() == 0;
    if (root) {
        ASSERT_EQ(chown(path_.c_str(), kNobody, kNobody), 0);
    }
    ASSERT_TRUE(WriteIniValue(path_, L"RGB1", L"2,2,2"));
    struct stat status {};
    ASSERT_EQ(stat(path_.c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);
    if (root) {
        EXPECT_EQ(status.st_uid, kNobody);
        EXPECT_EQ(status.st_gid, kNobody);
    }
    EXPECT_EQ(ReadBytes(path_), "RGB1=2,2,2\r\n");
}

TEST_F(PosixSettingsFileTest, FollowsASymbolicLink) {
    const std::filesystem::path link = folder_ / "link.ini";
    std::filesystem::create_symlink("settings.ini", link);
    ASSERT_TRUE(WriteIniValue(link, L"RGB1", L"2,2,2"));
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(ReadBytes(path_), "RGB1=2,2,2\r\n");
    EXPECT_EQ(ReadIniValue(link, L"RGB1"), L"2,2,2");
    EXPECT_EQ(folder_.Entries().size(), 2u);
}

TEST_F(PosixSettingsFileTest, SpecialFilesAreNotSettingsFiles) {
    const std::filesystem::path fifo = folder_ / "fifo.ini";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(ReadIniValue(fifo, L"RGB1"), L"");
    EXPECT_FALSE(WriteIniValue(fifo, L"RGB1", L"1"));
    EXPECT_EQ(ReadIniValue("/dev/zero", L"RGB1"), L"");
    EXPECT_FALSE(WriteIniValue("/dev/null", L"RGB1", L"1"));
}
