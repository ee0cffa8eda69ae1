#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Whole-file reads and atomic replacements, the same for every file the
// program keeps (the settings file, the baseline record). One
// implementation per platform.
namespace Files {

// The bytes of a regular file, or nothing when it does not exist, is not a
// regular file (a folder, a device), cannot be opened or read, or is larger
// than maxBytes. The size is checked before anything is read.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path, std::size_t maxBytes);

// Whether anything (a file, a folder, a link) stands at path.
bool Exists(const std::filesystem::path& path);

// Makes folder and any of its parents that are missing, each for the user
// alone; folders that exist are left as they are.
void CreateMissingFolders(const std::filesystem::path& folder);

void RemoveFile(const std::filesystem::path& path);

// How the finished temporary file takes the target's name: in place of
// whatever file stands there (which keeps its owner, permissions and
// attributes as far as the system allows), or only while the name is free.
// ReplaceOrRewrite replaces the target where its folder allows it, and
// where the folder refuses (no temporary file may be made beside the
// target, or the rename is refused) rewrites the target itself in place
// (RewriteInPlace): a file the user may write in a folder the user may not.
enum class Placement { ReplaceTarget, ReplaceOrRewrite, OnlyIfNameIsFree };

// Whether the new content must reach the disk before it takes the name:
// a settings file must survive a power cut; a file that matters only while
// the session runs need not.
enum class Durability { Flushed, Unflushed };

// A file's new content, written to a temporary file in the target's folder
// that takes the target's name in one step, so a reader sees the old file
// or the new one whole. Destroying it without a successful Commit closes
// and removes the temporary file.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    virtual ~PendingFile() = default;
    // Appends bytes, every one of them; false on a write error.
    virtual bool Write(std::string_view bytes) = 0;
    // Flushes if asked, closes, and gives the temporary file the target's
    // name; false if any of it fails.
    virtual bool Commit() = 0;
};

// Opens the temporary file for target; nothing when it cannot be made.
std::unique_ptr<PendingFile> BeginPendingFile(const std::filesystem::path& target,
                                              Placement placement, Durability durability);

// Writes bytes into pending and commits it. False when pending is null or
// any step fails; the temporary file is gone when this returns, so the
// target is either wholly new or exactly as it was.
bool WriteAndCommit(std::unique_ptr<PendingFile> pending, std::string_view bytes);

// Rewrites the existing regular file at path with bytes: it is emptied,
// written whole and, if asked, flushed. Not atomic: a failure part way
// leaves the file short. False if any step fails or nothing is there.
bool RewriteInPlace(const std::filesystem::path& path, std::string_view bytes,
                    Durability durability);

// A pending file that collects the content and, on Commit, rewrites target
// in place; for ReplaceOrRewrite where the folder takes no temporary file.
std::unique_ptr<PendingFile> BeginRewriteInPlace(const std::filesystem::path& target,
                                                 Durability durability);

// Puts bytes at path in one step, replacing any file there.
bool ReplaceFile(const std::filesystem::path& path, std::string_view bytes, Durability durability);

}  // namespace Files
