#include <errno.h>
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <utility>

#include "SettingsFile.h"

namespace SettingsFile {

namespace {

// An open file descriptor, closed when this goes away.
class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { Close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    FileDescriptor(FileDescriptor&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        Close();
        fd_ = std::exchange(other.fd_, -1);
        return *this;
    }

    bool IsOpen() const { return fd_ >= 0; }
    int Get() const { return fd_; }

    // Closes now and reports whether the close succeeded (a delayed write
    // error can surface here).
    bool Close() {
        if (fd_ < 0) {
            return true;
        }
        const int fd = std::exchange(fd_, -1);
        return close(fd) == 0;
    }

private:
    int fd_;
};

// Opens without blocking on a FIFO and without taking a terminal; the flags
// do nothing to a regular file.
FileDescriptor OpenFile(const std::filesystem::path& path, int access) {
    return FileDescriptor(open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK));
}

bool IsRegularFile(const struct stat& status) {
    return S_ISREG(status.st_mode);
}

// Write permission bits for nobody mark a read-only file. Root could write
// it anyway; it is refused all the same, as a read-only file is on Windows.
bool IsMarkedReadOnly(const struct stat& status) {
    return (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

bool WriteAll(int fd, std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR) {
            continue;
        }
        if (written <= 0) {
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

// Makes a completed rename survive a crash; the replacement already stands,
// so a failure here changes nothing for the caller.
void FlushFolder(const std::filesystem::path& folder) {
    const FileDescriptor fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd.IsOpen()) {
        fsync(fd.Get());
    }
}

class PosixPendingReplacement final : public PendingReplacement {
public:
    // With replaceExisting false, Commit fails rather than take the place of
    // whatever stands at target by then.
    PosixPendingReplacement(std::filesystem::path target, bool replaceExisting)
        : target_(std::move(target)), replaceExisting_(replaceExisting) {}

    ~PosixPendingReplacement() override {
        if (!temporary_.empty() && !committed_) {
            unlink(temporary_.c_str());
        }
    }
    PosixPendingReplacement(const PosixPendingReplacement&) = delete;
    PosixPendingReplacement& operator=(const PosixPendingReplacement&) = delete;
    PosixPendingReplacement(PosixPendingReplacement&&) = delete;
    PosixPendingReplacement& operator=(PosixPendingReplacement&&) = delete;

    // Creates a new, uniquely named file beside the target.
    bool CreateTemporary() {
        std::string pattern = target_.native() + ".XXXXXX.tmp";
        file_ = FileDescriptor(mkostemps(pattern.data(), 4, O_CLOEXEC));
        if (!file_.IsOpen()) {
            return false;
        }
        temporary_ = std::move(pattern);
        return true;
    }

    int Descriptor() const { return file_.Get(); }

    bool Write(std::string_view bytes) override { return WriteAll(file_.Get(), bytes); }

    bool Commit() override {
        if (fsync(file_.Get()) != 0 || !file_.Close()) {
            return false;
        }
        if (!MoveIntoPlace()) {
            return false;
        }
        committed_ = true;
        FlushFolder(target_.parent_path());
        return true;
    }

private:
    // A hard link takes a name only if it is free; the temporary name is
    // then dropped.
    bool MoveIntoPlace() const {
        if (replaceExisting_) {
            return rename(temporary_.c_str(), target_.c_str()) == 0;
        }
        if (link(temporary_.c_str(), target_.c_str()) != 0) {
            return false;
        }
        unlink(temporary_.c_str());
        return true;
    }

    std::filesystem::path target_;
    bool replaceExisting_;
    std::filesystem::path temporary_;
    FileDescriptor file_{-1};
    bool committed_ = false;
};

// Gives the new file the old one's owner (where allowed) and permissions.
bool CopyOwnerAndMode(int fd, const struct stat& old) {
    struct stat current {};
    if (fstat(fd, &current) != 0) {
        return false;
    }
    if (current.st_uid != old.st_uid || current.st_gid != old.st_gid) {
        // Only root may give a file away; anyone else keeps their own.
        [[maybe_unused]] const int ignored = fchown(fd, old.st_uid, old.st_gid);
    }
    return fchmod(fd, old.st_mode & 07777) == 0;
}

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path) {
    const FileDescriptor fd = OpenFile(path, O_RDONLY);
    struct stat status {};
    if (!fd.IsOpen() || fstat(fd.Get(), &status) != 0 || !IsRegularFile(status) ||
        static_cast<std::size_t>(status.st_size) > kMaxFileBytes) {
        return std::nullopt;
    }
    constexpr std::size_t kChunk = std::size_t{64} * 1024;
    std::string bytes;
    bytes.reserve(static_cast<std::size_t>(status.st_size));
    for (;;) {
        const std::size_t used = bytes.size();
        bytes.resize(used + kChunk);
        const ssize_t got = read(fd.Get(), bytes.data() + used, kChunk);
        if (got < 0 && errno == EINTR) {
            bytes.resize(used);
            continue;
        }
        if (got < 0) {
            return std::nullopt;
        }
        bytes.resize(used + static_cast<std::size_t>(got));
        if (got == 0) {
            return bytes;
        }
        if (bytes.size() > kMaxFileBytes) {
            return std::nullopt;
        }
    }
}

std::unique_ptr<PendingReplacement> BeginReplacement(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    struct stat status {};
    if (error || stat(target.c_str(), &status) != 0 || !IsRegularFile(status) ||
        IsMarkedReadOnly(status) || !OpenFile(target, O_WRONLY).IsOpen()) {
        return nullptr;
    }
    auto pending = std::make_unique<PosixPendingReplacement>(target, true);
    if (!pending->CreateTemporary() || !CopyOwnerAndMode(pending->Descriptor(), status)) {
        return nullptr;
    }
    return pending;
}

// The new file gets the permissions any newly created file would get.
std::unique_ptr<PendingReplacement> BeginCreation(const std::filesystem::path& path) {
    auto pending = std::make_unique<PosixPendingReplacement>(path, false);
    const mode_t mask = umask(0);
    umask(mask);
    if (!pending->CreateTemporary() || fchmod(pending->Descriptor(), 0666 & ~mask) != 0) {
        return nullptr;
    }
    return pending;
}

}  // namespace SettingsFile
