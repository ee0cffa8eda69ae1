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

// Replaces the content of the file at path, which must exist, with bytes
// in one step: the bytes go to a temporary file in the same folder, are
// flushed to the disk, and the temporary file then takes the old one's
// place. A symbolic link at path is followed; the file it names is
// replaced and the link stays. Returns false, with the old file exactly as
// it was and no temporary file left behind, when the file is read-only,
// locked, or missing, the folder is not writable, or any step fails.
bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Creates the file at path holding bytes, in one step: the bytes go to a
// temporary file in the same folder, are flushed to the disk, and the
// temporary file then takes the name only if nothing stands at path yet.
// Returns false, leaving nothing behind, when something exists at path
// (a file, a folder, a link) or any step fails.
bool CreateFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Test seam: while set, every rewrite fails once it has written this many
// bytes of the new content, as on a disk that fills up. A value equal to
// the content's size fails after the last byte, before the flush.
inline std::optional<std::size_t> FailWriteAfterBytes;

// A temporary file beside the file it is to replace, open for writing.
// Destroying it without a successful Commit closes and removes it.
class PendingReplacement {
public:
    virtual ~PendingReplacement() = default;
    // Appends bytes; false on a write error.
    virtual bool Write(std::string_view bytes) = 0;
    // Flushes to the disk, closes, and puts the temporary file in the
    // target's place in one step; false if any of it fails.
    virtual bool Commit() = 0;
};

// Checks that the file at path (after following links) exists and may be
// written, and opens a temporary file beside it; nothing when it cannot.
// One implementation per platform.
std::unique_ptr<PendingReplacement> BeginReplacement(const std::filesystem::path& path);

// Opens a temporary file beside path whose Commit gives it that name only
// if the name is still free; nothing when it cannot. One implementation per
// platform.
std::unique_ptr<PendingReplacement> BeginCreation(const std::filesystem::path& path);

}  // namespace SettingsFile
