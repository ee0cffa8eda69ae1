#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "PlatformServices.h"
#include "UniqueFd.h"

// Where the single-instance lock of one user on one X display lives: in
// the user's runtime folder when there is one, else in the temp folder with
// the user id in the name. The display name is reduced to letters, digits,
// '-', '_' and '.', without its screen number (":0" and ":0.1" are one
// server).
std::filesystem::path InstanceLockPath(std::optional<std::filesystem::path> runtimeFolder,
                                       const std::filesystem::path& tempFolder, unsigned userId,
                                       std::string_view display);

// The lock path for this process: $XDG_RUNTIME_DIR, the temp folder, the
// real user id and $DISPLAY.
std::filesystem::path CurrentInstanceLockPath();

// The folder for this user's settings of the program, by the XDG base
// directory rules: $XDG_CONFIG_HOME/kov-display, where an unset, empty or
// relative $XDG_CONFIG_HOME stands for ~/.config. Empty without a home.
std::filesystem::path UserSettingsFolder(std::string_view configHome, std::string_view home);

// The platform services of the Linux program. An instance is claimed by
// holding an flock on the lock file for the life of the process; the lock
// goes with the process however it ends.
class LinuxPlatformServices final : public PlatformServices {
public:
    explicit LinuxPlatformServices(std::filesystem::path lockPath);

    bool AnotherInstanceRunning() override;
    void ShowNotice(std::wstring_view text, std::wstring_view title) override;
    std::filesystem::path ProgramFolder() override;
    bool CanCreateFilesIn(const std::filesystem::path& folder) override;
    std::filesystem::path UserSettingsFolder() override;

private:
    std::filesystem::path lockPath_;
    UniqueFd lock_;
};
