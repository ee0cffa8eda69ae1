#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

// Whole-file reads and safe rewrites of the settings file.
namespace SettingsFile {

// A file larger than this is not taken for a settings file: reading it
// fails rather than claiming memory many times its size.
inline constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// The bytes of a regular file, or nothing when it does not exist, is not a
// regular file (a folder, a device), cannot be opened or read, or is larger
// than kMaxFileBytes. The file is closed before this returns.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Whether anything (a file, a folder, a link) stands at path.
bool Exists(const std::filesystem::path& path);

// Makes folder and any of its parents that are missing, each for the user
// alone; folders that exist are left as they are. One implementation per
// platform.
void CreateMissingFolders(const std::filesystem::path& folder);

// Where the new content of a file goes before it takes the file's place:
// a temporary file beside it. Destroying it without a successful Commit
// closes and removes the temporary file.
class PendingFile {
public:
    PendingFile() = default;
    PendingFile(const PendingFile&) = delete;
    PendingFile& operator=(const PendingFile&) = delete;
    virtual ~PendingFile() = default;
    // Appends bytes; false on a write error.
    virtual bool Write(std::string_view bytes) = 0;
    // Flushes to the disk, closes, and gives the temporary file the
    // target's name in one step; false if any of it fails.
    virtual bool Commit() = 0;
};

// Checks that the file at path (after following links) exists and may be
// written, and opens a temporary file beside it whose Commit replaces the
// file; the link, if any, stays. Nothing when it cannot. One
// implementation per platform.
std::unique_ptr<PendingFile> BeginReplacement(const std::filesystem::path& path);

// Opens a temporary file beside path whose Commit gives it that name only
// if the name is still free; nothing when it cannot. One implementation
// per platform.
std::unique_ptr<PendingFile> BeginCreation(const std::filesystem::path& path);

// Writes bytes into pending and commits it. False when pending is null or
// any step fails; the temporary file is gone when this returns, so the
// target is either wholly new or exactly as it was.
bool WriteAndCommit(std::unique_ptr<PendingFile> pending, std::string_view bytes);

// Replaces the content of the existing file at path with bytes, in one
// step. False, with the old file as it was, when the file is read-only,
// locked or missing, the folder is not writable, or any step fails.
bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Creates the file at path holding bytes, in one step. False, leaving
// nothing behind, when something exists at path (a file, a folder, a link)
// or any step fails.
bool CreateFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace SettingsFile
