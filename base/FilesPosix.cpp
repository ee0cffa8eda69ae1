#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <limits>
#include <string>
#include <utility>

#include "FileReading.h"
#include "Files.h"
#include "UniqueFd.h"

namespace Files {

namespace {

// Opens without blocking on a FIFO and without taking a terminal; the flags
// do nothing to a regular file.
UniqueFd OpenFile(const std::filesystem::path& path, int access, mode_t mode = 0) {
    return UniqueFd(open(path.c_str(), access | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, mode));
}

// A new file's permissions before the umask (and a folder's default ACL),
// which the system applies when it creates the file; the process's umask
// is never read or changed here, as that would race with other threads.
constexpr mode_t kNewFileMode = 0666;

// Closes now and reports whether the close succeeded: a delayed write
// error can surface here.
bool CloseReportingErrors(UniqueFd& fd) {
    return close(fd.Release()) == 0;
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

// Errors by which a folder refuses a new entry or a rename, as against a
// failing disk: only these lead a ReplaceOrRewrite to rewrite in place.
bool IsRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS || error == EBUSY || error == EXDEV;
}

// Makes a completed rename survive a crash; the new file already stands,
// so a failure here changes nothing for the caller.
void FlushFolder(const std::filesystem::path& folder) {
    const UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (fd) {
        fsync(fd.Get());
    }
}

// Gives the new file the old one's owner and permissions as far as the
// system allows: only root may give a file away, and some mounts refuse
// mode changes. The write goes on either way; the new file was created with
// the old permissions less the umask.
void CopyOwnerAndMode(int fd, const struct stat& old) {
    struct stat current {};
    if (fstat(fd, &current) == 0 &&
        (current.st_uid != old.st_uid || current.st_gid != old.st_gid)) {
        [[maybe_unused]] const int ignored = fchown(fd, old.st_uid, old.st_gid);
    }
    [[maybe_unused]] const int ignored = fchmod(fd, old.st_mode & 07777);
}

class PosixPendingFile final : public PendingFile {
public:
    PosixPendingFile(std::filesystem::path target, Placement placement, Durability durability)
        : target_(std::move(target)), placement_(placement), durability_(durability) {}

    ~PosixPendingFile() override {
        file_.Reset();
        if (!temporary_.empty()) {
            unlink(temporary_.c_str());
        }
    }
    PosixPendingFile(const PosixPendingFile&) = delete;
    PosixPendingFile& operator=(const PosixPendingFile&) = delete;
    PosixPendingFile(PosixPendingFile&&) = delete;
    PosixPendingFile& operator=(PosixPendingFile&&) = delete;

    // Creates a new, uniquely named file beside the target, with mode less
    // the umask.
    bool CreateTemporary(mode_t mode) {
        constexpr int kAttempts = 100;
        const std::string stem =
            target_.native() + "." + std::to_string(getpid()) + "-" +
            std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-";
        for (int attempt = 0; attempt < kAttempts; ++attempt) {
            std::string name = stem + std::to_string(attempt) + ".tmp";
            file_ = OpenFile(name, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode);
            if (file_) {
                temporary_ = std::move(name);
                mode_ = mode;
                return true;
            }
            if (errno != EEXIST) {
                refused_ = IsRefusal(errno);
                return false;
            }
        }
        return false;
    }

    int Descriptor() const { return file_.Get(); }
    // Whether the folder refused the temporary file.
    bool Refused() const { return refused_; }

    bool Write(std::string_view bytes) override { return WriteAll(file_.Get(), bytes); }

    bool Commit() override {
        const bool flushed = durability_ == Durability::Unflushed || fsync(file_.Get()) == 0;
        if (!flushed || !CloseReportingErrors(file_) || !MoveIntoPlace()) {
            return false;
        }
        if (durability_ == Durability::Flushed) {
            FlushFolder(target_.parent_path());
        }
        return true;
    }

private:
    bool MoveIntoPlace() {
        if (placement_ == Placement::OnlyIfNameIsFree) {
            return LinkIntoFreeName() || CopyIntoFreeName();
        }
        if (rename(temporary_.c_str(), target_.c_str()) != 0) {
            return placement_ == Placement::ReplaceOrRewrite && IsRefusal(errno) &&
                   RewriteFromTemporary();
        }
        temporary_.clear();
        return true;
    }

    // The rename was refused (a sticky folder, a file that is a mount
    // point): the target takes the content in place.
    bool RewriteFromTemporary() const {
        const std::optional<std::string> bytes =
            ReadFileBytes(temporary_, std::numeric_limits<std::size_t>::max());
        return bytes && RewriteInPlace(target_, *bytes, durability_);
    }

    // A hard link takes a name only if it is free; the temporary name is
    // then dropped.
    bool LinkIntoFreeName() {
        if (link(temporary_.c_str(), target_.c_str()) != 0) {
            return false;
        }
        unlink(temporary_.c_str());
        temporary_.clear();
        return true;
    }

    // For file systems without hard links (FAT, exFAT, some network and FUSE
    // mounts): the content goes into a file created only if the name is
    // free, which is removed again if the copy fails. The temporary file
    // goes when this object does.
    bool CopyIntoFreeName() const {
        const std::optional<std::string> bytes =
            ReadFileBytes(temporary_, std::numeric_limits<std::size_t>::max());
        if (!bytes) {
            return false;
        }
        UniqueFd file = OpenFile(target_, O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW, mode_);
        if (!file) {
            return false;
        }
        if (!WriteAll(file.Get(), *bytes) ||
            (durability_ == Durability::Flushed && fsync(file.Get()) != 0) ||
            !CloseReportingErrors(file)) {
            unlink(target_.c_str());
            return false;
        }
        return true;
    }

    std::filesystem::path target_;
    Placement placement_;
    Durability durability_;
    std::filesystem::path temporary_;
    mode_t mode_ = kNewFileMode;
    bool refused_ = false;
    UniqueFd file_;
};

}  // namespace

std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes) {
    const UniqueFd fd = OpenFile(path, O_RDONLY);
    struct stat status {};
    if (!fd || fstat(fd.Get(), &status) != 0 || !S_ISREG(status.st_mode) ||
        static_cast<std::size_t>(status.st_size) > maxBytes) {
        return std::nullopt;
    }
    return ReadAll(static_cast<std::size_t>(status.st_size), maxBytes,
                   [&fd](char* buffer, std::size_t size) -> std::optional<std::size_t> {
                       ssize_t got = 0;
                       do {
                           got = read(fd.Get(), buffer, size);
                       } while (got < 0 && errno == EINTR);
                       return got < 0 ? std::nullopt : std::optional(static_cast<std::size_t>(got));
                   });
}

// A file replaced keeps its owner and permissions; a new one gets the
// permissions any newly created file gets.
std::unique_ptr<PendingFile> BeginPendingFile(const std::filesystem::path& target,
                                              Placement placement, Durability durability) {
    struct stat old {};
    const bool replacing = placement != Placement::OnlyIfNameIsFree &&
                           stat(target.c_str(), &old) == 0 && S_ISREG(old.st_mode);
    auto pending = std::make_unique<PosixPendingFile>(target, placement, durability);
    if (!pending->CreateTemporary(replacing ? old.st_mode & 0777 : kNewFileMode)) {
        if (replacing && placement == Placement::ReplaceOrRewrite && pending->Refused()) {
            return BeginRewriteInPlace(target, durability);
        }
        return nullptr;
    }
    if (replacing) {
        CopyOwnerAndMode(pending->Descriptor(), old);
    }
    return pending;
}

bool RewriteInPlace(const std::filesystem::path& path, std::string_view bytes,
                    Durability durability) {
    UniqueFd fd = OpenFile(path, O_WRONLY);
    struct stat status {};
    return fd && fstat(fd.Get(), &status) == 0 && S_ISREG(status.st_mode) &&
           ftruncate(fd.Get(), 0) == 0 && WriteAll(fd.Get(), bytes) &&
           (durability == Durability::Unflushed || fsync(fd.Get()) == 0) &&
           CloseReportingErrors(fd);
}

bool Exists(const std::filesystem::path& path) {
    struct stat status {};
    return lstat(path.c_str(), &status) == 0;
}

// Folders for the user alone, as the XDG rules ask of a settings folder.
void CreateMissingFolders(const std::filesystem::path& folder) {
    if (folder.empty() || Exists(folder)) {
        return;
    }
    CreateMissingFolders(folder.parent_path());
    mkdir(folder.c_str(), S_IRWXU);
}

void RemoveFile(const std::filesystem::path& path) {
    unlink(path.c_str());
}

}  // namespace Files
