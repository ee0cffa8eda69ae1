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

// The file kind-<server><extension> in that folder, for the display server
// this process reaches (see ServerFileName); none without the folder.
std::optional<std::filesystem::path> CurrentDisplayFile(std::string_view kind,
                                                        std::string_view extension);

// The display server as a part of a file name, the same whatever name
// reached it: the Wayland compositor's socket when $WAYLAND_DISPLAY names one
// ("wl-" and the socket's name, which is relative to $XDG_RUNTIME_DIR or
// absolute), else the X display (see DisplayFileName).
std::string ServerFileName(std::string_view waylandDisplay, std::string_view display,
                           const std::optional<std::filesystem::path>& runtimeRoot);

// An X display's name as a part of a file name: letters, digits, '-', '_'
// and '.', with the local names of one server made one (":0", ":0.1",
// "unix:0" and "unix/:0" all give "_0").
std::string DisplayFileName(std::string_view display);
