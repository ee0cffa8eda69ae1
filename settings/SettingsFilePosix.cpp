#include <fcntl.h>
#include <sys/stat.h>

#include <system_error>

#include "SettingsFile.h"
#include "UniqueFd.h"

namespace SettingsFile {

// Write permission bits for nobody mark a read-only file. Root could write
// it anyway; it is refused all the same, as a read-only file is on Windows.
// Opening the file for writing is the test for a denied permission; it does
// not block on a FIFO, which is refused as any file that is not regular.
std::unique_ptr<PendingFile> BeginReplacement(const std::filesystem::path& path) {
    std::error_code error;
    const std::filesystem::path target = std::filesystem::canonical(path, error);
    struct stat status {};
    if (error || stat(target.c_str(), &status) != 0 || !S_ISREG(status.st_mode) ||
        (status.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        !UniqueFd(open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK))) {
        return nullptr;
    }
    return Files::BeginPendingFile(target, Files::Placement::ReplaceOrRewrite,
                                   Files::Durability::Flushed);
}

}  // namespace SettingsFile
