#pragma once

#include <cstddef>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Files.h"

// Whole-file reads and safe rewrites of the settings file.
namespace SettingsFile {

using Files::PendingFile;
using Files::WriteAndCommit;

// A file larger than this is not taken for a settings file: reading it
// fails rather than claiming memory many times its size.
inline constexpr std::size_t kMaxFileBytes = std::size_t{256} << 20;

// The bytes of the settings file at path (see Files::ReadFileBytes), at most
// kMaxFileBytes of them.
std::optional<std::string> ReadFileBytes(const std::filesystem::path& path);

// Checks that the file at path (after following links) exists and may be
// written, and opens a temporary file beside it whose Commit replaces the
// file, flushed to the disk; the link, if any, stays. Where the folder
// refuses the temporary file or the rename, the file is rewritten in place
// instead. Nothing when it cannot, or when path is a link of another
// user's (on Linux). One implementation per platform.
std::unique_ptr<PendingFile> BeginReplacement(const std::filesystem::path& path);

// Opens a temporary file beside path whose Commit gives it that name only
// if the name is still free; nothing when it cannot.
std::unique_ptr<PendingFile> BeginCreation(const std::filesystem::path& path);

// Replaces the content of the existing file at path with bytes, in one
// step where the folder allows it, else in place. False, with the old file
// as it was, when the file is read-only, locked or missing, or any step of
// the replacement fails; a failure part way through an in-place rewrite
// leaves the file short.
bool ReplaceFileBytes(const std::filesystem::path& path, std::string_view bytes);

// Creates the file at path holding bytes, in one step. False, leaving
// nothing behind, when something exists at path (a file, a folder, a link)
// or any step fails.
bool CreateFileBytes(const std::filesystem::path& path, std::string_view bytes);

}  // namespace SettingsFile
