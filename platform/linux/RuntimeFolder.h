#pragma once

#include <sys/types.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

// The user's private folder for the program's runtime files (the instance
// lock, the baseline record): $XDG_RUNTIME_DIR/kov-display, or, without a
// runtime folder, kov-display-<user id> in the temp folder, which every
// user can write to.

// The folder's place for user, with runtimeRoot the value of
// $XDG_RUNTIME_DIR (none when unset or empty).
std::filesystem::path RuntimeFolderPath(const std::optional<std::filesystem::path>& runtimeRoot,
                                        const std::filesystem::path& tempFolder, uid_t user);

// Makes folder with mode 0700 when it is missing, and gives it back only
// when it is a folder (not a link to one) that user owns and nobody else may
// enter. Anything else, someone else's folder in the temp folder included,
// gives none.
std::optional<std::filesystem::path> PrivateFolder(const std::filesystem::path& folder, uid_t user);

// The private runtime folder of this process's user, if it can be had.
std::optional<std::filesystem::path> CurrentRuntimeFolder();

// The file kind-<display><extension> in that folder, for this process's X
// display ($DISPLAY); none without the folder.
std::optional<std::filesystem::path> CurrentDisplayFile(std::string_view kind,
                                                        std::string_view extension);

// An X display's name as a part of a file name: letters, digits, '-', '_'
// and '.', without its screen number (":0" and ":0.1" are one server).
std::string DisplayFileName(std::string_view display);
