#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <optional>
#include <system_error>

#include "SettingsFile.h"
#include "UniqueFd.h"

namespace SettingsFile {

namespace {

// As many links as the system follows in one path.
constexpr int kMaxLinks = 40;

// The file a save replaces: path itself, or the file its links lead to when
// every one of them is the user's own. Another user's link is never
// followed: in a folder anyone may write (/tmp, mode 1777) it would send the
// save into a file of that user's choosing. Links in the folders above are
// left to the system, which guards them itself (fs.protected_symlinks).
std::optional<std::filesystem::path> FileBehindOwnLinks(std::filesystem::path path) {
    for (int followed = 0; followed <= kMaxLinks; ++followed) {
        struct stat status {};
        if (lstat(path.c_str(), &status) != 0) {
            return std::nullopt;
        }
        if (!S_ISLNK(status.st_mode)) {
            return path;
        }
        std::error_code error;
        const std::filesystem::path target = std::filesystem::read_symlink(path, error);
        if (status.st_uid != geteuid() || error) {
            return std::nullopt;
        }
        path = path.parent_path() / target;
    }
    return std::nullopt;
}

}  // namespace

// Write permission bits for nobody mark a read-only file. Root could write
// it anyway; it is refused all the same, as a read-only file is on Windows.
// Opening the file for writing is the test for a denied permission; it does
// not block on a FIFO, which is refused as any file that is not regular.
std::unique_ptr<PendingFile> BeginReplacement(const std::filesystem::path& path) {
    const std::optional<std::filesystem::path> target = FileBehindOwnLinks(path);
    struct stat status {};
    if (!target || lstat(target->c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        !UniqueFd(
            open(target->c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW))) {
        return nullptr;
    }
    return Files::BeginPendingFile(*target, Files::Placement::ReplaceOrRewrite,
                                   Files::Durability::Flushed);
}

}  // namespace SettingsFile
