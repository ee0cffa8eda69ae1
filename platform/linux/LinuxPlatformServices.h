#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

#include "PlatformServices.h"
#include "RecordFile.h"
#include "UniqueFd.h"

// The instance lock of this process's user on its X display, in the
// user's private runtime folder; none when there is no such folder.
std::optional<std::filesystem::path> CurrentInstanceLockPath();

// The run lock beside an instance lock (see LinuxPlatformServices).
std::filesystem::path RunLockPath(const std::filesystem::path& instanceLock);

// baseline-<display>.record in the private runtime folder, one per X
// display; none when there is no such folder.
std::optional<std::filesystem::path> CurrentRecordPath();

// The folder for this user's settings of the program, by the XDG base
// directory rules: $XDG_CONFIG_HOME/kov-display, where an unset, empty or
// relative $XDG_CONFIG_HOME stands for ~/.config. Empty without a home.
std::filesystem::path UserSettingsFolder(std::string_view configHome, std::string_view home);

// The platform services of the Linux program, without the notice, which is
// the toolkit's. An instance is claimed by holding an flock on the lock
// file for the life of the process; the lock goes with the process however
// it ends. Without a lock file the program runs rather than refusing the
// user. Once claimed, the run lock beside it is taken too, and handed on to
// the watcher, which holds it until it is done. The baseline record lives
// beside the locks, and the watcher's pipe is held for the life of the
// process.
class LinuxPlatformServices : public PlatformServices {
public:
    explicit LinuxPlatformServices(std::optional<std::filesystem::path> lockPath);

    bool AnotherInstanceRunning() override;
    std::filesystem::path ProgramFolder() override;
    bool CanCreateFilesIn(const std::filesystem::path& folder) override;
    std::filesystem::path UserSettingsFolder() override;
    RecordStore* BaselineRecord() override;
    void StartWatcher(std::uint32_t run) override;

private:
    std::optional<std::filesystem::path> lockPath_;
    UniqueFd lock_;
    UniqueFd runLock_;
    CurrentRecord record_{&CurrentRecordPath};
    UniqueFd watcherPipe_;
};
